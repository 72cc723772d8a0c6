#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QtEndian>

#include <tuple>

#include <zlib.h>

// Packed containers made and taken apart by hand in the tests, so that the
// expectations do not come from the code under test.
namespace UopBytes {

struct Slot {
    quint64 hash = 0;
    QByteArray stored;      // the bytes the entry points at (after its data header)
    quint32 unpacked = 0;   // 0: the stored size
    quint16 compression = 0;
    QByteArray dataHeader;
    bool empty = false;     // an all-zero slot
};

inline void put16(QByteArray &b, quint16 v) { b.append(char(v & 0xFF)).append(char(v >> 8)); }
inline void put32(QByteArray &b, quint32 v) { put16(b, quint16(v)), put16(b, quint16(v >> 16)); }
inline void put64(QByteArray &b, quint64 v) { put32(b, quint32(v)), put32(b, quint32(v >> 32)); }
inline void set64(QByteArray &b, int at, quint64 v) { qToLittleEndian<quint64>(v, b.data() + at); }

inline QByteArray zlib(const QByteArray &plain)
{
    uLongf n = compressBound(uLong(plain.size()));
    QByteArray out(int(n), '\0');
    compress2(reinterpret_cast<Bytef *>(out.data()), &n, reinterpret_cast<const Bytef *>(plain.constData()),
              uLong(plain.size()), 9);
    out.truncate(int(n));
    return out;
}

inline QByteArray unzlib(const QByteArray &packed, int size)
{
    QByteArray out(size, '\0');
    uLongf n = uLongf(size);
    if (uncompress(reinterpret_cast<Bytef *>(out.data()), &n, reinterpret_cast<const Bytef *>(packed.constData()),
                   uLong(packed.size())) != Z_OK || int(n) != size)
        return QByteArray("<bad zlib>");
    return out;
}

inline Slot stored(quint64 hash, const QByteArray &bytes) { return {hash, bytes, 0, 0, {}, false}; }
inline Slot packed(quint64 hash, const QByteArray &plain)
{
    return {hash, zlib(plain), quint32(plain.size()), 1, {}, false};
}
inline Slot emptySlot() { Slot s; s.empty = true; return s; }

// Blocks of `perBlock` items each (the last one padded with empty items up to
// `perBlock` when `pad`), the data of all entries after the last block.
inline QByteArray build(const QList<Slot> &items, int perBlock, quint32 version = 5, bool pad = false)
{
    QByteArray out;
    put32(out, 0x0050594D), put32(out, version), put32(out, 0xFD23EC43);
    put64(out, 0x200), put32(out, quint32(perBlock)), put32(out, quint32(items.size()));
    put32(out, 1), put32(out, 1), put32(out, 0);
    out.append(0x200 - out.size(), '\0');
    QList<int> tablePos;
    for (int i = 0; i < items.size(); i += perBlock) {
        const int count = pad ? perBlock : qMin(perBlock, int(items.size()) - i);
        const int blockAt = out.size();
        put32(out, quint32(count)), put64(out, 0);
        for (int k = 0; k < count; ++k) {
            tablePos.append(out.size());
            out.append(34, '\0');
        }
        if (i + perBlock < items.size())
            set64(out, blockAt + 4, quint64(out.size()));
    }
    for (int i = 0; i < items.size(); ++i) {
        const Slot &s = items.at(i);
        if (s.empty)
            continue;
        QByteArray e;
        put64(e, quint64(out.size())), put32(e, quint32(s.dataHeader.size())), put32(e, quint32(s.stored.size()));
        put32(e, s.unpacked ? s.unpacked : quint32(s.stored.size())), put64(e, s.hash);
        put32(e, 0x1234), put16(e, s.compression);
        out.replace(tablePos.at(i), 34, e);
        out.append(s.dataHeader).append(s.stored);
    }
    return out;
}

// One entry as the file holds it: its table fields and its bytes.
struct Raw {
    quint32 headerLength = 0, storedSize = 0, unpacked = 0, checksum = 0;
    quint16 compression = 0;
    QByteArray bytes; // data header and stored bytes
    auto fields() const { return std::tie(headerLength, storedSize, unpacked, checksum, compression, bytes); }
    bool operator==(const Raw &o) const { return fields() == o.fields(); }
};

// The entries of a well-formed container by hash, in table order.
inline QList<QPair<quint64, Raw>> entries(const QByteArray &file)
{
    QList<QPair<quint64, Raw>> out;
    const auto *p = reinterpret_cast<const uchar *>(file.constData());
    quint64 block = qFromLittleEndian<quint64>(p + 12);
    for (int guard = 0; block != 0 && block + 12 <= quint64(file.size()) && guard < 1000; ++guard) {
        const quint32 count = qFromLittleEndian<quint32>(p + block);
        for (quint32 i = 0; i < count; ++i) {
            const uchar *e = p + block + 12 + 34 * i;
            const quint64 offset = qFromLittleEndian<quint64>(e);
            if (!offset)
                continue;
            Raw r;
            r.headerLength = qFromLittleEndian<quint32>(e + 8);
            r.storedSize = qFromLittleEndian<quint32>(e + 12);
            r.unpacked = qFromLittleEndian<quint32>(e + 16);
            r.checksum = qFromLittleEndian<quint32>(e + 28);
            r.compression = qFromLittleEndian<quint16>(e + 32);
            r.bytes = file.mid(qsizetype(offset), r.headerLength + r.storedSize);
            out.append({qFromLittleEndian<quint64>(e + 20), r});
        }
        block = qFromLittleEndian<quint64>(p + block + 4);
    }
    return out;
}

inline Raw entry(const QByteArray &file, quint64 hash)
{
    for (const auto &e : entries(file))
        if (e.first == hash)
            return e.second;
    return Raw();
}

// A multi payload: id, count, then records (id, x, y, z, flags, extra words).
struct Rec {
    quint16 id;
    qint16 x, y, z;
    quint16 flags;
    QList<quint32> extra;
};
inline QByteArray record(const Rec &r)
{
    QByteArray b;
    put16(b, r.id), put16(b, quint16(r.x)), put16(b, quint16(r.y)), put16(b, quint16(r.z)), put16(b, r.flags);
    put32(b, quint32(r.extra.size()));
    for (quint32 w : r.extra)
        put32(b, w);
    return b;
}
inline QByteArray multi(quint32 id, const QList<Rec> &records)
{
    QByteArray b;
    put32(b, id), put32(b, quint32(records.size()));
    for (const Rec &r : records)
        b.append(record(r));
    return b;
}

} // namespace UopBytes
