#include "FurnitureArt.h"

#include "IsoCanvas.h"

namespace {

constexpr QRgb Wood = qRgb(150, 105, 60);
constexpr QRgb DarkWood = qRgb(95, 62, 35);
constexpr QRgb Iron = qRgb(70, 70, 78);
constexpr QRgb Brass = qRgb(225, 185, 60);

void legs(IsoCanvas &c, double lo, double hi, double size, double height, const QColor &col)
{
    c.box(lo, lo + size, lo, lo + size, 0, height, col);
    c.box(hi - size, hi, lo, lo + size, 0, height, col);
    c.box(lo, lo + size, hi - size, hi, 0, height, col);
    c.box(hi - size, hi, hi - size, hi, 0, height, col);
}

} // namespace

QImage FurnitureArt::table()
{
    IsoCanvas c;
    legs(c, 0.15, 0.85, 0.07, 22, DarkWood);
    c.box(0.1, 0.9, 0.1, 0.9, 22, 26, Wood);
    return c.image();
}

QImage FurnitureArt::chair(bool facingEast)
{
    // Drawn facing south (+y); the east-facing chair swaps the axes.
    IsoCanvas c(300, facingEast);
    legs(c, 0.3, 0.7, 0.05, 13, DarkWood);
    c.box(0.3, 0.7, 0.3, 0.36, 13, 34, Wood);
    c.box(0.28, 0.72, 0.28, 0.72, 13, 16, Wood);
    return c.image();
}

QImage FurnitureArt::chest()
{
    IsoCanvas c;
    c.box(0.2, 0.8, 0.3, 0.7, 0, 14, Wood);
    c.box(0.18, 0.82, 0.28, 0.72, 14, 19, DarkWood);
    c.faceV(0.7, 0.25, 0.3, 0, 14, Iron);
    c.faceV(0.7, 0.7, 0.75, 0, 14, Iron);
    c.faceV(0.72, 0.46, 0.54, 11, 17, Brass);
    return c.image();
}

QImage FurnitureArt::bed()
{
    IsoCanvas c;
    c.box(0.05, 0.12, 0.15, 0.85, 0, 22, DarkWood); // headboard
    c.box(0.05, 0.95, 0.15, 0.85, 0, 9, Wood);
    c.box(0.1, 0.92, 0.18, 0.82, 9, 13, QColor(235, 232, 220));
    c.box(0.14, 0.32, 0.25, 0.75, 13, 16, QColor(250, 250, 245));
    c.box(0.4, 0.93, 0.17, 0.83, 13, 14, QColor(150, 40, 45));
    return c.image();
}

QImage FurnitureArt::bookshelf()
{
    IsoCanvas c;
    c.box(0.1, 0.9, 0.1, 0.4, 0, 52, DarkWood);
    for (int shelf = 0; shelf < 3; ++shelf) {
        const double base = 4 + shelf * 16;
        c.faceV(0.4, 0.14, 0.86, base, base + 13, QColor(45, 30, 20));
        for (int k = 0; k < 8; ++k) {
            const double u = 0.15 + k * 0.088;
            const double tall = 9 + IsoCanvas::noise(shelf, k, 31) * 4;
            const QColor book = QColor::fromHsv(int(IsoCanvas::noise(k, shelf, 32) * 360), 150, 170);
            c.faceV(0.4, u, u + 0.075, base, base + tall, book);
        }
    }
    return c.image();
}

QImage FurnitureArt::barrel()
{
    IsoCanvas c;
    c.cylinder(0.5, 0.5, 0.28, 0, 30, Wood);
    QPainter &p = c.painter();
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(Iron), 1));
    for (double h : {5.0, 24.0}) {
        const QPointF at = c.point(0.5, 0.5, h);
        p.drawArc(QRectF(at.x() - 8.68, at.y() - 4.34, 17.36, 8.68), 180 * 16, 180 * 16);
    }
    c.disc(0.5, 0.5, 0.22, 30, IsoCanvas::shade(Wood, 0.85));
    return c.image();
}

QImage FurnitureArt::crate()
{
    IsoCanvas c;
    c.box(0.2, 0.8, 0.2, 0.8, 0, 24, QColor(190, 150, 95));
    // Braces across the two front faces.
    c.line(0.2, 0.8, 0, 0.8, 0.8, 24, DarkWood);
    c.line(0.8, 0.2, 0, 0.8, 0.8, 24, DarkWood);
    c.faceV(0.8, 0.2, 0.8, 0, 3, DarkWood);
    c.faceV(0.8, 0.2, 0.8, 21, 24, DarkWood);
    c.faceU(0.8, 0.2, 0.8, 0, 3, DarkWood);
    c.faceU(0.8, 0.2, 0.8, 21, 24, DarkWood);
    return c.image();
}
