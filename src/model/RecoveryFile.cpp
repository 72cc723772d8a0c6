#include "model/RecoveryFile.h"

#include "model/MltFile.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QByteArray Tag("TMERCVR1");
// The tag without its version digit.
const QByteArray Family("TMERCVR");
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
    return load(path).file;
}

RecoveryLoad RecoveryFile::load(const QString &path)
{
    const auto why = [](const char *text) {
        return RecoveryLoad{std::nullopt, QCoreApplication::translate("RecoveryFile", text)};
    };
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return {std::nullopt, QString::fromLocal8Bit(std::strerror(errno))};
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return why("not a file");
    }
    if (st.st_size > MaxSize) {
        ::close(fd);
        return why("damaged");
    }
    QByteArray bytes(qsizetype(st.st_size), Qt::Uninitialized);
    qint64 done = 0;
    int reason = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            reason = n < 0 ? errno : EIO;
            break;
        }
        done += n;
    }
    ::close(fd);
    if (reason)
        return {std::nullopt, QString::fromLocal8Bit(std::strerror(reason))};
    if (std::optional<RecoveryFile> file = fromBytes(bytes))
        return {file, QString()};
    if (bytes.startsWith(Family) && !bytes.startsWith(Tag))
        return why("written by another version of the editor");
    return why("damaged");
}
