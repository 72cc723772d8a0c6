// tiledata.mul in any of its layouts.
#include "FuzzInput.h"
#include "data/TileData.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TileData tiles;
    tiles.loadFromBytes(FuzzInput::bytes(data, size));
    for (int id : {0, 1, tiles.landCount() - 1, tiles.landCount(), 0x4000, 0xFFFF}) {
        tiles.landInfo(id);
        tiles.staticInfo(id);
    }
    tiles.staticInfo(tiles.staticCount() - 1);
    return 0;
}
