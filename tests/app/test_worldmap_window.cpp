// View > World Map in the real main window: the overview's pixels are the radar
// colours, and a dragged rectangle captured becomes a new, unsaved document.
#include "FacetWriter.h"
#include "EditorWindow.h"
#include "app/WorldMapCanvas.h"
#include "app/WorldMapWindow.h"

#include <QPushButton>
#include <QSpinBox>

namespace {
// Art 1000 at three cells inside the dragged area, one outside; 1001 under it.
const QList<FacetWriter::Static> Statics = {
    {1000, 696, 697, 5, 7}, {1001, 700, 700, 0, 0}, {1000, 700, 700, 9, 0}, {1000, 704, 703, 20, 0}, {1000, 710, 710, 0, 0}};
} // namespace

class TestWorldMapWindow : public GlTest
{
    Q_OBJECT
    EditorWindow m_win;
    QTemporaryDir &m_dir = m_win.files;

private slots:
    void initTestCase()
    {
        TILSEN_NEED_GL();
        QImage red(44, 44, QImage::Format_ARGB32);
        red.fill(qRgb(255, 0, 0));
        m_win.plant({{1000, red}, {1001, red}});
        QSettings locations(QStringLiteral("Brightmoor"), QStringLiteral("MulSettings"));
        locations.setValue("MapDir", m_dir.path());
        locations.setValue("RadarCol", m_dir.filePath(QStringLiteral("radarcol.mul")));
        QVERIFY(FacetWriter::write(m_dir.path(), 4, 1448, 1448, [](int, int) { return FacetWriter::Cell{3, 2}; },
                                   [](int bx, int by) {
                                       QVector<FacetWriter::Static> in;
                                       for (const FacetWriter::Static &s : Statics)
                                           if (s.x / 8 == bx && s.y / 8 == by)
                                               in << s;
                                       return in;
                                   }));
        // Terrain 3 green, art 1000 red, art 1001 blue: 5-5-5 colours.
        QByteArray radar(2 * 0x8000, '\0');
        qToLittleEndian<quint16>(0x03E0, radar.data() + 2 * 3);
        qToLittleEndian<quint16>(0x7C00, radar.data() + 2 * (0x4000 + 1000));
        qToLittleEndian<quint16>(0x001F, radar.data() + 2 * (0x4000 + 1001));
        QVERIFY(writeFileBytes(m_dir.filePath(QStringLiteral("radarcol.mul")), radar));
    }

    void cleanup() { m_win.stop(); }

    void capturesTheDraggedArea()
    {
        m_win.start();
        MainWindow &main = *m_win.main;
        actionNamed(&main, QStringLiteral("World Map"))->trigger();
        WorldMapWindow *map = main.worldMap();
        QVERIFY(map && map->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!map->isBuilding() && !map->canvas()->image().isNull(), 60000);
        const QImage &image = map->canvas()->image();
        QCOMPARE(image.size(), QSize(1448, 1448));
        QCOMPARE(image.pixel(0, 0), qRgb(0, 255, 0));
        QCOMPARE(image.pixel(696, 697), qRgb(255, 0, 0));
        QCOMPARE(image.pixel(700, 700), qRgb(255, 0, 0)); // the higher of two
        QCOMPARE(image.pixel(697, 697), qRgb(0, 255, 0));

        map->findChild<QSpinBox *>(QStringLiteral("gotoX"))->setValue(700);
        map->findChild<QSpinBox *>(QStringLiteral("gotoY"))->setValue(700);
        QTest::mouseClick(map->findChild<QPushButton *>(QStringLiteral("goTo")), Qt::LeftButton);
        auto *capture = map->findChild<QPushButton *>(QStringLiteral("capture"));
        WorldMapCanvas *canvas = map->canvas();
        // Dragged up and to the left: the corners come in either order.
        const QPoint from = canvas->transform().pixelOf(QPointF(705.5, 704.5)).toPoint();
        const QPoint to = canvas->transform().pixelOf(QPointF(695.5, 695.5)).toPoint();
        QTest::mousePress(canvas, Qt::LeftButton, {}, from);
        QTest::mouseMove(canvas, to);
        QVERIFY2(map->statusText().startsWith(QLatin1String("695, 695: terrain altitude 2")), qPrintable(map->statusText()));
        QTest::mouseRelease(canvas, Qt::LeftButton, {}, to);
        QCOMPARE(canvas->area(), QRect(QPoint(695, 695), QPoint(705, 704)));
        QVERIFY(capture->isEnabled());
        QTest::mouseClick(capture, Qt::LeftButton);

        GLScroll *doc = main.activeDocument();
        QVERIFY(doc);
        QVERIFY(doc->windowTitle().startsWith(QLatin1String("Facet 4, 695,695 - 705,704")));
        QVERIFY(doc->isWindowModified());
        // Centre 700,699 (the middle, rounded down), base 2 (the terrain there).
        QStringList got, want{"1000 -4 -2 3 7", "1000 0 1 7 0", "1000 4 4 18 0", "1001 0 1 -2 0"};
        for (const quint32 key : doc->model()->sortedKeys())
            for (const TileRecord &t : doc->model()->locations().value(key))
                got << QStringLiteral("%1 %2 %3 %4 %5").arg(t.id).arg(t.x).arg(t.y).arg(t.z).arg(t.hue);
        got.sort();
        QCOMPARE(got, want);
    }
};

QTEST_MAIN(TestWorldMapWindow)
#include "test_worldmap_window.moc"
