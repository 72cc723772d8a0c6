#pragma once

#include "MltBytes.h"

// A .mlt file of `count` tiles 7 at (n % 200, n / 200), in the order a save
// writes them: rows, then columns.
inline QByteArray mltRows(int count)
{
    QByteArray out(4, '\0');
    for (int n = 0; n < count; ++n)
        out += mltEntry(7, n % 200, n / 200);
    return out;
}
