#pragma once

#include <QByteArray>
#include <QDataStream>
#include <QIODevice>
#include <QMap>

#include <functional>

// Small art files built in memory: run-length art entries, the index, and a
// hue table whose every colour is one value.
class TestArt
{
public:
    static constexpr quint16 Red = 0x7C00;
    static constexpr quint16 Green = 0x03E0;
    static constexpr quint16 Blue = 0x001F;
    static constexpr quint16 White = 0x7FFF;

    // pixel(x, y) gives the colour, 0 for transparent.
    static QByteArray entry(int w, int h, const std::function<quint16(int, int)> &pixel)
    {
        QByteArray runs;
        QList<qint16> starts;
        QDataStream r(&runs, QIODevice::WriteOnly);
        r.setByteOrder(QDataStream::LittleEndian);
        for (int y = 0; y < h; ++y) {
            starts.append(qint16(runs.size() / 2));
            int x = 0, lastEnd = 0;
            while (x < w) {
                while (x < w && pixel(x, y) == 0)
                    ++x;
                if (x == w)
                    break;
                const int start = x;
                while (x < w && pixel(x, y) != 0)
                    ++x;
                r << qint16(start - lastEnd) << qint16(x - start);
                for (int i = start; i < x; ++i)
                    r << pixel(i, y);
                lastEnd = x;
            }
            r << qint16(0) << qint16(0);
        }
        QByteArray out;
        QDataStream s(&out, QIODevice::WriteOnly);
        s.setByteOrder(QDataStream::LittleEndian);
        s << quint32(0) << quint16(w) << quint16(h);
        for (qint16 v : starts)
            s << v;
        out.append(runs);
        return out;
    }

    static QByteArray solid(int w, int h, quint16 colour)
    {
        return entry(w, h, [colour](int, int) { return colour; });
    }

    // Art ids to entries -> artidx.mul and art.mul bytes.
    static void build(const QMap<int, QByteArray> &art, QByteArray &idx, QByteArray &mul)
    {
        idx.clear();
        mul.clear();
        QDataStream s(&idx, QIODevice::WriteOnly);
        s.setByteOrder(QDataStream::LittleEndian);
        for (int record = 0; record < 0x8000; ++record) {
            const auto it = art.constFind(record - 0x4000);
            if (record < 0x4000 || it == art.constEnd()) {
                s << qint32(-1) << qint32(0) << qint32(0);
                continue;
            }
            s << qint32(mul.size()) << qint32(it->size()) << qint32(0);
            mul.append(*it);
        }
    }

    static QByteArray hues(quint16 colour, int blocks = 8)
    {
        QByteArray out;
        QDataStream s(&out, QIODevice::WriteOnly);
        s.setByteOrder(QDataStream::LittleEndian);
        for (int b = 0; b < blocks; ++b) {
            s << quint32(0);
            for (int e = 0; e < 8; ++e) {
                for (int c = 0; c < 32; ++c)
                    s << colour;
                s << quint16(0) << quint16(0);
                for (int n = 0; n < 20; ++n)
                    s << quint8(0);
            }
        }
        return out;
    }
};
