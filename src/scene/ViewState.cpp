#include "scene/ViewState.h"

#include "scene/NoDrawList.h"

#include <tuple>

namespace {
// Tiles below the storey being worked on: drawn at this share of their brightness.
constexpr float DimShare = 0.55f;

auto tied(const ViewState &s)
{
    return std::tie(s.anchor, s.pan, s.centre, s.scale, s.showArt, s.showTerrain, s.flat, s.editArt,
                    s.editTerrain, s.grid, s.showInvisible, s.clip, s.minAlt, s.maxAlt, s.dimBelow,
                    s.placingAltitude);
}
} // namespace

bool ViewState::hides(const TileRecord &t, int z) const
{
    const bool terrain = t.kind == Terrain;
    const bool art = t.kind == Art;
    if (!((terrain && showTerrain) || (art && showArt) || (terrain && flat)))
        return true;
    if (clip && (z < minAlt || z > maxAlt))
        return true;
    // The markers of the game's own tools show only when a kind is looked at alone.
    if (showArt && showTerrain && !flat && NoDrawList::contains(t.kind, t.id))
        return true;
    if (art && flat)
        return true;
    return t.visible == 0 && !showInvisible;
}

float ViewState::brightnessAt(int z) const
{
    return (dimBelow && z < placingAltitude) ? DimShare : 1.0f;
}

bool ViewState::operator==(const ViewState &o) const
{
    return tied(*this) == tied(o);
}
