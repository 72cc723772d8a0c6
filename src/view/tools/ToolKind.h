#pragma once

#include <Qt>

#include <optional>

// The editor's names for the tools it arms itself or that tests and commands
// name: each is the tool's position in ToolRegistry. Paste placement is a
// tool of its own that the Paste and Insert commands arm.
enum class ToolKind : int {
    Select,
    Brush,
    Line,
    Rectangle,
    HollowRectangle,
    Fill,
    Eyedropper,
    Erase,
    Paste,
};

// The tool a single key chooses (ToolRegistry).
std::optional<ToolKind> toolForKey(int key);
