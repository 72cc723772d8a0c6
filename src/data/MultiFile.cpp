#include "data/MultiFile.h"

#include "model/TileInfo.h"
#include "model/Facet.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QtEndian>

#include <algorithm>
#include <limits>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

void appendRecord(QByteArray &out, const TileRecord &tile, int recordSize)
{
    uchar r[MultiFile::ExtendedRecordSize] = {};
    qToLittleEndian<quint16>(tile.id, r);
    qToLittleEndian<qint16>(qint16(tile.x), r + 2);
    qToLittleEndian<qint16>(qint16(tile.y), r + 4);
    qToLittleEndian<qint16>(tile.z, r + 6);
    // The flags carry the visibility widened with its sign.
    qToLittleEndian<qint32>(qint32(tile.visible), r + 8);
    out.append(reinterpret_cast<const char *>(r), recordSize);
}

void patchRecord(QByteArray &index, int i, const MultiFile::IndexRecord &r)
{
    uchar *p = reinterpret_cast<uchar *>(index.data()) + qsizetype(i) * MultiFile::IndexRecordSize;
    qToLittleEndian<qint32>(r.offset, p);
    qToLittleEndian<qint32>(r.length, p + 4);
}

void appendIndexRecord(QByteArray &index, const MultiFile::IndexRecord &r)
{
    uchar p[MultiFile::IndexRecordSize];
    qToLittleEndian<qint32>(r.offset, p);
    qToLittleEndian<qint32>(r.length, p + 4);
    qToLittleEndian<quint32>(r.extra, p + 8);
    index.append(reinterpret_cast<const char *>(p), MultiFile::IndexRecordSize);
}

} // namespace

MultiFile::MultiFile(const QString &idxPath, const QString &mulPath)
    : m_idxPath(idxPath), m_mulPath(mulPath)
{
}

bool MultiFile::fail(const QString &path, const QString &reason)
{
    m_error = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), reason);
    return false;
}

bool MultiFile::readWhole(const QString &path, QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(path, QStringLiteral("cannot be opened (%1)").arg(file.errorString()));
    const qint64 size = file.size();
    bytes = file.readAll();
    if (file.error() != QFile::NoError || bytes.size() != size)
        return fail(path, QStringLiteral("could not be read completely"));
    return true;
}

QVector<MultiFile::IndexRecord> MultiFile::parseIndex(const QByteArray &bytes)
{
    QVector<IndexRecord> records;
    const qsizetype n = bytes.size() / IndexRecordSize;
    records.reserve(n);
    const uchar *p = reinterpret_cast<const uchar *>(bytes.constData());
    for (qsizetype i = 0; i < n; ++i, p += IndexRecordSize) {
        IndexRecord r;
        r.offset = qFromLittleEndian<qint32>(p);
        r.length = qFromLittleEndian<qint32>(p + 4);
        r.extra = qFromLittleEndian<quint32>(p + 8);
        records.append(r);
    }
    return records;
}

bool MultiFile::readIndex()
{
    QByteArray bytes;
    m_records.clear();
    if (!readWhole(m_idxPath, bytes))
        return false;
    m_records = parseIndex(bytes);
    return true;
}

int MultiFile::detectRecordSize(const QVector<IndexRecord> &records)
{
    bool notClassic = false;
    for (const IndexRecord &r : records) {
        if (!r.exists())
            continue;
        if (r.length % ExtendedRecordSize != 0)
            return ClassicRecordSize;
        if (r.length % ClassicRecordSize != 0)
            notClassic = true;
    }
    return notClassic ? ExtendedRecordSize : ClassicRecordSize;
}

void MultiFile::decodeEntry(const QByteArray &bytes, int recordSize, const TileInfoSource &data,
                            TileMap &tiles)
{
    const qsizetype n = bytes.size() / recordSize;
    const uchar *p = reinterpret_cast<const uchar *>(bytes.constData());
    for (qsizetype i = 0; i < n; ++i, p += recordSize) {
        const quint16 id = qFromLittleEndian<quint16>(p);
        TileRecord tile(id, 0, 0, data, Art);
        tile.x = qFromLittleEndian<qint16>(p + 2);
        tile.y = qFromLittleEndian<qint16>(p + 4);
        tile.z = qFromLittleEndian<qint16>(p + 6);
        tile.sortZ = tile.z;
        // Only the low half of the flags says anything: the visibility.
        tile.visible = qFromLittleEndian<qint16>(p + 8);
        tiles[locationKey(tile.x, tile.y)].append(tile);
    }
}

QVector<MultiCollection::Entry> MultiFile::entries() const
{
    QVector<Entry> out;
    const int size = recordSize();
    for (int n = 0; n < entryCount(); ++n) {
        const IndexRecord &r = m_records.at(n);
        if (r.exists())
            out.append({n, r.length / size});
    }
    return out;
}

int MultiFile::firstFreeEntry() const
{
    for (int n = 0; n < entryCount(); ++n) {
        if (!m_records.at(n).exists())
            return n;
    }
    return entryCount();
}

bool MultiFile::exportEntry(int number, const QList<TileRecord> &tiles)
{
    Facet model(m_noInfo);
    model.setAllowDuplicates(true);
    for (const TileRecord &t : tiles)
        model.addTile(t.x, t.y, t);
    return exportEntry(number, model);
}

bool MultiFile::readEntry(int entry, const TileInfoSource &data, TileMap &tiles)
{
    tiles.clear();
    if (!readIndex())
        return false;
    if (entry < 0 || entry >= entryCount() || !m_records.at(entry).exists())
        return fail(m_idxPath, QStringLiteral("entry %1 holds no multi").arg(entry));
    QFile mul(m_mulPath);
    if (!mul.open(QIODevice::ReadOnly))
        return fail(m_mulPath, QStringLiteral("cannot be opened (%1)").arg(mul.errorString()));
    const IndexRecord r = m_records.at(entry);
    const int size = recordSize();
    const qint64 available = qBound<qint64>(0, mul.size() - r.offset, qint64(r.length));
    const qint64 wanted = available / size * size;
    if (wanted > 0 && mul.seek(r.offset))
        decodeEntry(mul.read(wanted), size, data, tiles);
    return true;
}

QByteArray MultiFile::encodeEntry(const Facet &model, int recordSize)
{
    QByteArray out;
    out.reserve(qsizetype(model.tileCount() + 1) * recordSize);
    const Facet::LocationTable &table = model.locations();
    // The client takes the first record as the multi's anchor: a tile at the
    // centre on the ground when there is one, else an empty record.
    const TileRecord *first = nullptr;
    const auto origin = table.constFind(0);
    if (origin != table.constEnd()) {
        const auto it = std::find_if(origin->begin(), origin->end(),
                                     [](const TileRecord &t) { return t.z == 0; });
        if (it != origin->end())
            first = &*it;
    }
    if (first)
        appendRecord(out, *first, recordSize);
    else
        out.append(recordSize, '\0');
    for (const quint32 key : model.sortedKeys()) {
        for (const TileRecord &tile : table.constFind(key).value()) {
            if (&tile != first)
                appendRecord(out, tile, recordSize);
        }
    }
    return out;
}

bool MultiFile::exportEntry(int entry, const Facet &model)
{
    QByteArray index;
    if (!readWhole(m_idxPath, index))
        return false;
    m_records = parseIndex(index);
    if (entry < 0 || entry > entryCount())
        return fail(m_idxPath, QStringLiteral("entry %1 is outside 0 to %2").arg(entry).arg(entryCount()));
    QByteArray oldData;
    if (!readWhole(m_mulPath, oldData))
        return false;
    QByteArray newData;
    if (!rebuild(entry, encodeEntry(model, recordSize()), oldData, index, newData))
        return false;
    oldData.clear();
    return install(newData, index);
}

// Lays the entries out in index order with no gaps, the new entry in its place,
// and points the index at them.
bool MultiFile::rebuild(int entry, const QByteArray &newEntry, const QByteArray &oldData,
                        QByteArray &index, QByteArray &newData)
{
    qint64 total = newEntry.size();
    for (int i = 0; i < entryCount(); ++i) {
        const IndexRecord &r = m_records.at(i);
        if (i == entry || !r.exists())
            continue;
        if (qint64(r.offset) + r.length > oldData.size())
            return fail(m_mulPath, QStringLiteral("entry %1 reaches past the end of the file").arg(i));
        total += r.length;
    }
    if (total > std::numeric_limits<qint32>::max())
        return fail(m_mulPath, QStringLiteral("the new data would be too large"));
    newData.reserve(total);
    for (int i = 0; i < entryCount(); ++i) {
        IndexRecord r = m_records.at(i);
        const QByteArray part = i == entry ? newEntry
                                : r.exists() ? QByteArray::fromRawData(oldData.constData() + r.offset, r.length)
                                             : QByteArray();
        if (i == entry || r.exists()) {
            r.offset = qint32(newData.size());
            r.length = qint32(part.size());
            newData.append(part);
        }
        patchRecord(index, i, r);
    }
    if (entry == entryCount()) {
        // A new record at the end; a trailing partial record would be in its way.
        index.truncate(qsizetype(entryCount()) * IndexRecordSize);
        appendIndexRecord(index, {qint32(newData.size()), qint32(newEntry.size()), 0});
        newData.append(newEntry);
    }
    return true;
}

bool MultiFile::writeTempData(const QByteArray &bytes)
{
    QFile temp(tempDataPath());
    bool ok = step(WriteData) && temp.open(QIODevice::WriteOnly | QIODevice::Truncate)
              && temp.write(bytes) == bytes.size() && temp.flush();
#ifdef Q_OS_UNIX
    // On disk before it replaces the client's file.
    ok = ok && ::fsync(temp.handle()) == 0;
#endif
    const QString reason = temp.error() != QFile::NoError ? temp.errorString()
                                                          : QStringLiteral("write interrupted");
    if (temp.isOpen())
        temp.close();
    ok = ok && temp.error() == QFile::NoError;
    if (!ok) {
        if (temp.exists() && QFileInfo(temp).isFile())
            temp.remove();
        return fail(tempDataPath(), QStringLiteral("cannot be written (%1)").arg(reason));
    }
    temp.setPermissions(QFile::permissions(m_mulPath));
    return true;
}

// Old data aside, new data in place; on failure the old data is back.
bool MultiFile::replaceData()
{
    if (QFile::exists(backupDataPath()))
        return fail(backupDataPath(), QStringLiteral("is in the way; move it elsewhere and export again"));
    QFile current(m_mulPath);
    if (!current.rename(backupDataPath()))
        return fail(m_mulPath, QStringLiteral("cannot be renamed (%1)").arg(current.errorString()));
    QFile temp(tempDataPath());
    if (!step(ReplaceData) || !temp.rename(m_mulPath)) {
        const QString reason = temp.error() != QFile::NoError ? temp.errorString()
                                                              : QStringLiteral("rename interrupted");
        QFile::rename(backupDataPath(), m_mulPath);
        return fail(tempDataPath(), QStringLiteral("cannot be renamed (%1)").arg(reason));
    }
    return true;
}

void MultiFile::restoreData()
{
    if (QFile::rename(m_mulPath, tempDataPath()))
        QFile::rename(backupDataPath(), m_mulPath);
}

bool MultiFile::install(const QByteArray &newData, const QByteArray &newIndex)
{
    if (!writeTempData(newData))
        return false;
    QSaveFile index(m_idxPath);
    if (!step(WriteIndex) || !index.open(QIODevice::WriteOnly)
        || index.write(newIndex) != newIndex.size()) {
        const QString reason = index.error() != QFile::NoError ? index.errorString()
                                                               : QStringLiteral("write interrupted");
        index.cancelWriting();
        QFile::remove(tempDataPath());
        return fail(m_idxPath, QStringLiteral("cannot be written (%1)").arg(reason));
    }
    if (!replaceData()) {
        index.cancelWriting();
        QFile::remove(tempDataPath());
        return false;
    }
    if (!step(ReplaceIndex))
        index.cancelWriting();
    if (!index.commit()) {
        const QString reason = index.errorString();
        restoreData();
        QFile::remove(tempDataPath());
        return fail(m_idxPath, QStringLiteral("cannot be replaced (%1)").arg(reason));
    }
    QFile::remove(backupDataPath());
    return true;
}
