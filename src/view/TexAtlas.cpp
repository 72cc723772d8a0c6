#include "view/TexAtlas.h"

#include <GL/gl.h>

#include <algorithm>

namespace {
// An empty column and row between images, so no filtering can ever reach a neighbour.
constexpr int Gap = 1;
constexpr quint32 AlphaMask = 0xFF000000u;
constexpr int MaxPendingErrors = 16;

bool hasBinaryAlpha(const quint32 *pixels, int stride, int width, int height)
{
    for (int y = 0; y < height; ++y) {
        const quint32 *row = pixels + size_t(y) * size_t(stride);
        for (int x = 0; x < width; ++x) {
            const quint32 a = row[x] & AlphaMask;
            if (a != 0 && a != AlphaMask)
                return false;
        }
    }
    return true;
}
} // namespace

TexAtlas::TexAtlas(int pageSize) : m_pageSize(std::max(pageSize, 1)) {}

std::optional<AtlasEntry> TexAtlas::add(const quint32 *pixels, int stride, int width,
                                        int height)
{
    AtlasEntry entry;
    if (width <= 0 || height <= 0 || !pixels || stride < width)
        return entry; // nothing to draw, but still a tile that was placed
    const auto spot = place(width, height);
    if (!spot)
        return std::nullopt;
    const Page &page = m_pages[size_t(spot->first)];
    const QPoint at = spot->second;
    glBindTexture(GL_TEXTURE_2D, page.texture);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, stride);
    glTexSubImage2D(GL_TEXTURE_2D, 0, at.x(), at.y(), width, height, GL_RGBA, GL_UNSIGNED_BYTE,
                    pixels);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    entry.texture = page.texture;
    entry.u0 = float(at.x()) / float(page.width);
    entry.v0 = float(at.y()) / float(page.height);
    entry.u1 = float(at.x() + width) / float(page.width);
    entry.v1 = float(at.y() + height) / float(page.height);
    entry.width = quint16(width);
    entry.height = quint16(height);
    entry.binaryAlpha = hasBinaryAlpha(pixels, stride, width, height);
    return entry;
}

std::optional<std::pair<int, QPoint>> TexAtlas::place(int width, int height)
{
    QPoint at;
    if (!m_pages.empty() && fits(m_pages.back(), width, height, at))
        return std::make_pair(int(m_pages.size()) - 1, at);
    // Earlier pages only lose the space left at their ends: shelves stay simple.
    const std::optional<int> page = newPage(width, height);
    if (!page || !fits(m_pages[size_t(*page)], width, height, at))
        return std::nullopt;
    return std::make_pair(*page, at);
}

bool TexAtlas::fits(Page &page, int width, int height, QPoint &at)
{
    if (page.shelfX + width > page.width) {
        // Next shelf.
        page.shelfTop += page.shelfHeight + Gap;
        page.shelfHeight = 0;
        page.shelfX = 0;
    }
    if (page.shelfX + width > page.width || page.shelfTop + height > page.height)
        return false;
    at = QPoint(page.shelfX, page.shelfTop);
    page.shelfX += width + Gap;
    page.shelfHeight = std::max(page.shelfHeight, height);
    return true;
}

std::optional<int> TexAtlas::newPage(int width, int height)
{
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    if (maxSize <= 0 || width > maxSize || height > maxSize)
        return std::nullopt;
    const int side = std::min(m_pageSize, int(maxSize));
    // An image larger than a page gets a page of its own size.
    Page page;
    page.width = std::max(side, width);
    page.height = std::max(side, height);
    GLuint name = 0;
    glGenTextures(1, &name);
    if (name == 0)
        return std::nullopt;
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    // Earlier errors are not this page's.
    for (int i = 0; i < MaxPendingErrors && glGetError() != GL_NO_ERROR; ++i) {
    }
    // Cleared, so the gaps between images hold nothing.
    const std::vector<quint32> zeros(size_t(page.width) * size_t(page.height), 0u);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, page.width, page.height, 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, zeros.data());
    if (glGetError() != GL_NO_ERROR) {
        glDeleteTextures(1, &name);
        return std::nullopt;
    }
    page.texture = name;
    m_pages.push_back(page);
    return int(m_pages.size()) - 1;
}

void TexAtlas::release()
{
    for (const Page &page : m_pages) {
        const GLuint name = page.texture;
        glDeleteTextures(1, &name);
    }
    m_pages.clear();
}
