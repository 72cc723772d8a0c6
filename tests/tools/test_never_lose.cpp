// mltool as a real process meeting real faults: reads that fail (a preloaded
// shim), damaged and oversized sources, a file-size limit with the signal left
// as the program sets it, two writers at once, a kill before the rename. What
// it refuses must leave every file byte for byte; what it writes must last.
#include "FileBytes.h"
#include "data/ComponentList.h"
#include "data/UopMultiStore.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <memory>

#include <sys/file.h>
#include <sys/resource.h>

namespace {

struct Run {
    int status = -1; // -1: killed by a signal
    QString err;
};

Run mltool(const QStringList &args, const QMap<QString, QString> &env = {}, qint64 sizeLimit = -1)
{
    QProcess p;
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    e.insert("ASAN_OPTIONS", "verify_asan_link_order=0:detect_leaks=0");
    for (auto it = env.cbegin(); it != env.cend(); ++it)
        e.insert(it.key(), it.value());
    if (!env.isEmpty())
        e.insert("LD_PRELOAD", TILSEN_FAILSHIM);
    p.setProcessEnvironment(e);
    if (sizeLimit >= 0) // only the limit: the program must deal with SIGXFSZ itself
        p.setChildProcessModifier([sizeLimit] {
            const rlimit limit{rlim_t(sizeLimit), rlim_t(sizeLimit)};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        });
    p.start(QStringLiteral(TILSEN_BINARY_DIR "/bin/mltool"), args);
    if (!p.waitForFinished(60000))
        p.kill(), p.waitForFinished();
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardError()};
}

// A version 0 .mlt file of `tiles` tiles in a row, ids from `id`.
QByteArray mlt(int tiles, quint16 id)
{
    QByteArray b(4 + 12 * tiles, '\0');
    for (int i = 0; i < tiles; ++i) {
        auto *e = reinterpret_cast<uchar *>(b.data()) + 4 + 12 * i;
        qToLittleEndian<quint16>(quint16(id + i), e);
        qToLittleEndian<qint16>(qint16(i), e + 2);
        qToLittleEndian<qint16>(1, e + 8);
    }
    return b;
}

// Arguments with every file name placed in `dir`.
QStringList inDir(const QStringList &args, const QTemporaryDir &dir)
{
    QStringList out;
    for (const QString &a : args)
        out << (a.contains('.') ? dir.filePath(a) : a);
    return out;
}

} // namespace

class TestNeverLose : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    QString at(const QString &name) const { return m_dir.filePath(name); }

private slots:
    void initTestCase()
    {
        writeFileBytes(at("house.mlt"), mlt(3, 0x100));
        writeFileBytes(at("empty.mlt"), QByteArray());
        writeFileBytes(at("short.mlt"), "abc");
        writeFileBytes(at("old.csv"), "kind,id,x,y,z,hue,visible\nart,5,0,0,0,0,1\n");
        QFile big(at("big.mlt")); // sparse, one byte past 48 MiB
        QVERIFY(big.open(QIODevice::WriteOnly) && big.resize((48 << 20) + 1));
        big.close();
        writeFileBytes(at("multi.idx"), QByteArray());
        writeFileBytes(at("multi.mul"), QByteArray());
        QVERIFY(QFile::copy(TILSEN_BINARY_DIR "/bin/sample-data/uop/MultiCollection.uop", at("store.uop")));
        for (const QString &a : {"export house.mlt multi.idx multi.mul 0 --record-size 12", "export house.mlt list.txt 3"})
            QCOMPARE(mltool(inDir(a.split(' '), m_dir)).status, 0);
    }

    // Refused with the reason, exit 1, every file as it was.
    void refusedAndKept_data()
    {
        QTest::addColumn<QString>("failRead");
        QTest::addColumn<QString>("args");
        QTest::addColumn<qint64>("sizeLimit");
        QTest::addColumn<QString>("reason");
        QTest::newRow("EIO on the list") << "list.txt" << "export house.mlt list.txt 5" << -1LL << "Input/output error";
        QTest::newRow("EIO on the .mlt") << "house.mlt" << "export house.mlt multi.idx multi.mul 0" << -1LL << "Input/output error";
        QTest::newRow("EIO on the container") << "store.uop" << "export house.mlt store.uop 7" << -1LL << "Input/output error";
        QTest::newRow("EIO converting") << "house.mlt" << "convert house.mlt old.csv" << -1LL << "Input/output error";
        QTest::newRow("EIO on a .csv") << "old.csv" << "convert old.csv new.mlt" << -1LL << "cannot be read (Input/output error)";
        QTest::newRow("empty .mlt") << "" << "export empty.mlt multi.idx multi.mul 0" << -1LL << "header is cut short (0 of 4";
        QTest::newRow("3-byte .mlt") << "" << "export short.mlt store.uop 7" << -1LL << "header is cut short (3 of 4";
        QTest::newRow("48 MiB + 1") << "" << "convert big.mlt new.csv" << -1LL << "larger than 48 MiB";
        QTest::newRow("file-size limit") << "" << "convert house.mlt old.csv" << 8LL << "File too large";
    }
    void refusedAndKept()
    {
        QFETCH(QString, failRead);
        QFETCH(QString, args);
        QFETCH(qint64, sizeLimit);
        QFETCH(QString, reason);
        const QStringList kept{"house.mlt", "list.txt", "multi.idx", "multi.mul", "old.csv", "store.uop"};
        QList<QByteArray> before;
        for (const QString &name : kept)
            before << fileBytes(at(name));
        QMap<QString, QString> env;
        if (!failRead.isEmpty())
            env.insert("TILSEN_SHIM_READ_FAIL", "/" + failRead);
        const Run r = mltool(inDir(args.split(' '), m_dir), env, sizeLimit);
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains(reason), qPrintable(r.err));
        for (int i = 0; i < kept.size(); ++i)
            QVERIFY2(fileBytes(at(kept[i])) == before[i], qPrintable(kept[i]));
        QVERIFY(!QFile::exists(at("new.mlt")) && !QFile::exists(at("new.csv")));
    }

    // Two exports of different entries at once, in both orders: both land.
    void twoWritersAtOnce_data()
    {
        QTest::addColumn<QString>("store");
        QTest::newRow("component list") << "list.txt";
        QTest::newRow("container") << "store.uop";
    }
    void twoWritersAtOnce()
    {
        QFETCH(QString, store);
        const QString path = at(store), copy = at("original-" + store);
        QVERIFY(QFile::copy(path, copy));
        writeFileBytes(at("a.mlt"), mlt(2, 0x200));
        writeFileBytes(at("b.mlt"), mlt(5, 0x300));
        int lost = 0;
        for (int round = 0; round < 50; ++round) {
            writeFileBytes(path, fileBytes(copy));
            QProcess a, b;
            const QStringList argsA{"export", at("a.mlt"), path, "20"}, argsB{"export", at("b.mlt"), path, "21"};
            (round % 2 ? b : a).start(TILSEN_BINARY_DIR "/bin/mltool", round % 2 ? argsB : argsA);
            (round % 2 ? a : b).start(TILSEN_BINARY_DIR "/bin/mltool", round % 2 ? argsA : argsB);
            QVERIFY(a.waitForFinished(60000) && b.waitForFinished(60000));
            QCOMPARE(a.exitCode() + b.exitCode(), 0);
            std::unique_ptr<MultiCollection> s;
            if (store.endsWith(".txt"))
                s = std::make_unique<ComponentList>(path);
            else
                s = std::make_unique<UopMultiStore>(path);
            QVERIFY(s->open());
            QMap<int, int> counts;
            for (const MultiCollection::Entry &e : s->entries())
                counts.insert(e.number, e.tileCount);
            lost += int(counts.value(20) != 2) + int(counts.value(21) != 5);
        }
        QCOMPARE(lost, 0);
    }

    // Each commit rename is followed by a sync of its folder; a kill before
    // the rename leaves a temporary that the next write of that file removes,
    // and only that: a user's look-alike and a live writer's stay.
    void durableRenamesAndNoLitter()
    {
        const QString log = at("calls.log");
        const QStringList args{"convert", at("house.mlt"), at("out.csv")};
        QCOMPARE(mltool(args, {{"TILSEN_SHIM_LOG", log}}).status, 0);
        const QStringList calls = QString(fileBytes(log)).split('\n');
        const int rename = int(calls.indexOf("rename"));
        QVERIFY(rename >= 0 && calls.mid(rename).contains("fsyncdir"));
        QCOMPARE(mltool(args, {{"TILSEN_SHIM_KILL_AT", QString::number(rename + 1)}}).status, -1);
        QCOMPARE(QDir(m_dir.path()).entryList({"out.csv.*"}).size(), 1);
        writeFileBytes(at("out.csv.backup"), "mine");
        writeFileBytes(at("out.csv.tilsen-Live01"), "writing");
        QFile live(at("out.csv.tilsen-Live01"));
        QVERIFY(live.open(QIODevice::ReadOnly) && ::flock(live.handle(), LOCK_EX) == 0);
        QCOMPARE(mltool(args).status, 0);
        QCOMPARE(QDir(m_dir.path()).entryList({"out.csv.*"}), QStringList({"out.csv.backup", "out.csv.tilsen-Live01"}));
    }
};

QTEST_GUILESS_MAIN(TestNeverLose)
#include "test_never_lose.moc"
