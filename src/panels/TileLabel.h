#pragma once

#include <QString>

struct TileInfo;

// How the palette names a tile: its tile data name as the item's text, and
// a tooltip with the id in hex and decimal, the height and the flags by name.
class TileLabel
{
public:
    // The name, or the id in decimal for a tile the tile data leaves unnamed.
    static QString text(int id, const TileInfo &info);
    static QString toolTip(int id, const TileInfo &info);
    // "0x0064 (100)"
    static QString idText(int id);
};
