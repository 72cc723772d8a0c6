// The hue picker: the hues of the loaded file with their names and colours,
// filtered by name and number, previewing the tiles to be hued; and, in a
// real main window, applying a hue to the selected tiles of the document.
#include "EditorWindow.h"
#include "data/ArtReader.h"
#include "data/HueTable.h"
#include "data/TileData.h"
#include "panels/HuePicker.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

namespace {
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

class TestHuePicker : public GlTest
{
    Q_OBJECT
private:
    EditorWindow m_win;
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
        m_win.plant(sceneArt({{Block, 0, 0, 0, {44, 44}, GreyPixel}}));
        QVERIFY(writeFileBytes(file("tiledata.mul"), MulWriter::tileData({}, {{Block, {0, 0, "grey block"}}})));
        // Three named hues; the file's one block holds five more, unnamed.
        QVERIFY(writeFileBytes(file("hues.mul"), MulWriter::hues({hue(Red, "Red"), hue(Green, "Green"),
                                                                  hue(Blue, "Deep blue")})));
    }
    void cleanup() { m_win.stop(); }

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
        TILSEN_NEED_GL();
        m_win.start();
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

QTEST_MAIN(TestHuePicker)
#include "test_hue_picker.moc"
