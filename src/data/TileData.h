#pragma once

#include "data/DataFileStatus.h"
#include "model/TileInfo.h"

#include <QByteArray>
#include <QString>
#include <QVector>

// The game's tiledata.mul: flags, height, name and texture number of every
// terrain and art id. Two layouts exist (32-bit flags and the newer 64-bit
// flags); the file size tells which.
class TileData : public TileInfoSource
{
public:
    TileData() = default;
    explicit TileData(const QString &path) { load(path); }

    // A missing or short file gives empty tables (zero flags, empty names).
    void load(const QString &path);
    void loadFromBytes(const QByteArray &bytes);

    TileInfo landInfo(int id) const override;
    TileInfo staticInfo(int id) const override;
    int landCount() const { return int(m_land.size()); }
    int staticCount() const { return int(m_static.size()); }
    // What load() found: the file, its layout and its counts.
    DataFileStatus status() const { return m_status; }

    // Test and tool helper: set one entry directly.
    void setStaticInfo(int id, const TileInfo &info);
    void setLandInfo(int id, const TileInfo &info);

private:
    struct Entry {
        quint64 flags = 0;
        quint16 extra = 0; // texture number (terrain) or height (art)
        QString name; // converted once at load: every tile record copies it
    };
    static TileInfo info(const Entry &e, bool art);
    static void store(QVector<Entry> &table, int id, int limit, const Entry &entry);

    QVector<Entry> m_land;
    QVector<Entry> m_static;
    DataFileStatus m_status;
};
