#pragma once

#include <QByteArray>
#include <QString>

class QSaveFile;

// Whole-file writes that cannot half-happen. The bytes go to an exclusive
// temporary beside the target (a symlink is followed to its target, whose
// mode is kept), are flushed and synced, and only then renamed over it.
// Any failure leaves the old file byte for byte and says why.
namespace SafeWrite {

// Writes `bytes` into the opened `file`, checks its flush (Qt's commit does
// not notice a final flush that failed) and commits. On failure the write is
// cancelled and *error holds the system's reason, e.g. "No space left on device".
bool commit(QSaveFile &file, const QByteArray &bytes, QString *error = nullptr);

// Opens a save file for `path` and commits `bytes` into it as above.
bool replaceFile(const QString &path, const QByteArray &bytes, QString *error = nullptr);

} // namespace SafeWrite
