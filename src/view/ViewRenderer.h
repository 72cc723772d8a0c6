#pragma once

#include "scene/Brush.h"
#include "scene/DrawnQuad.h"
#include "scene/IsoGeometry.h"
#include "scene/ViewState.h"
#include "view/TileBatch.h"

#include <QList>
#include <QRect>
#include <QRgb>
#include <QSize>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class ArtReader;
class Facet;
class QOpenGLFramebufferObject;
class Selection;
class TexMgr;
struct AtlasEntry;

// Draws one view of a multi with OpenGL: the tile layer (batched from the
// atlas and kept between paints, or every tile on its own as the reference),
// the tool or paste preview between the tiles, the grids and the band. It
// records the quads picking answers from. The widget owns it and makes its
// context current around every call.
class ViewRenderer
{
public:
    // Band corners in scene units.
    struct Band {
        int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    };
    // What one paint shows.
    struct Frame {
        ViewState state;
        IsoGeometry::Walk walk;
        QSize size;               // logical pixels
        QSize pixels;             // framebuffer pixels
        quint32 target = 0;       // the framebuffer the picture goes to
        const Facet *model = nullptr;
        const Selection *selection = nullptr;
        const ArtReader *art = nullptr;
        TexMgr *textures = nullptr;
        // The translucent tiles shown between the others (by offset from the
        // anchor, raised by the offset); null when nothing is previewed.
        const Brush *preview = nullptr;
        QPoint previewAnchor;
        int previewOffset = 0;
        // The placing grid (while painting) and the rubber band.
        bool placingGrid = false;
        std::optional<Band> band;
    };

    ViewRenderer();
    ~ViewRenderer();

    // With the widget's context current.
    static void initialize();
    static void resize(const QSize &pixels, const QSize &size);
    void paint(const Frame &f);
    // Drops the kept layer (context current); the next paint draws every tile.
    void dropLayer();
    // Something the tiles' picture shows changed: the next paint draws them again.
    void invalidate() { m_layerStale = true; }
    bool hasLayer() const { return m_layer != nullptr; }

    void setBatched(bool on) { m_batched = on; m_layerStale = true; }
    bool batched() const { return m_batched; }
    int layerPaints() const { return m_layerPaints; }
    int layerDrawCalls() const { return m_batch.drawCalls(); }
    // Previews drawn over the kept layer by redrawing only the pixels they touch.
    int previewPatches() const { return m_previewPatches; }
    const QList<DrawnQuad> &quads(int kind) const { return m_quads[kind == Art ? 1 : 0]; }

private:
    // What the kept tile layer was drawn from: a paint whose state differs draws it again.
    struct LayerKey {
        ViewState state;
        QSize pixels;
        QPoint start;
        int columns = 0, rows = 0;
        const Facet *model = nullptr;
        const ArtReader *art = nullptr;
        const TexMgr *textures = nullptr;
        quint64 modelRevision = 0, selectionRevision = 0, textureGeneration = 0;
        bool operator==(const LayerKey &o) const;
    };
    static LayerKey layerKey(const Frame &f);
    // What the grids composed on the kept layer were drawn with.
    struct GridKey {
        int layerPaint = 0;
        bool grid = false, placing = false;
        QRgb colours[4] = {};
        bool operator==(const GridKey &o) const
        {
            return layerPaint == o.layerPaint && grid == o.grid && placing == o.placing
                   && std::equal(colours, colours + 4, o.colours);
        }
    };
    bool prepareLayer(const Frame &f);
    // A framebuffer of the view's size with depth; false when none can be made.
    bool ensure(std::unique_ptr<QOpenGLFramebufferObject> &fbo, const QSize &pixels);
    static void blit(const QOpenGLFramebufferObject &from, quint32 to, const QRect &pixels);
    static void drawInto(QOpenGLFramebufferObject &fbo, const std::function<void()> &draw);
    bool showGrids(const Frame &f);
    void drawTileLayer(const Frame &f, bool withPreview);
    void drawTiles(const Frame &f, bool withPreview);
    void drawLocation(const Frame &f, const QPoint &loc, const Facet::TileSet *previewTiles);
    void drawTile(const Frame &f, TileBatch &batch, const TileRecord &t, const QPoint &loc,
                  const QPoint &scene, int hue, quint32 partialHue, bool translucent, int zOffset);
    void drawQuad(const Frame &f, const AtlasEntry &entry, const QPoint corners[4], float light);
    void recordQuad(const Frame &f, const TileRecord &t, const QPoint &loc, int z, const QPoint corners[4],
                    const std::shared_ptr<const PickMask> &mask);
    // The preview alone on the kept layer: the pixels it touches are drawn
    // again from every quad meeting them, in painter's order; false when the
    // preview cannot be drawn this way.
    bool patchPreview(const Frame &f);
    std::optional<int> walkIndex(const Frame &f, const QPoint &loc) const;
    static QRect windowBounds(const Frame &f, const TileBatch::Quad &q);
    static QRect windowBounds(const Frame &f, const QPoint scene[4]);
    static QRect windowBounds(const Frame &f, const QPointF scene[4]);
    static void loadProjection(const Frame &f);
    static void loadSceneMatrix(const Frame &f);
    // The grid and the placing grid; only the cells meeting the region (window pixels) when given.
    static void drawGrids(const Frame &f, const QRect *region);
    static void drawBandOf(const Frame &f);
    static void drawGrid(const Frame &f, QRgb line, QRgb fill, int z, const QRect *region);
    static void drawOrigin(const Frame &f, QRgb line, int z);
    static void drawBand(const Band &b);

    QList<DrawnQuad> m_quads[2];
    int m_serial = 0;
    bool m_batched = true;
    TileBatch m_batch;
    TileBatch m_patch;
    // Layer quads drawn up to the end of each walked cell (row-major).
    std::vector<int> m_cellEnd;
    std::unique_ptr<QOpenGLFramebufferObject> m_layer;
    std::unique_ptr<QOpenGLFramebufferObject> m_scratch;
    std::unique_ptr<QOpenGLFramebufferObject> m_grids;
    std::optional<GridKey> m_gridKey;
    LayerKey m_layerKey;
    bool m_layerStale = true;
    int m_layerPaints = 0;
    int m_previewPatches = 0;
};
