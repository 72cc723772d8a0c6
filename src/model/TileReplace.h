#pragma once

#include "model/TileRecord.h"

#include <QHash>
#include <QList>
#include <QMap>

class Facet;
class TileInfoSource;
class UndoMgr;

// Swapping materials: tiles of some ids become tiles of others where they
// stand, keeping x, y, z, hue and visibility. Planned over any list of tiles
// (a selection, a whole multi), then applied as one undo step.
class TileReplace
{
public:
    using IdMap = QHash<quint16, quint16>;

    // One palette group by another, piece by piece: the n-th id of `from`
    // becomes the n-th of `to`. Ids of `from` beyond the end of `to` have no
    // partner: they are left alone and listed in *unpartnered.
    static IdMap pieceByPiece(const QList<qint32> &from, const QList<qint32> &to, QList<quint16> *unpartnered);

    struct Plan {
        QList<TileRecord> before; // the tiles that change, as they are
        QList<TileRecord> after;  // each of them with its new id, tile data looked up
        QMap<quint16, int> counts; // tiles replaced, by their old id
        QList<quint16> unpartnered;
        qsizetype replaced() const { return before.size(); }
    };
    // The tiles of `kind` whose id the map names (an id mapped to itself changes nothing).
    static Plan plan(const QList<TileRecord> &tiles, const IdMap &map, const TileInfoSource &data,
                     qint32 kind = Art);
    // Every old tile leaves before any new one arrives, so ids swapped both
    // ways find the right tiles. A new tile equal to one already standing
    // becomes one with it, as the model holds no duplicates: the count of
    // those is returned. (Where ids swap on one spot, nothing merges: the
    // group keeps duplicates, so that one undo brings back every tile.)
    static int apply(const Plan &plan, UndoMgr &undo, const Facet &model);
};
