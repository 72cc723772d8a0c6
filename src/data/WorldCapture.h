#pragma once

#include "model/Altitude.h"
#include "model/TileRecord.h"

#include <QPoint>
#include <QRect>
#include <QString>

#include <optional>

class TileInfoSource;
class WorldFacet;

// Takes a rectangle of the world as a multi: every static in it whose
// altitude lies in a range, placed relative to a centre cell and a base
// altitude, hues kept, and optionally the cells' terrain.
class WorldCapture
{
public:
    struct Request {
        QRect area; // world cells, corners inclusive
        int zMin = Altitude::Min;
        int zMax = Altitude::Max;
        std::optional<QPoint> centre;  // default: middleOf(area)
        std::optional<int> base;       // default: the terrain altitude at the centre
        bool terrain = false;
    };
    struct Result {
        TileMap tiles;
        QPoint centre;
        int base = 0;
        QRect area; // the area as captured: the request's, clipped to the facet
        int statics = 0;
        int terrainTiles = 0;
    };

    // The cells from one corner to the other, both included, in any order
    // (QRect::normalized() loses a row and a column of such a rectangle).
    static QRect between(QPoint a, QPoint b);
    // The middle cell of an area, rounding down.
    static QPoint middleOf(const QRect &area);
    // Nothing, with *error set, when the area misses the facet, reaches past the
    // editing area around the centre, a block cannot be read, or a tile's
    // altitude relative to the base falls outside -128..127.
    static std::optional<Result> capture(WorldFacet &facet, const Request &request,
                                         const TileInfoSource &data, QString *error);
    // "Facet 4, 100,200 - 131,231": a captured document's title.
    static QString title(int facet, const QRect &area);
};
