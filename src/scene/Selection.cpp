#include "scene/Selection.h"

#include "model/Facet.h"

#include <algorithm>
#include <optional>
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
    const Entries *entries = s.find(locationKey(t.x, t.y));
    return entries && entries->contains(t);
}

bool Selection::add(const TileIdentity &t, bool exclusive)
{
    if (!validKind(t.kind))
        return false;
    Set &s = m_sets[t.kind];
    ++m_revision;
    if (exclusive)
        s.clear();
    Entries &entries = s[locationKey(t.x, t.y)];
    if (entries.contains(t))
        return true;
    entries.append(t);
    return false;
}

// Room for the new keys first: growing a large table step by step rehashes it each time.
void Selection::reserveFor(qsizetype terrain, qsizetype art)
{
    if (terrain > 0)
        m_sets[Terrain].reserve(m_sets[Terrain].size() + terrain);
    if (art > 0)
        m_sets[Art].reserve(m_sets[Art].size() + art);
}

void Selection::addAll(const QList<TileRecord> &tiles)
{
    const qsizetype art = std::count_if(tiles.cbegin(), tiles.cend(),
                                        [](const TileRecord &t) { return t.kind == Art; });
    reserveFor(tiles.size() - art, art);
    for (const TileRecord &t : tiles)
        add(TileIdentity::of(t), false);
}

// One walk of the model: counting its tiles first would cost as much as adding them.
void Selection::addAll(const Facet &model)
{
    for (const Facet::TileSet &tiles : model.locations()) {
        for (const TileRecord &t : tiles)
            add(TileIdentity::of(t), false);
    }
}

bool Selection::remove(const TileIdentity &t)
{
    if (!validKind(t.kind))
        return false;
    Set &s = m_sets[t.kind];
    ++m_revision;
    const quint32 key = locationKey(t.x, t.y);
    Entries *entries = s.find(key);
    if (!entries)
        return false;
    const bool removed = entries->removeOne(t);
    if (entries->isEmpty())
        s.erase(key);
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

template <typename ToRecord>
QList<TileRecord> Selection::collect(int kind, ToRecord record) const
{
    QList<TileRecord> out;
    if (!validKind(kind))
        return out;
    out.reserve(m_sets[kind].size());
    for (const auto &entries : m_sets[kind]) {
        for (const TileIdentity &t : entries) {
            if (const std::optional<TileRecord> r = record(t))
                out.append(*r);
        }
    }
    return out;
}

QList<TileRecord> Selection::selectedTiles(const Facet &model, int kind) const
{
    return collect(kind, [&model](const TileIdentity &t) -> std::optional<TileRecord> {
        const Facet::TileSet *tiles = model.tilesAtPtr(t.x, t.y);
        if (!tiles)
            return std::nullopt;
        const auto found = std::find_if(tiles->cbegin(), tiles->cend(),
                                        [&t](const TileRecord &r) { return t.matches(r); });
        return found == tiles->cend() ? std::nullopt : std::optional<TileRecord>(*found);
    });
}

QList<TileRecord> Selection::selectedKeys(int kind) const
{
    return collect(kind, [](const TileIdentity &t) -> std::optional<TileRecord> {
        // Fields a record cannot hold match no tile of the model.
        if (t.id != quint16(t.id) || t.z != qint16(t.z) || t.hue != qint16(t.hue)
            || t.visible != qint16(t.visible))
            return std::nullopt;
        TileRecord r;
        r.kind = t.kind;
        r.id = quint16(t.id);
        r.x = t.x;
        r.y = t.y;
        r.z = qint16(t.z);
        r.sortZ = r.z;
        r.hue = qint16(t.hue);
        r.visible = qint16(t.visible);
        return r;
    });
}
