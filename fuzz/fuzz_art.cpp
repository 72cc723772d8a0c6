// The art index and its entries: every decode of the first ids of each kind.
// The index records given serve as terrain ids 0, 1, ... and again as art ids
// 0, 1, ..., so that small inputs reach both decoders.
#include "FuzzInput.h"
#include "data/ArtReader.h"

namespace {
constexpr int RecordSize = 12;
constexpr int TerrainRecords = 0x4000;
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const auto [given, entries] = FuzzInput::split(data, size);
    QByteArray index = given;
    if (given.size() < TerrainRecords * RecordSize)
        index += QByteArray(TerrainRecords * RecordSize - given.size(), '\xff') + given;
    ArtReader art;
    art.loadFromBytes(index, entries);
    constexpr int Ids = 8;
    const quint16 hue[32] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16,
                             17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32};
    for (int id = 0; id < Ids && id < art.staticCount(); ++id) {
        int w = 0, h = 0, tw = 0, th = 0;
        art.staticPixels(id, w, h);
        art.staticTexture(id, hue, id % 2 == 0, 0xFF000000, tw, th, w, h);
        art.staticImage(id, nullptr, false);
    }
    for (int id = 0; id < Ids && id < art.landCount(); ++id) {
        art.landPixels(id);
        art.landImage(id, hue, true);
    }
    return 0;
}
