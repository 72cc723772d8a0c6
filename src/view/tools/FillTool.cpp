#include "view/tools/FillTool.h"

#include "scene/FloodFill.h"
#include "scene/ToolShapes.h"
#include "view/TileEditor.h"
#include "view/tools/ToolView.h"

void FillTool::press(const ToolEvent &e)
{
    m_active = false;
    m_refused = false;
    const QPoint seed = m_ed.view().placingLocation(e.point);
    const Facet *model = m_ed.view().model();
    if (m_ed.brush().isEmpty() || !model->inside(seed.x(), seed.y()))
        return;
    const auto region =
        FloodFill::region(*model, seed, m_ed.editedKind(), model->placingAltitude(), MaxArea);
    if (!region) {
        m_refused = true;
        return;
    }
    m_active = true;
    m_preview.anchor = seed;
    m_preview.tiles = ToolShapes::pattern(m_ed.brush(), region->cells, seed);
    m_replaced = region->replaced;
    m_ed.repaint();
}

void FillTool::move(const ToolEvent &)
{
    m_ed.repaint();
}

void FillTool::release(const ToolEvent &)
{
    m_ed.setPressed(false);
    if (m_refused) {
        m_refused = false;
        m_ed.view().reportRefusal(
            TileEditor::tr("Fill"),
            TileEditor::tr("The region to fill has more than %1 cells, so nothing was filled. "
                           "Close it with walls first, or draw a rectangle.")
                .arg(MaxArea));
        return;
    }
    if (!m_active)
        return;
    m_active = false;
    m_ed.applyShape(m_replaced, m_preview.tiles, m_preview.anchor);
    m_preview.tiles.clear();
    m_replaced.clear();
    m_ed.repaint();
}

bool FillTool::cancel()
{
    const bool had = m_active || m_refused;
    m_active = false;
    m_refused = false;
    m_preview.tiles.clear();
    m_replaced.clear();
    return had;
}

QString FillTool::hint() const
{
    return TileEditor::tr("Fill: click an empty cell, or a cell of a floor, to fill its connected "
                          "region at the placing altitude with the brush");
}
