#pragma once

#include "model/Facet.h"

#include <QHash>
#include <QPoint>
#include <QRect>

// Tiles by cell offset (the location key of the offset) from the location
// they are placed at.
using Brush = QHash<quint32, Facet::TileSet>;

// The rectangle of offsets a brush covers; one cell for an empty brush.
inline QRect brushExtent(const Brush &brush)
{
    QRect r;
    for (auto it = brush.cbegin(); it != brush.cend(); ++it)
        r |= QRect(keyX(it.key()), keyY(it.key()), 1, 1);
    return r.isEmpty() ? QRect(0, 0, 1, 1) : r;
}
