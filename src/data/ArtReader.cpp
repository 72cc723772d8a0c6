#include "data/ArtReader.h"

#include "data/GameColour.h"
#include "data/NameHash.h"
#include "data/UopFile.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFileInfo>
#include <QtEndian>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>

namespace {

constexpr int LandRecords = 0x4000;     // terrain ids come first in the index
constexpr int MaxArtIds = 0x10000;
constexpr int ClassicRecords = 0x8000;  // what every index holds at least
constexpr int MaxRecords = LandRecords + MaxArtIds;
constexpr int IndexRecordBytes = 12;
constexpr int LandSide = 44;
constexpr int LandColours = 1012;
constexpr int MaxArtSide = 2048;
// Largest entry a sane client writes for 2048 x 2048 art; bounds hostile lengths.
constexpr qint64 MaxEntryBytes = 32 * 1024 * 1024;
constexpr qint64 MaxTexIndexBytes = 16 * 1024 * 1024;

struct IndexRecord {
    qint32 offset = -1;
    qint32 length = 0;
};

int readLe16(const uchar *p) { return p[0] | p[1] << 8; }
qint32 readLe32(const uchar *p) { return qint32(quint32(readLe16(p)) | quint32(readLe16(p + 2)) << 16); }

// Texture block side for an image side: 32 at least, then powers of two.
int textureSide(int side)
{
    int t = 32;
    while (t < side)
        t *= 2;
    return t;
}

quint16 pixelAt(const QByteArray &a, qint64 index)
{
    return quint16(readLe16(reinterpret_cast<const uchar *>(a.constData()) + 2 * index));
}

} // namespace

struct ArtReader::Private {
    QFile artFile;
    QBuffer artBuffer;
    QIODevice *art = nullptr;
    // The index's records as read, decoded when used: a load costs the same
    // whatever the index holds. Ids past its end have no entry.
    QByteArray index;
    int records = 0; // the ids it serves: at least ClassicRecords
    QFile texMaps;
    QVector<qint32> texIndex;
    QCache<int, QByteArray> statics{20};
    QCache<int, QByteArray> lands{10};
    QVector<quint32> scratch;
    DataFileStatus indexStatus;
    DataFileStatus artStatus;

    void reset();
    void readIndex(const QByteArray &bytes);
    IndexRecord record(int id) const;
    void indexContainer(const UopFile &uop);
    void loadTextures(const QString &texIdx, const QString &texMaps);
    QByteArray readEntry(const IndexRecord &r, qint64 maxBytes = MaxEntryBytes);
    bool readSize(const IndexRecord &r, int &w, int &h);
    void sizeScratch();
    QByteArray *decodeStatic(const QByteArray &entry) const;
    QByteArray *decodeLand(const QByteArray &entry) const;
};

void ArtReader::Private::reset()
{
    artFile.close();
    artBuffer.close();
    art = nullptr;
    texMaps.close();
    texIndex.clear();
    index.clear();
    records = 0;
    statics.clear();
    lands.clear();
}

void ArtReader::Private::readIndex(const QByteArray &bytes)
{
    const qint64 whole = qMin<qint64>(bytes.size() / IndexRecordBytes, MaxRecords);
    index = bytes.size() == whole * IndexRecordBytes ? bytes : bytes.left(whole * IndexRecordBytes);
    records = int(qMax<qint64>(whole, ClassicRecords));
}

IndexRecord ArtReader::Private::record(int id) const
{
    if (id < 0 || qint64(id) * IndexRecordBytes >= index.size())
        return IndexRecord{0, 0};
    const auto *p = reinterpret_cast<const uchar *>(index.constData()) + qint64(id) * IndexRecordBytes;
    return IndexRecord{readLe32(p), readLe32(p + 4)};
}

// Entry i of the container is the art record of index i, stored unpacked; the
// index then points straight into the container file.
void ArtReader::Private::indexContainer(const UopFile &uop)
{
    QVector<IndexRecord> found(MaxRecords, IndexRecord{-1, 0});
    int used = ClassicRecords;
    char name[40];
    for (int i = 0; i < MaxRecords; ++i) {
        const int n = std::snprintf(name, sizeof name, "build/artlegacymul/%08u.tga", unsigned(i));
        const UopFile::Entry *e = uop.find(NameHash::hash(QByteArray::fromRawData(name, n)));
        if (!e || e->compression != UopFile::Stored
            || e->payloadOffset() + e->storedSize > std::numeric_limits<qint32>::max())
            continue;
        found[i] = {qint32(e->payloadOffset()), qint32(e->storedSize)};
        used = qMax(used, i + 1);
    }
    index.resize(qsizetype(used) * IndexRecordBytes);
    auto *p = reinterpret_cast<uchar *>(index.data());
    for (int i = 0; i < used; ++i, p += IndexRecordBytes) {
        qToLittleEndian<qint32>(found[i].offset, p);
        qToLittleEndian<qint32>(found[i].length, p + 4);
        qToLittleEndian<qint32>(0, p + 8);
    }
    records = used;
}

// The entry's bytes, or nothing when the record marks no entry or the entry
// does not lie inside the data file.
QByteArray ArtReader::Private::readEntry(const IndexRecord &r, qint64 maxBytes)
{
    if (!art || r.offset < 0 || r.length <= 0 || r.length > MaxEntryBytes
        || qint64(r.offset) + r.length > art->size() || !art->seek(r.offset))
        return QByteArray();
    return art->read(qMin<qint64>(r.length, maxBytes));
}

bool ArtReader::Private::readSize(const IndexRecord &r, int &w, int &h)
{
    const QByteArray head = readEntry(r, 8);
    if (head.size() < 8)
        return false;
    const auto *p = reinterpret_cast<const uchar *>(head.constData());
    w = readLe16(p + 4);
    h = readLe16(p + 6);
    return w > 0 && h > 0 && w <= MaxArtSide && h <= MaxArtSide;
}

void ArtReader::Private::sizeScratch()
{
    qint64 largest = 0;
    // Ids past the index's end have no entry to measure.
    for (int i = LandRecords; qint64(i) * IndexRecordBytes < index.size(); ++i) {
        int w = 0, h = 0;
        if (readSize(record(i), w, h))
            largest = qMax(largest, qint64(textureSide(w)) * textureSide(h));
    }
    scratch = QVector<quint32>(int(largest));
}

QByteArray *ArtReader::Private::decodeStatic(const QByteArray &entry) const
{
    const qint64 n = entry.size();
    if (n < 8)
        return nullptr;
    const auto *p = reinterpret_cast<const uchar *>(entry.constData());
    const int w = readLe16(p + 4), h = readLe16(p + 6);
    const qint64 runsStart = 8 + 2 * qint64(h);
    if (w == 0 || h == 0 || w > MaxArtSide || h > MaxArtSide || runsStart > n)
        return nullptr;
    auto *out = new QByteArray(int(4 + 2 * qint64(w) * h), '\0');
    auto *o = reinterpret_cast<uchar *>(out->data());
    std::memcpy(o, p + 4, 4);
    for (int y = 0; y < h; ++y) {
        // Read unsigned: signed values past 32767 would point back into the table.
        const qint64 line = readLe16(p + 8 + 2 * y);
        qint64 pos = runsStart + 2 * line;
        qint64 x = 0;
        // The walk of a row ends with the row: an entry whose rows all point
        // at one long unterminated run list would otherwise be walked to its
        // end once per row (seconds per decode at a few MiB): a row takes at
        // most w + 1 runs and paints at most w pixels, which is all a sound
        // row has. Runs stepping back over the row stay clipped, not refused.
        qint64 budget = w;
        for (int runs = 0; pos >= 0 && pos + 4 <= n && runs <= w && budget > 0; ++runs) {
            const int skip = qint16(readLe16(p + pos));
            const int count = qint16(readLe16(p + pos + 2));
            pos += 4;
            if (skip + count == 0)
                break;
            x += skip;
            const qint64 taken = std::clamp<qint64>(count, 0, (n - pos) / 2);
            // Runs outside the row are clipped.
            for (qint64 i = qMax<qint64>(0, -x); i < taken && x + i < w && budget > 0; ++i, --budget) {
                const int c = readLe16(p + pos + 2 * i) | GameColour::OpaqueBit;
                uchar *dst = o + 4 + 2 * (qint64(w) * y + x + i);
                dst[0] = uchar(c);
                dst[1] = uchar(c >> 8);
            }
            pos += 2 * taken;
            x += taken;
        }
    }
    return out;
}

QByteArray *ArtReader::Private::decodeLand(const QByteArray &entry) const
{
    auto *out = new QByteArray(LandSide * LandSide * 2, '\0');
    auto *o = reinterpret_cast<uchar *>(out->data());
    const auto *p = reinterpret_cast<const uchar *>(entry.constData());
    const qint64 n = entry.size();
    qint64 pos = 0;
    for (int y = 0; y < LandSide; ++y) {
        const int width = y < 22 ? 2 + 2 * y : 44 - 2 * (y - 22);
        const int start = y < 22 ? 21 - y : y - 22;
        for (int x = start; x < start + width && pos + 2 <= n; ++x, pos += 2) {
            const int c = readLe16(p + pos) | GameColour::OpaqueBit;
            o[2 * (LandSide * y + x)] = uchar(c);
            o[2 * (LandSide * y + x) + 1] = uchar(c >> 8);
        }
    }
    return out;
}

ArtReader::ArtReader() : d(new Private)
{
    d->readIndex(QByteArray());
}

ArtReader::ArtReader(const QString &artIdx, const QString &artMul, const QString &texIdx,
                     const QString &texMaps)
    : d(new Private)
{
    load(artIdx, artMul, texIdx, texMaps);
}

ArtReader::~ArtReader()
{
    delete d;
}

void ArtReader::load(const QString &artIdx, const QString &artMul, const QString &texIdx,
                     const QString &texMaps)
{
    d->reset();
    d->indexStatus = DataFileStatus::probe(QStringLiteral("artidx.mul"), artIdx);
    d->artStatus = DataFileStatus::probe(QStringLiteral("art.mul"), artMul);
    d->artFile.setFileName(artMul);
    if (d->artFile.open(QIODevice::ReadOnly))
        d->art = &d->artFile;
    QFile idx(artIdx);
    d->readIndex(idx.open(QIODevice::ReadOnly) ? idx.read(qint64(MaxRecords) * IndexRecordBytes)
                                               : QByteArray());
    if (d->indexStatus.usable()) {
        const qint64 size = QFileInfo(artIdx).size();
        if (size == 0 || size % IndexRecordBytes != 0)
            d->indexStatus.state = DataFileStatus::State::Unrecognised;
        else
            d->indexStatus.counts = QCoreApplication::translate("ArtReader", "%1 terrain, %2 art")
                                    .arg(landCount())
                                    .arg(staticCount());
    }
    if (d->artStatus.usable() && d->artFile.size() == 0)
        d->artStatus.state = DataFileStatus::State::Unrecognised;
    d->loadTextures(texIdx, texMaps);
    d->sizeScratch();
}

void ArtReader::loadContainer(const QString &container, const QString &texIdx,
                              const QString &texMaps)
{
    d->reset();
    UopFile uop;
    if (uop.open(container)) {
        d->indexContainer(uop);
        d->artFile.setFileName(container);
        if (d->artFile.open(QIODevice::ReadOnly))
            d->art = &d->artFile;
    } else {
        d->readIndex(QByteArray());
    }
    d->loadTextures(texIdx, texMaps);
    d->sizeScratch();
}

void ArtReader::Private::loadTextures(const QString &texIdx, const QString &texMapsPath)
{
    texMaps.setFileName(texMapsPath);
    if (!texMapsPath.isEmpty())
        texMaps.open(QIODevice::ReadOnly);
    QFile tex(texIdx);
    if (!texIdx.isEmpty() && tex.open(QIODevice::ReadOnly)) {
        const QByteArray bytes = tex.read(MaxTexIndexBytes);
        const auto *p = reinterpret_cast<const uchar *>(bytes.constData());
        texIndex.resize(bytes.size() / 4);
        for (int i = 0; i < texIndex.size(); ++i)
            texIndex[i] = readLe32(p + 4 * i);
    }
}

void ArtReader::loadFromBytes(const QByteArray &artIdx, const QByteArray &artMul)
{
    d->reset();
    d->artBuffer.setData(artMul);
    d->artBuffer.open(QIODevice::ReadOnly);
    d->art = &d->artBuffer;
    d->readIndex(artIdx);
    d->sizeScratch();
}

DataFileStatus ArtReader::indexStatus() const
{
    return d->indexStatus;
}

DataFileStatus ArtReader::artStatus() const
{
    return d->artStatus;
}

int ArtReader::staticCount() const
{
    return d->records - LandRecords;
}

bool ArtReader::hasStatic(int id) const
{
    if (id < 0 || id >= staticCount() || !d->art)
        return false;
    const IndexRecord r = d->record(LandRecords + id);
    return r.offset >= 0 && r.length > 0 && qint64(r.offset) + r.length <= d->art->size();
}

int ArtReader::landCount() const
{
    return LandRecords;
}

const QByteArray *ArtReader::staticPixels(int id, int &w, int &h)
{
    w = h = 0;
    if (id < 0 || id >= staticCount())
        return nullptr;
    QByteArray *pixels = d->statics.object(id);
    if (!pixels) {
        pixels = d->decodeStatic(d->readEntry(d->record(LandRecords + id)));
        if (!pixels)
            return nullptr;
        d->statics.insert(id, pixels);
    }
    const auto *p = reinterpret_cast<const uchar *>(pixels->constData());
    w = readLe16(p);
    h = readLe16(p + 2);
    return pixels;
}

const QByteArray *ArtReader::landPixels(int id)
{
    if (id < 0 || id >= LandRecords)
        return nullptr;
    QByteArray *pixels = d->lands.object(id);
    if (pixels)
        return pixels;
    const QByteArray entry = d->readEntry(d->record(id), LandColours * 2);
    if (entry.isEmpty())
        return nullptr;
    pixels = d->decodeLand(entry);
    d->lands.insert(id, pixels);
    return pixels;
}

const quint32 *ArtReader::staticTexture(int id, const quint16 *hue, bool partialHue,
                                        quint32 alphaMask, int &texWidth, int &texHeight,
                                        int &imageWidth, int &imageHeight)
{
    texWidth = texHeight = imageWidth = imageHeight = 0;
    int w = 0, h = 0;
    const QByteArray *pixels = staticPixels(id, w, h);
    if (!pixels)
        return nullptr;
    const int tw = textureSide(w), th = textureSide(h);
    // The index scan sized the block; a data file changed since then must not overflow it.
    if (qint64(tw) * th > d->scratch.size())
        d->scratch.resize(tw * th);
    quint32 *block = d->scratch.data();
    std::fill(block, block + qint64(tw) * th, 0u);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const quint16 c = GameColour::hued(pixelAt(*pixels, 2 + qint64(w) * y + x), hue, partialHue);
            block[qint64(y) * tw + x] = GameColour::rgbaWord(c, alphaMask);
        }
    }
    texWidth = tw;
    texHeight = th;
    imageWidth = w;
    imageHeight = h;
    return block;
}

QImage ArtReader::staticImage(int id, const quint16 *hue, bool partialHue)
{
    int w = 0, h = 0;
    const QByteArray *pixels = staticPixels(id, w, h);
    if (!pixels)
        return QImage();
    QImage img(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y) {
        auto *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < w; ++x)
            line[x] = GameColour::argb(GameColour::hued(pixelAt(*pixels, 2 + qint64(w) * y + x), hue, partialHue));
    }
    return img;
}

QImage ArtReader::landImage(int id, const quint16 *hue, bool partialHue)
{
    const QByteArray *pixels = landPixels(id);
    if (!pixels)
        return QImage();
    QImage img(LandSide, LandSide, QImage::Format_ARGB32);
    for (int y = 0; y < LandSide; ++y) {
        auto *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < LandSide; ++x)
            line[x] = GameColour::argb(GameColour::hued(pixelAt(*pixels, LandSide * y + x), hue, partialHue));
    }
    return img;
}
