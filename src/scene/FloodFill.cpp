#include "scene/FloodFill.h"

#include "model/Facet.h"

#include <QSet>

std::optional<FloodFill::Region> FloodFill::region(const Facet &model, const QPoint &seed,
                                                    int kind, int z, int maxArea)
{
    if (!model.inside(seed.x(), seed.y()))
        return std::nullopt;
    const QList<TileRecord> seedContent = content(model, seed, kind, z);
    if (!seedContent.isEmpty())
        return region(model, seedContent.first(), maxArea);
    return walk(
        model, seed,
        [&](const QPoint &cell) -> std::optional<QList<TileRecord>> {
            if (!content(model, cell, kind, z).isEmpty())
                return std::nullopt;
            return QList<TileRecord>();
        },
        maxArea);
}

std::optional<FloodFill::Region> FloodFill::region(const Facet &model, const TileRecord &like,
                                                    int maxArea)
{
    const QPoint seed(like.x, like.y);
    if (!model.inside(seed.x(), seed.y()))
        return std::nullopt;
    return walk(
        model, seed,
        [&](const QPoint &cell) -> std::optional<QList<TileRecord>> {
            QList<TileRecord> alike;
            for (const TileRecord &t : content(model, cell, like.kind, like.z))
                if (t.id == like.id)
                    alike.append(t);
            if (alike.isEmpty())
                return std::nullopt;
            return alike;
        },
        maxArea);
}

std::optional<FloodFill::Region> FloodFill::walk(const Facet &model, const QPoint &seed,
                                                  const Members &members, int maxArea)
{
    Region result;
    QSet<quint32> seen{locationKey(seed.x(), seed.y())};
    QList<QPoint> pending{seed};
    result.replaced = members(seed).value_or(QList<TileRecord>());
    const QPoint neighbours[] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
    while (!pending.isEmpty()) {
        const QPoint cell = pending.takeLast();
        result.cells.append(cell);
        if (result.cells.size() > maxArea)
            return std::nullopt;
        for (const QPoint &n : neighbours) {
            const QPoint next = cell + n;
            const quint32 key = locationKey(next.x(), next.y());
            if (!model.inside(next.x(), next.y()) || seen.contains(key))
                continue;
            seen.insert(key);
            if (const auto tiles = members(next)) {
                pending.append(next);
                result.replaced.append(*tiles);
            }
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
