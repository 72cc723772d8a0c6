#include "FacetWriter.h"

#include "data/NameHash.h"
#include "data/UopFile.h"

#include <QDir>
#include <QFile>
#include <QtEndian>

namespace {
template <typename T> void put(QByteArray &to, T value)
{
    char b[sizeof(T)];
    qToLittleEndian(value, b);
    to.append(b, sizeof(T));
}
} // namespace

bool FacetWriter::write(const QString &dir, int facet, int width, int height, const Terrain &terrain,
                        const Statics &statics, QString *error)
{
    QDir().mkpath(dir);
    QFile map(QDir(dir).filePath(QStringLiteral("map%1.mul").arg(facet)));
    QFile index(QDir(dir).filePath(QStringLiteral("staidx%1.mul").arg(facet)));
    QFile data(QDir(dir).filePath(QStringLiteral("statics%1.mul").arg(facet)));
    for (QFile *f : {&map, &index, &data}) {
        if (!f->open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            if (error)
                *error = f->fileName() + QStringLiteral(": ") + f->errorString();
            return false;
        }
    }
    qint64 dataSize = 0;
    for (int bx = 0; bx < width / 8; ++bx) {
        QByteArray mapBytes, indexBytes, dataBytes;
        for (int by = 0; by < height / 8; ++by) {
            put<quint32>(mapBytes, 0);
            for (int y = 0; y < 8; ++y)
                for (int x = 0; x < 8; ++x) {
                    const Cell c = terrain(bx * 8 + x, by * 8 + y);
                    put<quint16>(mapBytes, c.id);
                    put<qint8>(mapBytes, qint8(c.z));
                }
            const QVector<Static> list = statics ? statics(bx, by) : QVector<Static>();
            put<qint32>(indexBytes, list.isEmpty() ? -1 : qint32(dataSize + dataBytes.size()));
            put<qint32>(indexBytes, list.isEmpty() ? -1 : qint32(list.size() * 7));
            put<qint32>(indexBytes, 0);
            for (const Static &s : list) {
                put<quint16>(dataBytes, s.id);
                put<quint8>(dataBytes, quint8(s.x - bx * 8));
                put<quint8>(dataBytes, quint8(s.y - by * 8));
                put<qint8>(dataBytes, qint8(s.z));
                put<quint16>(dataBytes, s.hue);
            }
        }
        dataSize += dataBytes.size();
        if (map.write(mapBytes) != mapBytes.size() || index.write(indexBytes) != indexBytes.size()
            || data.write(dataBytes) != dataBytes.size()) {
            if (error)
                *error = QStringLiteral("%1: cannot be written").arg(dir);
            return false;
        }
    }
    return map.flush() && index.flush() && data.flush();
}

QByteArray FacetWriter::terrainContainer(const QByteArray &terrain, int facet, int chunkBytes)
{
    QVector<UopFile::NewEntry> entries;
    for (qsizetype at = 0, part = 0; at < terrain.size(); at += chunkBytes, ++part) {
        const QString name = QStringLiteral("build/map%1legacymul/%2.dat")
                                 .arg(facet)
                                 .arg(part, 8, 10, QLatin1Char('0'));
        entries.append(UopFile::storedEntry(NameHash::ofName(name), terrain.mid(at, chunkBytes)));
    }
    return UopFile::build(UopFile::Header(), entries);
}
