#include "app/RecoveryMgr.h"

#include "app/GLScroll.h"
#include "model/Facet.h"
#include "model/MltFile.h"
#include "model/SafeWrite.h"
#include "model/UndoMgr.h"
#include "ui/Dialogs.h"
#include "view/GLWidget.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QStandardPaths>

#include <algorithm>

namespace {

const QString Suffix = QStringLiteral(".recovery");
const QString LockSuffix = QStringLiteral(".lock");

// "<session>-<n>.recovery" belongs to session "<session>".
QString sessionOf(const QString &fileName)
{
    return fileName.left(fileName.lastIndexOf(QLatin1Char('-')));
}

} // namespace

RecoveryMgr::RecoveryMgr(const QString &folder, const TileInfoSource &data, QObject *parent)
    : QObject(parent), m_folder(folder), m_data(data)
{
    QDir().mkpath(m_folder);
    m_session = QStringLiteral("%1-%2").arg(QCoreApplication::applicationPid())
                    .arg(QDateTime::currentMSecsSinceEpoch());
    m_lock = std::make_unique<QLockFile>(QDir(m_folder).filePath(m_session + LockSuffix));
    if (!m_lock->tryLock(0))
        qWarning("Cannot lock the recovery folder %s", qPrintable(m_folder));
    removeStaleLocks();
    connect(&m_timer, &QTimer::timeout, this, &RecoveryMgr::writeAll);
    m_timer.start(IntervalMs);
}

RecoveryMgr::~RecoveryMgr() = default;

QString RecoveryMgr::defaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)
           + QStringLiteral("/recovery");
}

void RecoveryMgr::watch(GLScroll *document)
{
    Watched &w = m_watched[document];
    w.path = QDir(m_folder).filePath(QStringLiteral("%1-%2%3").arg(m_session).arg(m_nextNumber++).arg(Suffix));
    w.pending = document->model()->isModified();
    connect(document->view()->undoMgr(), &UndoMgr::edited, this, [this, document] { edited(document); });
    connect(document, &GLScroll::saved, this, [this, document] { discard(document); });
    connect(document, &QObject::destroyed, this, &RecoveryMgr::forget);
}

QString RecoveryMgr::fileFor(GLScroll *document) const
{
    return m_watched.value(document).path;
}

void RecoveryMgr::edited(GLScroll *document)
{
    Watched &w = m_watched[document];
    w.pending = true;
    if (++w.edits < EditsPerWrite)
        return;
    w.edits = 0;
    // After the action that made the edit, not in the middle of it.
    QPointer<GLScroll> later(document);
    QTimer::singleShot(0, this, [this, later] {
        if (later)
            write(later);
    });
}

void RecoveryMgr::writeAll()
{
    for (auto it = m_watched.begin(); it != m_watched.end(); ++it) {
        auto *document = static_cast<GLScroll *>(it.key());
        if (!document->model()->isModified())
            discard(document);
        else if (it->pending)
            write(document);
    }
}

bool RecoveryMgr::write(GLScroll *document)
{
    Watched &w = m_watched[document];
    const Facet *model = document->model();
    if (!model->isModified())
        return false;
    RecoveryFile file;
    file.fileName = document->fileName();
    file.written = QDateTime::currentDateTimeUtc();
    file.tiles = model->tileCount();
    file.mlt = MltFile::toBytes(*model);
    QString reason;
    if (!SafeWrite::replaceFile(w.path, file.toBytes(), &reason)) {
        // A copy that cannot be kept must not interrupt the work it guards; try again later.
        qWarning("Cannot write the recovery file %s: %s", qPrintable(w.path), qPrintable(reason));
        return false;
    }
    w.pending = false;
    return true;
}

void RecoveryMgr::discard(GLScroll *document)
{
    const auto it = m_watched.find(document);
    if (it == m_watched.end())
        return;
    it->pending = false;
    it->edits = 0;
    SafeWrite::removeFile(it->path);
}

void RecoveryMgr::forget(QObject *document)
{
    // A document closed cleanly was saved or given up by the user.
    const auto it = m_watched.find(document);
    if (it == m_watched.end())
        return;
    SafeWrite::removeFile(it->path);
    m_watched.erase(it);
}

bool RecoveryMgr::sessionAlive(const QString &session) const
{
    if (session == m_session)
        return true;
    // A lock whose editor is gone is stale and can be taken.
    QLockFile lock(QDir(m_folder).filePath(session + LockSuffix));
    return !lock.tryLock(0);
}

void RecoveryMgr::removeStaleLocks() const
{
    // Editors that ended with nothing unsaved leave only their lock behind.
    const QDir dir(m_folder);
    for (const QString &name : dir.entryList({QLatin1Char('*') + LockSuffix}, QDir::Files)) {
        if (name == m_session + LockSuffix)
            continue;
        // Taken only when its editor is gone; unlocking removes it.
        QLockFile lock(dir.filePath(name));
        if (lock.tryLock(0))
            lock.unlock();
    }
}

QList<RecoveryMgr::Orphan> RecoveryMgr::orphans() const
{
    QList<Orphan> found;
    const QDir dir(m_folder);
    for (const QString &name : dir.entryList({QLatin1Char('*') + Suffix}, QDir::Files)) {
        if (sessionAlive(sessionOf(name)))
            continue;
        const QString path = dir.filePath(name);
        RecoveryLoad loaded = RecoveryFile::load(path);
        if (loaded.file && MltFile::fromBytes(loaded.file->mlt, m_data).status != MltReadResult::Ok)
            loaded.problem = tr("damaged");
        found.append({path, loaded.file.value_or(RecoveryFile()), loaded.problem});
    }
    std::sort(found.begin(), found.end(), [](const Orphan &a, const Orphan &b) {
        return a.content.written < b.content.written;
    });
    return found;
}

QString RecoveryMgr::describe(const QList<Orphan> &orphans)
{
    const bool anyRecoverable = std::any_of(orphans.cbegin(), orphans.cend(),
                                            [](const Orphan &o) { return o.problem.isEmpty(); });
    QString text = (anyRecoverable ? tr("The editor ended without saving these documents:")
                                   : tr("Copies of unsaved documents were left that cannot be recovered:"))
                   + QLatin1Char('\n');
    for (const Orphan &o : orphans) {
        if (!o.problem.isEmpty()) {
            text += QLatin1Char('\n') + tr("%1 cannot be recovered (%2); Recover and Discard remove it")
                                            .arg(QDir::toNativeSeparators(o.path), o.problem);
            continue;
        }
        const QString name = o.content.fileName.isEmpty() ? tr("Untitled") : o.content.fileName;
        text += QLatin1Char('\n')
                + tr("%1, %2, %n tile(s)", nullptr, o.content.tiles)
                      .arg(name, QLocale().toString(o.content.written.toLocalTime(), QLocale::ShortFormat));
    }
    return text;
}

void RecoveryMgr::offer(QWidget *parent, const Opener &open)
{
    const QList<Orphan> found = orphans();
    if (found.isEmpty())
        return;
    enum { Recover, Discard, Later };
    const int choice = Dialogs::choose(parent, tr("Recover Documents"), describe(found),
                                       {tr("Recover"), tr("Discard"), tr("Later")}, Recover);
    if (choice != Recover && choice != Discard)
        return;
    for (const Orphan &o : found) {
        if (choice == Recover && o.problem.isEmpty()) {
            const MltReadResult tiles = MltFile::fromBytes(o.content.mlt, m_data);
            // A copy whose tiles cannot be read stays for a person to look at.
            if (tiles.status != MltReadResult::Ok)
                continue;
            GLScroll *document = open(o.content.fileName, tiles.tiles);
            document->model()->markModified();
            // The recovered work is safe in this session's file before the old one goes.
            if (!write(document))
                continue;
        }
        SafeWrite::removeFile(o.path);
    }
}
