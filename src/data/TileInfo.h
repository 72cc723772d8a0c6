#pragma once

#include <QString>
#include <QtGlobal>

// What the game's tile data says about one terrain or art id.
struct TileInfo {
    quint32 flags = 0;
    quint8 height = 0;    // art only
    QString name;
    quint16 textureId = 0; // terrain only
};

namespace TileFlags {
constexpr quint32 Background = 0x1;     // takes part in the draw order
constexpr quint32 PartialHue = 0x40000; // only grey pixels take a hue
} // namespace TileFlags
