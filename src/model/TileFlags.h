#pragma once

#include <QtGlobal>

#include <array>

// The tile data's flag bits, as builders know them: one word each, so that a
// search word can name a flag. Readers keep all 64 bits; the names come from
// Table below, so a bit and its name are written once.
namespace TileFlags {
constexpr quint64 Background = 0x1; // takes part in the draw order
constexpr quint64 Weapon = 0x2;
constexpr quint64 Transparent = 0x4;
constexpr quint64 Translucent = 0x8;
constexpr quint64 Wall = 0x10;
constexpr quint64 Damaging = 0x20;
constexpr quint64 Impassable = 0x40;
constexpr quint64 Wet = 0x80;
constexpr quint64 Unknown = 0x100;
constexpr quint64 Surface = 0x200;
constexpr quint64 Bridge = 0x400;
constexpr quint64 Generic = 0x800;
constexpr quint64 Window = 0x1000;
constexpr quint64 NoShoot = 0x2000;
constexpr quint64 ArticleA = 0x4000;
constexpr quint64 ArticleAn = 0x8000;
constexpr quint64 Internal = 0x10000;
constexpr quint64 Foliage = 0x20000;
constexpr quint64 PartialHue = 0x40000; // only grey pixels take a hue
constexpr quint64 NoHouse = 0x80000;
constexpr quint64 Map = 0x100000;
constexpr quint64 Container = 0x200000;
constexpr quint64 Wearable = 0x400000;
constexpr quint64 LightSource = 0x800000;
constexpr quint64 Animation = 0x1000000;
constexpr quint64 HoverOver = 0x2000000;
constexpr quint64 NoDiagonal = 0x4000000;
constexpr quint64 Armor = 0x8000000;
constexpr quint64 Roof = 0x10000000;
constexpr quint64 Door = 0x20000000;
constexpr quint64 StairBack = 0x40000000;
constexpr quint64 StairRight = 0x80000000;
// The newer tile data's upper word.
constexpr quint64 AlphaBlend = 0x100000000;
constexpr quint64 UseNewArt = 0x200000000;
constexpr quint64 ArtUsed = 0x400000000;
constexpr quint64 NoShadow = 0x1000000000;
constexpr quint64 PixelBleed = 0x2000000000;
constexpr quint64 PlayAnimOnce = 0x4000000000;
constexpr quint64 MultiMovable = 0x10000000000;

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
