#pragma once

#include "view/tools/Tool.h"

class TileEditor;

// Click and Ctrl-click select, a band selects what it crosses, a drag from a
// selected tile carries the selection out as a payload.
class SelectTool : public Tool
{
public:
    explicit SelectTool(TileEditor &editor) : m_ed(editor) {}
    void press(const ToolEvent &) override {}
    void move(const ToolEvent &e) override;
    void release(const ToolEvent &e) override;
    QString hint() const override;

private:
    void finishBand(Qt::KeyboardModifiers modifiers);
    void clickSelect();

    TileEditor &m_ed;
};
