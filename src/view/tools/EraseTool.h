#pragma once

#include "scene/DrawnQuad.h"
#include "view/tools/Tool.h"

#include <QList>

class ToolContext;

// Deletes the tiles of the edited kind that a band covers (or the one tile
// clicked), within the clip range: one undo group.
class EraseTool : public Tool
{
public:
    explicit EraseTool(ToolContext &context) : m_ed(context) {}
    void press(const ToolEvent &) override {}
    void move(const ToolEvent &e) override;
    void release(const ToolEvent &e) override;
    bool cancel() override;
    static ToolInfo info();
    QString hint() const override;

private:
    void erase(const QList<DrawnQuad> &hits);

    ToolContext &m_ed;
};
