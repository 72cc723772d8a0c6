#pragma once

#include "LeWords.h"

#include <QList>

// One .mlt entry, written out by hand: id, x, y, z, visible and hue as 16-bit words.
inline QByteArray mltEntry(int id, int x, int y, int z = 0, int visible = 1, int hue = 0)
{
    return words({id, x, y, z, visible, hue});
}

// A version 0 .mlt file of the entries, each {id, x, y, z, visible, hue}.
inline QByteArray mltFile(const QList<QList<int>> &entries)
{
    QByteArray out(4, '\0');
    for (const QList<int> &e : entries)
        out += words(QVector<int>(e.begin(), e.end()));
    return out;
}
