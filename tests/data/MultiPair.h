#pragma once

#include "FileBytes.h"
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
    static void save(const QString &path, const QByteArray &bytes) { writeFileBytes(path, bytes); }
    QByteArray index() const { return fileBytes(idx); }
    QByteArray data() const { return fileBytes(mul); }
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

    // A tile record of either size, by hand; `upper` fills the four bytes a 16-byte record adds.
    static QByteArray rec(int size, quint16 id, qint16 x, qint16 y, qint16 z, quint32 flags, quint32 upper = 0)
    {
        QByteArray r(size, '\0');
        auto *p = reinterpret_cast<uchar *>(r.data());
        qToLittleEndian(id, p), qToLittleEndian(x, p + 2), qToLittleEndian(y, p + 4), qToLittleEndian(z, p + 6);
        qToLittleEndian(flags, p + 8);
        if (size == 16)
            qToLittleEndian(upper, p + 12);
        return r;
    }
    // Entries laid out in order after `lead` stray bytes; every record gets `extra` as its third field.
    static MulWriter::IndexedFile pairOf(const QList<QByteArray> &entries, quint32 extra = 0, int lead = 0)
    {
        MulWriter::IndexedFile f;
        f.data = QByteArray(lead, '\x5a');
        for (int n = 0; n < entries.size(); ++n) {
            const bool absent = entries[n].isEmpty();
            MulWriter::putIndexRecord(f.index, n, {absent ? -1 : qint32(f.data.size()), absent ? -1 : qint32(entries[n].size()), extra});
            f.data += entries[n];
        }
        return f;
    }
    // Entries 0 and 2 of records whose every length is a multiple of 48, with ids far above any offset:
    // non-zero upper bytes, a no-draw anchor and exact duplicates (0x4101, 0x4102); entry 1 absent.
    static QList<QByteArray> house(int size)
    {
        return {rec(size, 0x4100, 0, 0, 0, 0, 0x01020304) + rec(size, 0x4101, -2, 3, 10, 1, 9) + rec(size, 0x4102, 4, 4, 0, 1)
                    + rec(size, 0x4101, -2, 3, 10, 1, 9) + rec(size, 0x4103, 1, -1, 20, 1, 0xFFFF0000u)
                    + rec(size, 0x4102, 4, 4, 0, 1) + (size == 12 ? rec(12, 0x4104, 0, 0, 1, 1) + rec(12, 0x4104, 0, 0, 2, 1) : QByteArray()),
                QByteArray(),
                rec(size, 0x4200, 0, 0, 0, 1) + rec(size, 0x4201, 2, 2, 2, 1) + rec(size, 0x4202, 3, 3, 3, 0, 5)
                    + (size == 12 ? rec(12, 0x4203, 1, 1, 1, 1) : QByteArray())};
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
