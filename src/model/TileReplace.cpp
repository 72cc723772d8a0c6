#include "model/TileReplace.h"

#include "model/Facet.h"
#include "model/UndoMgr.h"

#include <QSet>

#include <algorithm>

TileReplace::IdMap TileReplace::pieceByPiece(const QList<qint32> &from, const QList<qint32> &to,
                                             QList<quint16> *unpartnered)
{
    IdMap map;
    for (qsizetype n = 0; n < from.size(); ++n) {
        const quint16 id = quint16(from[n]);
        // A group may list a piece twice: its first place decides.
        if (map.contains(id))
            continue;
        if (n < to.size())
            map.insert(id, quint16(to[n]));
        else if (unpartnered && !unpartnered->contains(id))
            unpartnered->append(id);
    }
    return map;
}

TileReplace::Plan TileReplace::plan(const QList<TileRecord> &tiles, const IdMap &map, const TileInfoSource &data,
                                    qint32 kind)
{
    Plan p;
    if (map.isEmpty())
        return p;
    for (const TileRecord &t : tiles) {
        if (t.kind != kind)
            continue;
        const auto found = map.constFind(t.id);
        if (found == map.cend() || *found == t.id)
            continue;
        TileRecord changed = t;
        changed.id = *found;
        changed.lookUp(data);
        p.before.append(t);
        p.after.append(changed);
        ++p.counts[t.id];
    }
    return p;
}

namespace {
// A tile's key fields: what makes two tiles equal.
struct Key {
    qint32 x, y, kind;
    quint16 id;
    qint16 z, hue, visible;
    static Key of(const TileRecord &t) { return {t.x, t.y, t.kind, t.id, t.z, t.hue, t.visible}; }
    bool operator==(const Key &o) const
    {
        return x == o.x && y == o.y && kind == o.kind && id == o.id && z == o.z && hue == o.hue && visible == o.visible;
    }
};
size_t qHash(const Key &k, size_t seed = 0)
{
    return qHashMulti(seed, k.x, k.y, k.kind, k.id, k.z, k.hue, k.visible);
}

// A new tile equal to an old one the plan replaces (ids swapped where both
// stand): a replay runs its changes in order both ways, so undoing adds the
// old tiles back while their equals still stand.
bool swapsInPlace(const TileReplace::Plan &plan)
{
    // Most replacements bring ids that none of the replaced tiles had.
    if (std::none_of(plan.after.cbegin(), plan.after.cend(),
                     [&](const TileRecord &t) { return plan.counts.contains(t.id); }))
        return false;
    QSet<Key> before;
    before.reserve(plan.before.size());
    for (const TileRecord &t : plan.before)
        before.insert(Key::of(t));
    return std::any_of(plan.after.cbegin(), plan.after.cend(),
                       [&](const TileRecord &t) { return before.contains(Key::of(t)); });
}
} // namespace

int TileReplace::apply(const Plan &plan, UndoMgr &undo, const Facet &model)
{
    const int count = model.tileCount();
    undo.beginGroup();
    // Equal tiles stand together for a moment then, as a duplicate group allows.
    if (swapsInPlace(plan))
        undo.markDuplicate();
    for (const TileRecord &t : plan.before)
        undo.removeTile(t);
    for (const TileRecord &t : plan.after)
        undo.insertTile(t);
    undo.commitGroup();
    return count - model.tileCount();
}
