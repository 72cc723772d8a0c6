#include "model/LockedFile.h"

#include <QCoreApplication>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr qint64 Chunk = 1 << 20;
// A name replaced this often while we waited is being fought over: give up.
constexpr int MaxAttempts = 1000;

bool failed(QString *error, const QString &reason)
{
    if (error)
        *error = reason;
    return false;
}

QString systemReason() { return QString::fromLocal8Bit(std::strerror(errno)); }

LockedFile::Read readFailed(QString *error, const QString &reason)
{
    failed(error, reason);
    return LockedFile::Read::Failed;
}

bool sameFile(const struct stat &a, const struct stat &b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

LockedFile::Read readDescriptor(int fd, QByteArray &bytes, qint64 maxBytes, QString *error)
{
    bytes.clear();
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return readFailed(error, systemReason());
    // The size is checked before a byte is taken; a device or a growing file is
    // still stopped one chunk past the cap.
    const qint64 expected = S_ISREG(st.st_mode) ? qint64(st.st_size) : 0;
    if (expected > maxBytes)
        return LockedFile::Read::TooLarge;
    bytes.reserve(qsizetype(expected) + 1);
    qint64 done = 0;
    for (;;) {
        const qint64 want = qMin(qMax(expected - done + 1, Chunk), maxBytes + 1 - done);
        bytes.resize(qsizetype(done + want));
        const ssize_t n = ::read(fd, bytes.data() + done, size_t(want));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const QString reason = systemReason();
            bytes.clear();
            return readFailed(error, reason);
        }
        if (n == 0)
            break;
        done += n;
        if (done > maxBytes) {
            bytes.clear();
            return LockedFile::Read::TooLarge;
        }
    }
    bytes.resize(qsizetype(done));
    // An end before the size the file had is a cut-short read, not a shorter file.
    if (done < expected) {
        bytes.clear();
        return readFailed(error, QCoreApplication::translate("LockedFile", "the read ended after %1 of %2 bytes")
                                     .arg(done)
                                     .arg(expected));
    }
    return LockedFile::Read::Ok;
}

} // namespace

LockedFile::~LockedFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool LockedFile::lock(bool create, QString *error)
{
    const QByteArray name = QFile::encodeName(m_path);
    for (int attempt = 0; attempt < MaxAttempts; ++attempt) {
        // Non-blocking: opening a FIFO would wait for a writer forever.
        int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        bool made = false;
        if (fd < 0 && errno == ENOENT && create) {
            fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_CREAT | O_EXCL, 0666);
            made = fd >= 0;
            if (fd < 0 && errno == EEXIST)
                continue;
        }
        if (fd < 0)
            return failed(error, systemReason());
        int locked = 0;
        while ((locked = ::flock(fd, LOCK_EX)) != 0 && errno == EINTR) {
        }
        struct stat held {}, named {};
        if (locked != 0 || ::fstat(fd, &held) != 0) {
            const QString reason = systemReason();
            ::close(fd);
            return failed(error, reason);
        }
        if (!S_ISREG(held.st_mode)) {
            ::close(fd);
            return failed(error, QCoreApplication::translate("LockedFile", "not a regular file"));
        }
        // Replaced while we waited: the lock must be on the file the name stands for now.
        if (::stat(name.constData(), &named) == 0 && sameFile(held, named)) {
            m_fd = fd;
            m_created = made;
            return true;
        }
        ::close(fd);
    }
    return failed(error, QCoreApplication::translate("LockedFile", "it keeps being replaced by another program"));
}

LockedFile::Read LockedFile::readAll(QByteArray &bytes, qint64 maxBytes, QString *error)
{
    if (m_fd < 0 || ::lseek(m_fd, 0, SEEK_SET) != 0)
        return readFailed(error, systemReason());
    return readDescriptor(m_fd, bytes, maxBytes, error);
}

void LockedFile::discardCreated()
{
    if (!m_created || m_fd < 0)
        return;
    const QByteArray name = QFile::encodeName(m_path);
    struct stat held {}, named {};
    if (::fstat(m_fd, &held) == 0 && ::stat(name.constData(), &named) == 0 && sameFile(held, named)
        && named.st_size == 0)
        ::unlink(name.constData());
    m_created = false;
}

LockedFile::Read LockedFile::readFile(const QString &path, QByteArray &bytes, qint64 maxBytes, QString *error)
{
    bytes.clear();
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        failed(error, systemReason());
        return Read::CannotOpen;
    }
    const Read result = readDescriptor(fd, bytes, maxBytes, error);
    ::close(fd);
    return result;
}
