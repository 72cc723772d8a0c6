#include "view/tools/SelectTool.h"

#include "scene/Selection.h"
#include "view/TileEditor.h"
#include "view/tools/ToolView.h"

#include <QApplication>

void SelectTool::move(const ToolEvent &e)
{
    if (!(e.buttons & Qt::LeftButton))
        return;
    if (m_ed.bandShown()) {
        m_ed.setBand(m_ed.pressPoint(), e.point);
        m_ed.repaint();
        return;
    }
    // A band or a drag starts only from a press of this gesture: a stale press
    // point (after a drag ended with the button still down) must not start another.
    if (!m_ed.pressed()
        || (e.point - m_ed.pressPoint()).manhattanLength() < QApplication::startDragDistance())
        return;
    m_ed.setPressed(false);
    const DrawnQuad hit = m_ed.view().tileAt(m_ed.pressPoint(), m_ed.editedPickList());
    if (hit.isTile() && m_ed.view().selection().query(hit.identity())) {
        m_ed.startDrag(QPoint(hit.x, hit.y));
        return;
    }
    m_ed.showBand();
    m_ed.setBand(m_ed.pressPoint(), e.point);
    m_ed.repaint();
}

void SelectTool::release(const ToolEvent &e)
{
    if (!m_ed.pressed()) {
        if (m_ed.bandShown())
            finishBand(e.modifiers);
        return;
    }
    m_ed.setPressed(false);
    clickSelect();
}

void SelectTool::finishBand(Qt::KeyboardModifiers modifiers)
{
    m_ed.hideBand();
    const QList<DrawnQuad> hits = m_ed.view().tilesInPixels(m_ed.bandPixels(), m_ed.editedPickList());
    const bool exclusive = !modifiers.testFlag(Qt::ControlModifier);
    Selection &sel = m_ed.view().selection();
    if (!hits.isEmpty() && exclusive)
        sel.clear(hits.first().kind == Art ? Selection::ClearArt : Selection::ClearTerrain);
    for (const DrawnQuad &q : hits)
        sel.add(q.identity(), false);
    m_ed.repaint();
}

void SelectTool::clickSelect()
{
    const DrawnQuad hit = m_ed.view().tileAt(m_ed.pressPoint(), m_ed.editedPickList());
    Selection &sel = m_ed.view().selection();
    if (!hit.isTile()) {
        sel.clear(m_ed.editedClearIndex());
    } else {
        const bool exclusive = !m_ed.pressModifiers().testFlag(Qt::ControlModifier);
        if (sel.add(hit.identity(), exclusive))
            sel.remove(hit.identity());
    }
    m_ed.repaint();
}

QString SelectTool::hint() const
{
    return TileEditor::tr("Select: click a tile, Ctrl-click to add or remove, drag a band; "
                          "drag a selected tile to move it");
}
