#include "data/HueTable.h"

#include <QFile>

#include <algorithm>

namespace {
constexpr int BlockHeader = 4;
constexpr int EntriesPerBlock = 8;
constexpr int EntryBytes = 88; // 32 colours, then 24 unused bytes
constexpr int BlockBytes = BlockHeader + EntriesPerBlock * EntryBytes;
constexpr int ColoursPerHue = 32;
// Far more hues than any client ships; bounds what a hostile file can cost.
constexpr qint64 MaxBytes = qint64(BlockBytes) * 8192;
} // namespace

void HueTable::load(const QString &path)
{
    QFile f(path);
    loadFromBytes(f.open(QIODevice::ReadOnly) ? f.read(MaxBytes) : QByteArray());
}

void HueTable::loadFromBytes(const QByteArray &bytes)
{
    m_colours.clear();
    // A short last block still gives all 8 of its entries, the missing colours 0.
    const int blocks = int((qint64(bytes.size()) + BlockBytes - 1) / BlockBytes);
    m_colours.fill(0, blocks * EntriesPerBlock * ColoursPerHue);
    const auto *in = reinterpret_cast<const uchar *>(bytes.constData());
    for (int b = 0; b < blocks; ++b) {
        for (int e = 0; e < EntriesPerBlock; ++e) {
            const qint64 entry = qint64(b) * BlockBytes + BlockHeader + qint64(e) * EntryBytes;
            quint16 *out = m_colours.data() + (b * EntriesPerBlock + e) * ColoursPerHue;
            for (int c = 0; c < ColoursPerHue; ++c) {
                const qint64 pos = entry + 2 * c;
                if (pos + 1 < bytes.size())
                    out[c] = quint16(in[pos] | in[pos + 1] << 8);
            }
        }
    }
}

const quint16 *HueTable::colours(int hue)
{
    if (hue <= 0 || hue > count())
        return nullptr;
    const quint16 *src = m_colours.constData() + qint64(hue - 1) * ColoursPerHue;
    std::copy(src, src + ColoursPerHue, m_result);
    return m_result;
}
