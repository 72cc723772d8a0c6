#pragma once

#include <QtGlobal>

#include <memory>
#include <vector>

// Which pixels of a tile's image are drawn, one bit each, row by row from the
// top: picking tests the pointer against it once the image's rectangle was
// hit, so a click on a transparent pixel reaches the tile behind.
class PickMask
{
public:
    PickMask() = default;
    PickMask(int width, int height);
    // The pixels with a non-zero alpha byte (the top byte of each word) of
    // the width x height image at the top-left of a block `stride` words wide.
    static PickMask fromRgba(const quint32 *pixels, int stride, int width, int height);
    // A terrain cell: the 44 x 44 diamond, rows as the art files store it.
    static std::shared_ptr<const PickMask> diamond();

    int width() const { return m_width; }
    int height() const { return m_height; }
    void set(int x, int y);
    // False outside the image.
    bool opaque(int x, int y) const;
    // Whether a drawn pixel lies in columns x0..x1 of rows y0..y1 (inclusive, clipped).
    bool anyIn(int x0, int y0, int x1, int y1) const;

private:
    static constexpr int WordBits = 64;
    int m_width = 0;
    int m_height = 0;
    int m_rowWords = 0;
    std::vector<quint64> m_bits;
};
