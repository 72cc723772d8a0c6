#pragma once

#include "scene/PickMask.h"

#include <QPoint>
#include <QtGlobal>

#include <memory>
#include <optional>
#include <utility>
#include <vector>

// Where one image lies in the atlas: its page texture and the texture
// coordinates of its own rectangle (not a padded block).
struct AtlasEntry {
    quint32 texture = 0; // 0 for an empty image: recorded, never drawn
    float u0 = 0.0f, v0 = 0.0f, u1 = 0.0f, v1 = 0.0f;
    quint16 width = 0;
    quint16 height = 0;
    // Every texel fully opaque or fully transparent: it can be drawn with the
    // alpha test instead of blending and give the same pixels.
    bool binaryAlpha = true;
    // Its drawn pixels, for picking (null for an empty image).
    std::shared_ptr<const PickMask> mask;
};

// Art images packed into a few large textures (pages) in shelves, so a frame
// binds a page per run of tiles instead of a texture per tile. Pages belong
// to the views' share group: every call needs one of its contexts current.
class TexAtlas
{
public:
    static constexpr int DefaultPageSize = 2048;

    explicit TexAtlas(int pageSize = DefaultPageSize);
    TexAtlas(const TexAtlas &) = delete;
    TexAtlas &operator=(const TexAtlas &) = delete;

    // Copies the width x height image at the top-left of a block of RGBA words
    // `stride` words wide; nullopt if GL refused a page.
    std::optional<AtlasEntry> add(const quint32 *pixels, int stride, int width, int height);
    // Deletes every page (with a context of the share group current).
    void release();
    // Forgets the pages without deleting them (no context could be made current).
    void forget() { m_pages.clear(); }

    int pageCount() const { return int(m_pages.size()); }
    int pageSize() const { return m_pageSize; }

private:
    struct Page {
        quint32 texture = 0;
        int width = 0;
        int height = 0;
        // The open shelf: its top, its height so far and the next free column.
        int shelfTop = 0;
        int shelfHeight = 0;
        int shelfX = 0;
    };
    // A free spot of width x height in the last page, or in a new one.
    std::optional<std::pair<int, QPoint>> place(int width, int height);
    static bool fits(Page &page, int width, int height, QPoint &at);
    std::optional<int> newPage(int width, int height);

    int m_pageSize;
    std::vector<Page> m_pages;
};
