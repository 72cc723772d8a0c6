#include "BuildingArt.h"

#include "IsoCanvas.h"

#include <QPainterPath>

namespace {

constexpr double Thick = 0.2; // wall thickness in cell units
constexpr QRgb StoneColour = qRgb(150, 146, 138);
constexpr QRgb WoodColour = qRgb(150, 105, 60);
constexpr QRgb DarkWood = qRgb(95, 62, 35);
constexpr QRgb RoofColour = qRgb(168, 64, 46);

QColor materialColour(BuildingArt::Material m)
{
    return m == BuildingArt::Stone ? StoneColour : WoodColour;
}

QColor varied(const QColor &c, int a, int b, int seed, double spread)
{
    return IsoCanvas::shade(c, 1.0 + (IsoCanvas::noise(a, b, seed) - 0.5) * spread);
}

// Stones in staggered courses, or planks, on one face spanning a0..a1. The
// two facings differ only in the face drawn and the stagger and noise phase.
struct Facing {
    void (IsoCanvas::*face)(double, double, double, double, double, const QColor &);
    double stagger; // offset of odd courses, in stone widths
    int woodSeed;
    int stoneSeed;
};
constexpr Facing FacingV{&IsoCanvas::faceV, 0.5, 0, 0};
constexpr Facing FacingU{&IsoCanvas::faceU, 0.0, 1, 7};

void textureFace(IsoCanvas &c, const Facing &f, BuildingArt::Material m, double at, double a0,
                 double a1, double h0, double h1, int seed)
{
    const double course = m == BuildingArt::Stone ? 10.0 : 6.0;
    int row = 0;
    for (double h = h0; h < h1 - 0.5; h += course, ++row) {
        const double top = qMin(h + course, h1);
        if (m == BuildingArt::Wood) {
            (c.*f.face)(at, a0, a1, h, top, varied(WoodColour, row, f.woodSeed, seed, 0.25));
            continue;
        }
        const double width = 1.0 / 3.0;
        const double stagger = row % 2 ? f.stagger : 0.5 - f.stagger;
        double a = a0 - stagger * width;
        for (int k = 0; a < a1; ++k, a += width)
            (c.*f.face)(at, qMax(a, a0), qMin(a + width, a1), h, top,
                        varied(StoneColour, row, k + f.stoneSeed, seed, 0.22));
    }
}

void textureFaceV(IsoCanvas &c, BuildingArt::Material m, double at, double u0, double u1, double h0,
                  double h1, int seed)
{
    textureFace(c, FacingV, m, at, u0, u1, h0, h1, seed);
}

void textureFaceU(IsoCanvas &c, BuildingArt::Material m, double at, double v0, double v1, double h0,
                  double h1, int seed)
{
    textureFace(c, FacingU, m, at, v0, v1, h0, h1, seed);
}

// A wall slab along u on the cell's front (v = 1) edge.
void slabAlongU(IsoCanvas &c, BuildingArt::Material m, double u0, double u1)
{
    const double h = BuildingArt::WallHeight;
    c.box(u0, u1, 1.0 - Thick, 1.0, 0, h, materialColour(m));
    textureFaceV(c, m, 1.0, u0, u1, 0, h, 1);
    if (m == BuildingArt::Wood) {
        // Corner beams of the frame.
        c.faceV(1.0, u0, u0 + 0.07, 0, h, DarkWood);
        c.faceV(1.0, u1 - 0.07, u1, 0, h, DarkWood);
        c.faceV(1.0, u0, u1, 0, 4, DarkWood);
    }
}

void slabAlongV(IsoCanvas &c, BuildingArt::Material m, double v0, double v1)
{
    const double h = BuildingArt::WallHeight;
    c.box(1.0 - Thick, 1.0, v0, v1, 0, h, materialColour(m));
    textureFaceU(c, m, 1.0, v0, v1, 0, h, 2);
    if (m == BuildingArt::Wood) {
        c.faceU(1.0, v0, v0 + 0.07, 0, h, DarkWood);
        c.faceU(1.0, v1 - 0.07, v1, 0, h, DarkWood);
        c.faceU(1.0, v0, v1, 0, 4, DarkWood);
    }
}

void window(IsoCanvas &c)
{
    c.faceV(1.0, 0.26, 0.74, 30, 64, DarkWood);
    c.faceV(1.0, 0.31, 0.69, 34, 60, QColor(150, 200, 235));
    c.faceV(1.0, 0.31, 0.48, 49, 60, QColor(205, 235, 250)); // a glint
    c.faceV(1.0, 0.485, 0.515, 34, 60, DarkWood);
    c.faceV(1.0, 0.31, 0.69, 46, 48, DarkWood);
}

void door(IsoCanvas &c)
{
    c.faceV(1.0, 0.2, 0.8, 0, 62, QColor(70, 60, 55));
    for (int k = 0; k < 4; ++k) {
        const double u = 0.24 + k * 0.13;
        c.faceV(1.0, u, u + 0.13, 0, 58, varied(WoodColour, k, 3, 5, 0.2));
    }
    c.faceV(1.0, 0.24, 0.76, 44, 47, DarkWood);
    c.faceV(1.0, 0.24, 0.76, 12, 15, DarkWood);
    c.faceV(1.0, 0.66, 0.71, 27, 31, QColor(230, 190, 60));
}

} // namespace

QImage BuildingArt::woodFloor(bool alongY)
{
    IsoCanvas c(44, alongY);
    const int boards = 5;
    for (int k = 0; k < boards; ++k) {
        const double v0 = double(k) / boards, v1 = double(k + 1) / boards;
        const double joint = 0.2 + IsoCanvas::noise(k, 0, 21) * 0.6;
        c.topQuad(0, 0, joint, v0, v1, varied(WoodColour, k, 1, 21, 0.3));
        c.topQuad(0, joint, 1, v0, v1, varied(WoodColour, k, 2, 21, 0.3));
    }
    return c.image();
}

QImage BuildingArt::stoneFloor()
{
    IsoCanvas c(44);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            c.topQuad(0, i / 3.0, (i + 1) / 3.0, j / 3.0, (j + 1) / 3.0, varied(StoneColour, i, j, 22, 0.3));
    return c.image();
}

QImage BuildingArt::checkeredFloor()
{
    IsoCanvas c(44);
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j)
            c.topQuad(0, i / 2.0, (i + 1) / 2.0, j / 2.0, (j + 1) / 2.0,
                      (i + j) % 2 ? QColor(60, 60, 70) : QColor(225, 222, 210));
    return c.image();
}

QImage BuildingArt::wall(Material m, bool northSouth, Opening opening)
{
    IsoCanvas c(300, northSouth);
    slabAlongU(c, m, 0.0, 1.0);
    if (opening == Window)
        window(c);
    else if (opening == Door)
        door(c);
    return c.image();
}

QImage BuildingArt::corner(Material m)
{
    IsoCanvas c(300);
    slabAlongV(c, m, 0.0, 1.0 - Thick);
    slabAlongU(c, m, 0.0, 1.0);
    return c.image();
}

QImage BuildingArt::post(Material m)
{
    IsoCanvas c(300);
    const double s = 1.0 - 1.6 * Thick;
    c.box(s, 1.0, s, 1.0, 0, WallHeight + 2, m == Stone ? StoneColour : DarkWood);
    if (m == Stone) {
        textureFaceV(c, m, 1.0, s, 1.0, 0, WallHeight + 2, 3);
        textureFaceU(c, m, 1.0, s, 1.0, 0, WallHeight + 2, 3);
    }
    return c.image();
}

QImage BuildingArt::block()
{
    IsoCanvas c(300);
    c.box(0, 1, 0, 1, 0, StepRise, StoneColour);
    textureFaceV(c, Stone, 1.0, 0, 1, 0, StepRise, 4);
    textureFaceU(c, Stone, 1.0, 0, 1, 0, StepRise, 4);
    return c.image();
}

QImage BuildingArt::stairs(bool risingWest)
{
    // Four steps climbing towards the back of the cell, highest first.
    IsoCanvas c(300, risingWest);
    for (int k = 3; k >= 0; --k) {
        const double v0 = (3 - k) / 4.0, v1 = (4 - k) / 4.0;
        c.box(0, 1, v0, v1, 0, (k + 1) * StepRise / 4.0, varied(StoneColour, k, 0, 23, 0.15));
    }
    return c.image();
}

QImage BuildingArt::roof(Slope s)
{
    // Drawn as rising north or south; west and east swap the axes.
    const bool swap = s == RisingWest || s == RisingEast;
    const bool backHigh = s == RisingNorth || s == RisingWest;
    IsoCanvas c(300, swap);
    auto height = [backHigh](double v) { return StepRise * (backHigh ? 1.0 - v : v); };
    // Slopes that face the light (towards +y, or +x less so) are brighter.
    const double facing = backHigh ? (swap ? 0.8 : 0.95) : (swap ? 0.62 : 0.7);
    const QColor surface = IsoCanvas::shade(RoofColour, facing);
    c.polygon({c.point(0, 0, height(0)), c.point(1, 0, height(0)), c.point(1, 1, height(1)),
               c.point(0, 1, height(1))},
              surface);
    for (int k = 1; k < 5; ++k) {
        const double v = k / 5.0;
        c.line(0, v, height(v), 1, v, height(v), IsoCanvas::shade(surface, 0.7));
        for (int t = 0; t < 4; ++t) {
            const double u = (t + (k % 2) * 0.5) / 4.0 + 0.05;
            c.line(u, v - 0.2, height(v - 0.2), u, v, height(v), IsoCanvas::shade(surface, 0.82));
        }
    }
    // Eaves board along the low edge.
    const double low = backHigh ? 1.0 : 0.0;
    c.faceV(low, 0, 1, -3, 0, DarkWood);
    return c.image();
}

QImage BuildingArt::ridge(bool northSouth)
{
    IsoCanvas c(300, northSouth);
    const double peak = StepRise / 2.0;
    const QColor back = IsoCanvas::shade(RoofColour, northSouth ? 0.62 : 0.7);
    const QColor front = IsoCanvas::shade(RoofColour, northSouth ? 0.8 : 0.95);
    c.polygon({c.point(0, 0, 0), c.point(1, 0, 0), c.point(1, 0.5, peak), c.point(0, 0.5, peak)}, back);
    c.polygon({c.point(0, 0.5, peak), c.point(1, 0.5, peak), c.point(1, 1, 0), c.point(0, 1, 0)}, front);
    c.line(0, 0.75, peak / 2, 1, 0.75, peak / 2, IsoCanvas::shade(front, 0.7));
    c.box(0, 1, 0.44, 0.56, peak - 1, peak + 2, IsoCanvas::shade(RoofColour, 0.75));
    return c.image();
}

QImage BuildingArt::fence(bool northSouth)
{
    IsoCanvas c(300, northSouth);
    c.box(0, 1, 0.92, 0.97, 17, 20, WoodColour);
    c.box(0, 1, 0.92, 0.97, 7, 10, WoodColour);
    c.box(0.03, 0.13, 0.89, 0.99, 0, 26, DarkWood);
    c.box(0.87, 0.97, 0.89, 0.99, 0, 26, DarkWood);
    return c.image();
}

QImage BuildingArt::fenceCorner()
{
    IsoCanvas c(300);
    // The side along v first: it lies behind the one along u at the corner.
    c.box(0.92, 0.97, 0, 0.92, 17, 20, WoodColour);
    c.box(0.92, 0.97, 0, 0.92, 7, 10, WoodColour);
    c.box(0.89, 0.99, 0.03, 0.13, 0, 26, DarkWood);
    c.box(0, 1, 0.92, 0.97, 17, 20, WoodColour);
    c.box(0, 1, 0.92, 0.97, 7, 10, WoodColour);
    c.box(0.03, 0.13, 0.89, 0.99, 0, 26, DarkWood);
    c.box(0.87, 0.97, 0.87, 0.97, 0, 26, DarkWood);
    return c.image();
}

QImage BuildingArt::parapet(bool northSouth)
{
    IsoCanvas c(300, northSouth);
    c.box(0, 1, 1.0 - Thick, 1.0, 0, 14, StoneColour);
    textureFaceV(c, Stone, 1.0, 0, 1, 0, 14, 6);
    for (double u0 : {0.0, 0.65}) {
        c.box(u0, u0 + 0.35, 1.0 - Thick, 1.0, 14, 24, StoneColour);
        textureFaceV(c, Stone, 1.0, u0, u0 + 0.35, 14, 24, 7);
    }
    return c.image();
}

QImage BuildingArt::gable(double frontHeight, double backHeight, double peak)
{
    // Drawn as an east-west slab with u running from the back (0) to the front (1).
    IsoCanvas c(300, true);
    QVector<QPointF> face{c.point(0, 1, 0), c.point(1, 1, 0), c.point(1, 1, frontHeight)};
    if (peak > 0)
        face << c.point(0.5, 1, peak);
    face << c.point(0, 1, backHeight);
    c.polygon(face, c.lit(WoodColour, IsoCanvas::FrontV));
    QPainterPath clip;
    clip.addPolygon(QPolygonF(face));
    c.painter().setClipPath(clip);
    textureFaceV(c, Wood, 1.0, 0, 1, 0, qMax(peak, qMax(frontHeight, backHeight)), 8);
    c.painter().setClipping(false);
    // The slab's upper edge, seen from above.
    auto ridgeEdge = [&c](double u0, double h0, double u1, double h1) {
        c.polygon({c.point(u0, 1.0 - Thick, h0), c.point(u1, 1.0 - Thick, h1), c.point(u1, 1.0, h1),
                   c.point(u0, 1.0, h0)},
                  c.lit(DarkWood, IsoCanvas::Top));
    };
    if (peak > 0) {
        ridgeEdge(0, backHeight, 0.5, peak);
        ridgeEdge(0.5, peak, 1, frontHeight);
    } else {
        ridgeEdge(0, backHeight, 1, frontHeight);
    }
    return c.image();
}
