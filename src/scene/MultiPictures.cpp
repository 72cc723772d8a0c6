#include "scene/MultiPictures.h"

#include "model/Facet.h"
#include "model/SafeWrite.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QPainter>

#include <algorithm>
#include <limits>

QList<MultiPictures::Picture> MultiPictures::make(SceneRenderer &renderer, const Facet &model,
                                                  const Settings &s)
{
    SceneRenderer::Options o;
    o.scale = s.scale;
    o.background = s.background;
    o.showInvisible = s.showInvisible;
    const QRect frame = renderer.bounds(model, o);
    if (s.storeyHeight <= 0)
        return {{renderer.render(model, o, frame), 0, 0, 0}};

    int low = std::numeric_limits<int>::max(), high = std::numeric_limits<int>::min();
    for (const Facet::TileSet &set : model.locations()) {
        for (const TileRecord &t : set) {
            low = std::min(low, int(t.z));
            high = std::max(high, int(t.z));
        }
    }
    QList<Picture> out;
    if (low > high)
        return out;
    o.below = s.below;
    int storey = 1;
    for (qint64 base = low; base <= high; base += s.storeyHeight, ++storey) {
        o.minAltitude = int(base);
        o.maxAltitude = int(std::min<qint64>(base + s.storeyHeight - 1, high));
        out.append({renderer.render(model, o, frame), storey, *o.minAltitude, *o.maxAltitude});
    }
    return out;
}

QImage MultiPictures::square(SceneRenderer &renderer, const Facet &model, int size)
{
    const QImage fitted = renderer.thumbnail(model, QSize(size, size));
    if (fitted.isNull())
        return QImage();
    QImage out(size, size, QImage::Format_ARGB32);
    out.fill(Qt::transparent);
    QPainter(&out).drawImage((size - fitted.width()) / 2, (size - fitted.height()) / 2, fitted);
    return out;
}

QString MultiPictures::storeyPath(const QString &path, int storey)
{
    const QFileInfo info(path);
    const QString suffix = info.suffix();
    QString base = path;
    if (!suffix.isEmpty())
        base.chop(suffix.size() + 1);
    base += QStringLiteral("-storey%1").arg(storey);
    return suffix.isEmpty() ? base : base + QLatin1Char('.') + suffix;
}

bool MultiPictures::save(const QImage &image, const QString &path, QString *error)
{
    QByteArray format = QFileInfo(path).suffix().toLower().toLatin1();
    if (format.isEmpty() || !QImageWriter::supportedImageFormats().contains(format))
        format = "png";
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (!writer.write(image)) {
        if (error)
            *error = QCoreApplication::translate("MultiPictures", "%1: the image could not be encoded (%2)")
                         .arg(QDir::toNativeSeparators(path), writer.errorString());
        return false;
    }
    QString reason;
    if (SafeWrite::replaceFile(path, bytes, &reason))
        return true;
    if (error)
        *error = QCoreApplication::translate("MultiPictures", "%1: cannot be written (%2)")
                     .arg(QDir::toNativeSeparators(path), reason);
    return false;
}
