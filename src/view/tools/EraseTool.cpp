#include "view/tools/EraseTool.h"

#include "model/Facet.h"
#include "scene/Selection.h"
#include "view/TileEditor.h"
#include "view/tools/ToolView.h"

#include <QApplication>

void EraseTool::move(const ToolEvent &e)
{
    if (!(e.buttons & Qt::LeftButton))
        return;
    if (!m_ed.bandShown()) {
        if (!m_ed.pressed()
            || (e.point - m_ed.pressPoint()).manhattanLength() < QApplication::startDragDistance())
            return;
        m_ed.setPressed(false);
        m_ed.showBand();
    }
    m_ed.setBand(m_ed.pressPoint(), e.point);
    m_ed.repaint();
}

void EraseTool::release(const ToolEvent &)
{
    const int list = m_ed.editedPickList();
    if (m_ed.bandShown()) {
        m_ed.hideBand();
        erase(m_ed.view().tilesInPixels(m_ed.bandPixels(), list));
    } else if (m_ed.pressed()) {
        m_ed.setPressed(false);
        const DrawnQuad hit = m_ed.view().tileAt(m_ed.pressPoint(), list);
        if (hit.isTile())
            erase({hit});
    }
    m_ed.repaint();
}

// What was drawn is within the clip range already; the test stays for tiles
// drawn before the range last changed.
void EraseTool::erase(const QList<DrawnQuad> &hits)
{
    ToolView &view = m_ed.view();
    const Facet *model = view.model();
    QList<TileRecord> removed;
    for (const DrawnQuad &q : hits) {
        if (view.clipEnabled() && (q.z < view.minAlt() || q.z > view.maxAlt()))
            continue;
        const Facet::TileSet *set = model->tilesAtPtr(q.x, q.y);
        if (!set)
            continue;
        for (const TileRecord &t : *set) {
            if (q.identity().matches(t)) {
                removed.append(t);
                break;
            }
        }
    }
    if (!m_ed.applyShape(removed, {}, {}))
        return;
    for (const TileRecord &t : removed)
        view.selection().remove(TileIdentity::of(t));
}

bool EraseTool::cancel()
{
    if (!m_ed.bandShown())
        return false;
    m_ed.hideBand();
    m_ed.setPressed(false);
    return true;
}

QString EraseTool::hint() const
{
    return TileEditor::tr("Erase: drag a band over the tiles to delete, or click one; "
                          "only tiles within the clip range go");
}
