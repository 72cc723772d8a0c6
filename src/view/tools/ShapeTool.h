#pragma once

#include "view/tools/Tool.h"

class ToolContext;

// A tool that draws a shape from the press location to the pointer's
// location: previewed while the button is held, placed as one undo group on
// release, dropped by Escape.
class ShapeTool : public Tool
{
public:
    explicit ShapeTool(ToolContext &context) : m_ed(context) {}
    void press(const ToolEvent &e) override;
    void move(const ToolEvent &e) override;
    void release(const ToolEvent &e) override;
    const ToolPreview *preview() const override { return m_active ? &m_preview : nullptr; }
    bool cancel() override;
    bool usesBrush() const override { return true; }
    bool picksPlacingGrid() const override { return true; }

protected:
    // The tiles between the two corners, offsets from `from`.
    virtual Brush shape(const QPoint &from, const QPoint &to) const = 0;
    // Whether the shape can be drawn without a brush.
    virtual bool needsBrush() const { return true; }
    ToolContext &editor() const { return m_ed; }

private:
    void follow(const QPoint &widgetPoint);

    ToolContext &m_ed;
    bool m_active = false;
    QPoint m_to;
    ToolPreview m_preview;
};
