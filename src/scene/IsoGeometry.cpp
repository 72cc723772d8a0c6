#include "scene/IsoGeometry.h"

#include <algorithm>
#include <cmath>

namespace {
// Open intervals: touching edges do not count as a hit.
bool overlaps(qint64 a0, qint64 a1, qint64 b0, qint64 b1)
{
    return a0 < b1 && b0 < a1;
}
} // namespace

IsoGeometry::Walk IsoGeometry::walk(int width, int height, double scale, const QPoint &centre)
{
    Walk w;
    if (scale <= 0.0)
        return w;
    using namespace TileGeometry;
    // Cells the view spans, rounded up (rows step half a tile).
    const int columns = (width + Width - 1) / Width;
    const int rows = (height + Width - 1) / HalfWidth;
    w.columns = int((columns + 10) * (1.0 / scale));
    w.rows = int((rows + 50) * (1.0 / scale));
    // Above scale 1 the margins keep their scene size, so tiles raised by up
    // to 127 steps from the cells below the view are still walked.
    w.columns = std::max(w.columns, int(columns / scale) + 10);
    w.rows = std::max(w.rows, int(rows / scale) + 50);
    w.start = QPoint(centre.x() - w.columns / 2 - (w.rows / 2) / 2,
                     centre.y() + w.columns / 2 - (w.rows / 2) / 2);
    return w;
}

void IsoGeometry::diamond(const QPoint &centre, int x, int y, int z, QPoint out[4])
{
    const QPoint s = scenePoint(centre, x, y);
    using namespace TileGeometry;
    const int top = s.y() + PixelsPerZ * z;
    out[0] = {s.x(), top};
    out[1] = {s.x() - HalfWidth, top - HalfWidth};
    out[2] = {s.x(), top - Width};
    out[3] = {s.x() + HalfWidth, top - HalfWidth};
}

void IsoGeometry::tileQuad(const QPoint &scene, int z, const TexInfo &tex, QPoint out[4])
{
    // Only the image: the texture's padding is neither drawn nor picked.
    const int left = scene.x() - int(tex.imageWidth / 2);
    const int right = left + int(tex.imageWidth);
    const int top = scene.y() + TileGeometry::PixelsPerZ * z - TileGeometry::Width + int(tex.imageHeight);
    const int bottom = top - int(tex.imageHeight);
    out[0] = {left, top};
    out[1] = {right, top};
    out[2] = {right, bottom};
    out[3] = {left, bottom};
}

IsoGeometry::Projection IsoGeometry::projection(int width, int height)
{
    const int left = -(width / 2);
    const int bottom = -(height / 2);
    return {left, left + width, bottom, bottom + height};
}

QPointF IsoGeometry::imageTexCorner(const TexInfo &tex)
{
    if (tex.texWidth == 0 || tex.texHeight == 0)
        return {};
    return {double(tex.imageWidth) / tex.texWidth, double(tex.imageHeight) / tex.texHeight};
}

QPointF IsoGeometry::pixelCentre(const QPoint &pixel, int width, int height, double scale,
                                 const QPoint &pan)
{
    constexpr double Half = 0.5;
    return unproject(QPointF(pixel.x() + Half, pixel.y() + Half), width, height, scale, pan);
}

double IsoGeometry::clampZoom(double scale)
{
    return std::clamp(scale, MinZoom, MaxZoom);
}

QPoint IsoGeometry::nearestCell(const QPoint &anchor, const QPointF &scene)
{
    // In diamond units a = dx - dy and b = dx + dy; a point of a diamond lies
    // within half a unit of its cell on both axes dx, dy.
    constexpr double Half = TileGeometry::HalfWidth;
    const double a = scene.x() / Half;
    const double b = -(scene.y() + Half) / Half;
    const double dx = std::floor((a + b) / 2.0 + 0.5);
    const double dy = std::floor((b - a) / 2.0 + 0.5);
    return anchor + QPoint(int(dx), int(dy));
}

QPoint IsoGeometry::panFor(const QPointF &pixel, const QPointF &scene, double scale)
{
    return QPoint(int(std::floor(pixel.x() - scene.x() * scale + 0.5)),
                  int(std::floor(pixel.y() - scene.y() * scale + 0.5)));
}

std::optional<IsoGeometry::Placement> IsoGeometry::fit(const QRect &box, int width, int height)
{
    if (box.isEmpty() || width <= 0 || height <= 0)
        return std::nullopt;
    Placement place;
    // Anchored at the box's middle, so the numbers stay small.
    const QPointF middle(box.left() + box.width() / 2.0, -(box.top() + box.height() / 2.0));
    place.anchor = nearestCell(QPoint(0, 0), middle);
    const QPoint shift = scenePoint(QPoint(0, 0), place.anchor.x(), place.anchor.y());
    // Edges, y up, from the anchor.
    const int left = box.left() - shift.x();
    const int right = left + box.width();
    const int top = -box.top() - shift.y();
    const int bottom = top - box.height();
    double scale = clampZoom(std::min(double(width) / box.width(), double(height) / box.height()));
    // Snapping may add a pixel where the quotient is not exact: step down until it fits.
    constexpr double Shrink = 0.9999;
    auto span = [&scale](int from, int to) { return int(snap(to, scale) - snap(from, scale)); };
    while (scale > MinZoom && (span(left, right) > width || span(bottom, top) > height))
        scale = clampZoom(scale * Shrink);
    place.scale = scale;
    const Projection p = projection(width, height);
    place.pan = QPoint(p.left + (width - span(left, right)) / 2 - int(snap(left, scale)),
                       p.bottom + (height - span(bottom, top)) / 2 - int(snap(bottom, scale)));
    return place;
}

std::optional<QPoint> IsoGeometry::cellAt(const Walk &w, const QPoint &centre, const QPointF &p)
{
    // Rows run back to front and cells left to right, so the last hit is the
    // front-most; a point on a shared edge goes to the cell in front.
    std::optional<QPoint> hit;
    for (int r = 0; r < w.rows; ++r) {
        for (int c = 0; c < w.columns; ++c) {
            const QPoint loc = cell(w, r, c);
            const QPoint top = scenePoint(centre, loc.x(), loc.y());
            const double dx = std::abs(p.x() - top.x());
            const double dy = std::abs(p.y() - (top.y() - TileGeometry::HalfWidth));
            if (dx + dy <= TileGeometry::HalfWidth)
                hit = loc;
        }
    }
    return hit;
}

double IsoGeometry::snap(int coordinate, double scale)
{
    return std::floor(coordinate * scale + 0.5);
}

QRectF IsoGeometry::pixelRect(const DrawnQuad &q, double scale)
{
    const double x0 = snap(std::min(q.corners[0].x(), q.corners[2].x()), scale);
    const double x1 = snap(std::max(q.corners[0].x(), q.corners[2].x()), scale);
    const double y0 = snap(std::min(q.corners[0].y(), q.corners[2].y()), scale);
    const double y1 = snap(std::max(q.corners[0].y(), q.corners[2].y()), scale);
    return QRectF(QPointF(x0, y0), QPointF(x1, y1));
}

// Edges lie on pixel edges and the point on a pixel centre: no ties.
bool IsoGeometry::quadContains(const DrawnQuad &q, const QPointF &p, double scale)
{
    const QRectF r = pixelRect(q, scale);
    const double x = p.x() * scale, y = p.y() * scale;
    return x > r.left() && x < r.right() && y > r.top() && y < r.bottom();
}

QList<DrawnQuad> IsoGeometry::quadsMeeting(const QList<DrawnQuad> &terrain,
                                           const QList<DrawnQuad> &art, int list,
                                           const QRectF &pixels, double scale)
{
    QList<DrawnQuad> hits;
    auto scan = [&](const QList<DrawnQuad> &quads) {
        for (const DrawnQuad &q : quads) {
            const QRectF r = pixelRect(q, scale);
            if (r.left() < pixels.right() && pixels.left() < r.right() && r.top() < pixels.bottom()
                && pixels.top() < r.bottom() && showsIn(q, r & pixels, scale))
                hits.append(q);
        }
    };
    if (list == 0 || list == 3)
        scan(terrain);
    if (list == 1 || list == 3)
        scan(art);
    std::stable_sort(hits.begin(), hits.end(),
                     [](const DrawnQuad &a, const DrawnQuad &b) { return a.serial < b.serial; });
    return hits;
}

void IsoGeometry::texCoords(const QPoint corners[4], double scale, float u0, float v0, float u1,
                            float v1, int width, int height, float s[4], float t[4])
{
    const double du = width > 0 ? double(u1 - u0) / width : 0.0;
    const double dv = height > 0 ? double(v1 - v0) / height : 0.0;
    const QPoint topLeft = corners[0];
    for (int i = 0; i < 4; ++i) {
        const double x = snap(corners[i].x(), scale) / scale;
        const double y = snap(corners[i].y(), scale) / scale;
        s[i] = float(u0 + (x - topLeft.x() + TexelBias) * du);
        t[i] = float(v0 + (topLeft.y() - y + TexelBias) * dv);
    }
}

namespace {
int texelColumn(const DrawnQuad &q, double sceneX)
{
    return int(std::floor(sceneX - q.maskOrigin.x() + IsoGeometry::TexelBias));
}

int texelRow(const DrawnQuad &q, double sceneY)
{
    return int(std::floor(q.maskOrigin.y() - sceneY + IsoGeometry::TexelBias));
}
} // namespace

bool IsoGeometry::shows(const DrawnQuad &q, const QPointF &p)
{
    return !q.mask || q.mask->opaque(texelColumn(q, p.x()), texelRow(q, p.y()));
}

bool IsoGeometry::showsIn(const DrawnQuad &q, const QRectF &pixels, double scale)
{
    if (!q.mask)
        return true;
    const int i0 = int(std::ceil(pixels.left())), i1 = int(std::floor(pixels.right())) - 1;
    const int j0 = int(std::ceil(pixels.top())), j1 = int(std::floor(pixels.bottom())) - 1;
    if (i0 > i1 || j0 > j1 || scale <= 0.0)
        return false;
    const auto column = [&](int i) { return texelColumn(q, (i + 0.5) / scale); };
    const auto row = [&](int j) { return texelRow(q, (j + 0.5) / scale); };
    // From scale 1 up every texel between the first and the last pixel's is
    // sampled by some pixel; below, only the pixels' own texels count.
    if (scale >= 1.0)
        return q.mask->anyIn(column(i0), row(j1), column(i1), row(j0));
    for (int j = j0; j <= j1; ++j) {
        const int v = row(j);
        for (int i = i0; i <= i1; ++i) {
            if (q.mask->opaque(column(i), v))
                return true;
        }
    }
    return false;
}

DrawnQuad IsoGeometry::topQuadAt(const QList<DrawnQuad> &terrain, const QList<DrawnQuad> &art,
                                 int list, const QPointF &p, double scale)
{
    const DrawnQuad *best = nullptr;
    auto scan = [&](const QList<DrawnQuad> &quads) {
        for (auto it = quads.crbegin(); it != quads.crend(); ++it) {
            if (best && it->serial <= best->serial)
                return;
            if (quadContains(*it, p, scale) && shows(*it, p)) {
                best = &*it;
                return;
            }
        }
    };
    if (list == 0 || list == 3)
        scan(terrain);
    if (list == 1 || list == 3)
        scan(art);
    return best ? *best : DrawnQuad::none();
}

QPointF IsoGeometry::unproject(const QPointF &widget, int width, int height, double scale,
                               const QPoint &pan)
{
    if (scale <= 0.0)
        return {};
    // The scene origin sits on a pixel corner (see projection()), moved by
    // whole pixels only, so pixel centres never fall on the edges of quads.
    const Projection p = projection(width, height);
    const double x = widget.x() + p.left - pan.x();
    const double y = (height - widget.y()) + p.bottom - pan.y();
    return {x / scale, y / scale};
}

IsoGeometry::Box IsoGeometry::pickBox(const QPointF &scene)
{
    // A box of about two scene units around the point, each side truncated toward zero.
    const int left = int(std::trunc(scene.x() - 1));
    const int right = int(std::trunc(scene.x() + 1));
    const int y0 = int(std::trunc(scene.y() - 1));
    const int y1 = int(std::trunc(scene.y() + 1));
    return {left, std::min(y0, y1), right, std::max(y0, y1)};
}

IsoGeometry::Box IsoGeometry::bandBox(int x1, int y1, int x2, int y2)
{
    return {std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
}

bool IsoGeometry::quadMeets(const DrawnQuad &q, const Box &box)
{
    const int qx0 = std::min(q.corners[0].x(), q.corners[2].x());
    const int qx1 = std::max(q.corners[0].x(), q.corners[2].x());
    const int qy0 = std::min(q.corners[0].y(), q.corners[2].y());
    const int qy1 = std::max(q.corners[0].y(), q.corners[2].y());
    return overlaps(qx0, qx1, box.left, box.right) && overlaps(qy0, qy1, box.bottom, box.top);
}

// Separating axes of a diamond and a box: x, y and the two diagonals.
bool IsoGeometry::diamondMeets(const QPoint &top, const Box &box)
{
    constexpr qint64 Half = TileGeometry::HalfWidth;
    const qint64 cx = top.x();
    const qint64 cy = top.y() - Half;
    if (!overlaps(cx - Half, cx + Half, box.left, box.right)
        || !overlaps(cy - Half, cy + Half, box.bottom, box.top))
        return false;
    const qint64 sum = cx + cy;
    const qint64 diff = cx - cy;
    return overlaps(sum - Half, sum + Half, qint64(box.left) + box.bottom, qint64(box.right) + box.top)
           && overlaps(diff - Half, diff + Half, qint64(box.left) - box.top,
                       qint64(box.right) - box.bottom);
}

bool IsoGeometry::pickCell(const Walk &w, const QPoint &centre, const Box &box, QPoint &cellOut)
{
    // Rows run back to front and cells left to right, so the last hit is the front-most.
    bool hit = false;
    for (int r = 0; r < w.rows; ++r) {
        for (int c = 0; c < w.columns; ++c) {
            const QPoint loc = cell(w, r, c);
            if (diamondMeets(scenePoint(centre, loc.x(), loc.y()), box)) {
                cellOut = loc;
                hit = true;
            }
        }
    }
    return hit;
}

DrawnQuad IsoGeometry::topQuad(const QList<DrawnQuad> &terrain, const QList<DrawnQuad> &art,
                               int list, const Box &box)
{
    // Each list is in serial order: its last hit is its top-most.
    const DrawnQuad *best = nullptr;
    auto scan = [&](const QList<DrawnQuad> &quads) {
        for (auto it = quads.crbegin(); it != quads.crend(); ++it) {
            if (best && it->serial <= best->serial)
                return;
            if (quadMeets(*it, box)) {
                best = &*it;
                return;
            }
        }
    };
    if (list == PickTerrain || list == PickBoth)
        scan(terrain);
    if (list == PickArt || list == PickBoth)
        scan(art);
    return best ? *best : DrawnQuad::none();
}

QList<DrawnQuad> IsoGeometry::quadsIn(const QList<DrawnQuad> &terrain, const QList<DrawnQuad> &art,
                                      int list, const Box &box)
{
    QList<DrawnQuad> hits;
    auto scan = [&](const QList<DrawnQuad> &quads) {
        for (const DrawnQuad &q : quads) {
            if (quadMeets(q, box))
                hits.append(q);
        }
    };
    if (list == PickTerrain || list == PickBoth)
        scan(terrain);
    if (list == PickArt || list == PickBoth)
        scan(art);
    std::stable_sort(hits.begin(), hits.end(),
                     [](const DrawnQuad &a, const DrawnQuad &b) { return a.serial < b.serial; });
    // One hit per serial.
    hits.erase(std::unique(hits.begin(), hits.end(),
                           [](const DrawnQuad &a, const DrawnQuad &b) {
                               return a.serial == b.serial;
                           }),
               hits.end());
    return hits;
}
