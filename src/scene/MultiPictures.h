#pragma once

#include "scene/SceneRenderer.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>

// Pictures of a whole multi for export: one image cropped to the multi's
// bounds, or one image per storey (altitude band), all storeys in the same
// frame so that they stack.
class MultiPictures
{
public:
    struct Settings {
        double scale = 1.0;
        QColor background = QColor(Qt::transparent);
        bool showInvisible = false;
        int storeyHeight = 0; // 0: one picture of everything
        SceneRenderer::Below below = SceneRenderer::Below::Dim;
    };
    struct Picture {
        QImage image;
        int storey = 0;   // 1 up; 0 for the whole multi
        int lowest = 0;   // altitudes of the band
        int highest = 0;
    };

    static QList<Picture> make(SceneRenderer &renderer, const Facet &model, const Settings &s);
    // The thumbnailer's picture: the multi fitted into size x size, centred on a
    // transparent square; null when nothing of it draws.
    static QImage square(SceneRenderer &renderer, const Facet &model, int size);
    // "house.png" with storey 2 -> "house-storey2.png".
    static QString storeyPath(const QString &path, int storey);
    // Encodes by the path's suffix (PNG when it has none) and writes safely.
    static bool save(const QImage &image, const QString &path, QString *error);
};
