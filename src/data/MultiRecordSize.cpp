#include "data/MultiRecordSize.h"

#include <QCoreApplication>
#include <QtEndian>

#include <algorithm>

namespace {

// Offsets beyond the editor's 400 x 400 area and altitudes beyond a signed
// byte belong to no multi the client can show.
constexpr int MaxOffset = 200;
constexpr int MinAltitude = -128;
constexpr int MaxAltitude = 127;

struct Verdict {
    bool tilesPlausible = true;  // lengths fit, offsets and altitudes in range
    bool flagsPlausible = true;  // every visibility is 0 or 1
};

QString tr(const char *text)
{
    return QCoreApplication::translate("MultiRecordSize", text);
}

void judgeRecord(const uchar *p, Verdict &v)
{
    const int x = qFromLittleEndian<qint16>(p + 2);
    const int y = qFromLittleEndian<qint16>(p + 4);
    const int z = qFromLittleEndian<qint16>(p + 6);
    const quint16 visibility = qFromLittleEndian<quint16>(p + 8);
    if (x < -MaxOffset || x > MaxOffset || y < -MaxOffset || y > MaxOffset || z < MinAltitude
        || z > MaxAltitude)
        v.tilesPlausible = false;
    if (visibility > 1)
        v.flagsPlausible = false;
}

Verdict judge(const QVector<MultiIndexRecord> &records, const QByteArray &data, int size)
{
    Verdict v;
    const auto *base = reinterpret_cast<const uchar *>(data.constData());
    for (const MultiIndexRecord &r : records) {
        if (!r.exists())
            continue;
        // A length that only the other size divides speaks against this one;
        // one that neither divides says nothing.
        const int other = size == MultiRecordSize::Classic ? MultiRecordSize::Extended : MultiRecordSize::Classic;
        if (r.length % size != 0 && r.length % other == 0) {
            v.tilesPlausible = false;
            return v;
        }
        // Only what lies inside the file can be judged.
        const qint64 end = qMin<qint64>(qint64(r.offset) + r.length, data.size());
        for (qint64 at = r.offset; at + size <= end && v.tilesPlausible; at += size)
            judgeRecord(base + at, v);
        if (!v.tilesPlausible)
            return v;
    }
    return v;
}

QString hintText(std::optional<int> hint)
{
    return hint ? tr(" (the tile data suggests %1-byte records)").arg(*hint) : QString();
}

} // namespace

MultiRecordSize MultiRecordSize::given(int bytes)
{
    MultiRecordSize s;
    s.m_bytes = bytes;
    s.m_how = How::Given;
    s.m_reason = tr("given by the user");
    return s;
}

MultiRecordSize MultiRecordSize::decide(const QVector<MultiIndexRecord> &records,
                                        const QByteArray &data, std::optional<int> hint)
{
    MultiRecordSize s;
    s.m_hint = hint;
    const bool anyEntry = std::any_of(records.cbegin(), records.cend(),
                                      [](const MultiIndexRecord &r) { return r.exists(); });
    if (!anyEntry) {
        s.m_reason = tr("the index holds no entry to judge by") + hintText(hint);
        return s;
    }
    const Verdict classic = judge(records, data, Classic);
    const Verdict extended = judge(records, data, Extended);
    const auto decided = [&s](int bytes, const QString &why) {
        s.m_bytes = bytes;
        s.m_how = How::Content;
        s.m_reason = why;
        return s;
    };
    if (classic.tilesPlausible != extended.tilesPlausible) {
        const int bytes = classic.tilesPlausible ? Classic : Extended;
        return decided(bytes, tr("only %1-byte records give plausible tiles").arg(bytes));
    }
    if (classic.tilesPlausible && classic.flagsPlausible != extended.flagsPlausible) {
        const int bytes = classic.flagsPlausible ? Classic : Extended;
        return decided(bytes, tr("only %1-byte records give plausible visibility flags").arg(bytes));
    }
    s.m_reason = (classic.tilesPlausible ? tr("12- and 16-byte records both give plausible tiles")
                                         : tr("neither 12- nor 16-byte records give plausible tiles"))
                 + hintText(hint);
    return s;
}
