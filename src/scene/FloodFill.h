#pragma once

#include "model/TileRecord.h"

#include <QList>
#include <QPoint>

#include <optional>

class Facet;

// The connected region a fill covers: from a seed cell, every cell reached
// through its four neighbours whose tiles of one kind at one altitude are the
// same as the seed's (none, for an empty region).
class FloodFill
{
public:
    struct Region {
        QList<QPoint> cells;
        // The tiles of those cells that the fill replaces (empty for an empty region).
        QList<TileRecord> replaced;
    };

    // Nothing when the region has more than maxArea cells, or the seed lies
    // outside the model's area.
    static std::optional<Region> region(const Facet &model, const QPoint &seed, int kind, int z,
                                        int maxArea);

private:
    static QList<TileRecord> content(const Facet &model, const QPoint &cell, int kind, int z);
    static bool sameContent(const QList<TileRecord> &a, const QList<TileRecord> &b);
};
