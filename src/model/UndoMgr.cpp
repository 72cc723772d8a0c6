#include "model/UndoMgr.h"

#include "model/Facet.h"

#include <cstdio>

UndoMgr::UndoMgr(const TileInfoSource &data, Facet *model, QObject *parent)
    : QObject(parent), m_data(data), m_model(model), m_savedDepth(model->isModified() ? -1 : 0)
{
    connect(model, &Facet::modifiedChanged, this, [this](bool modified) {
        if (!modified)
            m_savedDepth = int(m_undoStack.size());
    });
    connect(model, &Facet::markedUnsaved, this, [this] { m_savedDepth = -1; });
}

void UndoMgr::followSaved()
{
    if (int(m_undoStack.size()) == m_savedDepth)
        m_model->markUnmodified();
}

void UndoMgr::beginGroup()
{
    m_currentGroup = Group();
}

void UndoMgr::insertTile(const TileRecord &tile)
{
    if (!inside(tile)) {
        std::fputs("Not adding\n", stdout);
        std::fflush(stdout);
        return;
    }
    if (m_model->addTile(tile.x, tile.y, tile))
        m_currentGroup.changes.push_back(Change::of(tile, true));
}

void UndoMgr::removeTile(const TileRecord &tile)
{
    if (!inside(tile))
        return;
    if (m_model->removeTile(tile.x, tile.y, tile))
        m_currentGroup.changes.push_back(Change::of(tile, false));
}

// All tiles leave before any arrives: a tile is taken from among the tiles
// that were there, never for an equal one moved in. The changes are kept as
// pairs, each removal next to its addition, which is how a replay hands the
// storage over again.
QList<TileRecord> UndoMgr::moveTiles(const QList<TileRecord> &tiles, int dx, int dy, int dz)
{
    std::vector<Facet::TileNode> taken;
    taken.reserve(size_t(tiles.size()));
    m_model->beginBulk();
    for (const TileRecord &from : tiles) {
        if (!inside(from))
            continue;
        Facet::TileNode node = m_model->takeTileIfPresent(from.x, from.y, from);
        if (!node.empty())
            taken.push_back(std::move(node));
    }
    QList<TileRecord> moved;
    moved.reserve(qsizetype(taken.size()));
    m_currentGroup.changes.reserve(m_currentGroup.changes.size() + 2 * taken.size());
    for (Facet::TileNode &node : taken) {
        // The record is moved where it lies, in the storage it goes back in with.
        TileRecord &to = node.value();
        m_currentGroup.changes.push_back(Change::of(to, false));
        to.x += dx;
        to.y += dy;
        to.z = qint16(to.z + dz);
        to.sortZ = to.z;
        moved.append(to);
        if (!inside(to)) {
            std::fputs("Not adding\n", stdout);
            std::fflush(stdout);
        } else if (m_model->putTile(to.x, to.y, to, std::move(node))) {
            m_currentGroup.changes.push_back(Change::of(moved.constLast(), true));
        }
    }
    m_model->endBulk();
    return moved;
}

void UndoMgr::markDuplicate()
{
    m_model->setAllowDuplicates(true);
    m_currentGroup.duplicates = true;
}

void UndoMgr::commitGroup()
{
    if (!m_currentGroup.isEmpty()) {
        // A saved state among the undone steps is out of reach from now on.
        if (m_savedDepth > int(m_undoStack.size()))
            m_savedDepth = -1;
        m_undoStack.append(std::move(m_currentGroup));
        m_currentGroup = Group();
        // Replaying groups undone before this edit would act on tiles placed since.
        const bool hadRedo = !m_redoStack.isEmpty();
        m_redoStack.clear();
        emit stateUndo(true);
        if (hadRedo)
            emit stateRedo(false);
        emit edited();
    }
    m_currentGroup = Group();
    m_model->setAllowDuplicates(false);
}

void UndoMgr::undo()
{
    if (m_undoStack.isEmpty())
        return;
    Group group = m_undoStack.takeLast();
    replay(group, false);
    m_redoStack.append(std::move(group));
    followSaved();
    emit stateRedo(true);
    emit stateUndo(hasSteps(0));
    emit edited();
}

void UndoMgr::redo()
{
    if (m_redoStack.isEmpty())
        return;
    Group group = m_redoStack.takeLast();
    replay(group, true);
    m_undoStack.append(std::move(group));
    followSaved();
    emit stateUndo(true);
    emit stateRedo(hasSteps(1));
    emit edited();
}

void UndoMgr::clearHistory()
{
    m_undoStack.clear();
    m_redoStack.clear();
    m_savedDepth = m_model->isModified() ? -1 : 0;
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

// Changes run in recorded order in both directions. Only art tiles are ever
// removed by a replay; the model's results are ignored. A removal next to an
// addition hands its storage over: a removal followed by an addition in any
// case, an addition followed by the removal of another tile as well, since
// neither then changes what the other finds.
void UndoMgr::replay(const Group &group, bool redo)
{
    if (group.duplicates)
        m_model->setAllowDuplicates(true);
    const std::vector<Change> &changes = group.changes;
    QHash<quint64, TileRecord> looked;
    m_model->beginBulk();
    for (size_t i = 0; i < changes.size(); ++i) {
        const TileRecord tile = record(changes[i], looked);
        const bool add = changes[i].insert == redo;
        const bool paired = i + 1 < changes.size() && (changes[i + 1].insert == redo) != add;
        if (!paired) {
            apply(tile, add);
            continue;
        }
        const TileRecord next = record(changes[i + 1], looked);
        if (add && next == tile) {
            apply(tile, add);
            continue;
        }
        const TileRecord &gone = add ? next : tile;
        const TileRecord &added = add ? tile : next;
        Facet::TileNode node;
        if (inside(gone) && gone.kind != Terrain)
            node = m_model->takeTile(gone.x, gone.y, gone);
        if (inside(added))
            m_model->putTile(added.x, added.y, added, std::move(node));
        ++i;
    }
    m_model->endBulk();
    m_model->setAllowDuplicates(false);
}

TileRecord UndoMgr::record(const Change &change, QHash<quint64, TileRecord> &looked) const
{
    constexpr int IdBits = 16;
    const quint64 key = (quint64(quint32(change.kind)) << IdBits) | change.id;
    auto found = looked.constFind(key);
    if (found == looked.constEnd())
        found = looked.insert(key, TileRecord(change.id, 0, 0, m_data, change.kind));
    TileRecord tile = *found;
    tile.x = change.x;
    tile.y = change.y;
    tile.z = change.z;
    tile.sortZ = change.z;
    tile.hue = change.hue;
    tile.visible = change.visible;
    return tile;
}

void UndoMgr::apply(const TileRecord &tile, bool add)
{
    if (!inside(tile))
        return;
    if (add)
        m_model->addTile(tile.x, tile.y, tile);
    else if (tile.kind != Terrain)
        m_model->removeTile(tile.x, tile.y, tile);
}
