#pragma once

#include "view/tools/Tool.h"

class ToolContext;

// A pasted or inserted group hangs at the cursor; a click places it.
class PasteTool : public Tool
{
public:
    explicit PasteTool(ToolContext &context) : m_ed(context) {}
    void press(const ToolEvent &) override {}
    void move(const ToolEvent &e) override;
    void release(const ToolEvent &e) override;
    static ToolInfo info();
    QString hint() const override;
    bool usesBrush() const override { return true; }
    // Leaving it is what Escape does: the group is not placed.
    void leave() override {}

private:
    ToolContext &m_ed;
};
