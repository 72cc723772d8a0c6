#pragma once

#include "scene/TileIdentity.h"

#include <QtGlobal>

#include <vector>

class Selection;

// The selected identities in the order of the map: row by row of cells, each
// cell bottom to top (then by id). Walked only as far as asked, so a list
// over a large selection orders no more than the rows it shows.
class SelectionWalk
{
public:
    // From the first cell of the selection as it is now.
    void start(const Selection &sel);
    // Appends to `rows` until it holds `count` identities or the walk is over.
    // A selection changed since the start ends the walk: what it would give
    // then is not the order begun.
    void extend(const Selection &sel, std::vector<TileIdentity> &rows, size_t count);
    bool done() const { return m_done; }

    // The order of the walk.
    static bool before(const TileIdentity &a, const TileIdentity &b);

private:
    // Identities outside the editing area, in order: few, and kept apart.
    std::vector<TileIdentity> m_far;
    size_t m_farNext = 0;
    qint32 m_left = 0, m_right = -1, m_bottom = -1;
    qint32 m_x = 0, m_y = 0;
    quint64 m_revision = 0;
    bool m_done = true;
};
