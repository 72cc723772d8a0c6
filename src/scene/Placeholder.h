#pragma once

#include <QImage>
#include <QVector>
#include <QtGlobal>

#include <optional>
#include <vector>

// The picture drawn for a tile whose art is missing: a box on the tile's
// cell, as tall as its tile data height (4 scene units a step), its top in
// the tile's radar colour and its sides darker; without a colour, neutral
// grey with an outline. Game colours with the opaque bit, so hues (and the
// selection's) apply to it as they apply to art.
class Placeholder
{
public:
    struct Pixels {
        int width = 0;
        int height = 0;
        QVector<quint16> colours; // row by row; 0 is transparent
    };
    static constexpr int Width = 44;
    static constexpr int StepHeight = 4;

    static Pixels pixels(int tileHeight, std::optional<quint16> colour);
    // Hued like art, as an image and as a block of RGBA words `width` wide.
    static QImage image(const Pixels &p, const quint16 *hue, bool partialHue);
    static std::vector<quint32> texture(const Pixels &p, const quint16 *hue, bool partialHue,
                                        quint32 alphaMask);
};
