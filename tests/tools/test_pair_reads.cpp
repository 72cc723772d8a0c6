// The real mltool on pairs that once lost entries: a compaction of entries that
// share bytes killed before each step, and a million records of one entry.
#include "MultiPair.h"
#include "ShimmedMlTool.h"

#include <QTest>

namespace {

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

} // namespace

class TestPairReads : public QObject
{
    Q_OBJECT

    Shared m_shared;

private slots:
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

QTEST_GUILESS_MAIN(TestPairReads)
#include "test_pair_reads.moc"
