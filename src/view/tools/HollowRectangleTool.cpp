#include "view/tools/HollowRectangleTool.h"

#include "scene/Document.h"
#include "scene/ToolShapes.h"
#include "view/TileEditor.h"

Brush HollowRectangleTool::shape(const QPoint &from, const QPoint &to) const
{
    const ToolMaterial m = editor().material();
    if (!m.walls)
        return ToolShapes::rectangle(m.brush, from, to, true);
    // The pieces take the brush's hue and altitude; art at the floor without one.
    TileRecord like;
    like.kind = Art;
    like.z = 0;
    if (const TileRecord *first = ToolShapes::firstTile(m.brush))
        like = *first;
    return ToolShapes::walls(from, to, *m.walls, like, editor().document().tileData());
}

bool HollowRectangleTool::needsBrush() const
{
    return !editor().material().walls;
}

QString HollowRectangleTool::hint() const
{
    if (editor().material().walls)
        return TileEditor::tr("Hollow rectangle: drag from corner to corner to wall it with the "
                              "palette group's corner and side pieces");
    return TileEditor::tr("Hollow rectangle: drag from corner to corner to draw its sides with the brush");
}

ToolInfo HollowRectangleTool::info()
{
    return {TileEditor::tr("Hollow Rectangle"), Qt::Key_H, QStringLiteral("draw-square-inverse"), true};
}
