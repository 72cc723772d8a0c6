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
#include "data/FileFormats.h"
#include "ui/MulSetting.h"
#include "app/MultiExchange.h"
#include "model/Altitude.h"
#include "model/Facet.h"
#include "model/MimeMgr.h"
#include "model/MltFile.h"
#include "panels/Clip.h"
#include "panels/Palette.h"
#include "panels/PaletteEditor.h"
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
#include <QTimer>

namespace {
// Functions rather than constants: a translation exists only once the application does.
QString mltFilters()
{
    return FileFormats::dialogFilters();
}
QString appTitle()
{
    return MainWindow::tr("Tilsen Multi Editor");
}
const QString geometryKey = QStringLiteral("Geometry");
const QString layoutKey = QStringLiteral("DockLayout");
// Share of the workspace a further document window takes at first.
constexpr double DocumentShare = 0.75;
// Long enough to read what a palette change did.
constexpr int PaletteMessageMs = 8000;

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
    const QString bundledPalette = DataLocations::programDataDirectory() + QStringLiteral("/palette.xml");
    m_palette = new Palette(bundledPalette, m_art.get(), m_tileData, true, this);
    m_paletteEditor = new PaletteEditor(m_palette, m_tileData,
                                        UserPalette(bundledPalette, UserPalette::defaultPath()), this);
    connect(m_paletteEditor, &PaletteEditor::message, statusBar(),
            [this](const QString &text) { statusBar()->showMessage(text, PaletteMessageMs); });
    if (!m_paletteEditor->problem().isEmpty()) {
        // Once the window is up, above it.
        QTimer::singleShot(0, this, [this] {
            Dialogs::warning(this, tr("Palette"), m_paletteEditor->problem());
        });
    }
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
    if (const std::optional<bool> written = saveOtherFormat(document, name, filter))
        return *written;
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
