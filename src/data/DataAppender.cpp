#include "data/DataAppender.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

DataAppender::~DataAppender()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool DataAppender::fail(QString *error, const QString &what)
{
    if (error) {
        *error = QCoreApplication::translate("DataAppender", "%1: %2 (%3)")
                     .arg(QDir::toNativeSeparators(m_path), what,
                          QString::fromLocal8Bit(std::strerror(errno)));
    }
    return false;
}

bool DataAppender::open(QString *error)
{
    m_fd = ::open(QFile::encodeName(m_path).constData(), O_RDWR | O_CLOEXEC);
    if (m_fd < 0)
        return fail(error, QCoreApplication::translate("DataAppender", "cannot be opened for writing"));
    // Two exports at once would both append at the same end: one waits.
    if (::flock(m_fd, LOCK_EX) != 0)
        return fail(error, QCoreApplication::translate("DataAppender", "cannot be locked"));
    struct stat st;
    if (::fstat(m_fd, &st) != 0)
        return fail(error, QCoreApplication::translate("DataAppender", "cannot be examined"));
    m_size = st.st_size;
    return true;
}

bool DataAppender::writeAll(qint64 offset, const char *bytes, qint64 length)
{
    qint64 done = 0;
    while (done < length) {
        const ssize_t n = ::pwrite(m_fd, bytes + done, size_t(length - done), off_t(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO;
            return false;
        }
        done += n;
    }
    return true;
}

bool DataAppender::append(const QByteArray &bytes, QString *error)
{
    // Durable before anything points at it.
    const bool written = writeAll(m_size, bytes.constData(), bytes.size());
    if (!written || ::fsync(m_fd) != 0) {
        const int reason = errno;
        withdraw(nullptr);
        errno = reason;
        return fail(error, written ? QCoreApplication::translate("DataAppender", "cannot be synced")
                                   : QCoreApplication::translate("DataAppender", "cannot be written"));
    }
    return true;
}

bool DataAppender::copy(qint64 from, qint64 length, qint64 to, QString *error)
{
    // A piece at a time: memory stays small however much is copied.
    constexpr qint64 Piece = 1024 * 1024;
    QByteArray buffer(qsizetype(qMin(length, Piece)), Qt::Uninitialized);
    for (qint64 done = 0; done < length;) {
        const ssize_t n = ::pread(m_fd, buffer.data(), size_t(qMin(length - done, Piece)), off_t(from + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO; // cut short under the lock: nothing sound to copy
            return fail(error, QCoreApplication::translate("DataAppender", "cannot be read"));
        }
        if (!writeAll(to + done, buffer.constData(), n))
            return fail(error, QCoreApplication::translate("DataAppender", "cannot be written"));
        done += n;
    }
    return true;
}

bool DataAppender::sync(QString *error)
{
    if (::fsync(m_fd) != 0)
        return fail(error, QCoreApplication::translate("DataAppender", "cannot be synced"));
    return true;
}

bool DataAppender::cutTo(qint64 size, QString *error)
{
    if (::ftruncate(m_fd, off_t(size)) != 0 || ::fsync(m_fd) != 0)
        return fail(error, QCoreApplication::translate("DataAppender", "cannot be cut short"));
    return true;
}

bool DataAppender::withdraw(QString *error)
{
    if (::ftruncate(m_fd, off_t(m_size)) != 0 || ::fsync(m_fd) != 0)
        return fail(error, QCoreApplication::translate("DataAppender", "cannot be cut back"));
    return true;
}
