#pragma once

#include "view/tools/ShapeTool.h"

// A filled rectangle (floors, roofs): the brush laid as a pattern over every
// cell between the two corners.
class RectangleTool : public ShapeTool
{
public:
    using ShapeTool::ShapeTool;
    static ToolInfo info();
    QString hint() const override;

protected:
    Brush shape(const QPoint &from, const QPoint &to) const override;
};
