#include "view/TexMgr.h"

#include "data/ArtReader.h"
#include "data/HueTable.h"
#include "data/RadarColours.h"
#include "model/TileRecord.h"
#include "scene/Placeholder.h"

#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QTimer>
#include <QtDebug>

#include <GL/gl.h>

namespace {
constexpr int CleanupMs = 60000;
constexpr int ImageCacheSize = 50;
constexpr quint32 OpaqueAlpha = 0xFF000000u;
constexpr quint32 TranslucentAlpha = 0xC8000000u;
} // namespace

int TexMgr::hueCount() const
{
    return m_hues ? m_hues->count() : 0;
}

TexMgr::TexMgr(ArtReader *art, HueTable *hues, QObject *parent)
    : QObject(parent), m_art(art), m_hues(hues), m_atlas(std::make_unique<TexAtlas>())
{
    m_images[0].setMaxCost(ImageCacheSize);
    m_images[1].setMaxCost(ImageCacheSize);
    armCleanup();
}

// Textures are left to the share group: deleting them needs a context that
// may already be gone at exit.
TexMgr::~TexMgr() = default;

TexInfo TexMgr::texture(quint16 id, quint16 hue, quint32 partialHue, bool translucent)
{
    const int v = translucent ? 1 : 0;
    const quint32 k = key(id, hue);
    const auto found = m_tables[v].constFind(k);
    if (found != m_tables[v].constEnd())
        return *found;
    const CachedImage *img = image(id, hue, partialHue, v);
    if (!img) {
        qWarning("Bad Art id: %d", int(id));
        return TexInfo();
    }
    const TexInfo info = upload(*img);
    m_tables[v].insert(k, info);
    return info;
}

std::optional<AtlasEntry> TexMgr::atlasEntry(quint16 id, quint16 hue, quint32 partialHue,
                                            bool translucent)
{
    const int v = translucent ? 1 : 0;
    const quint32 k = key(id, hue);
    const auto found = m_atlasTables[v].constFind(k);
    if (found != m_atlasTables[v].constEnd())
        return *found;
    const CachedImage *img = image(id, hue, partialHue, v);
    if (!img) {
        if (!m_noArt.contains(id))
            qWarning("Bad Art id: %d", int(id));
        m_noArt.insert(id);
        return std::nullopt;
    }
    const bool empty = img->pixels.empty();
    std::optional<AtlasEntry> entry =
        m_atlas->add(empty ? nullptr : img->pixels.data(), img->texWidth,
                     empty ? 0 : img->imageWidth, empty ? 0 : img->imageHeight);
    if (!entry)
        return std::nullopt;
    if (!empty) {
        ++m_uploads;
        entry->mask = maskOf(id, *img);
    }
    m_atlasTables[v].insert(k, *entry);
    return entry;
}

std::shared_ptr<const PickMask> TexMgr::maskOf(quint16 id, const CachedImage &img)
{
    std::shared_ptr<const PickMask> &mask = m_masks[id];
    if (!mask)
        mask = std::make_shared<PickMask>(PickMask::fromRgba(img.pixels.data(), img.texWidth,
                                                             img.imageWidth, img.imageHeight));
    return mask;
}

std::optional<AtlasEntry> TexMgr::tileEntry(const TileRecord &t, quint16 hue, quint32 partialHue,
                                            bool translucent)
{
    const int v = translucent ? 1 : 0;
    const auto found = m_atlasTables[v].constFind(key(t.id, hue));
    if (found != m_atlasTables[v].constEnd())
        return *found;
    if (!m_noArt.contains(t.id)) {
        std::optional<AtlasEntry> entry = atlasEntry(t.id, hue, partialHue, translucent);
        if (entry || !m_noArt.contains(t.id))
            return entry;
    }
    return placeholderEntry(t, hue, partialHue, v);
}

std::optional<AtlasEntry> TexMgr::placeholderEntry(const TileRecord &t, quint16 hue,
                                                   quint32 partialHue, int variant)
{
    const bool art = t.kind == Art;
    const quint64 k = (quint64(art ? 1 : 0) << 32) | key(t.id, hue);
    const auto found = m_placeholderTables[variant].constFind(k);
    if (found != m_placeholderTables[variant].constEnd())
        return *found;
    const Placeholder::Pixels pixels = Placeholder::pixels(
        art ? t.height : 0, m_radar ? m_radar->colour(art, t.id) : std::nullopt);
    const quint16 *hueEntry = (m_hues && hue != 0) ? m_hues->colours(hue) : nullptr;
    const std::vector<quint32> block = Placeholder::texture(
        pixels, hueEntry, partialHue != 0, variant ? TranslucentAlpha : OpaqueAlpha);
    std::optional<AtlasEntry> entry = m_atlas->add(block.data(), pixels.width, pixels.width, pixels.height);
    if (!entry)
        return std::nullopt;
    ++m_uploads;
    entry->mask = std::make_shared<PickMask>(
        PickMask::fromRgba(block.data(), pixels.width, pixels.width, pixels.height));
    m_placeholderTables[variant].insert(k, *entry);
    return entry;
}

void TexMgr::setAtlasPageSize(int side)
{
    deleteTextures();
    clearTables();
    m_atlas = std::make_unique<TexAtlas>(side);
}

const TexMgr::CachedImage *TexMgr::image(quint16 id, quint16 hue, quint32 partialHue, int variant)
{
    const quint32 k = key(id, hue);
    if (CachedImage *cached = m_images[variant].object(k))
        return cached;
    if (!m_art)
        return nullptr;
    const quint16 *hueEntry = (m_hues && hue != 0) ? m_hues->colours(hue) : nullptr;
    int tw = 0, th = 0, iw = 0, ih = 0;
    const quint32 *block = m_art->staticTexture(id, hueEntry, partialHue != 0,
                                                variant ? TranslucentAlpha : OpaqueAlpha, tw,
                                                th, iw, ih);
    ++m_decodes;
    if (tw <= 0 || th <= 0 || tw > 0xFFFF || th > 0xFFFF || iw < 0 || ih < 0)
        return nullptr;
    auto *img = new CachedImage;
    img->texWidth = quint16(tw);
    img->texHeight = quint16(th);
    img->imageWidth = quint16(iw);
    img->imageHeight = quint16(ih);
    if (iw > 0 && ih > 0 && block)
        img->pixels.assign(block, block + size_t(tw) * size_t(th));
    m_images[variant].insert(k, img, 1);
    return img;
}

TexInfo TexMgr::upload(const CachedImage &img)
{
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    // Wrapping would bleed the opposite edge into the image's border rows.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexImage2D(GL_TEXTURE_2D, 0, 4, img.texWidth, img.texHeight, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 img.pixels.empty() ? nullptr : img.pixels.data());
    ++m_uploads;
    return {name, img.texWidth, img.texHeight, img.imageWidth, img.imageHeight};
}

void TexMgr::cleanup()
{
    deleteTextures();
    clearTables();
    armCleanup();
}

void TexMgr::reload()
{
    deleteTextures();
    clearTables();
    m_images[0].clear();
    m_images[1].clear();
    m_masks.clear();
    m_noArt.clear();
    emit texturesReset();
}

// The names are gone: no table may hand one out again.
void TexMgr::clearTables()
{
    for (int v = 0; v < 2; ++v) {
        m_tables[v].clear();
        m_atlasTables[v].clear();
        m_placeholderTables[v].clear();
    }
    ++m_generation;
}

// The names belong to the global share group: make its context current on a
// surface made for the moment, so this works whether or not a view exists.
void TexMgr::deleteTextures()
{
    if (m_tables[0].isEmpty() && m_tables[1].isEmpty() && m_atlas->pageCount() == 0)
        return;
    QOpenGLContext *share = QOpenGLContext::globalShareContext();
    QOpenGLContext *previous = QOpenGLContext::currentContext();
    QSurface *previousSurface = previous ? previous->surface() : nullptr;
    QOffscreenSurface surface;
    bool current = false;
    if (share) {
        surface.setFormat(share->format());
        surface.create();
        current = surface.isValid() && share->makeCurrent(&surface);
    } else if (previous) {
        current = true; // no share group set up: use whatever context is current
    }
    if (current) {
        for (const auto &table : m_tables) {
            for (const TexInfo &info : table) {
                const GLuint name = info.texture;
                glDeleteTextures(1, &name);
            }
        }
        m_atlas->release();
        glFlush();
    } else {
        m_atlas->forget();
    }
    if (share && current) {
        share->doneCurrent();
        if (previous && previousSurface)
            previous->makeCurrent(previousSurface);
    }
}

void TexMgr::armCleanup()
{
    QTimer::singleShot(CleanupMs, this, &TexMgr::cleanup);
}
