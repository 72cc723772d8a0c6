#pragma once

#include "MulWriter.h"

#include <QColor>
#include <QVector>

// The sample hue table: named colours, each a smooth ramp of 32 colours from
// near black through the base colour to a pale highlight.
class SampleHues
{
public:
    // The view draws selected tiles in this hue: a bright yellow.
    static constexpr int SelectionHue = 53;

    static QVector<MulWriter::Hue> all();
    static QVector<quint16> ramp(const QColor &base);
};
