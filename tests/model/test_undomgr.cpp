#include "StdoutCapture.h"
#include "data/TileData.h"
#include "model/Facet.h"
#include "model/UndoMgr.h"

#include <QtTest>

// Both availability signals of one history, in the order they were emitted.
class SignalLog : public QObject
{
public:
    explicit SignalLog(UndoMgr *undo)
    {
        connect(undo, &UndoMgr::stateUndo, this, [this](bool b) { events << QStringLiteral("undo %1").arg(b); });
        connect(undo, &UndoMgr::stateRedo, this, [this](bool b) { events << QStringLiteral("redo %1").arg(b); });
    }
    QStringList take() { return std::exchange(events, {}); }
    QStringList events;
};

class TestUndoMgr : public QObject
{
    Q_OBJECT

private:
    TileData m_data;

    TileRecord tile(qint32 x, qint32 y, quint16 id = 10, qint32 kind = Art)
    {
        TileRecord t(id, 0, 0, m_data, kind);
        t.x = x;
        t.y = y;
        return t;
    }
    static int count(const Facet &f, const TileRecord &t)
    {
        const Facet::TileSet *set = f.tilesAtPtr(t.x, t.y);
        return set ? int(std::count(set->begin(), set->end(), t)) : 0;
    }
    void insertOne(UndoMgr &undo, const TileRecord &t)
    {
        undo.beginGroup();
        undo.insertTile(t);
        undo.commitGroup();
    }

private slots:
    void undoAndRedoOfOneInsertion()
    {
        Facet f(m_data);
        UndoMgr undo(m_data, &f, nullptr);
        SignalLog log(&undo);

        undo.undo();
        undo.redo();
        QVERIFY(log.take().isEmpty());

        const TileRecord t = tile(3, -2);
        insertOne(undo, t);
        QCOMPARE(log.take(), QStringList({"undo 1"}));
        QCOMPARE(count(f, t), 1);

        undo.undo();
        QCOMPARE(count(f, t), 0);
        QCOMPARE(log.take(), QStringList({"redo 1", "undo 0"}));
        QVERIFY(!undo.hasSteps(0));
        QVERIFY(undo.hasSteps(1));

        undo.redo();
        QCOMPARE(count(f, t), 1);
        QCOMPARE(log.take(), QStringList({"undo 1", "redo 0"}));
        QVERIFY(!undo.hasSteps(2));
    }

    void redoSurvivesANewEdit()
    {
        Facet f(m_data);
        UndoMgr undo(m_data, &f, nullptr);
        const TileRecord first = tile(1, 1);
        const TileRecord second = tile(2, 2);
        insertOne(undo, first);
        undo.undo();
        insertOne(undo, second);
        QVERIFY(undo.hasSteps(1));
        undo.redo();
        QCOMPARE(count(f, first), 1);
        QCOMPARE(count(f, second), 1);
        // Newest on top: the new edit, then the redone one.
        undo.undo();
        QCOMPARE(count(f, first), 0);
        QCOMPARE(count(f, second), 1);
    }

    void emptyGroupsAreNotPushed()
    {
        Facet f(m_data);
        UndoMgr undo(m_data, &f, nullptr);
        const TileRecord t = tile(0, 0);
        insertOne(undo, t);
        SignalLog log(&undo);

        insertOne(undo, t); // refused: equal tile already there
        {
            StdoutCapture out;
            insertOne(undo, tile(200, 0));
            QCOMPARE(out.text(), QByteArray("Not adding\n"));
        }
        undo.beginGroup();
        undo.removeTile(tile(-201, 0)); // outside: silent
        undo.commitGroup();
        QVERIFY(log.events.isEmpty());

        undo.undo();
        QVERIFY(!undo.hasSteps(0));
        QVERIFY(f.locations().isEmpty());
    }

    void terrainInsertionsSurviveUndo()
    {
        Facet f(m_data);
        UndoMgr undo(m_data, &f, nullptr);
        const TileRecord ground = tile(1, 1, 3, Terrain);
        const TileRecord item = tile(1, 1, 3, Art);
        undo.beginGroup();
        undo.insertTile(ground);
        undo.insertTile(item);
        undo.commitGroup();
        undo.undo();
        QCOMPARE(count(f, ground), 1);
        QCOMPARE(count(f, item), 0);

        // Nor does redo of a removal take a terrain tile away.
        undo.beginGroup();
        undo.removeTile(ground);
        undo.commitGroup();
        QCOMPARE(count(f, ground), 0);
        undo.undo();
        QCOMPARE(count(f, ground), 1);
        undo.redo();
        QCOMPARE(count(f, ground), 1);
    }

    void duplicateGroups()
    {
        Facet f(m_data);
        UndoMgr undo(m_data, &f, nullptr);
        // A move by (0, 0, 0) of a tile onto an equal one: only a duplicate group allows it.
        const TileRecord t = tile(6, 6);
        insertOne(undo, t);
        undo.beginGroup();
        undo.markDuplicate();
        QVERIFY(f.allowDuplicates());
        undo.insertTile(t);
        undo.commitGroup();
        QVERIFY(!f.allowDuplicates());
        QCOMPARE(count(f, t), 2);

        undo.undo();
        QCOMPARE(count(f, t), 1);
        QVERIFY(!f.allowDuplicates());
        undo.redo();
        QCOMPARE(count(f, t), 2);
        QVERIFY(!f.allowDuplicates());
        QVERIFY(!f.addTile(t.x, t.y, t));

        // A group that is only the mark still counts as an edit.
        undo.beginGroup();
        undo.markDuplicate();
        undo.commitGroup();
        undo.undo();
        QVERIFY(!f.allowDuplicates());
    }

    void batchMoveUndoesAndRedoes()
    {
        Facet f(m_data);
        UndoMgr undo(m_data, &f, nullptr);
        QList<TileRecord> tiles;
        for (int i = 0; i < 20; ++i)
            tiles << tile(i, -i, quint16(100 + i % 3));
        undo.beginGroup();
        for (const TileRecord &t : tiles)
            undo.insertTile(t);
        undo.commitGroup();
        QByteArray start;
        for (const TileRecord &t : tiles)
            start += t.key().toLatin1();

        undo.beginGroup();
        undo.markDuplicate();
        for (const TileRecord &t : tiles) {
            TileRecord moved = t;
            moved.x += 1;
            undo.removeTile(t);
            undo.insertTile(moved);
        }
        undo.commitGroup();
        QCOMPARE(f.tileCount(), 20);
        QVERIFY(f.tilesAtPtr(20, -19));
        undo.undo();
        QCOMPARE(f.tileCount(), 20);
        for (const TileRecord &t : tiles)
            QCOMPARE(count(f, t), 1);
        undo.redo();
        QVERIFY(!f.tilesAtPtr(0, 0));
        QVERIFY(f.tilesAtPtr(20, -19));
    }

    void clearHistory()
    {
        Facet f(m_data);
        UndoMgr undo(m_data, &f, nullptr);
        insertOne(undo, tile(1, 1));
        insertOne(undo, tile(2, 2));
        undo.undo();
        SignalLog log(&undo);
        undo.clearHistory();
        QCOMPARE(log.take(), QStringList({"undo 0", "redo 0"}));
        QVERIFY(!undo.hasSteps(0));
        QVERIFY(!undo.hasSteps(1));
        QCOMPARE(f.tileCount(), 1);
    }
};

QTEST_GUILESS_MAIN(TestUndoMgr)
#include "test_undomgr.moc"
