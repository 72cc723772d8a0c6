#pragma once

#include "data/MultiCollection.h"
#include "data/RecordMerge.h"
#include "data/UopFile.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QVector>

// MultiCollection.uop: each multi is the zlib-packed entry named
// "build/multicollection/NNNNNN.bin" after its id; the payload is the id, the
// tile count, then one record per tile (id, x, y, z, a flags word whose low
// byte is 0 for a visible tile, and a count of extra words that follow).
// Entries that are not multis (housing.bin, unknown hashes) are never listed
// and survive every export byte for byte.
class UopMultiStore : public MultiCollection
{
public:
    static constexpr int MaxMultiId = 0xFFFF;
    static constexpr int PayloadHeaderBytes = 8;
    static constexpr int RecordBytes = 14; // without the extra words
    // Read whole to be rewritten: the client's own container is a few megabytes.
    static constexpr qint64 MaxFileSize = 0x7fffffff;

    explicit UopMultiStore(const QString &path);

    static QString entryName(int id);
    static quint64 entryHash(int id);
    static quint64 housingHash();

    bool open() override;
    QVector<Entry> entries() const override;
    int firstFreeEntry() const override;
    bool readEntry(int number, const TileInfoSource &data, TileMap &tiles) override;
    bool exportEntry(int number, const QList<TileRecord> &tiles) override;
    QString errorString() const override { return m_error; }

    // What open() found: the container's own view, for reports.
    const UopFile &container() const { return m_uop; }
    QString path() const { return m_path; }

    // The payload's complete records; false when even its header is missing.
    static bool decodePayload(const QByteArray &payload, const TileInfoSource &data,
                              QVector<StoredRecord> &records);
    static QByteArray encodeRecord(const TileRecord &tile);
    // Records in a run of encoded records.
    static int countRecords(const QByteArray &records);

private:
    bool fail(const QString &reason);
    bool storedRecords(UopFile &uop, int number, QVector<StoredRecord> &records);

    QString m_path;
    UopFile m_uop;
    QMap<int, int> m_counts; // multi id -> tile count, -1 when unreadable
    bool m_opened = false;   // entries() is kept up to date by exports only after open()
    QString m_error;
};
