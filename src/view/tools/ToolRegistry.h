#pragma once

#include "view/tools/Tool.h"
#include "view/tools/ToolKind.h"

#include <QList>

#include <memory>

class ToolContext;

// Every tool of the view, in tool bar order; a tool's position is its
// ToolKind. A new tool is one class and one line in ToolRegistry.cpp.
struct ToolEntry {
    ToolInfo info;
    std::unique_ptr<Tool> (*make)(ToolContext &context);
};

namespace ToolRegistry {
const QList<ToolEntry> &tools();
} // namespace ToolRegistry
