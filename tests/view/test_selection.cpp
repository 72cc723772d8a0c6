#include "data/TileData.h"
#include "model/Facet.h"
#include "view/DrawnQuad.h"
#include "view/Selection.h"

#include "../model/StdoutCapture.h"

#include <QtTest>

class TestSelection : public QObject
{
    Q_OBJECT
private slots:
    void addQueryRemoveAndExclusive();
    void illegalKind();
    void selectedTilesFollowTheModel();
};

static TileIdentity art(int id, int x, int y, int z = 0, int hue = 0)
{
    return {Art, id, x, y, z, hue, 1};
}

void TestSelection::addQueryRemoveAndExclusive()
{
    Selection s;
    QVERIFY(!s.add(art(100, 1, 2), false));
    QVERIFY(s.add(art(100, 1, 2), false)); // already there
    QCOMPARE(s.count(Art), 1);
    // Same location and id, other hue: another tile.
    QVERIFY(!s.query(art(100, 1, 2, 0, 5)));
    QVERIFY(!s.add(art(100, 1, 2, 0, 5), false));
    QCOMPARE(s.count(Art), 2);

    // Exclusive add keeps only the new tile, and reports a re-added one as new.
    QVERIFY(!s.add(art(100, 1, 2), true));
    QCOMPARE(s.count(Art), 1);
    QVERIFY(s.query(art(100, 1, 2)));

    // Removing the last entry of a location drops its key.
    QVERIFY(s.remove(art(100, 1, 2)));
    QVERIFY(!s.remove(art(100, 1, 2)));
    QVERIFY(s.isEmpty(Art));
    QVERIFY(s.set(Art).isEmpty());

    // Negative coordinates share no key with others.
    s.add(art(7, -1, 0), false);
    s.add(art(7, 0, -1), false);
    QCOMPARE(s.set(Art).size(), 2);
    QVERIFY(s.query(art(7, -1, 0)) && s.query(art(7, 0, -1)));

    // Sets are per kind: exclusive adds and clearing one kind leave the other.
    const TileIdentity ground{Terrain, 3, 1, 2, 0, 0, 1};
    s.add(ground, false);
    s.add(art(3, 1, 2), true);
    QVERIFY(s.query(ground) && s.count(Art) == 1);
    s.clear(2);
    QVERIFY(s.isEmpty(Art) && !s.isEmpty(Terrain));
}

void TestSelection::illegalKind()
{
    Selection s;
    const TileIdentity odd{2, 5, 0, 0, 0, 0, 1};
    StdoutCapture out;
    QVERIFY(!s.add(odd, false));
    QVERIFY(!s.query(odd));
    QVERIFY(!s.remove(odd));
    QVERIFY(!s.query(DrawnQuad::none().identity()));
    QCOMPARE(out.text(), QByteArray("illegal type\nillegal type\nillegal type\nillegal type\n"));
    QVERIFY(s.isEmpty(Art) && s.isEmpty(Terrain));
}

void TestSelection::selectedTilesFollowTheModel()
{
    TileData data;
    Facet model(data);
    TileRecord a(100, 0, 5, data, Art);
    a.x = 3;
    a.y = -4;
    TileRecord b(101, 7, 0, data, Art);
    b.x = 3;
    b.y = -4;
    QVERIFY(model.addTile(a.x, a.y, a) && model.addTile(b.x, b.y, b));

    Selection s;
    s.add(TileIdentity::of(a), false);
    s.add(art(101, 3, -4, 0, 8), false); // hue differs from the model's tile: stale
    s.add(art(100, 50, 50), false);      // nothing there
    const QList<TileRecord> tiles = s.selectedTiles(model, Art);
    QCOMPARE(tiles.size(), 1);
    QCOMPARE(tiles.first(), a);
    QVERIFY(s.selectedTiles(model, Terrain).isEmpty());
}

QTEST_GUILESS_MAIN(TestSelection)
#include "test_selection.moc"
