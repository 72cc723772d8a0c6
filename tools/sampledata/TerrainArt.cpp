#include "TerrainArt.h"

#include "IsoCanvas.h"

namespace {

// A diamond filled with the base colour, brightening slightly towards the top corner.
void ground(IsoCanvas &c, const QColor &base)
{
    QPainter &p = c.painter();
    QLinearGradient g(0, 0, 0, 44);
    g.setColorAt(0.0, IsoCanvas::shade(base, 1.1));
    g.setColorAt(1.0, IsoCanvas::shade(base, 0.9));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRect(0, 0, 44, 44);
}

// Specks at pseudo-random cell positions, each lighter or darker than the base.
void specks(IsoCanvas &c, const QColor &base, int count, int seed, double spread, int length)
{
    for (int i = 0; i < count; ++i) {
        const double u = IsoCanvas::noise(i, 1, seed), v = IsoCanvas::noise(i, 2, seed);
        const double f = 1.0 + (IsoCanvas::noise(i, 3, seed) - 0.5) * spread;
        c.line(u, v, 0, u, v, length, IsoCanvas::shade(base, f));
    }
}

QImage finished(IsoCanvas &c)
{
    return c.image().copy(0, 0, 44, 44);
}

} // namespace

QImage TerrainArt::grass()
{
    IsoCanvas c(44);
    const QColor base(70, 140, 50);
    ground(c, base);
    specks(c, base, 90, 11, 0.7, 2);
    return finished(c);
}

QImage TerrainArt::dirt()
{
    IsoCanvas c(44);
    const QColor base(128, 92, 56);
    ground(c, base);
    specks(c, base, 60, 12, 0.6, 0);
    for (int i = 0; i < 6; ++i)
        c.disc(IsoCanvas::noise(i, 4, 12), IsoCanvas::noise(i, 5, 12), 0.04, 0, QColor(150, 130, 110));
    return finished(c);
}

QImage TerrainArt::cobbles()
{
    IsoCanvas c(44);
    const QColor mortar(85, 85, 90);
    ground(c, mortar);
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            const double f = 0.85 + IsoCanvas::noise(i, j, 13) * 0.35;
            c.topQuad(0, i / 4.0 + 0.03, (i + 1) / 4.0 - 0.03, j / 4.0 + 0.03, (j + 1) / 4.0 - 0.03,
                      IsoCanvas::shade(QColor(150, 150, 155), f));
        }
    return finished(c);
}

QImage TerrainArt::sand()
{
    IsoCanvas c(44);
    const QColor base(222, 200, 140);
    ground(c, base);
    // Ripples running along the x axis.
    for (int k = 1; k < 6; ++k)
        c.line(0.05, k / 6.0, 0, 0.95, k / 6.0 - 0.08, 0, IsoCanvas::shade(base, 0.88));
    specks(c, base, 30, 14, 0.3, 0);
    return finished(c);
}

QImage TerrainArt::water()
{
    IsoCanvas c(44);
    const QColor base(40, 90, 190);
    ground(c, base);
    QPainter &p = c.painter();
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(120, 170, 240), 1));
    for (int i = 0; i < 7; ++i) {
        const QPointF at = c.point(IsoCanvas::noise(i, 1, 15) * 0.8 + 0.1,
                                   IsoCanvas::noise(i, 2, 15) * 0.8 + 0.1, 0);
        p.drawArc(QRectF(at.x() - 4, at.y() - 2, 8, 4), 0, 180 * 16);
    }
    return finished(c);
}

QImage TerrainArt::snow()
{
    IsoCanvas c(44);
    const QColor base(235, 240, 250);
    ground(c, base);
    for (int i = 0; i < 5; ++i)
        c.disc(IsoCanvas::noise(i, 1, 16), IsoCanvas::noise(i, 2, 16), 0.08, 0, QColor(205, 215, 240));
    return finished(c);
}

QImage TerrainArt::lava()
{
    IsoCanvas c(44);
    ground(c, QColor(60, 30, 25));
    // Glowing cracks: zigzags across the diamond.
    for (int k = 0; k < 3; ++k) {
        double u = 0.05, v = 0.2 + k * 0.3;
        for (int s = 0; s < 6; ++s) {
            const double nu = u + 0.16, nv = v + (IsoCanvas::noise(k, s, 17) - 0.5) * 0.3;
            c.line(u, v, 0, nu, nv, 0, QColor(250, 120, 20));
            c.line(u, v + 0.02, 0, nu, nv + 0.02, 0, QColor(250, 200, 60));
            u = nu;
            v = nv;
        }
    }
    return finished(c);
}

QImage TerrainArt::swamp()
{
    IsoCanvas c(44);
    const QColor base(70, 85, 45);
    ground(c, base);
    for (int i = 0; i < 3; ++i)
        c.disc(0.2 + 0.3 * i, 0.3 + IsoCanvas::noise(i, 1, 18) * 0.4, 0.12, 0, QColor(55, 80, 75));
    specks(c, base, 40, 18, 0.6, 3);
    return finished(c);
}

QImage TerrainArt::rock()
{
    IsoCanvas c(44);
    const QColor base(120, 110, 100);
    ground(c, base);
    for (int k = 0; k < 5; ++k) {
        const double u = IsoCanvas::noise(k, 1, 19), v = IsoCanvas::noise(k, 2, 19);
        c.line(u, v, 0, u + 0.2, v + 0.1, 0, IsoCanvas::shade(base, 0.6));
        c.line(u, v + 0.03, 0, u + 0.2, v + 0.13, 0, IsoCanvas::shade(base, 1.3));
    }
    return finished(c);
}

QImage TerrainArt::furrows()
{
    IsoCanvas c(44);
    const QColor base(110, 75, 45);
    ground(c, base);
    for (int k = 0; k < 6; ++k) {
        const double v = (k + 0.5) / 6.0;
        c.line(0, v, 0, 1, v, 0, IsoCanvas::shade(base, 0.7));
        c.line(0, v + 0.05, 0, 1, v + 0.05, 0, IsoCanvas::shade(base, 1.25));
    }
    return finished(c);
}
