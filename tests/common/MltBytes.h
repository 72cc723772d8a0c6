#pragma once

#include "LeWords.h"

#include <QList>
#include <QtEndian>

#include <algorithm>

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

// The entries of a .mlt file, each {id, x, y, z, visible, hue}, sorted: what
// was written, in whatever order.
inline QList<QList<int>> mltEntries(const QByteArray &file)
{
    QList<QList<int>> out;
    for (qsizetype at = 4; at + 12 <= file.size(); at += 12) {
        QList<int> e;
        for (int w = 0; w < 6; ++w)
            e << qFromLittleEndian<qint16>(file.constData() + at + 2 * w);
        e[0] = quint16(e[0]);
        out << e;
    }
    std::sort(out.begin(), out.end());
    return out;
}
