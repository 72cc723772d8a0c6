#include "model/MltFile.h"

#include "model/Facet.h"
#include "model/LockedFile.h"
#include "model/RecordCodec.h"
#include "model/SafeWrite.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QtEndian>

#include <algorithm>

namespace {
constexpr int HueShift = 16;
QString tr(const char *text, const char *disambiguation = nullptr, int n = -1)
{
    return QCoreApplication::translate("MltFile", text, disambiguation, n);
}
} // namespace

MltReadResult MltFile::read(const QString &path, const TileInfoSource &data)
{
    MltReadResult result;
    // A FIFO or a device is no multi, whatever it would give.
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) {
        result.status = MltReadResult::CannotOpen;
        return result;
    }
    QByteArray bytes;
    switch (LockedFile::readFile(path, bytes, MaxFileSize, &result.error)) {
    case LockedFile::Read::Ok:
        return fromBytes(bytes, data);
    case LockedFile::Read::CannotOpen:
        result.status = MltReadResult::CannotOpen;
        break;
    case LockedFile::Read::TooLarge:
        result.status = MltReadResult::TooLarge;
        break;
    case LockedFile::Read::Failed:
        result.status = MltReadResult::Unreadable;
        result.error = tr("cannot be read (%1)").arg(result.error);
        break;
    }
    return result;
}

MltReadResult MltFile::fromBytes(const QByteArray &bytes, const TileInfoSource &data)
{
    MltReadResult result;
    const uchar *p = reinterpret_cast<const uchar *>(bytes.constData());
    // Even an empty multi has its version word: less is a damaged file, not an empty one.
    if (bytes.size() < HeaderSize) {
        result.status = MltReadResult::Unreadable;
        result.damaged = true;
        result.ignoredBytes = bytes.size();
        result.error = tr("is damaged: its header is cut short (%1 of %2 bytes)").arg(bytes.size()).arg(HeaderSize);
        return result;
    }
    result.version = qFromLittleEndian<quint32>(p);
    if (result.version != 0) {
        result.status = MltReadResult::BadVersion;
        return result;
    }
    // A trailing partial entry is dropped, and said so.
    const qsizetype body = bytes.size() - HeaderSize;
    const qsizetype entries = body / EntrySize;
    result.ignoredBytes = body % EntrySize;
    result.damaged = result.ignoredBytes != 0;
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

QByteArray MltFile::toBytes(const QList<TileRecord> &tiles)
{
    QByteArray out;
    out.reserve(HeaderSize + EntrySize * tiles.size());
    out.append(HeaderSize, '\0');
    qsizetype locationStart = 0;
    for (qsizetype i = 0; i < tiles.size(); ++i) {
        const TileRecord &tile = tiles.at(i);
        if (i > 0 && locationKey(tile.x, tile.y) != locationKey(tiles.at(i - 1).x, tiles.at(i - 1).y))
            locationStart = i;
        const auto location = tiles.cbegin() + locationStart;
        if (std::find(location, tiles.cbegin() + i, tile) == tiles.cbegin() + i)
            appendEntry(out, tile);
    }
    return out;
}

bool MltFile::write(const QString &path, const Facet &model, QString *error)
{
    return SafeWrite::replaceFile(path, toBytes(model), error);
}

QString MltFile::tooLargeMessage(const QString &path)
{
    return tr("%1 is larger than %2 MiB: it is not a multi file.").arg(path).arg(MaxFileSize / (1024 * 1024));
}

QString MltFile::problem(const QString &path, const MltReadResult &result)
{
    const QString shown = QDir::toNativeSeparators(path);
    switch (result.status) {
    case MltReadResult::Ok:
        break;
    case MltReadResult::CannotOpen:
        return tr("%1: cannot be opened (%2)").arg(shown, result.error);
    case MltReadResult::BadVersion:
        return tr("%1: is mlt version %2; only version 0 is supported").arg(shown).arg(result.version);
    case MltReadResult::TooLarge:
        return tooLargeMessage(shown);
    case MltReadResult::Unreadable:
        return QStringLiteral("%1: %2").arg(shown, result.error);
    }
    if (result.damaged)
        return tr("%1: is damaged: %n byte(s) at its end are not a whole tile entry", nullptr,
                  int(result.ignoredBytes))
            .arg(shown);
    return QString();
}

void MltFile::appendEntry(QByteArray &out, const TileRecord &tile)
{
    uchar e[EntrySize];
    // The flags hold the visibility in their low half and the hue in their high half.
    const quint32 flags = quint32(quint16(tile.visible)) | quint32(quint16(tile.hue)) << HueShift;
    RecordCodec::encode(tile, flags, e);
    out.append(reinterpret_cast<const char *>(e), EntrySize);
}
