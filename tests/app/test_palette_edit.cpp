// The palette made one's own in the real window: a group made by dragging
// search results onto it, its pieces marked, kept over a restart and used by
// Hollow Rectangle; Reset; a damaged user palette reported and kept.
#include "EditorWindow.h"
#include "data/UserPalette.h"
#include "panels/ListWidget.h"
#include "panels/Palette.h"
#include "panels/PaletteEditor.h"

#include <QDockWidget>
#include <QListView>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QTreeWidget>
#include <QtEndian>

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
    QTreeWidgetItem *item(const QString &name) const
    {
        return tree()->findItems(name, Qt::MatchExactly | Qt::MatchRecursive).value(0);
    }
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
    // A drag on the view from cell to cell (centre 0, 0, scale 1, altitude 0).
    static void dragCells(GLWidget *v, const QPoint &from, const QPoint &to)
    {
        const auto at = [v](const QPoint &c) {
            return QPoint(v->width() / 2 + (c.x() - c.y()) * 22, v->height() / 2 + (c.x() + c.y()) * 22 + 22);
        };
        v->grabFramebuffer();
        QTest::mousePress(v, Qt::LeftButton, {}, at(from));
        for (const QPoint &p : {(at(from) + at(to)) / 2, at(to)}) {
            QMouseEvent move(QEvent::MouseMove, p, v->mapToGlobal(p), Qt::NoButton, Qt::LeftButton, {});
            QCoreApplication::sendEvent(v, &move);
        }
        QTest::mouseRelease(v, Qt::LeftButton, {}, at(to));
    }

private slots:
    void initTestCase()
    {
        TILSEN_NEED_GL();
        QVERIFY(m_data.isValid());
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_data.path()));
        QVERIFY(writeFileBytes(QCoreApplication::applicationDirPath() + "/palette.xml", Bundled));
        QMap<int, QImage> art;
        for (int id : {Corner, AlongX, AlongY}) {
            art.insert(id, QImage(44, 60, QImage::Format_ARGB32));
            art[id].fill(qRgb(id & 0xFF, 90, 40));
        }
        m_win.plant(art);
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
        }
        palette()->searchEdit()->clear();
        ListWidget *list = palette()->listArt();
        QCOMPARE(list->count(), 3);
        const QStringList marks = {"Use as Corner", "Use Along X", "Use Along Y"};
        for (int row = 0; row < 3; ++row)
            pick(m_win.main->paletteEditor()->listMenu(list, list->item(row)), marks[row]);

        // A new window reads the user's palette: the group, its tiles and its marks.
        m_win.stop();
        m_win.start();
        tree()->setCurrentItem(item("Brick"));
        QCOMPARE(palette()->listArt()->count(), 3);
        GLScroll *doc = m_win.open();
        QVERIFY(doc);
        QTest::keyClick(doc, Qt::Key_H);
        dragCells(doc->view(), {0, 0}, {3, 2});
        const QString saved = m_win.files.filePath("ring.mlt");
        m_win.dialogs->answer(saved);
        m_win.action("Save as")->trigger();
        const QByteArray bytes = fileBytes(saved);
        QStringList tiles;
        for (qsizetype at = 4; at + 12 <= bytes.size(); at += 12) {
            const auto *e = reinterpret_cast<const uchar *>(bytes.constData() + at);
            tiles << QString("%1,%2,%3:%4").arg(qFromLittleEndian<qint16>(e + 2)).arg(qFromLittleEndian<qint16>(e + 4))
                         .arg(qFromLittleEndian<qint16>(e + 6)).arg(qFromLittleEndian<quint16>(e));
        }
        tiles.sort();
        QCOMPARE(tiles, QStringList({"0,0,0:1536", "0,1,0:1538", "0,2,0:1536", "1,0,0:1537", "1,2,0:1537",
                                     "2,0,0:1537", "2,2,0:1537", "3,0,0:1536", "3,1,0:1538", "3,2,0:1536"}));

        m_win.dialogs->answer(int(QMessageBox::Yes));
        m_win.action("Reset Palette")->trigger();
        QVERIFY(!item("Brick") && item("Stone"));
        QVERIFY(!QFile::exists(UserPalette::defaultPath()));
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
        QVERIFY(m_win.dialogs->last("warning")->text.contains(QDir::toNativeSeparators(user)));
        QVERIFY(m_win.dialogs->last("warning")->text.contains("Premature end of document"));
        QVERIFY(item("Stone"));
        m_win.dialogs->answer("Mine");
        pick(m_win.main->paletteEditor()->treeMenu(tree(), nullptr), "New Tileset…");
        QCOMPARE(fileBytes(user + ".damaged"), QByteArray("<palette><tilesets>"));
        QCOMPARE(PaletteXml::read(user).art.size(), 2);
        QFile::remove(user + ".damaged");
    }
};

QTEST_MAIN(TestPaletteEdit)
#include "test_palette_edit.moc"
