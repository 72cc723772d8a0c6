#pragma once

#include "model/WallSet.h"
#include "scene/Brush.h"

#include <QList>
#include <QPoint>
#include <QRect>

class TileInfoSource;

// The tiles the drawing tools place, as brushes anchored at the press
// location: map cells only, no widgets. Altitudes stay those of the brush
// (above the placing altitude).
class ToolShapes
{
public:
    // The end of the straight line from `from` nearest to `to`: along x,
    // along y or along a diagonal, whichever direction the drag is closest to.
    static QPoint lineEnd(const QPoint &from, const QPoint &to);
    // The brush repeated at its own size from `from` towards the line's end.
    static Brush line(const Brush &brush, const QPoint &from, const QPoint &to);
    // The rectangle between two corners, the brush laid as a repeating
    // pattern from `from`; hollow keeps its four sides only.
    static Brush rectangle(const Brush &brush, const QPoint &from, const QPoint &to, bool hollow);
    // Four sides with a wall set: corners and the two kinds of side pieces,
    // each in the hue and at the altitude of `like`.
    static Brush walls(const QPoint &from, const QPoint &to, const WallSet &set,
                       const TileRecord &like, const TileInfoSource &data);
    // The brush as a pattern over the cells, offsets from `anchor`.
    static Brush pattern(const Brush &brush, const QList<QPoint> &cells, const QPoint &anchor);
    // Cells of the rectangle between two corners, all or only its sides.
    static QList<QPoint> rectangleCells(const QPoint &from, const QPoint &to, bool hollow);
    // The first tile of the brush in draw order, if any.
    static const TileRecord *firstTile(const Brush &brush);
};
