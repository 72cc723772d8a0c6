// The palette made one's own in the real window: a group made by dragging
// search results onto it, its pieces marked, kept over a restart and used by
// Hollow Rectangle; Reset; a damaged user palette reported and kept.
#include "EditorWindow.h"
#include "MltBytes.h"
#include "data/UserPalette.h"
#include "panels/ListWidget.h"
#include "panels/Palette.h"
#include "panels/PaletteEditor.h"

#include <QDockWidget>
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
private slots:
    void initTestCase()
    {
        TILSEN_NEED_GL();
        QVERIFY(m_data.isValid());
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_data.path()));
        QVERIFY(writeFileBytes(QCoreApplication::applicationDirPath() + "/palette.xml", Bundled));
        QImage image(44, 60, QImage::Format_ARGB32);
        image.fill(Qt::darkRed);
        m_win.plant({{Corner, image}, {AlongX, image}, {AlongY, image}});
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
};

QTEST_MAIN(TestPaletteEdit)
#include "test_palette_edit.moc"
