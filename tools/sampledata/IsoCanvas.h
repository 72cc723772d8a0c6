#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPointF>

// A drawing surface for one tile in the editor's isometric projection.
// Positions are given in cell space: u along the map's x axis, v along its y
// axis (0..1 across the cell, (0, 0) the diamond's top corner) and h in pixels
// above the ground. The cell's bottom corner rests on the image's bottom row,
// where the editor anchors every art image.
class IsoCanvas
{
public:
    static constexpr int Width = 44;

    // swapAxes exchanges u and v, so one drawing serves both wall facings.
    explicit IsoCanvas(int height = 300, bool swapAxes = false);

    QPainter &painter() { return m_painter; }
    QPointF point(double u, double v, double h) const;
    bool swapped() const { return m_swap; }

    // A solid box with lit top and shaded front faces.
    void box(double u0, double u1, double v0, double v1, double h0, double h1, const QColor &c);
    // Flat quads lying on the top plane, a v plane or a u plane; shaded like a
    // box face in that plane.
    void topQuad(double h, double u0, double u1, double v0, double v1, const QColor &c);
    void faceV(double v, double u0, double u1, double h0, double h1, const QColor &c);
    void faceU(double u, double v0, double v1, double h0, double h1, const QColor &c);
    // A polygon in image coordinates, filled with c as it is.
    void polygon(const QVector<QPointF> &screenPoints, const QColor &c, bool outline = true);
    void line(double u0, double v0, double h0, double u1, double v1, double h1, const QColor &c);
    // An upright cylinder standing on (u, v), radius r in cell units.
    void cylinder(double u, double v, double r, double h0, double h1, const QColor &c);
    // A horizontal ellipse centred on (u, v) at height h.
    void disc(double u, double v, double r, double h, const QColor &c);

    enum Face { Top, FrontV, FrontU };
    // c as lit on a face of that orientation (in the canvas's own axes).
    QColor lit(const QColor &c, Face f) const { return shade(c, light(f)); }

    // The finished tile: rows above the highest drawn pixel are cut off.
    QImage image();

    static QColor shade(const QColor &c, double factor);
    // Deterministic noise in [0, 1) for texture detail.
    static double noise(int a, int b, int seed);

private:
    double light(Face f) const;

    QImage m_image;
    QPainter m_painter;
    bool m_swap;
};
