// Recovery files left by an editor that ended without saving.
#include "FuzzInput.h"
#include "data/TileData.h"
#include "model/MltFile.h"
#include "model/RecoveryFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const TileData info;
    if (const std::optional<RecoveryFile> file = RecoveryFile::fromBytes(FuzzInput::bytes(data, size)))
        MltFile::fromBytes(file->mlt, info);
    return 0;
}
