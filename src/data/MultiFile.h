#pragma once

#include "data/MultiCollection.h"
#include "model/TileInfo.h"
#include "model/TileRecord.h"

#include <QByteArray>
#include <QString>
#include <QVector>

#include <functional>

class Facet;
class TileInfoSource;

// The game's multi.idx / multi.mul pair. The index is an array of 12-byte
// records (offset, length, a third field kept as it is); the data holds each
// entry's tile records: 12 bytes in classic clients, 16 in newer ones (the
// same 12 followed by 4 more, usually zero).
//
// Export never damages the pair: the new data and index are written completely
// beside the originals and only then renamed into place, index last; any
// failure leaves both files as they were.
class MultiFile : public MultiCollection
{
public:
    struct IndexRecord {
        qint32 offset = -1;
        qint32 length = 0;
        quint32 extra = 0;
        bool exists() const { return offset >= 0 && length > 0; }
    };

    // The steps of an export that can fail after the originals have been read.
    enum Step { WriteData, WriteIndex, ReplaceData, ReplaceIndex };
    // Called before each step; returning false makes that step fail (fault injection).
    using FaultHook = std::function<bool(Step)>;

    static constexpr int IndexRecordSize = 12;
    static constexpr int ClassicRecordSize = 12;
    static constexpr int ExtendedRecordSize = 16;

    MultiFile(const QString &idxPath, const QString &mulPath);

    QString idxPath() const { return m_idxPath; }
    QString mulPath() const { return m_mulPath; }
    // The data file's temporary: its full path with ".bmg" appended.
    QString tempDataPath() const { return m_mulPath + QStringLiteral(".bmg"); }
    // Where the old data file waits while the new one is put in place.
    QString backupDataPath() const { return m_mulPath + QStringLiteral(".old"); }

    // Reads the index (complete records only); false when it cannot be read.
    bool readIndex();
    const QVector<IndexRecord> &records() const { return m_records; }
    int entryCount() const { return int(m_records.size()); }
    // Record size of the data file, judged from the index read last.
    int recordSize() const { return detectRecordSize(m_records); }

    // Reads one entry into `tiles` (cleared first). Reads are bounded by the data
    // file's size: an entry reaching past its end yields the complete records that
    // exist. False when a file cannot be read or the entry does not exist.

    // Stores the model as entry `entry`, 0 to entryCount() (entryCount() appends
    // a record), in the pair's own record size. False with errorString() set on failure.
    bool exportEntry(int entry, const Facet &model);

    // The collection's view of the pair.
    bool open() override { return readIndex(); }
    QVector<Entry> entries() const override;
    int firstFreeEntry() const override;
    bool readEntry(int number, const TileInfoSource &data, TileMap &tiles) override;
    bool exportEntry(int number, const QList<TileRecord> &tiles) override;

    QString errorString() const override { return m_error; }
    void setFaultHook(FaultHook hook) { m_faultHook = std::move(hook); }

    // 16 when every existing entry's length is a multiple of 16 and some is not
    // a multiple of 12; 12 otherwise.
    static int detectRecordSize(const QVector<IndexRecord> &records);
    static QVector<IndexRecord> parseIndex(const QByteArray &bytes);
    // Complete records only; each tile goes under its location key.
    static void decodeEntry(const QByteArray &bytes, int recordSize, const TileInfoSource &data,
                            TileMap &tiles);
    // First the tile at (0, 0) with altitude 0 (or an all-zero record when there is
    // none), then every other tile by ascending location key, each location in draw order.
    static QByteArray encodeEntry(const Facet &model, int recordSize);

private:
    bool fail(const QString &path, const QString &reason);
    bool step(Step s) const { return !m_faultHook || m_faultHook(s); }
    bool readWhole(const QString &path, QByteArray &bytes);
    bool rebuild(int entry, const QByteArray &newEntry, const QByteArray &oldData,
                 QByteArray &index, QByteArray &newData);
    bool writeTempData(const QByteArray &bytes);
    bool install(const QByteArray &newData, const QByteArray &newIndex);
    bool replaceData();
    void restoreData();

    QString m_idxPath;
    QString m_mulPath;
    QVector<IndexRecord> m_records;
    QString m_error;
    struct NoInfo : TileInfoSource {
        TileInfo landInfo(int) const override { return {}; }
        TileInfo staticInfo(int) const override { return {}; }
    } m_noInfo;
    FaultHook m_faultHook;
};
