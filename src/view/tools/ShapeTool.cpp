#include "view/tools/ShapeTool.h"

#include "view/TileEditor.h"
#include "view/tools/ToolView.h"

void ShapeTool::press(const ToolEvent &e)
{
    const QPoint loc = m_ed.view().placingLocation(e.point);
    if (m_ed.isNoLocation(loc) || (needsBrush() && m_ed.brush().isEmpty()))
        return;
    m_active = true;
    m_preview.anchor = loc;
    m_to = loc;
    m_preview.tiles = shape(loc, loc);
    m_ed.repaint();
}

void ShapeTool::move(const ToolEvent &e)
{
    if (m_active && (e.buttons & Qt::LeftButton))
        follow(e.point);
    m_ed.repaint();
}

void ShapeTool::follow(const QPoint &widgetPoint)
{
    const QPoint loc = m_ed.view().placingLocation(widgetPoint);
    if (m_ed.isNoLocation(loc) || loc == m_to)
        return;
    m_to = loc;
    m_preview.tiles = shape(m_preview.anchor, m_to);
}

void ShapeTool::release(const ToolEvent &e)
{
    m_ed.setPressed(false);
    if (!m_active)
        return;
    follow(e.point);
    m_active = false;
    m_ed.applyShape({}, m_preview.tiles, m_preview.anchor);
    m_preview.tiles.clear();
    m_ed.repaint();
}

bool ShapeTool::cancel()
{
    if (!m_active)
        return false;
    m_active = false;
    m_preview.tiles.clear();
    return true;
}
