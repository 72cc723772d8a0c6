#include "SampleMultis.h"

#include "SampleCatalogue.h"

namespace {

using C = SampleCatalogue;
using Tiles = QVector<MulWriter::MultiTile>;

void put(Tiles &t, int id, int x, int y, int z, bool visible = true)
{
    t.append(MulWriter::MultiTile{quint16(id), qint16(x), qint16(y), qint16(z), visible ? 1u : 0u});
}

// A floor over x, y in [lo, hi], the tile at (0, 0) already placed by the caller.
void floor(Tiles &t, int id, int lo, int hi, int z)
{
    for (int y = lo; y <= hi; ++y)
        for (int x = lo; x <= hi; ++x)
            if (x != 0 || y != 0)
                put(t, id, x, y, z);
}

struct RoomWalls {
    int ew, ns, corner, post;
};

// Walls round the room x, y in [-r, r]: each piece stands on a front edge of
// its cell, so the north and west walls lie in the row and column outside.
void walls(Tiles &t, const RoomWalls &w, int r, int z)
{
    for (int x = -r; x < r; ++x)
        put(t, w.ew, x, r, z);
    put(t, w.corner, r, r, z);
    for (int y = -r; y < r; ++y)
        put(t, w.ns, r, y, z);
    for (int x = -r; x <= r; ++x)
        put(t, w.ew, x, -r - 1, z);
    for (int y = -r; y <= r; ++y)
        put(t, w.ns, -r - 1, y, z);
    // Posts close the joints the slabs leave open.
    put(t, w.post, -r - 1, -r - 1, z);
    put(t, w.post, r, -r - 1, z);
    put(t, w.post, -r - 1, r, z);
}

void replace(Tiles &t, int x, int y, int z, int oldId, int newId)
{
    for (auto &tile : t)
        if (tile.x == x && tile.y == y && tile.z == z && tile.id == oldId)
            tile.id = quint16(newId);
}

} // namespace

SampleMultis::Multi SampleMultis::house()
{
    Tiles t;
    put(t, C::WoodFloor, 0, 0, 0);
    floor(t, C::WoodFloor, -2, 2, 0);
    walls(t, {C::WoodWallEW, C::WoodWallNS, C::WoodCorner, C::WoodPost}, 2, 0);
    replace(t, 0, 2, 0, C::WoodWallEW, C::WoodDoorEW);
    replace(t, -2, 2, 0, C::WoodWallEW, C::WoodWindowEW);
    replace(t, 2, 0, 0, C::WoodWallNS, C::WoodWindowNS);
    // A gable roof whose ridge runs along x.
    const int rows[5][2] = {{2, C::RoofRisingNorth}, {1, C::RoofRisingNorth}, {0, C::RidgeEW},
                            {-1, C::RoofRisingSouth}, {-2, C::RoofRisingSouth}};
    const int heights[5] = {20, 25, 30, 25, 20};
    for (int r = 0; r < 5; ++r)
        for (int x = -2; x <= 2; ++x)
            put(t, rows[r][1], x, rows[r][0], heights[r]);
    // Gable ends on the east and west wall lines.
    const int gables[5] = {C::GableLow, C::GableMiddle, C::GablePeak, C::GableMiddleDown, C::GableLowDown};
    for (int r = 0; r < 5; ++r) {
        put(t, gables[r], 2, rows[r][0], 20);
        put(t, gables[r], -3, rows[r][0], 20);
    }
    put(t, C::Table, -1, -1, 0);
    put(t, C::ChairSouth, -1, -2, 0);
    put(t, C::ChairEast, -2, -1, 0);
    put(t, C::Vase, -1, -1, 6);
    put(t, C::Bed, 1, -2, 0);
    put(t, C::Bookshelf, 0, -2, 0);
    put(t, C::Chest, -2, 1, 0);
    put(t, C::Plant, 1, 1, 0);
    put(t, C::Sign, 1, 3, 0);
    return {0, QStringLiteral("Wooden house"), t};
}

SampleMultis::Multi SampleMultis::tower()
{
    Tiles t;
    put(t, C::StoneFloor, 0, 0, 0);
    floor(t, C::StoneFloor, -2, 2, 0);
    const RoomWalls stone{C::StoneWallEW, C::StoneWallNS, C::StoneCorner, C::StonePost};
    walls(t, stone, 2, 0);
    walls(t, stone, 2, 20);
    replace(t, 0, 2, 0, C::StoneWallEW, C::StoneDoorEW);
    replace(t, 2, -1, 0, C::StoneWallNS, C::StoneWindowNS);
    replace(t, -1, 2, 20, C::StoneWallEW, C::StoneWindowEW);
    replace(t, 2, 0, 20, C::StoneWallNS, C::StoneWindowNS);
    // Stairs up the west side, each flight on blocks, to the upper floor.
    for (int step = 0; step < 4; ++step) {
        const int y = 2 - step;
        for (int b = 0; b < step; ++b)
            put(t, C::StoneBlock, -2, y, b * 5);
        put(t, C::StairsNorth, -2, y, step * 5);
    }
    for (int y = -2; y <= 2; ++y)
        for (int x = -2; x <= 2; ++x)
            if (x != -2 || y == -2)
                put(t, C::CheckeredFloor, x, y, 20);
    // Flat roof behind a parapet along the wall lines.
    for (int y = -2; y <= 2; ++y)
        for (int x = -2; x <= 2; ++x)
            put(t, C::StoneFloor, x, y, 40);
    for (int k = -2; k <= 2; ++k) {
        put(t, C::ParapetEW, k, -3, 40);
        put(t, C::ParapetNS, -3, k, 40);
        put(t, C::ParapetEW, k, 2, 40);
        put(t, C::ParapetNS, 2, k, 40);
    }
    return {1, QStringLiteral("Stone tower"), t};
}

SampleMultis::Multi SampleMultis::boat()
{
    Tiles t;
    put(t, C::WoodFloorAlongY, 0, 0, 0);
    for (int y = -4; y <= 4; ++y)
        for (int x = -1; x <= 1; ++x)
            if (x != 0 || y != 0)
                put(t, C::WoodFloorAlongY, x, y, 0);
    put(t, C::WoodFloorAlongY, 0, -5, 0);
    for (int y = -4; y <= 4; ++y) {
        put(t, C::FenceNS, 1, y, 0);
        put(t, C::FenceNS, -2, y, 0);
    }
    for (int x = -1; x <= 1; ++x)
        put(t, C::FenceEW, x, 4, 0);
    // Rails round the bow cell (0, -5).
    put(t, C::FenceEW, -1, -5, 0);
    put(t, C::FenceEW, 1, -5, 0);
    put(t, C::FenceEW, 0, -6, 0);
    put(t, C::FenceNS, 0, -5, 0);
    put(t, C::FenceNS, -1, -5, 0);
    put(t, C::Mast, 0, 0, 0);
    put(t, C::Barrel, -1, 2, 0);
    put(t, C::Crate, 0, 3, 0);
    put(t, C::Chest, 1, -3, 0);
    put(t, C::LampPost, 0, 4, 0);
    // An invisible marker where the helm would go.
    put(t, C::Marker, 0, 2, 0, false);
    return {2, QStringLiteral("Small boat"), t};
}

QVector<SampleMultis::Multi> SampleMultis::all()
{
    return {house(), tower(), boat()};
}

MulWriter::IndexedFile SampleMultis::files()
{
    QMap<int, QVector<MulWriter::MultiTile>> entries;
    for (const Multi &m : all())
        entries.insert(m.index, m.tiles);
    MulWriter::IndexedFile f = MulWriter::multiFiles(entries, IndexRecords);
    MulWriter::putIndexRecord(f.index, EmptyEntry, {0, 0, 0});
    return f;
}
