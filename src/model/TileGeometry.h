#pragma once

// The isometric tile of the game's art: a 44x44 diamond whose cell steps are 22 pixels,
// with 4 screen pixels per unit of altitude.
namespace TileGeometry {
constexpr int Width = 44;
constexpr int HalfWidth = Width / 2;
constexpr int PixelsPerZ = 4;
} // namespace TileGeometry
