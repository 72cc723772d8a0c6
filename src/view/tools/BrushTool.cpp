#include "view/tools/BrushTool.h"

#include "model/Facet.h"
#include "view/TileEditor.h"
#include "view/tools/ToolView.h"

#include <QApplication>

#include <algorithm>
#include <cstdlib>

void BrushTool::press(const ToolEvent &e)
{
    m_active = false;
    m_stroking = false;
    m_preview.tiles.clear();
    const auto it = m_ed.brush().constFind(locationKey(0, 0));
    const QPoint loc = m_ed.locationAt(e.point);
    if (it == m_ed.brush().cend() || it->empty() || m_ed.isNoLocation(loc))
        return;
    m_tile = *it->cbegin();
    m_active = true;
    m_preview.anchor = loc;
    m_last = loc;
    add(loc);
    m_ed.repaint();
}

void BrushTool::move(const ToolEvent &e)
{
    if (m_active && (e.buttons & Qt::LeftButton)) {
        if (!m_stroking
            && (e.point - m_ed.pressPoint()).manhattanLength() >= QApplication::startDragDistance()) {
            m_stroking = true;
            m_ed.setPressed(false);
        }
        if (m_stroking)
            reach(m_ed.locationAt(e.point));
    }
    // The preview follows the pointer.
    m_ed.repaint();
}

void BrushTool::release(const ToolEvent &e)
{
    m_ed.setPressed(false);
    if (!m_active)
        return;
    if (m_stroking)
        reach(m_ed.locationAt(e.point));
    m_active = false;
    m_ed.applyShape({}, m_preview.tiles, m_preview.anchor);
    m_preview.tiles.clear();
    m_ed.repaint();
}

bool BrushTool::cancel()
{
    if (!m_active)
        return false;
    m_active = false;
    m_preview.tiles.clear();
    return true;
}

void BrushTool::reach(const QPoint &loc)
{
    if (m_ed.isNoLocation(loc) || loc == m_last)
        return;
    const QPoint d = loc - m_last;
    const int steps = std::max(std::abs(d.x()), std::abs(d.y()));
    for (int i = 1; i <= steps; ++i)
        add(m_last + QPoint(qRound(double(d.x()) * i / steps), qRound(double(d.y()) * i / steps)));
    m_last = loc;
}

void BrushTool::add(const QPoint &loc)
{
    // Cells outside the area would be refused by the model.
    if (!m_ed.view().model()->inside(loc.x(), loc.y()))
        return;
    const QPoint offset = loc - m_preview.anchor;
    // A cell crossed twice gets one tile.
    Facet::TileSet &cell = m_preview.tiles[locationKey(offset.x(), offset.y())];
    if (cell.empty())
        cell.insert(m_tile);
}

QString BrushTool::hint() const
{
    if (m_ed.brush().isEmpty())
        return TileEditor::tr("Brush: double-click a palette tile or pick one with the eyedropper (I)");
    return TileEditor::tr("Brush: click or drag to paint at the placing altitude; Escape drops a stroke");
}
