#include "app/MainWindow.h"

#include "ui/Dialogs.h"
#include "app/GLScroll.h"
#include "data/ArtReader.h"
#include "data/DataLocations.h"
#include "data/MulSetting.h"
#include "data/MultiExchange.h"
#include "model/Facet.h"
#include "model/MimeMgr.h"
#include "model/MltFile.h"
#include "panels/Clip.h"
#include "panels/Palette.h"
#include "view/GLWidget.h"
#include "view/GridColours.h"
#include "view/TexMgr.h"

#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDockWidget>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QSettings>
#include <QSignalMapper>
#include <QStatusBar>

namespace {
const QString mltFilter = QStringLiteral("mlt (*.mlt)");
const QString mltFilters = QStringLiteral("mlt (*.mlt);;All files (*.*)");

QSettings gridSettings()
{
    return QSettings(QStringLiteral("Brightmoor"), QStringLiteral("Grids"));
}

QRgb storedColour(QSettings &settings, const QString &key, QRgb fallback)
{
    const quint32 v = settings.value(key, quint32(fallback)).toUInt();
    return qRgba(qRed(v), qGreen(v), qBlue(v), int(v >> 24));
}
} // namespace

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent)
{
    m_scaleMapper = new QSignalMapper(this);
    setWindowTitle(QStringLiteral("Tilsen Multi Editor"));
    m_workspace = new QMdiArea(this);
    setCentralWidget(m_workspace);
    m_settings = new MulSetting(this);
    loadColours();
    m_placing = new QLabel(statusBar());
    statusBar()->addPermanentWidget(m_placing);
    statusPlacing(0);
    loadReaders();
    m_mime = new MimeMgr(m_tileData, this);
    m_mime->setIncludeInvisible(true);
    m_textures = std::make_unique<TexMgr>(m_art.get(), &m_hues);
    m_palette = new Palette(QCoreApplication::applicationDirPath() + QStringLiteral("/palette.xml"),
                            m_art.get(), m_tileData, true, this);
    m_clip = new Clip(this);
    connectPanels();
    createMenus();
    createDocks();
    resize(1100, 750);
}

MainWindow::~MainWindow()
{
    // Documents borrow the readers and the texture cache: they go first.
    delete m_workspace;
    m_workspace = nullptr;
}

void MainWindow::loadColours()
{
    QSettings settings = gridSettings();
    GridColours::gridLine = storedColour(settings, QStringLiteral("GridLine"), 0xFF000000);
    GridColours::gridFill = storedColour(settings, QStringLiteral("GridFill"), 0x00FFFFFF);
    GridColours::placeLine = storedColour(settings, QStringLiteral("PlaceLine"), 0x80808080);
    GridColours::placeFill = storedColour(settings, QStringLiteral("PlaceFill"), 0x80C0C0C0);
}

void MainWindow::loadReaders()
{
    if (!m_art)
        m_art = std::make_unique<ArtReader>();
    const QString container =
        DataLocations::artContainer(m_settings->artIdx(), m_settings->artMul(), m_settings->artUop());
    if (!container.isEmpty())
        m_art->loadContainer(container, m_settings->texIdx(), m_settings->texMapsMul());
    else
        m_art->load(m_settings->artIdx(), m_settings->artMul(), m_settings->texIdx(),
                    m_settings->texMapsMul());
    m_tileData.load(m_settings->tileDataMul());
    m_hues.load(m_settings->huesMul());
}

QAction *MainWindow::makeAction(QMenu *menu, const QString &text, const QKeySequence &shortcut,
                                const QString &icon)
{
    auto *action = new QAction(text, this);
    if (!shortcut.isEmpty())
        action->setShortcut(shortcut);
    if (!icon.isEmpty())
        action->setIcon(QIcon(icon));
    if (menu)
        menu->addAction(action);
    return action;
}

void MainWindow::createMenus()
{
    createFileMenu();
    createEditMenu();
    createViewMenu();
    createOptionsMenu();
    m_windowMenu = menuBar()->addMenu(QStringLiteral("Window"));
    connect(m_windowMenu, &QMenu::aboutToShow, this, &MainWindow::popupMenuWindow);
    m_about = menuBar()->addAction(QStringLiteral("About"));
    connect(m_about, &QAction::triggered, this, &MainWindow::about);

    // Escape anywhere in the main window, from no menu.
    m_cancel = makeAction(nullptr, QStringLiteral("Cancel Operation"), QKeySequence(Qt::Key_Escape));
    addAction(m_cancel);

    connect(m_open, &QAction::triggered, this, &MainWindow::slotFileOpen);
    connect(m_new, &QAction::triggered, this, &MainWindow::slotFileNew);
    connect(m_placingAlt, &QAction::triggered, this, &MainWindow::setPlacingAlt);
    connect(m_save, &QAction::triggered, this, &MainWindow::slotSave);
    connect(m_saveAs, &QAction::triggered, this, &MainWindow::slotSaveAs);
    connect(m_close, &QAction::triggered, this, &MainWindow::myClose);
    connect(m_exit, &QAction::triggered, this, &MainWindow::close);
    connect(m_insertMulti, &QAction::triggered, this, &MainWindow::importMulti);
    connect(m_insertMlt, &QAction::triggered, this, &MainWindow::importMLT);
    connect(m_visible, &QAction::triggered, this, &MainWindow::setMyVisible);
    connect(m_export, &QAction::triggered, this, &MainWindow::exportMulti);
}

void MainWindow::createFileMenu()
{
    QMenu *file = menuBar()->addMenu(QStringLiteral("&File"));
    m_new = makeAction(file, QStringLiteral("New"), QKeySequence(QStringLiteral("Ctrl+N")),
                       QStringLiteral(":/images/filenew"));
    m_open = makeAction(file, QStringLiteral("Open"), QKeySequence(QStringLiteral("Ctrl+O")),
                        QStringLiteral(":/images/fileopen"));
    m_close = makeAction(file, QStringLiteral("Close"));
    file->addSeparator();
    m_save = makeAction(file, QStringLiteral("&Save"), QKeySequence(QStringLiteral("Ctrl+S")),
                        QStringLiteral(":/images/filesave"));
    m_saveAs = makeAction(file, QStringLiteral("Save as"));
    file->addSeparator();
    QMenu *exportMenu = file->addMenu(QStringLiteral("Export"));
    m_export = makeAction(exportMenu, QStringLiteral("Multi.mul Entry"));
    file->addSeparator();
    m_capture = makeAction(file, QStringLiteral("Capture"), QKeySequence(QStringLiteral("Alt+C")),
                           QStringLiteral(":/images/capture.png"));
    file->addSeparator();
    m_exit = makeAction(file, QStringLiteral("E&xit"), QKeySequence(QStringLiteral("Alt+F4")));
}

void MainWindow::createEditMenu()
{
    QMenu *edit = menuBar()->addMenu(QStringLiteral("Edit"));
    m_selectAll = makeAction(edit, QStringLiteral("Select all"), QKeySequence(QStringLiteral("Ctrl+A")));
    edit->addSeparator();
    m_undo = makeAction(edit, QStringLiteral("Undo"), QKeySequence(QStringLiteral("Ctrl+Z")),
                        QStringLiteral(":/images/undo"));
    m_redo = makeAction(edit, QStringLiteral("Redo"), QKeySequence(QStringLiteral("Ctrl+Y")),
                        QStringLiteral(":/images/redo"));
    m_undo->setEnabled(false);
    m_redo->setEnabled(false);
    edit->addSeparator();
    m_cut = makeAction(edit, QStringLiteral("Cut"), QKeySequence(QStringLiteral("Ctrl+X")),
                       QStringLiteral(":/images/editcut"));
    m_copy = makeAction(edit, QStringLiteral("Copy"), QKeySequence(QStringLiteral("Ctrl+C")),
                        QStringLiteral(":/images/editcopy"));
    m_paste = makeAction(edit, QStringLiteral("Paste"), QKeySequence(QStringLiteral("Ctrl+V")),
                         QStringLiteral(":/images/editpaste"));
    edit->addSeparator();
    m_delete = makeAction(edit, QStringLiteral("Delete"), QKeySequence(Qt::Key_Delete));
    createInsertAndAdjust(edit);
    edit->addSeparator();
    m_altitude = makeAction(edit, QStringLiteral("Altitude"), QKeySequence(QStringLiteral("Alt+A")));
    m_hue = makeAction(edit, QStringLiteral("Hue"), QKeySequence(QStringLiteral("Alt+H")));
    m_visible = makeAction(edit, QStringLiteral("Visible"), QKeySequence(QStringLiteral("Alt+V")));
}

void MainWindow::createInsertAndAdjust(QMenu *edit)
{
    QMenu *insert = edit->addMenu(QStringLiteral("Insert"));
    m_item = makeAction(insert, QStringLiteral("Item"), QKeySequence(Qt::Key_Insert));
    m_insertMlt = makeAction(insert, QStringLiteral("MLT File"));
    m_insertMulti = makeAction(insert, QStringLiteral("Multi Entry"));
    edit->addSeparator();
    QMenu *adjust = edit->addMenu(QStringLiteral("Adjust"));
    m_left = makeAction(adjust, QStringLiteral("Left"), QKeySequence(Qt::Key_Left));
    m_right = makeAction(adjust, QStringLiteral("Right"), QKeySequence(Qt::Key_Right));
    m_up = makeAction(adjust, QStringLiteral("Up"), QKeySequence(Qt::Key_Up));
    m_down = makeAction(adjust, QStringLiteral("Down"), QKeySequence(Qt::Key_Down));
    m_home = makeAction(adjust, QStringLiteral("DiagLeftUp"), QKeySequence(Qt::Key_Home));
    m_pgUp = makeAction(adjust, QStringLiteral("DiagRightUp"), QKeySequence(Qt::Key_PageUp));
    m_end = makeAction(adjust, QStringLiteral("DiagLeftDown"), QKeySequence(Qt::Key_End));
    m_pgDn = makeAction(adjust, QStringLiteral("DiagRightDown"), QKeySequence(Qt::Key_PageDown));
    m_altUp = makeAction(adjust, QStringLiteral("Altitude Up"), QKeySequence(QStringLiteral("+")));
    m_altDown = makeAction(adjust, QStringLiteral("Altitude Down"), QKeySequence(QStringLiteral("-")));
}

void MainWindow::createViewMenu()
{
    QMenu *view = menuBar()->addMenu(QStringLiteral("View"));
    m_invisible = makeAction(view, QStringLiteral("Invisible"));
    m_invisible->setCheckable(true);
    m_invisible->setChecked(true);
    view->addSeparator();
    m_grid = makeAction(view, QStringLiteral("Grid"));
    m_grid->setCheckable(true);
    view->addSeparator();

    m_clipDock = new QDockWidget(QStringLiteral("Clipper"), this);
    m_paletteDock = new QDockWidget(QStringLiteral("Palette"), this);
    view->addAction(m_clipDock->toggleViewAction());
    view->addAction(m_paletteDock->toggleViewAction());
}

void MainWindow::createOptionsMenu()
{
    QMenu *options = menuBar()->addMenu(QStringLiteral("Options"));
    m_goto = makeAction(options, QStringLiteral("Goto"), QKeySequence(QStringLiteral("Ctrl+G")));
    options->addSeparator();
    m_placingAlt = makeAction(options, QStringLiteral("Placing Altitude"), QKeySequence(Qt::Key_G));
    options->addSeparator();
    QMenu *scale = options->addMenu(QStringLiteral("Scale"));
    m_scaleGroup = new QActionGroup(this);
    m_scaleGroup->setExclusive(true);
    const struct { QAction **action; const char *text; int number; } entries[] = {
        {&m_scale10, "1.0", 1}, {&m_scale34, "3/4", 2}, {&m_scale12, "1/2", 4}};
    for (const auto &e : entries) {
        QAction *a = makeAction(scale, QString::fromLatin1(e.text));
        a->setCheckable(true);
        m_scaleGroup->addAction(a);
        m_scaleMapper->setMapping(a, e.number);
        connect(a, &QAction::triggered, m_scaleMapper, qOverload<>(&QSignalMapper::map));
        *e.action = a;
    }
    m_scale10->setChecked(true);
    options->addSeparator();
    m_gridColour = makeAction(options, QStringLiteral("Grid Line Color"));
    connect(m_gridColour, &QAction::triggered, this, &MainWindow::selectColor);
    options->addSeparator();
    m_mulLocations = makeAction(options, QStringLiteral("Mul Locations"));
    connect(m_mulLocations, &QAction::triggered, this, &MainWindow::setMulDir);
}

void MainWindow::createDocks()
{
    m_clipDock->setObjectName(QStringLiteral("Clipper"));
    m_clipDock->setWidget(m_clip);
    m_clipDock->setFocusPolicy(Qt::NoFocus);
    addDockWidget(Qt::RightDockWidgetArea, m_clipDock);
    m_clipDock->hide();
    m_paletteDock->setObjectName(QStringLiteral("Palette"));
    m_paletteDock->setWidget(m_palette);
    addDockWidget(Qt::TopDockWidgetArea, m_paletteDock);
    m_paletteDock->hide();
}

void MainWindow::connectPanels()
{
    connect(m_palette, &Palette::setPainting, this, &MainWindow::startPaint);
    connect(m_clip, &Clip::enableChanged, this, &MainWindow::setClip);
    connect(m_clip, &Clip::maxChanged, this, &MainWindow::setMaxClip);
    connect(m_clip, &Clip::minChanged, this, &MainWindow::setMinClip);
}

// Every document hears every shared action; it acts only while it has focus.
void MainWindow::connectDocument(GLScroll *d)
{
    GLWidget *v = d->view();
    connect(m_undo, &QAction::triggered, d, &GLScroll::undo);
    connect(m_redo, &QAction::triggered, d, &GLScroll::redo);
    connect(v, &GLWidget::sigUndo, m_undo, &QAction::setEnabled);
    connect(v, &GLWidget::sigRedo, m_redo, &QAction::setEnabled);
    connectDocumentEdits(d);
    connect(v, qOverload<int, int>(&GLWidget::mapLocation), this, &MainWindow::mapLocation);
    connect(m_grid, &QAction::toggled, d, &GLScroll::setGrid);
    connect(v, &GLWidget::myGrid, m_grid, &QAction::setChecked);
    connect(m_altUp, &QAction::triggered, d, &GLScroll::adjustAltUp);
    connect(m_altDown, &QAction::triggered, d, &GLScroll::adjustAltDown);
    connect(m_hue, &QAction::triggered, d, &GLScroll::setHue);
    connect(m_altitude, &QAction::triggered, d, &GLScroll::setAltitude);
    connect(m_item, &QAction::triggered, d, &GLScroll::insertItem);
    connectDocumentViewState(d);
    // The Save As of the close question is this window's, for that document.
    connect(d, &GLScroll::saveAsRequested, this,
            [this](GLScroll *doc, bool *saved) { *saved = saveDocumentAs(doc); });
}

void MainWindow::connectDocumentEdits(GLScroll *d)
{
    connect(m_cut, &QAction::triggered, d, &GLScroll::cut);
    connect(m_paste, &QAction::triggered, d, &GLScroll::paste);
    connect(m_copy, &QAction::triggered, d, &GLScroll::copy);
    connect(m_delete, &QAction::triggered, d, &GLScroll::del);
    connect(m_home, &QAction::triggered, d, &GLScroll::adjustHome);
    connect(m_up, &QAction::triggered, d, &GLScroll::adjustUp);
    connect(m_pgUp, &QAction::triggered, d, &GLScroll::adjustPgUp);
    connect(m_right, &QAction::triggered, d, &GLScroll::adjustRight);
    connect(m_pgDn, &QAction::triggered, d, &GLScroll::adjustPgDn);
    connect(m_down, &QAction::triggered, d, &GLScroll::adjustDown);
    connect(m_end, &QAction::triggered, d, &GLScroll::adjustEnd);
    connect(m_left, &QAction::triggered, d, &GLScroll::adjustLeft);
}

void MainWindow::connectDocumentViewState(GLScroll *d)
{
    GLWidget *v = d->view();
    connect(m_invisible, &QAction::toggled, d, &GLScroll::viewInvisible);
    connect(v, &GLWidget::myInvisible, m_invisible, &QAction::setChecked);
    connect(v, &GLWidget::myPlace, this, &MainWindow::statusPlacing);
    connect(m_capture, &QAction::triggered, d, &GLScroll::capture);
    connect(m_cancel, &QAction::triggered, d, &GLScroll::cancel);
    connect(m_palette, &Palette::stopPainting, d, &GLScroll::stopPaint);
    connect(m_selectAll, &QAction::triggered, d, &GLScroll::selectAll);
    connect(m_scaleMapper, &QSignalMapper::mappedInt, d, &GLScroll::setScale);
    connect(v, &GLWidget::myScale, this, &MainWindow::setScale);
    connect(v, &GLWidget::clipEnable, m_clip, &Clip::glEnable);
    connect(m_goto, &QAction::triggered, d, qOverload<>(&GLScroll::gotoPoint));
}

GLScroll *MainWindow::activeDocument() const
{
    QMdiSubWindow *sub = m_workspace ? m_workspace->currentSubWindow() : nullptr;
    return sub ? qobject_cast<GLScroll *>(sub->widget()) : nullptr;
}

QList<GLScroll *> MainWindow::documents() const
{
    QList<GLScroll *> list;
    for (QMdiSubWindow *sub : m_workspace->subWindowList(QMdiArea::CreationOrder))
        if (auto *d = qobject_cast<GLScroll *>(sub->widget()))
            list.append(d);
    return list;
}

GLScroll *MainWindow::addDocument(const QString &fileName, const TileMap &tiles)
{
    const bool wasActive = isActiveWindow();
    auto *d = new GLScroll(fileName, tiles, m_art.get(), m_tileData, m_textures.get());
    connectDocument(d);
    QMdiSubWindow *sub = m_workspace->addSubWindow(d);
    sub->show();
    // The first GL view makes the window system recreate the top level, which
    // drops its activation; take it back so keyboard commands keep working.
    if (wasActive && !isActiveWindow())
        activateWindow();
    d->setFocus();
    return d;
}

void MainWindow::about()
{
    Dialogs::about(this, QStringLiteral("About Tilsen Multi Editor"),
                   QStringLiteral("Build date: " __DATE__ " " __TIME__));
}

void MainWindow::popupMenuWindow()
{
    m_windowMenu->clear();
    connect(m_windowMenu->addAction(QStringLiteral("Cascade")), &QAction::triggered, m_workspace,
            &QMdiArea::cascadeSubWindows);
    connect(m_windowMenu->addAction(QStringLiteral("Tile")), &QAction::triggered, m_workspace,
            &QMdiArea::tileSubWindows);
    m_windowMenu->addSeparator();
    const QMdiSubWindow *current = m_workspace->currentSubWindow();
    for (QMdiSubWindow *sub : m_workspace->subWindowList(QMdiArea::CreationOrder)) {
        QAction *entry = m_windowMenu->addAction(sub->widget()->windowTitle());
        entry->setCheckable(true);
        entry->setChecked(sub == current);
        connect(entry, &QAction::triggered, this, &MainWindow::windowSetCheck);
    }
}

// Equal titles are told apart by nothing: the first such window wins.
void MainWindow::windowSetCheck()
{
    const auto *entry = qobject_cast<QAction *>(sender());
    if (!entry)
        return;
    for (QMdiSubWindow *sub : m_workspace->subWindowList(QMdiArea::CreationOrder)) {
        if (sub->widget()->windowTitle() == entry->text()) {
            m_workspace->setActiveSubWindow(sub);
            return;
        }
    }
}

void MainWindow::setMulDir()
{
    if (Dialogs::exec(m_settings) != QDialog::Accepted)
        return;
    loadReaders();
    // Textures made from the old art would keep showing.
    m_textures->reload();
    for (GLScroll *doc : documents())
        doc->view()->update();
}

void MainWindow::mapLocation(int x, int y)
{
    statusBar()->showMessage(QStringLiteral("Location: %1,%2").arg(x).arg(y));
}

void MainWindow::slotFileNew()
{
    addDocument(QString(), TileMap());
}

void MainWindow::slotFileOpen()
{
    const QString name = Dialogs::getOpenFileName(this, QStringLiteral("Open File"), QString(),
                                                  mltFilters);
    if (name.isEmpty())
        return;
    const MltReadResult result = MltFile::read(name, m_tileData);
    if (result.status == MltReadResult::CannotOpen) {
        Dialogs::warning(this, QStringLiteral("Open File Error"), QStringLiteral("Unable to open ") + name);
        return;
    }
    if (result.status == MltReadResult::BadVersion) {
        Dialogs::warning(this, QStringLiteral("Invalid Format"),
                         QStringLiteral("This file is mlt version %1.  Only version 0 is supported.")
                             .arg(result.version));
        return;
    }
    addDocument(name, result.tiles);
}

void MainWindow::setScale(int n)
{
    if (n == 1)
        m_scale10->setChecked(true);
    else if (n == 2)
        m_scale34->setChecked(true);
    else if (n == 4)
        m_scale12->setChecked(true);
}

void MainWindow::selectColor()
{
    const QColor chosen = Dialogs::getColor(this, QColor::fromRgba(GridColours::gridLine), QString(),
                                            QColorDialog::ShowAlphaChannel);
    if (!chosen.isValid())
        return;
    GridColours::gridLine = chosen.rgba();
    QSettings settings = gridSettings();
    settings.setValue(QStringLiteral("GridLine"), quint32(GridColours::gridLine));
}

void MainWindow::startPaint(const QString &key)
{
    if (GLScroll *d = activeDocument())
        d->startPaint(key);
}

void MainWindow::setClip(bool on)
{
    if (GLScroll *d = activeDocument())
        d->setEnable(on);
}

void MainWindow::setMaxClip(int alt)
{
    if (GLScroll *d = activeDocument())
        d->setMax(alt);
}

void MainWindow::setMinClip(int alt)
{
    if (GLScroll *d = activeDocument())
        d->setMin(alt);
}

void MainWindow::setPlacingAlt()
{
    GLScroll *d = activeDocument();
    if (!d)
        return;
    bool ok = false;
    const int alt = Dialogs::getInt(this, QStringLiteral("Placing Grid Altitude"),
                                    QStringLiteral("Placing grid altitude value"), 0, -128, 127, 1,
                                    &ok);
    if (ok)
        d->setPlacingAlt(alt);
}

void MainWindow::statusPlacing(int n)
{
    m_placing->setText(QStringLiteral("Placing Alt: ") + QString::number(n));
}

void MainWindow::slotSave()
{
    GLScroll *d = activeDocument();
    if (!d)
        return;
    if (d->fileName().isEmpty())
        saveDocumentAs(d);
    else
        d->saveToFile(d->fileName());
}

void MainWindow::slotSaveAs()
{
    if (GLScroll *d = activeDocument())
        saveDocumentAs(d);
}

bool MainWindow::saveDocumentAs(GLScroll *document)
{
    QString filter;
    QString name = Dialogs::getSaveFileName(this, QStringLiteral("Save file as"),
                                            document->fileName(), mltFilters, &filter);
    if (name.isEmpty())
        return false;
    if (filter == mltFilter && !name.endsWith(QStringLiteral(".mlt"), Qt::CaseInsensitive))
        name += QStringLiteral(".mlt");
    return document->saveToFile(name);
}

void MainWindow::myClose()
{
    if (QMdiSubWindow *sub = m_workspace->currentSubWindow())
        sub->close();
}

void MainWindow::pasteTiles(GLScroll *d, const TileMap &tiles)
{
    QApplication::clipboard()->setMimeData(m_mime->encode(Art, tiles, 0, 0, 0));
    d->paste();
}

void MainWindow::importMulti()
{
    GLScroll *d = activeDocument();
    if (!d)
        return;
    TileMap tiles;
    const QStringList store = m_settings->multiStore();
    const bool read = store.size() == 1
                          ? MultiExchange::importContainer(this, store.first(), m_tileData, tiles)
                          : MultiExchange::importMulti(this, m_settings->multiIdx(),
                                                       m_settings->multiMul(), m_tileData, tiles);
    if (read)
        pasteTiles(d, tiles);
}

void MainWindow::importMLT()
{
    GLScroll *d = activeDocument();
    if (!d)
        return;
    const QString name = Dialogs::getOpenFileName(this, QStringLiteral("Insert MLT file"),
                                                  QString(),
                                                  QStringLiteral("MLT (*.mlt);;All files (*.*)"));
    if (name.isEmpty())
        return;
    const MltReadResult result = MltFile::read(name, m_tileData);
    if (result.status == MltReadResult::CannotOpen)
        return;
    if (result.status == MltReadResult::BadVersion) {
        Dialogs::warning(this, QStringLiteral("Invalid MLT version"),
                         QStringLiteral("Version %1 not supported").arg(result.version));
        return;
    }
    pasteTiles(d, result.tiles);
}

void MainWindow::setMyVisible()
{
    GLScroll *d = activeDocument();
    if (!d)
        return;
    bool ok = false;
    const QString item = Dialogs::getItem(this, QStringLiteral("Set visiblity"),
                                          QStringLiteral("Visible:"),
                                          {QStringLiteral("False"), QStringLiteral("True")}, 0,
                                          false, &ok);
    if (ok)
        d->setMyVisible(item != QLatin1String("False"));
}

void MainWindow::exportMulti()
{
    GLScroll *d = activeDocument();
    if (!d)
        return;
    const QStringList store = m_settings->multiStore();
    if (store.size() == 1)
        MultiExchange::exportContainer(this, store.first(), *d->model());
    else
        MultiExchange::exportMulti(this, m_settings->multiIdx(), m_settings->multiMul(), *d->model());
}

// Every modified document is asked first; one Cancel keeps everything open.
void MainWindow::closeEvent(QCloseEvent *e)
{
    for (QMdiSubWindow *sub : m_workspace->subWindowList(QMdiArea::CreationOrder)) {
        if (!sub->close()) {
            e->ignore();
            return;
        }
    }
    e->accept();
}
