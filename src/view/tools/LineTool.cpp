#include "view/tools/LineTool.h"

#include "scene/ToolShapes.h"
#include "view/TileEditor.h"

Brush LineTool::shape(const QPoint &from, const QPoint &to) const
{
    return ToolShapes::line(editor().material().brush, from, to);
}

QString LineTool::hint() const
{
    return TileEditor::tr("Line: drag along x, y or a diagonal to repeat the brush; Escape drops it");
}

ToolInfo LineTool::info()
{
    return {TileEditor::tr("Line"), Qt::Key_L, QStringLiteral("draw-line"), true};
}
