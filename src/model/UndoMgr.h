#pragma once

#include "model/TileRecord.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <vector>

class Facet;
class TileInfoSource;

// Undo and redo history of one document, and the only road by which tiles
// enter or leave its model. Each change is an insertion or a deletion of one
// tile; one user action is one group of changes, marked when it was built
// with duplicates allowed.
class UndoMgr : public QObject
{
    Q_OBJECT
public:
    UndoMgr(const TileInfoSource &data, Facet *model, QObject *parent);

    void beginGroup();
    void insertTile(const TileRecord &tile);
    void removeTile(const TileRecord &tile);
    // removeTile of each tile and insertTile of it moved by (dx, dy, dz), in
    // turn, reusing each tile's storage; gives every moved tile, added or not.
    // The tiles need only their key fields: the model's own records move, and
    // a tile the model does not hold is passed over.
    QList<TileRecord> moveTiles(const QList<TileRecord> &tiles, int dx, int dy, int dz);
    void markDuplicate();
    void commitGroup();
    void undo();
    void redo();
    void clearHistory();
    // which 0: something to undo; 1: something to redo.
    bool hasSteps(int which) const;

signals:
    void stateUndo(bool available);
    void stateRedo(bool available);
    // The model changed by one user action, an undo or a redo.
    void edited();

private:
    // The seven fields of a tile's key, as small as they go (a large move
    // keeps two for each tile); a replay looks the tile data up again.
    struct Change {
        qint32 x = 0;
        qint32 y = 0;
        qint32 kind = 0;
        quint16 id = 0;
        qint16 z = 0;
        qint16 hue = 0;
        qint16 visible = 0;
        bool insert = false;
        static Change of(const TileRecord &tile, bool insert)
        {
            return {tile.x, tile.y, tile.kind, tile.id, tile.z, tile.hue, tile.visible, insert};
        }
    };
    struct Group {
        bool duplicates = false;
        std::vector<Change> changes;
        bool isEmpty() const { return changes.empty() && !duplicates; }
    };

    bool inside(const TileRecord &tile) const;
    // Back at the saved state after an undo or redo: the model is unmodified again.
    void followSaved();
    // Replays a group; redo replays insertions as additions, undo as removals.
    void replay(const Group &group, bool redo);
    // The tile of a change, its tile data looked up once per kind and id of a replay.
    TileRecord record(const Change &change, QHash<quint64, TileRecord> &looked) const;
    // One change of a replay: an addition or a removal of the tile.
    void apply(const TileRecord &tile, bool add);

    const TileInfoSource &m_data;
    Facet *m_model;
    QList<Group> m_undoStack;
    QList<Group> m_redoStack;
    Group m_currentGroup;
    // The undo history's length when the tiles were as saved or opened; -1
    // when no undo or redo leads back there.
    int m_savedDepth;
};
