#include "data/NameHash.h"

namespace {

constexpr quint32 Seed = 0xDEADBEEF;
constexpr int BlockBytes = 12;

inline quint32 rot(quint32 x, int k) { return (x << k) | (x >> (32 - k)); }

inline void mix(quint32 &a, quint32 &b, quint32 &c)
{
    a -= c; a ^= rot(c, 4);  c += b;
    b -= a; b ^= rot(a, 6);  a += c;
    c -= b; c ^= rot(b, 8);  b += a;
    a -= c; a ^= rot(c, 16); c += b;
    b -= a; b ^= rot(a, 19); a += c;
    c -= b; c ^= rot(b, 4);  b += a;
}

inline void finalMix(quint32 &a, quint32 &b, quint32 &c)
{
    c ^= b; c -= rot(b, 14);
    a ^= c; a -= rot(c, 11);
    b ^= a; b -= rot(a, 25);
    c ^= b; c -= rot(b, 16);
    a ^= c; a -= rot(c, 4);
    b ^= a; b -= rot(a, 14);
    c ^= b; c -= rot(b, 24);
}

// Up to four bytes as a little-endian word, missing bytes zero.
inline quint32 word(const uchar *p, qsizetype n)
{
    quint32 w = 0;
    for (qsizetype i = 0; i < n && i < 4; ++i)
        w |= quint32(p[i]) << (8 * i);
    return w;
}

} // namespace

quint64 NameHash::hash(const QByteArray &bytes)
{
    const auto *k = reinterpret_cast<const uchar *>(bytes.constData());
    qsizetype length = bytes.size();
    quint32 a = Seed + quint32(length);
    quint32 b = a;
    quint32 c = a;
    while (length > BlockBytes) {
        a += word(k, 4);
        b += word(k + 4, 4);
        c += word(k + 8, 4);
        mix(a, b, c);
        length -= BlockBytes;
        k += BlockBytes;
    }
    // The last 1 to 12 bytes; nothing left means no final mix.
    if (length > 0) {
        a += word(k, length);
        if (length > 4)
            b += word(k + 4, length - 4);
        if (length > 8)
            c += word(k + 8, length - 8);
        finalMix(a, b, c);
    }
    return (quint64(b) << 32) | c;
}

quint64 NameHash::ofName(const QString &name)
{
    return hash(name.toLower().toLatin1());
}
