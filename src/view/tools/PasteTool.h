#pragma once

#include "view/tools/Tool.h"

class TileEditor;

// A pasted or inserted group hangs at the cursor; a click places it.
class PasteTool : public Tool
{
public:
    explicit PasteTool(TileEditor &editor) : m_ed(editor) {}
    void press(const ToolEvent &) override {}
    void move(const ToolEvent &e) override;
    void release(const ToolEvent &e) override;
    QString hint() const override;
    bool usesBrush() const override { return true; }
    // Leaving it is what Escape does: the group is not placed.
    void leave() override {}

private:
    TileEditor &m_ed;
};
