#include "model/RecoveryFile.h"

#include "model/MltFile.h"

#include <QDataStream>
#include <QFile>

namespace {

const QByteArray Tag("TMERCVR1");
constexpr QDataStream::Version StreamVersion = QDataStream::Qt_6_0;
// The tag, the name, the time and the count take far less than this.
constexpr qint64 MaxOverhead = 64 * 1024;
constexpr qint64 MaxSize = MltFile::MaxFileSize + MaxOverhead;

} // namespace

QByteArray RecoveryFile::toBytes() const
{
    QByteArray out = Tag;
    QDataStream s(&out, QIODevice::WriteOnly | QIODevice::Append);
    s.setVersion(StreamVersion);
    s.setByteOrder(QDataStream::LittleEndian);
    s << fileName.left(MaxNameLength) << qint64(written.toMSecsSinceEpoch()) << tiles << mlt;
    return out;
}

std::optional<RecoveryFile> RecoveryFile::fromBytes(const QByteArray &bytes)
{
    if (!bytes.startsWith(Tag) || bytes.size() > MaxSize)
        return std::nullopt;
    QDataStream s(bytes.mid(Tag.size()));
    s.setVersion(StreamVersion);
    s.setByteOrder(QDataStream::LittleEndian);
    RecoveryFile file;
    qint64 msecs = 0;
    // The stream checks every length against the bytes that are there.
    s >> file.fileName >> msecs >> file.tiles >> file.mlt;
    if (s.status() != QDataStream::Ok || file.fileName.size() > MaxNameLength || file.tiles < 0
        || file.mlt.size() > MltFile::MaxFileSize)
        return std::nullopt;
    file.written = QDateTime::fromMSecsSinceEpoch(msecs, Qt::UTC);
    return file;
}

std::optional<RecoveryFile> RecoveryFile::read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > MaxSize)
        return std::nullopt;
    return fromBytes(file.read(MaxSize + 1));
}
