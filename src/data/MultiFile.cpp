#include "data/MultiFile.h"

#include "data/DataAppender.h"
#include "model/NoTileInfo.h"
#include "model/RecordCodec.h"
#include "model/SafeWrite.h"
#include "model/TileInfo.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QtEndian>

#include <algorithm>

namespace {

// Tile data with this many art ids comes with 16-byte multi records.
constexpr int ExtendedArtIds = 0x10000;

QString tr(const char *text)
{
    return QCoreApplication::translate("MultiFile", text);
}

void putIndexRecord(QByteArray &index, qsizetype at, const MultiIndexRecord &r)
{
    uchar p[MultiFile::IndexRecordSize];
    qToLittleEndian<qint32>(r.offset, p);
    qToLittleEndian<qint32>(r.length, p + 4);
    qToLittleEndian<quint32>(r.extra, p + 8);
    if (at + MultiFile::IndexRecordSize > index.size())
        index.resize(at + MultiFile::IndexRecordSize);
    std::copy(p, p + MultiFile::IndexRecordSize, index.data() + at);
}

// A new record's third field: what most records of the file hold (-1 in some
// clients' files, 0 in others).
quint32 usualExtra(const QVector<MultiIndexRecord> &records)
{
    QHash<quint32, int> counts;
    quint32 best = 0;
    int bestCount = 0;
    for (const MultiIndexRecord &r : records) {
        const int c = ++counts[r.extra];
        if (c > bestCount)
            best = r.extra, bestCount = c;
    }
    return best;
}

// The bytes of an entry that lie inside the data, whole records only; false
// when they cannot be read.
bool entryBytes(const MultiData &data, const MultiIndexRecord &r, int recordSize, QByteArray &bytes)
{
    bytes.clear();
    if (!r.exists() || r.offset >= data.size())
        return true;
    const qint64 available = qMin<qint64>(r.length, data.size() - r.offset);
    return data.read(r.offset, available / recordSize * recordSize, bytes);
}

// The real file behind a link: both halves of the pair are updated where they live.
QString realPath(const QString &path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? path : canonical;
}

bool hasWriteBit(const QString &path)
{
    const QFileInfo info(path);
    // The mode's own bits: the superuser may write anything, but a file marked
    // read-only was marked so on purpose.
    return info.permissions() & (QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther);
}

} // namespace

MultiFile::MultiFile(const QString &idxPath, const QString &mulPath)
    : m_idxPath(idxPath), m_mulPath(mulPath)
{
}

bool MultiFile::fail(const QString &path, const QString &reason)
{
    return failWith(QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), reason));
}

bool MultiFile::failWith(const QString &message)
{
    m_error = message;
    return false;
}

std::optional<MultiData> MultiFile::openFile(const QString &path)
{
    QString error;
    std::optional<MultiData> file = MultiData::open(path, &error);
    if (!file) {
        failWith(error);
    } else if (file->size() > MaxFileSize) {
        fail(path, tr("is too large for a multi file"));
        file.reset();
    }
    return file;
}

bool MultiFile::readWhole(const QString &path, QByteArray &bytes)
{
    const std::optional<MultiData> file = openFile(path);
    if (!file)
        return false;
    // Every byte or an error: a file read in part is not taken for a shorter one.
    return file->read(0, file->size(), bytes) || failWith(file->errorString());
}

void MultiFile::setTileDataHint(int staticCount)
{
    m_hint = staticCount >= ExtendedArtIds ? ExtendedRecordSize : ClassicRecordSize;
}

void MultiFile::setRecordSize(int bytes)
{
    if (!MultiRecordSize::isValid(bytes))
        return;
    m_givenSize = bytes;
    m_size = MultiRecordSize::given(bytes);
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

bool MultiFile::open()
{
    return openPair().has_value();
}

std::optional<MultiData> MultiFile::openPair()
{
    if (!readIndex())
        return std::nullopt;
    std::optional<MultiData> data = openFile(m_mulPath);
    if (data && !decide(*data))
        data.reset();
    return data;
}

bool MultiFile::decide(const MultiData &data)
{
    m_size = m_givenSize ? MultiRecordSize::given(*m_givenSize) : MultiRecordSize::decide(m_records, data, m_hint);
    return !m_size.unreadable() || failWith(m_size.reason());
}

std::optional<int> MultiFile::decidedSize()
{
    if (!m_size.bytes()) {
        failWith(tr("%1: the record size cannot be told: %2. Name it: 12 or 16 bytes.")
                     .arg(QDir::toNativeSeparators(m_mulPath), m_size.reason()));
    }
    return m_size.bytes();
}

void MultiFile::decodeEntry(const QByteArray &bytes, int recordSize, const TileInfoSource &data,
                            TileMap &tiles)
{
    const qsizetype n = bytes.size() / recordSize;
    const uchar *p = reinterpret_cast<const uchar *>(bytes.constData());
    // Only the low half of the flags says anything: the visibility.
    for (qsizetype i = 0; i < n; ++i, p += recordSize) {
        const TileRecord tile = RecordCodec::decode(p, data);
        tiles[locationKey(tile.x, tile.y)].append(tile);
    }
}

QVector<StoredRecord> MultiFile::storedRecords(const QByteArray &bytes, int recordSize)
{
    const NoTileInfo none;
    QVector<StoredRecord> out;
    const qsizetype n = bytes.size() / recordSize;
    out.reserve(n);
    for (qsizetype i = 0; i < n; ++i) {
        const auto *p = reinterpret_cast<const uchar *>(bytes.constData()) + i * recordSize;
        out.append({RecordCodec::decode(p, none), bytes.mid(i * recordSize, recordSize)});
    }
    return out;
}

QVector<MultiCollection::Entry> MultiFile::entries() const
{
    QVector<Entry> out;
    const std::optional<int> size = m_size.bytes();
    for (int n = 0; n < entryCount(); ++n) {
        const IndexRecord &r = m_records.at(n);
        if (r.exists())
            out.append({n, size ? r.length / *size : -1});
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

bool MultiFile::readEntry(int entry, const TileInfoSource &data, TileMap &tiles)
{
    tiles.clear();
    const std::optional<MultiData> bytes = openPair();
    if (!bytes)
        return false;
    if (entry < 0 || entry >= entryCount() || !m_records.at(entry).exists())
        return fail(m_idxPath, tr("entry %1 holds no multi").arg(entry));
    const std::optional<int> size = decidedSize();
    if (!size)
        return false;
    QByteArray stored;
    if (!entryBytes(*bytes, m_records.at(entry), *size, stored))
        return failWith(bytes->errorString());
    decodeEntry(stored, *size, data, tiles);
    return true;
}

QByteArray MultiFile::encodeRecord(const TileRecord &tile, int recordSize)
{
    uchar r[ExtendedRecordSize] = {};
    // The flags carry the visibility widened with its sign.
    RecordCodec::encode(tile, quint32(qint32(tile.visible)), r);
    return QByteArray(reinterpret_cast<const char *>(r), recordSize);
}

QByteArray MultiFile::encodeEntry(const QList<TileRecord> &tiles, int recordSize)
{
    // The client takes the first record as the multi's anchor: a tile at the
    // centre on the ground when there is one, else an empty record.
    const auto anchor = std::find_if(tiles.cbegin(), tiles.cend(), [](const TileRecord &t) {
        return t.x == 0 && t.y == 0 && t.z == 0;
    });
    QByteArray out;
    out.reserve(qsizetype(tiles.size() + 1) * recordSize);
    out.append(anchor != tiles.cend() ? encodeRecord(*anchor, recordSize) : QByteArray(recordSize, '\0'));
    for (auto it = tiles.cbegin(); it != tiles.cend(); ++it) {
        if (it != anchor)
            out.append(encodeRecord(*it, recordSize));
    }
    return out;
}

std::optional<MultiFile::ExportPlan> MultiFile::planExport(const QByteArray &index,
                                                           const MultiData &data, int entry,
                                                           const QList<TileRecord> &tiles,
                                                           int recordSize, QString *error)
{
    const QVector<IndexRecord> records = parseIndex(index);
    const auto refuse = [error](const QString &why) {
        if (error)
            *error = why;
        return std::nullopt;
    };
    if (!MultiRecordSize::isValid(recordSize))
        return refuse(tr("record size %1 is neither 12 nor 16").arg(recordSize));
    if (entry < 0 || entry > records.size())
        return refuse(tr("entry %1 is outside 0 to %2").arg(entry).arg(records.size()));
    const IndexRecord old = entry < records.size() ? records.at(entry) : IndexRecord{-1, 0, usualExtra(records)};
    QByteArray stored;
    if (!entryBytes(data, old, recordSize, stored))
        return refuse(data.errorString());
    const QVector<StoredRecord> storedTiles = storedRecords(stored, recordSize);
    const bool anyKept = std::any_of(storedTiles.cbegin(), storedTiles.cend(), [&tiles](const StoredRecord &r) {
        return std::any_of(tiles.cbegin(), tiles.cend(),
                           [&r](const TileRecord &t) { return RecordMerge::sameStoredTile(r.tile, t); });
    });
    // Nothing of the old entry left: a new entry, with its anchor first.
    const QByteArray bytes = anyKept ? RecordMerge::merge(storedTiles, tiles,
                                                          [recordSize](const TileRecord &t) {
                                                              return encodeRecord(t, recordSize);
                                                          })
                                     : encodeEntry(tiles, recordSize);

    ExportPlan plan;
    plan.index = index;
    if (old.exists() && stored.size() == old.length && bytes == stored) {
        plan.unchanged = true;
        return plan;
    }
    if (qint64(data.size()) + bytes.size() > MaxFileSize)
        return refuse(tr("the data file would grow beyond 2 GiB"));
    IndexRecord now = old;
    now.offset = qint32(data.size());
    now.length = qint32(bytes.size());
    // A trailing partial record would be in the way of a new one.
    if (entry == records.size())
        plan.index.truncate(records.size() * IndexRecordSize);
    putIndexRecord(plan.index, qsizetype(entry) * IndexRecordSize, now);
    plan.appended = bytes;
    return plan;
}

std::optional<MultiFile::Layout> MultiFile::compactLayout(const QByteArray &index, qint64 dataSize,
                                                          QString *error)
{
    const QVector<IndexRecord> records = parseIndex(index);
    QVector<int> byOffset;
    for (int n = 0; n < records.size(); ++n) {
        const IndexRecord &r = records.at(n);
        if (!r.exists())
            continue;
        if (qint64(r.offset) + r.length > dataSize) {
            if (error)
                *error = tr("entry %1 reaches past the end of the data file").arg(n);
            return std::nullopt;
        }
        byOffset.append(n);
    }
    std::sort(byOffset.begin(), byOffset.end(), [&records](int a, int b) {
        return records.at(a).offset < records.at(b).offset || (records.at(a).offset == records.at(b).offset && a < b);
    });
    // Entries whose bytes overlap stay one range: copied once, however many
    // records point into it (ten million records of one house are one house).
    struct Span {
        qint64 start, end;
        int first; // the lowest entry number in it: where the range goes
        qint64 placed = 0;
    };
    QVector<Span> spans;
    QVector<int> spanOf(records.size(), -1);
    for (const int n : byOffset) {
        const IndexRecord &r = records.at(n);
        if (spans.isEmpty() || r.offset >= spans.last().end)
            spans.append({r.offset, qint64(r.offset) + r.length, n});
        Span &last = spans.last();
        last.end = qMax(last.end, qint64(r.offset) + r.length);
        last.first = qMin(last.first, n);
        spanOf[n] = int(spans.size() - 1);
    }
    QVector<int> order(spans.size());
    for (int i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(), [&spans](int a, int b) { return spans.at(a).first < spans.at(b).first; });
    Layout out;
    out.index = index;
    for (const int i : order) {
        Span &span = spans[i];
        span.placed = out.size;
        out.ranges.append({span.start, span.end - span.start});
        out.size += span.end - span.start;
    }
    for (const int n : byOffset) {
        IndexRecord r = records.at(n);
        const Span &span = spans.at(spanOf.at(n));
        r.offset = qint32(span.placed + (r.offset - span.start));
        putIndexRecord(out.index, qsizetype(n) * IndexRecordSize, r);
    }
    return out;
}

std::optional<MultiFile::Pair> MultiFile::compacted(const QByteArray &index, const QByteArray &data,
                                                    QString *error)
{
    const std::optional<Layout> layout = compactLayout(index, data.size(), error);
    if (!layout)
        return std::nullopt;
    Pair out{layout->index, QByteArray()};
    for (const Range &range : layout->ranges)
        out.data.append(data.mid(range.offset, range.length));
    return out;
}

// Both files resolved to where they really live, each one writable.
bool MultiFile::writablePair(QString &idx, QString &mul)
{
    idx = realPath(m_idxPath);
    mul = realPath(m_mulPath);
    for (const QString &path : {idx, mul}) {
        const QFileInfo info(path);
        if (!info.isFile())
            return fail(path, tr("is not a file"));
        if (!hasWriteBit(path) || !info.isWritable())
            return fail(path, tr("is read-only; nothing was written"));
    }
    return true;
}

bool MultiFile::readLocked(DataAppender &mulFile, const QString &idx, QByteArray &index)
{
    QString error;
    if (!mulFile.open(&error))
        return failWith(error);
    if (mulFile.originalSize() > MaxFileSize)
        return fail(m_mulPath, tr("is too large for a multi file"));
    return readWhole(idx, index);
}

bool MultiFile::exportEntry(int entry, const QList<TileRecord> &tiles)
{
    QString idx, mul, error;
    QByteArray index;
    if (!writablePair(idx, mul))
        return false;
    // Locked first: the index read below is the one this export replaces.
    DataAppender appender(mul);
    if (!readLocked(appender, idx, index))
        return false;
    m_records = parseIndex(index);
    const MultiData data(appender.descriptor(), appender.originalSize(), mul);
    if (!decide(data))
        return false;
    const std::optional<int> size = decidedSize();
    if (!size)
        return false;
    const std::optional<ExportPlan> plan = planExport(index, data, entry, tiles, *size, &error);
    if (!plan)
        return fail(idx, error);
    if (plan->unchanged)
        return true;
    if (!appender.append(plan->appended, &error))
        return failWith(error);
    // The one step that makes the new entry count.
    if (!SafeWrite::replaceFile(idx, plan->index, &error)) {
        appender.withdraw(nullptr);
        return fail(idx, tr("cannot be replaced (%1)").arg(error));
    }
    m_records = parseIndex(plan->index);
    return true;
}

// Every step leaves a pair whose index reads exactly the old entries: the
// compact data goes past the end first and the index moves onto it; then the
// compact data is copied to the start, which nothing points at any more (it is
// no longer than the old data, as shared bytes stay shared), the index moves
// there, and the file is cut behind it. A compaction that stops half-way is
// finished by the next one.
bool MultiFile::compact()
{
    QString idx, mul, error;
    QByteArray index;
    if (!writablePair(idx, mul))
        return false;
    DataAppender file(mul);
    if (!readLocked(file, idx, index))
        return false;
    const qint64 end = file.originalSize();
    const std::optional<Layout> layout = compactLayout(index, end, &error);
    if (!layout)
        return fail(mul, error);
    if (layout->size == end && layout->index == index)
        return true;
    if (end + layout->size > MaxFileSize)
        return fail(mul, tr("the data file would grow beyond 2 GiB"));
    // The compact index, pointing past the old end.
    QByteArray behind = layout->index;
    const QVector<IndexRecord> compactRecords = parseIndex(layout->index);
    for (int n = 0; n < compactRecords.size(); ++n) {
        IndexRecord r = compactRecords.at(n);
        if (r.exists()) {
            r.offset += qint32(end);
            putIndexRecord(behind, qsizetype(n) * IndexRecordSize, r);
        }
    }
    qint64 at = end;
    for (const Range &range : layout->ranges) {
        if (!file.copy(range.offset, range.length, at, &error)) {
            file.withdraw(nullptr);
            return failWith(error);
        }
        at += range.length;
    }
    if (!file.sync(&error)) {
        file.withdraw(nullptr);
        return failWith(error);
    }
    if (!SafeWrite::replaceFile(idx, behind, &error)) {
        file.withdraw(nullptr);
        return fail(idx, tr("cannot be replaced (%1)").arg(error));
    }
    if (!file.copy(end, layout->size, 0, &error) || !file.sync(&error))
        return failWith(error);
    if (!SafeWrite::replaceFile(idx, layout->index, &error))
        return fail(idx, tr("cannot be replaced (%1)").arg(error));
    if (!file.cutTo(layout->size, &error))
        return failWith(error);
    m_records = parseIndex(layout->index);
    return true;
}
