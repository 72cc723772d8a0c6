#include "scene/FloodFill.h"

#include "model/Facet.h"

#include <QSet>

std::optional<FloodFill::Region> FloodFill::region(const Facet &model, const QPoint &seed,
                                                    int kind, int z, int maxArea)
{
    if (!model.inside(seed.x(), seed.y()))
        return std::nullopt;
    const QList<TileRecord> seedContent = content(model, seed, kind, z);
    Region result;
    QSet<quint32> seen{locationKey(seed.x(), seed.y())};
    QList<QPoint> pending{seed};
    const QPoint neighbours[] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
    while (!pending.isEmpty()) {
        const QPoint cell = pending.takeLast();
        result.cells.append(cell);
        if (result.cells.size() > maxArea)
            return std::nullopt;
        if (!seedContent.isEmpty())
            result.replaced.append(content(model, cell, kind, z));
        for (const QPoint &n : neighbours) {
            const QPoint next = cell + n;
            const quint32 key = locationKey(next.x(), next.y());
            if (!model.inside(next.x(), next.y()) || seen.contains(key))
                continue;
            seen.insert(key);
            if (sameContent(content(model, next, kind, z), seedContent))
                pending.append(next);
        }
    }
    return result;
}

QList<TileRecord> FloodFill::content(const Facet &model, const QPoint &cell, int kind, int z)
{
    QList<TileRecord> tiles;
    if (const Facet::TileSet *set = model.tilesAtPtr(cell.x(), cell.y())) {
        for (const TileRecord &t : *set)
            if (t.kind == kind && t.z == z)
                tiles.append(t);
    }
    return tiles;
}

// The same tiles apart from where they stand: ids and hues in draw order.
bool FloodFill::sameContent(const QList<TileRecord> &a, const QList<TileRecord> &b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (a[i].id != b[i].id || a[i].hue != b[i].hue)
            return false;
    return true;
}
