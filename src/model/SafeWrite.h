#pragma once

#include <QByteArray>
#include <QString>

class QFileDevice;
class QSaveFile;

// Whole-file writes that cannot half-happen. The bytes go to an exclusive
// temporary beside the target (a symlink is followed to its target, whose
// mode is kept), are flushed and synced, and only then renamed over it; the
// folder is synced after the rename so that the new name survives a power cut.
// Any failure leaves the old file byte for byte and says why. A folder that
// cannot be synced after the rename is no such failure (the new file is in
// place): it is warned about and put in *error, and the write returns true.
namespace SafeWrite {

// Writes every byte into the open `file` straight to its descriptor, after
// pushing Qt's buffer out: a write that "succeeded" into the buffer can still
// fail here when the disk is full. On failure *error holds the system's reason.
bool writeAll(QFileDevice &file, const QByteArray &bytes, QString *error = nullptr);

// Writes `bytes` into the opened `file`, checks its flush (Qt's commit does
// not notice a final flush that failed) and commits. On failure the write is
// cancelled and *error holds the system's reason, e.g. "No space left on device".
bool commit(QSaveFile &file, const QByteArray &bytes, QString *error = nullptr);

// Writes `bytes` to a locked temporary "<name>.tilsen-XXXXXX" and renames it
// over `path` as above. Temporaries of `path` that a killed writer left
// behind (unlocked, ours, plain files) are removed first. A read-only
// target is refused with the system's reason.
bool replaceFile(const QString &path, const QByteArray &bytes, QString *error = nullptr);

// Removes a file; a file already gone counts as removed.
bool removeFile(const QString &path, QString *error = nullptr);

} // namespace SafeWrite
