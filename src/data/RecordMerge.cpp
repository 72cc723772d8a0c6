#include "data/RecordMerge.h"

#include <QHash>

namespace {

struct StoredKey {
    quint16 id;
    qint32 x, y;
    qint16 z;
    bool visible;
    bool operator==(const StoredKey &o) const
    {
        return id == o.id && x == o.x && y == o.y && z == o.z && visible == o.visible;
    }
};

size_t qHash(const StoredKey &k, size_t seed = 0)
{
    return qHashMulti(seed, k.id, k.x, k.y, k.z, k.visible);
}

StoredKey keyOf(const TileRecord &t)
{
    return {t.id, t.x, t.y, t.z, t.visible != 0};
}

} // namespace

bool RecordMerge::sameStoredTile(const TileRecord &a, const TileRecord &b)
{
    return keyOf(a) == keyOf(b);
}

QByteArray RecordMerge::merge(const QVector<StoredRecord> &stored, const QList<TileRecord> &tiles,
                              const Encoder &encode)
{
    // How many of each tile the document holds and the stored entry does not yet cover.
    QHash<StoredKey, int> wanted;
    for (const TileRecord &t : tiles)
        ++wanted[keyOf(t)];

    QByteArray out;
    QHash<StoredKey, int> kept;
    for (const StoredRecord &r : stored) {
        const StoredKey k = keyOf(r.tile);
        const auto it = wanted.constFind(k);
        if (it == wanted.constEnd())
            continue; // its tile is gone
        out.append(r.bytes);
        ++kept[k];
    }
    for (const TileRecord &t : tiles) {
        const StoredKey k = keyOf(t);
        int &have = kept[k];
        if (have > 0) {
            // A stored record (or its duplicates) already stands for this tile.
            --have;
            continue;
        }
        out.append(encode(t));
    }
    return out;
}
