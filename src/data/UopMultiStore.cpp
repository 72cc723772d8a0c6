#include "data/UopMultiStore.h"

#include "data/NameHash.h"
#include "model/LockedFile.h"
#include "model/NoTileInfo.h"
#include "model/RecordCodec.h"
#include "model/SafeWrite.h"
#include "model/TileInfo.h"

#include <QCoreApplication>
#include <QDir>
#include <QtEndian>

#include <cstdio>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("UopMultiStore", text);
}

constexpr quint16 InvisibleFlag = 1;
constexpr int ExtraWordBytes = 4;

// Start of the next record after the one at `pos`, or -1 when it is incomplete.
qsizetype recordEnd(const uchar *p, qsizetype size, qsizetype pos)
{
    if (size - pos < UopMultiStore::RecordBytes)
        return -1;
    const quint32 extra = qFromLittleEndian<quint32>(p + pos + 10);
    const qsizetype end = pos + UopMultiStore::RecordBytes;
    if (quint64(extra) > quint64(size - end) / ExtraWordBytes)
        return -1;
    return end + qsizetype(extra) * ExtraWordBytes;
}

} // namespace

UopMultiStore::UopMultiStore(const QString &path) : m_path(path)
{
}

QString UopMultiStore::entryName(int id)
{
    return QStringLiteral("build/multicollection/%1.bin").arg(id, 6, 10, QLatin1Char('0'));
}

quint64 UopMultiStore::entryHash(int id)
{
    char name[48];
    const int n = std::snprintf(name, sizeof name, "build/multicollection/%06u.bin", unsigned(id));
    return NameHash::hash(QByteArray(name, n));
}

quint64 UopMultiStore::housingHash()
{
    return NameHash::ofName(QStringLiteral("build/multicollection/housing.bin"));
}

bool UopMultiStore::fail(const QString &reason)
{
    m_error = reason;
    return false;
}

bool UopMultiStore::open()
{
    m_counts.clear();
    m_opened = false;
    if (!m_uop.open(m_path))
        return fail(m_uop.errorString());
    m_opened = true;
    for (int id = 0; id <= MaxMultiId; ++id) {
        const UopFile::Entry *e = m_uop.find(entryHash(id));
        if (!e)
            continue;
        // The tile count is the second word of the payload.
        const std::optional<QByteArray> payload = m_uop.payload(*e);
        m_counts.insert(id, payload && payload->size() >= PayloadHeaderBytes
                                ? int(qMin<quint32>(qFromLittleEndian<quint32>(payload->constData() + 4),
                                                    quint32(payload->size() / RecordBytes)))
                                : -1);
    }
    return true;
}

QVector<MultiCollection::Entry> UopMultiStore::entries() const
{
    QVector<Entry> out;
    for (auto it = m_counts.constBegin(); it != m_counts.constEnd(); ++it)
        out.append({it.key(), it.value()});
    return out;
}

int UopMultiStore::firstFreeEntry() const
{
    int id = 0;
    while (id <= MaxMultiId && m_counts.contains(id))
        ++id;
    return id;
}

bool UopMultiStore::decodePayload(const QByteArray &payload, const TileInfoSource &data,
                                  QVector<StoredRecord> &records)
{
    records.clear();
    const qsizetype size = payload.size();
    if (size < PayloadHeaderBytes)
        return false;
    const auto *p = reinterpret_cast<const uchar *>(payload.constData());
    const quint32 count = qFromLittleEndian<quint32>(p + 4);
    qsizetype pos = PayloadHeaderBytes;
    // The count is trusted only as far as complete records follow.
    for (quint32 i = 0; i < count; ++i) {
        const qsizetype end = recordEnd(p, size, pos);
        if (end < 0)
            break;
        StoredRecord r;
        r.tile = RecordCodec::decodePlace(p + pos, data);
        r.tile.visible = (qFromLittleEndian<quint16>(p + pos + RecordCodec::PlaceSize) & 0xFF) == 0 ? 1 : 0;
        r.bytes = payload.mid(pos, end - pos);
        records.append(r);
        pos = end;
    }
    return true;
}

QByteArray UopMultiStore::encodeRecord(const TileRecord &tile)
{
    uchar r[RecordBytes] = {};
    RecordCodec::encodePlace(tile, r);
    qToLittleEndian<quint16>(tile.visible ? 0 : InvisibleFlag, r + RecordCodec::PlaceSize);
    // No extra words.
    return QByteArray(reinterpret_cast<const char *>(r), RecordBytes);
}

int UopMultiStore::countRecords(const QByteArray &records)
{
    const auto *p = reinterpret_cast<const uchar *>(records.constData());
    int n = 0;
    for (qsizetype pos = 0; pos < records.size(); ++n) {
        pos = recordEnd(p, records.size(), pos);
        if (pos < 0)
            break;
    }
    return n;
}

bool UopMultiStore::readEntry(int number, const TileInfoSource &data, TileMap &tiles)
{
    tiles.clear();
    if (!m_uop.open(m_path))
        return fail(m_uop.errorString());
    const UopFile::Entry *e = number >= 0 && number <= MaxMultiId ? m_uop.find(entryHash(number)) : nullptr;
    if (!e)
        return fail(tr("%1: entry %2 holds no multi").arg(QDir::toNativeSeparators(m_path)).arg(number));
    const std::optional<QByteArray> payload = m_uop.payload(*e);
    if (!payload)
        return fail(QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(m_path), m_uop.errorString()));
    QVector<StoredRecord> records;
    if (!decodePayload(*payload, data, records))
        return fail(tr("%1: entry %2 is too short to be a multi").arg(QDir::toNativeSeparators(m_path)).arg(number));
    for (const StoredRecord &r : records)
        tiles[locationKey(r.tile.x, r.tile.y)].append(r.tile);
    return true;
}

// The records of the stored entry `number`; none when it does not exist.
bool UopMultiStore::storedRecords(UopFile &uop, int number, QVector<StoredRecord> &records)
{
    records.clear();
    const UopFile::Entry *e = uop.find(entryHash(number));
    if (!e)
        return true;
    const std::optional<QByteArray> payload = uop.payload(*e);
    NoTileInfo none;
    // An entry that cannot be read is replaced, not merged: nothing of it survives anyway.
    if (payload)
        decodePayload(*payload, none, records);
    return true;
}

bool UopMultiStore::exportEntry(int number, const QList<TileRecord> &tiles)
{
    const QString where = QDir::toNativeSeparators(m_path);
    if (number < 0 || number > MaxMultiId)
        return fail(tr("%1: entry %2 is outside 0 to %3").arg(where).arg(number).arg(MaxMultiId));
    // Locked from the read to the rename: a second export waits and then
    // changes what this one wrote.
    LockedFile source(m_path);
    QByteArray bytes;
    QString reason;
    if (!source.lock(false, &reason))
        return fail(tr("%1: cannot be opened (%2)").arg(where, reason));
    switch (source.readAll(bytes, MaxFileSize, &reason)) {
    case LockedFile::Read::Ok:
        break;
    case LockedFile::Read::TooLarge:
        return fail(tr("%1: is too large").arg(where));
    case LockedFile::Read::CannotOpen:
    case LockedFile::Read::Failed:
        return fail(tr("%1: cannot be read (%2); nothing was written").arg(where, reason));
    }
    UopFile uop;
    if (!uop.openBytes(bytes))
        return fail(QStringLiteral("%1: %2").arg(where, uop.errorString()));
    // Rewriting would drop what cannot be copied.
    if (uop.damagedEntries() > 0)
        return fail(tr("%1: %2 entries lie outside the file; the container is left as it is")
                        .arg(where)
                        .arg(uop.damagedEntries()));
    QVector<StoredRecord> stored;
    storedRecords(uop, number, stored);
    const QByteArray merged = RecordMerge::merge(stored, tiles, &UopMultiStore::encodeRecord);
    QByteArray payload;
    payload.resize(PayloadHeaderBytes);
    qToLittleEndian<quint32>(quint32(number), payload.data());
    qToLittleEndian<quint32>(quint32(countRecords(merged)), payload.data() + 4);
    payload.append(merged);
    const quint64 hash = entryHash(number);
    const std::optional<UopFile::NewEntry> entry = UopFile::compressedEntry(hash, payload);
    if (!entry)
        return fail(tr("%1: the new entry cannot be packed").arg(where));

    QVector<UopFile::NewEntry> all;
    all.reserve(uop.entries().size() + 1);
    bool placed = false;
    for (const UopFile::Entry &e : uop.entries()) {
        // Readers take the first of equal hashes: that one is replaced, later ones kept.
        if (e.hash == hash && !placed) {
            all.append(*entry);
            placed = true;
            continue;
        }
        std::optional<UopFile::NewEntry> copy = uop.copyOf(e);
        if (!copy)
            return fail(QStringLiteral("%1: %2").arg(where, uop.errorString()));
        all.append(*copy);
    }
    if (!placed)
        all.append(*entry);
    if (!SafeWrite::replaceFile(m_path, UopFile::build(uop.header(), all), &reason))
        return fail(tr("%1: cannot be written (%2)").arg(where, reason));
    if (m_opened) {
        m_uop.open(m_path);
        m_counts.insert(number, countRecords(merged));
    }
    return true;
}
