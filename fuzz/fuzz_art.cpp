// The art index and its entries: every decode of the first ids of each kind.
// The index records given serve as terrain ids 0, 1, ... and again as art ids
// 0, 1, ..., so that small inputs reach both decoders.
#include "FuzzInput.h"
#include "data/ArtReader.h"

#include <QtEndian>

namespace {
constexpr int RecordSize = 12;
constexpr int TerrainRecords = 0x4000;
// Every path of the decoders is met with small images; one of 2048 x 2048
// (the largest the reader takes) costs tens of milliseconds in a sanitized
// build, so sizes above this are folded below it. Zero and sizes past the
// reader's limit stay as they are: those are refused before any work.
constexpr int SmallSide = 64;
constexpr int ReaderMaxSide = 2048;

void foldArtSizes(const QByteArray &index, QByteArray &entries)
{
    auto *bytes = reinterpret_cast<uchar *>(entries.data());
    for (qsizetype at = 0; at + RecordSize <= index.size(); at += RecordSize) {
        const qint64 offset = qFromLittleEndian<qint32>(index.constData() + at);
        if (offset < 0 || offset + 8 > entries.size())
            continue;
        for (const qint64 field : {offset + 4, offset + 6}) {
            const quint16 side = qFromLittleEndian<quint16>(bytes + field);
            if (side > SmallSide && side <= ReaderMaxSide)
                qToLittleEndian<quint16>(quint16(side % SmallSide + 1), bytes + field);
        }
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    auto [given, entries] = FuzzInput::split(data, size);
    foldArtSizes(given, entries);
    // One reader and one index buffer for every input: each load starts
    // afresh. The reader lets go of the last index first, so the buffer is
    // refilled in place rather than allocated (and faulted in) again.
    static ArtReader art;
    static QByteArray index;
    art.loadFromBytes(QByteArray(), QByteArray());
    index.truncate(0);
    index += given;
    if (given.size() < TerrainRecords * RecordSize) {
        index.resize(TerrainRecords * RecordSize, '\xff');
        index += given;
    }
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
