// The clipboard and drag payload.
#include "FuzzInput.h"
#include "data/TileData.h"
#include "model/MimeMgr.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const TileData info;
    static MimeMgr mime(info);
    int x = 0, y = 0;
    qint16 z = 0;
    const TileMap tiles = mime.decodeBytes(FuzzInput::bytes(data, size), x, y, z);
    MimeMgr::encodeBytes(tiles, x, y, z);
    return 0;
}
