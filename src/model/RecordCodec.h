#pragma once

#include "model/TileRecord.h"

class TileInfoSource;

// The 12-byte little-endian placed-tile record that the editor's own files and
// the client's multi records share: id u16, x i16, y i16, z i16, flags u32.
// What the flags carry differs per file; the caller packs and unpacks them.
// The packed container's records begin with the same id and place.
class RecordCodec
{
public:
    static constexpr int Size = 12;
    static constexpr int PlaceSize = 8;

    // Id and place only (PlaceSize bytes); the tile stays visible.
    static TileRecord decodePlace(const uchar *p, const TileInfoSource &data);
    static void encodePlace(const TileRecord &tile, uchar *p);

    // The tile at p, its visibility taken from the low half of the flags.
    static TileRecord decode(const uchar *p, const TileInfoSource &data);
    static quint32 flags(const uchar *p);
    // Writes Size bytes at p.
    static void encode(const TileRecord &tile, quint32 flags, uchar *p);
};
