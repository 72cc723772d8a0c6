#pragma once

#include <QImage>

// The sample set's terrain: 44 x 44 diamonds with a little texture each.
class TerrainArt
{
public:
    static QImage grass();
    static QImage dirt();
    static QImage cobbles();
    static QImage sand();
    static QImage water();
    static QImage snow();
    static QImage lava();
    static QImage swamp();
    static QImage rock();
    static QImage furrows();
};
