// The shared actions and the current document: every action is connected
// once and reaches the current document only; the current document's view
// drives the shared controls.
#include "app/MainWindow.h"

#include "app/GLScroll.h"
#include "model/Facet.h"
#include "panels/Clip.h"
#include "panels/Palette.h"
#include "panels/TileInspector.h"
#include "view/GLWidget.h"

#include <QAction>
#include <QSignalMapper>

#include <utility>

void MainWindow::route(QAction *action, void (GLScroll::*command)())
{
    connect(action, &QAction::triggered, this, [this, command] {
        if (GLScroll *d = activeDocument())
            (d->*command)();
    });
}

void MainWindow::routeToggle(QAction *action, void (GLScroll::*command)(bool))
{
    connect(action, &QAction::toggled, this, [this, command](bool on) {
        if (GLScroll *d = activeDocument())
            (d->*command)(on);
    });
}

void MainWindow::connectActions()
{
    const std::pair<QAction *, void (GLScroll::*)()> commands[] = {
        {m_undo, &GLScroll::undo},         {m_redo, &GLScroll::redo},
        {m_cut, &GLScroll::cut},           {m_copy, &GLScroll::copy},
        {m_paste, &GLScroll::paste},       {m_delete, &GLScroll::del},
        {m_home, &GLScroll::adjustHome},   {m_up, &GLScroll::adjustUp},
        {m_pgUp, &GLScroll::adjustPgUp},   {m_right, &GLScroll::adjustRight},
        {m_pgDn, &GLScroll::adjustPgDn},   {m_down, &GLScroll::adjustDown},
        {m_end, &GLScroll::adjustEnd},     {m_left, &GLScroll::adjustLeft},
        {m_altUp, &GLScroll::adjustAltUp}, {m_altDown, &GLScroll::adjustAltDown},
        {m_hue, &GLScroll::setHue},        {m_altitude, &GLScroll::setAltitude},
        {m_item, &GLScroll::insertItem},   {m_capture, &GLScroll::capture},
        {m_cancel, &GLScroll::cancel},     {m_selectAll, &GLScroll::selectAll},
        {m_fitMulti, &GLScroll::fitMulti}, {m_goto, &GLScroll::gotoPoint},
    };
    for (const auto &[action, command] : commands)
        route(action, command);
    const std::pair<QAction *, void (GLScroll::*)(bool)> toggles[] = {
        {m_grid, &GLScroll::setGrid},  {m_invisible, &GLScroll::viewInvisible},
        {m_flat, &GLScroll::setFlat},  {m_showArt, &GLScroll::setArt},
        {m_showTerrain, &GLScroll::setTerrain},
    };
    for (const auto &[action, command] : toggles)
        routeToggle(action, command);
    connect(m_scaleMapper, &QSignalMapper::mappedInt, this, [this](int n) {
        if (GLScroll *d = activeDocument())
            d->setScale(n);
    });
    // Leaving the palette's paint mode concerns every document.
    connect(m_palette, &Palette::stopPainting, this, [this] {
        for (GLScroll *d : documents())
            d->stopPaint();
    });
}

// A drop into another document must not change what the shared controls show.
void MainWindow::followDocument(GLScroll *d)
{
    if (d == m_followed)
        return;
    for (const QMetaObject::Connection &c : std::as_const(m_followConnections))
        disconnect(c);
    m_followConnections.clear();
    m_followed = d;
    m_inspector->follow(d ? d->document() : nullptr);
    if (!d)
        return;
    const GLWidget *v = d->view();
    m_followConnections = {
        connect(v, &GLWidget::sigUndo, m_undo, &QAction::setEnabled),
        connect(v, &GLWidget::sigRedo, m_redo, &QAction::setEnabled),
        connect(v, &GLWidget::myGrid, m_grid, &QAction::setChecked),
        connect(v, &GLWidget::myInvisible, m_invisible, &QAction::setChecked),
        connect(v, &GLWidget::flatMode, m_flat, &QAction::setChecked),
        connect(v, &GLWidget::artMode, m_showArt, &QAction::setChecked),
        connect(v, &GLWidget::terrainMode, m_showTerrain, &QAction::setChecked),
        connect(v, &GLWidget::myPlace, this, &MainWindow::statusPlacing),
        connect(v, &GLWidget::myScale, this, &MainWindow::setScale),
        connect(v, &GLWidget::zoomChanged, this, &MainWindow::showZoom),
        // The clip panel shows the range of the document in front; each keeps its own.
        connect(v, &GLWidget::higherAlt, m_clip, &Clip::glHigher),
        connect(v, &GLWidget::lowerAlt, m_clip, &Clip::glLower),
        connect(v, &GLWidget::clipEnable, m_clip, &Clip::glEnable),
        connect(v, &GLWidget::toolChanged, this, &MainWindow::showTool),
        connect(v, &GLWidget::toolStatus, this, &MainWindow::showToolStatus),
        // The inspector hears of every hover, report and paint of the view in front.
        connect(v, qOverload<int, int>(&GLWidget::mapLocation), m_inspector, &TileInspector::hovered),
        connect(v, &GLWidget::toolStatus, m_inspector, &TileInspector::sync),
        connect(v, &QOpenGLWidget::frameSwapped, m_inspector, &TileInspector::sync),
        connect(m_inspector, &TileInspector::changedDocument, d->view(), [view = d->view()] {
            view->update();
            view->reportToolState();
        }),
    };
}

void MainWindow::watchDocument(GLScroll *d)
{
    GLWidget *v = d->view();
    // The status bar shows the last location any view reported.
    connect(v, qOverload<int, int>(&GLWidget::mapLocation), this, &MainWindow::mapLocation);
    connect(d, &QWidget::windowTitleChanged, this, &MainWindow::updateTitle);
    connect(d->model(), &Facet::modifiedChanged, this, &MainWindow::updateTitle);
    // The Save As of the close question is this window's, for that document.
    connect(d, &GLScroll::saveAsRequested, this,
            [this](GLScroll *doc, bool *saved) { *saved = saveDocumentAs(doc); });
    // A picked tile is a brush like one chosen in the palette.
    connect(v, &GLWidget::brushChosen, m_palette, &Palette::addRecent);
    v->setDimBelow(m_dimLower->isChecked());
    v->setWallSet(m_wallSet);
}
