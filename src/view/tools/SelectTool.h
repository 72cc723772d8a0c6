#pragma once

#include "view/tools/Tool.h"

class ToolContext;

// Click and Ctrl-click select, a band selects what it crosses, a drag from a
// selected tile carries the selection out as a payload.
class SelectTool : public Tool
{
public:
    explicit SelectTool(ToolContext &context) : m_ed(context) {}
    void press(const ToolEvent &) override {}
    void move(const ToolEvent &e) override;
    void release(const ToolEvent &e) override;
    static ToolInfo info();
    QString hint() const override;

private:
    void finishBand(Qt::KeyboardModifiers modifiers);
    void clickSelect();

    ToolContext &m_ed;
};
