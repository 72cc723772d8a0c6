#pragma once

#include "data/AddonScript.h"

#include <QByteArray>

// Writes a multi as an addon script a C# game server compiles as it is: the
// addon class (unhued tiles in a component table, hued ones through the
// AddComplexComponent helper) and its deed, in namespace Server.Items.
class AddonScriptWriter
{
public:
    struct Result {
        QByteArray bytes;
        int components = 0;
        int invisible = 0; // no-draw anchors, not components
        int terrain = 0;   // an addon places items only
    };
    static Result write(const QList<TileRecord> &tiles, const AddonScript::WriteOptions &options);

    // A file name made a C# class name ending in "Addon": "small tower" -> "SmallTowerAddon".
    static QString className(const QString &baseName);
    // Its words for people: "SmallTowerAddon" -> "Small Tower".
    static QString deedName(const QString &className);
    // A C# string literal, quotes included.
    static QByteArray quoted(const QString &text);
};
