#include "model/MltFile.h"

#include "model/Facet.h"
#include "model/RecordCodec.h"
#include "model/SafeWrite.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <algorithm>

namespace {
constexpr int HueShift = 16;
}

MltReadResult MltFile::read(const QString &path, const TileInfoSource &data)
{
    QFile file(path);
    // Opening a FIFO would wait for a writer forever.
    const QFileInfo info(path);
    if ((info.exists() && !info.isFile()) || !file.open(QIODevice::ReadOnly)) {
        MltReadResult result;
        result.status = MltReadResult::CannotOpen;
        return result;
    }
    MltReadResult tooLarge;
    tooLarge.status = MltReadResult::TooLarge;
    if (file.size() > MaxFileSize)
        return tooLarge;
    // One byte past the cap: a device or a growing file has no size to trust.
    const QByteArray bytes = file.read(MaxFileSize + 1);
    return bytes.size() > MaxFileSize ? tooLarge : fromBytes(bytes, data);
}

MltReadResult MltFile::fromBytes(const QByteArray &bytes, const TileInfoSource &data)
{
    MltReadResult result;
    const uchar *p = reinterpret_cast<const uchar *>(bytes.constData());
    // A header cut short reads as version 0, like a stream that ends early.
    if (bytes.size() >= HeaderSize)
        result.version = qFromLittleEndian<quint32>(p);
    if (result.version != 0) {
        result.status = MltReadResult::BadVersion;
        return result;
    }
    // A trailing partial entry is dropped, and said so.
    const qsizetype body = std::max<qsizetype>(bytes.size() - HeaderSize, 0);
    const qsizetype entries = body / EntrySize;
    result.ignoredBytes = bytes.size() < HeaderSize ? bytes.size() : body % EntrySize;
    result.damaged = bytes.size() < HeaderSize || result.ignoredBytes != 0;
    for (qsizetype i = 0; i < entries; ++i) {
        const uchar *e = p + HeaderSize + i * EntrySize;
        TileRecord tile = RecordCodec::decode(e, data);
        tile.hue = qint16(RecordCodec::flags(e) >> HueShift);
        result.tiles[locationKey(tile.x, tile.y)].append(tile);
    }
    return result;
}

QByteArray MltFile::toBytes(const Facet &model)
{
    QByteArray out;
    out.reserve(HeaderSize + EntrySize * model.tileCount());
    out.append(HeaderSize, '\0');
    const Facet::LocationTable &table = model.locations();
    QList<TileRecord> written;
    for (const quint32 key : model.sortedKeys()) {
        // Equal tiles share a location, so one location's list is all the memory needed.
        written.clear();
        for (const TileRecord &tile : table.constFind(key).value()) {
            if (std::find(written.cbegin(), written.cend(), tile) != written.cend())
                continue;
            appendEntry(out, tile);
            written.append(tile);
        }
    }
    return out;
}

bool MltFile::write(const QString &path, const Facet &model, QString *error)
{
    return SafeWrite::replaceFile(path, toBytes(model), error);
}

QString MltFile::tooLargeMessage(const QString &path)
{
    return QCoreApplication::translate("MltFile", "%1 is larger than %2 MiB: it is not a multi file.")
        .arg(path)
        .arg(MaxFileSize / (1024 * 1024));
}

void MltFile::appendEntry(QByteArray &out, const TileRecord &tile)
{
    uchar e[EntrySize];
    // The flags hold the visibility in their low half and the hue in their high half.
    const quint32 flags = quint32(quint16(tile.visible)) | quint32(quint16(tile.hue)) << HueShift;
    RecordCodec::encode(tile, flags, e);
    out.append(reinterpret_cast<const char *>(e), EntrySize);
}
