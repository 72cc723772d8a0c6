#include "view/GLWidget.h"

#include "model/Facet.h"
#include "model/MimeMgr.h"
#include "model/UndoMgr.h"
#include "view/TexMgr.h"
#include "view/TileEditor.h"

#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMouseEvent>

GLWidget::GLWidget(ArtReader *art, const TileData &data, Facet *model, TexMgr *textures,
                   QWidget *parent, Qt::WindowFlags flags)
    : QOpenGLWidget(parent, flags), m_art(art), m_data(data), m_model(model), m_textures(textures)
{
    m_undo = new UndoMgr(data, model, this);
    connect(m_undo, &UndoMgr::stateUndo, this, &GLWidget::sigUndo);
    connect(m_undo, &UndoMgr::stateRedo, this, &GLWidget::sigRedo);
    m_mime = new MimeMgr(data, this);
    m_mime->setIncludeInvisible(true);
    m_editor = new TileEditor(this);
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
void GLWidget::save() { m_editor->save(); }
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

int GLWidget::placingAltitude() const { return m_model->placingAltitude(); }
