#include "view/tools/ToolRegistry.h"

#include "view/tools/BrushTool.h"
#include "view/tools/EraseTool.h"
#include "view/tools/EyedropperTool.h"
#include "view/tools/FillTool.h"
#include "view/tools/HollowRectangleTool.h"
#include "view/tools/LineTool.h"
#include "view/tools/PasteTool.h"
#include "view/tools/RectangleTool.h"
#include "view/tools/SelectTool.h"

namespace {
template <typename T>
ToolEntry entry()
{
    return {T::info(), [](ToolContext &context) -> std::unique_ptr<Tool> { return std::make_unique<T>(context); }};
}
} // namespace

const QList<ToolEntry> &ToolRegistry::tools()
{
    // The order of ToolKind; built on first use, once translations are loaded.
    static const QList<ToolEntry> list = {
        entry<SelectTool>(),
        entry<BrushTool>(),
        entry<LineTool>(),
        entry<RectangleTool>(),
        entry<HollowRectangleTool>(),
        entry<FillTool>(),
        entry<EyedropperTool>(),
        entry<EraseTool>(),
        entry<PasteTool>(),
    };
    return list;
}

std::optional<ToolKind> toolForKey(int key)
{
    const QList<ToolEntry> &tools = ToolRegistry::tools();
    for (qsizetype i = 0; i < tools.size(); ++i)
        if (tools[i].info.chosen && tools[i].info.key == key)
            return ToolKind(i);
    return std::nullopt;
}
