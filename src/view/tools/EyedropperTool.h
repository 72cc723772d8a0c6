#pragma once

#include "view/tools/Tool.h"

class TileEditor;

// The tile under the pointer becomes the brush: its id, hue and altitude
// above the placing altitude.
class EyedropperTool : public Tool
{
public:
    explicit EyedropperTool(TileEditor &editor) : m_ed(editor) {}
    void press(const ToolEvent &) override {}
    void move(const ToolEvent &) override {}
    void release(const ToolEvent &e) override;
    QString hint() const override;

private:
    TileEditor &m_ed;
};
