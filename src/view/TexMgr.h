#pragma once

#include "scene/TexInfo.h"

#include <QCache>
#include <QHash>
#include <QObject>

#include <vector>

class ArtReader;
class HueTable;

// Art turned into GL textures, shared by every view: decoded images in two
// small LRU caches (opaque, translucent) and the textures made from them in
// two tables that cleanup() empties once a minute.
class TexMgr : public QObject
{
    Q_OBJECT
public:
    TexMgr(ArtReader *art, HueTable *hues, QObject *parent = nullptr);
    ~TexMgr() override;

    // Needs a current GL context of the views' share group.
    TexInfo texture(quint16 id, quint16 hue, quint32 partialHue, bool translucent);

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
    TexInfo upload(const CachedImage &img);
    void deleteTextures();
    void armCleanup();

    ArtReader *m_art;
    HueTable *m_hues;
    QCache<quint32, CachedImage> m_images[2];
    QHash<quint32, TexInfo> m_tables[2];
    int m_uploads = 0;
    int m_decodes = 0;
};
