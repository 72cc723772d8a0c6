#pragma once

#include "model/TileRecord.h"

#include <QList>
#include <QPoint>

#include <functional>
#include <optional>

class Facet;

// The connected region a fill covers, through the four neighbours of each
// cell: either the cells holding no tile of one kind at one altitude, or the
// cells holding a tile like a clicked one (same kind, id and altitude),
// whatever else stands on them.
class FloodFill
{
public:
    struct Region {
        QList<QPoint> cells;
        // The tiles the fill replaces: the tiles like the clicked one (none for an empty region).
        QList<TileRecord> replaced;
    };

    // The empty region around seed when it holds no tile of kind at z, else
    // the region of its first such tile in draw order. Nothing when the region
    // has more than maxArea cells, or the seed lies outside the model's area.
    static std::optional<Region> region(const Facet &model, const QPoint &seed, int kind, int z,
                                        int maxArea);
    // The cells connected to the tile's own holding a tile like it.
    static std::optional<Region> region(const Facet &model, const TileRecord &like, int maxArea);

private:
    // The tiles a cell of the region holds that the fill replaces; nothing
    // for a cell outside the region.
    using Members = std::function<std::optional<QList<TileRecord>>(const QPoint &cell)>;
    static std::optional<Region> walk(const Facet &model, const QPoint &seed, const Members &members,
                                      int maxArea);
    static QList<TileRecord> content(const Facet &model, const QPoint &cell, int kind, int z);
};
