#include "view/tools/ShapeTool.h"

void ShapeTool::press(const ToolEvent &e)
{
    const std::optional<QPoint> loc = m_ed.cellAt(e.point, true);
    if (!loc || (needsBrush() && m_ed.material().brush.isEmpty()))
        return;
    m_active = true;
    m_preview.anchor = *loc;
    m_to = *loc;
    m_preview.tiles = shape(*loc, *loc);
    m_ed.changed();
}

void ShapeTool::move(const ToolEvent &e)
{
    if (m_active && (e.buttons & Qt::LeftButton))
        follow(e.point);
    m_ed.changed();
}

void ShapeTool::follow(const QPoint &widgetPoint)
{
    const std::optional<QPoint> loc = m_ed.cellAt(widgetPoint, true);
    if (!loc || *loc == m_to)
        return;
    m_to = *loc;
    m_preview.tiles = shape(m_preview.anchor, m_to);
}

void ShapeTool::release(const ToolEvent &e)
{
    m_ed.press().pending = false;
    if (!m_active)
        return;
    follow(e.point);
    m_active = false;
    m_ed.apply({}, m_preview.tiles, m_preview.anchor);
    m_preview.tiles.clear();
    m_ed.changed();
}

bool ShapeTool::cancel()
{
    if (!m_active)
        return false;
    m_active = false;
    m_preview.tiles.clear();
    return true;
}
