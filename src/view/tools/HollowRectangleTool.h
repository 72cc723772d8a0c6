#pragma once

#include "view/tools/ShapeTool.h"

// The four sides of a rectangle (walls): the palette group's corner and side
// pieces when it names them, else the brush on every side cell.
class HollowRectangleTool : public ShapeTool
{
public:
    using ShapeTool::ShapeTool;
    static ToolInfo info();
    QString hint() const override;

protected:
    Brush shape(const QPoint &from, const QPoint &to) const override;
    bool needsBrush() const override;
};
