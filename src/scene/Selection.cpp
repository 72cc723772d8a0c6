#include "scene/Selection.h"

#include "model/Facet.h"

#include <cstdio>

bool Selection::validKind(qint32 kind) const
{
    if (kind == Terrain || kind == Art)
        return true;
    std::fputs("illegal type\n", stdout);
    std::fflush(stdout);
    return false;
}

bool Selection::query(const TileIdentity &t) const
{
    if (!validKind(t.kind))
        return false;
    const Set &s = m_sets[t.kind];
    const auto it = s.constFind(locationKey(t.x, t.y));
    return it != s.cend() && it->contains(t);
}

bool Selection::add(const TileIdentity &t, bool exclusive)
{
    if (!validKind(t.kind))
        return false;
    Set &s = m_sets[t.kind];
    ++m_revision;
    if (exclusive)
        s.clear();
    QList<TileIdentity> &entries = s[locationKey(t.x, t.y)];
    if (entries.contains(t))
        return true;
    entries.append(t);
    return false;
}

bool Selection::remove(const TileIdentity &t)
{
    if (!validKind(t.kind))
        return false;
    Set &s = m_sets[t.kind];
    ++m_revision;
    const auto it = s.find(locationKey(t.x, t.y));
    if (it == s.end())
        return false;
    const bool removed = it->removeOne(t);
    if (it->isEmpty())
        s.erase(it);
    return removed;
}

void Selection::clear(int which)
{
    ++m_revision;
    switch (which) {
    case ClearBoth:
        m_sets[0].clear();
        m_sets[1].clear();
        break;
    case ClearTerrain:
        m_sets[0].clear();
        break;
    case ClearArt:
        m_sets[1].clear();
        break;
    default:
        validKind(-1);
    }
}

bool Selection::isEmpty(int kind) const
{
    return set(kind).isEmpty();
}

int Selection::count(int kind) const
{
    int n = 0;
    for (const auto &entries : set(kind))
        n += int(entries.size());
    return n;
}

QList<TileRecord> Selection::selectedTiles(const Facet &model, int kind) const
{
    QList<TileRecord> out;
    if (!validKind(kind))
        return out;
    for (const auto &entries : m_sets[kind]) {
        for (const TileIdentity &t : entries) {
            const Facet::TileSet *tiles = model.tilesAtPtr(t.x, t.y);
            if (!tiles)
                continue;
            for (const TileRecord &r : *tiles) {
                if (t.matches(r)) {
                    out.append(r);
                    break;
                }
            }
        }
    }
    return out;
}
