#include "view/tools/EyedropperTool.h"

#include "model/Facet.h"
#include "scene/Document.h"
#include "scene/ToolShapes.h"
#include "view/TileEditor.h"

void EyedropperTool::release(const ToolEvent &e)
{
    m_ed.press().pending = false;
    const DrawnQuad hit = m_ed.tileAt(e.point);
    if (!hit.isTile())
        return;
    const Document &doc = m_ed.document();
    const int offset = hit.z - doc.placingAltitude();
    TileRecord tile(quint16(hit.id), qint16(hit.hue), qint16(offset), doc.tileData(), hit.kind);
    tile.sortZ = tile.z;
    m_ed.handOff(ToolHandOff::takeBrush(tile));
}

QString EyedropperTool::hint() const
{
    const TileRecord *first = ToolShapes::firstTile(m_ed.material().brush);
    if (!first)
        return TileEditor::tr("Eyedropper: click a tile to make it the brush");
    return TileEditor::tr("Eyedropper: click a tile to make it the brush (now %1, hue %2, %3 above "
                          "the placing altitude)")
        .arg(first->id)
        .arg(first->hue)
        .arg(first->z);
}

ToolInfo EyedropperTool::info()
{
    return {TileEditor::tr("Eyedropper"), Qt::Key_I, QStringLiteral("color-picker"), true};
}
