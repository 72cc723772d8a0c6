#pragma once

#include "model/TileRecord.h"

// The identity of one tile as the selection and picking know it: seven
// fields, equal when all seven are equal.
struct TileIdentity {
    qint32 kind = -1;
    qint32 id = 0;
    qint32 x = -1;
    qint32 y = -1;
    qint32 z = 0;
    qint32 hue = 0;
    qint32 visible = 0;

    static TileIdentity of(const TileRecord &t)
    {
        return {t.kind, t.id, t.x, t.y, t.z, t.hue, t.visible};
    }
    bool matches(const TileRecord &t) const { return *this == of(t); }
    bool operator==(const TileIdentity &o) const
    {
        return kind == o.kind && id == o.id && x == o.x && y == o.y && z == o.z && hue == o.hue
               && visible == o.visible;
    }
};
