#pragma once

#include "scene/TileIdentity.h"

#include <QPoint>

// One textured tile quad of the last paint: what picking answers from. The
// identity is the drawn tile's; kind, x and y of -1 mean no tile.
struct DrawnQuad : TileIdentity {
    QPoint corners[4]; // scene units: top-left, top-right, bottom-right, bottom-left
    qint32 serial = 0;

    static DrawnQuad none() { return DrawnQuad(); }
    bool isTile() const { return kind == Terrain || kind == Art; }
    TileIdentity identity() const { return *this; }
};
