#pragma once

#include <QByteArray>
#include <QString>

// Adds bytes past the end of an existing file and nowhere else: what the file
// held stays where it was, so readers of the old contents are never misled.
// The addition is synced before it counts; a failed or withdrawn one is cut
// off again. The file is locked while open, so two writers never append at
// the same end. Errors carry the system's reason ("No space left on device").
class DataAppender
{
public:
    explicit DataAppender(const QString &path) : m_path(path) {}
    ~DataAppender();
    DataAppender(const DataAppender &) = delete;
    DataAppender &operator=(const DataAppender &) = delete;

    bool open(QString *error);
    // The size when opened: where appended bytes start.
    qint64 originalSize() const { return m_size; }
    // For reading the locked file by range.
    int descriptor() const { return m_fd; }
    // Writes and syncs `bytes` at originalSize(); on failure the file is cut back.
    bool append(const QByteArray &bytes, QString *error);
    // Cuts the file back to originalSize() and syncs.
    bool withdraw(QString *error);

    // For compaction, onto bytes nothing points at any more: copies `length`
    // bytes from `from` to `to` a piece at a time (unsynced until sync()), or
    // cuts the file to `size`.
    bool copy(qint64 from, qint64 length, qint64 to, QString *error);
    bool sync(QString *error);
    bool cutTo(qint64 size, QString *error);

private:
    bool fail(QString *error, const QString &what);
    bool writeAll(qint64 offset, const char *bytes, qint64 length);

    QString m_path;
    int m_fd = -1;
    qint64 m_size = 0;
};
