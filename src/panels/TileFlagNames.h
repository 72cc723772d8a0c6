#pragma once

#include "model/TileFlags.h"

#include <QString>
#include <QStringList>
#include <QVector>
#include <QtGlobal>

#include <optional>

// The names of the tile data's flag bits (TileFlags::Table). The same word
// names a flag in tooltips and in the palette's search.
class TileFlagNames
{
public:
    using Flag = TileFlags::Named;

    // Every named bit, low bits first.
    static const QVector<Flag> &all();
    // The names of the bits set in flags, low bits first.
    static QStringList names(quint64 flags);
    // The bit a word names (any case), if it names one.
    static std::optional<quint64> bitFor(const QString &word);
    // The flags the palette's "All tiles" tab groups by, in tab order.
    static const QVector<Flag> &groups();
};
