#include "model/RecordCodec.h"

#include <QtEndian>

namespace {
constexpr int XOffset = 2;
constexpr int YOffset = 4;
constexpr int ZOffset = 6;
constexpr int FlagsOffset = RecordCodec::PlaceSize;
}

TileRecord RecordCodec::decodePlace(const uchar *p, const TileInfoSource &data)
{
    TileRecord tile(qFromLittleEndian<quint16>(p), 0, 0, data, Art);
    tile.x = qFromLittleEndian<qint16>(p + XOffset);
    tile.y = qFromLittleEndian<qint16>(p + YOffset);
    tile.z = qFromLittleEndian<qint16>(p + ZOffset);
    tile.sortZ = tile.z;
    return tile;
}

void RecordCodec::encodePlace(const TileRecord &tile, uchar *p)
{
    qToLittleEndian<quint16>(tile.id, p);
    qToLittleEndian<qint16>(qint16(tile.x), p + XOffset);
    qToLittleEndian<qint16>(qint16(tile.y), p + YOffset);
    qToLittleEndian<qint16>(tile.z, p + ZOffset);
}

TileRecord RecordCodec::decode(const uchar *p, const TileInfoSource &data)
{
    TileRecord tile = decodePlace(p, data);
    tile.visible = qFromLittleEndian<qint16>(p + FlagsOffset);
    return tile;
}

quint32 RecordCodec::flags(const uchar *p)
{
    return qFromLittleEndian<quint32>(p + FlagsOffset);
}

void RecordCodec::encode(const TileRecord &tile, quint32 flags, uchar *p)
{
    encodePlace(tile, p);
    qToLittleEndian<quint32>(flags, p + FlagsOffset);
}
