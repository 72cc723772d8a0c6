#pragma once

#include "model/Altitude.h"
#include "model/TileRecord.h"

#include <QPoint>

// How one view shows a multi: placement, what is drawn, the clip range and
// the dimming of lower storeys. The GL view paints with it and the CPU
// renderer draws with it, so which tiles are hidden is decided once, here.
struct ViewState {
    // Scene units are counted from the anchor location; the pan (whole
    // pixels, y up) moves the scene origin off the middle; the centre is the
    // location at the middle.
    QPoint anchor{0, 0};
    QPoint pan{0, 0};
    QPoint centre{0, 0};
    double scale = 1.0;
    bool showArt = true;
    bool showTerrain = true;
    bool flat = false;
    bool editArt = true;
    bool editTerrain = false;
    bool grid = false;
    bool showInvisible = true;
    bool clip = false;
    int minAlt = Altitude::Min;
    int maxAlt = Altitude::Max;
    // Tiles below the placing altitude are drawn darker.
    bool dimBelow = false;
    int placingAltitude = 0;

    // Whether the tile, drawn at altitude z, is not drawn at all.
    bool hides(const TileRecord &t, int z) const;
    // 1 for a tile as it is; less for one on a storey below the placing altitude.
    float brightnessAt(int z) const;
    bool operator==(const ViewState &o) const;
    bool operator!=(const ViewState &o) const { return !(*this == o); }
};
