// multi.xml, the list of known multis.
#include "FuzzInput.h"
#include "data/MultiNames.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    MultiNames::parse(FuzzInput::bytes(data, size));
    return 0;
}
