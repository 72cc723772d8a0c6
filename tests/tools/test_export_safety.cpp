// mltool as a real process meeting real faults: failing reads (the preloaded
// shim), damaged and oversized sources, a file-size limit with SIGXFSZ left as
// the program sets it, two writers at once, and kills at every write, sync,
// truncation and rename it makes and at moments spread over its run. After
// each run the files are checked byte for byte against those built here.
#include "FileBytes.h"
#include "MltBytes.h"
#include "MultiPair.h"
#include "data/MultiCollection.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/file.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

const QString MlTool = QStringLiteral(TILSEN_BINARY_DIR "/bin/mltool");

// The real mltool of this build with the fail shim preloaded (it acts only when
// one of its TILSEN_SHIM_* variables asks), optionally under a file-size limit
// or killed after a delay. Status -1 when it did not end normally.
struct ShimmedMlTool {
    int status = -1;
    QString err;

    static ShimmedMlTool run(const QStringList &args, const QMap<QString, QString> &vars = {}, qint64 limit = -1,
                             qint64 killAfterUs = -1)
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("LD_PRELOAD", TILSEN_FAILSHIM);
        env.insert("ASAN_OPTIONS", "verify_asan_link_order=0:detect_leaks=0");
        for (auto it = vars.cbegin(); it != vars.cend(); ++it)
            env.insert(it.key(), it.value());
        p.setProcessEnvironment(env);
        if (limit >= 0) // the limit only: mltool itself must turn SIGXFSZ into a failed write
            p.setChildProcessModifier([limit] {
                const rlimit l{rlim_t(limit), rlim_t(limit)};
                ::setrlimit(RLIMIT_FSIZE, &l);
            });
        p.start(MlTool, args);
        if (!p.waitForStarted())
            return {};
        if (killAfterUs >= 0) {
            ::usleep(useconds_t(killAfterUs));
            ::kill(pid_t(p.processId()), SIGKILL);
        }
        if (!p.waitForFinished(120000))
            p.kill(), p.waitForFinished();
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromLocal8Bit(p.readAllStandardError())};
    }
};


struct Pair16 {
    QByteArray index, data;
    QByteArray newIndex, newData; // what exporting edited.mlt as entry 2 must give
    QByteArray mlt;
};

// The house of 16-byte records as entry 2 between two others, after five stray
// bytes that stay where they are; the edit drops tile 0x4102 (both copies) and adds 0x4999.
Pair16 makePair()
{
    const QList<QByteArray> house = MultiPair::house(16);
    const QByteArray first = MultiPair::rec(16, 0x4001, 0, 0, 0, 1) + MultiPair::rec(16, 0x4002, 1, 0, 0, 1, 7)
                             + MultiPair::rec(16, 0x4003, 0, 1, 5, 1);
    const MulWriter::IndexedFile pair = MultiPair::pairOf({first, {}, house[0], house[2]}, 0xFFFFFFFFu, 5);
    Pair16 p{pair.index, pair.data, pair.index, {}, {}};
    p.mlt = QByteArray(4, '\0') + mltEntry(0x4100, 0, 0, 0, 0) + mltEntry(0x4101, -2, 3, 10, 1)
            + mltEntry(0x4103, 1, -1, 20, 1) + mltEntry(0x4999, 6, -6, 7, 1);
    const auto r = [&house](int n) { return house[0].mid(16 * n, 16); };
    const QByteArray edited = r(0) + r(1) + r(3) + r(4) + MultiPair::rec(16, 0x4999, 6, -6, 7, 1);
    p.newData = p.data + edited;
    MulWriter::putIndexRecord(p.newIndex, 2, {qint32(p.data.size()), qint32(edited.size()), 0xFFFFFFFFu});
    return p;
}

constexpr int Entries = 16, BlockBytes = 96;

// Entry n shares block n % 4 of 8 records: entries 0-7 whole, 8-15 from record n / 4 on.
struct Shared {
    QByteArray index, data, compactIndex, compactData;
    Shared()
    {
        for (int b = 0; b < 4; ++b) {
            QVector<MulWriter::MultiTile> tiles;
            for (int k = 0; k < 8; ++k)
                tiles.append({quint16(0x100 + 16 * b + k), qint16(k % 3), qint16(k / 3), qint16(k), 1});
            compactData += MulWriter::multiEntry(tiles);
        }
        data = QByteArray(5, '\x33') + compactData; // stray bytes no record points at
        for (int n = 0; n < Entries; ++n) {
            const int skip = n >= 8 ? 12 * (n / 4) : 0, at = BlockBytes * (n % 4) + skip;
            MulWriter::putIndexRecord(index, n, {5 + at, BlockBytes - skip, 0xFFFFFFFFu});
            MulWriter::putIndexRecord(compactIndex, n, {at, BlockBytes - skip, 0xFFFFFFFFu});
        }
    }
};

// A .mlt of `tiles` visible tiles in a row, ids from 0x100 + `id`.
QByteArray mlt(int tiles, int id)
{
    QByteArray b(4, '\0');
    for (int i = 0; i < tiles; ++i)
        b += mltEntry(0x100 + id + i, i, 0);
    return b;
}

} // namespace

class TestExportSafety : public QObject
{
    Q_OBJECT

    Pair16 m_pair = makePair();
    Shared m_shared;
    QTemporaryDir m_files;
    QStringList inFiles(const QString &args) const
    {
        QStringList out = args.split(' ');
        for (QString &a : out)
            a = a.contains('.') ? m_files.filePath(a) : a;
        return out;
    }


    struct Folder {
        QTemporaryDir dir;
        QString idx = dir.filePath("multi.idx"), mul = dir.filePath("multi.mul"), mlt = dir.filePath("edited.mlt");
    };
    void lay(Folder &f) const
    {
        MultiPair::save(f.idx, m_pair.index);
        MultiPair::save(f.mul, m_pair.data);
        MultiPair::save(f.mlt, m_pair.mlt);
    }

    static std::pair<QByteArray, QByteArray> pairIn(const Folder &f) { return {fileBytes(f.idx), fileBytes(f.mul)}; }
    std::pair<QByteArray, QByteArray> oldPair() const { return {m_pair.index, m_pair.data}; }
    std::pair<QByteArray, QByteArray> newPair() const { return {m_pair.newIndex, m_pair.newData}; }
    static QStringList exportArgs(const Folder &f) { return {"export", f.mlt, f.idx, f.mul, "2"}; }

    // Old or new, byte for byte. After a kill in the middle of the append the
    // data file may carry part of the new entry past its old end: the old
    // index never points there, and every entry reads exactly as before.
    bool oldOrNew(const Folder &f, QString &what) const
    {
        const QByteArray idx = fileBytes(f.idx), mul = fileBytes(f.mul);
        if (idx == m_pair.newIndex && mul == m_pair.newData)
            return what = "new", true;
        if (idx == m_pair.index && mul == m_pair.data)
            return what = "old", true;
        if (idx == m_pair.index && mul.startsWith(m_pair.data) && m_pair.newData.startsWith(mul))
            return what = "old with an unreferenced tail", true;
        what = QString("index %1 bytes, data %2 bytes").arg(idx.size()).arg(mul.size());
        return false;
    }

private slots:
    void initTestCase()
    {
        for (const auto &[name, bytes] : {std::pair<QString, QByteArray>{"house.mlt", mlt(3, 1)}, {"short.mlt", "abc"},
                                          {"old.csv", "kind,id,x,y,z,hue,visible\nart,5,0,0,0,0,1\n"}, {"multi.idx", {}}, {"multi.mul", {}}, {"big.mlt", {}}})
            QVERIFY(writeFileBytes(m_files.filePath(name), bytes));
        QVERIFY(QFile::resize(m_files.filePath("big.mlt"), (48 << 20) + 1)); // sparse
        QVERIFY(QFile::copy(TILSEN_BINARY_DIR "/bin/sample-data/uop/MultiCollection.uop", m_files.filePath("store.uop")));
        QCOMPARE(ShimmedMlTool::run(inFiles("export house.mlt multi.idx multi.mul 0 --record-size 12")).status, 0);
        QCOMPARE(ShimmedMlTool::run(inFiles("export house.mlt list.txt 3")).status, 0);
        QVERIFY(writeFileBytes(m_files.filePath("multi.mul"), fileBytes(m_files.filePath("multi.mul")) + "stray")); // to compact
    }

    // Refused with the reason, exit 1, every file as it was.
    void refusedAndKept_data()
    {
        QTest::addColumn<QString>("fail"); // a read failing on the file named, or a call failing as the shim reads it
        QTest::addColumn<QString>("args");
        QTest::addColumn<qint64>("limit");
        QTest::addColumn<QString>("reason");
        QTest::newRow("EIO on the list") << "/list.txt" << "export house.mlt list.txt 5" << -1LL << "Input/output error";
        QTest::newRow("EIO on the .mlt") << "/house.mlt" << "export house.mlt multi.idx multi.mul 0" << -1LL << "Input/output error";
        QTest::newRow("EIO on the container") << "/store.uop" << "export house.mlt store.uop 7" << -1LL << "Input/output error";
        QTest::newRow("EIO converting") << "/house.mlt" << "convert house.mlt old.csv" << -1LL << "Input/output error";
        QTest::newRow("EIO on a .csv") << "/old.csv" << "convert old.csv new.mlt" << -1LL << "cannot be read (Input/output error)";
        QTest::newRow("3-byte .mlt") << "" << "export short.mlt store.uop 7" << -1LL << "cut short (3 of 4";
        QTest::newRow("48 MiB + 1") << "" << "convert big.mlt new.csv" << -1LL << "larger than 48 MiB";
        QTest::newRow("EIO on the index") << "/multi.idx" << "list multi.idx multi.mul --record-size 12" << -1LL << "Input/output error";
        QTest::newRow("EIO on the data") << "/multi.mul" << "list multi.idx multi.mul" << -1LL << "Input/output error";
        QTest::newRow("EIO importing") << "/multi.mul" << "import multi.idx multi.mul 0 new.mlt --record-size 12" << -1LL << "Input/output error";
        QTest::newRow("EIO compacting") << "/multi.mul" << "compact multi.idx multi.mul" << -1LL << "Input/output error";
        QTest::newRow("file-size limit") << "" << "convert house.mlt old.csv" << 8LL << "File too large";
        QTest::newRow("limit on a new file") << "" << "convert house.mlt new.csv" << 8LL << "File too large";
        QTest::newRow("limit on a list") << "" << "export house.mlt list.txt 5" << 8LL << "File too large";
        QTest::newRow("limit on a container") << "" << "export house.mlt store.uop 7" << 8LL << "File too large";
        // The append to the pair: each step failed, and a limit met inside the appended bytes.
        const QString append = "export house.mlt multi.idx multi.mul 1";
        QTest::newRow("data write, no space") << "pwrite:1:28" << append << -1LL << "No space left on device";
        QTest::newRow("data sync") << "fsync:1:5" << append << -1LL << "Input/output error";
        QTest::newRow("index write, no space") << "write:1:28" << append << -1LL << "No space left on device";
        QTest::newRow("index sync") << "fsync:2:5" << append << -1LL << "Input/output error";
        QTest::newRow("index rename") << "rename:1:5" << append << -1LL << "Input/output error";
        QTest::newRow("limit inside the append") << "" << append << fileBytes(m_files.filePath("multi.mul")).size() + 20 << "File too large";
    }
    void refusedAndKept()
    {
        QFETCH(QString, fail);
        QFETCH(QString, args);
        QFETCH(qint64, limit);
        QFETCH(QString, reason);
        const QStringList kept = inFiles("house.mlt list.txt multi.idx multi.mul old.csv store.uop");
        QList<QByteArray> before;
        for (const QString &path : kept)
            before << fileBytes(path);
        const bool read = fail.startsWith('/');
        const auto [status, err] = ShimmedMlTool::run(inFiles(args), {{read ? "TILSEN_SHIM_READ_FAIL" : "TILSEN_SHIM_FAIL", fail}}, limit);
        QCOMPARE(status, 1);
        QVERIFY2(err.contains(reason) && (!read || err.contains(fail.mid(1))), qPrintable(err));
        for (int i = 0; i < kept.size(); ++i)
            QVERIFY2(fileBytes(kept[i]) == before[i], qPrintable(kept[i]));
        QVERIFY(!QFile::exists(m_files.filePath("new.mlt")) && !QFile::exists(m_files.filePath("new.csv")));
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
        const QString path = m_files.filePath(store);
        const QByteArray original = fileBytes(path);
        writeFileBytes(m_files.filePath("a.mlt"), mlt(2, 0x20));
        writeFileBytes(m_files.filePath("b.mlt"), mlt(5, 0x30));
        int lost = 0;
        for (int round = 0; round < 50; ++round) {
            writeFileBytes(path, original);
            QProcess a, b;
            (round % 2 ? b : a).start(MlTool, inFiles("export b.mlt " + store + " 21"));
            (round % 2 ? a : b).start(MlTool, inFiles("export a.mlt " + store + " 20"));
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
        const QString log = m_files.filePath("calls.log");
        const QStringList args = inFiles("convert house.mlt out.csv");
        QCOMPARE(ShimmedMlTool::run(args, {{"TILSEN_SHIM_LOG", log}}).status, 0);
        const QStringList calls = QString(fileBytes(log)).split('\n');
        const int rename = int(calls.indexOf("rename"));
        QVERIFY(rename >= 0 && calls.mid(rename).contains("fsyncdir"));
        QCOMPARE(ShimmedMlTool::run(args, {{"TILSEN_SHIM_KILL_AT", QString::number(rename + 1)}}).status, -1);
        QCOMPARE(QDir(m_files.path()).entryList({"out.csv.*"}).size(), 1);
        writeFileBytes(m_files.filePath("out.csv.backup"), "mine");
        writeFileBytes(m_files.filePath("out.csv.tilsen-Live01"), "writing");
        QFile live(m_files.filePath("out.csv.tilsen-Live01"));
        QVERIFY(live.open(QIODevice::ReadOnly) && ::flock(live.handle(), LOCK_EX) == 0);
        QCOMPARE(ShimmedMlTool::run(args).status, 0);
        QCOMPARE(QDir(m_files.path()).entryList({"out.csv.*"}), QStringList({"out.csv.backup", "out.csv.tilsen-Live01"}));
    }

    void exportIsEitherDoneOrNotAtEveryKill()
    {
        // A clean run: the expected new pair, and the steps it takes.
        Folder counted;
        lay(counted);
        const QString log = counted.dir.filePath("calls.log");
        QElapsedTimer clock;
        clock.start();
        const ShimmedMlTool clean = ShimmedMlTool::run(exportArgs(counted), {{"TILSEN_SHIM_LOG", log}});
        const qint64 duration = clock.nsecsElapsed() / 1000;
        QVERIFY2(clean.status == 0, qPrintable(clean.err));
        QCOMPARE(pairIn(counted), newPair());
        const int steps = fileBytes(log).count('\n');
        QVERIFY(fileBytes(log).contains("pwrite") && fileBytes(log).contains("rename"));

        QMap<QString, int> outcomes;
        for (int k = 1; k <= steps + 1; ++k) {
            Folder f;
            lay(f);
            const ShimmedMlTool r = ShimmedMlTool::run(exportArgs(f), {{"TILSEN_SHIM_KILL_AT", QString::number(k)}});
            QString what;
            QVERIFY2(oldOrNew(f, what), qPrintable(QString("killed before step %1: %2").arg(k).arg(what)));
            QVERIFY2(r.status == -1 || (r.status == 0 && what == "new"), qPrintable(r.err));
            ++outcomes[what];
        }
        // Moments spread over a whole run, including its start-up.
        for (int i = 0; i < 24; ++i) {
            Folder f;
            lay(f);
            ShimmedMlTool::run(exportArgs(f), {}, -1, duration * i / 20);
            QString what;
            QVERIFY2(oldOrNew(f, what), qPrintable(QString("killed after %1 us: %2").arg(duration * i / 20).arg(what)));
            ++outcomes[what];
        }
        QVERIFY(outcomes.value("old") > 0 && outcomes.value("new") > 0);
    }

    // Links are followed to the real files, which keep their modes; a read-only
    // file in the pair refuses the export.
    void linksModesAndReadOnlyFiles()
    {
        Folder real, linked;
        lay(real);
        QFile::remove(real.mlt);
        MultiPair::save(linked.mlt, m_pair.mlt);
        QVERIFY(QFile::link(real.idx, linked.idx));
        QVERIFY(QFile::link(real.mul, linked.mul));
        const auto mode = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
        QVERIFY(QFile::setPermissions(real.idx, mode) && QFile::setPermissions(real.mul, mode));
        const ShimmedMlTool r = ShimmedMlTool::run(exportArgs(linked));
        QVERIFY2(r.status == 0, qPrintable(r.err));
        QVERIFY(QFileInfo(linked.idx).isSymLink() && QFileInfo(linked.mul).isSymLink());
        QCOMPARE(pairIn(real), newPair());
        QCOMPARE(QFile::permissions(real.idx) & 0x7077, mode);
        QCOMPARE(QFile::permissions(real.mul) & 0x7077, mode);

        for (const char *which : {"multi.idx", "multi.mul"}) {
            Folder f;
            lay(f);
            QFile::setPermissions(f.dir.filePath(which), QFile::ReadOwner | QFile::ReadGroup);
            const ShimmedMlTool refused = ShimmedMlTool::run(exportArgs(f));
            QVERIFY2(refused.status == 1 && refused.err.contains(which) && refused.err.contains("read-only"),
                     qPrintable(refused.err));
            QCOMPARE(pairIn(f), oldPair());
        }
    }

    // Pairs that once lost entries: a compaction of entries that share bytes, and a million records of one entry.
    // Killed before its first, second, ... write, sync, cut or rename until it runs to its end.
    void sharedEntriesSurviveAKillAtEveryStepOfCompact()
    {
        int status = -1;
        for (int k = 1; status == -1; ++k) {
            MultiPair pair;
            pair.write({m_shared.index, m_shared.data});
            status = ShimmedMlTool::run({"compact", pair.idx, pair.mul}, {{"TILSEN_SHIM_KILL_AT", QString::number(k)}}).status;
            for (int n = 0; n < Entries; ++n) {
                QVERIFY2(MultiPair::entryBytes(pair.index(), pair.data(), n) == MultiPair::entryBytes(m_shared.index, m_shared.data, n),
                         qPrintable(QString("entry %1 after a kill before step %2").arg(n).arg(k)));
            }
            if (status == -1)
                QCOMPARE(ShimmedMlTool::run({"compact", pair.idx, pair.mul}).status, 0);
            QCOMPARE(pair.index(), m_shared.compactIndex);
            QCOMPARE(pair.data(), m_shared.compactData); // one copy of each block, no longer than before
            QVERIFY(k < 100);
        }
    }

    // Copied once per record, these would be 2.3 GB.
    void aMillionRecordsOfOneEntryStayOneEntry()
    {
        const QByteArray entry = m_shared.compactData.repeated(6);
        QByteArray index;
        for (int n = 0; n < 1000000; ++n)
            MulWriter::putIndexRecord(index, n, {7, qint32(entry.size()), 0});
        MultiPair pair;
        pair.write({index, QByteArray(7, '\0') + entry});
        const auto [status, err] = ShimmedMlTool::run({"compact", pair.idx, pair.mul});
        QVERIFY2(status == 0, qPrintable(err));
        QCOMPARE(pair.data(), entry);
        QCOMPARE(pair.index().size(), index.size());
        for (int n : {0, 500000, 999999})
            QCOMPARE(MultiPair::record(pair.index(), n).offset, 0);
    }
};

QTEST_GUILESS_MAIN(TestExportSafety)
#include "test_export_safety.moc"
