#include "view/tools/PasteTool.h"

#include "view/TileEditor.h"

void PasteTool::move(const ToolEvent &)
{
    m_ed.changed();
}

void PasteTool::release(const ToolEvent &e)
{
    ToolPress &press = m_ed.press();
    if (!press.pending)
        return;
    press.pending = false;
    m_ed.handOff(ToolHandOff::placePaste(e.modifiers));
}

QString PasteTool::hint() const
{
    return TileEditor::tr("Paste: click to place the group, Escape to drop it");
}

// Armed by Paste and Insert, never chosen: no key, no button.
ToolInfo PasteTool::info()
{
    return {TileEditor::tr("Paste"), {}, QStringLiteral("edit-paste"), false};
}
