#include "view/tools/BrushTool.h"

#include "model/Facet.h"
#include "view/TileEditor.h"
#include "view/tools/ToolView.h"

#include <QApplication>

void BrushTool::enter()
{
    m_lastPainted = QPoint(-1, -1);
    m_lastPaintPoint = QPoint(-1, -1);
}

void BrushTool::move(const ToolEvent &e)
{
    if (e.buttons & Qt::LeftButton) {
        const QPoint loc = m_ed.locationAt(e.point);
        if ((e.point - m_lastPaintPoint).manhattanLength() >= QApplication::startDragDistance()
            && loc != m_lastPainted) {
            m_ed.setPressed(false);
            m_ed.placePaintTile(loc);
            m_lastPainted = loc;
            m_lastPaintPoint = e.point;
        }
    }
    // The preview follows the pointer.
    m_ed.repaint();
}

void BrushTool::release(const ToolEvent &)
{
    if (!m_ed.pressed())
        return;
    m_ed.setPressed(false);
    const QPoint loc = m_ed.locationAt(m_ed.pressPoint());
    if (m_ed.view().model()->inside(loc.x(), loc.y()))
        m_ed.placePaintTile(loc);
}

QString BrushTool::hint() const
{
    if (m_ed.brush().isEmpty())
        return TileEditor::tr("Brush: double-click a palette tile or pick one with the eyedropper (I)");
    return TileEditor::tr("Brush: click or drag to paint at the placing altitude");
}
