#pragma once

#include "model/TileRecord.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class Facet;
class TileInfoSource;

// Undo and redo history of one document, and the only road by which tiles
// enter or leave its model. Each change is a line "I:<key>" or "D:<key>";
// one user action is one group of lines, "DUPLICATE" first when the group
// was built with duplicates allowed.
class UndoMgr : public QObject
{
    Q_OBJECT
public:
    UndoMgr(const TileInfoSource &data, Facet *model, QObject *parent);

    void beginGroup();
    void insertTile(const TileRecord &tile);
    void removeTile(const TileRecord &tile);
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
    using Group = QStringList;

    bool inside(const TileRecord &tile) const;
    // Replays a group; addPrefix names the records that become additions.
    void replay(const Group &group, QChar addPrefix);

    const TileInfoSource &m_data;
    Facet *m_model;
    QList<Group> m_undoStack;
    QList<Group> m_redoStack;
    Group m_currentGroup;
};
