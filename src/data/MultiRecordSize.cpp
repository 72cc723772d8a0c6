#include "data/MultiRecordSize.h"

#include "model/Altitude.h"

#include <QCoreApplication>
#include <QtEndian>

#include <algorithm>

namespace {

// Offsets beyond the editor's 400 x 400 area and altitudes beyond a signed
// byte belong to no multi the client can show.
constexpr int MaxOffset = 200;

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
    if (x < -MaxOffset || x > MaxOffset || y < -MaxOffset || y > MaxOffset || !Altitude::contains(z))
        v.tilesPlausible = false;
    if (visibility > 1)
        v.flagsPlausible = false;
}

// At most this much of the data is read to judge it: every entry of any real
// multi.mul, and a bounded, evenly spread sample of a huge one.
constexpr qint64 JudgedBytes = 16 * 1024 * 1024;
constexpr int SampleUnit = 48; // whole records under both sizes

// A length that only the other size divides speaks against this one; one that
// neither divides says nothing.
bool lengthsFit(const QVector<MultiIndexRecord> &records, int size)
{
    const int other = size == MultiRecordSize::Classic ? MultiRecordSize::Extended : MultiRecordSize::Classic;
    return std::none_of(records.cbegin(), records.cend(), [size, other](const MultiIndexRecord &r) {
        return r.exists() && r.length % size != 0 && r.length % other == 0;
    });
}

void judgeBytes(const QByteArray &bytes, int size, Verdict &v)
{
    const auto *p = reinterpret_cast<const uchar *>(bytes.constData());
    for (qsizetype at = 0; at + size <= bytes.size() && v.tilesPlausible; at += size)
        judgeRecord(p + at, v);
}

// Judges the entries' bytes under both sizes, each entry read once; false when
// the data cannot be read.
bool judgeContent(const QVector<MultiIndexRecord> &records, const MultiData &data, Verdict &classic,
                  Verdict &extended)
{
    qint64 inFile = 0, count = 0;
    for (const MultiIndexRecord &r : records) {
        if (r.exists() && r.offset < data.size()) {
            inFile += qMin<qint64>(r.length, data.size() - r.offset);
            ++count;
        }
    }
    // Only what lies inside the file can be judged; of a huge file, the start
    // of every entry (or of every stride-th one).
    const bool whole = inFile <= JudgedBytes;
    const qint64 perEntry = whole ? inFile : qMax<qint64>(SampleUnit, JudgedBytes / count / SampleUnit * SampleUnit);
    const qint64 stride = whole ? 1 : qMax<qint64>(1, count * perEntry / JudgedBytes);
    qint64 seen = 0;
    QByteArray bytes;
    for (const MultiIndexRecord &r : records) {
        if (!r.exists() || r.offset >= data.size() || seen++ % stride != 0)
            continue;
        if (!data.read(r.offset, qMin<qint64>(r.length, perEntry), bytes))
            return false;
        judgeBytes(bytes, MultiRecordSize::Classic, classic);
        judgeBytes(bytes, MultiRecordSize::Extended, extended);
        if (!classic.tilesPlausible && !extended.tilesPlausible)
            break;
    }
    return true;
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
                                        const MultiData &data, std::optional<int> hint)
{
    MultiRecordSize s;
    s.m_hint = hint;
    const bool anyEntry = std::any_of(records.cbegin(), records.cend(),
                                      [](const MultiIndexRecord &r) { return r.exists(); });
    if (!anyEntry) {
        s.m_reason = tr("the index holds no entry to judge by") + hintText(hint);
        return s;
    }
    Verdict classic, extended;
    classic.tilesPlausible = lengthsFit(records, Classic);
    extended.tilesPlausible = lengthsFit(records, Extended);
    if (!judgeContent(records, data, classic, extended)) {
        s.m_reason = data.errorString();
        s.m_unreadable = true;
        return s;
    }
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
