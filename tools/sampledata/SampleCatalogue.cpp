#include "SampleCatalogue.h"

#include "BuildingArt.h"
#include "DecorationArt.h"
#include "FurnitureArt.h"
#include "TerrainArt.h"

#include "model/TileInfo.h"

namespace {

using B = BuildingArt;
using Tile = SampleCatalogue::Tile;
constexpr quint32 Bg = TileFlags::Background;
constexpr quint8 WallZ = 20;

Tile tile(int id, const char *name, quint32 flags, quint8 height, const QString &category,
          const QString &group, std::function<QImage()> draw)
{
    return Tile{id, QByteArray(name), flags, height, {category, group}, std::move(draw)};
}

void addStructure(QVector<Tile> &t)
{
    using C = SampleCatalogue;
    t << tile(C::WoodFloor, "wooden floor", Bg, 0, "Floors", "Wood", [] { return B::woodFloor(false); })
      << tile(C::WoodFloorAlongY, "wooden floor", Bg, 0, "Floors", "Wood", [] { return B::woodFloor(true); })
      << tile(C::StoneFloor, "stone floor", Bg, 0, "Floors", "Stone", &B::stoneFloor)
      << tile(C::CheckeredFloor, "checkered floor", Bg, 0, "Floors", "Stone", &B::checkeredFloor);
    t << tile(C::StoneWallEW, "stone wall", 0, WallZ, "Walls", "Stone", [] { return B::wall(B::Stone, false); })
      << tile(C::StoneWallNS, "stone wall", 0, WallZ, "Walls", "Stone", [] { return B::wall(B::Stone, true); })
      << tile(C::StoneCorner, "stone wall corner", 0, WallZ, "Walls", "Stone", [] { return B::corner(B::Stone); })
      << tile(C::StonePost, "stone post", 0, WallZ, "Walls", "Stone", [] { return B::post(B::Stone); })
      << tile(C::ParapetEW, "stone parapet", 0, 6, "Walls", "Stone", [] { return B::parapet(false); })
      << tile(C::ParapetNS, "stone parapet", 0, 6, "Walls", "Stone", [] { return B::parapet(true); });
    t << tile(C::WoodWallEW, "wooden wall", 0, WallZ, "Walls", "Wood", [] { return B::wall(B::Wood, false); })
      << tile(C::WoodWallNS, "wooden wall", 0, WallZ, "Walls", "Wood", [] { return B::wall(B::Wood, true); })
      << tile(C::WoodCorner, "wooden wall corner", 0, WallZ, "Walls", "Wood", [] { return B::corner(B::Wood); })
      << tile(C::WoodPost, "wooden post", 0, WallZ, "Walls", "Wood", [] { return B::post(B::Wood); })
      << tile(C::GableLow, "wooden gable", 0, 5, "Walls", "Wood", [] { return B::gable(0, 20); })
      << tile(C::GableMiddle, "wooden gable", 0, 10, "Walls", "Wood", [] { return B::gable(20, 40); })
      << tile(C::GablePeak, "wooden gable", 0, 12, "Walls", "Wood", [] { return B::gable(40, 40, 50); })
      << tile(C::GableMiddleDown, "wooden gable", 0, 10, "Walls", "Wood", [] { return B::gable(40, 20); })
      << tile(C::GableLowDown, "wooden gable", 0, 5, "Walls", "Wood", [] { return B::gable(20, 0); })
      << tile(C::FenceEW, "fence", 0, 6, "Walls", "Fences", [] { return B::fence(false); })
      << tile(C::FenceNS, "fence", 0, 6, "Walls", "Fences", [] { return B::fence(true); })
      << tile(C::FenceCorner, "fence corner", 0, 6, "Walls", "Fences", &B::fenceCorner);
    t << tile(C::WoodDoorEW, "wooden door", 0, WallZ, "Doors and windows", "Doors",
              [] { return B::wall(B::Wood, false, B::Door); })
      << tile(C::WoodDoorNS, "wooden door", 0, WallZ, "Doors and windows", "Doors",
              [] { return B::wall(B::Wood, true, B::Door); })
      << tile(C::StoneDoorEW, "door in stone wall", 0, WallZ, "Doors and windows", "Doors",
              [] { return B::wall(B::Stone, false, B::Door); })
      << tile(C::StoneDoorNS, "door in stone wall", 0, WallZ, "Doors and windows", "Doors",
              [] { return B::wall(B::Stone, true, B::Door); })
      << tile(C::StoneWindowEW, "stone window", 0, WallZ, "Doors and windows", "Windows",
              [] { return B::wall(B::Stone, false, B::Window); })
      << tile(C::StoneWindowNS, "stone window", 0, WallZ, "Doors and windows", "Windows",
              [] { return B::wall(B::Stone, true, B::Window); })
      << tile(C::WoodWindowEW, "wooden window", 0, WallZ, "Doors and windows", "Windows",
              [] { return B::wall(B::Wood, false, B::Window); })
      << tile(C::WoodWindowNS, "wooden window", 0, WallZ, "Doors and windows", "Windows",
              [] { return B::wall(B::Wood, true, B::Window); });
    t << tile(C::StairsNorth, "stone stairs", Bg, 5, "Stairs", "Stone", [] { return B::stairs(false); })
      << tile(C::StairsWest, "stone stairs", Bg, 5, "Stairs", "Stone", [] { return B::stairs(true); })
      << tile(C::StoneBlock, "stone block", Bg, 5, "Stairs", "Stone", &B::block);
    t << tile(C::RoofRisingNorth, "roof", Bg, 5, "Roofs", "Slopes", [] { return B::roof(B::RisingNorth); })
      << tile(C::RoofRisingWest, "roof", Bg, 5, "Roofs", "Slopes", [] { return B::roof(B::RisingWest); })
      << tile(C::RoofRisingSouth, "roof", Bg, 5, "Roofs", "Slopes", [] { return B::roof(B::RisingSouth); })
      << tile(C::RoofRisingEast, "roof", Bg, 5, "Roofs", "Slopes", [] { return B::roof(B::RisingEast); })
      << tile(C::RidgeEW, "roof ridge", Bg, 3, "Roofs", "Ridges", [] { return B::ridge(false); })
      << tile(C::RidgeNS, "roof ridge", Bg, 3, "Roofs", "Ridges", [] { return B::ridge(true); });
}

void addFurnishing(QVector<Tile> &t)
{
    using C = SampleCatalogue;
    using F = FurnitureArt;
    using D = DecorationArt;
    t << tile(C::Table, "table", 0, 6, "Furniture", "Tables and chairs", &F::table)
      << tile(C::ChairSouth, "chair", 0, 8, "Furniture", "Tables and chairs", [] { return F::chair(false); })
      << tile(C::ChairEast, "chair", 0, 8, "Furniture", "Tables and chairs", [] { return F::chair(true); })
      << tile(C::Chest, "wooden chest", 0, 4, "Furniture", "Storage", &F::chest)
      << tile(C::Bookshelf, "bookshelf", 0, 13, "Furniture", "Storage", &F::bookshelf)
      << tile(C::Barrel, "barrel", 0, 7, "Furniture", "Storage", &F::barrel)
      << tile(C::Crate, "crate", 0, 6, "Furniture", "Storage", &F::crate)
      << tile(C::Bed, "bed", 0, 3, "Furniture", "Beds", &F::bed);
    t << tile(C::Sign, "shop sign", 0, 15, "Decoration", "Signs", &D::sign)
      << tile(C::Plant, "potted plant", 0, 8, "Decoration", "Plants", &D::plant)
      << tile(C::Vase, "vase", TileFlags::PartialHue, 8, "Decoration", "Hued", &D::vase)
      << tile(C::LampPost, "lamp post", 0, 21, "Decoration", "Lights", &D::lampPost)
      << tile(C::Mast, "mast", 0, 42, "Decoration", "Ship", &D::mast)
      << tile(C::Marker, "nodraw", Bg, 0, "Decoration", "Markers", &D::marker);
}

} // namespace

QVector<SampleCatalogue::Tile> SampleCatalogue::art()
{
    QVector<Tile> t;
    addStructure(t);
    addFurnishing(t);
    return t;
}

QVector<SampleCatalogue::Walls> SampleCatalogue::wallGroups()
{
    // A side at constant y runs along x: the east-west pieces.
    return {{QStringLiteral("Stone"), {StoneCorner, StoneWallEW, StoneWallNS}},
            {QStringLiteral("Wood"), {WoodCorner, WoodWallEW, WoodWallNS}},
            {QStringLiteral("Fences"), {FenceCorner, FenceEW, FenceNS}}};
}

QVector<SampleCatalogue::Tile> SampleCatalogue::land()
{
    using T = TerrainArt;
    return {tile(3, "grass", 0, 0, "Terrain", "Grass and earth", &T::grass),
            tile(4, "dirt", 0, 0, "Terrain", "Grass and earth", &T::dirt),
            tile(5, "cobblestones", 0, 0, "Terrain", "Stone", &T::cobbles),
            tile(6, "sand", 0, 0, "Terrain", "Grass and earth", &T::sand),
            tile(7, "water", 0, 0, "Terrain", "Water and lava", &T::water),
            tile(8, "snow", 0, 0, "Terrain", "Grass and earth", &T::snow),
            tile(9, "lava", 0, 0, "Terrain", "Water and lava", &T::lava),
            tile(10, "swamp", 0, 0, "Terrain", "Water and lava", &T::swamp),
            tile(11, "rock", 0, 0, "Terrain", "Stone", &T::rock),
            tile(12, "furrows", 0, 0, "Terrain", "Grass and earth", &T::furrows)};
}
