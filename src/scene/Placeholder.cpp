#include "scene/Placeholder.h"

#include "data/GameColour.h"

#include <algorithm>

namespace {
constexpr int Half = Placeholder::Width / 2;
// Neutral: light grey with a dark outline.
constexpr int NeutralGrey = 20;
constexpr int OutlineGrey = 6;
constexpr int MaxTileHeight = 255;

// Inside the 44 x 44 diamond whose top row is `top`.
bool inDiamond(int x, int y, int top)
{
    const int row = y - top;
    if (row < 0 || row >= Placeholder::Width)
        return false;
    const int from = row < Half ? Half - 1 - row : row - Half;
    return x >= from && x < Placeholder::Width - from;
}

quint16 shaded(quint16 c, int num, int den)
{
    using namespace GameColour;
    return make(red(c) * num / den, green(c) * num / den, blue(c) * num / den);
}
} // namespace

Placeholder::Pixels Placeholder::pixels(int tileHeight, std::optional<quint16> colour)
{
    const int lift = std::clamp(tileHeight, 0, MaxTileHeight) * StepHeight;
    Pixels p;
    p.width = Width;
    p.height = Width + lift;
    p.colours.fill(0, p.width * p.height);
    const quint16 top = colour ? quint16(*colour & 0x7FFF)
                               : GameColour::make(NeutralGrey, NeutralGrey, NeutralGrey);
    // The top face, then the two sides down to the bottom diamond.
    const auto inside = [&](int x, int y) {
        return x >= 0 && x < Width && y >= 0 && y < p.height
               && (inDiamond(x, y, 0) || (y >= Half && y < Half + lift) || inDiamond(x, y, lift));
    };
    const auto face = [&](int x, int y) { return inDiamond(x, y, 0) ? 0 : (x < Half ? 1 : 2); };
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < Width; ++x) {
            if (!inside(x, y))
                continue;
            const int f = face(x, y);
            quint16 c = f == 0 ? top : (f == 1 ? shaded(top, 3, 4) : shaded(top, 1, 2));
            if (!colour) {
                // The outline: the silhouette's edge and the edges between faces.
                const bool edge = !inside(x - 1, y) || !inside(x + 1, y) || !inside(x, y - 1)
                                  || !inside(x, y + 1) || face(x + 1, y) != f || face(x, y + 1) != f;
                if (edge)
                    c = GameColour::make(OutlineGrey, OutlineGrey, OutlineGrey);
            }
            p.colours[y * Width + x] = c | GameColour::OpaqueBit;
        }
    }
    return p;
}

QImage Placeholder::image(const Pixels &p, const quint16 *hue, bool partialHue)
{
    QImage img(p.width, p.height, QImage::Format_ARGB32);
    for (int y = 0; y < p.height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < p.width; ++x)
            line[x] = GameColour::argb(GameColour::hued(p.colours[y * p.width + x], hue, partialHue));
    }
    return img;
}

std::vector<quint32> Placeholder::texture(const Pixels &p, const quint16 *hue, bool partialHue,
                                          quint32 alphaMask)
{
    std::vector<quint32> block(size_t(p.width) * size_t(p.height));
    for (size_t i = 0; i < block.size(); ++i)
        block[i] = GameColour::rgbaWord(GameColour::hued(p.colours[int(i)], hue, partialHue), alphaMask);
    return block;
}
