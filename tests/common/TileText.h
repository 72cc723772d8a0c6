#pragma once

#include "model/TileRecord.h"

#include <QStringList>

// The tiles of a map as sorted "id x y z visible" lines: order-free comparison.
inline QString tileText(const TileMap &map)
{
    QStringList lines;
    for (const QList<TileRecord> &at : map)
        for (const TileRecord &t : at)
            lines << QString::asprintf("%d %d %d %d %d", t.id, t.x, t.y, t.z, t.visible);
    lines.sort();
    return lines.join(QLatin1Char(';'));
}
