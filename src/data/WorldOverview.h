#pragma once

#include <QImage>
#include <QRgb>
#include <QString>
#include <QVector>

#include <functional>
#include <optional>

class WorldFacet;

// The picture of a whole facet, one pixel per cell: the radar colour of the
// cell's highest static, else of its terrain.
class WorldOverview
{
public:
    static constexpr int Colours = 0x8000; // terrain ids, then art ids from 0x4000
    static constexpr int ArtBase = 0x4000;

    // radarcol.mul as colours; nothing, with *error set, when it cannot be read.
    // A file shorter than the table leaves the rest black.
    static std::optional<QVector<QRgb>> readColours(const QString &path, QString *error);
    // 15-bit 5-5-5 colour to 8 bits a channel.
    static QRgb fromRadar(quint16 colour);

    // Called after each column of blocks with the columns done and in all;
    // returning false cancels the build.
    using Progress = std::function<bool(int done, int total)>;
    // A null image when cancelled or a block cannot be read (*error says which).
    static QImage build(WorldFacet &facet, const QVector<QRgb> &colours, const Progress &progress,
                        QString *error);
};
