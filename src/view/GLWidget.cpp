#include "view/GLWidget.h"

#include "data/TileData.h"
#include "model/Facet.h"
#include "model/MimeMgr.h"
#include "model/UndoMgr.h"
#include "scene/IsoGeometry.h"
#include "scene/SceneRenderer.h"
#include "view/TexMgr.h"
#include "view/TileEditor.h"
#include "view/ViewRenderer.h"
#include "view/GLWidgetToolPort.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QSurfaceFormat>
#include <QToolTip>
#include <QWheelEvent>


#include <algorithm>
#include <cmath>

void GLWidget::prepareApplication()
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QSurfaceFormat format;
    format.setVersion(2, 1);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    QSurfaceFormat::setDefaultFormat(format);
}

GLWidget::GLWidget(ArtReader *art, const TileData &data, Facet *model, TexMgr *textures,
                   QWidget *parent, Qt::WindowFlags flags)
    : GLWidget(art, data, new Document(data, model), textures, parent, flags)
{
    m_doc->setParent(this);
}

GLWidget::GLWidget(ArtReader *art, const TileData &data, Document *document, TexMgr *textures,
                   QWidget *parent, Qt::WindowFlags flags)
    : QOpenGLWidget(parent, flags), m_art(art), m_data(data), m_doc(document),
      m_model(document->model()), m_textures(textures)
{
    connect(m_doc, &Document::undoAvailable, this, &GLWidget::sigUndo);
    connect(m_doc, &Document::redoAvailable, this, &GLWidget::sigRedo);
    connect(m_doc, &Document::edited, this, &GLWidget::sceneChanged);
    connect(m_doc, &Document::clipChanged, this, &GLWidget::sceneChanged);
    if (m_textures)
        connect(m_textures, &TexMgr::texturesReset, this, &GLWidget::sceneChanged);
    m_mime = new MimeMgr(data, this);
    m_mime->setIncludeInvisible(true);
    m_renderer = std::make_unique<ViewRenderer>();
    m_port = std::make_unique<ToolPort>(*this);
    m_editor = new TileEditor(*m_port, this);
    setMouseTracking(true);
    setAcceptDrops(true);
    // The document window takes click focus, so commands reach the document in use.
    setFocusPolicy(Qt::NoFocus);
}

// The kept layer belongs to this view's context.
GLWidget::~GLWidget()
{
    // The base class destroys the context after this object's members are gone.
    if (context())
        disconnect(context(), nullptr, this, nullptr);
    if (m_renderer->hasLayer())
        dropLayer();
}

void GLWidget::dropLayer()
{
    makeCurrent();
    m_renderer->dropLayer();
    doneCurrent();
}

void GLWidget::sceneChanged()
{
    m_renderer->invalidate();
    update();
}

void GLWidget::setBatched(bool on)
{
    m_renderer->setBatched(on);
    update();
}

bool GLWidget::batched() const { return m_renderer->batched(); }
int GLWidget::layerPaints() const { return m_renderer->layerPaints(); }
int GLWidget::layerDrawCalls() const { return m_renderer->layerDrawCalls(); }
int GLWidget::previewPatches() const { return m_renderer->previewPatches(); }
const QList<DrawnQuad> &GLWidget::drawnQuads(int kind) const { return m_renderer->quads(kind); }

// Mouse and drag events belong to the editor, but for the middle button's pan.
void GLWidget::mousePressEvent(QMouseEvent *e)
{
    if (middlePan(e))
        return;
    m_editor->press(e);
}

void GLWidget::mouseMoveEvent(QMouseEvent *e)
{
    if (middlePan(e))
        return;
    m_editor->move(e);
}

void GLWidget::mouseReleaseEvent(QMouseEvent *e)
{
    if (middlePan(e))
        return;
    m_editor->release(e);
}
void GLWidget::dragEnterEvent(QDragEnterEvent *e) { m_editor->dragEnter(e); }
void GLWidget::dragMoveEvent(QDragMoveEvent *e) { m_editor->dragMove(e); }
void GLWidget::dragLeaveEvent(QDragLeaveEvent *e) { m_editor->dragLeave(e); }
void GLWidget::dropEvent(QDropEvent *e) { m_editor->drop(e); }

// Edit commands belong to the editor as well.
void GLWidget::cancel() { m_editor->cancel(); }
void GLWidget::undo() { m_editor->undo(); }
void GLWidget::redo() { m_editor->redo(); }
void GLWidget::copy() { m_editor->copy(); }
void GLWidget::cut() { m_editor->cut(); }
void GLWidget::paste() { m_editor->paste(); }
void GLWidget::del() { m_editor->del(); }
// The document is stored: nothing before this point can be undone.
void GLWidget::save() { undoMgr()->clearHistory(); }
void GLWidget::setMyVisible(bool visible) { m_editor->setMyVisible(visible); }
void GLWidget::insertItem() { m_editor->insertItem(); }
void GLWidget::startPaint(const QString &key) { m_editor->startPaint(key); }
void GLWidget::stopPaint() { m_editor->stopPaint(); }
void GLWidget::setPlacingAlt(int alt) { m_editor->setPlacingAlt(alt); }
void GLWidget::moveSelection(int dx, int dy, int dz) { m_editor->moveSelection(dx, dy, dz); }
void GLWidget::setHueOrAltitude(int altitude, int hue, bool altitudeMode)
{
    m_editor->setHueOrAltitude(altitude, hue, altitudeMode);
}

int GLWidget::placingAltitude() const { return m_model ? m_model->placingAltitude() : 0; }

// ---- Display state ----

void GLWidget::scrollHoriz(int x)
{
    m_state.anchor.setX(x);
    recomputeWalk();
    sceneChanged();
}

void GLWidget::scrollVert(int y)
{
    m_state.anchor.setY(y);
    recomputeWalk();
    sceneChanged();
}

// Centres the location exactly: a pan left by a zoom or a drag ends here.
void GLWidget::gotoPoint(const QPoint &p)
{
    m_state.anchor = p;
    m_state.pan = QPoint();
    recomputeWalk();
    sceneChanged();
}

void GLWidget::setScale(int n)
{
    double scale = ScaleSmall;
    for (const ScaleStep &step : ScaleSteps) {
        if (step.number == n)
            scale = step.scale;
    }
    setZoom(scale);
}

void GLWidget::setZoom(double scale)
{
    // Without a pan the anchor stays at the middle, as it always did.
    if (m_state.pan.isNull()) {
        place(m_state.anchor, IsoGeometry::clampZoom(scale), QPoint());
        return;
    }
    zoomAt(QPoint(width() / 2, height() / 2), scale);
}

QPointF GLWidget::projected(const QPointF &widgetPoint) const
{
    const IsoGeometry::Projection p = IsoGeometry::projection(width(), height());
    return {widgetPoint.x() + p.left, (height() - widgetPoint.y()) + p.bottom};
}

void GLWidget::zoomAt(const QPoint &widgetPoint, double scale)
{
    scale = IsoGeometry::clampZoom(scale);
    // At a bound of the range the picture stays put.
    if (scale == m_state.scale)
        return;
    const QPointF anchorScene = IsoGeometry::scenePoint(QPoint(0, 0), m_state.anchor.x(), m_state.anchor.y());
    // The pixel's centre, in scene units from location (0, 0).
    const bool held = m_zoomHold && m_zoomHold->widgetPoint == widgetPoint
                      && m_zoomHold->anchor == m_state.anchor && m_zoomHold->scale == m_state.scale
                      && m_zoomHold->pan == m_state.pan;
    const QPointF scene = held ? m_zoomHold->scene : pixelCentre(widgetPoint) + anchorScene;
    const QPointF pixel = projected(QPointF(widgetPoint) + QPointF(0.5, 0.5));
    // Anchored at the location that comes to the middle, so pans stay small.
    const QPointF middle = scene + (projected(QPointF(width() / 2.0, height() / 2.0)) - pixel) / scale;
    const QPoint anchor = IsoGeometry::viewCentre(QPoint(0, 0), middle);
    const QPointF fromAnchor = scene - QPointF(IsoGeometry::scenePoint(QPoint(0, 0), anchor.x(), anchor.y()));
    place(anchor, scale, IsoGeometry::panFor(pixel, fromAnchor, scale));
    m_zoomHold = ZoomHold{widgetPoint, scene, m_state.anchor, m_state.scale, m_state.pan};
}

void GLWidget::panBy(const QPoint &pixels)
{
    place(m_state.anchor, m_state.scale, m_state.pan + QPoint(pixels.x(), -pixels.y()));
}

void GLWidget::fitMulti()
{
    if (!m_model || !m_art)
        return;
    SceneRenderer::Options options;
    options.showInvisible = m_state.showInvisible;
    SceneRenderer renderer(m_art, nullptr);
    const auto fit = IsoGeometry::fit(renderer.bounds(*m_model, options), width(), height());
    if (fit)
        place(fit->anchor, fit->scale, fit->pan);
}

void GLWidget::place(const QPoint &anchor, double scale, const QPoint &pan)
{
    const bool rescaled = scale != m_state.scale;
    const QPoint before = m_state.centre;
    m_state.anchor = anchor;
    m_state.scale = scale;
    m_state.pan = pan;
    recomputeWalk();
    if (rescaled)
        emit zoomChanged(m_state.scale);
    if (m_state.centre != before)
        emit centreMoved(m_state.centre);
    sceneChanged();
}

// One notch (120 units) is a quarter octave: four notches halve or double the
// scale, and from 1.0 they land on the powers of two exactly.
void GLWidget::wheelEvent(QWheelEvent *e)
{
    const int delta = e->angleDelta().y();
    if (delta == 0) {
        e->ignore();
        return;
    }
    constexpr double NotchUnits = 120.0;
    constexpr double NotchesPerOctave = 4.0;
    constexpr double OnANotch = 1e-6;
    const double level = std::log2(m_state.scale) * NotchesPerOctave + delta / NotchUnits;
    const double nearest = std::round(level);
    const double target = std::exp2((std::abs(level - nearest) < OnANotch ? nearest : level)
                                    / NotchesPerOctave);
    zoomAt(e->position().toPoint(), target);
    e->accept();
}

// A middle-button drag moves the picture with the pointer; the editor never sees it.
bool GLWidget::middlePan(QMouseEvent *e)
{
    const QPoint at = e->position().toPoint();
    if (e->type() == QEvent::MouseButtonPress && e->button() == Qt::MiddleButton) {
        m_panFrom = at;
        return true;
    }
    if (!m_panFrom)
        return false;
    if (e->type() == QEvent::MouseMove) {
        panBy(at - *m_panFrom);
        m_panFrom = at;
        return true;
    }
    if (e->type() == QEvent::MouseButtonRelease && e->button() == Qt::MiddleButton) {
        panBy(at - *m_panFrom);
        m_panFrom.reset();
        return true;
    }
    return false;
}

void GLWidget::setArt(bool on) { m_state.showArt = on; sceneChanged(); }
void GLWidget::setTerrain(bool on) { m_state.showTerrain = on; sceneChanged(); }
void GLWidget::setFlat(bool on) { m_state.flat = on; sceneChanged(); }
void GLWidget::setMaxAlt(int alt) { m_doc->setMaxAlt(alt); }
void GLWidget::setMinAlt(int alt) { m_doc->setMinAlt(alt); }
void GLWidget::setAltCheck(bool on) { m_doc->setClipEnabled(on); }
void GLWidget::setGrid(bool on) { m_state.grid = on; sceneChanged(); }
void GLWidget::viewInvisible(bool on) { m_state.showInvisible = on; sceneChanged(); }

void GLWidget::setEditArt(bool on)
{
    selection().clear(Selection::ClearBoth);
    m_state.editArt = on;
    sceneChanged();
    reportToolState();
}

void GLWidget::setEditTerrain(bool on)
{
    selection().clear(Selection::ClearBoth);
    m_state.editTerrain = on;
    sceneChanged();
    reportToolState();
}

void GLWidget::query()
{
    emit flatMode(m_state.flat);
    emit artMode(m_state.showArt);
    emit terrainMode(m_state.showTerrain);
    emit editArt(m_state.editArt);
    emit editTerrain(m_state.editTerrain);
    for (const ScaleStep &step : ScaleSteps) {
        if (m_state.scale == step.scale)
            emit myScale(step.number);
    }
    emit zoomChanged(m_state.scale);
    emit lowerAlt(minAlt());
    emit higherAlt(maxAlt());
    emit clipEnable(clipEnabled());
    emit myGrid(m_state.grid);
    emit sigUndo(m_doc->canUndo());
    emit sigRedo(m_doc->canRedo());
    emit myInvisible(m_state.showInvisible);
    emit myPlace(placingAltitude());
    m_reportedTool.reset();
    m_reportedStatus.clear();
    reportToolState();
}

// The walk goes round the location at the middle, wherever a pan put the anchor.
void GLWidget::recomputeWalk()
{
    const QPointF middle = unproject(QPoint(width() / 2, height() / 2));
    m_state.centre = m_state.pan.isNull() ? m_state.anchor : IsoGeometry::viewCentre(m_state.anchor, middle);
    m_walk = IsoGeometry::walk(width(), height(), m_state.scale, m_state.centre);
    emit mapLocation(m_state.centre.x(), m_state.centre.y());
}

// ---- Selection ----

void GLWidget::selectAll()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (m_model)
        selection().addAll(*m_model);
    QApplication::restoreOverrideCursor();
    sceneChanged();
    reportToolState();
}

bool GLWidget::event(QEvent *e)
{
    if (e->type() != QEvent::ToolTip)
        return QOpenGLWidget::event(e);
    auto *help = static_cast<QHelpEvent *>(e);
    const DrawnQuad hit = tileAt(help->pos(), IsoGeometry::PickBoth);
    if (hit.isTile())
        QToolTip::showText(help->globalPos(), statusText(hit), this);
    e->accept();
    return true;
}

QString GLWidget::statusText(const DrawnQuad &q)
{
    QString text;
    if (q.kind == Terrain)
        text = tr("Terrain: ");
    else if (q.kind == Art)
        text = tr("Art: ");
    text += tr("%1 Loc: %2,%3,%4 Hue: %5")
                .arg(q.id)
                .arg(q.x)
                .arg(q.y)
                .arg(q.z)
                .arg(q.hue);
    text += q.visible ? tr(" Visible") : tr(" Invisible");
    return text;
}

// ---- Picking ----

QPointF GLWidget::unproject(const QPoint &widgetPoint) const
{
    return IsoGeometry::unproject(widgetPoint, width(), height(), m_state.scale, m_state.pan);
}

// Picking asks about the pixel under the pointer: the cell and the tile that
// cover its centre, exactly as the rasteriser drew them.
QPointF GLWidget::pixelCentre(const QPoint &widgetPoint) const
{
    return IsoGeometry::pixelCentre(widgetPoint, width(), height(), m_state.scale, m_state.pan);
}

QPoint GLWidget::mapLocation(const QPoint &widgetPoint) const
{
    return IsoGeometry::cellAt(m_walk, m_state.anchor, pixelCentre(widgetPoint))
        .value_or(noLocation());
}

QPoint GLWidget::noLocation() const
{
    if (!m_model)
        return {-1, -1};
    return {m_model->originX - 1, m_model->originY - 1};
}

DrawnQuad GLWidget::tileAt(const QPoint &widgetPoint, int list) const
{
    return IsoGeometry::topQuadAt(drawnQuads(Terrain), drawnQuads(Art), list, pixelCentre(widgetPoint), m_state.scale);
}

// The widget pixels of the rectangle, inclusive, in pixels from the scene origin.
QList<DrawnQuad> GLWidget::tilesInPixels(const QRect &widgetRect, int list) const
{
    const IsoGeometry::Projection p = IsoGeometry::projection(width(), height());
    const QRect r = widgetRect.normalized();
    const QRectF pixels(QPointF(r.left() + p.left - m_state.pan.x(),
                                height() - (r.bottom() + 1) + p.bottom - m_state.pan.y()),
                        QPointF(r.right() + 1 + p.left - m_state.pan.x(),
                                height() - r.top() + p.bottom - m_state.pan.y()));
    return IsoGeometry::quadsMeeting(drawnQuads(Terrain), drawnQuads(Art), list, pixels, m_state.scale);
}

// ---- Frame capture ----

void GLWidget::capture() { emit captureRequested(); }

// ---- Rendering ----

void GLWidget::initializeGL()
{
    ViewRenderer::initialize();
    // A new context (the view moved to another window) cannot use the old layer.
    connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, &GLWidget::dropLayer,
            Qt::UniqueConnection);
    m_renderer->invalidate();
}

void GLWidget::resizeGL(int w, int h)
{
    ViewRenderer::resize(QSize(w, h), size());
    recomputeWalk();
    sceneChanged();
}

void GLWidget::paintGL()
{
    const TileEditor::Brush &preview = m_editor->previewTiles();
    const bool painting = m_editor->painting();
    ViewRenderer::Frame f;
    f.state = viewState();
    f.walk = m_walk;
    f.size = size();
    f.pixels = size() * devicePixelRatioF();
    f.target = defaultFramebufferObject();
    f.model = m_model;
    f.selection = &selection();
    f.art = m_art;
    f.textures = m_textures;
    if (painting && !preview.isEmpty()) {
        f.preview = &preview;
        f.previewAnchor = m_editor->previewAnchor();
        const int paintOffset = m_state.editArt ? placingAltitude() : 0;
        f.previewOffset = (m_editor->modifiers() & Qt::AltModifier) ? m_editor->brushAltitude() : paintOffset;
    }
    f.placingGrid = painting;
    if (m_editor->bandShown()) {
        const TileEditor::Band b = m_editor->sceneBand();
        f.band = ViewRenderer::Band{b.x1, b.y1, b.x2, b.y2};
    }
    m_renderer->paint(f);
}

ViewState GLWidget::viewState() const
{
    ViewState s = m_state;
    s.clip = clipEnabled();
    s.minAlt = minAlt();
    s.maxAlt = maxAlt();
    s.placingAltitude = placingAltitude();
    return s;
}
