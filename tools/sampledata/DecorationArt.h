#pragma once

#include <QImage>

// Signs, plants, lamps and other small pieces of the sample set.
class DecorationArt
{
public:
    static QImage sign();
    static QImage plant();
    // Grey only where a hue should take: the tile data marks it partial hue.
    static QImage vase();
    static QImage lampPost();
    static QImage mast();
    // A plain marker for ids that the view leaves out while it shows terrain.
    static QImage marker();
};
