#pragma once

#include "model/TileRecord.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <set>

class TileInfoSource;

// The document model of one multi: placed tiles by location inside a fixed
// 400 x 400 area, each location's tiles kept in draw order.
class Facet : public QObject
{
    Q_OBJECT
public:
    using TileSet = std::multiset<TileRecord, DrawOrder>;
    using LocationTable = QHash<quint32, TileSet>;
    // A tile taken out of the model with its storage, to be put back elsewhere
    // without a new allocation: what makes moving many tiles cheap.
    using TileNode = TileSet::node_type;

    explicit Facet(const TileInfoSource &data, QObject *parent = nullptr);

    bool addTile(qint32 x, qint32 y, const TileRecord &tile);
    bool removeTile(qint32 x, qint32 y, const TileRecord &tile);
    // removeTile and addTile that hand the storage from one to the other:
    // takeTile gives an empty node where removeTile fails; putTile stores
    // `tile` in the node (or in new storage when it is empty) where addTile
    // would add it.
    TileNode takeTile(qint32 x, qint32 y, const TileRecord &tile);
    // takeTile of a tile that may be gone (a stale selection): no report when it is.
    TileNode takeTileIfPresent(qint32 x, qint32 y, const TileRecord &tile);
    bool putTile(qint32 x, qint32 y, const TileRecord &tile, TileNode &&node);
    // Within a bulk change, locations it empties stay in the table until it
    // ends, so tiles moving on to them find their entries still there.
    void beginBulk() { ++m_bulk; }
    void endBulk();
    TileSet tilesAt(qint32 x, qint32 y) const;
    // The same without a copy; nullptr for an empty location.
    const TileSet *tilesAtPtr(qint32 x, qint32 y) const;
    // A tile equal to `tile` (its key fields) is at the location.
    bool holds(qint32 x, qint32 y, const TileRecord &tile) const;
    bool placeAt(qint32 x, qint32 y, TileRecord &tile) const;
    void setPlacingAltitude(qint32 altitude) { m_altitude = altitude; }
    qint32 placingAltitude() const { return m_altitude; }
    bool isModified() const { return m_modified; }
    // Counts every change of the tiles: views compare it to know their picture is current.
    quint64 revision() const { return m_revision; }
    // A recovered or imported document holds work that no file has yet: no
    // undo brings it back to a saved state.
    void markModified()
    {
        setModified(true);
        emit markedUnsaved();
    }
    // The tiles are again as they were last saved or opened.
    void markUnmodified() { setModified(false); }
    void setAllowDuplicates(bool allow) { m_allowDuplicates = allow; }

    void load(const TileMap &map);
    // Writes a ".mlt" file through a temporary file; false (and still modified)
    // on failure, with the system's reason in *error.
    bool save(const QString &fileName, QString *error = nullptr);

    // Read access for the renderer, select-all and the exporter; copies nothing.
    const LocationTable &locations() const { return m_locations; }
    // Location keys in ascending order: the deterministic order of saving and exporting.
    QList<quint32> sortedKeys() const;
    int tileCount() const;
    // Tiles a file placed outside the editing area; they stay editable where they lie.
    int tilesOutside() const;
    // Inside the area, or a location outside it that a loaded file filled.
    bool editable(qint32 x, qint32 y) const
    {
        return inside(x, y) || m_loadedOutside.contains(locationKey(x, y));
    }

    bool inside(qint32 x, qint32 y) const
    {
        return x >= originX && x < originX + 8 * blocksWide && y >= originY
               && y < originY + 8 * blocksHigh;
    }

    const qint32 blocksWide = 50;
    const qint32 blocksHigh = 50;
    const qint32 originX = -200;
    const qint32 originY = -200;

signals:
    // The unsaved-changes state went from one value to the other.
    void modifiedChanged(bool modified);
    void markedUnsaved();

private:
    void setModified(bool modified);

    // One diagnostic line on standard output.
    static void report(const char *what, qint32 x, qint32 y, const TileRecord &tile);
    TileNode take(qint32 x, qint32 y, const TileRecord &tile, bool reportMissing);

    LocationTable m_locations;
    int m_bulk = 0;
    QList<quint32> m_emptied;
    QSet<quint32> m_loadedOutside;
    const TileInfoSource &m_data;
    qint32 m_altitude = 0;
    bool m_modified = false;
    bool m_allowDuplicates = false;
    quint64 m_revision = 0;
};
