#pragma once

#include <Qt>

#include <optional>

// The view's editing tools. Paste placement is a tool of its own that the
// Paste and Insert commands arm; the others are chosen by the person.
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

// The tools a person chooses, in tool bar order, with their single keys.
struct ToolKey {
    ToolKind tool;
    Qt::Key key;
};
inline constexpr ToolKey ToolKeys[] = {
    {ToolKind::Select, Qt::Key_S},     {ToolKind::Brush, Qt::Key_B},
    {ToolKind::Line, Qt::Key_L},       {ToolKind::Rectangle, Qt::Key_R},
    {ToolKind::HollowRectangle, Qt::Key_H}, {ToolKind::Fill, Qt::Key_F},
    {ToolKind::Eyedropper, Qt::Key_I}, {ToolKind::Erase, Qt::Key_E},
};
inline constexpr int ToolKindCount = int(ToolKind::Paste) + 1;

inline std::optional<ToolKind> toolForKey(int key)
{
    for (const ToolKey &k : ToolKeys)
        if (k.key == key)
            return k.tool;
    return std::nullopt;
}
