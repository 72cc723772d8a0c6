#pragma once

#include "model/TileRecord.h"

#include <QStringList>

// The keys (id:x:y:z:hue:visible:kind) of every tile of a location table,
// a model's or a reader's, sorted: an order-free comparison with duplicates.
template <class Table> QStringList tileKeys(const Table &table)
{
    QStringList out;
    for (const auto &tiles : table)
        for (const TileRecord &t : tiles)
            out << t.key();
    out.sort();
    return out;
}
