// The multi index and data pair, as an import reads it.
#include "FuzzInput.h"
#include "data/MultiImport.h"
#include "data/TileData.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const TileData info;
    const auto [index, entries] = FuzzInput::split(data, size);
    TileMap tiles;
    for (int number = -1; number < 16; ++number)
        MultiImport::entryFromBytes(index, entries, number, info, tiles);
    return 0;
}
