#include "data/MultiData.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

MultiData::MultiData(const QByteArray &bytes) : m_bytes(bytes), m_size(bytes.size()) {}

MultiData::MultiData(int fd, qint64 size, const QString &shown) : m_fd(fd), m_size(size), m_shown(shown) {}

std::optional<MultiData> MultiData::open(const QString &path, QString *error)
{
    const QString shown = QDir::toNativeSeparators(path);
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        if (error)
            *error = QCoreApplication::translate("MultiData", "%1: cannot be opened (%2)")
                         .arg(shown, QString::fromLocal8Bit(std::strerror(errno)));
        return std::nullopt;
    }
    MultiData data(fd, 0, path);
    data.m_owned = std::shared_ptr<const int>(new int(fd), [](const int *owned) {
        ::close(*owned);
        delete owned;
    });
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        if (error)
            *error = QCoreApplication::translate("MultiData", "%1: is not a file").arg(shown);
        return std::nullopt;
    }
    data.m_size = st.st_size;
    return data;
}

bool MultiData::read(qint64 offset, qint64 length, QByteArray &bytes) const
{
    bytes.clear();
    if (offset < 0 || length <= 0 || offset >= m_size)
        return true;
    const qint64 wanted = qMin(length, m_size - offset);
    if (m_fd < 0) {
        bytes = m_bytes.mid(offset, wanted);
        return true;
    }
    bytes.resize(qsizetype(wanted));
    qint64 done = 0;
    while (done < wanted) {
        const ssize_t n = ::pread(m_fd, bytes.data() + done, size_t(wanted - done), off_t(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            // A file cut short under us reads as less than it was: as damaged as an I/O error.
            const QString reason = n == 0 ? QCoreApplication::translate("MultiData", "the file ended early")
                                          : QString::fromLocal8Bit(std::strerror(errno));
            m_error = QCoreApplication::translate("MultiData", "%1: cannot be read (%2)")
                          .arg(QDir::toNativeSeparators(m_shown), reason);
            bytes.clear();
            return false;
        }
        done += n;
    }
    return true;
}
