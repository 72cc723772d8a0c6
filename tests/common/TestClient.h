#pragma once

// What window tests draw: scene tiles of one solid colour each, so every
// frame pixel names its tile, and the game's files holding their art.
#include "FileBytes.h"
#include "MulWriter.h"

#include <QAction>
#include <QDir>
#include <QImage>
#include <QList>
#include <QMap>
#include <QSettings>
#include <QtEndian>

struct SceneTile {
    int id;
    int x, y, z;
    QSize size;
    QRgb colour;
};

// The .mlt bytes of the tiles, each visible, with no hue.
inline QByteArray mltBytes(const QList<SceneTile> &tiles)
{
    QByteArray out(4, '\0');
    for (const SceneTile &t : tiles) {
        uchar e[12];
        qToLittleEndian<quint16>(quint16(t.id), e);
        qToLittleEndian<qint16>(qint16(t.x), e + 2);
        qToLittleEndian<qint16>(qint16(t.y), e + 4);
        qToLittleEndian<qint16>(qint16(t.z), e + 6);
        qToLittleEndian<qint16>(1, e + 8);
        qToLittleEndian<qint16>(0, e + 10);
        out.append(reinterpret_cast<const char *>(e), 12);
    }
    return out;
}

inline QMap<int, QImage> sceneArt(const QList<SceneTile> &tiles)
{
    QMap<int, QImage> art;
    for (const SceneTile &t : tiles) {
        QImage image(t.size, QImage::Format_ARGB32);
        image.fill(t.colour);
        art.insert(t.id, image);
    }
    return art;
}

// Art, 64 blue hues and empty tile data written into dir, and their places
// in the settings; false when a file cannot be written.
inline bool plantClient(const QString &dir, const QMap<int, QImage> &art)
{
    const QDir d(dir);
    const auto files = MulWriter::artFiles({}, art);
    MulWriter::Hue hue;
    hue.colours = QVector<quint16>(32, MulWriter::colour(qRgb(0, 0, 255)));
    if (!writeFileBytes(d.filePath("artidx.mul"), files.index)
        || !writeFileBytes(d.filePath("art.mul"), files.data)
        || !writeFileBytes(d.filePath("hues.mul"), MulWriter::hues(QVector<MulWriter::Hue>(64, hue)))
        || !writeFileBytes(d.filePath("tiledata.mul"), MulWriter::tileData({}, {})))
        return false;
    QSettings locations("Brightmoor", "MulSettings");
    locations.setValue("ArtIdx", d.filePath("artidx.mul"));
    locations.setValue("ArtMul", d.filePath("art.mul"));
    locations.setValue("HuesMul", d.filePath("hues.mul"));
    locations.setValue("TileDataMul", d.filePath("tiledata.mul"));
    return true;
}

// Settings of every format and scope kept in dir, away from the user's own.
inline void redirectSettings(const QString &dir)
{
    for (auto format : {QSettings::NativeFormat, QSettings::IniFormat})
        for (auto scope : {QSettings::UserScope, QSettings::SystemScope})
            QSettings::setPath(format, scope, dir);
}

// The window's action with this menu text, as a person finds it.
inline QAction *actionNamed(const QObject *window, const QString &text)
{
    for (QAction *a : window->findChildren<QAction *>())
        if (a->text() == text)
            return a;
    return nullptr;
}
