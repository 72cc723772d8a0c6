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
#include <QSurfaceFormat>
#include <QToolTip>

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <iterator>

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
    m_mime = new MimeMgr(data, this);
    m_mime->setIncludeInvisible(true);
    m_port = std::make_unique<ToolPort>(*this);
    m_editor = new TileEditor(*m_port, this);
    setMouseTracking(true);
    setAcceptDrops(true);
    // The document window takes click focus, so commands reach the document in use.
    setFocusPolicy(Qt::NoFocus);
}

GLWidget::~GLWidget() = default;

// Mouse and drag events belong to the editor.
void GLWidget::mousePressEvent(QMouseEvent *e) { m_editor->press(e); }
void GLWidget::mouseMoveEvent(QMouseEvent *e) { m_editor->move(e); }
void GLWidget::mouseReleaseEvent(QMouseEvent *e) { m_editor->release(e); }
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
    update();
}

void GLWidget::scrollVert(int y)
{
    m_centre.setY(y);
    recomputeWalk();
    update();
}

void GLWidget::gotoPoint(const QPoint &p)
{
    m_centre = p;
    recomputeWalk();
    update();
}

void GLWidget::setScale(int n)
{
    m_scale = ScaleSmall;
    for (const ScaleStep &step : ScaleSteps) {
        if (step.number == n)
            m_scale = step.scale;
    }
    recomputeWalk();
    update();
}

void GLWidget::setArt(bool on) { m_showArt = on; update(); }
void GLWidget::setTerrain(bool on) { m_showTerrain = on; update(); }
void GLWidget::setFlat(bool on) { m_flat = on; update(); }
void GLWidget::setMaxAlt(int alt) { m_maxAlt = alt; update(); }
void GLWidget::setMinAlt(int alt) { m_minAlt = alt; update(); }
void GLWidget::setAltCheck(bool on) { m_clip = on; update(); }
void GLWidget::setGrid(bool on) { m_grid = on; update(); }
void GLWidget::viewInvisible(bool on) { m_showInvisible = on; update(); }

void GLWidget::setEditArt(bool on)
{
    m_selection.clear(Selection::ClearBoth);
    m_editArt = on;
    update();
    reportToolState();
}

void GLWidget::setEditTerrain(bool on)
{
    m_selection.clear(Selection::ClearBoth);
    m_editTerrain = on;
    update();
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

void GLWidget::recomputeWalk()
{
    const IsoGeometry::Walk w = IsoGeometry::walk(width(), height(), m_scale, m_centre);
    m_columns = w.columns;
    m_rows = w.rows;
    m_start = w.start;
    emit mapLocation(m_centre.x(), m_centre.y());
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
    if (m_model) {
        const Facet::LocationTable &table = m_model->locations();
        for (auto it = table.cbegin(); it != table.cend(); ++it) {
            for (const TileRecord &t : it.value())
                m_selection.add(TileIdentity::of(t), false);
        }
    }
    QApplication::restoreOverrideCursor();
    update();
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
    return IsoGeometry::unproject(widgetPoint, width(), height(), m_scale);
}

// Picking asks about the pixel under the pointer: the cell and the tile that
// cover its centre, exactly as the rasteriser drew them.
QPointF GLWidget::pixelCentre(const QPoint &widgetPoint) const
{
    return IsoGeometry::pixelCentre(widgetPoint, width(), height(), m_scale);
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
    const QRectF pixels(QPointF(r.left() + p.left, height() - (r.bottom() + 1) + p.bottom),
                        QPointF(r.right() + 1 + p.left, height() - r.top() + p.bottom));
    return IsoGeometry::quadsMeeting(m_quads[0], m_quads[1], list, pixels, m_scale);
}

// ---- Frame capture ----

void GLWidget::capture()
{
    QString filter;
    for (const QByteArray &f : QImageWriter::supportedImageFormats()) {
        const QString name = QString::fromLatin1(f);
        filter += name + QStringLiteral("(*.") + name + QStringLiteral(");;");
    }
    filter.chop(2);
    QString chosen = captureFilter(QByteArrayLiteral("png"));
    QString fileName = Dialogs::getSaveFileName(this, tr("Image file to save to"),
                                                QString(), filter, &chosen);
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
}

void GLWidget::resizeGL(int w, int h)
{
    // w, h are framebuffer pixels; the scene is laid out in logical pixels.
    glViewport(0, 0, w, h);
    loadProjection();
    recomputeWalk();
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
    glScaled(m_scale, m_scale, m_scale);
}

void GLWidget::paintGL()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    loadProjection();
    loadSceneMatrix();
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    m_quads[0].clear();
    m_quads[1].clear();
    m_serial = 0;
    const bool painting = m_editor->painting();
    const int paintOffset = (painting && m_editArt) ? placingAltitude() : 0;
    m_previewOffset = (m_editor->modifiers() & Qt::AltModifier) ? m_editor->brushAltitude()
                                                                : paintOffset;
    if (m_art && m_model && m_textures)
        drawTiles(painting);
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
    glFlush();
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
    const TexInfo tex = m_textures->texture(t.id, quint16(hue), partialHue, translucent);
    if (tex.texture == 0)
        return;
    glBindTexture(GL_TEXTURE_2D, tex.texture);
    QPoint corners[4];
    IsoGeometry::tileQuad(scene, z, tex, corners);
    if (!translucent)
        recordQuad(t, loc, z, corners);
    // On whole pixels at every scale, where picking expects the edges.
    const auto vertex = [this](const QPoint &c) {
        glVertex2d(IsoGeometry::snap(c.x(), m_scale) / m_scale,
                   IsoGeometry::snap(c.y(), m_scale) / m_scale);
    };
    // The image's part of the padded texture, on the image's own rectangle.
    const QPointF st = IsoGeometry::imageTexCorner(tex);
    const GLfloat light = translucent ? 1.0f : brightnessAt(z);
    glColor4f(light, light, light, 1.0f);
    glBegin(GL_QUADS);
    glTexCoord2d(0.0, 0.0);
    vertex(corners[0]);
    glTexCoord2d(st.x(), 0.0);
    vertex(corners[1]);
    glTexCoord2d(st.x(), st.y());
    vertex(corners[2]);
    glTexCoord2d(0.0, st.y());
    vertex(corners[3]);
    glEnd();
}

void GLWidget::recordQuad(const TileRecord &t, const QPoint &loc, int z, const QPoint corners[4])
{
    DrawnQuad q;
    std::copy(corners, corners + 4, q.corners);
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
    // Sized to the widget at every scale, not only at 1.0.
    const int hw = int(std::ceil(width() * 0.5 / m_scale));
    const int hh = int(std::ceil(height() * 0.5 / m_scale));
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    setColour(fill);
    glBegin(GL_QUADS);
    glVertex2i(-hw, -hh);
    glVertex2i(hw, -hh);
    glVertex2i(hw, hh);
    glVertex2i(-hw, hh);
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
