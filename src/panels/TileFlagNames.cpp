#include "panels/TileFlagNames.h"

namespace {
// One word each, so that a search word can name a flag.
const QVector<TileFlagNames::Flag> Flags{
    {0x1, "Background"},         {0x2, "Weapon"},        {0x4, "Transparent"},
    {0x8, "Translucent"},        {0x10, "Wall"},         {0x20, "Damaging"},
    {0x40, "Impassable"},        {0x80, "Wet"},          {0x100, "Unknown"},
    {0x200, "Surface"},          {0x400, "Bridge"},      {0x800, "Generic"},
    {0x1000, "Window"},          {0x2000, "NoShoot"},    {0x4000, "ArticleA"},
    {0x8000, "ArticleAn"},       {0x10000, "Internal"},  {0x20000, "Foliage"},
    {0x40000, "PartialHue"},     {0x80000, "NoHouse"},   {0x100000, "Map"},
    {0x200000, "Container"},     {0x400000, "Wearable"}, {0x800000, "LightSource"},
    {0x1000000, "Animation"},    {0x2000000, "HoverOver"}, {0x4000000, "NoDiagonal"},
    {0x8000000, "Armor"},        {0x10000000, "Roof"},   {0x20000000, "Door"},
    {0x40000000, "StairBack"},   {0x80000000, "StairRight"},
    // The newer tile data's upper word.
    {0x100000000, "AlphaBlend"}, {0x200000000, "UseNewArt"}, {0x400000000, "ArtUsed"},
    {0x1000000000, "NoShadow"},  {0x2000000000, "PixelBleed"}, {0x4000000000, "PlayAnimOnce"},
    {0x10000000000, "MultiMovable"},
};

// What a builder looks for first; everything else is "Other".
const QVector<TileFlagNames::Flag> Groups{
    {0x10, "Wall"},         {0x1000, "Window"},     {0x20000000, "Door"},
    {0x10000000, "Roof"},   {0x200, "Surface"},     {0x400, "Bridge"},
    {0x40000000, "StairBack"}, {0x80000000, "StairRight"}, {0x20000, "Foliage"},
    {0x80, "Wet"},          {0x200000, "Container"}, {0x800000, "LightSource"},
    {0x1000000, "Animation"}, {0x400000, "Wearable"}, {0x2, "Weapon"},
    {0x8000000, "Armor"},
};
} // namespace

const QVector<TileFlagNames::Flag> &TileFlagNames::all()
{
    return Flags;
}

const QVector<TileFlagNames::Flag> &TileFlagNames::groups()
{
    return Groups;
}

QStringList TileFlagNames::names(quint64 flags)
{
    QStringList out;
    for (const Flag &f : Flags)
        if (flags & f.bit)
            out << QString::fromLatin1(f.name);
    return out;
}

std::optional<quint64> TileFlagNames::bitFor(const QString &word)
{
    for (const Flag &f : Flags)
        if (word.compare(QLatin1String(f.name), Qt::CaseInsensitive) == 0)
            return f.bit;
    return std::nullopt;
}
