#pragma once

#include <QByteArray>
#include <QString>

class QIODevice;
class QSaveFile;

// Whole-file writes that cannot half-happen. The bytes go to an exclusive
// temporary beside the target (a symlink is followed to its target, whose
// mode is kept), are flushed and synced, and only then renamed over it.
// Any failure leaves the old file byte for byte and says why.
namespace SafeWrite {

// Writes every byte into the open `device` and, for a file, pushes Qt's
// buffer out: a write that "succeeded" into the buffer can still fail here
// when the disk is full. On failure *error holds the device's reason.
bool writeAll(QIODevice &device, const QByteArray &bytes, QString *error = nullptr);

// Writes `bytes` into the opened `file`, checks its flush (Qt's commit does
// not notice a final flush that failed) and commits. On failure the write is
// cancelled and *error holds the system's reason, e.g. "No space left on device".
bool commit(QSaveFile &file, const QByteArray &bytes, QString *error = nullptr);

// Opens a save file for `path` and commits `bytes` into it as above.
bool replaceFile(const QString &path, const QByteArray &bytes, QString *error = nullptr);

// Removes a file; a file already gone counts as removed.
bool removeFile(const QString &path, QString *error = nullptr);

} // namespace SafeWrite
