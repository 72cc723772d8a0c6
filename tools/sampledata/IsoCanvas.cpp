#include "IsoCanvas.h"

#include <QPolygonF>

#include <utility>

IsoCanvas::IsoCanvas(int height, bool swapAxes)
    : m_image(Width, height, QImage::Format_ARGB32), m_swap(swapAxes)
{
    m_image.fill(Qt::transparent);
    m_painter.begin(&m_image);
    m_painter.setRenderHint(QPainter::Antialiasing, false);
}

QPointF IsoCanvas::point(double u, double v, double h) const
{
    if (m_swap)
        std::swap(u, v);
    const double bottom = m_image.height();
    return QPointF(22.0 + (u - v) * 22.0, bottom - 44.0 + (u + v) * 22.0 - h);
}

// Light falls from the upper left: the faces towards +y are lighter than those towards +x.
double IsoCanvas::light(Face f) const
{
    if (f == Top)
        return 1.0;
    const bool towardsY = (f == FrontV) != m_swap;
    return towardsY ? 0.82 : 0.64;
}

QColor IsoCanvas::shade(const QColor &c, double factor)
{
    auto ch = [factor](int v) { return qBound(0, qRound(v * factor), 255); };
    return QColor(ch(c.red()), ch(c.green()), ch(c.blue()));
}

double IsoCanvas::noise(int a, int b, int seed)
{
    quint32 x = quint32(a) * 0x9E3779B1u ^ quint32(b) * 0x85EBCA77u ^ quint32(seed) * 0xC2B2AE3Du;
    x ^= x >> 15;
    x *= 0x2C1B3C6Du;
    x ^= x >> 12;
    x *= 0x297A2D39u;
    x ^= x >> 15;
    return (x & 0xFFFFFF) / double(0x1000000);
}

void IsoCanvas::polygon(const QVector<QPointF> &pts, const QColor &c, bool outline)
{
    m_painter.setPen(outline ? QPen(shade(c, 0.7), 1) : QPen(Qt::NoPen));
    m_painter.setBrush(c);
    m_painter.drawPolygon(QPolygonF(pts));
}

void IsoCanvas::topQuad(double h, double u0, double u1, double v0, double v1, const QColor &c)
{
    polygon({point(u0, v0, h), point(u1, v0, h), point(u1, v1, h), point(u0, v1, h)},
            shade(c, light(Top)));
}

void IsoCanvas::faceV(double v, double u0, double u1, double h0, double h1, const QColor &c)
{
    polygon({point(u0, v, h0), point(u1, v, h0), point(u1, v, h1), point(u0, v, h1)},
            shade(c, light(FrontV)));
}

void IsoCanvas::faceU(double u, double v0, double v1, double h0, double h1, const QColor &c)
{
    polygon({point(u, v0, h0), point(u, v1, h0), point(u, v1, h1), point(u, v0, h1)},
            shade(c, light(FrontU)));
}

void IsoCanvas::box(double u0, double u1, double v0, double v1, double h0, double h1,
                    const QColor &c)
{
    faceV(v1, u0, u1, h0, h1, c);
    faceU(u1, v0, v1, h0, h1, c);
    topQuad(h1, u0, u1, v0, v1, c);
}

void IsoCanvas::line(double u0, double v0, double h0, double u1, double v1, double h1,
                     const QColor &c)
{
    m_painter.setPen(QPen(c, 1));
    m_painter.drawLine(point(u0, v0, h0), point(u1, v1, h1));
}

void IsoCanvas::disc(double u, double v, double r, double h, const QColor &c)
{
    const QPointF centre = point(u, v, h);
    m_painter.setPen(QPen(shade(c, 0.7), 1));
    m_painter.setBrush(c);
    m_painter.drawEllipse(centre, r * 31.0, r * 15.5);
}

void IsoCanvas::cylinder(double u, double v, double r, double h0, double h1, const QColor &c)
{
    const QPointF base = point(u, v, h0);
    const QPointF top = point(u, v, h1);
    const double rx = r * 31.0, ry = r * 15.5;
    m_painter.setPen(Qt::NoPen);
    // Lit on the left, shaded to the right.
    QLinearGradient g(base.x() - rx, 0, base.x() + rx, 0);
    g.setColorAt(0.0, shade(c, 0.9));
    g.setColorAt(0.35, c);
    g.setColorAt(1.0, shade(c, 0.55));
    m_painter.setBrush(g);
    m_painter.drawEllipse(base, rx, ry);
    m_painter.drawRect(QRectF(top.x() - rx, top.y(), 2 * rx, base.y() - top.y()));
    disc(u, v, r, h1, shade(c, 1.12));
}

QImage IsoCanvas::image()
{
    if (m_painter.isActive())
        m_painter.end();
    int first = 0;
    for (; first < m_image.height() - 1; ++first) {
        const QRgb *row = reinterpret_cast<const QRgb *>(m_image.constScanLine(first));
        bool drawn = false;
        for (int x = 0; x < m_image.width() && !drawn; ++x)
            drawn = qAlpha(row[x]) >= 128;
        if (drawn)
            break;
    }
    return m_image.copy(0, first, m_image.width(), m_image.height() - first);
}
