#pragma once

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>

// The bytes of a multi.mul, read by range: from memory, or from an open file
// with pread, so that what is held follows the entries used and never the
// size of the file (which may be 2 GiB).
class MultiData
{
public:
    // Bytes already in memory (the pure functions' view of a file).
    MultiData(const QByteArray &bytes);
    // An open descriptor the caller keeps open; `shown` names it in errors.
    MultiData(int fd, qint64 size, const QString &shown);
    // Opens a regular file for reading, never waiting (a FIFO would block
    // forever); nothing, with the reason in `error`, otherwise.
    static std::optional<MultiData> open(const QString &path, QString *error);

    qint64 size() const { return m_size; }
    // The bytes of [offset, offset + length) that lie inside the data, read
    // exactly: false with errorString() on a read error or a short read.
    bool read(qint64 offset, qint64 length, QByteArray &bytes) const;
    QString errorString() const { return m_error; }

private:
    QByteArray m_bytes;
    std::shared_ptr<const int> m_owned; // closes a descriptor open() made
    int m_fd = -1;
    qint64 m_size = 0;
    QString m_shown;
    mutable QString m_error;
};
