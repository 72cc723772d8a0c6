// Crash recovery as the user meets it: an editor with unsaved work is killed,
// the next one offers the work and opens it again; saves and clean closes
// leave nothing behind; a failed save keeps the old file and says why.
#include "GlTest.h"
#include "FileBytes.h"
#include "MltRows.h"
#include "app/GLScroll.h"
#include "app/MainWindow.h"
#include "app/RecoveryMgr.h"
#include "model/Facet.h"
#include "model/RecoveryFile.h"
#include "model/UndoMgr.h"
#include "ScriptedDialogs.h"
#include "view/GLWidget.h"

#include <QMdiSubWindow>
#include <QProcess>
#include <QTemporaryDir>
#include <QStandardPaths>
#include <QTest>

#include <csignal>

namespace {

const QString Child = QStringLiteral(TILSEN_BINARY_DIR "/tests/recovery_child");

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

        // Discard drops the work.
        first = editor(house, 200, 0, &written);
        kill(first);
        QCOMPARE(recoveryFiles().size(), 1);
        const QStringList discarded = startAndReport(1);
        QVERIFY(discarded.size() == 2 && discarded[0].startsWith("offer "));
        QCOMPARE(recoveryFiles(), QStringList());
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

    // Tiles a file put outside the editing area: opening says so.
    void openingFilesThatOnceHurt()
    {
        QTemporaryDir dir;
        ScriptedDialogs dialogs;
        MainWindow window;
        const QString path = dir.filePath("outside.mlt");
        QVERIFY(writeFileBytes(path, QByteArray(4, '\0') + mltEntry(5, 300, -300) + mltEntry(6, -32768, 32767)
                                         + mltEntry(7, 1, 1)));
        dialogs.answer(path);
        window.slotFileOpen();
        GLScroll *doc = window.activeDocument();
        QVERIFY(doc);
        QCOMPARE(doc->model()->tileCount(), 3);
        QVERIFY(dialogs.last("warning")->text.startsWith("2 tile(s) of " + path + " lie outside the editing area."));
        dialogs.answer(int(QMessageBox::No));
        doc->parentWidget()->close();
    }
};

QTEST_MAIN(TestRecovery)
#include "test_recovery.moc"
