#include "model/SafeWrite.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QtDebug>

#include <cerrno>
#include <cstring>
#include <optional>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
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

// Temporaries are "<name>.tilsen-XXXXXX": a name nobody else gives a file,
// so removing the ones a killed writer left never touches a user's own.
constexpr QLatin1String TempMarker(".tilsen-");
constexpr int TempRandomChars = 6;
constexpr int MaxSymlinks = 40;

// "<name>.tilsen-", the name cut so that a temporary's name fits in a folder.
QString tempPrefix(QString name)
{
    constexpr int MaxName = 255;
    while (!name.isEmpty() && QFile::encodeName(name).size() + TempMarker.size() + TempRandomChars > MaxName)
        name.chop(1);
    return name + TempMarker;
}

bool isTempOf(const QString &candidate, const QString &prefix)
{
    if (candidate.size() != prefix.size() + TempRandomChars || !candidate.startsWith(prefix))
        return false;
    for (qsizetype i = prefix.size(); i < candidate.size(); ++i) {
        const char16_t c = candidate.at(i).unicode();
        if (!((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9')))
            return false;
    }
    return true;
}

bool sameFile(int fd, const QByteArray &name)
{
    struct stat held {}, named {};
    return ::fstat(fd, &held) == 0 && ::lstat(name.constData(), &named) == 0 && held.st_dev == named.st_dev
           && held.st_ino == named.st_ino;
}

// A writer holds the flock of its temporary from creation to rename, so one
// that can be locked belongs to a writer that died: only those go, and only
// our own plain files.
void removeStaleTemps(const QString &folder, const QString &name)
{
    const QString prefix = tempPrefix(name);
    const QStringList all = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &candidate : all) {
        if (!isTempOf(candidate, prefix))
            continue;
        const QByteArray path = QFile::encodeName(folder + QLatin1Char('/') + candidate);
        const int fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat st {};
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() && st.st_nlink == 1
            && ::flock(fd, LOCK_EX | LOCK_NB) == 0 && sameFile(fd, path))
            ::unlink(path.constData());
        ::close(fd);
    }
}

// An exclusive, locked temporary beside the target; -1 with errno set.
int createTemp(const QString &folder, const QString &name, QByteArray &tempPath)
{
    static const char Chars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        QString suffix;
        for (int i = 0; i < TempRandomChars; ++i)
            suffix += QLatin1Char(Chars[QRandomGenerator::global()->bounded(int(sizeof Chars) - 1)]);
        tempPath = QFile::encodeName(folder + QLatin1Char('/') + tempPrefix(name) + suffix);
        const int fd = ::open(tempPath.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd < 0)
            return -1;
        // Taken by a cleaner in the moment before the lock: start again.
        if (::flock(fd, LOCK_EX) == 0 && sameFile(fd, tempPath))
            return fd;
        ::close(fd);
    }
    errno = EEXIST;
    return -1;
}

// The new content, with the old file's mode, synced before the rename makes it the file.
bool fillTemp(int fd, const QByteArray &bytes, std::optional<mode_t> mode, QString *error)
{
    if (mode && ::fchmod(fd, *mode) != 0) {
        *error = systemReason(errno);
        return false;
    }
    if (!writeToDescriptor(fd, bytes, error))
        return false;
    if (::fsync(fd) != 0 && errno != EINVAL && errno != EROFS) {
        *error = systemReason(errno);
        return false;
    }
    return true;
}

// The rename is durable only once the folder that holds the name is synced.
bool syncFolder(const QString &folder, QString *error)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const bool synced = fd >= 0 && (::fsync(fd) == 0 || errno == EINVAL || errno == EROFS);
    const int code = errno;
    if (fd >= 0)
        ::close(fd);
    if (!synced && error)
        *error = systemReason(code);
    return synced;
}

// After the rename the new file is in place whatever follows: a folder that
// cannot be synced is reported, but the write is not undone or called failed.
void syncFolderOf(const QString &file, QString *error)
{
    QString reason;
    const QString folder = QFileInfo(file).absolutePath();
    if (syncFolder(folder, &reason))
        return;
    const QString warning = tr("%1: replaced, but its folder could not be synced (%2)")
                                .arg(QDir::toNativeSeparators(file), reason);
    qWarning().noquote() << warning;
    if (error)
        *error = warning;
}

// A symlink is followed to the file it names: that file is replaced, the link stays.
QString followLinks(const QString &path)
{
    QString target = QFileInfo(path).absoluteFilePath();
    for (int i = 0; i < MaxSymlinks && QFileInfo(target).isSymLink(); ++i)
        target = QFileInfo(target).symLinkTarget();
    return target;
}

} // namespace

bool SafeWrite::writeAll(QFileDevice &file, const QByteArray &bytes, QString *error)
{
    auto fail = [&](const QString &fallback) {
        if (error)
            *error = reasonOf(file, fallback);
        return false;
    };
    if (!file.isOpen() || !file.isWritable() || file.handle() < 0)
        return fail(tr("the file is not open for writing"));
    // Straight to the descriptor: Qt's buffer would hide the failure until a
    // flush whose reason it does not keep.
    if (!file.flush())
        return fail(tr("the write could not be completed"));
    return writeToDescriptor(file.handle(), bytes, error);
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
    syncFolderOf(file.fileName(), error);
    return true;
}

bool SafeWrite::replaceFile(const QString &path, const QByteArray &bytes, QString *error)
{
    const QString target = followLinks(path);
    const QFileInfo info(target);
    const QString folder = info.absolutePath();
    removeStaleTemps(folder, info.fileName());
    const QByteArray targetName = QFile::encodeName(target);
    auto fail = [&](int code) {
        if (error)
            *error = systemReason(code);
        return false;
    };
    struct stat old {};
    const bool exists = ::stat(targetName.constData(), &old) == 0;
    // A file the user made read-only stays as it is.
    if (exists && ::access(targetName.constData(), W_OK) != 0)
        return fail(errno);
    QByteArray temp;
    const int fd = createTemp(folder, info.fileName(), temp);
    if (fd < 0)
        return fail(errno);
    QString reason;
    bool written = fillTemp(fd, bytes, exists ? std::optional<mode_t>(old.st_mode & 07777) : std::nullopt, &reason);
    if (written && ::rename(temp.constData(), targetName.constData()) != 0) {
        reason = systemReason(errno);
        written = false;
    }
    if (!written)
        ::unlink(temp.constData());
    // The lock on the temporary lasts until it is the file.
    ::close(fd);
    if (!written) {
        if (error)
            *error = reason;
        return false;
    }
    syncFolderOf(target, error);
    return true;
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
