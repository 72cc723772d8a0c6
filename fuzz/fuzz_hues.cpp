// hues.mul.
#include "FuzzInput.h"
#include "data/HueTable.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    HueTable hues;
    hues.loadFromBytes(FuzzInput::bytes(data, size));
    for (int h : {-1, 0, 1, 2, hues.count() - 1, hues.count(), hues.count() + 1, 0x7FFF})
        hues.colours(h);
    return 0;
}
