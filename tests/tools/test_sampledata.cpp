#include "MulWriter.h"
#include "SampleCatalogue.h"
#include "SampleHues.h"
#include "SampleMultis.h"

#include "data/ArtReader.h"
#include "data/HueTable.h"
#include "data/MultiFile.h"
#include "data/TileData.h"

#include <QProcess>
#include <QTest>

#include <memory>

// The generator run as the build runs it, its files read back by the editor's own readers.
class TestSampleData : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<ArtReader> m_art;
    TileData m_tiles;
    HueTable m_hues;

    QByteArray m_err; // what the last run of the generator wrote to its error output

    int generate(const QStringList &args)
    {
        QProcess p;
        p.start(QStringLiteral(TILSEN_SAMPLEDATA_EXE), args);
        const bool done = p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit;
        m_err = p.readAllStandardError();
        return done ? p.exitCode() : -1;
    }
    QByteArray bytes(const QString &name) const
    {
        QFile f(m_dir.filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    QString data(const char *name) const { return m_dir.filePath(QStringLiteral("data/") + name); }
    // Opaque pixels read back, or -1 when one differs from the drawing in the game colour
    // it stores. Terrain holds only its diamond: what it lacks is not compared.
    static int matching(const QImage &read, const QImage &drawn, bool diamondOnly)
    {
        if (read.size() != drawn.size())
            return -1;
        int opaque = 0;
        for (int y = 0; y < drawn.height(); ++y)
            for (int x = 0; x < drawn.width(); ++x) {
                opaque += qAlpha(read.pixel(x, y)) == 255;
                if ((!diamondOnly || qAlpha(read.pixel(x, y)))
                    && MulWriter::colour(read.pixel(x, y)) != MulWriter::colour(drawn.pixel(x, y)))
                    return -1;
            }
        return opaque;
    }

private slots:
    void initTestCase()
    {
        QCOMPARE(generate({m_dir.filePath("data"), m_dir.filePath("xml")}), 0);
        m_art = std::make_unique<ArtReader>(data("artidx.mul"), data("art.mul"), data("texidx.mul"),
                                            data("texmaps.mul"));
        m_tiles.load(data("tiledata.mul"));
        m_hues.load(data("hues.mul"));
    }

    void generatorIsDeterministicAndReportsFailures()
    {
        QCOMPARE(generate({m_dir.filePath("again/data"), m_dir.filePath("again/xml")}), 0);
        for (const QString sub : {"data/", "xml/"})
            for (const QString &name : QDir(m_dir.filePath(sub)).entryList(QDir::Files))
                QVERIFY2(bytes(sub + name) == bytes("again/" + sub + name), qPrintable(name));
        // No folder below a plain file: status 1 naming it. Wrong arguments: 2, and nothing made.
        QCOMPARE(generate({m_dir.filePath("data/art.mul/data"), m_dir.filePath("x")}), 1);
        QVERIFY(m_err.contains("art.mul/data"));
        QCOMPARE(generate({m_dir.filePath("only-one")}), 2);
        QVERIFY(!QFileInfo::exists(m_dir.filePath("only-one")));
    }

    // Pictures, names, flags and heights; no tile in the view's no-draw ranges but the marker.
    void everyTileReadsBackAsDrawn()
    {
        QVERIFY(SampleCatalogue::art().size() >= 40 && SampleCatalogue::land().size() >= 8);
        for (const auto &t : SampleCatalogue::art()) {
            QVERIFY2(matching(m_art->staticImage(t.id, nullptr, false), t.draw(), false) > 0, t.name);
            const TileInfo info = m_tiles.staticInfo(t.id);
            QCOMPARE(info.name, QString::fromLatin1(t.name.left(20)));
            QVERIFY(!info.name.isEmpty() && info.flags == t.flags && info.height == t.height);
            QVERIFY2((t.id >= 2 && t.id < 7182) != (t.id == SampleCatalogue::Marker), t.name);
        }
        for (const auto &t : SampleCatalogue::land()) {
            QVERIFY2(matching(m_art->landImage(t.id, nullptr, false), t.draw(), true) == 1012, t.name);
            QCOMPARE(m_tiles.landInfo(t.id).name, QString::fromLatin1(t.name));
            QVERIFY2(t.id == 1 || (t.id > 2 && t.id < 431), t.name);
        }
        // Chosen pixels: grass is green, water blue, a wall stands on its bottom corner.
        const QRgb grass = m_art->landImage(3, nullptr, false).pixel(22, 22);
        QVERIFY(qGreen(grass) > qRed(grass));
        QVERIFY(qBlue(m_art->landImage(7, nullptr, false).pixel(22, 30)) > 100);
        const QImage wall = m_art->staticImage(SampleCatalogue::StoneWallEW, nullptr, false);
        QVERIFY(wall.height() >= 80);
        QVERIFY(qAlpha(wall.pixel(22, wall.height() - 1)));
    }

    void huesAreSmoothRamps()
    {
        const auto expected = SampleHues::all();
        QCOMPARE(m_hues.count(), (expected.size() + 7) / 8 * 8);
        const auto sum = [](quint16 v) { return (v >> 10 & 31) + (v >> 5 & 31) + (v & 31); };
        for (int h = 1; h <= expected.size(); ++h) {
            const quint16 *c = m_hues.colours(h);
            QCOMPARE(QVector<quint16>(c, c + 32), expected[h - 1].colours);
            for (int i = 1; i < 32; ++i) {
                QVERIFY2(sum(c[i]) >= sum(c[i - 1]), qPrintable(QString::number(h)));
                QVERIFY2(sum(c[i]) - sum(c[i - 1]) <= 9, qPrintable(QString::number(h)));
            }
        }
        // Selected tiles are drawn in this hue: it must stand out.
        const quint16 *selection = m_hues.colours(SampleHues::SelectionHue);
        QVERIFY(selection && (selection[31] >> 10 & 31) > 25 && (selection[31] >> 5 & 31) > 25);
    }

    // Every entry holds exactly its multi's tiles, each once, each with art and a name.
    void everyMultiEntryReadsBack()
    {
        MultiFile pair(data("multi.idx"), data("multi.mul"));
        QVERIFY(pair.readIndex());
        const QByteArray mul = bytes("data/multi.mul");
        for (const SampleMultis::Multi &m : SampleMultis::all()) {
            TileMap tiles;
            QVERIFY(pair.readEntry(m.index, m_tiles, tiles));
            QStringList read, written;
            for (const auto &list : tiles)
                for (const TileRecord &t : list) {
                    read << t.key();
                    QVERIFY2(!m_art->staticImage(t.id, nullptr, false).isNull(), qPrintable(t.key()));
                    QVERIFY2(!t.name.isEmpty(), qPrintable(t.key()));
                }
            for (const auto &t : m.tiles)
                written << QString("%1:%2:%3:%4:0:%5:1").arg(t.id).arg(t.x).arg(t.y).arg(t.z).arg(qint16(t.flags));
            read.sort();
            written.sort();
            QCOMPARE(read, written);
            QCOMPARE(read.removeDuplicates(), 0);
            // The entry starts with its tile at (0, 0, 0).
            QCOMPARE(mul.mid(pair.records().at(m.index).offset + 2, 6), QByteArray(6, '\0'));
        }
        const auto &r = pair.records();
        QCOMPARE(pair.entryCount(), SampleMultis::IndexRecords);
        QCOMPARE(r.at(SampleMultis::AbsentEntry).offset, -1);
        QCOMPARE(r.at(SampleMultis::EmptyEntry).offset, 0);
        QCOMPARE(r.at(SampleMultis::EmptyEntry).length, 0);
        TileMap none;
        QVERIFY(!pair.readEntry(SampleMultis::AbsentEntry, m_tiles, none));
        QVERIFY(!pair.readEntry(SampleMultis::EmptyEntry, m_tiles, none));
        QVERIFY(none.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSampleData)
#include "test_sampledata.moc"
