// The builder's tools side of the view: tool choice, storeys, status.
#include "view/GLWidget.h"

#include "view/TileEditor.h"

#include <QKeyEvent>

#include <algorithm>

namespace {
constexpr int LowestAltitude = -128;
constexpr int HighestAltitude = 127;
// Tiles below the storey being worked on: drawn at this share of their brightness.
constexpr float DimShare = 0.55f;

int clampAltitude(int z) { return std::clamp(z, LowestAltitude, HighestAltitude); }
} // namespace

void GLWidget::setTool(ToolKind tool)
{
    m_editor->setTool(tool);
}

ToolKind GLWidget::tool() const
{
    return m_editor->currentTool();
}

bool GLWidget::toolKey(QKeyEvent *e)
{
    return m_editor->key(e);
}

void GLWidget::setWallSet(const std::optional<WallSet> &set)
{
    m_editor->setWallSet(set);
    reportToolState();
}

// The storey is [placing altitude, placing altitude + height): floors above
// it are clipped away; a lower clip limit the person set moves along.
void GLWidget::moveStorey(int storeys, int height)
{
    const int old = placingAltitude();
    const int placing = clampAltitude(old + storeys * height);
    const int delta = placing - old;
    if (m_clip && m_minAlt > LowestAltitude)
        m_minAlt = clampAltitude(m_minAlt + delta);
    else
        m_minAlt = LowestAltitude;
    m_maxAlt = clampAltitude(placing + height - 1);
    m_clip = true;
    setPlacingAlt(placing);
    emit lowerAlt(m_minAlt);
    emit higherAlt(m_maxAlt);
    emit clipEnable(m_clip);
    update();
}

void GLWidget::setDimBelow(bool on)
{
    m_dimBelow = on;
    update();
}

float GLWidget::brightnessAt(int z) const
{
    return (m_dimBelow && z < placingAltitude()) ? DimShare : 1.0f;
}

QString GLWidget::selectionSummary() const
{
    int count = 0;
    int minX = 0, maxX = 0, minY = 0, maxY = 0, minZ = 0, maxZ = 0;
    for (int kind : {int(Terrain), int(Art)}) {
        for (const auto &list : m_selection.set(kind)) {
            for (const TileIdentity &t : list) {
                if (count == 0) {
                    minX = maxX = t.x;
                    minY = maxY = t.y;
                    minZ = maxZ = t.z;
                }
                minX = std::min(minX, t.x);
                maxX = std::max(maxX, t.x);
                minY = std::min(minY, t.y);
                maxY = std::max(maxY, t.y);
                minZ = std::min(minZ, t.z);
                maxZ = std::max(maxZ, t.z);
                ++count;
            }
        }
    }
    if (count == 0)
        return tr("Nothing selected");
    const QString what = count == 1 ? tr("Selected: 1 tile") : tr("Selected: %1 tiles").arg(count);
    return what + tr(", x %1..%2, y %3..%4, z %5..%6")
        .arg(minX)
        .arg(maxX)
        .arg(minY)
        .arg(maxY)
        .arg(minZ)
        .arg(maxZ);
}

void GLWidget::reportToolState()
{
    const ToolKind current = m_editor->currentTool();
    if (m_reportedTool != current) {
        m_reportedTool = current;
        emit toolChanged(int(current));
    }
    // The selection first: the hint is the part a narrow window may cut.
    const QString status = selectionSummary() + QStringLiteral("  |  ") + m_editor->hint();
    if (status != m_reportedStatus) {
        m_reportedStatus = status;
        emit toolStatus(status);
    }
}
