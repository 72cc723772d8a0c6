#include "scene/PickMask.h"

#include <algorithm>

namespace {
constexpr int Side = 44;
constexpr int Half = 22;
constexpr quint32 AlphaMask = 0xFF000000u;
} // namespace

PickMask::PickMask(int width, int height)
    : m_width(std::max(width, 0)), m_height(std::max(height, 0)),
      m_rowWords((m_width + WordBits - 1) / WordBits),
      m_bits(size_t(m_rowWords) * size_t(m_height), 0)
{
}

PickMask PickMask::fromRgba(const quint32 *pixels, int stride, int width, int height)
{
    PickMask mask(width, height);
    if (!pixels || stride < width)
        return mask;
    for (int y = 0; y < mask.m_height; ++y) {
        const quint32 *row = pixels + size_t(y) * size_t(stride);
        for (int x = 0; x < mask.m_width; ++x) {
            if (row[x] & AlphaMask)
                mask.set(x, y);
        }
    }
    return mask;
}

std::shared_ptr<const PickMask> PickMask::diamond()
{
    static const std::shared_ptr<const PickMask> shared = [] {
        auto mask = std::make_shared<PickMask>(Side, Side);
        for (int y = 0; y < Side; ++y) {
            // Rows widen by two pixels to the middle, then narrow again.
            const int from = y < Half ? Half - 1 - y : y - Half;
            for (int x = from; x < Side - from; ++x)
                mask->set(x, y);
        }
        return mask;
    }();
    return shared;
}

void PickMask::set(int x, int y)
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return;
    m_bits[size_t(y) * size_t(m_rowWords) + size_t(x / WordBits)] |= quint64(1) << (x % WordBits);
}

bool PickMask::opaque(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return false;
    return (m_bits[size_t(y) * size_t(m_rowWords) + size_t(x / WordBits)] >> (x % WordBits)) & 1u;
}

bool PickMask::anyIn(int x0, int y0, int x1, int y1) const
{
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, m_width - 1);
    y1 = std::min(y1, m_height - 1);
    if (x0 > x1 || y0 > y1)
        return false;
    // Whole words at a time: the columns' bits of each word, masked at both ends.
    const int w0 = x0 / WordBits, w1 = x1 / WordBits;
    for (int y = y0; y <= y1; ++y) {
        const quint64 *row = m_bits.data() + size_t(y) * size_t(m_rowWords);
        for (int w = w0; w <= w1; ++w) {
            quint64 bits = row[w];
            if (w == w0)
                bits &= ~quint64(0) << (x0 % WordBits);
            if (w == w1 && x1 % WordBits != WordBits - 1)
                bits &= (quint64(1) << (x1 % WordBits + 1)) - 1;
            if (bits)
                return true;
        }
    }
    return false;
}
