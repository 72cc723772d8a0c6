#pragma once

#include "model/TileRecord.h"

#include <QByteArray>
#include <QObject>
#include <QString>

class QMimeData;
class TileInfoSource;

// The clipboard and drag payload: little-endian serialised strings "1.0",
// the reference point "x:y:z", then one tile key per tile. Stored under
// "bm/art" or "bm/terrain" after the kind the producer states.
class MimeMgr : public QObject
{
    Q_OBJECT
public:
    explicit MimeMgr(const TileInfoSource &data, QObject *parent = nullptr);

    void setIncludeInvisible(bool include) { m_includeInvisible = include; }
    bool includeInvisible() const { return m_includeInvisible; }

    static QString formatName(int kind);
    // The caller owns the result until the clipboard or a drag takes it.
    static QMimeData *encode(int kind, const TileMap &tiles, int x, int y, qint16 z);
    // Each location's list comes back in draw order. Out values are left alone
    // when there is no payload of that kind or its version is not "1.0".
    TileMap decode(int kind, const QMimeData *data, int &x, int &y, qint16 &z) const;
    bool canDecode(int kind, const QMimeData *data) const;

    static QByteArray encodeBytes(const TileMap &tiles, int x, int y, qint16 z);
    TileMap decodeBytes(const QByteArray &bytes, int &x, int &y, qint16 &z) const;

private:
    static void appendString(QByteArray &out, const QString &text);
    static bool readString(const QByteArray &bytes, qsizetype &pos, QString &text);
    static void readReferencePoint(const QString &text, int &x, int &y, qint16 &z);
    static void sortLocations(TileMap &tiles);

    const TileInfoSource &m_data;
    bool m_includeInvisible = false;
};
