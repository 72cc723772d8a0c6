// Crash recovery as the user meets it: an editor with unsaved work is killed,
// the next one offers the work and opens it again; saves and clean closes
// leave nothing behind; a folder left by crashes and tampering (a link to a
// FIFO, damaged files, another version's) is named in the offer instead of
// hanging or lingering; locks of dead editors go, a live one's stays.
#include "GlTest.h"
#include "FileBytes.h"
#include "MltRows.h"
#include "app/GLScroll.h"
#include "app/MainWindow.h"
#include "app/RecoveryMgr.h"
#include "model/Facet.h"
#include "model/NoTileInfo.h"
#include "model/RecoveryFile.h"
#include "model/UndoMgr.h"
#include "ScriptedDialogs.h"
#include "view/GLWidget.h"

#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QStandardPaths>
#include <QTest>

#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const QString Child = QStringLiteral(TILSEN_BINARY_DIR "/tests/recovery_child");

// A process that takes the lock, then ends at once or waits to be killed.
pid_t lockHolder(const QString &path, bool stay)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        QLockFile lock(path);
        if (lock.tryLock(0) && stay)
            ::pause();
        ::_exit(0);
    }
    return pid;
}

} // namespace

class TestRecovery : public GlTest
{
    Q_OBJECT
private:
    QTemporaryDir m_home;
    QProcessEnvironment m_env = QProcessEnvironment::systemEnvironment();

    QString recoveryFolder() const { return m_home.filePath("share/recovery_child/recovery"); }
    QStringList recoveryFiles() const
    {
        return QDir(recoveryFolder()).entryList({"*.recovery"}, QDir::Files);
    }

    QProcess *startChild(const QStringList &args)
    {
        auto *p = new QProcess(this);
        p->setProcessEnvironment(m_env);
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p->start(Child, args);
        return p;
    }

    // A child started as the editor answering the offer; its report lines.
    QStringList startAndReport(int button)
    {
        QProcess *p = startChild({"start", QString::number(button)});
        const bool done = p->waitForFinished(60000);
        const QStringList lines = QString::fromUtf8(p->readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        delete p;
        return done ? lines : QStringList{"timeout"};
    }

    // Opens the file, makes edits then more edits, and waits; returns the live child.
    QProcess *editor(const QString &file, int edits, int more, QString *recoveryPath)
    {
        QProcess *p = startChild({"edit", file, QString::number(edits), QString::number(more)});
        QString line;
        while (p->waitForReadyRead(60000)) {
            line += QString::fromUtf8(p->readAllStandardOutput());
            if (line.endsWith('\n'))
                break;
        }
        *recoveryPath = line.trimmed().section(' ', 1);
        return p;
    }

    static void kill(QProcess *p)
    {
        ::kill(pid_t(p->processId()), SIGKILL);
        p->waitForFinished(10000);
        delete p;
    }

private slots:
    void initTestCase()
    {
        TILSEN_NEED_GL();
        QVERIFY(QFile::exists(Child));
        m_env.insert("XDG_DATA_HOME", m_home.filePath("share"));
        m_env.insert("ASAN_OPTIONS", "detect_leaks=0");
        QStandardPaths::setTestModeEnabled(true);
    }

    void killedEditorIsRecovered()
    {
        const QString house = m_home.filePath("house.mlt");
        const QByteArray saved = QByteArray(4, '\0') + mltEntry(9, -5, -5) + mltEntry(9, -4, -5);
        QVERIFY(writeFileBytes(house, saved));

        // 200 edits write the recovery file; 10 more are the work of the last minute.
        QString written;
        QProcess *first = editor(house, 200, 10, &written);
        QVERIFY2(QFile::exists(written), qPrintable(written));
        const std::optional<RecoveryFile> copy = RecoveryFile::read(written);
        QVERIFY(copy && copy->fileName == house && copy->tiles == 202);

        // While that editor runs, its files are its own.
        QCOMPARE(startAndReport(2), QStringList({"files " + QFileInfo(written).fileName()}));
        kill(first);
        QCOMPARE(fileBytes(house), saved);

        // Later keeps the files for the next start.
        QStringList later = startAndReport(2);
        QCOMPARE(later.size(), 2);
        QVERIFY2(later[0].startsWith("offer Recover Documents|") && later[0].contains(house)
                     && later[0].contains("202 tile(s)") && later[0].endsWith("|Recover|Discard|Later"),
                 qPrintable(later[0]));
        QCOMPARE(later[1], "files " + QFileInfo(written).fileName());
        QCOMPARE(startAndReport(-1).size(), 2); // closing the offer is Later too

        // Recover opens it modified under its own name, with every tile saved before and written since.
        const QStringList recovered = startAndReport(0);
        QCOMPARE(recovered.size(), 3);
        const QByteArray expected = mltRows(200) + mltEntry(9, -5, -5) + mltEntry(9, -4, -5);
        QCOMPARE(recovered[1], QString("document %1|1|202|%2").arg(house, QString::fromLatin1(expected.toHex())));
        // The old copy went once the new editor had its own; that one went with its clean exit.
        QVERIFY2(recovered[2].startsWith("files ") && !recovered[2].contains(QFileInfo(written).fileName()),
                 qPrintable(recovered[2]));
        QCOMPARE(recoveryFiles(), QStringList());
        QCOMPARE(startAndReport(0), QStringList({"files "}));
        QCOMPARE(fileBytes(house), saved);

    }

    // In one editor: the minute's write, a save and a clean close.
    void savesAndClosesLeaveNothing()
    {
        QTemporaryDir dir;
        ScriptedDialogs dialogs;
        MainWindow window;
        RecoveryMgr &recovery = *window.recovery();
        GLScroll *doc = window.addDocument(dir.filePath("a.mlt"), TileMap());
        const QString path = recovery.fileFor(doc);
        QVERIFY(path.startsWith(RecoveryMgr::defaultFolder()));
        recovery.writeAll();
        QVERIFY(!QFile::exists(path)); // nothing unsaved yet

        UndoMgr *undo = doc->view()->undoMgr();
        TileRecord t(7, 0, 0, doc->view()->tileData(), Art);
        undo->beginGroup();
        undo->insertTile(t);
        undo->commitGroup();
        recovery.writeAll();
        const std::optional<RecoveryFile> copy = RecoveryFile::read(path);
        QVERIFY(copy && copy->tiles == 1 && copy->fileName == dir.filePath("a.mlt"));
        QCOMPARE(copy->mlt, QByteArray(4, '\0') + mltEntry(7, 0, 0));

        QVERIFY(doc->saveToFile(dir.filePath("a.mlt")));
        QVERIFY(!QFile::exists(path));

        undo->undo();
        recovery.writeAll();
        QVERIFY(QFile::exists(path));
        // Closing without saving is the user's choice: the copy goes with the window.
        dialogs.answer(int(QMessageBox::No));
        QVERIFY(doc->parentWidget()->close());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!QFile::exists(path));
    }


    void unrecoverableFilesAreOfferedOnceAndStaleLocksGo()
    {
        QTemporaryDir dir;
        const auto in = [&dir](const QString &name) { return dir.filePath("recovery/" + name); };
        QVERIFY(QDir().mkpath(in("")));
        RecoveryFile good;
        good.fileName = "/houses/keep.mlt";
        good.mlt = QByteArray(4, '\0');
        QVERIFY(writeFileBytes(in("11-1.recovery"), good.toBytes()) && writeFileBytes(in("12-1.recovery"), "a few bytes of nothing")
                && writeFileBytes(in("13-1.recovery"), "TMERCVR2" + good.toBytes().mid(8)));
        QVERIFY(::mkfifo(qPrintable(dir.filePath("fifo")), 0600) == 0 && QFile::link(dir.filePath("fifo"), in("14-1.recovery")));
        const pid_t dead = lockHolder(in("15-1.lock"), false), live = lockHolder(in("16-1.lock"), true);
        ::waitpid(dead, nullptr, 0);
        QTRY_VERIFY(QFile::exists(in("16-1.lock")) && QFile::exists(in("15-1.lock")));

        ScriptedDialogs dialogs;
        const NoTileInfo info;
        RecoveryMgr recovery(in(""), info);
        QVERIFY(!QFile::exists(in("15-1.lock")) && QFile::exists(in("16-1.lock")));
        const RecoveryMgr::Opener none = [](const QString &, const TileMap &) { return nullptr; };
        for (const int button : {2, 1}) { // Later keeps them all, Discard removes them all
            dialogs.answer(button);
            recovery.offer(nullptr, none);
            const QString offer = dialogs.last("choose")->text;
            for (const QString &line : {in("12-1.recovery") + " cannot be recovered (damaged)",
                                        in("13-1.recovery") + " cannot be recovered (written by another version",
                                        in("14-1.recovery") + " cannot be recovered (not a file)", QString("/houses/keep.mlt, ")})
                QVERIFY2(offer.contains(line), qPrintable(offer));
            QCOMPARE(QDir(in("")).entryList({"*.recovery"}, QDir::Files | QDir::System).size(), button == 2 ? 4 : 0);
        }
        QVERIFY(QFile::exists(dir.filePath("fifo")));
        // Recover takes what it can; the damaged rest goes once named.
        QVERIFY(writeFileBytes(in("12-1.recovery"), "TMERCVR1 cut short"));
        dialogs.answer(0);
        recovery.offer(nullptr, none);
        QVERIFY(dialogs.count("choose") == 3 && !QFile::exists(in("12-1.recovery")));
        recovery.offer(nullptr, none);
        QCOMPARE(dialogs.count("choose"), 3);
        ::kill(live, SIGKILL);
        ::waitpid(live, nullptr, 0);
    }
};

QTEST_MAIN(TestRecovery)
#include "test_recovery.moc"
