#include "data/HueTable.h"

#include <QCoreApplication>
#include <QFile>

#include <algorithm>

namespace {
constexpr int BlockHeader = 4;
constexpr int EntriesPerBlock = 8;
constexpr int EntryBytes = 88; // 32 colours, then 24 unused bytes
constexpr int BlockBytes = BlockHeader + EntriesPerBlock * EntryBytes;
constexpr int ColoursPerHue = 32;
constexpr int NameOffset = 2 * ColoursPerHue + 4; // after the colours and the table start and end
constexpr int NameBytes = 20;
// Far more hues than any client ships; bounds what a hostile file can cost.
constexpr qint64 MaxBytes = qint64(BlockBytes) * 8192;
} // namespace

void HueTable::load(const QString &path)
{
    m_status = DataFileStatus::probe(QStringLiteral("hues.mul"), path);
    QFile f(path);
    const bool opened = m_status.usable() && f.open(QIODevice::ReadOnly);
    loadFromBytes(opened ? f.read(MaxBytes) : QByteArray());
    if (!opened)
        return;
    if (f.size() == 0 || f.size() % BlockBytes != 0 || f.size() > MaxBytes)
        m_status.state = DataFileStatus::State::Unrecognised;
    m_status.counts = QCoreApplication::translate("HueTable", "%1 hues").arg(count());
}

QString HueTable::name(int hue) const
{
    return hue >= 1 && hue <= m_names.size() ? m_names.at(hue - 1) : QString();
}

void HueTable::loadFromBytes(const QByteArray &bytes)
{
    m_colours.clear();
    m_names.clear();
    // A short last block still gives all 8 of its entries, the missing colours 0.
    const int blocks = int((qint64(bytes.size()) + BlockBytes - 1) / BlockBytes);
    m_colours.fill(0, blocks * EntriesPerBlock * ColoursPerHue);
    m_names.fill(QString(), blocks * EntriesPerBlock);
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
            const qint64 name = entry + NameOffset;
            const qint64 available = qBound<qint64>(0, qint64(bytes.size()) - name, qint64(NameBytes));
            if (available > 0) {
                const char *raw = bytes.constData() + name;
                m_names[b * EntriesPerBlock + e] = QString::fromLatin1(raw, int(qstrnlen(raw, size_t(available))));
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
