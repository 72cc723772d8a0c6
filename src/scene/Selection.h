#pragma once

#include "scene/SelectionSet.h"
#include "scene/TileIdentity.h"

#include <QList>

class Facet;

// The selected tiles of a view: one set per kind (0 terrain, 1 art), keyed by
// location. Holds identities, not references into the model.
class Selection
{
public:
    using Entries = SelectionSet::Entries;
    using Set = SelectionSet;
    // What clear() empties: the values of the view's selection interface.
    enum ClearWhich : int { ClearBoth = 0, ClearTerrain = 1, ClearArt = 2 };

    bool query(const TileIdentity &t) const;
    // Adds the tile (after clearing its kind's set when exclusive); true when it was already there.
    bool add(const TileIdentity &t, bool exclusive);
    bool remove(const TileIdentity &t);
    // add (not exclusive) of every tile, and of every tile of the model.
    void addAll(const QList<TileRecord> &tiles);
    void addAll(const Facet &model);
    // which: a ClearWhich.
    void clear(int which);
    bool isEmpty(int kind) const;
    int count(int kind) const;
    const Set &set(int kind) const { return m_sets[kind == Art ? 1 : 0]; }
    // For each selected identity of the kind, the matching record of the model.
    QList<TileRecord> selectedTiles(const Facet &model, int kind) const;
    // Each selected identity of the kind as a record of its seven key fields
    // only, without looking the model up: what the model finds its tiles by.
    QList<TileRecord> selectedKeys(int kind) const;
    // Counts the calls that may have changed the selection: views compare it
    // to know whether their picture shows the current one.
    quint64 revision() const { return m_revision; }

private:
    // The records `record` makes of the kind's selected identities (none when it
    // returns nothing).
    template <typename ToRecord>
    QList<TileRecord> collect(int kind, ToRecord record) const;
    bool validKind(qint32 kind) const;
    void reserveFor(qsizetype terrain, qsizetype art);
    Set m_sets[2];
    quint64 m_revision = 0;
};
