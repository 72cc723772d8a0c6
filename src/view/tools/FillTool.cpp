#include "view/tools/FillTool.h"

#include "scene/Document.h"
#include "scene/FloodFill.h"
#include "scene/ToolShapes.h"
#include "view/TileEditor.h"

void FillTool::press(const ToolEvent &e)
{
    m_active = false;
    m_refused = false;
    const Facet *model = m_ed.document().model();
    const ToolMaterial material = m_ed.material();
    if (material.brush.isEmpty())
        return;
    const int z = model->placingAltitude();
    std::optional<FloodFill::Region> region;
    QPoint seed;
    if (const std::optional<TileRecord> clicked = clickedTile(e.point, z)) {
        seed = QPoint(clicked->x, clicked->y);
        region = FloodFill::region(*model, *clicked, MaxArea);
    } else {
        const std::optional<QPoint> cell = m_ed.cellAt(e.point, true);
        if (!cell || !model->inside(cell->x(), cell->y()))
            return;
        seed = *cell;
        region = FloodFill::region(*model, seed, material.kind, z, MaxArea);
    }
    if (!region) {
        m_refused = true;
        return;
    }
    m_active = true;
    m_preview.anchor = seed;
    m_preview.tiles = ToolShapes::pattern(material.brush, region->cells, seed);
    m_replaced = region->replaced;
    m_ed.changed();
}

// The tile drawn under the point, when it stands at the placing altitude: a
// tile of a lower storey seen through an empty cell is not what is filled.
std::optional<TileRecord> FillTool::clickedTile(const QPoint &point, int z) const
{
    const DrawnQuad hit = m_ed.tileAt(point);
    const Facet::TileSet *set = hit.isTile() && hit.z == z ? m_ed.document().model()->tilesAtPtr(hit.x, hit.y)
                                                            : nullptr;
    if (set) {
        for (const TileRecord &t : *set)
            if (hit.identity().matches(t))
                return t;
    }
    return std::nullopt;
}

void FillTool::move(const ToolEvent &)
{
    m_ed.changed();
}

void FillTool::release(const ToolEvent &)
{
    m_ed.press().pending = false;
    if (m_refused) {
        m_refused = false;
        m_ed.handOff(ToolHandOff::refuse(
            TileEditor::tr("Fill"),
            TileEditor::tr("The region to fill has more than %1 cells, so nothing was filled. "
                           "Close it with walls first, or draw a rectangle.")
                .arg(MaxArea)));
        return;
    }
    if (!m_active)
        return;
    m_active = false;
    m_ed.apply(m_replaced, m_preview.tiles, m_preview.anchor);
    m_preview.tiles.clear();
    m_replaced.clear();
    m_ed.changed();
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
    return TileEditor::tr("Fill: click an empty cell to fill its enclosed region, or a tile to "
                          "replace it and the like tiles joined to it");
}

ToolInfo FillTool::info()
{
    return {TileEditor::tr("Fill"), Qt::Key_F, QStringLiteral("color-fill"), true};
}
