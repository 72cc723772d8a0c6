#include "view/tools/SelectTool.h"

#include "scene/Document.h"
#include "scene/Selection.h"
#include "view/TileEditor.h"

#include <QApplication>

void SelectTool::move(const ToolEvent &e)
{
    if (!(e.buttons & Qt::LeftButton))
        return;
    std::optional<QRect> &band = m_ed.band();
    ToolPress &press = m_ed.press();
    if (band) {
        band = bandBetween(press.point, e.point);
        m_ed.changed();
        return;
    }
    // A band or a drag starts only from a press of this gesture: a stale press
    // point (after a drag ended with the button still down) must not start another.
    if (!press.pending || (e.point - press.point).manhattanLength() < QApplication::startDragDistance())
        return;
    press.pending = false;
    const DrawnQuad hit = m_ed.tileAt(press.point);
    if (hit.isTile() && m_ed.document().selection().query(hit.identity())) {
        m_ed.handOff(ToolHandOff::dragSelection(QPoint(hit.x, hit.y)));
        return;
    }
    band = bandBetween(press.point, e.point);
    m_ed.changed();
}

void SelectTool::release(const ToolEvent &e)
{
    ToolPress &press = m_ed.press();
    if (!press.pending) {
        if (m_ed.band())
            finishBand(e.modifiers);
        return;
    }
    press.pending = false;
    clickSelect();
}

void SelectTool::finishBand(Qt::KeyboardModifiers modifiers)
{
    const QRect pixels = *m_ed.band();
    m_ed.band().reset();
    const QList<DrawnQuad> hits = m_ed.tilesIn(pixels);
    const bool exclusive = !modifiers.testFlag(Qt::ControlModifier);
    Selection &sel = m_ed.document().selection();
    if (!hits.isEmpty() && exclusive)
        sel.clear(hits.first().kind == Art ? Selection::ClearArt : Selection::ClearTerrain);
    for (const DrawnQuad &q : hits)
        sel.add(q.identity(), false);
    m_ed.changed();
}

void SelectTool::clickSelect()
{
    const ToolPress &press = m_ed.press();
    const DrawnQuad hit = m_ed.tileAt(press.point);
    Selection &sel = m_ed.document().selection();
    if (!hit.isTile()) {
        sel.clear(m_ed.material().kind == Art ? Selection::ClearArt : Selection::ClearTerrain);
    } else {
        const bool exclusive = !press.modifiers.testFlag(Qt::ControlModifier);
        if (sel.add(hit.identity(), exclusive))
            sel.remove(hit.identity());
    }
    m_ed.changed();
}

QString SelectTool::hint() const
{
    return TileEditor::tr("Select: click a tile, Ctrl-click to add or remove, drag a band; "
                          "drag a selected tile to move it");
}

ToolInfo SelectTool::info()
{
    return {TileEditor::tr("Select"), Qt::Key_S, QStringLiteral("edit-select"), true};
}
