#include "model/SafeWrite.h"

#include <QSaveFile>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <unistd.h>
#endif

namespace {

bool failed(QSaveFile &file, QString *error, const QString &fallback)
{
    if (error)
        *error = file.error() != QFileDevice::NoError ? file.errorString() : fallback;
    if (file.isOpen())
        file.cancelWriting();
    return false;
}

} // namespace

bool SafeWrite::commit(QSaveFile &file, const QByteArray &bytes, QString *error)
{
    if (!file.isOpen())
        return failed(file, error, QStringLiteral("the file is not open"));
    if (file.write(bytes) != bytes.size())
        return failed(file, error, QStringLiteral("the write was cut short"));
    // Small contents sit in Qt's buffer until here: this is where a full disk shows.
    if (!file.flush() || file.error() != QFileDevice::NoError)
        return failed(file, error, QStringLiteral("the write could not be completed"));
#ifdef Q_OS_UNIX
    // Qt's commit does not report a failed sync: the bytes must be on disk
    // before the rename makes them the file.
    if (::fsync(file.handle()) != 0) {
        if (error)
            *error = QString::fromLocal8Bit(std::strerror(errno));
        file.cancelWriting();
        return false;
    }
#endif
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
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
