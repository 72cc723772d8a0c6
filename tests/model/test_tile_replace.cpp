// Replacing ids over a model through its undo history: what stands afterwards,
// one undo back to the start and redo again, and what the model's
// no-duplicates rule merges.
#include "TileKeys.h"
#include "model/Facet.h"
#include "model/NoTileInfo.h"
#include "model/TileReplace.h"
#include "model/UndoMgr.h"

#include <QTest>

class TestTileReplace : public QObject
{
    Q_OBJECT
    NoTileInfo m_data;

private slots:
    void replacesInOneStep_data()
    {
        QTest::addColumn<QStringList>("tiles"); // keys id:x:y:z:hue:visible:kind
        QTest::addColumn<QList<qint32>>("from");
        QTest::addColumn<QList<qint32>>("to");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<int>("merged");
        QTest::addColumn<QList<quint16>>("unpartnered");
        const QStringList house{"5:0:0:0:0:1:1", "5:1:0:20:33:0:1", "7:0:0:0:0:1:1", "9:2:2:0:0:1:1", "5:3:3:0:0:1:0"};
        QTest::newRow("one id, hue, altitude and visibility kept, terrain left")
            << house << QList<qint32>{5} << QList<qint32>{6} << QStringList{"6:0:0:0:0:1:1", "6:1:0:20:33:0:1", "7:0:0:0:0:1:1", "9:2:2:0:0:1:1", "5:3:3:0:0:1:0"} << 0 << QList<quint16>{};
        QTest::newRow("ids swapped both ways in one cell")
            << house << QList<qint32>{5, 7} << QList<qint32>{7, 5} << QStringList{"7:0:0:0:0:1:1", "7:1:0:20:33:0:1", "5:0:0:0:0:1:1", "9:2:2:0:0:1:1", "5:3:3:0:0:1:0"} << 0 << QList<quint16>{};
        QTest::newRow("group by group, a piece without partner")
            << house << QList<qint32>{5, 9} << QList<qint32>{8} << QStringList{"8:0:0:0:0:1:1", "8:1:0:20:33:0:1", "7:0:0:0:0:1:1", "9:2:2:0:0:1:1", "5:3:3:0:0:1:0"} << 0 << QList<quint16>{9};
        QTest::newRow("onto an equal tile: one stays")
            << QStringList{"5:0:0:0:0:1:1", "6:0:0:0:0:1:1"} << QList<qint32>{5} << QList<qint32>{6} << QStringList{"6:0:0:0:0:1:1"} << 1 << QList<quint16>{};
    }
    void replacesInOneStep()
    {
        QFETCH(QStringList, tiles);
        QFETCH(QList<qint32>, from);
        QFETCH(QList<qint32>, to);
        QFETCH(QStringList, expected);
        Facet model(m_data);
        UndoMgr undo(m_data, &model, nullptr);
        undo.beginGroup();
        QList<TileRecord> all;
        for (const QString &key : tiles) {
            all << TileRecord(key, m_data);
            undo.insertTile(all.last());
        }
        undo.commitGroup();
        QList<quint16> unpartnered;
        TileReplace::Plan plan = TileReplace::plan(all, TileReplace::pieceByPiece(from, to, &unpartnered), m_data);
        QTEST(unpartnered, "unpartnered");
        QTEST(TileReplace::apply(plan, undo, model), "merged");
        expected.sort();
        QCOMPARE(tileKeys(model.locations()), expected);
        undo.undo();
        tiles.sort();
        QCOMPARE(tileKeys(model.locations()), tiles);
        undo.redo();
        QCOMPARE(tileKeys(model.locations()), expected);
    }
};

QTEST_GUILESS_MAIN(TestTileReplace)
#include "test_tile_replace.moc"
