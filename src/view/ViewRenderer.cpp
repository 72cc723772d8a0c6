#include "view/ViewRenderer.h"

#include "model/Facet.h"
#include "model/TileInfo.h"
#include "scene/Selection.h"
#include "view/GridColours.h"
#include "view/TexMgr.h"

#include <QColor>
#include <QOpenGLContext>
#include <QOpenGLExtraFunctions>
#include <QOpenGLFramebufferObject>

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <tuple>

namespace {
constexpr int SelectionHue = 53;
// Window pixels around a preview that are drawn again: snapping and the
// texel bias never reach further.
constexpr int PatchMargin = 2;

void setColour(QRgb c)
{
    glColor4ub(GLubyte(qRed(c)), GLubyte(qGreen(c)), GLubyte(qBlue(c)), GLubyte(qAlpha(c)));
}

void vertex(const QPoint &p) { glVertex2i(p.x(), p.y()); }

// The batch's depth grows toward the front: clear to the back.
void clearForBatch()
{
    glClearDepth(0.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glClearDepth(1.0);
}
} // namespace

ViewRenderer::ViewRenderer() = default;
ViewRenderer::~ViewRenderer() = default;

void ViewRenderer::initialize()
{
    const QColor grey(Qt::lightGray);
    glClearColor(GLfloat(grey.redF()), GLfloat(grey.greenF()), GLfloat(grey.blueF()), 1.0f);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glHint(GL_POLYGON_SMOOTH_HINT, GL_NICEST);
    glShadeModel(GL_SMOOTH);
    glDisable(GL_DEPTH_TEST);
}

void ViewRenderer::resize(const QSize &pixels, const QSize &size)
{
    // The viewport is in framebuffer pixels; the scene is laid out in logical pixels.
    glViewport(0, 0, pixels.width(), pixels.height());
    Frame f;
    f.size = size;
    loadProjection(f);
}

void ViewRenderer::loadProjection(const Frame &f)
{
    const IsoGeometry::Projection p = IsoGeometry::projection(f.size.width(), f.size.height());
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(p.left, p.right, p.bottom, p.top, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
}

void ViewRenderer::loadSceneMatrix(const Frame &f)
{
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    // Whole pixels: snapped tile edges stay on pixel edges.
    glTranslated(f.state.pan.x(), f.state.pan.y(), 0.0);
    glScaled(f.state.scale, f.state.scale, f.state.scale);
}

// Batched, the tiles are drawn into a layer kept between paints; a paint
// that changes only what lies above them (band, grids) copies the layer and
// draws that on it, and a moving preview redraws only the pixels it touches.
void ViewRenderer::paint(const Frame &f)
{
    const bool previewing = f.preview && !f.preview->isEmpty();
    // Without a layer (the reference drawing, or none could be made) the
    // tiles go straight into the view.
    if (m_batched && prepareLayer(f)) {
        // A preview between terrain tiles is not patched: the layer is drawn with it.
        const bool patch = previewing && !f.state.editTerrain;
        const bool current = !m_layerStale && m_layerKey == layerKey(f);
        if ((previewing && !patch) || !current)
            drawInto(*m_layer, [&] { drawTileLayer(f, previewing && !patch); });
        if (patch && showGrids(f) && patchPreview(f)) {
            drawBandOf(f);
            glFlush();
            return;
        }
        if (patch) // no room for the patch: every tile again, with the preview
            drawInto(*m_layer, [&] { drawTileLayer(f, true); });
        blit(*m_layer, f.target, QRect(QPoint(0, 0), f.pixels));
    } else {
        drawTileLayer(f, previewing);
    }
    drawGrids(f, nullptr);
    drawBandOf(f);
    glFlush();
}

// A layer of the view's framebuffer size with a depth buffer for the batch.
bool ViewRenderer::prepareLayer(const Frame &f)
{
    if (m_layer && m_layer->size() == f.pixels)
        return true;
    dropLayer();
    if (!QOpenGLFramebufferObject::hasOpenGLFramebufferObjects()
        || !QOpenGLFramebufferObject::hasOpenGLFramebufferBlit() || f.pixels.isEmpty())
        return false;
    m_layer = std::make_unique<QOpenGLFramebufferObject>(f.pixels,
                                                         QOpenGLFramebufferObject::CombinedDepthStencil);
    if (!m_layer->isValid()) {
        m_layer.reset();
        return false;
    }
    return true;
}

void ViewRenderer::blit(const QOpenGLFramebufferObject &from, quint32 to, const QRect &r)
{
    QOpenGLExtraFunctions *gl = QOpenGLContext::currentContext()->extraFunctions();
    gl->glBindFramebuffer(GL_READ_FRAMEBUFFER, from.handle());
    gl->glBindFramebuffer(GL_DRAW_FRAMEBUFFER, to);
    gl->glBlitFramebuffer(r.left(), r.top(), r.right() + 1, r.bottom() + 1, r.left(), r.top(), r.right() + 1,
                          r.bottom() + 1, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    gl->glBindFramebuffer(GL_FRAMEBUFFER, to);
}

void ViewRenderer::drawInto(QOpenGLFramebufferObject &fbo, const std::function<void()> &draw)
{
    GLint previous = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &previous);
    fbo.bind();
    draw();
    QOpenGLContext::currentContext()->functions()->glBindFramebuffer(GL_FRAMEBUFFER, GLuint(previous));
}

// The kept layer with the grids over it, kept as well while the preview
// moves: the frame starts from it.
bool ViewRenderer::showGrids(const Frame &f)
{
    if (!ensure(m_grids, f.pixels))
        return false;
    const GridKey key{m_layerPaints, f.state.grid, f.placingGrid,
                      {GridColours::gridLine, GridColours::gridFill, GridColours::placeLine, GridColours::placeFill}};
    if (!(m_gridKey && *m_gridKey == key)) {
        blit(*m_layer, m_grids->handle(), QRect(QPoint(0, 0), f.pixels));
        drawInto(*m_grids, [&] { drawGrids(f, nullptr); });
        m_gridKey = key;
    }
    blit(*m_grids, f.target, QRect(QPoint(0, 0), f.pixels));
    return true;
}

bool ViewRenderer::ensure(std::unique_ptr<QOpenGLFramebufferObject> &fbo, const QSize &pixels)
{
    if (fbo && fbo->size() == pixels)
        return true;
    fbo = std::make_unique<QOpenGLFramebufferObject>(pixels, QOpenGLFramebufferObject::CombinedDepthStencil);
    if (!fbo->isValid())
        fbo.reset();
    m_gridKey.reset();
    return fbo != nullptr;
}

void ViewRenderer::dropLayer()
{
    m_layer.reset();
    m_scratch.reset();
    m_grids.reset();
    m_gridKey.reset();
    m_layerStale = true;
}

// When in doubt, draw again: anything the tiles' picture depends on is compared.
ViewRenderer::LayerKey ViewRenderer::layerKey(const Frame &f)
{
    LayerKey k;
    k.state = f.state;
    // The grid is drawn over the layer, not into it.
    k.state.grid = false;
    k.pixels = f.pixels;
    k.start = f.walk.start;
    k.columns = f.walk.columns;
    k.rows = f.walk.rows;
    k.model = f.model;
    k.art = f.art;
    k.textures = f.textures;
    k.modelRevision = f.model ? f.model->revision() : 0;
    k.selectionRevision = f.selection ? f.selection->revision() : 0;
    k.textureGeneration = f.textures ? f.textures->generation() : 0;
    return k;
}

bool ViewRenderer::LayerKey::operator==(const LayerKey &o) const
{
    const auto tied = [](const LayerKey &k) {
        return std::tie(k.state, k.pixels, k.start, k.columns, k.rows, k.model, k.art, k.textures,
                        k.modelRevision, k.selectionRevision, k.textureGeneration);
    };
    return tied(*this) == tied(o);
}

// Every tile of the walk, with the preview between them when asked; records
// the quads picking answers from.
void ViewRenderer::drawTileLayer(const Frame &f, bool withPreview)
{
    clearForBatch();
    loadProjection(f);
    loadSceneMatrix(f);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    m_quads[0].clear();
    m_quads[1].clear();
    m_serial = 0;
    m_batch.clear();
    m_cellEnd.assign(size_t(std::max(0, f.walk.rows * f.walk.columns)), 0);
    if (f.art && f.model && f.textures && f.selection)
        drawTiles(f, withPreview);
    if (m_batched) {
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glTranslated(f.state.pan.x(), f.state.pan.y(), 0.0);
        glScaled(f.state.scale, f.state.scale, 1.0); // the batch orders its quads by depth
        m_batch.draw();
    }
    ++m_layerPaints;
    m_layerKey = layerKey(f);
    // A layer with the preview is never reused.
    m_layerStale = withPreview;
}

void ViewRenderer::drawTiles(const Frame &f, bool withPreview)
{
    const IsoGeometry::Walk &w = f.walk;
    for (int r = 0; r < w.rows; ++r) {
        for (int c = 0; c < w.columns; ++c) {
            const QPoint loc = IsoGeometry::cell(w, r, c);
            if (f.model->inside(loc.x(), loc.y())) {
                const Facet::TileSet *previewTiles = nullptr;
                if (withPreview) {
                    const auto found = f.preview->constFind(
                        locationKey(loc.x() - f.previewAnchor.x(), loc.y() - f.previewAnchor.y()));
                    if (found != f.preview->constEnd() && !found->empty())
                        previewTiles = &*found;
                }
                drawLocation(f, loc, previewTiles);
            }
            m_cellEnd[size_t(r) * size_t(w.columns) + size_t(c)] = m_batch.size();
        }
    }
}

void ViewRenderer::drawLocation(const Frame &f, const QPoint &loc, const Facet::TileSet *previewTiles)
{
    const ViewState &s = f.state;
    const QPoint scene = IsoGeometry::scenePoint(s.anchor, loc.x(), loc.y());
    if (const Facet::TileSet *tiles = f.model->tilesAtPtr(loc.x(), loc.y())) {
        for (const TileRecord &t : *tiles) {
            const bool edited = (s.editTerrain && t.kind == Terrain) || (s.editArt && t.kind == Art);
            if (edited && f.selection->query(TileIdentity::of(t)))
                drawTile(f, m_batch, t, loc, scene, SelectionHue, 0, false, 0);
            else
                drawTile(f, m_batch, t, loc, scene, t.hue, t.flags & TileFlags::PartialHue, false, 0);
            if (previewTiles && t.kind == Terrain && s.editTerrain) {
                const TileRecord &b = *previewTiles->begin();
                drawTile(f, m_batch, b, loc, scene, b.hue, b.flags & TileFlags::PartialHue, true,
                         f.previewOffset);
            }
        }
    }
    if (previewTiles && s.editArt) {
        for (const TileRecord &b : *previewTiles)
            drawTile(f, m_batch, b, loc, scene, b.hue, b.flags & TileFlags::PartialHue, true,
                     f.previewOffset);
    }
}

void ViewRenderer::drawTile(const Frame &f, TileBatch &batch, const TileRecord &t, const QPoint &loc,
                            const QPoint &scene, int hue, quint32 partialHue, bool translucent, int zOffset)
{
    const int z = t.z + zOffset;
    if (f.state.hides(t, z))
        return;
    const std::optional<AtlasEntry> entry = f.textures->tileEntry(t, quint16(hue), partialHue, translucent);
    if (!entry)
        return;
    // Only the image, not its padded block: the quad is the image's own rectangle.
    TexInfo image;
    image.imageWidth = entry->width;
    image.imageHeight = entry->height;
    QPoint corners[4];
    IsoGeometry::tileQuad(scene, z, image, corners);
    if (!translucent)
        recordQuad(f, t, loc, z, corners, entry->mask);
    if (entry->texture == 0)
        return;
    const float light = translucent ? 1.0f : f.state.brightnessAt(z);
    if (m_batched)
        batch.add(*entry, corners, f.state.scale, translucent || !entry->binaryAlpha, light);
    else
        drawQuad(f, *entry, corners, light);
}

// The per-tile reference: one bind and one quad, blended, in painter's order.
void ViewRenderer::drawQuad(const Frame &f, const AtlasEntry &entry, const QPoint corners[4], float light)
{
    const double scale = f.state.scale;
    glBindTexture(GL_TEXTURE_2D, entry.texture);
    glColor4f(light, light, light, 1.0f);
    // On whole pixels at every scale, where picking expects the edges.
    const auto vertex = [scale](const QPoint &c) {
        glVertex2d(IsoGeometry::snap(c.x(), scale) / scale, IsoGeometry::snap(c.y(), scale) / scale);
    };
    float s[4], t[4];
    IsoGeometry::texCoords(corners, scale, entry.u0, entry.v0, entry.u1, entry.v1, entry.width,
                           entry.height, s, t);
    // Two triangles split as the batch splits them, so both rasterise alike.
    glBegin(GL_TRIANGLES);
    for (int corner : {0, 1, 2, 0, 2, 3}) {
        glTexCoord2f(s[corner], t[corner]);
        vertex(corners[corner]);
    }
    glEnd();
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

void ViewRenderer::recordQuad(const Frame &f, const TileRecord &t, const QPoint &loc, int z,
                              const QPoint corners[4], const std::shared_ptr<const PickMask> &mask)
{
    DrawnQuad q;
    std::copy(corners, corners + 4, q.corners);
    // A terrain tile is picked by its cell's diamond, an art tile by its drawn pixels.
    if (t.kind == Terrain) {
        QPoint d[4];
        IsoGeometry::diamond(f.state.anchor, loc.x(), loc.y(), z, d);
        q.mask = PickMask::diamond();
        q.maskOrigin = QPoint(d[1].x(), d[0].y());
    } else {
        q.mask = mask;
        q.maskOrigin = corners[0];
    }
    q.kind = t.kind;
    q.id = t.id;
    q.x = loc.x();
    q.y = loc.y();
    q.z = z;
    q.hue = t.hue;
    q.visible = t.visible;
    q.serial = m_serial++;
    m_quads[t.kind == Art ? 1 : 0].append(q);
}

// Row r of the walk holds the cells whose x + y is the start's plus r.
std::optional<int> ViewRenderer::walkIndex(const Frame &f, const QPoint &loc) const
{
    const IsoGeometry::Walk &w = f.walk;
    const int r = loc.x() + loc.y() - w.start.x() - w.start.y();
    if (r < 0 || r >= w.rows)
        return std::nullopt;
    const int c = loc.x() - w.start.x() - r / 2;
    if (c < 0 || c >= w.columns || IsoGeometry::cell(w, r, c) != loc)
        return std::nullopt;
    return r * w.columns + c;
}

// The framebuffer pixels the quad may touch, y up as GL counts them; one
// pixel wider on every side for lines and snapping.
QRect ViewRenderer::windowBounds(const Frame &f, const TileBatch::Quad &q)
{
    QPointF corners[4];
    for (int i = 0; i < 4; ++i)
        corners[i] = QPointF(q.v[i].x, q.v[i].y);
    return windowBounds(f, corners);
}

QRect ViewRenderer::windowBounds(const Frame &f, const QPoint scene[4])
{
    const QPointF corners[4] = {scene[0], scene[1], scene[2], scene[3]};
    return windowBounds(f, corners);
}

QRect ViewRenderer::windowBounds(const Frame &f, const QPointF scene[4])
{
    const IsoGeometry::Projection p = IsoGeometry::projection(f.size.width(), f.size.height());
    const double sx = double(f.pixels.width()) / std::max(1, p.right - p.left);
    const double sy = double(f.pixels.height()) / std::max(1, p.top - p.bottom);
    double x0 = scene[0].x(), x1 = x0, y0 = scene[0].y(), y1 = y0;
    for (int i = 1; i < 4; ++i) {
        x0 = std::min(x0, scene[i].x());
        x1 = std::max(x1, scene[i].x());
        y0 = std::min(y0, scene[i].y());
        y1 = std::max(y1, scene[i].y());
    }
    const double s = f.state.scale;
    const auto wx = [&](double x) { return (x * s + f.state.pan.x() - p.left) * sx; };
    const auto wy = [&](double y) { return (y * s + f.state.pan.y() - p.bottom) * sy; };
    return QRect(QPoint(int(std::floor(wx(x0))) - 1, int(std::floor(wy(y0))) - 1),
                 QPoint(int(std::ceil(wx(x1))) + 1, int(std::ceil(wy(y1))) + 1));
}

bool ViewRenderer::patchPreview(const Frame &f)
{
    // The preview's quads, each with the place in painter's order it takes:
    // after every layer quad of its cell and of the cells before it.
    TileBatch preview;
    std::vector<std::pair<int, int>> order; // (layer quads before it, its index in `preview`)
    QRect region;
    for (auto it = f.preview->cbegin(); it != f.preview->cend(); ++it) {
        if (it->empty())
            continue;
        // Offsets and anchor add as 16-bit values, like location keys.
        const QPoint loc(qint16(f.previewAnchor.x() + keyX(it.key())),
                         qint16(f.previewAnchor.y() + keyY(it.key())));
        const std::optional<int> cell = walkIndex(f, loc);
        if (!cell || !f.model->inside(loc.x(), loc.y()))
            continue;
        const QPoint scene = IsoGeometry::scenePoint(f.state.anchor, loc.x(), loc.y());
        for (const TileRecord &b : *it) {
            const int before = preview.size();
            drawTile(f, preview, b, loc, scene, b.hue, b.flags & TileFlags::PartialHue, true, f.previewOffset);
            if (preview.size() == before)
                continue;
            order.emplace_back(m_cellEnd[size_t(*cell)], before);
            region |= windowBounds(f, preview.quads()[size_t(before)]);
        }
    }
    region = region.adjusted(-PatchMargin, -PatchMargin, PatchMargin, PatchMargin)
                 .intersected(QRect(QPoint(0, 0), f.pixels));
    if (region.isEmpty())
        return true;
    if (!ensure(m_scratch, f.pixels))
        return false;
    std::stable_sort(order.begin(), order.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    // Every layer quad meeting the region, the preview's in their places.
    m_patch.clear();
    const std::vector<TileBatch::Quad> &layer = m_batch.quads();
    auto next = order.cbegin();
    for (size_t i = 0; i <= layer.size(); ++i) {
        for (; next != order.cend() && size_t(next->first) == i; ++next)
            m_patch.add(preview.quads()[size_t(next->second)]);
        if (i < layer.size() && windowBounds(f, layer[i]).intersects(region))
            m_patch.add(layer[i]);
    }
    drawInto(*m_scratch, [&] {
        glEnable(GL_SCISSOR_TEST);
        glScissor(region.x(), region.y(), region.width(), region.height());
        clearForBatch();
        loadProjection(f);
        glLoadIdentity();
        glTranslated(f.state.pan.x(), f.state.pan.y(), 0.0);
        glScaled(f.state.scale, f.state.scale, 1.0);
        m_patch.draw();
        drawGrids(f, &region);
        glDisable(GL_SCISSOR_TEST);
    });
    blit(*m_scratch, f.target, region);
    ++m_previewPatches;
    return true;
}

void ViewRenderer::drawGrids(const Frame &f, const QRect *region)
{
    loadProjection(f);
    loadSceneMatrix(f);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    if (f.state.grid && f.art) {
        drawGrid(f, GridColours::gridLine, GridColours::gridFill, 0, region);
        drawOrigin(f, GridColours::gridLine, 0);
    }
    if (f.placingGrid && f.art) {
        drawGrid(f, GridColours::placeLine, GridColours::placeFill, f.state.placingAltitude, region);
        drawOrigin(f, GridColours::placeLine, f.state.placingAltitude);
    }
}

void ViewRenderer::drawBandOf(const Frame &f)
{
    if (!f.band)
        return;
    loadProjection(f);
    loadSceneMatrix(f);
    drawBand(*f.band);
}

void ViewRenderer::drawGrid(const Frame &f, QRgb line, QRgb fill, int z, const QRect *region)
{
    GLfloat saved[4];
    glGetFloatv(GL_CURRENT_COLOR, saved);
    glDisable(GL_TEXTURE_2D);
    // Sized to the widget at every scale and pan, not only at 1.0.
    const int w = f.size.width(), h = f.size.height();
    const QPointF low = IsoGeometry::unproject(QPointF(-1, h + 1), w, h, f.state.scale, f.state.pan);
    const QPointF high = IsoGeometry::unproject(QPointF(w + 1, -1), w, h, f.state.scale, f.state.pan);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    setColour(fill);
    glBegin(GL_QUADS);
    glVertex2d(low.x(), low.y());
    glVertex2d(high.x(), low.y());
    glVertex2d(high.x(), high.y());
    glVertex2d(low.x(), high.y());
    glEnd();
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    setColour(line);
    QPoint d[4];
    glBegin(GL_QUADS);
    for (int r = 0; r < f.walk.rows; ++r) {
        for (int c = 0; c < f.walk.columns; ++c) {
            const QPoint loc = IsoGeometry::cell(f.walk, r, c);
            IsoGeometry::diamond(f.state.anchor, loc.x(), loc.y(), z, d);
            // A diamond off the region leaves its pixels alone.
            if (region && !windowBounds(f, d).intersects(*region))
                continue;
            vertex(d[0]);
            vertex(d[1]);
            vertex(d[2]);
            vertex(d[3]);
        }
    }
    glEnd();
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glColor4fv(saved);
    glEnable(GL_TEXTURE_2D);
}

void ViewRenderer::drawOrigin(const Frame &f, QRgb line, int z)
{
    GLfloat saved[4];
    glGetFloatv(GL_CURRENT_COLOR, saved);
    glDisable(GL_TEXTURE_2D);
    setColour(line);
    QPoint d[4];
    IsoGeometry::diamond(f.state.anchor, 0, 0, z, d);
    glBegin(GL_LINES);
    vertex(d[0]);
    vertex(d[2]);
    vertex(d[1]);
    vertex(d[3]);
    glEnd();
    glColor4fv(saved);
    glEnable(GL_TEXTURE_2D);
}

void ViewRenderer::drawBand(const Band &b)
{
    GLfloat saved[4];
    glGetFloatv(GL_CURRENT_COLOR, saved);
    glDisable(GL_TEXTURE_2D);
    glLineWidth(2.0f);
    glLineStipple(1, 0xAAAA);
    glEnable(GL_LINE_STIPPLE);
    glColor4f(0.0f, 0.0f, 0.0f, 1.0f);
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    glBegin(GL_QUADS);
    glVertex2i(b.x1, b.y1);
    glVertex2i(b.x2, b.y1);
    glVertex2i(b.x2, b.y2);
    glVertex2i(b.x1, b.y2);
    glEnd();
    glDisable(GL_LINE_STIPPLE);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glColor4fv(saved);
    glLineWidth(1.0f);
    glEnable(GL_TEXTURE_2D);
}
