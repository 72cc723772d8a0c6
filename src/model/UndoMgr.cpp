#include "model/UndoMgr.h"

#include "model/Facet.h"

#include <cstdio>

namespace {
constexpr QLatin1String Duplicate("DUPLICATE");
} // namespace

UndoMgr::UndoMgr(const TileInfoSource &data, Facet *model, QObject *parent)
    : QObject(parent), m_data(data), m_model(model)
{
}

void UndoMgr::beginGroup()
{
    m_currentGroup.clear();
}

void UndoMgr::insertTile(const TileRecord &tile)
{
    if (!inside(tile)) {
        std::fputs("Not adding\n", stdout);
        std::fflush(stdout);
        return;
    }
    const QString record = QLatin1String("I:") + tile.key();
    if (m_model->addTile(tile.x, tile.y, tile))
        m_currentGroup.append(record);
}

void UndoMgr::removeTile(const TileRecord &tile)
{
    if (!inside(tile))
        return;
    const QString record = QLatin1String("D:") + tile.key();
    if (m_model->removeTile(tile.x, tile.y, tile))
        m_currentGroup.append(record);
}

void UndoMgr::markDuplicate()
{
    m_model->setAllowDuplicates(true);
    m_currentGroup.append(QString(Duplicate));
}

void UndoMgr::commitGroup()
{
    if (!m_currentGroup.isEmpty()) {
        m_undoStack.append(std::move(m_currentGroup));
        m_currentGroup.clear();
        // Replaying groups undone before this edit would act on tiles placed since.
        const bool hadRedo = !m_redoStack.isEmpty();
        m_redoStack.clear();
        emit stateUndo(true);
        if (hadRedo)
            emit stateRedo(false);
        emit edited();
    }
    m_model->setAllowDuplicates(false);
}

void UndoMgr::undo()
{
    if (m_undoStack.isEmpty())
        return;
    Group group = m_undoStack.takeLast();
    replay(group, QLatin1Char('D'));
    m_redoStack.append(std::move(group));
    emit stateRedo(true);
    emit stateUndo(hasSteps(0));
    emit edited();
}

void UndoMgr::redo()
{
    if (m_redoStack.isEmpty())
        return;
    Group group = m_redoStack.takeLast();
    replay(group, QLatin1Char('I'));
    m_undoStack.append(std::move(group));
    emit stateUndo(true);
    emit stateRedo(hasSteps(1));
    emit edited();
}

void UndoMgr::clearHistory()
{
    m_undoStack.clear();
    m_redoStack.clear();
    emit stateUndo(false);
    emit stateRedo(false);
}

bool UndoMgr::hasSteps(int which) const
{
    if (which == 0)
        return !m_undoStack.isEmpty();
    if (which == 1)
        return !m_redoStack.isEmpty();
    return false;
}

bool UndoMgr::inside(const TileRecord &tile) const
{
    return m_model->editable(tile.x, tile.y);
}

// Records run in recorded order in both directions. Only art tiles are ever
// removed by a replay; the model's results are ignored.
void UndoMgr::replay(const Group &group, QChar addPrefix)
{
    qsizetype first = 0;
    if (!group.isEmpty() && group.first() == Duplicate) {
        m_model->setAllowDuplicates(true);
        first = 1;
    }
    const QChar removePrefix = addPrefix == QLatin1Char('I') ? QLatin1Char('D') : QLatin1Char('I');
    for (qsizetype i = first; i < group.size(); ++i) {
        const QString &record = group.at(i);
        const qsizetype colon = record.indexOf(QLatin1Char(':'));
        if (colon < 0)
            continue;
        const QStringView prefix = QStringView(record).left(colon);
        const TileRecord tile(record.mid(colon + 1), m_data);
        if (!inside(tile))
            continue;
        if (prefix == QStringView(&addPrefix, 1))
            m_model->addTile(tile.x, tile.y, tile);
        else if (prefix == QStringView(&removePrefix, 1) && tile.kind != Terrain)
            m_model->removeTile(tile.x, tile.y, tile);
    }
    m_model->setAllowDuplicates(false);
}
