#pragma once

#include <QImage>

// Floors, walls, doors, windows, stairs, roofs and fences of the sample set.
// Walls stand on the front edges of their cell and are 80 pixels (20 altitude
// steps) high: an "east-west" piece runs along the map's x axis on the cell's
// lower left edge, a "north-south" piece along the y axis on its lower right edge.
class BuildingArt
{
public:
    enum Material { Stone, Wood };
    enum Opening { Plain, Window, Door };
    enum Slope { RisingNorth, RisingWest, RisingSouth, RisingEast };

    static constexpr int WallHeight = 80;
    static constexpr int StepRise = 20; // pixels a stair piece or roof slope climbs: 5 altitude steps

    static QImage woodFloor(bool alongY);
    static QImage stoneFloor();
    static QImage checkeredFloor();
    static QImage wall(Material m, bool northSouth, Opening opening = Plain);
    static QImage corner(Material m);
    static QImage post(Material m);
    static QImage block();
    static QImage stairs(bool risingWest);
    static QImage roof(Slope s);
    static QImage ridge(bool northSouth);
    static QImage fence(bool northSouth);
    // Both fences meeting at the cell's front corner: what closes a fenced ring.
    static QImage fenceCorner();
    // Low crenellated wall for flat roofs, 24 pixels high.
    static QImage parapet(bool northSouth);
    // North-south wooden wall closing a gable end: its top climbs from
    // frontHeight (south end) to backHeight (north end) in pixels, through a
    // peak in the middle when peak > 0.
    static QImage gable(double frontHeight, double backHeight, double peak = 0);
};
