#pragma once

#include "data/WorldCapture.h"

#include <QPointF>
#include <QRect>
#include <QSizeF>

#include <algorithm>
#include <cmath>

// Widget pixels <-> world cells of the world map: `scale` pixels a cell, and
// `origin` the world position (in cells) at the widget's top-left corner.
struct MapTransform {
    static constexpr double MinScale = 1.0 / 8;
    static constexpr double MaxScale = 8;

    double scale = 1;
    QPointF origin;

    QPointF worldAt(QPointF pixel) const { return origin + pixel / scale; }
    QPoint cellAt(QPointF pixel) const
    {
        const QPointF w = worldAt(pixel);
        return {int(std::floor(w.x())), int(std::floor(w.y()))};
    }
    QPointF pixelOf(QPointF world) const { return (world - origin) * scale; }
    // Keeps the world position under `pixel` where it is.
    void zoomAbout(QPointF pixel, double factor)
    {
        const QPointF w = worldAt(pixel);
        scale = std::clamp(scale * factor, MinScale, MaxScale);
        origin = w - pixel / scale;
    }
    void centreOn(QPointF world, QSizeF viewport)
    {
        origin = world - QPointF(viewport.width(), viewport.height()) / (2 * scale);
    }
    // The cells between two pixels, both corners' cells included.
    QRect cellsBetween(QPointF a, QPointF b) const { return WorldCapture::between(cellAt(a), cellAt(b)); }
};
