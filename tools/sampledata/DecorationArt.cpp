#include "DecorationArt.h"

#include "IsoCanvas.h"

#include <cmath>

namespace {
constexpr QRgb Wood = qRgb(150, 105, 60);
constexpr QRgb DarkWood = qRgb(95, 62, 35);
} // namespace

QImage DecorationArt::sign()
{
    IsoCanvas c;
    c.box(0.45, 0.55, 0.45, 0.55, 0, 62, DarkWood);
    c.box(0.1, 0.55, 0.47, 0.53, 56, 59, DarkWood); // arm
    c.line(0.15, 0.5, 56, 0.15, 0.5, 50, QColor(40, 40, 40));
    c.line(0.45, 0.5, 56, 0.45, 0.5, 50, QColor(40, 40, 40));
    c.faceV(0.53, 0.08, 0.52, 30, 50, QColor(90, 60, 35));
    c.faceV(0.53, 0.11, 0.49, 33, 47, QColor(225, 205, 160));
    // A few painted strokes: the board's lettering.
    for (int k = 0; k < 3; ++k)
        c.faceV(0.53, 0.15 + k * 0.11, 0.22 + k * 0.11, 38, 42, QColor(120, 30, 30));
    return c.image();
}

QImage DecorationArt::plant()
{
    IsoCanvas c;
    c.cylinder(0.5, 0.5, 0.16, 0, 12, QColor(185, 95, 55));
    c.disc(0.5, 0.5, 0.13, 12, QColor(80, 55, 35));
    for (int k = 0; k < 9; ++k) {
        const double angle = k * 2.399; // golden angle keeps the leaves apart
        const double r = 0.05 + 0.1 * IsoCanvas::noise(k, 0, 41);
        const double h = 16 + k * 2.2;
        const QColor leaf = QColor(40 + k * 6, 120 + k * 7, 45);
        c.disc(0.5 + r * std::cos(angle), 0.5 + r * std::sin(angle), 0.09, h, leaf);
    }
    return c.image();
}

QImage DecorationArt::vase()
{
    IsoCanvas c;
    c.box(0.3, 0.7, 0.3, 0.7, 0, 6, Wood); // stand keeps its colour
    const QColor grey(176, 176, 176);
    c.cylinder(0.5, 0.5, 0.14, 6, 18, grey);
    c.cylinder(0.5, 0.5, 0.09, 18, 28, IsoCanvas::shade(grey, 0.9));
    c.cylinder(0.5, 0.5, 0.12, 28, 31, IsoCanvas::shade(grey, 1.1));
    return c.image();
}

QImage DecorationArt::lampPost()
{
    IsoCanvas c;
    c.box(0.4, 0.6, 0.4, 0.6, 0, 4, QColor(60, 60, 65));
    c.box(0.46, 0.54, 0.46, 0.54, 4, 70, QColor(45, 45, 50));
    c.box(0.38, 0.62, 0.38, 0.62, 70, 82, QColor(255, 220, 110));
    c.box(0.35, 0.65, 0.35, 0.65, 82, 85, QColor(45, 45, 50));
    return c.image();
}

QImage DecorationArt::mast()
{
    IsoCanvas c;
    c.cylinder(0.5, 0.5, 0.08, 0, 170, Wood);
    c.box(0.05, 0.95, 0.47, 0.53, 140, 144, DarkWood); // yard
    c.faceV(0.5, 0.1, 0.9, 80, 140, QColor(235, 228, 205)); // sail
    c.line(0.1, 0.5, 80, 0.9, 0.5, 80, QColor(150, 140, 120));
    return c.image();
}

QImage DecorationArt::marker()
{
    IsoCanvas c;
    c.polygon({c.point(0.3, 0.3, 0), c.point(0.7, 0.3, 0), c.point(0.7, 0.7, 0), c.point(0.3, 0.7, 0)},
              QColor(220, 40, 200));
    c.line(0.3, 0.3, 0, 0.7, 0.7, 0, QColor(255, 255, 255));
    c.line(0.7, 0.3, 0, 0.3, 0.7, 0, QColor(255, 255, 255));
    return c.image();
}
