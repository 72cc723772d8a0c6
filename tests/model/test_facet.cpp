#include "StdoutCapture.h"
#include "data/TileData.h"
#include "model/Facet.h"
#include "model/MltFile.h"

#include <QtTest>

class TestFacet : public QObject
{
    Q_OBJECT

private:
    TileData m_data;

    TileRecord tileAt(qint32 x, qint32 y, quint16 id = 10, qint16 z = 0)
    {
        TileRecord t(id, 0, z, m_data, Art);
        t.x = x;
        t.y = y;
        return t;
    }
    static QByteArray fileBytes(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private slots:
    void initTestCase() { m_data.setStaticInfo(10, TileInfo{TileFlags::Background, 0, "wall", 0}); }

    void boundsOfTheArea()
    {
        Facet f(m_data);
        QVERIFY(f.addTile(199, 199, tileAt(199, 199)));
        QVERIFY(f.addTile(-200, -200, tileAt(-200, -200)));
        QCOMPARE(f.tileCount(), 2);
        StdoutCapture out;
        QVERIFY(!f.addTile(200, 0, tileAt(200, 0)));
        QVERIFY(!f.addTile(0, 200, tileAt(0, 200)));
        QVERIFY(!f.addTile(-201, 0, tileAt(-201, 0)));
        QVERIFY(!f.removeTile(200, 0, tileAt(200, 0)));
        QCOMPARE(out.text(), QByteArray("Add Tile outside bounds 200,0  10:200:0:0:0:1:1\n"
                                        "Add Tile outside bounds 0,200  10:0:200:0:0:1:1\n"
                                        "Add Tile outside bounds -201,0  10:-201:0:0:0:1:1\n"
                                        "Tile outside bounds 200,0  10:200:0:0:0:1:1\n"));
        QCOMPARE(f.tileCount(), 2);
        QCOMPARE(f.locations().size(), 2);
    }

    void duplicates()
    {
        Facet f(m_data);
        const TileRecord t = tileAt(1, 2);
        QVERIFY(f.addTile(1, 2, t));
        QVERIFY(f.isModified());
        QVERIFY(!f.addTile(1, 2, t));
        QCOMPARE(f.tilesAt(1, 2).size(), size_t(1));

        TileRecord invisible = t;
        invisible.visible = 0;
        QVERIFY(f.addTile(1, 2, invisible));

        f.setAllowDuplicates(true);
        QVERIFY(f.addTile(1, 2, t));
        f.setAllowDuplicates(false);
        QCOMPARE(f.tilesAt(1, 2).size(), size_t(3));

        // Removing one of two equal tiles leaves the other.
        QVERIFY(f.removeTile(1, 2, t));
        const Facet::TileSet left = f.tilesAt(1, 2);
        QCOMPARE(std::count(left.begin(), left.end(), t), 1);
    }

    void duplicateAddLeavesModifiedAlone()
    {
        Facet f(m_data);
        f.load({{locationKey(1, 2), {tileAt(1, 2)}}});
        f.setAllowDuplicates(true);
        QVERIFY(f.addTile(1, 2, tileAt(1, 2)));
        QVERIFY(!f.isModified());
    }

    void removeDiagnostics()
    {
        Facet f(m_data);
        TileRecord t = tileAt(3, 4);
        f.addTile(3, 4, t);
        TileRecord hued = t;
        hued.hue = 5;
        StdoutCapture out;
        QVERIFY(!f.removeTile(9, 9, tileAt(9, 9)));
        QVERIFY(!f.removeTile(3, 4, hued));
        QVERIFY(f.removeTile(3, 4, t));
        QVERIFY(!f.removeTile(3, 4, t));
        QCOMPARE(out.text(), QByteArray("not in lookup 9,9  10:9:9:0:0:1:1\n"
                                        "Tile not found in multiset 3,4  10:3:4:0:5:1:1\n"
                                        "not in lookup 3,4  10:3:4:0:0:1:1\n"));
        QVERIFY(f.locations().isEmpty());
        QVERIFY(!f.tilesAtPtr(3, 4));
    }

    void readingCreatesNoEntries()
    {
        Facet f(m_data);
        QVERIFY(f.tilesAt(5, 5).empty());
        QVERIFY(!f.tilesAtPtr(5, 5));
        QVERIFY(f.locations().isEmpty());
    }

    void loadKeepsDrawOrderAndIsUnmodified()
    {
        Facet f(m_data);
        const TileRecord high = tileAt(1, 1, 10, 20);
        const TileRecord low = tileAt(1, 1, 10, 5);
        const TileRecord far = tileAt(500, 500);
        f.load({{locationKey(1, 1), {high, low}}, {locationKey(500, 500), {far}}});
        QVERIFY(!f.isModified());
        const Facet::TileSet set = f.tilesAt(1, 1);
        QCOMPARE(set.size(), size_t(2));
        QVERIFY(*set.begin() == low);
        QCOMPARE(f.tilesAt(500, 500).size(), size_t(1));
        QCOMPARE(f.sortedKeys(), QList<quint32>({locationKey(1, 1), locationKey(500, 500)}));

        // A second load replaces everything and keeps the unsaved state as it was.
        f.addTile(0, 0, tileAt(0, 0));
        f.load(TileMap());
        QVERIFY(f.locations().isEmpty());
        QVERIFY(f.isModified());
    }

    void saveWritesTheExampleFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("one.mlt");
        Facet f(m_data);
        TileRecord t(3, 0, 2, m_data, Terrain);
        t.x = 5;
        t.y = -7;
        QVERIFY(f.addTile(5, -7, t));
        QVERIFY(f.save(path));
        QVERIFY(!f.isModified());
        QCOMPARE(fileBytes(path).toHex(' '),
                 QByteArray("00 00 00 00 03 00 05 00 f9 ff 02 00 01 00 00 00"));
    }

    void saveWritesEqualTilesOnceAndIsDeterministic()
    {
        QList<int> steps;
        for (int i = -50; i < 50; i += 7)
            steps << i;
        Facet f(m_data);
        f.setAllowDuplicates(true);
        for (int i = 0; i < 3; ++i)
            f.addTile(4, 4, tileAt(4, 4));
        f.setAllowDuplicates(false);
        for (int i : steps)
            f.addTile(i, -i, tileAt(i, -i, 10, qint16(i)));
        const QByteArray bytes = MltFile::toBytes(f);
        QCOMPARE(bytes.size(), 4 + 12 * (1 + 15));

        // Another insertion order, the same file.
        Facet same(m_data);
        std::reverse(steps.begin(), steps.end());
        for (int i : steps)
            same.addTile(i, -i, tileAt(i, -i, 10, qint16(i)));
        same.addTile(4, 4, tileAt(4, 4));
        QCOMPARE(MltFile::toBytes(same), bytes);
    }

    void emptyMultiSavesHeaderOnly()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("empty.mlt");
        Facet f(m_data);
        f.addTile(1, 1, tileAt(1, 1));
        QVERIFY(f.save(path));
        f.removeTile(1, 1, tileAt(1, 1));
        QVERIFY(f.isModified());
        QVERIFY(f.save(path));
        QVERIFY(!f.isModified());
        QCOMPARE(fileBytes(path), QByteArray(4, '\0'));
    }

    void failedSaveKeepsOldFileAndModified()
    {
        QTemporaryDir dir;
        // The longest name a folder takes: the temporary file beside it cannot be
        // made, whatever rights the test runs with.
        const QString path = dir.filePath(QString(255, QLatin1Char('m')));
        Facet f(m_data);
        f.addTile(1, 1, tileAt(1, 1));
        QVERIFY(f.save(path));
        const QByteArray before = fileBytes(path);
        QCOMPARE(before.size(), 16);

        f.addTile(2, 2, tileAt(2, 2));
        QVERIFY(!f.save(path));
        QVERIFY(f.isModified());
        QCOMPARE(fileBytes(path), before);

        QVERIFY(!f.save(dir.filePath("no/such/folder/x.mlt")));
        QVERIFY(f.isModified());
    }
};

QTEST_GUILESS_MAIN(TestFacet)
#include "test_facet.moc"
