#include "data/WorldCapture.h"

#include "data/WorldFacet.h"
#include "model/Altitude.h"
#include "model/TileInfo.h"

namespace {
// The editing area of a document (Facet): x and y from -200 to 199.
constexpr int AreaLow = -200;
constexpr int AreaHigh = 199;

int floorDiv2(int v) { return v >= 0 ? v / 2 : -((-v + 1) / 2); }
} // namespace

QPoint WorldCapture::middleOf(const QRect &area)
{
    return {floorDiv2(area.left() + area.right()), floorDiv2(area.top() + area.bottom())};
}

QRect WorldCapture::between(QPoint a, QPoint b)
{
    return QRect(QPoint(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
                 QPoint(std::max(a.x(), b.x()), std::max(a.y(), b.y())));
}

QString WorldCapture::title(int facet, const QRect &area)
{
    return QStringLiteral("Facet %1, %2,%3 - %4,%5")
        .arg(facet)
        .arg(area.left())
        .arg(area.top())
        .arg(area.right())
        .arg(area.bottom());
}

std::optional<WorldCapture::Result> WorldCapture::capture(WorldFacet &facet, const Request &request,
                                                          const TileInfoSource &data, QString *error)
{
    auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return std::nullopt;
    };
    const QRect world(QPoint(0, 0), facet.size());
    const QRect area = request.area & world;
    if (area.isEmpty())
        return fail(QStringLiteral("the area lies outside the facet (0,0 - %1,%2)")
                        .arg(world.right())
                        .arg(world.bottom()));
    if (request.zMin > request.zMax)
        return fail(QStringLiteral("the altitude range %1:%2 is empty").arg(request.zMin).arg(request.zMax));
    Result r;
    r.area = area;
    r.centre = request.centre.value_or(middleOf(area));
    if (area.left() - r.centre.x() < AreaLow || area.right() - r.centre.x() > AreaHigh
        || area.top() - r.centre.y() < AreaLow || area.bottom() - r.centre.y() > AreaHigh)
        return fail(QStringLiteral("the area reaches past the editing area of a multi (cells %1 to %2 "
                                   "around the centre %3,%4)")
                        .arg(AreaLow)
                        .arg(AreaHigh)
                        .arg(r.centre.x())
                        .arg(r.centre.y()));
    QString why;
    if (request.base) {
        r.base = *request.base;
    } else {
        if (!world.contains(r.centre))
            return fail(QStringLiteral("the centre %1,%2 lies outside the facet").arg(r.centre.x()).arg(r.centre.y()));
        WorldFacet::LandBlock land;
        if (!facet.readLand(r.centre.x() / WorldFacet::BlockCells, r.centre.y() / WorldFacet::BlockCells, land))
            return fail(facet.errorString());
        r.base = land[WorldFacet::cellIndex(r.centre.x() % 8, r.centre.y() % 8)].z;
    }

    int outOfRange = 0;
    auto place = [&](int wx, int wy, int z, quint16 id, quint16 hue, TileKind kind) {
        const int rz = z - r.base;
        if (!Altitude::contains(rz)) {
            ++outOfRange;
            return;
        }
        TileRecord tile(id, qint16(hue), qint16(rz), data, kind);
        tile.x = wx - r.centre.x();
        tile.y = wy - r.centre.y();
        r.tiles[locationKey(tile.x, tile.y)].append(tile);
    };
    const int b = WorldFacet::BlockCells;
    QVector<WorldFacet::Static> statics;
    WorldFacet::LandBlock land;
    for (int bx = area.left() / b; bx <= area.right() / b; ++bx) {
        for (int by = area.top() / b; by <= area.bottom() / b; ++by) {
            if (request.terrain && !facet.readLand(bx, by, land))
                return fail(facet.errorString());
            if (!facet.readStatics(bx, by, statics))
                return fail(facet.errorString());
            for (int cy = 0; request.terrain && cy < b; ++cy) {
                for (int cx = 0; cx < b; ++cx) {
                    const QPoint cell(bx * b + cx, by * b + cy);
                    const WorldFacet::Cell &c = land[WorldFacet::cellIndex(cx, cy)];
                    if (area.contains(cell) && c.z >= request.zMin && c.z <= request.zMax) {
                        place(cell.x(), cell.y(), c.z, c.id, 0, Terrain);
                        ++r.terrainTiles;
                    }
                }
            }
            for (const WorldFacet::Static &s : statics) {
                const QPoint cell(bx * b + s.x, by * b + s.y);
                if (area.contains(cell) && s.z >= request.zMin && s.z <= request.zMax) {
                    place(cell.x(), cell.y(), s.z, s.id, s.hue, Art);
                    ++r.statics;
                }
            }
        }
    }
    if (outOfRange)
        return fail(QStringLiteral("%1 tiles lie outside altitudes %2 to %3 relative to the base "
                                   "%4: narrow the altitude range or change the base")
                        .arg(outOfRange)
                        .arg(Altitude::Min)
                        .arg(Altitude::Max)
                        .arg(r.base));
    return r;
}
