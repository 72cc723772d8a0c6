#pragma once

#include "view/tools/ShapeTool.h"

// A straight line along x, along y or a diagonal, whichever is nearest to
// the drag: the brush repeated at its own size.
class LineTool : public ShapeTool
{
public:
    using ShapeTool::ShapeTool;
    static ToolInfo info();
    QString hint() const override;

protected:
    Brush shape(const QPoint &from, const QPoint &to) const override;
};
