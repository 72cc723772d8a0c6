#include "scene/ToolShapes.h"

#include <algorithm>
#include <cstdlib>

namespace {
// A drag within this slope of an axis stays on the axis (tan 22.5 degrees, about 2/5).
constexpr int AxisSlopeNumerator = 2;
constexpr int AxisSlopeDenominator = 5;

int sign(int v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); }

// Modulo that stays positive for negative values.
int wrap(int v, int n) { return ((v % n) + n) % n; }

// The cells between two corners, whichever way round they are given
// (QRect::normalized would shift an inverted rectangle by one).
QRect cellRect(const QPoint &a, const QPoint &b)
{
    return QRect(QPoint(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
                 QPoint(std::max(a.x(), b.x()), std::max(a.y(), b.y())));
}

void addTiles(Brush &out, const QPoint &offset, const Facet::TileSet &tiles)
{
    Facet::TileSet &set = out[locationKey(offset.x(), offset.y())];
    for (TileRecord t : tiles) {
        t.x = offset.x();
        t.y = offset.y();
        set.insert(t);
    }
}
} // namespace

QPoint ToolShapes::lineEnd(const QPoint &from, const QPoint &to)
{
    const int dx = to.x() - from.x();
    const int dy = to.y() - from.y();
    const int ax = std::abs(dx);
    const int ay = std::abs(dy);
    if (ay * AxisSlopeDenominator < ax * AxisSlopeNumerator)
        return {to.x(), from.y()};
    if (ax * AxisSlopeDenominator < ay * AxisSlopeNumerator)
        return {from.x(), to.y()};
    const int length = (ax + ay + 1) / 2;
    return {from.x() + sign(dx) * length, from.y() + sign(dy) * length};
}

Brush ToolShapes::line(const Brush &brush, const QPoint &from, const QPoint &to)
{
    Brush out;
    if (brush.isEmpty())
        return out;
    const QPoint end = lineEnd(from, to);
    const QRect extent = brushExtent(brush);
    const int dx = sign(end.x() - from.x());
    const int dy = sign(end.y() - from.y());
    // One copy of the group every group width along its direction.
    QPoint step(dx * extent.width(), dy * extent.height());
    if (dx != 0 && dy != 0) {
        const int size = std::max(extent.width(), extent.height());
        step = QPoint(dx * size, dy * size);
    }
    const int length = std::max(std::abs(end.x() - from.x()), std::abs(end.y() - from.y()));
    const int stride = std::max(std::abs(step.x()), std::abs(step.y()));
    const int copies = stride > 0 ? length / stride + 1 : 1;
    for (int k = 0; k < copies; ++k) {
        const QPoint at = step * k;
        for (auto it = brush.cbegin(); it != brush.cend(); ++it)
            addTiles(out, at + QPoint(keyX(it.key()), keyY(it.key())), *it);
    }
    return out;
}

QList<QPoint> ToolShapes::rectangleCells(const QPoint &from, const QPoint &to, bool hollow)
{
    const QRect r = cellRect(from, to);
    QList<QPoint> cells;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            const bool side = x == r.left() || x == r.right() || y == r.top() || y == r.bottom();
            if (!hollow || side)
                cells.append(QPoint(x, y));
        }
    }
    return cells;
}

Brush ToolShapes::pattern(const Brush &brush, const QList<QPoint> &cells, const QPoint &anchor)
{
    Brush out;
    if (brush.isEmpty())
        return out;
    out.reserve(cells.size());
    const QRect extent = brushExtent(brush);
    for (const QPoint &c : cells) {
        const QPoint rel = c - anchor;
        const quint32 source = locationKey(extent.left() + wrap(rel.x(), extent.width()),
                                           extent.top() + wrap(rel.y(), extent.height()));
        const auto it = brush.constFind(source);
        if (it != brush.cend() && !it->empty())
            addTiles(out, rel, *it);
    }
    return out;
}

Brush ToolShapes::rectangle(const Brush &brush, const QPoint &from, const QPoint &to, bool hollow)
{
    return pattern(brush, rectangleCells(from, to, hollow), from);
}

Brush ToolShapes::walls(const QPoint &from, const QPoint &to, const WallSet &set,
                        const TileRecord &like, const TileInfoSource &data)
{
    const QRect r = cellRect(from, to);
    Brush out;
    for (const QPoint &c : rectangleCells(from, to, true)) {
        const bool xSide = c.x() == r.left() || c.x() == r.right();
        const bool ySide = c.y() == r.top() || c.y() == r.bottom();
        // A side at constant y runs along x.
        const quint16 id = (xSide && ySide) ? set.corner : (ySide ? set.alongX : set.alongY);
        TileRecord t(id, like.hue, like.z, data, like.kind);
        t.visible = like.visible;
        const QPoint rel = c - from;
        t.x = rel.x();
        t.y = rel.y();
        out[locationKey(rel.x(), rel.y())].insert(t);
    }
    return out;
}

const TileRecord *ToolShapes::firstTile(const Brush &brush)
{
    const auto origin = brush.constFind(0);
    if (origin != brush.cend() && !origin->empty())
        return &*origin->cbegin();
    for (const Facet::TileSet &set : brush)
        if (!set.empty())
            return &*set.cbegin();
    return nullptr;
}
