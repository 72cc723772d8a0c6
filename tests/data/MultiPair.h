#pragma once

#include "MulWriter.h"
#include "data/TileData.h"
#include "model/Facet.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <algorithm>

// A multi.idx / multi.mul pair in a temporary folder, with helpers to look at
// what an import or export did to it.
struct MultiPair {
    QTemporaryDir dir;
    QString idx = dir.filePath("multi.idx");
    QString mul = dir.filePath("multi.mul");

    void write(const MulWriter::IndexedFile &files) { save(idx, files.index), save(mul, files.data); }
    static void save(const QString &path, const QByteArray &bytes)
    {
        QFile f(path);
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            f.write(bytes);
    }
    static QByteArray load(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QByteArray index() const { return load(idx); }
    QByteArray data() const { return load(mul); }
    // Everything in the folder besides the pair itself.
    QStringList strays() const
    {
        QStringList names = QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
        names.removeAll("multi.idx"), names.removeAll("multi.mul");
        return names;
    }

    static MulWriter::IndexRecord record(const QByteArray &index, int n)
    {
        const uchar *p = reinterpret_cast<const uchar *>(index.constData()) + n * 12;
        return {qFromLittleEndian<qint32>(p), qFromLittleEndian<qint32>(p + 4), qFromLittleEndian<quint32>(p + 8)};
    }
    static QByteArray entryBytes(const QByteArray &index, const QByteArray &data, int n)
    {
        const MulWriter::IndexRecord r = record(index, n);
        return r.offset < 0 || r.length <= 0 ? QByteArray() : data.mid(r.offset, r.length);
    }
    // An entry's records in a comparable order: order aside, two entries hold the same records.
    static QList<QByteArray> sortedRecords(const QByteArray &entry, int recordSize)
    {
        QList<QByteArray> out;
        for (int at = 0; at + recordSize <= entry.size(); at += recordSize)
            out.append(entry.mid(at, recordSize));
        std::sort(out.begin(), out.end());
        return out;
    }

    static TileRecord tile(const TileData &data, quint16 id, int x, int y, qint16 z, qint16 visible = 1,
                           qint32 kind = Art)
    {
        TileRecord t(id, 0, z, data, kind);
        t.x = x, t.y = y, t.visible = visible;
        return t;
    }
    static void fill(Facet &model, const QList<TileRecord> &tiles)
    {
        TileMap map;
        for (const TileRecord &t : tiles)
            map[locationKey(t.x, t.y)].append(t);
        model.load(map);
    }
};
