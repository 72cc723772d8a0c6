#pragma once

// Tile ids the view never draws while art and terrain both show: markers and
// helper tiles that only make sense to the game.
class NoDrawList
{
public:
    static bool contains(int kind, int id);
};
