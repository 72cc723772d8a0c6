#include "view/tools/RectangleTool.h"

#include "scene/ToolShapes.h"
#include "view/TileEditor.h"

Brush RectangleTool::shape(const QPoint &from, const QPoint &to) const
{
    return ToolShapes::rectangle(editor().material().brush, from, to, false);
}

QString RectangleTool::hint() const
{
    return TileEditor::tr("Rectangle: drag from corner to corner to fill with the brush; Escape drops it");
}

ToolInfo RectangleTool::info()
{
    return {TileEditor::tr("Rectangle"), Qt::Key_R, QStringLiteral("draw-rectangle"), true};
}
