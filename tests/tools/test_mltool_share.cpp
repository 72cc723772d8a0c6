// mltool's pictures and text formats, run as the real executable on files
// written to disk; pictures are checked against the art images placed by hand.
#include "FileBytes.h"
#include "MlToolRun.h"
#include "MltBytes.h"
#include "MulWriter.h"
#include "SolidImage.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

namespace {
using Run = MlToolRun;
Run mltool(const QStringList &args) { return MlToolRun::of(args); }
QByteArray mlt(const QList<QList<int>> &tiles) { return mltFile(tiles); }

QImage opaque(const QImage &image) { return image.convertToFormat(QImage::Format_ARGB32); }

// Where the top-left of a w x h art image of a tile at (x, y, z) lands in a
// picture whose frame starts at `origin` (y down): the image's bottom row
// rests on its cell's bottom corner, centred on it.
QPoint placed(int x, int y, int z, int w, int h, const QPoint &origin)
{
    return QPoint((x - y) * 22 - w / 2, (x + y) * 22 - 4 * z + 44 - h) - origin;
}
} // namespace

class TestMlToolShare : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void rendersOneFile();
    void rendersStoreys_data();
    void rendersStoreys();
    void rendersEveryEntryWithContactSheet();
    void convertsAndKeepsTemplates();
    void reportsBadInput_data();
    void reportsBadInput();
    void rendersBoxesWithoutArt();

private:
    QTemporaryDir m_dir;
    QString m_data;
    // Colours that survive the game's 5-bit channels; a transparent pixel shows the ground through.
    const QImage m_a = solidImage(44, 60, qRgb(248, 0, 0), QPoint(22, 30));
    const QImage m_b = solidImage(30, 30, qRgb(0, 0, 248));
};

void TestMlToolShare::initTestCase()
{
    m_data = m_dir.filePath("data");
    QVERIFY(QDir().mkpath(m_data));
    const auto files = MulWriter::artFiles({}, {{500, m_a}, {501, m_b}});
    writeFileBytes(m_data + "/artidx.mul", files.index);
    writeFileBytes(m_data + "/art.mul", files.data);
}

void TestMlToolShare::rendersOneFile()
{
    const QString in = m_dir.filePath("two.mlt"), out = m_dir.filePath("two.png");
    // A at (0, 0, 0), B in front of it at (1, 0, 2).
    writeFileBytes(in, mlt({{500, 0, 0, 0, 1, 0}, {501, 1, 0, 2, 1, 0}}));
    const Run r = mltool({"render", "--data", m_data, in, out});
    QVERIFY2(r.status == 0, qPrintable(r.err));
    const QImage picture = opaque(QImage(out));
    // Bounds: A spans x -22..22, y (down) -16..44; B spans x 7..37, y 28..58.
    const QPoint origin(-22, -16);
    QCOMPARE(picture.size(), QSize(37 + 22, 58 + 16));
    QImage expected(picture.size(), QImage::Format_ARGB32);
    expected.fill(Qt::transparent);
    auto draw = [&](const QImage &img, const QPoint &at) {
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (qAlpha(img.pixel(x, y)))
                    expected.setPixel(at + QPoint(x, y), img.pixel(x, y));
    };
    draw(m_a, placed(0, 0, 0, 44, 60, origin));
    draw(m_b, placed(1, 0, 2, 30, 30, origin));
    QCOMPARE(picture, expected);

    // Half the size, still one picture of both.
    const Run half = mltool({"render", "--data", m_data, "--scale", "0.5", in, out});
    QVERIFY2(half.status == 0, qPrintable(half.err));
    QCOMPARE(QImage(out).size(), QSize(30, 37));
}

void TestMlToolShare::rendersStoreys_data()
{
    QTest::addColumn<bool>("hideBelow");
    QTest::newRow("below dimmed") << false;
    QTest::newRow("below hidden") << true;
}

void TestMlToolShare::rendersStoreys()
{
    QFETCH(bool, hideBelow);
    const QString in = m_dir.filePath("tower.csv"), out = m_dir.filePath("tower.png");
    // Ground floor 0..9 and upper floor 10..19: B at 0, A straight above at 10.
    writeFileBytes(in, "kind,id,x,y,z,hue,visible\nart,501,0,0,0,0,1\nart,500,0,0,10,0,1\n");
    QStringList args{"render", "--data", m_data, "--storeys", "10", in, out};
    if (hideBelow)
        args.insert(1, "--hide-below");
    const Run r = mltool(args);
    QVERIFY2(r.status == 0, qPrintable(r.err));
    QVERIFY(!QFile::exists(out));
    const QImage first = opaque(QImage(m_dir.filePath("tower-storey1.png")));
    const QImage second = opaque(QImage(m_dir.filePath("tower-storey2.png")));
    QVERIFY(!QFile::exists(m_dir.filePath("tower-storey3.png")));
    // Both storeys share one frame: A spans y (down) -56..4, B 14..44.
    QCOMPARE(first.size(), QSize(44, 100));
    QCOMPARE(second.size(), first.size());
    const QPoint origin(-22, -56);
    const QPoint bAt = placed(0, 0, 0, 30, 30, origin) + QPoint(5, 25);
    const QPoint aAt = placed(0, 0, 10, 44, 60, origin) + QPoint(3, 3);
    QCOMPARE(first.pixel(bAt), m_b.pixel(5, 25));
    QCOMPARE(qAlpha(first.pixel(aAt)), 0); // the upper storey is not on the first
    QCOMPARE(second.pixel(aAt), m_a.pixel(3, 3));
    const QRgb below = second.pixel(bAt);
    if (hideBelow) {
        QCOMPARE(qAlpha(below), 0);
    } else {
        QVERIFY(qAlpha(below) > 0);
        QVERIFY(qAlpha(below) < 255);
        QCOMPARE(qRgb(qRed(below), qGreen(below), qBlue(below)), m_b.pixel(5, 25) | 0xFF000000u);
    }
}

void TestMlToolShare::rendersEveryEntryWithContactSheet()
{
    const QString idx = m_dir.filePath("multi.idx"), mul = m_dir.filePath("multi.mul");
    const auto files = MulWriter::multiFiles({{0, {{500, 0, 0, 0, 1}}}, {3, {{501, 0, 0, 0, 1}, {500, 2, 0, 0, 1}}}}, 5);
    writeFileBytes(idx, files.index);
    writeFileBytes(mul, files.data);
    const QString outDir = m_dir.filePath("all");
    const Run r = mltool({"render", "--data", m_data, "--all", outDir, idx, mul});
    QVERIFY2(r.status == 0, qPrintable(r.err));
    QCOMPARE(r.err, QString("rendered 1 of 2: entry 0\nrendered 2 of 2: entry 3\n"));
    QCOMPARE(QDir(outDir).entryList(QDir::Files), QStringList({"0.png", "3.png", "contact-sheet.png"}));
    QCOMPARE(opaque(QImage(outDir + "/0.png")), m_a);
    const QImage sheet(outDir + "/contact-sheet.png");
    QVERIFY(sheet.width() > 2 * 160);
    QVERIFY(sheet.height() > 160);

    // One entry of the pair, the same picture as the whole-store run made.
    const Run one = mltool({"render", "--data", m_data, idx, mul, "3", m_dir.filePath("3.png")});
    QVERIFY2(one.status == 0, qPrintable(one.err));
    QCOMPARE(fileBytes(m_dir.filePath("3.png")), fileBytes(outDir + "/3.png"));
}

void TestMlToolShare::convertsAndKeepsTemplates()
{
    const QString original = m_dir.filePath("house.mlt");
    const QByteArray bytes = mlt({{500, -1, 0, 0, 1, 0}, {501, 0, 0, 5, 0, 33}, {12, 3, -2, 7, 1, 0}});
    writeFileBytes(original, bytes);
    const QString csv = m_dir.filePath("house.csv");
    QCOMPARE(mltool({"convert", original, csv}).status, 0);
    QCOMPARE(fileBytes(csv), QByteArray("kind,id,x,y,z,hue,visible\nart,501,0,0,5,33,0\nart,500,-1,0,0,0,1\n"
                                   "art,12,3,-2,7,0,1\n"));

    // Into a component list that already holds a named template, and back.
    const QString list = m_dir.filePath("multi.txt");
    const QByteArray kept = "6 version\n2 template id\n-1 item version\n1 num components\n7 0 0 0 0 Sign\n";
    writeFileBytes(list, kept);
    QCOMPARE(mltool({"export", original, list, "5"}).status, 0);
    const Run listed = mltool({"list", list});
    QCOMPARE(listed.out, QString("template components name\n2 1 -\n5 3 -\n2 templates\n"));
    const QString imported = m_dir.filePath("imported.mlt");
    QCOMPARE(mltool({"import", list, "5", imported}).status, 0);
    // Hues are not part of the list; everything else comes back.
    QCOMPARE(fileBytes(imported), mlt({{501, 0, 0, 5, 0, 0}, {500, -1, 0, 0, 1, 0}, {12, 3, -2, 7, 1, 0}}));
    // A template draws as the same multi does from its own file.
    QCOMPARE(mltool({"render", "--data", m_data, list, "5", m_dir.filePath("t5.png")}).status, 0);
    QCOMPARE(mltool({"render", "--data", m_data, imported, m_dir.filePath("i5.png")}).status, 0);
    QCOMPARE(fileBytes(m_dir.filePath("t5.png")), fileBytes(m_dir.filePath("i5.png")));
}

void TestMlToolShare::reportsBadInput_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    QTest::newRow("csv damage") << QStringList{"convert", "@bad.csv", "@out.mlt"} << 1 << "bad.csv: line 3: bad x";
    QTest::newRow("unknown suffix") << QStringList{"convert", "@a.mlt", "@out.xyz"} << 1 << "not a file of one multi";
    QTest::newRow("scale") << QStringList{"render", "--scale", "9", "@a.mlt", "@a.png"} << 2 << "--scale takes";
    QTest::newRow("storeys") << QStringList{"render", "--storeys", "0", "@a.mlt", "@a.png"} << 2 << "--storeys takes";
    QTest::newRow("no art") << QStringList{"render", "--data", "@nothing", "@a.mlt", "@a.png"} << 1 << "art file not found";
    QTest::newRow("missing template") << QStringList{"import", "@multi.txt", "9", "@x.mlt"} << 1 << "no template 9";
    QTest::newRow("damaged list") << QStringList{"list", "@damaged.txt"} << 1 << "damaged.txt: line 4: template 1 announces 9 components";
}

void TestMlToolShare::reportsBadInput()
{
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QString, message);
    QTemporaryDir dir;
    writeFileBytes(dir.filePath("bad.csv"), "kind,id,x,y,z,hue,visible\nart,1,0,0,0,0,1\nart,1,x,0,0,0,1\n");
    writeFileBytes(dir.filePath("a.mlt"), mlt({{500, 0, 0, 0, 1, 0}}));
    writeFileBytes(dir.filePath("multi.txt"), "6 version\n1 t\n-1 i\n0 n\n");
    writeFileBytes(dir.filePath("damaged.txt"), "6 version\n1 t\n-1 i\n9 n\n1 0 0 0 1\n");
    for (QString &a : args)
        if (a.startsWith('@'))
            a = dir.filePath(a.mid(1));
    const Run r = mltool(args);
    QCOMPARE(r.status, status);
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
    for (const char *name : {"out.mlt", "out.xyz", "a.png", "x.mlt"})
        QVERIFY(!QFile::exists(dir.filePath(name)));
}

// A client with tile data but no art: its tiles are drawn as boxes, not refused.
void TestMlToolShare::rendersBoxesWithoutArt()
{
    QTemporaryDir dir;
    writeFileBytes(dir.filePath("tiledata.mul"), MulWriter::tileData({}, {{500, {0, 20, "post"}}}));
    writeFileBytes(dir.filePath("a.mlt"), mlt({{500, 0, 0, 0, 1, 0}}));
    const Run r = mltool({"render", "--data", dir.path(), dir.filePath("a.mlt"), dir.filePath("a.png")});
    QCOMPARE(r.status, 0);
    QVERIFY2(r.err.contains("drawn as boxes"), qPrintable(r.err));
    const QImage picture(dir.filePath("a.png"));
    QVERIFY(picture.height() > 44 && qAlpha(picture.pixel(picture.width() / 2, picture.height() / 2)) == 255);
}

QTEST_GUILESS_MAIN(TestMlToolShare)
#include "test_mltool_share.moc"
