#include "view/tools/PasteTool.h"

#include "view/TileEditor.h"

void PasteTool::move(const ToolEvent &)
{
    m_ed.repaint();
}

void PasteTool::release(const ToolEvent &e)
{
    if (!m_ed.pressed())
        return;
    m_ed.setPressed(false);
    m_ed.finishPaste(e.modifiers);
}

QString PasteTool::hint() const
{
    return TileEditor::tr("Paste: click to place the group, Escape to drop it");
}
