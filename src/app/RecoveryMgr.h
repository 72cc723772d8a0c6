#pragma once

#include "model/RecoveryFile.h"
#include "model/TileRecord.h"

#include <QHash>
#include <QLockFile>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <memory>

class GLScroll;
class TileInfoSource;
class QWidget;

// Keeps a copy of every modified document in a recovery file, so that a
// crash, a kill or a power cut costs at most a minute of work: written every
// minute and after every 200 edits, removed by a save or a clean close.
// Each running editor holds a lock on its own files; files whose editor is
// gone are offered at the next start, and its stale lock is removed. A file
// that cannot be recovered (damaged, of another version, not a file) is named
// in the same offer; Recover and Discard remove it, Later keeps it.
class RecoveryMgr : public QObject
{
    Q_OBJECT
public:
    static constexpr int IntervalMs = 60 * 1000;
    static constexpr int EditsPerWrite = 200;

    struct Orphan {
        QString path;
        RecoveryFile content;
        QString problem; // why it cannot be recovered; empty when it can
    };
    // Opens a document from recovered tiles (the main window's addDocument).
    using Opener = std::function<GLScroll *(const QString &fileName, const TileMap &tiles)>;

    RecoveryMgr(const QString &folder, const TileInfoSource &data, QObject *parent = nullptr);
    ~RecoveryMgr() override;

    // The per-user data folder's "recovery" folder.
    static QString defaultFolder();
    QString folder() const { return m_folder; }

    void watch(GLScroll *document);
    // The recovery file of a watched document (it may not exist yet).
    QString fileFor(GLScroll *document) const;
    // Files left by editors that ended without closing their documents, oldest first.
    QList<Orphan> orphans() const;
    // Asks once, for all of them: Recover, Discard or Later (keep them for the next start).
    void offer(QWidget *parent, const Opener &open);

public slots:
    // Writes every modified document with edits its recovery file lacks.
    void writeAll();

private:
    struct Watched {
        QString path;
        int edits = 0;
        bool pending = false;
    };

    void edited(GLScroll *document);
    bool write(GLScroll *document);
    void forget(QObject *document);
    void discard(GLScroll *document);
    static QString describe(const QList<Orphan> &orphans);
    bool sessionAlive(const QString &session) const;
    void removeStaleLocks() const;

    QString m_folder;
    const TileInfoSource &m_data;
    QString m_session;
    std::unique_ptr<QLockFile> m_lock;
    QHash<QObject *, Watched> m_watched;
    QTimer m_timer;
    int m_nextNumber = 1;
};
