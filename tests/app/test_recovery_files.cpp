// The recovery folder as a start-up finds it after crashes and tampering: a
// link to a FIFO, damaged files and one of another version are named in the
// offer instead of hanging or lingering; locks of dead editors go, a live one's stays.
#include "FileBytes.h"
#include "app/RecoveryMgr.h"
#include "model/NoTileInfo.h"
#include "ScriptedDialogs.h"

#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

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

class TestRecoveryFiles : public QObject
{
    Q_OBJECT

private slots:
    void unrecoverableFilesAreOfferedOnceAndStaleLocksGo()
    {
        QTemporaryDir dir;
        const auto in = [&dir](const QString &name) { return dir.filePath("recovery/" + name); };
        QVERIFY(QDir().mkpath(in("")));
        RecoveryFile good;
        good.fileName = "/houses/keep.mlt";
        good.mlt = QByteArray(4, '\0');
        QVERIFY(writeFileBytes(in("11-1.recovery"), good.toBytes()));
        QVERIFY(writeFileBytes(in("12-1.recovery"), "a few bytes of nothing"));
        QVERIFY(writeFileBytes(in("13-1.recovery"), "TMERCVR2" + good.toBytes().mid(8)));
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

QTEST_MAIN(TestRecoveryFiles)
#include "test_recovery_files.moc"
