#include "app/GLScroll.h"
#include "app/FrameCapture.h"
#include "scene/Document.h"
#include "view/TexMgr.h"

#include "ui/Dialogs.h"
#include "data/TileData.h"
#include "model/Facet.h"
#include "panels/HuePicker.h"
#include "view/GLWidget.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QGridLayout>
#include <QScrollBar>
#include <cmath>

GLScroll::GLScroll(const QString &fileName, const TileMap &tiles, ArtReader *art,
                   const TileData &data, TexMgr *textures, QWidget *parent, Qt::WindowFlags flags)
    : QWidget(parent, flags)
{
    setFocusPolicy(Qt::ClickFocus);
    setMinimumSize(50, 50);
    m_doc = new Document(data, tiles, fileName, this);
    setTitle(fileName.isNull() ? tr("Untitled") : fileName);
    connect(m_doc, &Document::modifiedChanged, this, &QWidget::setWindowModified);
    const double side = 8.0 * model()->blocksWide;
    m_range = int(std::floor(std::sqrt(side * side * 0.5)));

    m_view = new GLWidget(art, data, m_doc, textures, this);
    connect(m_view, &GLWidget::captureRequested, this, &GLScroll::captureView);
    connect(m_view, qOverload<int, int>(&GLWidget::mapLocation), this, &GLScroll::getMapLocation);
    connect(m_view, &GLWidget::centreMoved, this, &GLScroll::followView);

    m_vert = new QScrollBar(Qt::Vertical, this);
    m_horz = new QScrollBar(Qt::Horizontal, this);
    for (QScrollBar *bar : {m_vert, m_horz}) {
        bar->setRange(-m_range, m_range);
        bar->setValue(0);
    }
    connect(m_vert, &QScrollBar::valueChanged, this, &GLScroll::vertChange);
    connect(m_horz, &QScrollBar::valueChanged, this, &GLScroll::horzChange);

    auto *layout = new QGridLayout(this);
    layout->addWidget(m_view, 0, 0);
    layout->addWidget(m_vert, 0, 1);
    layout->addWidget(m_horz, 1, 0);
    setWindowIcon(QIcon(QStringLiteral(":/images/bm.png")));
    resize(640, 480);
}

// The view draws the document: it goes first.
GLScroll::~GLScroll()
{
    delete m_view;
}

Facet *GLScroll::model() const { return m_doc->model(); }
QString GLScroll::fileName() const { return m_doc->fileName(); }

bool GLScroll::saveToFile(const QString &name)
{
    QString reason;
    if (!m_doc->save(name, &reason)) {
        // Keep the old name: the document still lives where it was.
        Dialogs::warning(this, tr("Save Error"),
                         tr("Unable to save ") + name + QStringLiteral("\n") + reason);
        return false;
    }
    setTitle(name);
    emit saved();
    return true;
}

void GLScroll::setTitle(const QString &title)
{
    m_title = title;
    setWindowTitle(title + QStringLiteral("[*]"));
}

bool GLScroll::gotoLocation(int x, int y)
{
    // The model's own area: every multi is centred on 0,0.
    if (!model()->inside(x, y))
        return false;
    m_view->gotoPoint(QPoint(x, y));
    m_locX = x;
    m_locY = y;
    setBars(x, y);
    return true;
}

void GLScroll::setBars(int x, int y)
{
    m_sync = true;
    m_horz->setValue(x);
    m_vert->setValue(y);
    m_sync = false;
}

// A vertical move of d pans straight down the screen: (+d, +d) on the map.
void GLScroll::vertChange(int value)
{
    if (m_sync)
        return;
    const int d = value - m_locY;
    m_locX += d;
    m_locY = value;
    m_sync = true;
    m_horz->setValue(m_locX);
    m_view->gotoPoint(QPoint(m_locX, m_locY));
    m_sync = false;
}

// A horizontal move of d pans straight right on the screen: (+d, -d) on the map.
void GLScroll::horzChange(int value)
{
    if (m_sync)
        return;
    const int d = value - m_locX;
    m_locY -= d;
    m_locX = value;
    m_sync = true;
    m_vert->setValue(m_locY);
    m_view->gotoPoint(QPoint(m_locX, m_locY));
    m_sync = false;
}

void GLScroll::getMapLocation(int x, int y)
{
    emit mapLocation(x, y);
}

void GLScroll::gotoPoint()
{
    bool ok = false;
    const QString text = Dialogs::getText(this, tr("Goto"),
                                          tr("Enter coordinates(x,y):"),
                                          QLineEdit::Normal, QString(), &ok);
    if (!ok)
        return;
    const QString xText = text.section(QLatin1Char(','), 0, 0).trimmed();
    const QString yText = text.contains(QLatin1Char(','))
                              ? text.section(QLatin1Char(','), 1, 1).trimmed()
                              : QString();
    bool xOk = false;
    bool yOk = false;
    const int x = xText.toInt(&xOk, 10);
    const int y = yText.toInt(&yOk, 10);
    if (xOk && yOk && gotoLocation(x, y))
        return;
    Dialogs::warning(this, tr("Invalid coordinates"),
                     text + tr(" location is invalid"));
}

void GLScroll::setArt(bool on)
{
    m_view->setArt(on);
}

void GLScroll::setTerrain(bool on)
{
    m_view->setTerrain(on);
}

void GLScroll::setFlat(bool on)
{
    m_view->setFlat(on);
}

void GLScroll::setEnable(bool on)
{
    m_view->setAltCheck(on);
}

void GLScroll::setMax(int alt)
{
    m_view->setMaxAlt(alt);
}

void GLScroll::setMin(int alt)
{
    m_view->setMinAlt(alt);
}

void GLScroll::setScale(int n)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_view->setScale(n);
    QApplication::restoreOverrideCursor();
}

void GLScroll::fitMulti()
{
    m_view->fitMulti();
}

// The bars only show the place: moving them here must not move the view again.
void GLScroll::followView(const QPoint &centre)
{
    m_locX = centre.x();
    m_locY = centre.y();
    setBars(m_locX, m_locY);
}

void GLScroll::capture()
{
    captureView();
}

void GLScroll::captureView()
{
    const QString name = fileName();
    FrameCapture::capture(this, m_view, name.isEmpty() ? QString() : QFileInfo(name).absolutePath());
}

void GLScroll::setEditArt(bool on)
{
    m_view->setEditArt(on);
}

void GLScroll::setEditTerrain(bool on)
{
    m_view->setEditTerrain(on);
}

void GLScroll::setGrid(bool on)
{
    m_view->setGrid(on);
}

void GLScroll::undo()
{
    m_view->undo();
}

void GLScroll::redo()
{
    m_view->redo();
}

void GLScroll::paste()
{
    m_view->paste();
}

void GLScroll::copy()
{
    m_view->copy();
}

void GLScroll::del()
{
    m_view->del();
}

void GLScroll::cut()
{
    m_view->cut();
}

void GLScroll::save()
{
    m_view->save();
}

void GLScroll::cancel()
{
    m_view->cancel();
}

void GLScroll::move(int dx, int dy, int dz)
{
    m_view->moveSelection(dx, dy, dz);
}

void GLScroll::adjustHome() { move(-1, 0, 0); }
void GLScroll::adjustUp() { move(-1, -1, 0); }
void GLScroll::adjustPgUp() { move(0, -1, 0); }
void GLScroll::adjustRight() { move(1, -1, 0); }
void GLScroll::adjustPgDn() { move(1, 0, 0); }
void GLScroll::adjustDown() { move(1, 1, 0); }
void GLScroll::adjustEnd() { move(0, 1, 0); }
void GLScroll::adjustLeft() { move(-1, 1, 0); }
void GLScroll::adjustAltUp() { move(0, 0, 1); }
void GLScroll::adjustAltDown() { move(0, 0, -1); }

void GLScroll::setAltitude()
{
    bool ok = false;
    const int alt = Dialogs::getInt(this, tr("Set altitude"),
                                    tr("Altitude value "), 0, Altitude::Min, Altitude::Max, 1, &ok);
    if (ok)
        m_view->setHueOrAltitude(alt, 0, true);
}

void GLScroll::setHue()
{
    // Only the hues the hue file has (0 is no hue), previewed on the selection.
    const QList<TileRecord> tiles = m_view->selection().selectedTiles(*model(), m_view->editedKind());
    HueTable *hues = m_view->textures() ? m_view->textures()->hueTable() : nullptr;
    const std::optional<int> hue = HuePicker::ask(this, hues, m_view->artReader(), m_view->tileData(),
                                                  tiles, tiles.isEmpty() ? 0 : tiles.first().hue);
    if (hue)
        m_view->setHueOrAltitude(0, *hue, false);
}

void GLScroll::insertItem()
{
    m_view->insertItem();
}

void GLScroll::startPaint(const QString &key)
{
    m_view->startPaint(key);
}

void GLScroll::stopPaint()
{
    m_view->stopPaint();
}

void GLScroll::viewInvisible(bool on)
{
    m_view->viewInvisible(on);
}

void GLScroll::setPlacingAlt(int alt)
{
    m_view->setPlacingAlt(alt);
}

void GLScroll::setMyVisible(bool visible)
{
    m_view->setMyVisible(visible);
}

void GLScroll::selectAll()
{
    m_view->selectAll();
}

// Yes to the close question: true only when the document was written.
bool GLScroll::saveChanges()
{
    if (!fileName().isEmpty())
        return saveToFile(fileName());
    bool saved = false;
    emit saveAsRequested(this, &saved);
    return saved;
}

void GLScroll::closeEvent(QCloseEvent *e)
{
    if (!m_doc->isModified() || m_discard) {
        e->accept();
        return;
    }
    const QMessageBox::StandardButton answer = Dialogs::question(
        this, tr("Save changes"),
        tr("Edits made to ") + title() + tr(", save changes?"),
        QMessageBox::Cancel | QMessageBox::No | QMessageBox::Yes, QMessageBox::Yes);
    // Nothing of the user's is dropped: a cancelled or failed save keeps the window.
    if (answer == QMessageBox::No || (answer == QMessageBox::Yes && saveChanges()))
        e->accept();
    else
        e->ignore();
}

void GLScroll::focusInEvent(QFocusEvent *e)
{
    m_view->query();
    QWidget::focusInEvent(e);
}

void GLScroll::keyPressEvent(QKeyEvent *e)
{
    if (!m_view->toolKey(e))
        QWidget::keyPressEvent(e);
}
