#include "scene/SceneRenderer.h"

#include "data/ArtReader.h"
#include "data/HueTable.h"
#include "data/RadarColours.h"
#include "model/Facet.h"
#include "model/TileInfo.h"
#include "scene/IsoGeometry.h"
#include "scene/Placeholder.h"
#include "scene/ViewState.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
// Opacity of a dimmed tile's pixels.
constexpr int DimAlpha = 96;

quint64 imageKey(const TileRecord &t)
{
    const quint64 partial = (t.flags & TileFlags::PartialHue) ? 1 : 0;
    return (partial << 32) | (quint64(quint16(t.hue)) << 16) | t.id;
}

// Source over destination, both straight (not premultiplied) ARGB.
QRgb over(QRgb src, int srcAlpha, QRgb dst)
{
    const int da = qAlpha(dst);
    const int outA = srcAlpha + da * (255 - srcAlpha) / 255;
    if (outA == 0)
        return 0;
    auto mix = [&](int s, int d) { return (s * srcAlpha + d * da * (255 - srcAlpha) / 255) / outA; };
    return qRgba(mix(qRed(src), qRed(dst)), mix(qGreen(src), qGreen(dst)),
                 mix(qBlue(src), qBlue(dst)), outA);
}

// First pixel whose centre lies at or after `edge`.
int firstCentre(double edge) { return int(std::ceil(edge - 0.5)); }
} // namespace

SceneRenderer::SceneRenderer(ArtReader *art, HueTable *hues) : m_art(art), m_hues(hues) {}

// The view's rules with art and terrain both shown and flat mode off; tiles
// below the range are hidden only when asked (else dimmed or shown).
bool SceneRenderer::hidden(const TileRecord &t, const Options &options)
{
    ViewState rules;
    rules.showInvisible = options.showInvisible;
    // Unbounded where no limit is given: a tile a file placed out of range still shows.
    rules.clip = true;
    rules.maxAlt = options.maxAltitude.value_or(std::numeric_limits<int>::max());
    rules.minAlt = (options.minAltitude && options.below == Below::Hide) ? *options.minAltitude
                                                                          : std::numeric_limits<int>::min();
    return rules.hides(t, t.z);
}

const QImage *SceneRenderer::image(const TileRecord &t)
{
    const quint64 key = imageKey(t);
    auto found = m_images.find(key);
    if (found == m_images.end()) {
        QImage decoded;
        if (m_art) {
            // The view's texture cache looks both kinds up by id, hued the same way.
            const quint16 *hue = (m_hues && t.hue != 0) ? m_hues->colours(t.hue) : nullptr;
            decoded = m_art->staticImage(t.id, hue, (t.flags & TileFlags::PartialHue) != 0);
            ++m_decodes;
            if (!decoded.isNull() && decoded.format() != QImage::Format_ARGB32)
                decoded = decoded.convertToFormat(QImage::Format_ARGB32);
        }
        found = m_images.insert(key, decoded);
    }
    if (found->isNull())
        return m_art ? &placeholder(t) : nullptr;
    return &*found;
}

// The same stand-in the view draws for a tile without art.
const QImage &SceneRenderer::placeholder(const TileRecord &t)
{
    const bool art = t.kind == Art;
    const quint64 key = imageKey(t) | (quint64(art ? 1 : 0) << 33);
    auto found = m_placeholders.find(key);
    if (found == m_placeholders.end()) {
        const Placeholder::Pixels pixels = Placeholder::pixels(
            art ? t.height : 0, m_radar ? m_radar->colour(art, t.id) : std::nullopt);
        const quint16 *hue = (m_hues && t.hue != 0) ? m_hues->colours(t.hue) : nullptr;
        found = m_placeholders.insert(
            key, Placeholder::image(pixels, hue, (t.flags & TileFlags::PartialHue) != 0));
    }
    return *found;
}

QList<SceneRenderer::Drawn> SceneRenderer::collect(const Facet &model, const Options &options,
                                                   const QPoint &centre, bool withRange)
{
    Options rules = options;
    if (!withRange) {
        rules.minAltitude.reset();
        rules.maxAltitude.reset();
    }
    // The view walks rows back to front (x + y rising) and each row left to
    // right (x rising); sorting the locations the same way gives its order.
    QList<quint32> keys = model.locations().keys();
    std::sort(keys.begin(), keys.end(), [](quint32 a, quint32 b) {
        const int sa = keyX(a) + keyY(a), sb = keyX(b) + keyY(b);
        return sa != sb ? sa < sb : keyX(a) < keyX(b);
    });
    QList<Drawn> drawn;
    for (const quint32 key : keys) {
        const int x = keyX(key), y = keyY(key);
        const QPoint scene = IsoGeometry::scenePoint(centre, x, y);
        for (const TileRecord &t : model.locations().value(key)) {
            if (hidden(t, rules))
                continue;
            const QImage *img = image(t);
            if (!img)
                continue;
            TexInfo size;
            size.texWidth = size.imageWidth = quint32(img->width());
            size.texHeight = size.imageHeight = quint32(img->height());
            QPoint c[4];
            IsoGeometry::tileQuad(scene, t.z, size, c);
            Drawn d;
            d.image = img;
            d.quad = QRect(QPoint(c[0].x(), -c[0].y()), QSize(img->width(), img->height()));
            d.dim = rules.minAltitude && t.z < *rules.minAltitude && rules.below == Below::Dim;
            drawn.append(d);
        }
    }
    return drawn;
}

QRect SceneRenderer::bounds(const Facet &model, const Options &options)
{
    QRect box;
    for (const Drawn &d : collect(model, options, QPoint(0, 0), false))
        box = box.united(d.quad);
    return box;
}

QImage SceneRenderer::render(const Facet &model, const Options &options,
                             const std::optional<QRect> &frame)
{
    const QRect box = frame ? *frame : bounds(model, options);
    const double s = options.scale > 0 ? options.scale : 1.0;
    const QSize size(int(std::ceil(box.width() * s)), int(std::ceil(box.height() * s)));
    QImage target(size.expandedTo(QSize(1, 1)), QImage::Format_ARGB32);
    target.fill(options.background.rgba());
    if (box.isEmpty())
        return target;
    const Placement p{s, QPointF(-box.left() * s, -box.top() * s)};
    paint(target, collect(model, options, QPoint(0, 0), true), p);
    return target;
}

QImage SceneRenderer::renderView(const Facet &model, const Options &options, const QSize &size,
                                 const QPoint &centre)
{
    QImage target(size, QImage::Format_ARGB32);
    target.fill(options.background.rgba());
    const double s = options.scale > 0 ? options.scale : 1.0;
    // The view's orthographic projection puts scene (0, 0) at the middle.
    const Placement p{s, QPointF(size.width() * 0.5, size.height() * 0.5)};
    // Only locations inside the model's area reach a view; the model holds no other.
    paint(target, collect(model, options, centre, true), p);
    return target;
}

QImage SceneRenderer::thumbnail(const Facet &model, const QSize &size)
{
    Options o;
    const QList<Drawn> drawn = collect(model, o, QPoint(0, 0), false);
    QRect box;
    for (const Drawn &d : drawn)
        box = box.united(d.quad);
    if (box.isEmpty() || size.isEmpty())
        return QImage();
    const double s = std::min({1.0, double(size.width()) / box.width(),
                               double(size.height()) / box.height()});
    QImage target(QSize(std::max(1, int(std::ceil(box.width() * s))),
                        std::max(1, int(std::ceil(box.height() * s)))),
                  QImage::Format_ARGB32);
    target.fill(Qt::transparent);
    paint(target, drawn, {s, QPointF(-box.left() * s, -box.top() * s)});
    return target;
}

void SceneRenderer::paint(QImage &target, const QList<Drawn> &drawn, const Placement &p)
{
    for (const Drawn &d : drawn) {
        const QRectF dest(p.origin.x() + d.quad.left() * p.scale,
                          p.origin.y() + d.quad.top() * p.scale, d.quad.width() * p.scale,
                          d.quad.height() * p.scale);
        blit(target, *d.image, dest, d.dim);
    }
}

// As GL fills a quad: every pixel whose centre lies inside it takes the
// nearest texel; fully transparent texels leave the pixel as it was.
void SceneRenderer::blit(QImage &target, const QImage &source, const QRectF &dest, bool dim)
{
    if (dest.width() <= 0 || dest.height() <= 0)
        return;
    const int x0 = std::max(0, firstCentre(dest.left()));
    const int x1 = std::min(target.width(), firstCentre(dest.right()));
    const int y0 = std::max(0, firstCentre(dest.top()));
    const int y1 = std::min(target.height(), firstCentre(dest.bottom()));
    if (x0 >= x1 || y0 >= y1)
        return;
    const bool exact = dest.width() == source.width() && dest.height() == source.height()
                       && dest.left() == std::floor(dest.left()) && dest.top() == std::floor(dest.top());
    if (exact && !dim) {
        // Unscaled on whole pixels: texel (i - left, j - top), no sampling needed.
        const int left = int(dest.left()), top = int(dest.top());
        for (int j = y0; j < y1; ++j) {
            const auto *src = reinterpret_cast<const QRgb *>(source.constScanLine(j - top)) - left;
            auto *dst = reinterpret_cast<QRgb *>(target.scanLine(j));
            for (int i = x0; i < x1; ++i) {
                if (qAlpha(src[i]) != 0)
                    dst[i] = src[i];
            }
        }
        return;
    }
    // The texel each pixel centre covers, nudged as the view nudges it.
    constexpr double Bias = IsoGeometry::TexelBias;
    const double stepX = source.width() / dest.width();
    const double stepY = source.height() / dest.height();
    const int maxU = source.width() - 1, maxV = source.height() - 1;
    for (int j = y0; j < y1; ++j) {
        const int v = std::clamp(int(std::floor((j + 0.5 - dest.top()) * stepY + Bias)), 0, maxV);
        const auto *src = reinterpret_cast<const QRgb *>(source.constScanLine(v));
        auto *dst = reinterpret_cast<QRgb *>(target.scanLine(j));
        for (int i = x0; i < x1; ++i) {
            const int u = std::clamp(int(std::floor((i + 0.5 - dest.left()) * stepX + Bias)), 0, maxU);
            const QRgb texel = src[u];
            if (qAlpha(texel) == 0)
                continue;
            dst[i] = dim ? over(texel, DimAlpha, dst[i]) : texel;
        }
    }
}
