// The main window's side of the builder's tools: the "Tools" tool bar and
// menu (both built from ToolRegistry), the storey commands and the tool's status line.
#include "app/MainWindow.h"

#include "app/GLScroll.h"
#include "panels/Clip.h"
#include "panels/Palette.h"
#include "ui/Dialogs.h"
#include "view/GLWidget.h"
#include "view/tools/ToolRegistry.h"

#include <QAction>
#include <QActionGroup>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QStatusBar>
#include <QToolBar>

namespace {
const QString storeyHeightKey = QStringLiteral("StoreyHeight");
const QString dimLowerKey = QStringLiteral("DimLowerStoreys");
constexpr int DefaultStoreyHeight = 20;
constexpr int MaxStoreyHeight = 127;

QSettings toolSettings()
{
    return QSettings(QStringLiteral("Brightmoor"), QStringLiteral("MultiEditorWindow"));
}

} // namespace

void MainWindow::createToolBar()
{
    m_toolBar = addToolBar(tr("Tools"));
    m_toolBar->setObjectName(QStringLiteral("Tools"));
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_toolGroup = new QActionGroup(this);
    m_toolGroup->setExclusive(true);
    QMenu *menu = new QMenu(tr("&Tools"), this);
    menuBar()->insertMenu(m_windowMenu->menuAction(), menu);
    const QList<ToolEntry> &tools = ToolRegistry::tools();
    for (qsizetype i = 0; i < tools.size(); ++i) {
        const ToolInfo &info = tools[i].info;
        if (!info.chosen)
            continue;
        const QString key = QKeySequence(info.key).toString();
        auto *a = new QAction(QIcon::fromTheme(info.icon), info.name, this);
        // The key works in the document (GLScroll) and in the open menu only:
        // shown in the menu, never taken from a panel's text field.
        a->setShortcut(QKeySequence(info.key));
        a->setShortcutContext(Qt::WidgetShortcut);
        a->setCheckable(true);
        a->setData(int(i));
        a->setToolTip(tr("%1 (%2)").arg(info.name, key));
        m_toolGroup->addAction(a);
        m_toolBar->addAction(a);
        menu->addAction(a);
        connect(a, &QAction::triggered, this, [this, tool = ToolKind(i)] {
            if (GLScroll *d = activeDocument()) {
                d->view()->setTool(tool);
                d->setFocus();
            }
        });
    }
    m_toolGroup->actions().first()->setChecked(true);
    m_toolBar->addSeparator();
    m_toolBar->addAction(m_storeyDown);
    m_toolBar->addAction(m_storeyUp);
    m_toolStatus = new QLabel(statusBar());
    // Long hints are cut rather than holding the window wide.
    m_toolStatus->setMinimumWidth(1);
    statusBar()->addPermanentWidget(m_toolStatus);
    // With no document left there is no tool to describe.
    connect(m_workspace, &QMdiArea::subWindowActivated, this, [this] {
        if (!activeDocument()) {
            m_toolStatus->clear();
            m_toolStatus->setToolTip(QString());
        }
    });
    // The palette group in use gives the walls of every document's hollow rectangle.
    connect(m_palette, &Palette::wallSetChosen, this, [this](const std::optional<WallSet> &walls) {
        m_wallSet = walls;
        for (GLScroll *d : documents())
            d->view()->setWallSet(walls);
    });
}

// Ctrl with Page Up/Down: the plain keys move the selection diagonally.
void MainWindow::createStoreyEntries(QMenu *view, QMenu *options)
{
    if (view) {
        m_storeyUp = makeAction(view, tr("Storey Up"), QKeySequence(Qt::CTRL | Qt::Key_PageUp));
        m_storeyDown = makeAction(view, tr("Storey Down"), QKeySequence(Qt::CTRL | Qt::Key_PageDown));
        m_dimLower = makeAction(view, tr("Dim Lower Storeys"));
        m_dimLower->setCheckable(true);
        m_dimLower->setChecked(toolSettings().value(dimLowerKey, false).toBool());
        connect(m_storeyUp, &QAction::triggered, this, &MainWindow::storeyUp);
        connect(m_storeyDown, &QAction::triggered, this, &MainWindow::storeyDown);
        connect(m_dimLower, &QAction::toggled, this, &MainWindow::setDimLowerStoreys);
    }
    if (options) {
        m_storeyHeight = makeAction(options, tr("Storey Height"));
        connect(m_storeyHeight, &QAction::triggered, this, &MainWindow::setStoreyHeight);
    }
}

void MainWindow::showTool(int tool)
{
    for (QAction *a : m_toolGroup->actions())
        if (a->data().toInt() == tool)
            a->setChecked(true);
    // Paste placement has no button: none is checked meanwhile.
    if (tool == int(ToolKind::Paste) && m_toolGroup->checkedAction())
        m_toolGroup->checkedAction()->setChecked(false);
}

void MainWindow::showToolStatus(const QString &text)
{
    m_toolStatus->setText(text);
    m_toolStatus->setToolTip(text);
}

int MainWindow::storeyHeight() const
{
    const int h = toolSettings().value(storeyHeightKey, DefaultStoreyHeight).toInt();
    return (h >= 1 && h <= MaxStoreyHeight) ? h : DefaultStoreyHeight;
}

void MainWindow::setStoreyHeight()
{
    bool ok = false;
    const int h = Dialogs::getInt(this, tr("Storey Height"), tr("Altitude units per storey"),
                                  storeyHeight(), 1, MaxStoreyHeight, 1, &ok);
    if (ok)
        toolSettings().setValue(storeyHeightKey, h);
}

void MainWindow::storeyUp() { storeyStep(1); }
void MainWindow::storeyDown() { storeyStep(-1); }

// The clip panel shows what the view now clips.
void MainWindow::storeyStep(int storeys)
{
    GLScroll *d = activeDocument();
    if (!d)
        return;
    GLWidget *v = d->view();
    v->moveStorey(storeys, storeyHeight());
    m_clip->glHigher(v->maxAlt());
    m_clip->glLower(v->minAlt());
    m_clip->glEnable(v->clipEnabled());
}

void MainWindow::setDimLowerStoreys(bool on)
{
    toolSettings().setValue(dimLowerKey, on);
    for (GLScroll *d : documents())
        d->view()->setDimBelow(on);
}
