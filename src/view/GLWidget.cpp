#include "view/GLWidget.h"

#include "ui/Dialogs.h"
#include "data/TileData.h"
#include "model/TileInfo.h"
#include "model/Facet.h"
#include "model/MimeMgr.h"
#include "model/SafeWrite.h"
#include "model/UndoMgr.h"
#include "view/GridColours.h"
#include "scene/IsoGeometry.h"
#include "scene/NoDrawList.h"
#include "scene/SceneRenderer.h"
#include "view/TexMgr.h"
#include "view/TileEditor.h"
#include "view/GLWidgetToolPort.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QHelpEvent>
#include <QImageWriter>
#include <QMouseEvent>
#include <QBuffer>
#include <QOpenGLContext>
#include <QOpenGLExtraFunctions>
#include <QOpenGLFramebufferObject>
#include <QSurfaceFormat>
#include <QToolTip>
#include <QWheelEvent>

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <tuple>

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
    : QOpenGLWidget(parent, flags), m_art(art), m_data(data), m_model(model), m_textures(textures)
{
    m_undo = new UndoMgr(data, model, this);
    connect(m_undo, &UndoMgr::stateUndo, this, &GLWidget::sigUndo);
    connect(m_undo, &UndoMgr::stateRedo, this, &GLWidget::sigRedo);
    connect(m_undo, &UndoMgr::edited, this, &GLWidget::sceneChanged);
    if (m_textures)
        connect(m_textures, &TexMgr::texturesReset, this, &GLWidget::sceneChanged);
    m_mime = new MimeMgr(data, this);
    m_mime->setIncludeInvisible(true);
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
    if (m_layer)
        dropLayer();
}

void GLWidget::dropLayer()
{
    makeCurrent();
    m_layer.reset();
    doneCurrent();
    m_layerStale = true;
}

void GLWidget::sceneChanged()
{
    m_layerStale = true;
    update();
}

void GLWidget::setBatched(bool on)
{
    m_batched = on;
    sceneChanged();
}

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
void GLWidget::save() { m_undo->clearHistory(); }
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
    m_centre.setX(x);
    recomputeWalk();
    sceneChanged();
}

void GLWidget::scrollVert(int y)
{
    m_centre.setY(y);
    recomputeWalk();
    sceneChanged();
}

// Centres the location exactly: a pan left by a zoom or a drag ends here.
void GLWidget::gotoPoint(const QPoint &p)
{
    m_centre = p;
    m_pan = QPoint();
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
    if (m_pan.isNull()) {
        place(m_centre, IsoGeometry::clampZoom(scale), QPoint());
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
    if (scale == m_scale)
        return;
    const QPointF anchorScene = IsoGeometry::scenePoint(QPoint(0, 0), m_centre.x(), m_centre.y());
    // The pixel's centre, in scene units from location (0, 0).
    const bool held = m_zoomHold && m_zoomHold->widgetPoint == widgetPoint
                      && m_zoomHold->anchor == m_centre && m_zoomHold->scale == m_scale
                      && m_zoomHold->pan == m_pan;
    const QPointF scene = held ? m_zoomHold->scene : pixelCentre(widgetPoint) + anchorScene;
    const QPointF pixel = projected(QPointF(widgetPoint) + QPointF(0.5, 0.5));
    // Anchored at the location that comes to the middle, so pans stay small.
    const QPointF middle = scene + (projected(QPointF(width() / 2.0, height() / 2.0)) - pixel) / scale;
    const QPoint anchor = IsoGeometry::viewCentre(QPoint(0, 0), middle);
    const QPointF fromAnchor = scene - QPointF(IsoGeometry::scenePoint(QPoint(0, 0), anchor.x(), anchor.y()));
    place(anchor, scale, IsoGeometry::panFor(pixel, fromAnchor, scale));
    m_zoomHold = ZoomHold{widgetPoint, scene, m_centre, m_scale, m_pan};
}

void GLWidget::panBy(const QPoint &pixels)
{
    place(m_centre, m_scale, m_pan + QPoint(pixels.x(), -pixels.y()));
}

void GLWidget::fitMulti()
{
    if (!m_model || !m_art)
        return;
    SceneRenderer::Options options;
    options.showInvisible = m_showInvisible;
    SceneRenderer renderer(m_art, nullptr);
    const auto fit = IsoGeometry::fit(renderer.bounds(*m_model, options), width(), height());
    if (fit)
        place(fit->anchor, fit->scale, fit->pan);
}

void GLWidget::place(const QPoint &anchor, double scale, const QPoint &pan)
{
    const bool rescaled = scale != m_scale;
    const QPoint before = m_viewCentre;
    m_centre = anchor;
    m_scale = scale;
    m_pan = pan;
    recomputeWalk();
    if (rescaled)
        emit zoomChanged(m_scale);
    if (m_viewCentre != before)
        emit centreMoved(m_viewCentre);
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
    const double level = std::log2(m_scale) * NotchesPerOctave + delta / NotchUnits;
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

void GLWidget::setArt(bool on) { m_showArt = on; sceneChanged(); }
void GLWidget::setTerrain(bool on) { m_showTerrain = on; sceneChanged(); }
void GLWidget::setFlat(bool on) { m_flat = on; sceneChanged(); }
void GLWidget::setMaxAlt(int alt) { m_maxAlt = alt; sceneChanged(); }
void GLWidget::setMinAlt(int alt) { m_minAlt = alt; sceneChanged(); }
void GLWidget::setAltCheck(bool on) { m_clip = on; sceneChanged(); }
void GLWidget::setGrid(bool on) { m_grid = on; sceneChanged(); }
void GLWidget::viewInvisible(bool on) { m_showInvisible = on; sceneChanged(); }

void GLWidget::setEditArt(bool on)
{
    m_selection.clear(Selection::ClearBoth);
    m_editArt = on;
    sceneChanged();
    reportToolState();
}

void GLWidget::setEditTerrain(bool on)
{
    m_selection.clear(Selection::ClearBoth);
    m_editTerrain = on;
    sceneChanged();
    reportToolState();
}

void GLWidget::query()
{
    emit flatMode(m_flat);
    emit artMode(m_showArt);
    emit terrainMode(m_showTerrain);
    emit editArt(m_editArt);
    emit editTerrain(m_editTerrain);
    for (const ScaleStep &step : ScaleSteps) {
        if (m_scale == step.scale)
            emit myScale(step.number);
    }
    emit zoomChanged(m_scale);
    emit lowerAlt(m_minAlt);
    emit higherAlt(m_maxAlt);
    emit clipEnable(m_clip);
    emit myGrid(m_grid);
    emit sigUndo(m_undo->hasSteps(0));
    emit sigRedo(m_undo->hasSteps(1));
    emit myInvisible(m_showInvisible);
    emit myPlace(placingAltitude());
    m_reportedTool.reset();
    m_reportedStatus.clear();
    reportToolState();
}

// The walk goes round the location at the middle, wherever a pan put the anchor.
void GLWidget::recomputeWalk()
{
    const QPointF middle = unproject(QPoint(width() / 2, height() / 2));
    m_viewCentre = m_pan.isNull() ? m_centre : IsoGeometry::viewCentre(m_centre, middle);
    const IsoGeometry::Walk w = IsoGeometry::walk(width(), height(), m_scale, m_viewCentre);
    m_columns = w.columns;
    m_rows = w.rows;
    m_start = w.start;
    emit mapLocation(m_viewCentre.x(), m_viewCentre.y());
}

IsoGeometry::Walk GLWidget::currentWalk() const
{
    IsoGeometry::Walk w;
    w.columns = m_columns;
    w.rows = m_rows;
    w.start = m_start;
    return w;
}

// ---- Selection ----

void GLWidget::selectAll()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (m_model)
        m_selection.addAll(*m_model);
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
    return IsoGeometry::unproject(widgetPoint, width(), height(), m_scale, m_pan);
}

// Picking asks about the pixel under the pointer: the cell and the tile that
// cover its centre, exactly as the rasteriser drew them.
QPointF GLWidget::pixelCentre(const QPoint &widgetPoint) const
{
    return IsoGeometry::pixelCentre(widgetPoint, width(), height(), m_scale, m_pan);
}

QPoint GLWidget::mapLocation(const QPoint &widgetPoint) const
{
    return IsoGeometry::cellAt(currentWalk(), m_centre, pixelCentre(widgetPoint))
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
    return IsoGeometry::topQuadAt(m_quads[0], m_quads[1], list, pixelCentre(widgetPoint), m_scale);
}

// The widget pixels of the rectangle, inclusive, in pixels from the scene origin.
QList<DrawnQuad> GLWidget::tilesInPixels(const QRect &widgetRect, int list) const
{
    const IsoGeometry::Projection p = IsoGeometry::projection(width(), height());
    const QRect r = widgetRect.normalized();
    const QRectF pixels(QPointF(r.left() + p.left - m_pan.x(),
                                height() - (r.bottom() + 1) + p.bottom - m_pan.y()),
                        QPointF(r.right() + 1 + p.left - m_pan.x(),
                                height() - r.top() + p.bottom - m_pan.y()));
    return IsoGeometry::quadsMeeting(m_quads[0], m_quads[1], list, pixels, m_scale);
}

// ---- Frame capture ----

void GLWidget::capture(const QString &folder)
{
    QString filter;
    for (const QByteArray &f : QImageWriter::supportedImageFormats()) {
        const QString name = QString::fromLatin1(f);
        filter += name + QStringLiteral("(*.") + name + QStringLiteral(");;");
    }
    filter.chop(2);
    QString chosen = captureFilter(QByteArrayLiteral("png"));
    QString fileName = Dialogs::getSaveFileName(this, tr("Image file to save to"),
                                                folder, filter, &chosen);
    if (fileName.isEmpty())
        return;
    const QString format = captureFormat(fileName, chosen);
    const QImage image = grabFramebuffer();
    if (QFileInfo(fileName).suffix().compare(format, Qt::CaseInsensitive) != 0)
        fileName += QLatin1Char('.') + format;
    writeImage(image, fileName, format);
}

void GLWidget::writeImage(const QImage &image, const QString &fileName, const QString &format)
{
    // Encoded in memory first, so the file is replaced only by a whole image.
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QString reason;
    if (!image.save(&buffer, format.isEmpty() ? nullptr : format.toLatin1().constData()))
        reason = tr("the image could not be encoded as %1").arg(format);
    else if (SafeWrite::replaceFile(fileName, bytes, &reason))
        return;
    Dialogs::warning(this, tr("Capture"), tr("Unable to save %1\n%2").arg(fileName, reason));
}

QString GLWidget::captureFilter(const QByteArray &format)
{
    const QString name = QString::fromLatin1(format);
    return name + QStringLiteral("(*.") + name + QLatin1Char(')');
}

// A typed suffix naming a writable format wins over the chosen filter.
QString GLWidget::captureFormat(const QString &fileName, const QString &chosenFilter)
{
    QString suffix = QFileInfo(fileName).suffix().toLower();
    if (!suffix.isEmpty() && QImageWriter::supportedImageFormats().contains(suffix.toLatin1()))
        return suffix;
    const QString fromFilter = chosenFilter.section(QLatin1Char('('), 0, 0);
    return fromFilter.isEmpty() ? QStringLiteral("png") : fromFilter;
}

// ---- Rendering ----

void GLWidget::initializeGL()
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
    // A new context (the view moved to another window) cannot use the old layer.
    connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, &GLWidget::dropLayer,
            Qt::UniqueConnection);
    m_layerStale = true;
}

void GLWidget::resizeGL(int w, int h)
{
    // w, h are framebuffer pixels; the scene is laid out in logical pixels.
    glViewport(0, 0, w, h);
    loadProjection();
    recomputeWalk();
    sceneChanged();
}

void GLWidget::loadProjection()
{
    const IsoGeometry::Projection p = IsoGeometry::projection(width(), height());
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(p.left, p.right, p.bottom, p.top, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
}

void GLWidget::loadSceneMatrix()
{
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    // Whole pixels: snapped tile edges stay on pixel edges.
    glTranslated(m_pan.x(), m_pan.y(), 0.0);
    glScaled(m_scale, m_scale, m_scale);
}

// Batched, the tiles are drawn into a layer kept between paints; a paint
// that changes only what lies above them (band, grids) copies the layer and
// draws that on it.
void GLWidget::paintGL()
{
    // Without a layer (the reference drawing, or none could be made) the
    // tiles go straight into the view.
    if (m_batched && prepareLayer()) {
        if (!layerCurrent()) {
            m_layer->bind();
            drawTileLayer();
            QOpenGLContext::currentContext()->functions()->glBindFramebuffer(
                GL_FRAMEBUFFER, defaultFramebufferObject());
        }
        showLayer();
    } else {
        drawTileLayer();
    }
    drawOverlays();
    glFlush();
}

// A layer of the view's framebuffer size with a depth buffer for the batch.
bool GLWidget::prepareLayer()
{
    const QSize size = this->size() * devicePixelRatioF();
    if (m_layer && m_layer->size() == size)
        return true;
    m_layer.reset();
    m_layerStale = true;
    if (!QOpenGLFramebufferObject::hasOpenGLFramebufferObjects()
        || !QOpenGLFramebufferObject::hasOpenGLFramebufferBlit() || size.isEmpty())
        return false;
    m_layer = std::make_unique<QOpenGLFramebufferObject>(
        size, QOpenGLFramebufferObject::CombinedDepthStencil);
    if (!m_layer->isValid()) {
        m_layer.reset();
        return false;
    }
    return true;
}

void GLWidget::showLayer()
{
    QOpenGLExtraFunctions *f = QOpenGLContext::currentContext()->extraFunctions();
    const QSize size = m_layer->size();
    f->glBindFramebuffer(GL_READ_FRAMEBUFFER, m_layer->handle());
    f->glBindFramebuffer(GL_DRAW_FRAMEBUFFER, defaultFramebufferObject());
    f->glBlitFramebuffer(0, 0, size.width(), size.height(), 0, 0, size.width(), size.height(),
                         GL_COLOR_BUFFER_BIT, GL_NEAREST);
    f->glBindFramebuffer(GL_FRAMEBUFFER, defaultFramebufferObject());
}

// When in doubt, draw again: anything the tiles' picture depends on is compared.
bool GLWidget::layerCurrent() const
{
    // The paint preview sits between the tiles and follows the cursor.
    return !m_layerStale && !m_editor->painting() && m_layerKey == layerKey();
}

GLWidget::LayerKey GLWidget::layerKey() const
{
    LayerKey k;
    k.size = size() * devicePixelRatioF();
    k.scale = m_scale;
    k.centre = m_centre;
    k.pan = m_pan;
    k.dimBelow = m_dimBelow;
    k.placingAltitude = placingAltitude();
    k.start = m_start;
    k.columns = m_columns;
    k.rows = m_rows;
    k.showArt = m_showArt;
    k.showTerrain = m_showTerrain;
    k.flat = m_flat;
    k.editArt = m_editArt;
    k.editTerrain = m_editTerrain;
    k.clip = m_clip;
    k.showInvisible = m_showInvisible;
    k.maxAlt = m_maxAlt;
    k.minAlt = m_minAlt;
    k.model = m_model;
    k.art = m_art;
    k.textures = m_textures;
    k.modelRevision = m_model ? m_model->revision() : 0;
    k.selectionRevision = m_selection.revision();
    k.textureGeneration = m_textures ? m_textures->generation() : 0;
    return k;
}

bool GLWidget::LayerKey::operator==(const LayerKey &o) const
{
    const auto tied = [](const LayerKey &k) {
        return std::tie(k.size, k.scale, k.centre, k.pan, k.start, k.columns, k.rows, k.showArt,
                        k.showTerrain, k.flat, k.editArt, k.editTerrain, k.clip, k.showInvisible,
                        k.maxAlt, k.minAlt, k.dimBelow, k.placingAltitude, k.model, k.art, k.textures, k.modelRevision,
                        k.selectionRevision, k.textureGeneration);
    };
    return tied(*this) == tied(o);
}

// Every tile of the walk, with the paint preview between them; records the
// quads picking answers from.
void GLWidget::drawTileLayer()
{
    glClearDepth(0.0); // the batch's depth grows toward the front
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glClearDepth(1.0);
    loadProjection();
    loadSceneMatrix();
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    m_quads[0].clear();
    m_quads[1].clear();
    m_serial = 0;
    m_batch.clear();
    const bool painting = m_editor->painting();
    const int paintOffset = (painting && m_editArt) ? placingAltitude() : 0;
    m_previewOffset = (m_editor->modifiers() & Qt::AltModifier) ? m_editor->brushAltitude()
                                                                : paintOffset;
    if (m_art && m_model && m_textures)
        drawTiles(painting);
    if (m_batched) {
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glTranslated(m_pan.x(), m_pan.y(), 0.0);
        glScaled(m_scale, m_scale, 1.0); // the batch orders its quads by depth
        m_batch.draw();
    }
    ++m_layerPaints;
    m_layerKey = layerKey();
    // A layer with the preview is never reused.
    m_layerStale = painting;
}

void GLWidget::drawOverlays()
{
    loadProjection();
    loadSceneMatrix();
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    const bool painting = m_editor->painting();
    if (m_grid && m_art) {
        drawGrid(GridColours::gridLine, GridColours::gridFill, 0);
        drawOrigin(GridColours::gridLine, 0);
    }
    if (painting && m_art) {
        drawGrid(GridColours::placeLine, GridColours::placeFill, placingAltitude());
        drawOrigin(GridColours::placeLine, placingAltitude());
    }
    if (m_editor->bandShown()) {
        loadSceneMatrix();
        drawBand();
    }
}

void GLWidget::drawTiles(bool painting)
{
    const IsoGeometry::Walk w = currentWalk();
    const QPoint cursor = m_editor->previewAnchor();
    const TileEditor::Brush &brush = m_editor->previewTiles();
    for (int r = 0; r < w.rows; ++r) {
        for (int c = 0; c < w.columns; ++c) {
            const QPoint loc = IsoGeometry::cell(w, r, c);
            if (!m_model->inside(loc.x(), loc.y()))
                continue;
            const Facet::TileSet *brushTiles = nullptr;
            if (painting && !brush.isEmpty()) {
                const auto found = brush.constFind(
                    locationKey(loc.x() - cursor.x(), loc.y() - cursor.y()));
                if (found != brush.constEnd() && !found->empty())
                    brushTiles = &*found;
            }
            drawLocation(loc, brushTiles);
        }
    }
}

void GLWidget::drawLocation(const QPoint &loc, const Facet::TileSet *brushTiles)
{
    const QPoint scene = IsoGeometry::scenePoint(m_centre, loc.x(), loc.y());
    if (const Facet::TileSet *tiles = m_model->tilesAtPtr(loc.x(), loc.y())) {
        for (const TileRecord &t : *tiles) {
            const bool edited = (m_editTerrain && t.kind == Terrain) || (m_editArt && t.kind == Art);
            if (edited && m_selection.query(TileIdentity::of(t)))
                drawTile(t, loc, scene, SelectionHue, 0, false, 0);
            else
                drawTile(t, loc, scene, t.hue, t.flags & TileFlags::PartialHue, false, 0);
            if (brushTiles && t.kind == Terrain && m_editTerrain) {
                const TileRecord &b = *brushTiles->begin();
                drawTile(b, loc, scene, b.hue, b.flags & TileFlags::PartialHue, true,
                         m_previewOffset);
            }
        }
    }
    if (brushTiles && m_editArt) {
        for (const TileRecord &b : *brushTiles)
            drawTile(b, loc, scene, b.hue, b.flags & TileFlags::PartialHue, true,
                     m_previewOffset);
    }
}

bool GLWidget::hidden(const TileRecord &t, int z) const
{
    const bool terrain = t.kind == Terrain;
    const bool art = t.kind == Art;
    if (!((terrain && m_showTerrain) || (art && m_showArt) || (terrain && m_flat)))
        return true;
    if (m_clip && (z < m_minAlt || z > m_maxAlt))
        return true;
    if (m_showArt && m_showTerrain && !m_flat && noDraw(t.kind, t.id))
        return true;
    if (art && m_flat)
        return true;
    return t.visible == 0 && !m_showInvisible;
}

// One list for the view and the CPU renderer, so that their pictures agree.
bool GLWidget::noDraw(int kind, int id)
{
    return NoDrawList::contains(kind, id);
}

void GLWidget::drawTile(const TileRecord &t, const QPoint &loc, const QPoint &scene, int hue,
                        quint32 partialHue, bool translucent, int zOffset)
{
    const int z = t.z + zOffset;
    if (hidden(t, z))
        return;
    const std::optional<AtlasEntry> entry =
        m_textures->tileEntry(t, quint16(hue), partialHue, translucent);
    if (!entry)
        return;
    // Only the image, not its padded block: the quad is the image's own rectangle.
    TexInfo image;
    image.imageWidth = entry->width;
    image.imageHeight = entry->height;
    QPoint corners[4];
    IsoGeometry::tileQuad(scene, z, image, corners);
    if (!translucent)
        recordQuad(t, loc, z, corners, entry->mask);
    if (entry->texture == 0)
        return;
    const float light = translucent ? 1.0f : brightnessAt(z);
    if (m_batched)
        m_batch.add(*entry, corners, m_scale, translucent || !entry->binaryAlpha, light);
    else
        drawQuad(*entry, corners, light);
}

// The per-tile reference: one bind and one quad, blended, in painter's order.
void GLWidget::drawQuad(const AtlasEntry &entry, const QPoint corners[4], float light)
{
    glBindTexture(GL_TEXTURE_2D, entry.texture);
    glColor4f(light, light, light, 1.0f);
    // On whole pixels at every scale, where picking expects the edges.
    const auto vertex = [this](const QPoint &c) {
        glVertex2d(IsoGeometry::snap(c.x(), m_scale) / m_scale,
                   IsoGeometry::snap(c.y(), m_scale) / m_scale);
    };
    float s[4], t[4];
    IsoGeometry::texCoords(corners, m_scale, entry.u0, entry.v0, entry.u1, entry.v1, entry.width,
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

void GLWidget::recordQuad(const TileRecord &t, const QPoint &loc, int z, const QPoint corners[4],
                          const std::shared_ptr<const PickMask> &mask)
{
    DrawnQuad q;
    std::copy(corners, corners + 4, q.corners);
    // A terrain tile is picked by its cell's diamond, an art tile by its drawn pixels.
    if (t.kind == Terrain) {
        QPoint d[4];
        IsoGeometry::diamond(m_centre, loc.x(), loc.y(), z, d);
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

namespace {
void setColour(QRgb c)
{
    glColor4ub(GLubyte(qRed(c)), GLubyte(qGreen(c)), GLubyte(qBlue(c)), GLubyte(qAlpha(c)));
}

void vertex(const QPoint &p) { glVertex2i(p.x(), p.y()); }
} // namespace

void GLWidget::drawGrid(QRgb line, QRgb fill, int z)
{
    GLfloat saved[4];
    glGetFloatv(GL_CURRENT_COLOR, saved);
    glDisable(GL_TEXTURE_2D);
    // Sized to the widget at every scale and pan, not only at 1.0.
    const QPointF low = unproject(QPoint(-1, height() + 1));
    const QPointF high = unproject(QPoint(width() + 1, -1));
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
    const IsoGeometry::Walk w = currentWalk();
    QPoint d[4];
    glBegin(GL_QUADS);
    for (int r = 0; r < w.rows; ++r) {
        for (int c = 0; c < w.columns; ++c) {
            const QPoint loc = IsoGeometry::cell(w, r, c);
            IsoGeometry::diamond(m_centre, loc.x(), loc.y(), z, d);
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

void GLWidget::drawOrigin(QRgb line, int z)
{
    GLfloat saved[4];
    glGetFloatv(GL_CURRENT_COLOR, saved);
    glDisable(GL_TEXTURE_2D);
    setColour(line);
    QPoint d[4];
    IsoGeometry::diamond(m_centre, 0, 0, z, d);
    glBegin(GL_LINES);
    vertex(d[0]);
    vertex(d[2]);
    vertex(d[1]);
    vertex(d[3]);
    glEnd();
    glColor4fv(saved);
    glEnable(GL_TEXTURE_2D);
}

void GLWidget::drawBand()
{
    const TileEditor::Band b = m_editor->band();
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
