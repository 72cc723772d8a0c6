// The real mltool on pairs that once lost entries or hung on their size: a
// compaction of entries that share bytes killed before each of its steps, a
// million records of one entry, and read errors injected into the pair.
#include "MultiPair.h"

#include <QProcess>
#include <QTest>

namespace {

constexpr int Blocks = 4, BlockRecords = 8, Entries = 16;
constexpr int BlockBytes = BlockRecords * 12;

// Entry n shares block n % 4: entries 0-7 hold it whole, 8-15 its tail from record n / 4 on.
int skipped(int n) { return n >= 8 ? 12 * (n / 4) : 0; }

struct Shared {
    QByteArray index, data, compactIndex, compactData;
};

Shared sharedPair()
{
    Shared p;
    p.data = QByteArray(5, '\x33'); // stray bytes no record points at
    for (int b = 0; b < Blocks; ++b) {
        QVector<MulWriter::MultiTile> tiles;
        for (int k = 0; k < BlockRecords; ++k)
            tiles.append({quint16(0x100 + 16 * b + k), qint16(k % 3), qint16(k / 3), qint16(k), 1});
        p.compactData += MulWriter::multiEntry(tiles);
    }
    p.data += p.compactData;
    for (int n = 0; n < Entries; ++n) {
        const int at = BlockBytes * (n % Blocks) + skipped(n), length = BlockBytes - skipped(n);
        MulWriter::putIndexRecord(p.index, n, {5 + at, length, 0xFFFFFFFFu});
        MulWriter::putIndexRecord(p.compactIndex, n, {at, length, 0xFFFFFFFFu});
    }
    return p;
}

struct Run {
    int status = -1; // -1: killed or not finished
    QString err;
};

Run run(const QString &program, const QStringList &args, const QMap<QString, QString> &vars = {})
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("ASAN_OPTIONS", "verify_asan_link_order=0:detect_leaks=0");
    for (auto it = vars.cbegin(); it != vars.cend(); ++it)
        env.insert(it.key(), it.value());
    p.setProcessEnvironment(env);
    p.start(program, args);
    const bool done = p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit;
    return {done ? p.exitCode() : -1, QString::fromLocal8Bit(p.readAllStandardError())};
}

const QString MlTool = QStringLiteral(TILSEN_BINARY_DIR "/bin/mltool");

} // namespace

class TestPairReads : public QObject
{
    Q_OBJECT

    Shared m_shared = sharedPair();

private slots:
    void sharedEntriesSurviveAKillAtEveryStepOfCompact()
    {
        MultiPair counted;
        counted.write({m_shared.index, m_shared.data});
        const QString log = counted.dir.filePath("calls.log");
        const Run clean = run(MlTool, {"compact", counted.idx, counted.mul},
                              {{"LD_PRELOAD", TILSEN_FAILSHIM}, {"TILSEN_SHIM_LOG", log}});
        QVERIFY2(clean.status == 0, qPrintable(clean.err));
        QCOMPARE(counted.index(), m_shared.compactIndex);
        QCOMPARE(counted.data(), m_shared.compactData); // one copy of each block, no longer than before
        const int steps = int(MultiPair::load(log).count('\n'));
        QVERIFY(steps > 6);
        for (int k = 1; k <= steps; ++k) {
            MultiPair pair;
            pair.write({m_shared.index, m_shared.data});
            run(MlTool, {"compact", pair.idx, pair.mul},
                {{"LD_PRELOAD", TILSEN_FAILSHIM}, {"TILSEN_SHIM_KILL_AT", QString::number(k)}});
            for (int n = 0; n < Entries; ++n) {
                QVERIFY2(MultiPair::entryBytes(pair.index(), pair.data(), n)
                             == MultiPair::entryBytes(m_shared.index, m_shared.data, n),
                         qPrintable(QString("entry %1 after a kill before step %2").arg(n).arg(k)));
            }
            const Run again = run(MlTool, {"compact", pair.idx, pair.mul});
            QVERIFY2(again.status == 0, qPrintable(again.err));
            QCOMPARE(pair.index(), m_shared.compactIndex);
            QCOMPARE(pair.data(), m_shared.compactData);
        }
    }

    // Copied once per record, these would be 2.3 GB.
    void aMillionRecordsOfOneEntryStayOneEntry()
    {
        constexpr int Records = 1000000;
        const QByteArray entry = m_shared.compactData.repeated(6);
        QByteArray index;
        for (int n = 0; n < Records; ++n)
            MulWriter::putIndexRecord(index, n, {7, qint32(entry.size()), 0});
        MultiPair pair;
        pair.write({index, QByteArray(7, '\0') + entry});
        const Run r = run(MlTool, {"compact", pair.idx, pair.mul});
        QVERIFY2(r.status == 0, qPrintable(r.err));
        QCOMPARE(pair.data(), entry);
        const QByteArray compact = pair.index();
        QCOMPARE(compact.size(), index.size());
        for (int n : {0, 1, Records / 2, Records - 1})
            QCOMPARE(MultiPair::record(compact, n).offset, 0);
    }

    // An I/O error is a failure that names it, never an empty entry or pair.
    void readErrorsAreFailures_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("args");
        QTest::newRow("list, data") << "multi.mul" << QStringList{"list", "IDX", "MUL"};
        QTest::newRow("list, index") << "multi.idx" << QStringList{"list", "IDX", "MUL"};
        QTest::newRow("import, data") << "multi.mul" << QStringList{"--record-size", "12", "import", "IDX", "MUL", "2", "OUT"};
        QTest::newRow("compact, data") << "multi.mul" << QStringList{"compact", "IDX", "MUL"};
    }
    void readErrorsAreFailures()
    {
        QFETCH(QString, file);
        QFETCH(QStringList, args);
        MultiPair pair;
        pair.write({m_shared.index, m_shared.data});
        const QString out = pair.dir.filePath("out.mlt");
        args.replaceInStrings("IDX", pair.idx).replaceInStrings("MUL", pair.mul).replaceInStrings("OUT", out);
        const Run r = run("strace", QStringList{"-f", "-o", "/dev/null", "-P", pair.dir.filePath(file), "-e",
                                                "inject=read,pread64:error=EIO", MlTool} + args);
        QVERIFY2(r.status == 1 && r.err.contains(file) && r.err.contains("Input/output error"), qPrintable(r.err));
        QVERIFY(!QFile::exists(out));
        QCOMPARE(pair.index(), m_shared.index);
        QCOMPARE(pair.data(), m_shared.data);
    }
};

QTEST_GUILESS_MAIN(TestPairReads)
#include "test_pair_reads.moc"
