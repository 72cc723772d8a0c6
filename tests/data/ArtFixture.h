#pragma once

#include "LeBytes.h"

#include <QMap>
#include <QVector>

// Builds an art index and art data pair in memory. Pixels given as 0 are left
// out of the runs (transparent); others are stored as they are.
class ArtFixture
{
public:
    explicit ArtFixture(int records = 0x8000) : m_records(records) {}

    void addLand(int id, quint16 colour)
    {
        LeBytes b;
        for (int i = 0; i < 1012; ++i)
            b.u16(colour);
        addEntry(id, b.data());
    }

    void addStatic(int artId, int w, int h, const QVector<quint16> &pixels)
    {
        addEntry(0x4000 + artId, staticEntry(w, h, pixels));
    }

    static QByteArray staticEntry(int w, int h, const QVector<quint16> &pixels)
    {
        QVector<QByteArray> rows;
        for (int y = 0; y < h; ++y) {
            LeBytes r;
            int x = 0;
            while (x < w) {
                int start = x;
                while (start < w && pixels[y * w + start] == 0)
                    ++start;
                int end = start;
                while (end < w && pixels[y * w + end] != 0)
                    ++end;
                if (start == end)
                    break;
                r.u16(start - x).u16(end - start);
                for (int i = start; i < end; ++i)
                    r.u16(pixels[y * w + i]);
                x = end;
            }
            r.u16(0).u16(0);
            rows.append(r.data());
        }
        LeBytes e;
        e.u32(0x1234).u16(w).u16(h);
        int words = 0;
        for (const QByteArray &r : rows) {
            e.u16(words);
            words += int(r.size()) / 2;
        }
        for (const QByteArray &r : rows)
            e.bytes(r);
        return e.data();
    }

    void addEntry(int record, const QByteArray &bytes)
    {
        m_index[record] = {m_data.size(), int(bytes.size())};
        m_data.bytes(bytes);
    }
    void setRecord(int record, qint32 offset, qint32 length) { m_index[record] = {offset, length}; }
    void appendData(const QByteArray &bytes) { m_data.bytes(bytes); }

    QByteArray index() const
    {
        LeBytes b;
        for (int i = 0; i < m_records; ++i) {
            const auto it = m_index.find(i);
            if (it == m_index.end())
                b.u32(0xFFFFFFFF).u32(0xFFFFFFFF).u32(0);
            else
                b.u32(quint32(it->first)).u32(quint32(it->second)).u32(0);
        }
        return b.data();
    }
    const QByteArray &data() const { return m_data.data(); }

private:
    int m_records;
    QMap<int, QPair<qint32, qint32>> m_index;
    LeBytes m_data;
};
