#pragma once

#include "data/MultiRecordSize.h"
#include "model/TileRecord.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVector>

#include <memory>
#include <optional>

class Facet;
class TileInfoSource;

// A store of many multis under entry numbers: the game's index/data pair,
// its packed container, a component list of templates. The chooser, the
// import and export flows and mltool reach every such store through this.
class MultiCollection
{
public:
    struct Entry {
        int number = 0;
        int tileCount = -1; // -1 when it is not known without decoding the entry
    };

    virtual ~MultiCollection() = default;

    // Reads the store's table of entries; false with errorString() set on failure.
    virtual bool open() = 0;
    // The entries that hold a multi, by ascending number.
    virtual QVector<Entry> entries() const = 0;
    bool hasEntry(int number) const;
    // The lowest number that holds no multi and can be written.
    virtual int firstFreeEntry() const = 0;
    // Reads one entry into `tiles` (cleared first); false with errorString() on failure.
    virtual bool readEntry(int number, const TileInfoSource &data, TileMap &tiles) = 0;
    // Stores `tiles` as entry `number`, replacing or adding it; false with errorString() on failure.
    virtual bool exportEntry(int number, const QList<TileRecord> &tiles) = 0;
    virtual QString errorString() const = 0;
    // Stores whose tile record size the content may leave open (the index/data
    // pair) say what open() decided; the others have no such question.
    virtual std::optional<MultiRecordSize> recordSize() const { return std::nullopt; }
    // The size the user named (12 or 16), used from then on.
    virtual void setRecordSize(int bytes) { Q_UNUSED(bytes) }

    // The store named by `paths`, chosen by the first path's suffix: an index
    // with its data file (two paths) unless a single-file format is named.
    // Null when the paths name no known store.
    static std::unique_ptr<MultiCollection> forPaths(const QStringList &paths);
};

// Every tile of a tile map, location by location in ascending key order.
QList<TileRecord> tilesInKeyOrder(const TileMap &map);
// Every tile of a document, location by location in ascending key order, each
// location in draw order: what an export stores.
QList<TileRecord> tilesInDrawOrder(const Facet &model);
// What tilesInDrawOrder() gives for a model loaded from `tiles`, without the
// model; the map is emptied on the way, so each tile is held once.
QList<TileRecord> takeInDrawOrder(TileMap &tiles);
