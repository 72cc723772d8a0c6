#pragma once

#include "scene/PickMask.h"
#include "scene/TileIdentity.h"

#include <QPoint>

#include <memory>

// One textured tile quad of the last paint: what picking answers from. The
// identity is the drawn tile's; kind, x and y of -1 mean no tile.
struct DrawnQuad : TileIdentity {
    QPoint corners[4]; // scene units: top-left, top-right, bottom-right, bottom-left
    qint32 serial = 0;
    // The drawn pixels (null: the whole quad), their top-left corner at
    // maskOrigin (scene units, y up), one mask pixel per scene unit.
    std::shared_ptr<const PickMask> mask;
    QPoint maskOrigin;

    static DrawnQuad none() { return DrawnQuad(); }
    bool isTile() const { return kind == Terrain || kind == Art; }
    TileIdentity identity() const { return *this; }
};
