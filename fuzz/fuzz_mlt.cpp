// .mlt files: whatever loads can be removed again, tiles outside the area included.
#include "FuzzInput.h"
#include "data/TileData.h"
#include "model/Facet.h"
#include "model/MltFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const TileData info;
    const MltReadResult r = MltFile::fromBytes(FuzzInput::bytes(data, size), info);
    Facet model(info);
    model.load(r.tiles);
    const QByteArray saved = MltFile::toBytes(model);
    if ((saved.size() - MltFile::HeaderSize) % MltFile::EntrySize != 0)
        __builtin_trap();
    for (const QList<TileRecord> &list : r.tiles) {
        for (const TileRecord &t : list)
            model.removeTile(t.x, t.y, t);
    }
    if (model.tileCount() != 0)
        __builtin_trap();
    return 0;
}
