#include "view/tools/HollowRectangleTool.h"

#include "data/TileData.h"
#include "scene/ToolShapes.h"
#include "view/TileEditor.h"
#include "view/tools/ToolView.h"

Brush HollowRectangleTool::shape(const QPoint &from, const QPoint &to) const
{
    const TileEditor &ed = editor();
    if (!ed.wallSet())
        return ToolShapes::rectangle(ed.brush(), from, to, true);
    // The pieces take the brush's hue and altitude; art at the floor without one.
    TileRecord like;
    like.kind = Art;
    like.z = 0;
    if (const TileRecord *first = ToolShapes::firstTile(ed.brush()))
        like = *first;
    return ToolShapes::walls(from, to, *ed.wallSet(), like, ed.view().tileData());
}

bool HollowRectangleTool::needsBrush() const
{
    return !editor().wallSet();
}

QString HollowRectangleTool::hint() const
{
    if (editor().wallSet())
        return TileEditor::tr("Hollow rectangle: drag from corner to corner to wall it with the "
                              "palette group's corner and side pieces");
    return TileEditor::tr("Hollow rectangle: drag from corner to corner to draw its sides with the brush");
}
