#pragma once

#include "scene/TexInfo.h"
#include "view/TexAtlas.h"

#include <QCache>
#include <QHash>
#include <QObject>
#include <QSet>

#include <memory>
#include <optional>
#include <vector>

class ArtReader;
class HueTable;
class RadarColours;
struct TileRecord;

// Art turned into GL textures, shared by every view: decoded images in two
// small LRU caches (opaque, translucent), and made from them the textures of
// single images and the rectangles of the atlas the views draw from, in
// tables that cleanup() empties (deleting the textures and atlas pages) once
// a minute.
class TexMgr : public QObject
{
    Q_OBJECT
public:
    TexMgr(ArtReader *art, HueTable *hues, QObject *parent = nullptr);
    ~TexMgr() override;

    // Needs a current GL context of the views' share group.
    TexInfo texture(quint16 id, quint16 hue, quint32 partialHue, bool translucent);

    // The same image as a rectangle of the shared atlas, for batched drawing;
    // nullopt where texture() gives no texture.
    std::optional<AtlasEntry> atlasEntry(quint16 id, quint16 hue, quint32 partialHue,
                                         bool translucent);
    // The tile's art, or where it has none its placeholder (scene/Placeholder),
    // coloured from the radar colours when there are any.
    std::optional<AtlasEntry> tileEntry(const TileRecord &t, quint16 hue, quint32 partialHue,
                                        bool translucent);
    // Borrowed; may be null (neutral placeholders). Takes effect for pictures made from now on.
    void setRadarColours(const RadarColours *colours) { m_radar = colours; }
    // Atlas page side for the pages made from now on (tests use small pages).
    void setAtlasPageSize(int side);
    int atlasPageCount() const { return m_atlas->pageCount(); }
    // Counts the times every texture and atlas page was thrown away (cleanup, reload).
    quint64 generation() const { return m_generation; }

    static quint32 key(quint16 id, quint16 hue) { return (quint32(hue) << 16) | id; }
    int textureCount(bool translucent) const { return int(m_tables[translucent ? 1 : 0].size()); }
    int imageCount(bool translucent) const { return int(m_images[translucent ? 1 : 0].size()); }
    // Running totals, for tests and benchmarks.
    int uploads() const { return m_uploads; }
    int decodes() const { return m_decodes; }

    // How many hues the hue table holds (0 without one): the hues a user can pick.
    int hueCount() const;
    HueTable *hueTable() const { return m_hues; }

    // The art files were reloaded: forget every texture and decoded image.
    void reload();

signals:
    // The art was reloaded: every picture made from it is stale.
    void texturesReset();

public slots:
    void cleanup();

private:
    struct CachedImage {
        quint16 texWidth = 0;
        quint16 texHeight = 0;
        quint16 imageWidth = 0;
        quint16 imageHeight = 0;
        std::vector<quint32> pixels; // empty when the image itself is empty
    };

    const CachedImage *image(quint16 id, quint16 hue, quint32 partialHue, int variant);
    std::shared_ptr<const PickMask> maskOf(quint16 id, const CachedImage &img);
    std::optional<AtlasEntry> placeholderEntry(const TileRecord &t, quint16 hue,
                                               quint32 partialHue, int variant);
    TexInfo upload(const CachedImage &img);
    void deleteTextures();
    void clearTables();
    void armCleanup();

    ArtReader *m_art;
    HueTable *m_hues;
    QCache<quint32, CachedImage> m_images[2];
    QHash<quint32, TexInfo> m_tables[2];
    std::unique_ptr<TexAtlas> m_atlas;
    QHash<quint32, AtlasEntry> m_atlasTables[2];
    // Keyed by kind, hue and id: the placeholders of terrain and art ids differ.
    QHash<quint64, AtlasEntry> m_placeholderTables[2];
    // Kept until the art is reloaded: alpha does not depend on the hue.
    QHash<quint16, std::shared_ptr<const PickMask>> m_masks;
    QSet<quint16> m_noArt;
    const RadarColours *m_radar = nullptr;
    quint64 m_generation = 0;
    int m_uploads = 0;
    int m_decodes = 0;
};
