#include "data/TileData.h"
#include "model/Facet.h"
#include "scene/Selection.h"

#include <QRandomGenerator>
#include <QTest>

#include <map>

namespace {
using Reference = std::map<quint32, QList<TileIdentity>>;

// Every location of the selection's kind as "key=id:z ..." in key order, entries in their order.
QStringList listing(const Selection::Set &set)
{
    std::map<quint32, QStringList> byKey;
    for (auto it = set.cbegin(); it != set.cend(); ++it) {
        QStringList &entries = byKey[it.key()];
        if (!entries.isEmpty())
            entries << QStringLiteral("twice!");
        for (const TileIdentity &t : *it)
            entries << QStringLiteral("%1,%2:%3:%4").arg(t.x).arg(t.y).arg(t.id).arg(t.z);
    }
    QStringList out;
    for (const auto &[key, entries] : byKey)
        out << QString::number(key) + QLatin1Char('=') + entries.join(QLatin1Char(' '));
    return out;
}

QStringList listing(const Reference &ref)
{
    QStringList out;
    for (const auto &[key, list] : ref) {
        QStringList entries;
        for (const TileIdentity &t : list)
            entries << QStringLiteral("%1,%2:%3:%4").arg(t.x).arg(t.y).arg(t.id).arg(t.z);
        out << QString::number(key) + QLatin1Char('=') + entries.join(QLatin1Char(' '));
    }
    return out;
}
} // namespace

class TestSelection : public QObject
{
    Q_OBJECT
private slots:
    void keysKindsAndStaleIdentities()
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

    void manyEditsMatchAPlainTable_data()
    {
        QTest::addColumn<QRect>("area");
        QTest::addColumn<int>("seed");
        // The editing area's square is -200..199 both ways.
        QTest::newRow("inside, crowded") << QRect(-3, -3, 6, 6) << 1;
        QTest::newRow("inside, spread") << QRect(-200, -200, 400, 400) << 2;
        QTest::newRow("across the edges") << QRect(-203, 196, 8, 8) << 3;
        QTest::newRow("far outside") << QRect(1000, -32000, 5, 5) << 4;
        QTest::newRow("negative wrap of the key") << QRect(-32768, 32765, 4, 4) << 5;
    }

    // Adds, removals and clears at random, checked after each against a plain
    // table kept by the test: every location once, with its identities in order.
    void manyEditsMatchAPlainTable()
    {
        QFETCH(QRect, area);
        QFETCH(int, seed);
        QRandomGenerator random{quint32(seed)};
        Selection s;
        Reference ref;
        constexpr int Steps = 3000;
        constexpr int ClearEvery = 997;
        for (int step = 1; step <= Steps; ++step) {
            const TileIdentity t{Art, 100 + int(random.bounded(3)), area.x() + int(random.bounded(area.width())),
                                 area.y() + int(random.bounded(area.height())), int(random.bounded(2)), 0, 1};
            QList<TileIdentity> &list = ref[locationKey(t.x, t.y)];
            const bool had = list.contains(t);
            if (step % ClearEvery == 0) {
                s.clear(Selection::ClearArt);
                ref.clear();
            } else if (random.bounded(3) == 0) {
                QCOMPARE(s.remove(t), had);
                list.removeOne(t);
            } else {
                QCOMPARE(s.add(t, false), had);
                if (!had)
                    list << t;
            }
            for (auto it = ref.begin(); it != ref.end();)
                it = it->second.isEmpty() ? ref.erase(it) : std::next(it);
            QCOMPARE(s.query(t), ref.count(locationKey(t.x, t.y)) > 0
                                     && ref[locationKey(t.x, t.y)].contains(t));
            if (step % 50 == 0 || step % ClearEvery < 2) {
                QCOMPARE(listing(s.set(Art)), listing(ref));
                QCOMPARE(s.set(Art).size(), qsizetype(ref.size()));
                QCOMPARE(s.isEmpty(Art), ref.empty());
            }
        }
        QCOMPARE(listing(s.set(Art)), listing(ref));
        QVERIFY(s.isEmpty(Terrain));
    }

    void selectedKeysNameTheIdentities()
    {
        Selection s;
        s.add({Art, 7, 3, -4, -5, 2, 0}, false);
        s.add({Art, 70000, 1, 1, 0, 0, 1}, false); // no record holds such an id
        s.add({Terrain, 3, 0, 0, 0, 0, 1}, false);
        const QList<TileRecord> keys = s.selectedKeys(Art);
        QCOMPARE(keys.size(), 1);
        QCOMPARE(keys.first().key(), QStringLiteral("7:3:-4:-5:2:0:1"));
        QCOMPARE(keys.first().sortZ, -5);
        QVERIFY(s.selectedKeys(5).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSelection)
#include "test_selection.moc"
