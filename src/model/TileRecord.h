#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <array>

class TileInfoSource;

enum TileKind : qint32 { Terrain = 0, Art = 1 };

// One placed or offered tile. A value type: copied freely between the model,
// selection, clipboard and undo history.
struct TileRecord {
    qint32 kind = Terrain;
    quint16 id = 0;
    qint16 z = 0;
    qint16 hue = 0;
    qint16 visible = 1;
    // Copied from the tile data when the record is made; never stored in files or keys.
    quint32 flags = 0;
    quint8 height = 0;
    QString name;
    quint16 textureId = 0;
    // Placement.
    qint32 x = 0;
    qint32 y = 0;
    qint32 sortZ = 0;

    TileRecord() = default;
    TileRecord(quint16 id, qint16 hue, qint16 z, const TileInfoSource &data, qint32 kind);
    TileRecord(const QString &key, const TileInfoSource &data);

    // "id:x:y:z:hue:visible:kind"
    QString key() const;
    static constexpr int KeyFields = 7;
    // The leading decimal fields of a colon-separated text such as a key;
    // missing or non-numeric fields read as 0, text after the last is ignored.
    static std::array<qint32, KeyFields> keyFields(QStringView text);

    bool isArt() const { return kind == Art; }
    int bias() const;
    int level() const { return sortZ + bias(); }
    bool drawsBefore(const TileRecord &other) const;
    bool operator==(const TileRecord &o) const
    {
        return x == o.x && y == o.y && z == o.z && hue == o.hue && kind == o.kind
               && visible == o.visible && id == o.id;
    }
    bool operator!=(const TileRecord &o) const { return !(*this == o); }

    void lookUp(const TileInfoSource &data);
};

struct DrawOrder {
    bool operator()(const TileRecord &a, const TileRecord &b) const { return a.drawsBefore(b); }
};

// Low 16 bits of y above the low 16 bits of x.
inline quint32 locationKey(qint32 x, qint32 y)
{
    return (quint32(quint16(y)) << 16) | quint32(quint16(x));
}
inline qint16 keyX(quint32 key) { return qint16(key & 0xFFFF); }
inline qint16 keyY(quint32 key) { return qint16(key >> 16); }

// Location key -> tiles at that location: how tiles travel between readers,
// the clipboard codec and a new document.
using TileMap = QHash<quint32, QList<TileRecord>>;
