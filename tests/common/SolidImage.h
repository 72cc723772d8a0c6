#pragma once

#include <QImage>

// An image of one colour; a transparent pixel at `hole`, when given, shows
// whether what is drawn keeps the art's transparency.
inline QImage solidImage(int w, int h, QRgb colour, QPoint hole = QPoint(-1, -1))
{
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(colour);
    if (image.valid(hole))
        image.setPixel(hole, 0);
    return image;
}
