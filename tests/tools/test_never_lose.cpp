// mltool as a real process meeting real faults: failing reads (the preloaded
// shim), damaged and oversized sources, a file-size limit with SIGXFSZ left as
// the program sets it, two writers at once, a kill before the rename.
#include "FileBytes.h"
#include "ShimmedMlTool.h"
#include "data/MultiCollection.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sys/file.h>

namespace {

const QString MlTool = QStringLiteral(TILSEN_BINARY_DIR "/bin/mltool");

// A .mlt of `tiles` visible tiles in a row, ids from `id`.
QByteArray mlt(int tiles, char id)
{
    QByteArray b(4, '\0');
    for (int i = 0; i < tiles; ++i)
        b += QByteArray(1, char(id + i)) + '\x01' + char(i) + QByteArray::fromHex("000000000001000000");
    return b;
}

} // namespace

class TestNeverLose : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    QStringList inDir(const QString &args) const
    {
        QStringList out = args.split(' ');
        for (QString &a : out)
            a = a.contains('.') ? m_dir.filePath(a) : a;
        return out;
    }

private slots:
    void initTestCase()
    {
        for (const auto &[name, bytes] : {std::pair<QString, QByteArray>{"house.mlt", mlt(3, 1)}, {"empty.mlt", {}}, {"short.mlt", "abc"},
                                          {"old.csv", "kind,id,x,y,z,hue,visible\nart,5,0,0,0,0,1\n"}, {"multi.idx", {}}, {"multi.mul", {}}, {"big.mlt", {}}})
            QVERIFY(writeFileBytes(m_dir.filePath(name), bytes));
        QVERIFY(QFile::resize(m_dir.filePath("big.mlt"), (48 << 20) + 1)); // sparse
        QVERIFY(QFile::copy(TILSEN_BINARY_DIR "/bin/sample-data/uop/MultiCollection.uop", m_dir.filePath("store.uop")));
        QCOMPARE(ShimmedMlTool::run(inDir("export house.mlt multi.idx multi.mul 0 --record-size 12")).status, 0);
        QCOMPARE(ShimmedMlTool::run(inDir("export house.mlt list.txt 3")).status, 0);
        QVERIFY(writeFileBytes(m_dir.filePath("multi.mul"), fileBytes(m_dir.filePath("multi.mul")) + "stray")); // to compact
    }

    // Refused with the reason, exit 1, every file as it was.
    void refusedAndKept_data()
    {
        QTest::addColumn<QString>("failRead");
        QTest::addColumn<QString>("args");
        QTest::addColumn<qint64>("limit");
        QTest::addColumn<QString>("reason");
        QTest::newRow("EIO on the list") << "/list.txt" << "export house.mlt list.txt 5" << -1LL << "Input/output error";
        QTest::newRow("EIO on the .mlt") << "/house.mlt" << "export house.mlt multi.idx multi.mul 0" << -1LL << "Input/output error";
        QTest::newRow("EIO on the container") << "/store.uop" << "export house.mlt store.uop 7" << -1LL << "Input/output error";
        QTest::newRow("EIO converting") << "/house.mlt" << "convert house.mlt old.csv" << -1LL << "Input/output error";
        QTest::newRow("EIO on a .csv") << "/old.csv" << "convert old.csv new.mlt" << -1LL << "cannot be read (Input/output error)";
        QTest::newRow("empty .mlt") << "" << "export empty.mlt multi.idx multi.mul 0" << -1LL << "cut short (0 of 4";
        QTest::newRow("3-byte .mlt") << "" << "export short.mlt store.uop 7" << -1LL << "cut short (3 of 4";
        QTest::newRow("48 MiB + 1") << "" << "convert big.mlt new.csv" << -1LL << "larger than 48 MiB";
        QTest::newRow("EIO on the index") << "/multi.idx" << "list multi.idx multi.mul --record-size 12" << -1LL << "Input/output error";
        QTest::newRow("EIO on the data") << "/multi.mul" << "list multi.idx multi.mul" << -1LL << "Input/output error";
        QTest::newRow("EIO importing") << "/multi.mul" << "import multi.idx multi.mul 0 new.mlt --record-size 12" << -1LL << "Input/output error";
        QTest::newRow("EIO compacting") << "/multi.mul" << "compact multi.idx multi.mul" << -1LL << "Input/output error";
        QTest::newRow("file-size limit") << "" << "convert house.mlt old.csv" << 8LL << "File too large";
        QTest::newRow("limit on a list") << "" << "export house.mlt list.txt 5" << 8LL << "File too large";
        QTest::newRow("limit on a container") << "" << "export house.mlt store.uop 7" << 8LL << "File too large";
    }
    void refusedAndKept()
    {
        QFETCH(QString, failRead);
        QFETCH(QString, args);
        QFETCH(qint64, limit);
        QFETCH(QString, reason);
        const QStringList kept = inDir("house.mlt list.txt multi.idx multi.mul old.csv store.uop");
        QList<QByteArray> before;
        for (const QString &path : kept)
            before << fileBytes(path);
        const auto [status, err] = ShimmedMlTool::run(inDir(args), {{"TILSEN_SHIM_READ_FAIL", failRead}}, limit);
        QCOMPARE(status, 1);
        QVERIFY2(err.contains(reason) && err.contains(failRead.mid(1)), qPrintable(err));
        for (int i = 0; i < kept.size(); ++i)
            QVERIFY2(fileBytes(kept[i]) == before[i], qPrintable(kept[i]));
        QVERIFY(!QFile::exists(m_dir.filePath("new.mlt")) && !QFile::exists(m_dir.filePath("new.csv")));
    }

    // Two exports of different entries at once, 50 rounds in alternating order: both land.
    void twoWritersAtOnce_data()
    {
        QTest::addColumn<QString>("store");
        QTest::newRow("component list") << "list.txt";
        QTest::newRow("container") << "store.uop";
    }
    void twoWritersAtOnce()
    {
        QFETCH(QString, store);
        const QString path = m_dir.filePath(store);
        const QByteArray original = fileBytes(path);
        writeFileBytes(m_dir.filePath("a.mlt"), mlt(2, 0x20));
        writeFileBytes(m_dir.filePath("b.mlt"), mlt(5, 0x30));
        int lost = 0;
        for (int round = 0; round < 50; ++round) {
            writeFileBytes(path, original);
            QProcess a, b;
            (round % 2 ? b : a).start(MlTool, inDir("export b.mlt " + store + " 21"));
            (round % 2 ? a : b).start(MlTool, inDir("export a.mlt " + store + " 20"));
            QVERIFY(a.waitForFinished(60000) && b.waitForFinished(60000));
            QCOMPARE(a.exitCode() + b.exitCode(), 0);
            const std::unique_ptr<MultiCollection> s = MultiCollection::forPaths({path});
            QVERIFY(s && s->open());
            QMap<int, int> counts;
            for (const MultiCollection::Entry &e : s->entries())
                counts.insert(e.number, e.tileCount);
            lost += int(counts.value(20) != 2) + int(counts.value(21) != 5);
        }
        QCOMPARE(lost, 0);
    }

    // The rename is followed by a sync of its folder; a kill before the rename
    // leaves a temporary that the next write of that file removes, and only
    // that: a user's look-alike and a live writer's stay.
    void durableRenamesAndNoLitter()
    {
        const QString log = m_dir.filePath("calls.log");
        const QStringList args = inDir("convert house.mlt out.csv");
        QCOMPARE(ShimmedMlTool::run(args, {{"TILSEN_SHIM_LOG", log}}).status, 0);
        const QStringList calls = QString(fileBytes(log)).split('\n');
        const int rename = int(calls.indexOf("rename"));
        QVERIFY(rename >= 0 && calls.mid(rename).contains("fsyncdir"));
        QCOMPARE(ShimmedMlTool::run(args, {{"TILSEN_SHIM_KILL_AT", QString::number(rename + 1)}}).status, -1);
        QCOMPARE(QDir(m_dir.path()).entryList({"out.csv.*"}).size(), 1);
        writeFileBytes(m_dir.filePath("out.csv.backup"), "mine");
        writeFileBytes(m_dir.filePath("out.csv.tilsen-Live01"), "writing");
        QFile live(m_dir.filePath("out.csv.tilsen-Live01"));
        QVERIFY(live.open(QIODevice::ReadOnly) && ::flock(live.handle(), LOCK_EX) == 0);
        QCOMPARE(ShimmedMlTool::run(args).status, 0);
        QCOMPARE(QDir(m_dir.path()).entryList({"out.csv.*"}), QStringList({"out.csv.backup", "out.csv.tilsen-Live01"}));
    }
};

QTEST_GUILESS_MAIN(TestNeverLose)
#include "test_never_lose.moc"
