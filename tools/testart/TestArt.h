#pragma once

#include "MulWriter.h"

// Art files of solid images and a hue table of one colour, built in memory
// for the view tests and the benchmarks.
namespace TestArt {
inline QImage solid(int w, int h, QRgb colour)
{
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

inline QByteArray hues(QRgb colour)
{
    MulWriter::Hue hue;
    hue.colours = QVector<quint16>(32, MulWriter::colour(colour));
    return MulWriter::hues(QVector<MulWriter::Hue>(64, hue));
}
} // namespace TestArt
