#include "view/tools/BrushTool.h"

#include "model/Facet.h"
#include "scene/Document.h"
#include "view/TileEditor.h"

#include <QApplication>

#include <algorithm>
#include <cstdlib>

void BrushTool::press(const ToolEvent &e)
{
    m_active = false;
    m_stroking = false;
    m_preview.tiles.clear();
    const Brush &brush = m_ed.material().brush;
    const auto it = brush.constFind(locationKey(0, 0));
    const std::optional<QPoint> loc = m_ed.cellAt(e.point, false);
    if (it == brush.cend() || it->empty() || !loc)
        return;
    m_tile = *it->cbegin();
    m_active = true;
    m_preview.anchor = *loc;
    m_last = *loc;
    add(*loc);
    m_ed.changed();
}

void BrushTool::move(const ToolEvent &e)
{
    if (m_active && (e.buttons & Qt::LeftButton)) {
        ToolPress &press = m_ed.press();
        if (!m_stroking && (e.point - press.point).manhattanLength() >= QApplication::startDragDistance()) {
            m_stroking = true;
            press.pending = false;
        }
        if (m_stroking)
            reach(m_ed.cellAt(e.point, false));
    }
    // The preview follows the pointer.
    m_ed.changed();
}

void BrushTool::release(const ToolEvent &e)
{
    m_ed.press().pending = false;
    if (!m_active)
        return;
    if (m_stroking)
        reach(m_ed.cellAt(e.point, false));
    m_active = false;
    m_ed.apply({}, m_preview.tiles, m_preview.anchor);
    m_preview.tiles.clear();
    m_ed.changed();
}

bool BrushTool::cancel()
{
    if (!m_active)
        return false;
    m_active = false;
    m_preview.tiles.clear();
    return true;
}

void BrushTool::reach(const std::optional<QPoint> &to)
{
    if (!to || *to == m_last)
        return;
    const QPoint d = *to - m_last;
    const int steps = std::max(std::abs(d.x()), std::abs(d.y()));
    for (int i = 1; i <= steps; ++i)
        add(m_last + QPoint(qRound(double(d.x()) * i / steps), qRound(double(d.y()) * i / steps)));
    m_last = *to;
}

void BrushTool::add(const QPoint &loc)
{
    // Cells outside the area would be refused by the model.
    if (!m_ed.document().model()->inside(loc.x(), loc.y()))
        return;
    const QPoint offset = loc - m_preview.anchor;
    // A cell crossed twice gets one tile.
    Facet::TileSet &cell = m_preview.tiles[locationKey(offset.x(), offset.y())];
    if (cell.empty())
        cell.insert(m_tile);
}

QString BrushTool::hint() const
{
    if (m_ed.material().brush.isEmpty())
        return TileEditor::tr("Brush: double-click a palette tile or pick one with the eyedropper (I)");
    return TileEditor::tr("Brush: click or drag to paint at the placing altitude; Escape drops a stroke");
}

ToolInfo BrushTool::info()
{
    return {TileEditor::tr("Brush"), Qt::Key_B, QStringLiteral("draw-brush"), true};
}
