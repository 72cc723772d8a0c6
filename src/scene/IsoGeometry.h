#pragma once

#include "model/TileGeometry.h"
#include "scene/DrawnQuad.h"
#include "scene/TexInfo.h"

#include <QList>
#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QRectF>

#include <optional>

// The isometric geometry of a view, without GL: which cells a paint walks,
// where a location, altitude and texture land in scene units (screen pixels
// at scale 1, y up, origin at the widget's middle), widget <-> scene points,
// and picking against the walk's diamonds and the drawn quads.
class IsoGeometry
{
public:
    struct Walk {
        int columns = 0;
        int rows = 0;
        QPoint start;
    };
    // Which recorded quads a pick replays: the values of the view's pick interface.
    enum PickList : int { PickTerrain = 0, PickArt = 1, PickBoth = 3 };
    // Pick box in scene units, left <= right and bottom <= top.
    struct Box {
        int left = 0, bottom = 0, right = 0, top = 0;
    };

    static Walk walk(int width, int height, double scale, const QPoint &centre);
    // Map location of cell `column` of row `row`: rows run back to front, cells left to right.
    static QPoint cell(const Walk &w, int row, int column)
    {
        const int x = w.start.x() + row / 2 + column;
        const int y = w.start.y() + row - row / 2 - column;
        return {x, y};
    }

    // Top corner of the diamond of (x, y) at altitude 0.
    static QPoint scenePoint(const QPoint &centre, int x, int y)
    {
        const int dx = x - centre.x();
        const int dy = y - centre.y();
        return {(dx - dy) * TileGeometry::HalfWidth, -(dx + dy) * TileGeometry::HalfWidth};
    }
    // Corners top, left, bottom, right of the diamond of (x, y) at altitude z.
    static void diamond(const QPoint &centre, int x, int y, int z, QPoint out[4]);
    // Quad of a tile's image (its own size, not the padded texture's) whose
    // diamond top (altitude 0) is `scene`: top-left, top-right, bottom-right,
    // bottom-left.
    static void tileQuad(const QPoint &scene, int z, const TexInfo &tex, QPoint out[4]);
    // Texture coordinates of the image's bottom-right corner inside the padded texture.
    static QPointF imageTexCorner(const TexInfo &tex);

    // The orthographic view volume of a width x height view, in scene units at
    // scale 1: whole numbers, so an odd size does not put the origin mid-pixel.
    struct Projection {
        int left = 0, right = 0, bottom = 0, top = 0;
    };
    static Projection projection(int width, int height);
    // Widget point (logical pixels) to scene point, for the orthographic
    // projection of a width x height view, the view scale and the pan: the
    // whole pixels (y up) by which the scene origin sits off the projection's.
    static QPointF unproject(const QPointF &widget, int width, int height, double scale,
                             const QPoint &pan = QPoint());
    // The +-1 unit box around a scene point, truncated.
    static Box pickBox(const QPointF &scene);
    static Box bandBox(int x1, int y1, int x2, int y2);

    // Scene point of the centre of a widget pixel: the point the rasteriser
    // tests when it decides whether a quad covers that pixel.
    static QPointF pixelCentre(const QPoint &pixel, int width, int height, double scale,
                               const QPoint &pan = QPoint());
    // The front-most walk cell whose diamond (altitude 0) holds the point.
    static std::optional<QPoint> cellAt(const Walk &w, const QPoint &centre, const QPointF &p);
    // A scene coordinate at a scale, put on the nearest pixel edge: tiles are
    // drawn there, so their edges never cut a pixel centre.
    static double snap(int coordinate, double scale);
    // A quad's edges as drawn: snapped, in pixels from the scene origin (y up).
    static QRectF pixelRect(const DrawnQuad &q, double scale);
    // Texture coordinates of a quad's corners (scene units as tileQuad gives
    // them) drawn at their snapped places: every pixel samples the texel its
    // centre covers in scene units, nudged by TexelBias, whatever the rounding
    // of the quad's own edges, so neighbouring tiles meet without seams at
    // any scale. [u0, u1] x [v0, v1] holds the image's width x height texels.
    static void texCoords(const QPoint corners[4], double scale, float u0, float v0, float u1,
                          float v1, int width, int height, float s[4], float t[4]);
    // Pixel centres on a texel edge sample the texel after it, in the GL and here alike.
    static constexpr double TexelBias = 1.0 / 256;
    // Whether the quad's drawn pixels (its mask) hold the scene point.
    static bool shows(const DrawnQuad &q, const QPointF &p);
    // Whether a pixel of the rectangle (pixels from the scene origin, y up,
    // whole-pixel edges) shows a drawn pixel of the quad.
    static bool showsIn(const DrawnQuad &q, const QRectF &pixels, double scale);
    // The quad drawn last among those showing a drawn pixel at the scene
    // point, or DrawnQuad::none(): transparent pixels reach what lies behind.
    static DrawnQuad topQuadAt(const QList<DrawnQuad> &terrain, const QList<DrawnQuad> &art,
                               int list, const QPointF &p, double scale);
    static bool quadContains(const DrawnQuad &q, const QPointF &p, double scale);
    // Every quad showing a drawn pixel inside the rectangle (pixels from the
    // scene origin, y up), ordered by serial.
    static QList<DrawnQuad> quadsMeeting(const QList<DrawnQuad> &terrain,
                                         const QList<DrawnQuad> &art, int list,
                                         const QRectF &pixels, double scale);

    // Free zoom. A view shows scene point p (scale-1 units from its anchor
    // location, y up) at pixel snap(p, scale) + pan from the projection's
    // origin; the pan is whole pixels, so tile edges stay on pixel edges at
    // every scale.
    static constexpr double MinZoom = 0.125;
    static constexpr double MaxZoom = 4.0;
    static double clampZoom(double scale);
    // The location whose diamond (altitude 0) holds the scene point seen from `anchor`.
    static QPoint nearestCell(const QPoint &anchor, const QPointF &scene);
    // The location whose diamond's top corner lies nearest the scene point:
    // the view's centre when the point is the middle of the view.
    static QPoint viewCentre(const QPoint &anchor, const QPointF &scene)
    {
        return nearestCell(anchor, scene - QPointF(0.0, TileGeometry::HalfWidth));
    }
    // The pan that shows `scene` (from the anchor) at `pixel` (from the projection's origin, y up).
    static QPoint panFor(const QPointF &pixel, const QPointF &scene, double scale);
    // A view placement: anchor location, scale and pan.
    struct Placement {
        QPoint anchor;
        double scale = 1.0;
        QPoint pan;
    };
    // The placement that shows the scene box (scale-1 units from location
    // (0, 0), y down, as SceneRenderer::bounds gives it) whole and centred in
    // a width x height view at the largest scale that allows (within the zoom
    // range); nothing for an empty box or view.
    static std::optional<Placement> fit(const QRect &box, int width, int height);

    // The front-most walk cell whose diamond (altitude 0) meets the box; false if none.
    static bool pickCell(const Walk &w, const QPoint &centre, const Box &box, QPoint &cellOut);
    // list: a PickList. The hit drawn last, or DrawnQuad::none().
    static DrawnQuad topQuad(const QList<DrawnQuad> &terrain, const QList<DrawnQuad> &art,
                             int list, const Box &box);
    // Every hit, ordered by serial.
    static QList<DrawnQuad> quadsIn(const QList<DrawnQuad> &terrain, const QList<DrawnQuad> &art,
                                    int list, const Box &box);

    static bool quadMeets(const DrawnQuad &q, const Box &box);
    static bool diamondMeets(const QPoint &top, const Box &box);
};
