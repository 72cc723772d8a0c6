#pragma once

#include <QRgb>
#include <QtGlobal>

// The game's 16-bit colours: red in bits 10-14, green 5-9, blue 0-4, and the
// decoder's mark of a drawn pixel in bit 15. Shared by the art decoder and
// the pictures drawn in place of missing art, so both hue and expand alike.
namespace GameColour {
constexpr quint16 OpaqueBit = 0x8000;
constexpr int ChannelMask = 0x1F;
constexpr int RedShift = 10;
constexpr int GreenShift = 5;
constexpr int ExpandShift = 3; // 5 bits to 8

inline int red(quint16 c) { return (c >> RedShift) & ChannelMask; }
inline int green(quint16 c) { return (c >> GreenShift) & ChannelMask; }
inline int blue(quint16 c) { return c & ChannelMask; }
inline quint16 make(int r, int g, int b)
{
    return quint16((r & ChannelMask) << RedShift | (g & ChannelMask) << GreenShift | (b & ChannelMask));
}

inline bool isGrey(quint16 c) { return red(c) == green(c) && green(c) == blue(c); }

// The hue rule: a drawn pixel takes the hue's colour picked by its red
// channel; with partial hue only grey pixels do.
inline quint16 hued(quint16 c, const quint16 *hue, bool partialHue)
{
    if (!hue || !(c & OpaqueBit) || (partialHue && !isGrey(c)))
        return c;
    return hue[red(c)] | OpaqueBit;
}

// A word of an RGBA texture block (bytes red, green, blue, alpha in memory).
inline quint32 rgbaWord(quint16 c, quint32 alphaMask)
{
    const quint32 rgb = quint32(red(c)) << ExpandShift | quint32(green(c)) << (ExpandShift + 8)
                        | quint32(blue(c)) << (ExpandShift + 16);
    return rgb | ((c & OpaqueBit) ? alphaMask : 0u);
}

inline QRgb argb(quint16 c)
{
    return qRgba(red(c) << ExpandShift, green(c) << ExpandShift, blue(c) << ExpandShift,
                 (c & OpaqueBit) ? 255 : 0);
}
} // namespace GameColour
