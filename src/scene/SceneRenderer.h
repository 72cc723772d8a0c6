#pragma once

#include "model/TileRecord.h"

#include <QColor>
#include <QHash>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>

class ArtReader;
class Facet;
class HueTable;
class RadarColours;

// Composites a multi into an image on the CPU, as the OpenGL view paints it:
// back rows first, each location's tiles in the model's draw order, each art
// image resting on the bottom corner of its cell's diamond, hued as the view
// hues it. Needs no window and no GL, so the batch tool, dialogs and tests
// use it as they are.
class SceneRenderer
{
public:
    // What happens to tiles below the lowest altitude of the range.
    enum class Below { Hide, Dim, Show };

    struct Options {
        double scale = 1.0;
        bool showInvisible = true;
        std::optional<int> minAltitude; // lowest altitude drawn normally
        std::optional<int> maxAltitude; // tiles above are not drawn
        Below below = Below::Hide;
        QColor background = QColor(Qt::transparent);
    };

    // Borrowed; hues may be null (art keeps its own colours).
    SceneRenderer(ArtReader *art, HueTable *hues);

    // Scene units of scale 1 with y pointing down: the box of every tile
    // image the options let through, ignoring the altitude range so that the
    // storeys of one multi share one frame. Empty when nothing draws.
    QRect bounds(const Facet &model, const Options &options);
    // The whole multi cropped to `frame` (bounds() when not given), scaled.
    QImage render(const Facet &model, const Options &options,
                  const std::optional<QRect> &frame = std::nullopt);
    // What a view of `size` logical pixels centred on map location `centre`
    // shows at the options' scale (grid, previews and selection aside).
    QImage renderView(const Facet &model, const Options &options, const QSize &size,
                      const QPoint &centre);

    // Tiles without art are drawn as placeholders (scene/Placeholder) in
    // these colours; null (the default) gives neutral ones. Borrowed.
    void setRadarColours(const RadarColours *colours)
    {
        m_radar = colours;
        clear();
    }

    // Art images decoded so far (each id and hue once).
    int decodes() const { return m_decodes; }
    // The art files were reloaded.
    void clear()
    {
        m_images.clear();
        m_placeholders.clear();
    }

    // A thumbnail of at most `size`, keeping proportions, on a transparent ground.
    QImage thumbnail(const Facet &model, const QSize &size);

private:
    struct Drawn {
        const QImage *image = nullptr;
        QRect quad; // scene units, y down
        bool dim = false;
    };
    struct Placement {
        double scale = 1.0;
        QPointF origin; // image pixel of scene point (0, 0)
    };

    QList<Drawn> collect(const Facet &model, const Options &options, const QPoint &centre,
                         bool withRange);
    const QImage *image(const TileRecord &t);
    const QImage &placeholder(const TileRecord &t);
    static bool hidden(const TileRecord &t, const Options &options);
    static void paint(QImage &target, const QList<Drawn> &drawn, const Placement &p);
    static void blit(QImage &target, const QImage &source, const QRectF &dest, bool dim);

    ArtReader *m_art;
    HueTable *m_hues;
    const RadarColours *m_radar = nullptr;
    QHash<quint64, QImage> m_images; // null images stand for ids without art
    QHash<quint64, QImage> m_placeholders;
    int m_decodes = 0;
};
