// Picture files and contact sheets without a window.
#include "FileSizeLimit.h"
#include "data/TileData.h"
#include "model/Facet.h"
#include "scene/ContactSheet.h"
#include "scene/MultiPictures.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestPictures : public QObject
{
    Q_OBJECT
private slots:
    void numbersAreDrawnDigitByDigit()
    {
        QImage image(15, 5, QImage::Format_ARGB32);
        image.fill(0);
        ContactSheet::drawNumber(image, -17, QPoint(0, 0), 1, 0xFF000000u);
        // Minus, one, seven: three columns each and one apart.
        const char *expected[] = {".....#..###....",
                                  "....##....#....",
                                  "###..#....#....",
                                  ".....#....#....",
                                  "....###...#...."};
        for (int y = 0; y < 5; ++y) {
            QString row;
            for (int x = 0; x < 15; ++x)
                row += qAlpha(image.pixel(x, y)) ? '#' : '.';
            QCOMPARE(row, QString(expected[y]));
        }
    }

    void storeyNames_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("named");
        QTest::newRow("png") << "/tmp/house.png" << "/tmp/house-storey2.png";
        QTest::newRow("two dots") << "a.b/tower.v1.jpg" << "a.b/tower.v1-storey2.jpg";
        QTest::newRow("no suffix") << "shot" << "shot-storey2";
    }

    void storeyNames()
    {
        QFETCH(QString, path);
        QTEST(MultiPictures::storeyPath(path, 2), "named");
    }

    void savesByNameAndReportsFailures()
    {
        QTemporaryDir dir;
        QImage image(300, 300, QImage::Format_ARGB32);
        for (int y = 0; y < 300; ++y)
            for (int x = 0; x < 300; ++x)
                image.setPixel(x, y, qRgba(x % 256, y % 256, (x * y) % 256, 255));
        QString error;
        // An unknown suffix is written as PNG; a known one in its own format.
        QVERIFY(MultiPictures::save(image, dir.filePath("a.weird"), &error));
        QFile a(dir.filePath("a.weird"));
        QVERIFY(a.open(QIODevice::ReadOnly));
        QCOMPARE(a.read(4), QByteArray("\x89PNG"));
        QVERIFY(MultiPictures::save(image, dir.filePath("b.bmp"), &error));
        QCOMPARE(QImage(dir.filePath("b.bmp")).convertToFormat(QImage::Format_ARGB32), image);

        // The file size limit makes the write fail for real; the old file stays.
        {
            const FileSizeLimit limit(4096);
            QVERIFY(!MultiPictures::save(image, dir.filePath("b.bmp"), &error));
        }
        QVERIFY2(error.contains("b.bmp: cannot be written ("), qPrintable(error));
        QCOMPARE(QImage(dir.filePath("b.bmp")).convertToFormat(QImage::Format_ARGB32), image);
    }

    void emptyMultiGivesEmptyPictures()
    {
        TileData data;
        Facet model(data);
        TileRecord noArt(5, 0, 0, data, Art);
        model.addTile(0, 0, noArt);
        SceneRenderer renderer(nullptr, nullptr);
        QVERIFY(renderer.bounds(model, {}).isEmpty());
        QVERIFY(renderer.thumbnail(model, QSize(100, 100)).isNull());
        const QImage image = renderer.render(model, {});
        QCOMPARE(image.size(), QSize(1, 1));
        QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
        MultiPictures::Settings storeys;
        storeys.storeyHeight = 5;
        QCOMPARE(MultiPictures::make(renderer, model, storeys).size(), 1);
        const QImage sheet = ContactSheet::make({});
        QVERIFY(!sheet.isNull());
    }
};

QTEST_GUILESS_MAIN(TestPictures)
#include "test_pictures.moc"
