#pragma once

#include "view/tools/Tool.h"

class TileEditor;

// Paints the brush's tile at the placing altitude: one per click, and one
// per new location along a stroke.
class BrushTool : public Tool
{
public:
    explicit BrushTool(TileEditor &editor) : m_ed(editor) {}
    void enter() override;
    void press(const ToolEvent &) override {}
    void move(const ToolEvent &e) override;
    void release(const ToolEvent &e) override;
    QString hint() const override;
    bool usesBrush() const override { return true; }

private:
    TileEditor &m_ed;
    QPoint m_lastPainted{-1, -1};
    QPoint m_lastPaintPoint{-1, -1};
};
