#pragma once

#include "model/TileRecord.h"

#include <QByteArray>
#include <QList>
#include <QVector>

#include <functional>

// One record of a stored multi entry: its bytes exactly as the file holds
// them and the tile they decode to.
struct StoredRecord {
    TileRecord tile;
    QByteArray bytes;
};

// Rewrites a stored entry so that what the user did not change stays as it
// was: every stored record whose tile (id, x, y, z, visible) is still among
// `tiles` keeps its bytes and its place, its exact duplicates included;
// tiles that no stored record holds are encoded by `encode` and appended in
// the order given; records whose tile is gone are left out. An unedited
// entry therefore comes back byte for byte.
namespace RecordMerge {

using Encoder = std::function<QByteArray(const TileRecord &)>;

QByteArray merge(const QVector<StoredRecord> &stored, const QList<TileRecord> &tiles,
                 const Encoder &encode);

// The identity the merge compares: what a multi record stores of a tile.
bool sameStoredTile(const TileRecord &a, const TileRecord &b);

} // namespace RecordMerge
