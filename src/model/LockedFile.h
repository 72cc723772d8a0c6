#pragma once

#include <QByteArray>
#include <QString>

// A shared file held under an exclusive flock for a whole read-change-replace,
// the lock the multi pair's export takes on multi.mul: a second writer waits,
// then reads what the first one wrote. A replace puts a new file under the
// name, so a writer that waited on the old one opens the name again.
class LockedFile
{
public:
    enum class Read { Ok, CannotOpen, Failed, TooLarge };

    explicit LockedFile(const QString &path) : m_path(path) {}
    ~LockedFile();
    LockedFile(const LockedFile &) = delete;
    LockedFile &operator=(const LockedFile &) = delete;

    // Opens and locks the file, waiting for another writer to finish; a
    // missing file is created empty when `create` is set. *error: the system's reason.
    bool lock(bool create, QString *error);
    // Every byte of the locked file.
    Read readAll(QByteArray &bytes, qint64 maxBytes, QString *error);
    // Removes the file lock() created, when nothing was written into it.
    void discardCreated();

    // A whole file read without a lock. A read error, or an end before the
    // size the file had when opened, is Failed: never a shorter file.
    static Read readFile(const QString &path, QByteArray &bytes, qint64 maxBytes, QString *error);

private:
    QString m_path;
    int m_fd = -1;
    bool m_created = false;
};
