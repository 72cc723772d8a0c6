#include "app/GLScroll.h"
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
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <cmath>

GLScroll::GLScroll(const QString &fileName, const TileMap &tiles, ArtReader *art,
                   const TileData &data, TexMgr *textures, QWidget *parent, Qt::WindowFlags flags)
    : QWidget(parent, flags)
{
    setFocusPolicy(Qt::ClickFocus);
    setMinimumSize(50, 50);
    m_model = new Facet(data, this);
    m_model->load(tiles);
    m_fileName = fileName;
    setTitle(fileName.isNull() ? tr("Untitled") : fileName);
    connect(m_model, &Facet::modifiedChanged, this, &QWidget::setWindowModified);
    const double side = 8.0 * m_model->blocksWide;
    m_range = int(std::floor(std::sqrt(side * side * 0.5)));

    m_view = new GLWidget(art, data, m_model, textures, this);
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

bool GLScroll::saveToFile(const QString &name)
{
    QString reason;
    if (!m_model->save(name, &reason)) {
        // Keep the old name: the document still lives where it was.
        Dialogs::warning(this, tr("Save Error"),
                         tr("Unable to save ") + name + QStringLiteral("\n") + reason);
        return false;
    }
    m_fileName = name;
    setTitle(name);
    emit saved();
    return true;
}

void GLScroll::setTitle(const QString &title)
{
    m_title = title;
    setWindowTitle(title + QStringLiteral("[*]"));
}

// Inside the workspace the current document takes the commands: it stays
// current while a dialog or a panel holds the keyboard focus.
bool GLScroll::isCommandTarget() const
{
    const auto *sub = qobject_cast<QMdiSubWindow *>(parentWidget());
    if (const QMdiArea *area = sub ? sub->mdiArea() : nullptr)
        return area->currentSubWindow() == sub;
    return hasFocus();
}

bool GLScroll::gotoLocation(int x, int y)
{
    // The model's own area: every multi is centred on 0,0.
    if (!m_model->inside(x, y))
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
    if (!isCommandTarget())
        return;
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
    if (isCommandTarget())
        m_view->setArt(on);
}

void GLScroll::setTerrain(bool on)
{
    if (isCommandTarget())
        m_view->setTerrain(on);
}

void GLScroll::setFlat(bool on)
{
    if (isCommandTarget())
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
    if (!isCommandTarget())
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_view->setScale(n);
    QApplication::restoreOverrideCursor();
}

void GLScroll::fitMulti()
{
    if (isCommandTarget())
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
    // The dialog starts beside the document's file.
    if (isCommandTarget())
        m_view->capture(m_fileName.isEmpty() ? QString() : QFileInfo(m_fileName).absolutePath());
}

void GLScroll::setEditArt(bool on)
{
    if (isCommandTarget())
        m_view->setEditArt(on);
}

void GLScroll::setEditTerrain(bool on)
{
    if (isCommandTarget())
        m_view->setEditTerrain(on);
}

void GLScroll::setGrid(bool on)
{
    if (isCommandTarget())
        m_view->setGrid(on);
}

// Undo and redo stay within the document being worked in.
void GLScroll::undo()
{
    if (isCommandTarget())
        m_view->undo();
}

void GLScroll::redo()
{
    if (isCommandTarget())
        m_view->redo();
}

void GLScroll::paste()
{
    if (isCommandTarget())
        m_view->paste();
}

void GLScroll::copy()
{
    if (isCommandTarget())
        m_view->copy();
}

void GLScroll::del()
{
    if (isCommandTarget())
        m_view->del();
}

void GLScroll::cut()
{
    if (isCommandTarget())
        m_view->cut();
}

void GLScroll::save()
{
    if (isCommandTarget())
        m_view->save();
}

void GLScroll::cancel()
{
    if (isCommandTarget())
        m_view->cancel();
}

void GLScroll::move(int dx, int dy, int dz)
{
    if (isCommandTarget())
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
    if (!isCommandTarget())
        return;
    bool ok = false;
    const int alt = Dialogs::getInt(this, tr("Set altitude"),
                                    tr("Altitude value "), 0, -128, 127, 1, &ok);
    if (ok)
        m_view->setHueOrAltitude(alt, 0, true);
}

void GLScroll::setHue()
{
    if (!isCommandTarget())
        return;
    // Only the hues the hue file has (0 is no hue), previewed on the selection.
    const QList<TileRecord> tiles = m_view->selection().selectedTiles(*m_model, m_view->editedKind());
    HueTable *hues = m_view->textures() ? m_view->textures()->hueTable() : nullptr;
    const std::optional<int> hue = HuePicker::ask(this, hues, m_view->artReader(), m_view->tileData(),
                                                  tiles, tiles.isEmpty() ? 0 : tiles.first().hue);
    if (hue)
        m_view->setHueOrAltitude(0, *hue, false);
}

void GLScroll::insertItem()
{
    if (isCommandTarget())
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
    if (isCommandTarget())
        m_view->viewInvisible(on);
}

void GLScroll::setPlacingAlt(int alt)
{
    m_view->setPlacingAlt(alt);
}

void GLScroll::setMyVisible(bool visible)
{
    if (isCommandTarget())
        m_view->setMyVisible(visible);
}

void GLScroll::selectAll()
{
    if (isCommandTarget())
        m_view->selectAll();
}

// Yes to the close question: true only when the document was written.
bool GLScroll::saveChanges()
{
    if (!m_fileName.isEmpty())
        return saveToFile(m_fileName);
    bool saved = false;
    emit saveAsRequested(this, &saved);
    return saved;
}

void GLScroll::closeEvent(QCloseEvent *e)
{
    if (!m_model->isModified() || m_discard) {
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
