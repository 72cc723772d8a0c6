#pragma once

#include "data/MultiCollection.h"
#include "data/MultiData.h"
#include "data/MultiIndexRecord.h"
#include "data/MultiRecordSize.h"
#include "data/RecordMerge.h"
#include "model/TileInfo.h"
#include "model/TileRecord.h"

#include <QByteArray>
#include <QString>
#include <QVector>

#include <optional>

class DataAppender;
class TileInfoSource;

// The game's multi.idx / multi.mul pair. The index is an array of 12-byte
// records (offset, length, a third field kept as it is); the data holds each
// entry's tile records: 12 bytes in classic clients, 16 in newer ones (the
// same 12 followed by 4 more).
//
// Export never moves a byte that is already in multi.mul: the entry's records
// are appended past its end and synced, and only then is the index replaced
// as a whole, atomically. Until that single step the old index still describes
// the old data exactly; any failure cuts the appended bytes off again.
//
// The data file is read by entry, never whole: it may be 2 GiB.
class MultiFile : public MultiCollection
{
public:
    using IndexRecord = MultiIndexRecord;

    static constexpr int IndexRecordSize = 12;
    static constexpr int ClassicRecordSize = MultiRecordSize::Classic;
    static constexpr int ExtendedRecordSize = MultiRecordSize::Extended;
    // Offsets and lengths are signed 32-bit: no pair can grow beyond this.
    static constexpr qint64 MaxFileSize = 0x7fffffff;

    MultiFile(const QString &idxPath, const QString &mulPath);

    QString idxPath() const { return m_idxPath; }
    QString mulPath() const { return m_mulPath; }

    // Reads the index alone (complete records only); false when it cannot be read.
    bool readIndex();
    const QVector<IndexRecord> &records() const { return m_records; }
    int entryCount() const { return int(m_records.size()); }
    // How many art ids the tile data holds: a hint for the record size.
    void setTileDataHint(int staticCount);
    // The record size as decided by open() or given by setRecordSize().
    const MultiRecordSize &recordSizeDecision() const { return m_size; }

    // The collection's view of the pair. open() reads the index and decides
    // the record size from (a bounded sample of) the entries' bytes.
    bool open() override;
    QVector<Entry> entries() const override;
    int firstFreeEntry() const override;
    bool readEntry(int number, const TileInfoSource &data, TileMap &tiles) override;
    // Stores `tiles` as entry `number`, 0 to entryCount() (entryCount() adds a
    // record). Records whose tile remains keep their bytes and place. Refused
    // while the record size is undecided or a file of the pair is read-only.
    bool exportEntry(int number, const QList<TileRecord> &tiles) override;
    std::optional<MultiRecordSize> recordSize() const override { return m_size; }
    void setRecordSize(int bytes) override;
    QString errorString() const override { return m_error; }

    // Lays the entries out in index order with no gaps and drops bytes no
    // record points at; entries that share bytes keep sharing one copy.
    bool compact();

    // Pure functions of the files' bytes: the import, the export and the
    // compaction computed without touching a disk.
    static QVector<IndexRecord> parseIndex(const QByteArray &bytes);
    // Complete records only; each tile goes under its location key.
    static void decodeEntry(const QByteArray &bytes, int recordSize, const TileInfoSource &data,
                            TileMap &tiles);
    static QVector<StoredRecord> storedRecords(const QByteArray &bytes, int recordSize);
    // First the tile at (0, 0) with altitude 0 (or an all-zero record when there
    // is none), then every other tile in the order given.
    static QByteArray encodeEntry(const QList<TileRecord> &tiles, int recordSize);
    static QByteArray encodeRecord(const TileRecord &tile, int recordSize);

    struct ExportPlan {
        QByteArray appended; // goes past the end of the data file
        QByteArray index;    // the whole new index
        bool unchanged = false; // the entry already holds exactly these records
    };
    static std::optional<ExportPlan> planExport(const QByteArray &index, const MultiData &data,
                                                int entry, const QList<TileRecord> &tiles,
                                                int recordSize, QString *error);
    // Where compaction puts things: the new index, and the ranges of the old
    // data that make up the new data, in order. Each set of entries whose
    // bytes overlap is one range, placed where its first entry goes.
    struct Range {
        qint64 offset = 0;
        qint64 length = 0;
    };
    struct Layout {
        QByteArray index;
        QVector<Range> ranges;
        qint64 size = 0;
    };
    static std::optional<Layout> compactLayout(const QByteArray &index, qint64 dataSize, QString *error);
    struct Pair {
        QByteArray index;
        QByteArray data;
    };
    // The layout applied to bytes in memory.
    static std::optional<Pair> compacted(const QByteArray &index, const QByteArray &data,
                                         QString *error);

private:
    bool fail(const QString &path, const QString &reason);
    bool failWith(const QString &message);
    // Regular files only, never waiting, no larger than a pair can be.
    std::optional<MultiData> openFile(const QString &path);
    bool readWhole(const QString &path, QByteArray &bytes);
    // Reads the index, opens the data file and decides the record size.
    std::optional<MultiData> openPair();
    bool decide(const MultiData &data);
    bool writablePair(QString &idx, QString &mul);
    // Opens and locks the data file, then reads the index whole.
    bool readLocked(DataAppender &mulFile, const QString &idx, QByteArray &index);
    std::optional<int> decidedSize();

    QString m_idxPath;
    QString m_mulPath;
    QVector<IndexRecord> m_records;
    MultiRecordSize m_size;
    std::optional<int> m_givenSize;
    std::optional<int> m_hint;
    QString m_error;
};
