// The builder's tools side of the view: tool choice, storeys, status.
#include "view/GLWidget.h"

#include "view/TileEditor.h"

#include <QKeyEvent>

#include <algorithm>

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

// Floors above the storey are clipped away.
void GLWidget::moveStorey(int storeys, int height)
{
    m_doc->moveStorey(storeys, height);
    setPlacingAlt(placingAltitude());
    emit lowerAlt(minAlt());
    emit higherAlt(maxAlt());
    emit clipEnable(clipEnabled());
    update();
}

void GLWidget::setDimBelow(bool on)
{
    m_state.dimBelow = on;
    update();
}


QString GLWidget::selectionSummary() const
{
    int count = 0;
    int minX = 0, maxX = 0, minY = 0, maxY = 0, minZ = 0, maxZ = 0;
    for (int kind : {int(Terrain), int(Art)}) {
        for (const auto &list : selection().set(kind)) {
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
