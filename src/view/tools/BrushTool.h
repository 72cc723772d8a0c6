#pragma once

#include "view/tools/Tool.h"

#include <optional>

class ToolContext;

// Paints the brush's tile at the placing altitude on every cell a stroke
// reaches, the pressed one first. The stroke shows as it grows and lands on
// release as one undo group; Escape drops it.
class BrushTool : public Tool
{
public:
    explicit BrushTool(ToolContext &context) : m_ed(context) {}
    void press(const ToolEvent &e) override;
    void move(const ToolEvent &e) override;
    void release(const ToolEvent &e) override;
    const ToolPreview *preview() const override { return m_active ? &m_preview : nullptr; }
    bool cancel() override;
    static ToolInfo info();
    QString hint() const override;
    bool usesBrush() const override { return true; }

private:
    // Adds the cells from the last one reached to loc, so a fast pointer leaves no gaps.
    void reach(const std::optional<QPoint> &to);
    void add(const QPoint &loc);

    ToolContext &m_ed;
    bool m_active = false;
    // The pointer has gone the drag distance: cells other than the pressed one count.
    bool m_stroking = false;
    QPoint m_last;
    TileRecord m_tile;
    ToolPreview m_preview;
};
