#include "data/TileData.h"
#include "model/Facet.h"
#include "scene/Selection.h"

#include <QTest>

class TestSelection : public QObject
{
    Q_OBJECT
private slots:
    void keysKindsAndStaleIdentities();
};

void TestSelection::keysKindsAndStaleIdentities()
{
    TileData data;
    Facet model(data);
    TileRecord a(100, 0, 5, data, Art), b(101, 7, 0, data, Art);
    a.x = b.x = 3;
    a.y = b.y = -4;
    QVERIFY(model.addTile(a.x, a.y, a));
    QVERIFY(model.addTile(b.x, b.y, b));

    Selection s;
    const TileIdentity ground{Terrain, 3, 3, -4, 0, 0, 1};
    s.add(ground, false);
    s.add({Art, 7, -4, 3, 0, 0, 1}, false);
    QVERIFY(!s.add(TileIdentity::of(a), true)); // exclusive within its kind only
    QVERIFY(s.add(TileIdentity::of(a), false)); // already there
    s.add({Art, 101, 3, -4, 0, 8, 1}, false);   // hue differs from the model's tile: stale
    s.add({Art, 100, 50, 50, 0, 0, 1}, false);  // nothing there
    const TileIdentity left{Art, 7, -1, 0, 0, 0, 1}, down{Art, 7, 0, -1, 0, 0, 1};
    s.add(left, false); // negative coordinates share no key with others
    s.add(down, false);
    QVERIFY(s.query(ground));
    QVERIFY(s.query(left));
    QVERIFY(s.query(down));
    QVERIFY(s.count(Art) == 5);
    QCOMPARE(s.selectedTiles(model, Art), QList<TileRecord>{a});
    QVERIFY(s.selectedTiles(model, Terrain).isEmpty());
    // Removal takes the one identity; a kind that is neither is refused.
    QVERIFY(s.remove(TileIdentity::of(a)));
    QVERIFY(!s.remove(TileIdentity::of(a)));
    QVERIFY(s.remove(left));
    QVERIFY(s.query(down));
    QVERIFY(s.count(Art) == 3);
    const TileIdentity odd{2, 5, 0, 0, 0, 0, 1};
    QVERIFY(!s.add(odd, false));
    QVERIFY(!s.query(odd));
    QVERIFY(!s.remove(odd));
    s.clear(2);
    QVERIFY(s.isEmpty(Art));
    QVERIFY(s.count(Terrain) == 1);
}

QTEST_GUILESS_MAIN(TestSelection)
#include "test_selection.moc"
