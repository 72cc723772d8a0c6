#include "model/SafeWrite.h"

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("SafeWrite", text);
}

QString reasonOf(const QIODevice &device, const QString &fallback)
{
    const QString reason = device.errorString();
    // QIODevice says "Unknown error" when nothing was set.
    return reason.isEmpty() || reason == QLatin1String("Unknown error") ? fallback : reason;
}

bool failed(QSaveFile &file, QString *error, const QString &reason)
{
    if (error)
        *error = reason;
    if (file.isOpen())
        file.cancelWriting();
    return false;
}

QString systemReason(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

bool writeToDescriptor(int fd, const QByteArray &bytes, QString *error)
{
    qint64 done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            // A write that takes nothing without an error would loop forever.
            if (error)
                *error = n < 0 ? systemReason(errno) : systemReason(ENOSPC);
            return false;
        }
        done += n;
    }
    return true;
}

// QSaveFile syncs only where the platform asks for it: make sure the bytes
// are on the disk before the rename makes them the file.
bool syncToDisk(QFileDevice &file, QString *error)
{
    const int fd = file.handle();
    if (fd < 0 || ::fsync(fd) == 0 || errno == EINVAL || errno == EROFS)
        return true;
    if (error)
        *error = systemReason(errno);
    return false;
}

} // namespace

bool SafeWrite::writeAll(QIODevice &device, const QByteArray &bytes, QString *error)
{
    auto fail = [&](const QString &fallback) {
        if (error)
            *error = reasonOf(device, fallback);
        return false;
    };
    if (!device.isOpen() || !device.isWritable())
        return fail(tr("the file is not open for writing"));
    // A file is written straight to its descriptor: Qt's buffer would hide the
    // failure until a flush whose reason it does not keep.
    auto *file = qobject_cast<QFileDevice *>(&device);
    if (file && file->handle() >= 0) {
        if (!file->flush())
            return fail(tr("the write could not be completed"));
        return writeToDescriptor(file->handle(), bytes, error);
    }
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 n = device.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0)
            return fail(tr("the write was cut short"));
        done += n;
    }
    // A buffered device (a pipe, a socket) is flushed the Qt way.
    while (device.bytesToWrite() > 0) {
        if (!device.waitForBytesWritten(-1))
            return fail(tr("the write could not be completed"));
    }
    return true;
}

bool SafeWrite::commit(QSaveFile &file, const QByteArray &bytes, QString *error)
{
    QString reason;
    if (!writeAll(file, bytes, &reason))
        return failed(file, error, reason);
    if (!syncToDisk(file, &reason))
        return failed(file, error, reason);
    if (!file.commit()) {
        if (error)
            *error = reasonOf(file, tr("the file could not be replaced"));
        return false;
    }
    return true;
}

bool SafeWrite::replaceFile(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return commit(file, bytes, error);
}

bool SafeWrite::removeFile(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.exists() || file.remove())
        return true;
    if (error)
        *error = file.errorString();
    return false;
}
