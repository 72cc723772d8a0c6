#include "MulWriter.h"

#include <QDataStream>
#include <QIODevice>

namespace {

constexpr int HuesPerBlock = 8;
constexpr int HueEntryBytes = 88;
constexpr int NameBytes = 20;

QDataStream &littleEndian(QDataStream &s)
{
    s.setByteOrder(QDataStream::LittleEndian);
    return s;
}

void writeName(QDataStream &s, const QByteArray &name)
{
    const QByteArray fixed = name.left(NameBytes).leftJustified(NameBytes, '\0', true);
    s.writeRawData(fixed.constData(), NameBytes);
}

void writeFlags(QDataStream &s, quint64 flags, bool wide)
{
    if (wide)
        s << flags;
    else
        s << quint32(flags);
}

// First column and width of diamond row y.
void landRow(int y, int &first, int &count)
{
    if (y < 22) {
        first = 21 - y;
        count = 2 + 2 * y;
    } else {
        first = y - 22;
        count = 44 - 2 * (y - 22);
    }
}

// The runs of one art row: skip, length, colours, ended by a zero run.
void writeRow(QDataStream &s, const quint16 *row, int width)
{
    int x = 0;
    int lastEnd = 0;
    while (x < width) {
        while (x < width && row[x] == 0)
            ++x;
        if (x == width)
            break;
        const int start = x;
        while (x < width && row[x] != 0)
            ++x;
        s << qint16(start - lastEnd) << qint16(x - start);
        for (int i = start; i < x; ++i)
            s << row[i];
        lastEnd = x;
    }
    s << qint16(0) << qint16(0);
}

} // namespace

quint16 MulWriter::colour(QRgb pixel)
{
    if (qAlpha(pixel) < 128)
        return 0;
    return opaqueColour(pixel);
}

quint16 MulWriter::opaqueColour(QRgb pixel)
{
    const quint16 c = quint16((qRed(pixel) >> 3) << 10 | (qGreen(pixel) >> 3) << 5 | qBlue(pixel) >> 3);
    return c == 0 ? quint16(0x0421) : c;
}

QByteArray MulWriter::landEntry(const QImage &image)
{
    const QImage img = image.convertToFormat(QImage::Format_ARGB32);
    QByteArray out;
    QDataStream s(&out, QIODevice::WriteOnly);
    littleEndian(s);
    for (int y = 0; y < LandDiamond; ++y) {
        int first = 0, count = 0;
        landRow(y, first, count);
        for (int x = first; x < first + count; ++x) {
            const bool inside = x < img.width() && y < img.height();
            s << (inside ? opaqueColour(img.pixel(x, y)) : quint16(0x0421));
        }
    }
    return out;
}

QByteArray MulWriter::staticEntry(const QImage &image)
{
    const QImage img = image.convertToFormat(QImage::Format_ARGB32);
    QVector<quint16> colours;
    colours.reserve(img.width() * img.height());
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            colours.append(colour(img.pixel(x, y)));
    return staticEntry(img.width(), img.height(), colours);
}

QByteArray MulWriter::staticEntry(int width, int height, const QVector<quint16> &colours)
{
    // Sizes are 16-bit fields; no art the game draws comes near this many pixels.
    if (width < 0 || height < 0 || width > 0xFFFF || height > 0xFFFF
        || qint64(width) * height > MaxStaticPixels)
        return QByteArray();
    QVector<quint16> pixels = colours;
    pixels.resize(width * height);

    QByteArray runs;
    QDataStream r(&runs, QIODevice::WriteOnly);
    littleEndian(r);
    QVector<qint16> lineStarts;
    for (int y = 0; y < height; ++y) {
        // The line table holds signed 16-bit word offsets: larger art cannot be stored.
        if (runs.size() / 2 > 0x7FFF)
            return QByteArray();
        lineStarts.append(qint16(runs.size() / 2));
        writeRow(r, pixels.constData() + y * width, width);
    }

    QByteArray out;
    QDataStream s(&out, QIODevice::WriteOnly);
    littleEndian(s);
    s << quint32(0) << quint16(width) << quint16(height);
    for (qint16 start : lineStarts)
        s << start;
    s.writeRawData(runs.constData(), int(runs.size()));
    return out;
}

void MulWriter::putIndexRecord(QByteArray &index, int n, const IndexRecord &record)
{
    if (n < 0 || n >= MaxIndexRecords)
        return;
    if (index.size() < (n + 1) * 12)
        index.append(QByteArray((n + 1) * 12 - int(index.size()), '\0'));
    QByteArray bytes;
    QDataStream s(&bytes, QIODevice::WriteOnly);
    littleEndian(s);
    s << record.offset << record.length << record.extra;
    index.replace(n * 12, 12, bytes);
}

MulWriter::IndexedFile MulWriter::indexedFile(const QMap<int, QByteArray> &entries, int recordCount)
{
    IndexedFile f;
    f.index.reserve(recordCount * 12);
    for (int n = 0; n < recordCount; ++n)
        putIndexRecord(f.index, n, IndexRecord());
    for (auto it = entries.cbegin(); it != entries.cend(); ++it) {
        if (it.key() < 0 || it.key() >= recordCount)
            continue;
        putIndexRecord(f.index, it.key(),
                       IndexRecord{qint32(f.data.size()), qint32(it.value().size()), 0});
        f.data.append(it.value());
    }
    return f;
}

MulWriter::IndexedFile MulWriter::artFiles(const QMap<int, QImage> &land,
                                           const QMap<int, QImage> &statics, int recordCount)
{
    QMap<int, QByteArray> entries;
    for (auto it = land.cbegin(); it != land.cend(); ++it)
        if (it.key() >= 0 && it.key() < ArtIndexOffset)
            entries.insert(it.key(), landEntry(it.value()));
    for (auto it = statics.cbegin(); it != statics.cend(); ++it)
        if (it.key() >= 0)
            entries.insert(ArtIndexOffset + it.key(), staticEntry(it.value()));
    return indexedFile(entries, recordCount);
}

QByteArray MulWriter::tileData(const QMap<int, LandInfo> &land, const QMap<int, StaticInfo> &statics,
                               TileDataLayout layout, int staticCount)
{
    const bool wide = layout == TileDataLayout::Flags64;
    const int blocks = (qMax(0, staticCount) + 31) / 32;
    QByteArray out;
    QDataStream s(&out, QIODevice::WriteOnly);
    littleEndian(s);
    for (int id = 0; id < 16384; ++id) {
        if (id % 32 == 0)
            s << quint32(0);
        const LandInfo info = land.value(id);
        writeFlags(s, info.flags, wide);
        s << info.textureId;
        writeName(s, info.name);
    }
    const QByteArray unused(12, '\0');
    for (int id = 0; id < blocks * 32; ++id) {
        if (id % 32 == 0)
            s << quint32(0);
        const StaticInfo info = statics.value(id);
        writeFlags(s, info.flags, wide);
        s.writeRawData(unused.constData(), int(unused.size()));
        s << info.height;
        writeName(s, info.name);
    }
    return out;
}

QByteArray MulWriter::hues(const QVector<Hue> &hues)
{
    QByteArray out;
    QDataStream s(&out, QIODevice::WriteOnly);
    littleEndian(s);
    const int blocks = (int(hues.size()) + HuesPerBlock - 1) / HuesPerBlock;
    for (int i = 0; i < blocks * HuesPerBlock; ++i) {
        if (i % HuesPerBlock == 0)
            s << quint32(0);
        const Hue hue = i < hues.size() ? hues[i] : Hue();
        for (int c = 0; c < 32; ++c)
            s << (c < hue.colours.size() ? hue.colours[c] : quint16(0));
        s << hue.tableStart << hue.tableEnd;
        writeName(s, hue.name);
    }
    Q_ASSERT(out.size() == blocks * (4 + HuesPerBlock * HueEntryBytes));
    return out;
}

QByteArray MulWriter::multiEntry(const QVector<MultiTile> &tiles, int recordSize)
{
    QByteArray out;
    QDataStream s(&out, QIODevice::WriteOnly);
    littleEndian(s);
    for (const MultiTile &t : tiles) {
        s << t.id << t.x << t.y << t.z << t.flags;
        if (recordSize == 16)
            s << quint32(0);
    }
    return out;
}

MulWriter::IndexedFile MulWriter::multiFiles(const QMap<int, QVector<MultiTile>> &entries,
                                             int recordCount, int recordSize)
{
    QMap<int, QByteArray> bytes;
    for (auto it = entries.cbegin(); it != entries.cend(); ++it)
        bytes.insert(it.key(), multiEntry(it.value(), recordSize));
    return indexedFile(bytes, recordCount);
}
