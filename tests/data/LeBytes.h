#pragma once

#include <QByteArray>

// Builds little-endian byte fixtures for the reader tests.
class LeBytes
{
public:
    LeBytes &u8(int v) { m_b.append(char(v)); return *this; }
    LeBytes &u16(int v) { return u8(v & 0xFF).u8((v >> 8) & 0xFF); }
    LeBytes &u32(quint32 v) { return u16(int(v & 0xFFFF)).u16(int(v >> 16)); }
    LeBytes &zeros(int n) { m_b.append(QByteArray(n, '\0')); return *this; }
    // Exactly n bytes of text, padded with NUL.
    LeBytes &text(const QByteArray &t, int n) { m_b.append(t.left(n)); return zeros(n - int(t.left(n).size())); }
    LeBytes &bytes(const QByteArray &b) { m_b.append(b); return *this; }
    int size() const { return int(m_b.size()); }
    const QByteArray &data() const { return m_b; }

private:
    QByteArray m_b;
};
