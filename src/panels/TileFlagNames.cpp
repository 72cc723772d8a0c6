#include "panels/TileFlagNames.h"

#include <algorithm>

namespace {
const QVector<TileFlagNames::Flag> Flags(TileFlags::Table.cbegin(), TileFlags::Table.cend());

// What a builder looks for first; everything else is "Other".
const QVector<TileFlagNames::Flag> Groups = [] {
    using namespace TileFlags;
    QVector<TileFlagNames::Flag> out;
    for (const quint64 bit : {Wall, Window, Door, Roof, Surface, Bridge, StairBack, StairRight, Foliage, Wet,
                              Container, LightSource, Animation, Wearable, Weapon, Armor})
        out.append(*std::find_if(Table.cbegin(), Table.cend(), [bit](const Named &n) { return n.bit == bit; }));
    return out;
}();
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
