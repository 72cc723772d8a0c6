// The palette made one's own in the real window: a group made by dragging
// search results onto it, its pieces marked, kept over a restart and used by
// Hollow Rectangle; Reset; a damaged user palette reported and kept. And the
// hue picker: the hues of the loaded file with their names and colours,
// filtered by name and number, previewing the tiles to be hued, applying a
// hue to the selected tiles of the document.
#include "EditorWindow.h"
#include "MltBytes.h"
#include "data/ArtReader.h"
#include "data/HueTable.h"
#include "data/TileData.h"
#include "data/UserPalette.h"
#include "panels/HuePicker.h"
#include "panels/ListWidget.h"
#include "panels/Palette.h"
#include "panels/PaletteEditor.h"

#include <QDockWidget>
#include <QLabel>
#include <QListWidget>
#include <QListView>
#include <QLineEdit>
#include <QMenu>
#include <QStatusBar>
#include <QMimeData>
#include <QTreeWidget>

namespace {
const int Corner = 0x600, AlongX = 0x601, AlongY = 0x602;
const QByteArray Bundled = "<palette><tilesets><statics><tileset name=\"Walls\"><group name=\"Stone\">"
                           "<tile>1536</tile></group></tileset></statics></tilesets></palette>";
constexpr int Block = 100;     // a grey 44 x 44 square
constexpr quint16 Red = 0x7C00, Green = 0x03E0, Blue = 0x001F;
const QRgb GreyPixel = qRgb(128, 128, 128);
const QRgb GreenPixel = qRgb(0, 248, 0);
const QRgb RedPixel = qRgb(248, 0, 0);

MulWriter::Hue hue(quint16 colour, const char *name)
{
    return {QVector<quint16>(32, colour), 0, 31, name};
}

int count(const QImage &image, QRgb pixel)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += (image.pixel(x, y) | 0xFF000000u) == pixel && qAlpha(image.pixel(x, y)) > 0;
    return n;
}

QStringList shown(const QListWidget *list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        if (!list->item(i)->isHidden())
            out << list->item(i)->text();
    return out;
}
} // namespace

class TestPaletteEdit : public GlTest
{
    Q_OBJECT
    EditorWindow m_win;
    QTemporaryDir m_data;

    Palette *palette() const { return m_win.main->palette(); }
    QTreeWidget *tree() const { return palette()->treeArt(); }
    QTreeWidgetItem *item(const QString &name) const { return tree()->findItems(name, Qt::MatchRecursive).value(0); }
    // Picks the entry of a context menu as a person does.
    static void pick(QMenu *menu, const QString &text)
    {
        const std::unique_ptr<QMenu> owned(menu);
        QAction *a = actionNamed(menu, text);
        QVERIFY2(a, qPrintable(text));
        a->trigger();
    }
    void dropOn(QTreeWidgetItem *target, QMimeData *data)
    {
        const std::unique_ptr<QMimeData> owned(data);
        const QPoint p = tree()->visualItemRect(target).center();
        QDragEnterEvent enter(p, Qt::CopyAction, data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(tree()->viewport(), &enter);
        QDropEvent drop(p, Qt::CopyAction, data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(tree()->viewport(), &drop);
        QVERIFY(enter.isAccepted() && drop.isAccepted());
    }
    QString file(const QString &name) const { return m_win.files.filePath(name); }

    QList<TileRecord> tiles(const TileData &data) const
    {
        QList<TileRecord> out;
        for (int x : {0, 1}) {
            TileRecord t(Block, 0, 0, data, Art);
            t.x = x;
            out << t;
        }
        return out;
    }


private slots:
    void initTestCase()
    {
        TILSEN_NEED_GL();
        QVERIFY(m_data.isValid());
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_data.path()));
        QVERIFY(writeFileBytes(QCoreApplication::applicationDirPath() + "/palette.xml", Bundled));
        QImage image(44, 60, QImage::Format_ARGB32);
        image.fill(Qt::darkRed);
        QMap<int, QImage> art = sceneArt({{Block, 0, 0, 0, {44, 44}, GreyPixel}});
        art.insert(Corner, image);
        art.insert(AlongX, image);
        art.insert(AlongY, image);
        m_win.plant(art);
        QVERIFY(writeFileBytes(file("tiledata.mul"), MulWriter::tileData({}, {{Block, {0, 0, "grey block"}}})));
        // Three named hues; the file's one block holds five more, unnamed.
        QVERIFY(writeFileBytes(file("hues.mul"), MulWriter::hues({hue(Red, "Red"), hue(Green, "Green"),
                                                                  hue(Blue, "Deep blue")})));
    }
    void init() { m_win.start(); }
    void cleanup()
    {
        m_win.stop();
        QFile::remove(UserPalette::defaultPath());
    }

    void madeByDragKeptOverRestartAndWallsARing()
    {
        m_win.main->paletteDock()->show();
        m_win.dialogs->answer(" Brick ");
        pick(m_win.main->paletteEditor()->treeMenu(tree(), item("Walls")), "New Group…");
        QTreeWidgetItem *brick = item("Brick");
        QVERIFY(brick && brick->isSelected());
        for (int id : {Corner, AlongX, AlongY}) {
            palette()->searchEdit()->setText(QString::number(id));
            const QModelIndex found = palette()->resultsView()->model()->index(0, 0);
            QCOMPARE(found.data(ListWidget::IdRole).toInt(), id);
            dropOn(brick, palette()->resultsView()->model()->mimeData({found}));
            QCOMPARE(m_win.main->statusBar()->currentMessage(), "1 tile added to \"Brick\".");
        }
        ListWidget *list = palette()->listArt();
        QCOMPARE(list->count(), 3);
        const QStringList marks = {"Use as Corner", "Use Along X", "Use Along Y"};
        for (int row = 0; row < 3; ++row)
            pick(m_win.main->paletteEditor()->listMenu(list, list->item(row)), marks[row]);

        // A new window reads the user's palette: the group, its tiles and its marks.
        m_win.stop();
        m_win.start();
        tree()->setCurrentItem(item("Brick"));
        GLScroll *doc = m_win.open();
        QVERIFY(doc);
        QTest::keyClick(doc, Qt::Key_H);
        // A drag from cell (0, 0) to (3, 2) at scale 1 around the centre.
        GLWidget *v = doc->view();
        const QPoint from(v->width() / 2, v->height() / 2 + 22), to = from + QPoint(22, 5 * 22);
        v->grabFramebuffer();
        QTest::mousePress(v, Qt::LeftButton, {}, from);
        QMouseEvent move(QEvent::MouseMove, to, v->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, {});
        QCoreApplication::sendEvent(v, &move);
        QTest::mouseRelease(v, Qt::LeftButton, {}, to);
        const QString saved = m_win.files.filePath("ring.mlt");
        m_win.dialogs->answer(saved);
        m_win.action("Save as")->trigger();
        // Corners (1536) at the four corners, along-x pieces (1537) on the long sides.
        QCOMPARE(mltEntries(fileBytes(saved)),
                 QList<QList<int>>({{1536, 0, 0, 0, 1, 0}, {1536, 0, 2, 0, 1, 0}, {1536, 3, 0, 0, 1, 0},
                                    {1536, 3, 2, 0, 1, 0}, {1537, 1, 0, 0, 1, 0}, {1537, 1, 2, 0, 1, 0},
                                    {1537, 2, 0, 0, 1, 0}, {1537, 2, 2, 0, 1, 0}, {1538, 0, 1, 0, 1, 0},
                                    {1538, 3, 1, 0, 1, 0}}));

        m_win.dialogs->answer(int(QMessageBox::Yes));
        m_win.action("Reset Palette")->trigger();
        QVERIFY(!item("Brick") && item("Stone") && !QFile::exists(UserPalette::defaultPath()));
    }

    // Reported with its name and reason, the bundled palette shown, and the
    // file moved aside untouched before the first change is written.
    void damagedUserPaletteIsReportedAndKept()
    {
        m_win.stop();
        const QString user = UserPalette::defaultPath();
        QVERIFY(QDir().mkpath(QFileInfo(user).path()) && writeFileBytes(user, "<palette><tilesets>"));
        m_win.start();
        QVERIFY(QTest::qWaitFor([this] { return m_win.dialogs->count("warning") == 1; }));
        const QString told = m_win.dialogs->last("warning")->text;
        QVERIFY2(told.contains(user) && told.contains("Premature end of document") && item("Stone"), qPrintable(told));
        m_win.dialogs->answer("Mine");
        pick(m_win.main->paletteEditor()->treeMenu(tree(), nullptr), "New Tileset…");
        QCOMPARE(fileBytes(user + ".damaged"), QByteArray("<palette><tilesets>"));
        QCOMPARE(PaletteXml::read(user).art.size(), 2);
        QFile::remove(user + ".damaged");
    }

    void filters_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<int>("chosen");
        const QStringList all{"0  (no hue)", "1  Red", "2  Green", "3  Deep blue", "4", "5", "6", "7", "8"};
        QTest::newRow("nothing typed") << "" << all << 0;
        QTest::newRow("name part, any case") << "RE" << QStringList{"1  Red", "2  Green"} << 1;
        QTest::newRow("name word") << "blue" << QStringList{"3  Deep blue"} << 3;
        QTest::newRow("number") << "5" << QStringList{"5"} << 5;
        QTest::newRow("hex number") << "0x8" << QStringList{"8"} << 8;
        QTest::newRow("no hue") << "no hue" << QStringList{"0  (no hue)"} << 0;
        QTest::newRow("none") << "purple" << QStringList{} << -1;
    }

    // Exactly the file's hues with their names; a filter keeps the choice among those shown.
    void filters()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, expected);
        QFETCH(int, chosen);
        TileData data(file("tiledata.mul"));
        HueTable hues(file("hues.mul"));
        ArtReader art(file("artidx.mul"), file("art.mul"), QString(), QString());
        HuePicker picker(&hues, &art, data, tiles(data), 0);
        QCOMPARE(picker.hueList()->count(), 1 + hues.count());
        picker.searchEdit()->setText(typed);
        QCOMPARE(shown(picker.hueList()), expected);
        QCOMPARE(picker.hue().value_or(-1), chosen);
    }

    // The strip shows the hue's colours; the preview shows the tiles in the chosen hue.
    void stripAndPreview()
    {
        TileData data(file("tiledata.mul"));
        HueTable hues(file("hues.mul"));
        ArtReader art(file("artidx.mul"), file("art.mul"), QString(), QString());
        HuePicker picker(&hues, &art, data, tiles(data), 0);
        const QImage strip = picker.hueList()->item(2)->icon().pixmap(picker.hueList()->iconSize()).toImage();
        QCOMPARE(count(strip, GreenPixel), strip.width() * strip.height());
        const auto shown = [&] { return picker.findChild<QLabel *>("huePreview")->pixmap().toImage(); };
        QVERIFY(count(shown(), GreyPixel) > 0);
        picker.setHue(1);
        QVERIFY(count(shown(), GreyPixel) == 0 && count(shown(), RedPixel) > 44 * 44);
    }

    // Hue applied to the document's selected tiles, seen in the model and the view; undo restores.
    void appliesToTheSelection()
    {
        ScriptedDialogs &dialogs = *m_win.dialogs;
        GLScroll *doc = m_win.open();
        QVERIFY(doc);
        for (const TileRecord &t : tiles(doc->view()->tileData()))
            QVERIFY(doc->model()->addTile(t.x, t.y, t));
        doc->view()->selectAll();

        QStringList listed;
        dialogs.answerExec(QDialog::Accepted, [&](QDialog *d) {
            auto *picker = qobject_cast<HuePicker *>(d);
            QVERIFY(picker);
            picker->searchEdit()->setText("gre");
            listed = shown(picker->hueList());
        });
        doc->setHue();
        QCOMPARE(QStringList({dialogs.last("exec")->title}) + listed, QStringList({"Set hue", "2  Green"}));
        const auto huesInModel = [&] {
            QList<int> out;
            for (const Facet::TileSet &set : doc->model()->locations())
                for (const TileRecord &t : set)
                    out << t.hue;
            return out;
        };
        QCOMPARE(huesInModel(), QList<int>({2, 2}));

        // Unselected, the tiles show in the hue's colour and no longer in their own.
        doc->view()->selection().clear(Selection::ClearBoth);
        const QImage shot = doc->view()->grabFramebuffer();
        QVERIFY(count(shot, GreenPixel) >= 2 * 44 * 44 / 2 && count(shot, GreyPixel) == 0);

        // Cancelled: nothing changes; undo brings the tiles' own colours back.
        dialogs.cancel();
        doc->setHue();
        QCOMPARE(huesInModel(), QList<int>({2, 2}));
        doc->undo();
        QCOMPARE(huesInModel(), QList<int>({0, 0}));
    }
};

QTEST_MAIN(TestPaletteEdit)
#include "test_palette_edit.moc"
