#pragma once

#include "model/WallSet.h"

#include <QByteArray>
#include <QImage>
#include <QStringList>
#include <QVector>

#include <functional>

// Every tile of the sample set: id, tile data, palette category and picture.
class SampleCatalogue
{
public:
    struct Tile {
        int id = 0;
        QByteArray name;
        quint32 flags = 0;
        quint8 height = 0;
        QStringList category; // palette category and nested group
        std::function<QImage()> draw;
    };

    // Art tile ids the multis use.
    enum ArtId {
        Marker = 1, // inside the view's no-draw list on purpose
        WoodFloor = 1000, WoodFloorAlongY, StoneFloor, CheckeredFloor,
        StoneWallEW = 1100, StoneWallNS, StoneCorner, StonePost, ParapetEW, ParapetNS,
        WoodWallEW = 1200, WoodWallNS, WoodCorner, WoodPost,
        GableLow = 1210, GableMiddle, GablePeak, GableMiddleDown, GableLowDown,
        FenceEW = 1250, FenceNS, FenceCorner,
        WoodDoorEW = 1300, WoodDoorNS, StoneDoorEW, StoneDoorNS,
        StoneWindowEW = 1310, StoneWindowNS, WoodWindowEW, WoodWindowNS,
        StairsNorth = 1400, StairsWest, StoneBlock,
        RoofRisingNorth = 1500, RoofRisingWest, RoofRisingSouth, RoofRisingEast, RidgeEW, RidgeNS,
        Table = 1600, ChairSouth, ChairEast, Chest, Bookshelf, Barrel, Crate, Bed,
        Sign = 1700, Plant, Vase, LampPost, Mast
    };

    static QVector<Tile> art();
    // The wall groups of the palette ("Walls" and a group), each with the
    // corner and side pieces Hollow Rectangle builds a closed ring of.
    struct Walls {
        QString group;
        WallSet pieces;
    };
    static QVector<Walls> wallGroups();
    static QVector<Tile> land();
};
