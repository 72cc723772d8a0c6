#pragma once

#include "MulWriter.h"

#include <QByteArray>
#include <QMap>

// Small art files built in memory for the view's tests: solid art entries, the
// index, and a hue table whose every colour is one value.
namespace TestArt {
constexpr quint16 Red = 0x7C00;
constexpr quint16 Green = 0x03E0;
constexpr quint16 Blue = 0x001F;
constexpr quint16 White = 0x7FFF;

inline QByteArray solid(int w, int h, quint16 colour)
{
    return MulWriter::staticEntry(w, h, QVector<quint16>(w * h, colour));
}

// Art ids to entries -> artidx.mul and art.mul bytes.
inline void build(const QMap<int, QByteArray> &art, QByteArray &idx, QByteArray &mul)
{
    QMap<int, QByteArray> records;
    for (auto it = art.constBegin(); it != art.constEnd(); ++it)
        records.insert(MulWriter::ArtIndexOffset + it.key(), it.value());
    const MulWriter::IndexedFile files =
        MulWriter::indexedFile(records, MulWriter::ClassicArtRecords);
    idx = files.index;
    mul = files.data;
}

inline QByteArray hues(quint16 colour, int blocks = 8)
{
    MulWriter::Hue hue;
    hue.colours = QVector<quint16>(32, colour);
    return MulWriter::hues(QVector<MulWriter::Hue>(blocks * 8, hue));
}
} // namespace TestArt
