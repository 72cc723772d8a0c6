#pragma once

#include <QByteArray>
#include <QVector>

// Little-endian 16-bit words, as the game's files store them; a 32-bit field is two words.
inline QByteArray words(const QVector<int> &values)
{
    QByteArray b;
    for (int v : values)
        b.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF));
    return b;
}
