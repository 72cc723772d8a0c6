#pragma once

#include "scene/TileIdentity.h"

#include <QPoint>

// One textured tile quad of the last paint: what picking answers from.
struct DrawnQuad {
    QPoint corners[4]; // scene units: top-left, top-right, bottom-right, bottom-left
    qint32 kind = -1;
    qint32 id = 0;
    qint32 x = -1;
    qint32 y = -1;
    qint32 z = 0;
    qint32 hue = 0;
    qint32 visible = 0;
    qint32 serial = 0;

    static DrawnQuad none() { return DrawnQuad(); }
    bool isTile() const { return kind == Terrain || kind == Art; }
    TileIdentity identity() const { return {kind, id, x, y, z, hue, visible}; }
};
