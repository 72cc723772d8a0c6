#pragma once

#include "data/DataFileStatus.h"

#include <QByteArray>
#include <QCache>
#include <QFile>
#include <QImage>
#include <QString>
#include <QVector>

// Reads the game's art (art.mul with its index artidx.mul): terrain diamonds
// and run-length coded art, as RGBA texture blocks and ARGB images. Every read
// is bounded by the file: damaged entries give no art, never a stray write.
class ArtReader
{
public:
    ArtReader();
    ArtReader(const QString &artIdx, const QString &artMul, const QString &texIdx,
              const QString &texMaps);
    ~ArtReader();
    ArtReader(const ArtReader &) = delete;
    ArtReader &operator=(const ArtReader &) = delete;

    void load(const QString &artIdx, const QString &artMul, const QString &texIdx,
              const QString &texMaps);
    // The same with the art taken from a packed container (artLegacyMUL.uop)
    // instead of the index/data pair.
    void loadContainer(const QString &container, const QString &texIdx, const QString &texMaps);
    // Same as load, from bytes in memory (tests and fuzzing).
    void loadFromBytes(const QByteArray &artIdx, const QByteArray &artMul);

    // Decoded art entry: 4 + 2*W*H bytes (W, H, then W*H colours), or nullptr.
    const QByteArray *staticPixels(int id, int &w, int &h);
    // Decoded terrain entry: 44*44 colours, or nullptr.
    const QByteArray *landPixels(int id);

    // The shared scratch block (valid until the next call or reload), or nullptr
    // with all four sizes 0 when the id has no usable art.
    const quint32 *staticTexture(int id, const quint16 *hue, bool partialHue, quint32 alphaMask,
                                 int &texWidth, int &texHeight, int &imageWidth, int &imageHeight);
    QImage staticImage(int id, const quint16 *hue, bool partialHue);
    QImage landImage(int id, const quint16 *hue, bool partialHue);

    // Number of art ids the loaded index holds (16384 for the classic index,
    // up to 65536 for newer clients).
    int staticCount() const;
    // Whether the index holds an entry for the art id inside the art file,
    // without decoding it (the palette lists every such id).
    bool hasStatic(int id) const;
    int landCount() const;
    // What load() found of the index and the art file.
    DataFileStatus indexStatus() const;
    DataFileStatus artStatus() const;

private:
    struct Private;
    Private *d;
};
