#pragma once

#include "view/tools/Tool.h"

class ToolContext;

// The tile under the pointer becomes the brush: its id, hue and altitude
// above the placing altitude.
class EyedropperTool : public Tool
{
public:
    explicit EyedropperTool(ToolContext &context) : m_ed(context) {}
    void press(const ToolEvent &) override {}
    void move(const ToolEvent &) override {}
    void release(const ToolEvent &e) override;
    static ToolInfo info();
    QString hint() const override;

private:
    ToolContext &m_ed;
};
