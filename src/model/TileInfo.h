#pragma once

#include "model/TileFlags.h"

#include <QString>
#include <QtGlobal>

// What the game's tile data says about one terrain or art id.
struct TileInfo {
    quint64 flags = 0; // the newer tile data's 64 bits, kept whole
    quint8 height = 0;    // art only
    QString name;
    quint16 textureId = 0; // terrain only
};

// Where tile records look up what the game says of an id. The tile data file
// is the real one; keeping the interface here keeps the model free of readers.
class TileInfoSource
{
public:
    virtual ~TileInfoSource() = default;
    virtual TileInfo landInfo(int id) const = 0;   // height always 0
    virtual TileInfo staticInfo(int id) const = 0; // textureId always 0
};
