// Pictures, text formats, addon scripts and the world map through the real
// main window: Export > Image, Open and Save As of .csv, .txt and .cs, the
// chooser's "Insert at its own position", View > World Map (the overview's
// pixels are the radar colours; a dragged rectangle captured becomes a new,
// unsaved document), and what a start on a damaged client folder says. Files
// are read back from disk; dialogs are answered by script.
#include "EditorWindow.h"
#include "FacetWriter.h"
#include "app/WorldMapCanvas.h"
#include "app/WorldMapWindow.h"
#include "SolidImage.h"
#include "data/AddonScript.h"
#include "data/TileData.h"
#include "model/UndoMgr.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>

namespace {
// Art 1000 at three cells inside the dragged area, one outside; 1001 under it.
const QList<FacetWriter::Static> Statics = {
    {1000, 696, 697, 5, 7}, {1001, 700, 700, 0, 0}, {1000, 700, 700, 9, 0}, {1000, 704, 703, 20, 0}, {1000, 710, 710, 0, 0}};
// (id, x, y, z, visible) of every tile of a document, by location key.
QList<QList<int>> tilesOf(GLScroll *doc)
{
    QList<QList<int>> out;
    for (const quint32 key : doc->model()->sortedKeys())
        for (const TileRecord &t : doc->model()->locations().value(key))
            out.append({t.id, t.x, t.y, t.z, t.visible});
    return out;
}
} // namespace

class TestShareWindow : public GlTest
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        TILSEN_NEED_GL();
        m_win.plant({{700, m_red}, {701, m_blue}, {1000, m_red}, {1001, m_red}});
        const auto multis = MulWriter::multiFiles({{2, {{701, 3, 4, 5, 1}, {700, 0, 0, 0, 1}}}}, 3);
        QVERIFY(writeFileBytes(m_win.files.filePath("multi.idx"), multis.index));
        QVERIFY(writeFileBytes(m_win.files.filePath("multi.mul"), multis.data));
        QSettings s(QStringLiteral("Brightmoor"), QStringLiteral("MulSettings"));
        s.setValue("MultiIdx", m_win.files.filePath("multi.idx"));
        s.setValue("MultiMul", m_win.files.filePath("multi.mul"));
        QSettings locations(QStringLiteral("Brightmoor"), QStringLiteral("MulSettings"));
        locations.setValue("MapDir", m_win.files.path());
        locations.setValue("RadarCol", m_win.files.filePath(QStringLiteral("radarcol.mul")));
        QVERIFY(FacetWriter::write(m_win.files.path(), 4, 1448, 1448, [](int, int) { return FacetWriter::Cell{3, 2}; },
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
        QVERIFY(writeFileBytes(m_win.files.filePath(QStringLiteral("radarcol.mul")), radar));
    }

    void init() { m_win.start(); }
    void cleanup() { m_win.stop(); }

    void exportsImages_data()
    {
        QTest::addColumn<QString>("options");
        QTest::newRow("defaults") << "";
        QTest::newRow("half size") << "half";
        QTest::newRow("coloured background") << "colour";
        QTest::newRow("storeys, below hidden") << "storeys";
    }

    // Red art at (0, 0, 0), blue at (1, 1, 10): the blue one is the second storey.
    void exportsImages()
    {
        QFETCH(QString, options);
        QFile::remove(m_win.files.filePath("shot.png"));
        const QString csv = m_win.files.filePath("pair.csv");
        writeFileBytes(csv, "kind,id,x,y,z,hue,visible\nart,700,0,0,0,0,1\nart,701,1,1,10,0,1\nart,701,2,2,0,0,0\n");
        QVERIFY(m_win.open(csv));
        fillNext([&](QDialog *d) {
            if (options == "half")
                d->findChild<QDoubleSpinBox *>("scale")->setValue(0.5);
            if (options == "colour")
                d->findChild<QCheckBox *>("transparent")->setChecked(false);
            if (options == "storeys") {
                d->findChild<QCheckBox *>("storeys")->setChecked(true);
                d->findChild<QSpinBox *>("storeyHeight")->setValue(10);
                d->findChild<QComboBox *>("below")->setCurrentIndex(1);
            }
        });
        m_win.dialogs->answer(m_win.files.filePath("shot"), "PNG (*.png)");
        m_win.main->exportImage();
        QCOMPARE(m_win.dialogs->count("warning"), 0);
        // Red spans x -22..22, y (down) -16..44; blue (z 10) x -10..10, y 18..48.
        const QPoint red(-22, -16), blue(-10, 18);
        const QPoint origin = red; // the picture's top left
        if (options == "storeys") {
            const QImage first(m_win.files.filePath("shot-storey1.png"));
            const QImage second(m_win.files.filePath("shot-storey2.png"));
            QCOMPARE(QList<QSize>({first.size(), second.size()}), QList<QSize>(2, QSize(44, 64)));
            // Each storey shows its own tile only.
            const QPoint inRed = red - origin + QPoint(5, 50), inBlue = blue - origin + QPoint(5, 28);
            QCOMPARE(QList<QRgb>({first.pixel(inRed), first.pixel(inBlue), second.pixel(inBlue), second.pixel(inRed)}),
                     QList<QRgb>({m_red.pixel(5, 50), 0, m_blue.pixel(5, 28), 0}));
            QVERIFY(!QFile::exists(m_win.files.filePath("shot.png")));
            return;
        }
        const QImage shot(m_win.files.filePath("shot.png"));
        QCOMPARE(fileBytes(m_win.files.filePath("shot.png")).left(4), QByteArray("\x89PNG"));
        if (options == "half") {
            QCOMPARE(shot.size(), QSize(22, 32));
            return;
        }
        QCOMPARE(shot.size(), QSize(44, 64));
        // Blue is drawn after red (further forward), the invisible tile not at all.
        QCOMPARE(QList<QRgb>({shot.pixel(blue - origin + QPoint(5, 25)), shot.pixel(red - origin + QPoint(40, 10)), shot.pixel(0, 63)}),
                 QList<QRgb>({m_blue.pixel(5, 25), m_red.pixel(40, 10), options == "colour" ? qRgb(255, 255, 255) : 0u}));
    }

    void opensAndSavesTextFormats()
    {
        const QString list = m_win.files.filePath("multi.txt");
        const QByteArray kept = "6 version\n1 template id\n-1 item version\n1 num components\n"
                                "700 0 0 0 0 Lantern\n"
                                "8 template id\n-1 item version\n2 num components\n700 1 1 0 1\n701 -1 0 3 1\n";
        writeFileBytes(list, kept);
        // The chooser lists both templates; the second is taken.
        m_win.dialogs->answer(list);
        fillNext([](QDialog *d) {
            auto *combo = d->findChild<QComboBox *>("comboBox");
            if (combo && combo->count() == 2 && combo->itemText(1) == "8 (2 tiles)")
                combo->setCurrentIndex(1);
        });
        m_win.main->slotFileOpen();
        GLScroll *doc = m_win.main->activeDocument();
        QVERIFY(doc);
        QCOMPARE(tilesOf(doc), (QList<QList<int>>{{701, -1, 0, 3, 1}, {700, 1, 1, 0, 1}}));
        QVERIFY(doc->fileName().isEmpty());

        // Saved as a new template of the same list: every other line stays.
        m_win.dialogs->answer(list, "Component list (*.txt)");
        m_win.dialogs->answer(2); // template number
        QVERIFY(m_win.main->saveDocumentAs(doc));
        QCOMPARE(fileBytes(list), kept + "2 template id\n-1 item version\n2 num components\n701 -1 0 3 1\n700 1 1 0 1\n");
        // Saved as CSV under a name without suffix, and opened again.
        m_win.dialogs->answer(m_win.files.filePath("copy"), "CSV (*.csv)");
        QVERIFY(m_win.main->saveDocumentAs(doc));
        QCOMPARE(fileBytes(m_win.files.filePath("copy.csv")),
                 QByteArray("kind,id,x,y,z,hue,visible\nart,701,-1,0,3,0,1\nart,700,1,1,0,0,1\n"));
        GLScroll *again = m_win.open(m_win.files.filePath("copy.csv"));
        QVERIFY(again && again != doc);
        QCOMPARE(tilesOf(again), tilesOf(doc));

        // A damaged list is named with its line.
        writeFileBytes(m_win.files.filePath("bad.txt"), "6 version\n1 t\n-1 i\n4 n\n");
        m_win.dialogs->answer(m_win.files.filePath("bad.txt"));
        m_win.main->slotFileOpen();
        QVERIFY(m_win.dialogs->last("warning")->text.contains("bad.txt: line 4"));
    }

    void insertsAtOwnPosition()
    {
        m_win.main->slotFileNew();
        GLScroll *doc = m_win.main->activeDocument();
        QVERIFY(doc);
        fillNext([](QDialog *d) {
            if (auto *own = d->findChild<QCheckBox *>("ownPosition"))
                own->setChecked(true);
        });
        m_win.main->importMulti();
        QCOMPARE(tilesOf(doc), (QList<QList<int>>{{700, 0, 0, 0, 1}, {701, 3, 4, 5, 1}}));
        // One user action, one undo.
        doc->view()->undoMgr()->undo();
        QCOMPARE(doc->model()->tileCount(), 0);
    }

    // Addon scripts: Open with a choice of class and the warnings, Edit >
    // Insert > From Script, Save As .cs with the deed's name asked.
    void opensInsertsAndSavesScripts()
    {
        ScriptedDialogs &dialogs = *m_win.dialogs;
        MainWindow &main = *m_win.main;
        const QString scripts = QStringLiteral(TILSEN_SOURCE_DIR "/tests/data/addon-scripts/");

        // Two classes: the user picks the first; its lines that were not taken are named.
        dialogs.answer(scripts + "handwritten.cs");
        dialogs.answer(QStringLiteral("ShrineAddon (6 component(s))"));
        actionNamed(&main, "Open")->trigger();
        QCOMPARE(dialogs.last("item")->filter, QStringLiteral("ShrineAddon (6 component(s))|PlanterAddon (1 component(s))"));
        GLScroll *doc = main.activeDocument();
        QVERIFY(doc);
        QCOMPARE(doc->model()->tileCount(), 6);
        QVERIFY(doc->windowTitle().contains("handwritten.cs, ShrineAddon"));
        QVERIFY2(dialogs.last("warning")->text.contains("22, 23, 25, 26, 28, 31"), qPrintable(dialogs.last("warning")->text));

        // Insert > From Script: a one-class script's six tiles hang at the pointer; a click places them.
        dialogs.answer(scripts + "generated5.cs");
        actionNamed(&main, "From Script")->trigger();
        GLWidget *view = doc->view();
        const QPoint target = view->rect().center();
        QTest::mouseMove(view, target);
        QTest::mouseClick(view, Qt::LeftButton, {}, target);
        main.cancelAction()->trigger();
        QCOMPARE(doc->model()->tileCount(), 12);

        // Save As with the script filter: the deed's name is asked, the file compiles as written.
        const QString saved = m_win.files.filePath("shrine copy");
        dialogs.answer(saved, QStringLiteral("Addon script (*.cs)"));
        dialogs.answer(QStringLiteral("Shrine of \"Light\""));
        QVERIFY(main.saveDocumentAs(doc));
        QCOMPARE(dialogs.last("text")->value.toString(), QStringLiteral("Shrine Copy"));
        const QByteArray bytes = fileBytes(saved + ".cs");
        QVERIFY(bytes.contains("public class ShrineCopyAddon : BaseAddon")
                && bytes.contains("Name = \"Shrine of \\\"Light\\\"\";")
                && bytes.contains("handwritten.cs, ShrineAddon.\n"));
        int written = 0;
        for (const QList<TileRecord> &list : AddonScript::read(saved + ".cs", TileData()).tiles)
            written += int(list.size());
        QCOMPARE(written, doc->model()->tileCount());
        QVERIFY(doc->model()->isModified());
    }

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

    // Last, as it changes the stored file locations: a client folder with
    // files missing, damaged or stored with the wrong case.
    void missingAndDamagedFilesAreNamedOnceThenCleared()
    {
        QSettings stored("Brightmoor", "MulSettings");
        // Stored in lower case; the client's file is in upper case.
        save(broken("TILEDATA.MUL"), MulWriter::tileData({}, {}));
        save(broken("hues.mul"), QByteArray(100, '\x01')); // not whole hue blocks
        const MulWriter::IndexedFile multis = MulWriter::multiFiles({{0, {{5, 0, 0, 0, 1}, {6, 1, 0, 0, 1}}}}, 1);
        save(broken("multi.idx"), multis.index);
        save(broken("multi.mul"), multis.data);
        const QList<QPair<QString, QString>> keys{{"ArtIdx", "artidx.mul"}, {"ArtMul", "art.mul"},
                                                  {"TileDataMul", "tiledata.mul"}, {"HuesMul", "hues.mul"},
                                                  {"MultiIdx", "multi.idx"}, {"MultiMul", "multi.mul"},
                                                  {"TexIdx", "texidx.mul"}, {"TexMapsMul", "texmaps.mul"}};
        for (const auto &[key, name] : keys)
            stored.setValue(key, broken(name));
        stored.sync();
        m_win.start(); // a start on that folder
        ScriptedDialogs &dialogs = *m_win.dialogs;
        MainWindow &w = *m_win.main;
        QMessageBox *box = notice(w);
        QVERIFY(box && box->isVisible() && !box->isModal());
        const QString listed = box->informativeText();
        for (const QString &line : {"artidx.mul: " + broken("artidx.mul") + ": missing",
                                    "art.mul: " + broken("art.mul") + ": missing",
                                    "hues.mul: " + broken("hues.mul") + ": not recognised",
                                    "texidx.mul: " + broken("texidx.mul") + ": missing"})
            QVERIFY2(listed.contains(line), qPrintable(listed));
        QVERIFY2(!listed.contains("tiledata") && !listed.contains("multi"), qPrintable(listed));
        QVERIFY(w.statusBar()->currentMessage().contains("artidx.mul, art.mul, hues.mul"));
        QCOMPARE(dialogs.count("warning"), 0);

        // Fix the folder and accept Mul Locations: the old notice goes, no new one comes.
        const MulWriter::IndexedFile art = MulWriter::artFiles({}, {{1, QImage(4, 4, QImage::Format_ARGB32)}});
        save(broken("artidx.mul"), art.index);
        save(broken("art.mul"), art.data);
        save(broken("hues.mul"), MulWriter::hues(QVector<MulWriter::Hue>(9)));
        save(broken("texidx.mul"), QByteArray(12, '\0'));
        save(broken("texmaps.mul"), QByteArray(4, '\0'));
        dialogs.answer(QDialog::Accepted);
        w.setMulDir();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!notice(w));
    }

private:
    // The dialog the next exec shows, worked by fill before it is accepted.
    void fillNext(const std::function<void(QDialog *)> &fill) { m_win.dialogs->answerExec(QDialog::Accepted, fill); }

    EditorWindow m_win;
    QTemporaryDir m_broken;
    QString broken(const QString &name) const { return m_broken.filePath(name); }
    static void save(const QString &path, const QByteArray &bytes) { QVERIFY(writeFileBytes(path, bytes)); }
    static QMessageBox *notice(MainWindow &w) { return w.findChild<QMessageBox *>("dataFileNotice"); }
    const QImage m_red = solidImage(44, 60, qRgb(248, 0, 0), {1, 1});
    const QImage m_blue = solidImage(20, 30, qRgb(0, 0, 248), {1, 1});
};

QTEST_MAIN(TestShareWindow)
#include "test_share_window.moc"
