#pragma once

#include <QtGlobal>

// The art ids of one kind of wall: the piece at a corner and the pieces of
// the sides that run along x and along y. A palette group may name them.
struct WallSet {
    quint16 corner = 0;
    quint16 alongX = 0;
    quint16 alongY = 0;

    bool operator==(const WallSet &o) const
    {
        return corner == o.corner && alongX == o.alongX && alongY == o.alongY;
    }
};
