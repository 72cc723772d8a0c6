// palette.xml.
#include "FuzzInput.h"
#include "data/PaletteXml.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    PaletteXml::parse(FuzzInput::bytes(data, size));
    return 0;
}
