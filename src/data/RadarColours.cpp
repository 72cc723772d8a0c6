#include "data/RadarColours.h"

#include "data/DataLocations.h"

#include <QCoreApplication>
#include <QFile>
#include <QtEndian>

namespace {
constexpr qint64 ColourBytes = 2;

QString tr(const char *text)
{
    return QCoreApplication::translate("RadarColours", text);
}
} // namespace

QString RadarColours::storedPath()
{
    return DataLocations::load().value(int(DataLocations::readOrder().indexOf(QStringLiteral("RadarCol"))));
}

void RadarColours::load(const QString &path)
{
    m_colours.clear();
    m_status = DataFileStatus::probe(QStringLiteral("radarcol.mul"), path);
    // Only placeholders use it: a client without it still draws everything.
    m_status.optional = true;
    if (!m_status.usable())
        return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_status.state = DataFileStatus::State::Unreadable;
        return;
    }
    // Never more than the largest real file, whatever the size claims.
    const qint64 size = file.size();
    const qint64 wanted = qMin(size, qint64(MaxEntries) * ColourBytes);
    const QByteArray bytes = file.read(wanted);
    if (file.error() != QFileDevice::NoError || bytes.size() != wanted) {
        // A read that failed part-way is not a short file: use none of it.
        m_status.state = DataFileStatus::State::Unreadable;
        m_status.layout = file.errorString();
        return;
    }
    take(bytes, size);
}

void RadarColours::loadFromBytes(const QByteArray &bytes)
{
    m_colours.clear();
    m_status = DataFileStatus();
    m_status.name = QStringLiteral("radarcol.mul");
    m_status.state = DataFileStatus::State::Found;
    m_status.optional = true;
    take(bytes.left(qint64(MaxEntries) * ColourBytes), bytes.size());
}

void RadarColours::take(const QByteArray &bytes, qint64 fileSize)
{
    const int count = int(bytes.size() / ColourBytes);
    m_colours.resize(count);
    const auto *p = reinterpret_cast<const uchar *>(bytes.constData());
    for (int i = 0; i < count; ++i)
        m_colours[i] = qFromLittleEndian<quint16>(p + ColourBytes * i);
    const int art = qMax(0, count - LandEntries);
    m_status.counts = tr("%1 terrain, %2 art colours").arg(qMin(count, int(LandEntries))).arg(art);
    if (fileSize < qint64(ClassicEntries) * ColourBytes || fileSize % ColourBytes != 0
        || fileSize > qint64(MaxEntries) * ColourBytes) {
        m_status.state = DataFileStatus::State::Unrecognised;
        m_status.layout = tr("%1 bytes, %2 expected").arg(fileSize).arg(qint64(ClassicEntries) * ColourBytes);
    }
}

std::optional<quint16> RadarColours::colour(bool art, int id) const
{
    if (id < 0 || (!art && id >= LandEntries))
        return std::nullopt;
    const int index = art ? LandEntries + id : id;
    if (index >= m_colours.size())
        return std::nullopt;
    return m_colours[index];
}
