#pragma once

#include "model/TileInfo.h"

// A source that knows nothing: for decoding records whose tile facts do not matter.
class NoTileInfo : public TileInfoSource
{
public:
    TileInfo landInfo(int) const override { return {}; }
    TileInfo staticInfo(int) const override { return {}; }
};
