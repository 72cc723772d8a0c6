#include "view/tools/EyedropperTool.h"

#include "data/TileData.h"
#include "model/Facet.h"
#include "scene/ToolShapes.h"
#include "view/TileEditor.h"
#include "view/tools/ToolView.h"

void EyedropperTool::release(const ToolEvent &e)
{
    m_ed.setPressed(false);
    const DrawnQuad hit = m_ed.view().tileAt(e.point, m_ed.editedPickList());
    if (!hit.isTile())
        return;
    const int offset = hit.z - m_ed.view().model()->placingAltitude();
    TileRecord tile(quint16(hit.id), qint16(hit.hue), qint16(offset), m_ed.view().tileData(), hit.kind);
    tile.sortZ = tile.z;
    m_ed.chooseBrush(tile);
}

QString EyedropperTool::hint() const
{
    const TileRecord *first = ToolShapes::firstTile(m_ed.brush());
    if (!first)
        return TileEditor::tr("Eyedropper: click a tile to make it the brush");
    return TileEditor::tr("Eyedropper: click a tile to make it the brush (now %1, hue %2, %3 above "
                          "the placing altitude)")
        .arg(first->id)
        .arg(first->hue)
        .arg(first->z);
}
