// The main window's menus, their actions and the docks (built once, at start).
#include "app/MainWindow.h"

#include "panels/Clip.h"
#include "panels/Palette.h"
#include "panels/TileInspector.h"
#include "panels/PaletteEditor.h"

#include <QAction>
#include <QActionGroup>
#include <QDockWidget>
#include <QMenu>
#include <QMenuBar>
#include <QSignalMapper>

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
    edit->addSeparator();
    m_replaceTiles = makeAction(edit, tr("Replace Tiles…"), QKeySequence(QStringLiteral("Ctrl+H")));
    connect(m_replaceTiles, &QAction::triggered, this, &MainWindow::replaceTiles);
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
    m_tilesDock = new QDockWidget(tr("Tiles"), this);
    createStoreyEntries(view, nullptr);
    view->addSeparator();
    view->addAction(m_clipDock->toggleViewAction());
    view->addAction(m_paletteDock->toggleViewAction());
    view->addAction(m_tilesDock->toggleViewAction());
    connect(makeAction(view, tr("Reset Palette")), &QAction::triggered, m_paletteEditor,
            &PaletteEditor::resetPalette);
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
    m_inspector = new TileInspector(m_art.get(), &m_hues, m_tilesDock);
    m_tilesDock->setObjectName(QStringLiteral("tilesDock"));
    m_tilesDock->setWidget(m_inspector);
    addDockWidget(Qt::RightDockWidgetArea, m_tilesDock);
    m_tilesDock->hide();
}
