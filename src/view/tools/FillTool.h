#pragma once

#include "model/TileRecord.h"
#include "view/tools/Tool.h"

#include <QList>

#include <optional>

class ToolContext;

// Fills with the brush as a pattern: the empty connected region at the
// placing altitude, or the connected cells holding a tile like the clicked
// one, each such tile replaced and the others on those cells kept. Regions
// larger than MaxArea are refused with a message.
class FillTool : public Tool
{
public:
    // A 100 x 100 floor; anything larger is most likely an open edge.
    static constexpr int MaxArea = 10000;

    explicit FillTool(ToolContext &context) : m_ed(context) {}
    void press(const ToolEvent &e) override;
    void move(const ToolEvent &e) override;
    void release(const ToolEvent &e) override;
    const ToolPreview *preview() const override { return m_active ? &m_preview : nullptr; }
    bool cancel() override;
    static ToolInfo info();
    QString hint() const override;
    bool usesBrush() const override { return true; }
    bool picksPlacingGrid() const override { return true; }

private:
    std::optional<TileRecord> clickedTile(const QPoint &point, int z) const;

    ToolContext &m_ed;
    bool m_active = false;
    bool m_refused = false;
    ToolPreview m_preview;
    QList<TileRecord> m_replaced;
};
