#include "model/TileReplace.h"

#include "model/Facet.h"
#include "model/UndoMgr.h"

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

int TileReplace::apply(const Plan &plan, UndoMgr &undo, const Facet &model)
{
    const int count = model.tileCount();
    undo.beginGroup();
    for (const TileRecord &t : plan.before)
        undo.removeTile(t);
    for (const TileRecord &t : plan.after)
        undo.insertTile(t);
    undo.commitGroup();
    return count - model.tileCount();
}
