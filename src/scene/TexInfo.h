#pragma once

#include <QtGlobal>

// A GL texture made from one art image; all zeros means no texture.
struct TexInfo {
    quint32 texture = 0;
    quint32 texWidth = 0;
    quint32 texHeight = 0;
    quint32 imageWidth = 0;
    quint32 imageHeight = 0;
};
