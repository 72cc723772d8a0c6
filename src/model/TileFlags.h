#pragma once

#include <QtGlobal>

#include <array>

// The tile data's flag bits, as builders know them: one word each, so that a
// search word can name a flag. Readers keep all 64 bits; the names come from
// Table below, so a bit and its name are written once.
namespace TileFlags {
// Bits 0 to 31 are the classic tile data's, the rest the newer one's upper word.
enum Bit : quint64 {
    Background = 0x1, /* takes part in the draw order */ Weapon = 0x2, Transparent = 0x4, Translucent = 0x8,
    Wall = 0x10, Damaging = 0x20, Impassable = 0x40, Wet = 0x80, Unknown = 0x100, Surface = 0x200, Bridge = 0x400,
    Generic = 0x800, Window = 0x1000, NoShoot = 0x2000, ArticleA = 0x4000, ArticleAn = 0x8000, Internal = 0x10000,
    Foliage = 0x20000, PartialHue = 0x40000, /* only grey pixels take a hue */ NoHouse = 0x80000, Map = 0x100000,
    Container = 0x200000, Wearable = 0x400000, LightSource = 0x800000, Animation = 0x1000000,
    HoverOver = 0x2000000, NoDiagonal = 0x4000000, Armor = 0x8000000, Roof = 0x10000000, Door = 0x20000000,
    StairBack = 0x40000000, StairRight = 0x80000000, AlphaBlend = 0x100000000, UseNewArt = 0x200000000,
    ArtUsed = 0x400000000, NoShadow = 0x1000000000, PixelBleed = 0x2000000000, PlayAnimOnce = 0x4000000000,
    MultiMovable = 0x10000000000,
};

struct Named {
    quint64 bit;
    const char *name;
};

#define TILSEN_FLAG(name) Named{name, #name}
// Every named bit, low bits first.
inline constexpr std::array<Named, 39> Table{
    TILSEN_FLAG(Background), TILSEN_FLAG(Weapon),     TILSEN_FLAG(Transparent), TILSEN_FLAG(Translucent),
    TILSEN_FLAG(Wall),       TILSEN_FLAG(Damaging),   TILSEN_FLAG(Impassable),  TILSEN_FLAG(Wet),
    TILSEN_FLAG(Unknown),    TILSEN_FLAG(Surface),    TILSEN_FLAG(Bridge),      TILSEN_FLAG(Generic),
    TILSEN_FLAG(Window),     TILSEN_FLAG(NoShoot),    TILSEN_FLAG(ArticleA),    TILSEN_FLAG(ArticleAn),
    TILSEN_FLAG(Internal),   TILSEN_FLAG(Foliage),    TILSEN_FLAG(PartialHue),  TILSEN_FLAG(NoHouse),
    TILSEN_FLAG(Map),        TILSEN_FLAG(Container),  TILSEN_FLAG(Wearable),    TILSEN_FLAG(LightSource),
    TILSEN_FLAG(Animation),  TILSEN_FLAG(HoverOver),  TILSEN_FLAG(NoDiagonal),  TILSEN_FLAG(Armor),
    TILSEN_FLAG(Roof),       TILSEN_FLAG(Door),       TILSEN_FLAG(StairBack),   TILSEN_FLAG(StairRight),
    TILSEN_FLAG(AlphaBlend), TILSEN_FLAG(UseNewArt),  TILSEN_FLAG(ArtUsed),     TILSEN_FLAG(NoShadow),
    TILSEN_FLAG(PixelBleed), TILSEN_FLAG(PlayAnimOnce), TILSEN_FLAG(MultiMovable),
};
#undef TILSEN_FLAG
} // namespace TileFlags
