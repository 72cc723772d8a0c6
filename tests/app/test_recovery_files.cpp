// The recovery folder as a start-up finds it after crashes and tampering: a
// link to a FIFO, damaged files and one of another version are named once in
// the offer instead of hanging or lingering; locks of dead editors go, the
// lock of a live one stays.
#include "app/RecoveryMgr.h"
#include "model/NoTileInfo.h"
#include "ScriptedDialogs.h"

#include <QApplication>
#include <QLockFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// A process that takes the lock and then ends at once or waits to be killed.
pid_t lockHolder(const QString &path, bool stay)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        QLockFile lock(path);
        lock.tryLock(0);
        if (stay)
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
        const QString folder = dir.filePath("recovery");
        QVERIFY(QDir().mkpath(folder));
        const auto in = [&folder](const QString &name) { return QDir(folder).filePath(name); };
        RecoveryFile good;
        good.fileName = "/houses/keep.mlt";
        good.written = QDateTime::currentDateTimeUtc();
        good.mlt = QByteArray(4, '\0');
        QVERIFY(writeFile(in("11-1.recovery"), good.toBytes()));
        QVERIFY(writeFile(in("12-1.recovery"), "a few bytes of nothing"));
        QVERIFY(writeFile(in("13-1.recovery"), "TMERCVR2" + good.toBytes().mid(8)));
        QVERIFY(::mkfifo(qPrintable(dir.filePath("fifo")), 0600) == 0);
        QVERIFY(QFile::link(dir.filePath("fifo"), in("14-1.recovery")));
        const pid_t dead = lockHolder(in("15-1.lock"), false), live = lockHolder(in("16-1.lock"), true);
        ::waitpid(dead, nullptr, 0);
        QTRY_VERIFY(QFile::exists(in("16-1.lock")));
        QVERIFY(QFile::exists(in("15-1.lock")));

        ScriptedDialogs dialogs;
        const NoTileInfo info;
        RecoveryMgr recovery(folder, info);
        QVERIFY(!QFile::exists(in("15-1.lock")));
        QVERIFY(QFile::exists(in("16-1.lock")));
        const QStringList all{"11-1.recovery", "12-1.recovery", "13-1.recovery", "14-1.recovery"};
        const RecoveryMgr::Opener none = [](const QString &, const TileMap &) { return nullptr; };

        for (const int button : {2, 1}) { // Later keeps them all, Discard removes them all
            dialogs.answer(button);
            recovery.offer(nullptr, none);
            const ScriptedDialogs::Call *offer = dialogs.last("choose");
            QVERIFY(offer);
            for (const QString &line : {in("12-1.recovery") + " cannot be recovered (damaged)",
                                        in("13-1.recovery") + " cannot be recovered (written by another version",
                                        in("14-1.recovery") + " cannot be recovered (not a file)",
                                        QString("/houses/keep.mlt, ")})
                QVERIFY2(offer->text.contains(line), qPrintable(offer->text));
            QCOMPARE(QDir(folder).entryList({"*.recovery"}, QDir::Files | QDir::System, QDir::Name),
                     button == 2 ? all : QStringList());
            dialogs.calls.clear();
        }
        QVERIFY(QFile::exists(dir.filePath("fifo")));
        recovery.offer(nullptr, none);
        QCOMPARE(dialogs.count("choose"), 0);
        // Recover takes what it can; the damaged rest goes once named.
        QVERIFY(writeFile(in("12-1.recovery"), "TMERCVR1 cut short"));
        dialogs.answer(0);
        recovery.offer(nullptr, none);
        QCOMPARE(dialogs.count("choose"), 1);
        QVERIFY(!QFile::exists(in("12-1.recovery")));
        ::kill(live, SIGKILL);
        ::waitpid(live, nullptr, 0);
    }
};

QTEST_MAIN(TestRecoveryFiles)
#include "test_recovery_files.moc"
