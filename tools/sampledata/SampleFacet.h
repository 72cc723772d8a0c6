#pragma once

#include <QByteArray>
#include <QString>

// A small world for the world map window: facet 4 at its real size, 1448 x
// 1448 cells of grass, sand, water and rock with dirt roads between villages
// built from the sample multis, and the radar colours of the sample tiles.
class SampleFacet
{
public:
    static constexpr int Facet = 4;
    static constexpr int Size = 1448;

    static bool write(const QString &dir, QString *error);
    // radarcol.mul: each sample tile's average colour.
    static QByteArray radarColours();
};
