#include "app/MainWindow.h"

#include "ui/Dialogs.h"
#include "app/AboutDialog.h"
#include "app/GLScroll.h"
#include "app/Workspace.h"
#include "app/DataFileNotice.h"
#include "app/RecoveryMgr.h"
#include "data/ArtReader.h"
#include "data/DataFiles.h"
#include "data/DataLocations.h"
#include "data/MulSetting.h"
#include "data/MultiExchange.h"
#include "model/Altitude.h"
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
#include <QDockWidget>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QSignalMapper>
#include <QStatusBar>

namespace {
// Functions rather than constants: a translation exists only once the application does.
QString mltFilters()
{
    return MainWindow::tr("mlt (*.mlt);;Component list (*.txt);;CSV (*.csv);;Addon script (*.cs);;All files (*.*)");
}
QString appTitle()
{
    return MainWindow::tr("Tilsen Multi Editor");
}
const QString geometryKey = QStringLiteral("Geometry");
const QString layoutKey = QStringLiteral("DockLayout");
// Share of the workspace a further document window takes at first.
constexpr double DocumentShare = 0.75;

QSettings windowSettings()
{
    return QSettings(QStringLiteral("Brightmoor"), QStringLiteral("MultiEditorWindow"));
}

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
    setWindowTitle(appTitle());
    m_workspace = new Workspace(this);
    setCentralWidget(m_workspace);
    m_settings = new MulSetting(this);
    loadColours();
    m_placing = new QLabel(statusBar());
    statusBar()->addPermanentWidget(m_placing);
    statusPlacing(0);
    m_zoom = new QLabel(statusBar());
    statusBar()->addPermanentWidget(m_zoom);
    loadReaders();
    m_mime = new MimeMgr(m_tileData, this);
    m_mime->setIncludeInvisible(true);
    m_recovery = new RecoveryMgr(RecoveryMgr::defaultFolder(), m_tileData, this);
    m_textures = std::make_unique<TexMgr>(m_art.get(), &m_hues);
    m_textures->setRadarColours(&m_radar);
    m_palette = new Palette(DataLocations::programDataDirectory() + QStringLiteral("/palette.xml"),
                            m_art.get(), m_tileData, true, this);
    m_clip = new Clip(this);
    connectPanels();
    createMenus();
    connectActions();
    showZoom(1.0);
    createToolBar();
    createDocks();
    resize(1100, 750);
    connect(m_workspace, &QMdiArea::subWindowActivated, this, &MainWindow::documentActivated);
    restoreWindowLayout();
}

// The first start keeps the built-in size and hidden docks.
void MainWindow::restoreWindowLayout()
{
    const QSettings settings = windowSettings();
    if (settings.contains(geometryKey))
        restoreGeometry(settings.value(geometryKey).toByteArray());
    if (settings.contains(layoutKey))
        restoreState(settings.value(layoutKey).toByteArray());
}

void MainWindow::saveWindowLayout()
{
    QSettings settings = windowSettings();
    settings.setValue(geometryKey, saveGeometry());
    settings.setValue(layoutKey, saveState());
}

// The shared controls and the title follow the current document.
void MainWindow::documentActivated()
{
    GLScroll *d = activeDocument();
    followDocument(d);
    if (d) {
        d->view()->query();
    } else {
        m_undo->setEnabled(false);
        m_redo->setEnabled(false);
    }
    updateTitle();
    m_workspace->viewport()->update();
}

void MainWindow::updateTitle()
{
    // The form a maximised sub-window gives the title itself, so that it adds nothing.
    const GLScroll *d = activeDocument();
    setWindowTitle(d ? QStringLiteral("%1 - [%2]").arg(appTitle(), d->windowTitle()) : appTitle());
    setWindowModified(d && d->isWindowModified());
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
    m_radar.load(RadarColours::storedPath());
    reportDataFiles();
}

QVector<DataFileStatus> MainWindow::dataFileStatuses() const
{
    DataPaths paths;
    paths.artIdx = m_settings->artIdx();
    paths.artMul = m_settings->artMul();
    paths.tileData = m_settings->tileDataMul();
    paths.hues = m_settings->huesMul();
    paths.multiIdx = m_settings->multiIdx();
    paths.multiMul = m_settings->multiMul();
    paths.texIdx = m_settings->texIdx();
    paths.texMaps = m_settings->texMapsMul();
    paths.artUop = m_settings->artUop();
    paths.multiUop = m_settings->multiUop();
    paths.radarCol = m_radar.status().path;
    return DataFiles::statuses(*m_art, m_tileData, m_hues, paths);
}

void MainWindow::reportDataFiles()
{
    const QString line = DataFileNotice::show(this, DataFiles::problems(dataFileStatuses()));
    if (!line.isEmpty())
        statusBar()->showMessage(line);
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
    m_windowMenu = menuBar()->addMenu(tr("&Window"));
    connect(m_windowMenu, &QMenu::aboutToShow, this, &MainWindow::popupMenuWindow);
    // Alt+A is Altitude's: the mnemonic is another letter.
    m_about = menuBar()->addAction(tr("A&bout"));
    connect(m_about, &QAction::triggered, this, &MainWindow::about);

    // Escape anywhere in the main window, from no menu.
    m_cancel = makeAction(nullptr, tr("Cancel Operation"), QKeySequence(Qt::Key_Escape));
    addAction(m_cancel);

    connect(m_open, &QAction::triggered, this, &MainWindow::slotFileOpen);
    connect(m_new, &QAction::triggered, this, &MainWindow::slotFileNew);
    connect(m_placingAlt, &QAction::triggered, this, &MainWindow::setPlacingAlt);
    connect(m_save, &QAction::triggered, this, &MainWindow::slotSave);
    connect(m_saveAs, &QAction::triggered, this, &MainWindow::slotSaveAs);
    connect(m_close, &QAction::triggered, this, &MainWindow::myClose);
    connect(m_exit, &QAction::triggered, this, &MainWindow::close);
    connect(m_insertMulti, &QAction::triggered, this, &MainWindow::importMulti);
    connect(m_insertScript, &QAction::triggered, this, &MainWindow::importScript);
    connect(m_insertMlt, &QAction::triggered, this, &MainWindow::importMLT);
    connect(m_visible, &QAction::triggered, this, &MainWindow::setMyVisible);
    connect(m_export, &QAction::triggered, this, &MainWindow::exportMulti);
}

void MainWindow::createFileMenu()
{
    QMenu *file = menuBar()->addMenu(QStringLiteral("&File"));
    m_new = makeAction(file, tr("New"), QKeySequence(QStringLiteral("Ctrl+N")),
                       QStringLiteral(":/images/filenew"));
    m_open = makeAction(file, tr("Open"), QKeySequence(QStringLiteral("Ctrl+O")),
                        QStringLiteral(":/images/fileopen"));
    m_recentMenu = file->addMenu(tr("Open Recent"));
    connect(m_recentMenu, &QMenu::aboutToShow, this, &MainWindow::fillRecentMenu);
    fillRecentMenu();
    m_close = makeAction(file, tr("Close"), QKeySequence(QStringLiteral("Ctrl+W")));
    file->addSeparator();
    m_save = makeAction(file, tr("&Save"), QKeySequence(QStringLiteral("Ctrl+S")),
                        QStringLiteral(":/images/filesave"));
    m_saveAs = makeAction(file, tr("Save as"), QKeySequence(QStringLiteral("Ctrl+Shift+S")));
    file->addSeparator();
    QMenu *exportMenu = file->addMenu(tr("Export"));
    m_export = makeAction(exportMenu, tr("Multi.mul Entry"));
    connect(makeAction(exportMenu, tr("Image…")), &QAction::triggered, this,
            &MainWindow::exportImage);
    file->addSeparator();
    m_capture = makeAction(file, tr("Capture"), QKeySequence(QStringLiteral("Alt+C")),
                           QStringLiteral(":/images/capture.png"));
    file->addSeparator();
    m_exit = makeAction(file, tr("E&xit"), QKeySequence(QStringLiteral("Alt+F4")));
}

void MainWindow::createEditMenu()
{
    QMenu *edit = menuBar()->addMenu(tr("&Edit"));
    m_selectAll = makeAction(edit, tr("Select all"), QKeySequence(QStringLiteral("Ctrl+A")));
    edit->addSeparator();
    m_undo = makeAction(edit, tr("Undo"), QKeySequence(QStringLiteral("Ctrl+Z")),
                        QStringLiteral(":/images/undo"));
    m_redo = makeAction(edit, tr("Redo"), QKeySequence(QStringLiteral("Ctrl+Y")),
                        QStringLiteral(":/images/redo"));
    m_redo->setShortcuts({QKeySequence(QStringLiteral("Ctrl+Y")), QKeySequence(QStringLiteral("Ctrl+Shift+Z"))});
    m_undo->setEnabled(false);
    m_redo->setEnabled(false);
    edit->addSeparator();
    m_cut = makeAction(edit, tr("Cut"), QKeySequence(QStringLiteral("Ctrl+X")),
                       QStringLiteral(":/images/editcut"));
    m_copy = makeAction(edit, tr("Copy"), QKeySequence(QStringLiteral("Ctrl+C")),
                        QStringLiteral(":/images/editcopy"));
    m_paste = makeAction(edit, tr("Paste"), QKeySequence(QStringLiteral("Ctrl+V")),
                         QStringLiteral(":/images/editpaste"));
    edit->addSeparator();
    m_delete = makeAction(edit, tr("Delete"), QKeySequence(Qt::Key_Delete));
    createInsertAndAdjust(edit);
    edit->addSeparator();
    m_altitude = makeAction(edit, tr("Altitude"), QKeySequence(QStringLiteral("Alt+A")));
    m_hue = makeAction(edit, tr("Hue"), QKeySequence(QStringLiteral("Alt+H")));
    m_visible = makeAction(edit, tr("Visible"), QKeySequence(QStringLiteral("Alt+V")));
}

void MainWindow::createInsertAndAdjust(QMenu *edit)
{
    QMenu *insert = edit->addMenu(tr("Insert"));
    m_item = makeAction(insert, tr("Item"), QKeySequence(Qt::Key_Insert));
    m_insertMlt = makeAction(insert, tr("MLT File"));
    m_insertMulti = makeAction(insert, tr("Multi Entry"));
    m_insertScript = makeAction(insert, tr("From Script"));
    edit->addSeparator();
    QMenu *adjust = edit->addMenu(tr("Adjust"));
    m_left = makeAction(adjust, tr("Left"), QKeySequence(Qt::Key_Left));
    m_right = makeAction(adjust, tr("Right"), QKeySequence(Qt::Key_Right));
    m_up = makeAction(adjust, tr("Up"), QKeySequence(Qt::Key_Up));
    m_down = makeAction(adjust, tr("Down"), QKeySequence(Qt::Key_Down));
    m_home = makeAction(adjust, tr("DiagLeftUp"), QKeySequence(Qt::Key_Home));
    m_pgUp = makeAction(adjust, tr("DiagRightUp"), QKeySequence(Qt::Key_PageUp));
    m_end = makeAction(adjust, tr("DiagLeftDown"), QKeySequence(Qt::Key_End));
    m_pgDn = makeAction(adjust, tr("DiagRightDown"), QKeySequence(Qt::Key_PageDown));
    m_altUp = makeAction(adjust, tr("Altitude Up"), QKeySequence(QStringLiteral("+")));
    m_altDown = makeAction(adjust, tr("Altitude Down"), QKeySequence(QStringLiteral("-")));
}

void MainWindow::createViewMenu()
{
    // Alt+V is Visible's: the mnemonic is another letter.
    QMenu *view = menuBar()->addMenu(tr("V&iew"));
    m_invisible = makeAction(view, tr("Invisible"));
    m_invisible->setCheckable(true);
    m_invisible->setChecked(true);
    view->addSeparator();
    m_grid = makeAction(view, tr("Grid"));
    m_grid->setCheckable(true);
    view->addSeparator();
    m_fitMulti = makeAction(view, tr("Fit Multi"));
    connect(makeAction(view, tr("World Map")), &QAction::triggered, this, &MainWindow::showWorldMap);
    view->addSeparator();
    createDisplayToggles(view);
    view->addSeparator();

    m_clipDock = new QDockWidget(tr("Clipper"), this);
    m_paletteDock = new QDockWidget(tr("Palette"), this);
    createStoreyEntries(view, nullptr);
    view->addSeparator();
    view->addAction(m_clipDock->toggleViewAction());
    view->addAction(m_paletteDock->toggleViewAction());
}

void MainWindow::createDisplayToggles(QMenu *view)
{
    m_flat = makeAction(view, tr("Flat mode"));
    m_showArt = makeAction(view, tr("Show art"));
    m_showTerrain = makeAction(view, tr("Show terrain"));
    for (QAction *a : {m_flat, m_showArt, m_showTerrain})
        a->setCheckable(true);
    m_showArt->setChecked(true);
    m_showTerrain->setChecked(true);
}

void MainWindow::createOptionsMenu()
{
    QMenu *options = menuBar()->addMenu(tr("&Options"));
    m_goto = makeAction(options, tr("Goto"), QKeySequence(QStringLiteral("Ctrl+G")));
    options->addSeparator();
    m_placingAlt = makeAction(options, tr("Placing Altitude"), QKeySequence(Qt::Key_G));
    options->addSeparator();
    QMenu *scale = options->addMenu(tr("Scale"));
    m_scaleGroup = new QActionGroup(this);
    // One entry at most: a free zoom between them checks none.
    m_scaleGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    const struct { QAction **action; const char *text; int number; double scale; } entries[] = {
        {&m_scale10, "1.0", 1, 1.0}, {&m_scale34, "3/4", 2, 0.75}, {&m_scale12, "1/2", 4, 0.5}};
    for (const auto &e : entries) {
        QAction *a = makeAction(scale, QString::fromLatin1(e.text));
        a->setCheckable(true);
        a->setData(e.scale);
        m_scaleGroup->addAction(a);
        m_scaleMapper->setMapping(a, e.number);
        connect(a, &QAction::triggered, m_scaleMapper, qOverload<>(&QSignalMapper::map));
        *e.action = a;
    }
    m_scale10->setChecked(true);
    // Back to full size from any zoom.
    m_scale10->setShortcut(QKeySequence(QStringLiteral("Ctrl+0")));
    options->addSeparator();
    m_gridColour = makeAction(options, tr("Grid Line Color"));
    connect(m_gridColour, &QAction::triggered, this, &MainWindow::selectColor);
    options->addSeparator();
    createStoreyEntries(nullptr, options);
    options->addSeparator();
    m_mulLocations = makeAction(options, tr("Mul Locations"));
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
    connect(m_palette, &Palette::keyboardHandedBack, this, [this] {
        if (GLScroll *d = activeDocument())
            d->setFocus();
    });
    connect(m_clip, &Clip::enableChanged, this, &MainWindow::setClip);
    connect(m_clip, &Clip::maxChanged, this, &MainWindow::setMaxClip);
    connect(m_clip, &Clip::minChanged, this, &MainWindow::setMinClip);
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
    watchDocument(d);
    m_recovery->watch(d);
    const bool only = m_workspace->subWindowList().isEmpty();
    d->setTitle(uniqueTitle(d->title()));
    connect(d, &GLScroll::saved, this, [this, d] { rememberFile(d->fileName()); });
    QMdiSubWindow *sub = m_workspace->addSubWindow(d);
    // Leaving the maximised state puts back a title of Qt's own: set ours again.
    connect(sub, &QMdiSubWindow::windowStateChanged, this, &MainWindow::updateTitle, Qt::QueuedConnection);
    // File > Close has the standard close key; the sub-window's own menu
    // having it too would make the key ambiguous, and then it does nothing.
    if (QMenu *menu = sub->systemMenu())
        for (QAction *a : menu->actions())
            if (a->shortcuts().contains(m_close->shortcut()))
                a->setShortcuts({});
    // A usable window: the whole workspace when it is the only one.
    if (only) {
        sub->showMaximized();
    } else {
        sub->resize((QSizeF(m_workspace->viewport()->size()) * DocumentShare).toSize());
        sub->show();
    }
    // The first GL view makes the window system recreate the top level, which
    // drops its activation; take it back so keyboard commands keep working.
    if (wasActive && !isActiveWindow())
        activateWindow();
    d->setFocus();
    return d;
}

void MainWindow::offerRecovery()
{
    m_recovery->offer(this, [this](const QString &fileName, const TileMap &tiles) {
        return addDocument(fileName, tiles);
    });
}

void MainWindow::about()
{
    AboutDialog dialog(DataLocations::programDataDirectory(), dataFileStatuses(), this);
    Dialogs::exec(&dialog);
}

void MainWindow::setMulDir()
{
    if (Dialogs::exec(m_settings) != QDialog::Accepted)
        return;
    loadReaders();
    // Textures made from the old art would keep showing.
    m_textures->reload();
    m_palette->reload();
    for (GLScroll *doc : documents())
        doc->view()->sceneChanged();
}

void MainWindow::mapLocation(int x, int y)
{
    statusBar()->showMessage(tr("Location: %1,%2").arg(x).arg(y));
}

void MainWindow::slotFileNew()
{
    addDocument(QString(), TileMap());
}

void MainWindow::slotFileOpen()
{
    const QString name = Dialogs::getOpenFileName(this, tr("Open File"), documentFolder(), mltFilters());
    if (!name.isEmpty())
        openFile(name);
}

// What could not be read would be dropped by the next save: say so.
void MainWindow::warnIfDamaged(const QString &name, const MltReadResult &result)
{
    if (!result.damaged)
        return;
    Dialogs::warning(this, tr("Damaged MLT file"),
                     tr("%1 is damaged: %n byte(s) at its end could not be read and were left out.",
                        nullptr, int(result.ignoredBytes))
                         .arg(name));
}

void MainWindow::warnTilesOutside(GLScroll *d)
{
    const int outside = d->model()->tilesOutside();
    if (outside == 0)
        return;
    Dialogs::warning(this, tr("Open File"),
                     tr("%1 tile(s) of %2 lie outside the editing area. They are kept and saved "
                        "where they are; Select All and Delete remove them.")
                         .arg(outside)
                         .arg(d->fileName()));
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

void MainWindow::showZoom(double scale)
{
    for (QAction *a : m_scaleGroup->actions())
        a->setChecked(a->data().toDouble() == scale);
    constexpr double Percent = 100.0;
    constexpr int Digits = 4;
    m_zoom->setText(tr("Zoom: %1%").arg(QString::number(scale * Percent, 'g', Digits)));
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
    const int alt = Dialogs::getInt(this, tr("Placing Grid Altitude"),
                                    tr("Placing grid altitude value"), 0, Altitude::Min, Altitude::Max, 1,
                                    &ok);
    if (ok)
        d->setPlacingAlt(alt);
}

void MainWindow::statusPlacing(int n)
{
    m_placing->setText(tr("Placing Alt: ") + QString::number(n));
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
    QString name = Dialogs::getSaveFileName(this, tr("Save file as"),
                                            document->fileName(), mltFilters(), &filter);
    if (name.isEmpty())
        return false;
    bool written = false;
    if (saveOtherFormat(document, name, filter, written))
        return written;
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
    if (activeDocument())
        importFromStore(m_settings->multiStore());
}

void MainWindow::importMLT()
{
    GLScroll *d = activeDocument();
    if (!d)
        return;
    const QString name = Dialogs::getOpenFileName(this, tr("Insert MLT file"),
                                                  documentFolder(),
                                                  tr("MLT (*.mlt);;All files (*.*)"));
    if (name.isEmpty())
        return;
    const MltReadResult result = MltFile::read(name, m_tileData);
    if (result.status == MltReadResult::CannotOpen)
        return;
    if (result.status == MltReadResult::TooLarge || result.status == MltReadResult::Unreadable) {
        Dialogs::warning(this, tr("Insert MLT file"), MltFile::problem(name, result));
        return;
    }
    if (result.status == MltReadResult::BadVersion) {
        Dialogs::warning(this, tr("Invalid MLT version"),
                         tr("Version %1 not supported").arg(result.version));
        return;
    }
    warnIfDamaged(name, result);
    pasteTiles(d, result.tiles);
}

void MainWindow::setMyVisible()
{
    GLScroll *d = activeDocument();
    if (!d)
        return;
    bool ok = false;
    const QString item = Dialogs::getItem(this, tr("Set visiblity"),
                                          tr("Visible:"),
                                          {tr("False"), tr("True")}, 0,
                                          false, &ok);
    if (ok)
        d->setMyVisible(item != tr("False"));
}

void MainWindow::exportMulti()
{
    GLScroll *d = activeDocument();
    if (!d)
        return;
    const QStringList store = m_settings->multiStore();
    // The target is picked by name and picture, like an import.
    const MultiExchange::TargetChooser choose = [this, store](const MultiCollection &from, int firstFree, int last) {
        return chooseTarget(from, store, firstFree, last);
    };
    if (store.size() == 1) {
        MultiExchange::exportContainer(this, store.first(), *d->model(), choose);
        return;
    }
    const QString written = MultiExchange::exportMulti(this, m_settings->multiIdx(), m_settings->multiMul(),
                                                       *d->model(), m_tileData, choose);
    if (!written.isEmpty())
        statusBar()->showMessage(written);
}
