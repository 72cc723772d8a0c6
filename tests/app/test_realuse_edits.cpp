// Editing as a person met it: a real main window, its mouse and keys, judged
// by the files on disk, the model, the frame's pixels and mltool's stderr.
#include "GlRequirement.h"
#include "MlToolRun.h"
#include "ScriptedDialogs.h"
#include "TestClient.h"
#include "app/GLScroll.h"
#include "app/MainWindow.h"
#include "model/Facet.h"
#include "panels/Palette.h"
#include "view/GLWidget.h"

#include <QDockWidget>
#include <QLineEdit>
#include <QListView>
#include <QTemporaryDir>
#include <QTest>

namespace {
const int Floor = 500, Wall = 601, Stone = 700;
const QString StoneKey = QStringLiteral("700:0:0:0:0:1:1");
}

class TestRealUseEdits : public QObject
{
    Q_OBJECT
public:
    static void initMain() { GLWidget::prepareApplication(); }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<MainWindow> m_main;
    GLScroll *m_doc = nullptr;

    GLWidget *view() const { return m_doc->view(); }
    QString path(const QString &name) const { return m_dir.filePath(name); }
    // The model's tiles as "id:x:y:z:hue:visible:kind", sorted.
    QStringList tiles() const
    {
        QStringList keys;
        for (const Facet::TileSet &set : m_doc->model()->locations())
            for (const TileRecord &t : set)
                keys.append(t.key());
        keys.sort();
        return keys;
    }
    QString key(int id, int x, int y) const { return QStringLiteral("%1:%2:%3:0:0:1:1").arg(id).arg(x).arg(y); }
    // Middle of the diamond of cell c at altitude 0, at the first view's centre and scale.
    QPoint at(const QPoint &c) const
    {
        return {view()->width() / 2 + (c.x() - c.y()) * 22, view()->height() / 2 + (c.x() + c.y()) * 22 + 22};
    }
    void put(int id, int x, int y, int hue = 0)
    {
        TileRecord t(quint16(id), qint16(hue), 0, view()->tileData(), Art);
        t.x = x;
        t.y = y;
        QVERIFY(m_doc->model()->addTile(x, y, t));
    }
    // Press on the first cell, move over the others with the button held, release on the last.
    void stroke(const QList<QPoint> &cells)
    {
        view()->grabFramebuffer(); // picking answers from the last frame
        QTest::mousePress(view(), Qt::LeftButton, {}, at(cells.first()));
        for (const QPoint &c : cells.mid(1)) {
            QMouseEvent move(QEvent::MouseMove, at(c), view()->mapToGlobal(at(c)), Qt::NoButton, Qt::LeftButton, {});
            QCoreApplication::sendEvent(view(), &move);
        }
        QTest::mouseRelease(view(), Qt::LeftButton, {}, at(cells.last()));
    }
    // A key where the keyboard focus is, as a person types it.
    static void type(int key) { QTest::keyClick(QApplication::focusWidget(), Qt::Key(key)); }
    void undoOnce() { QTest::keyClick(m_main.get(), Qt::Key_Z, Qt::ControlModifier); }

private slots:
    void initTestCase()
    {
        TILSEN_NEED_GL();
        QVERIFY(m_dir.isValid());
        redirectSettings(m_dir.path());
        QMap<int, QImage> art;
        for (const auto &[id, colour] : {std::pair{Floor, 0xFF806040u}, {Wall, 0xFF404040u}, {Stone, 0xFFF80000u}}) {
            art.insert(id, QImage(44, 44, QImage::Format_ARGB32));
            art[id].fill(colour);
        }
        QVERIFY(plantClient(m_dir.path(), art));
    }
    void init()
    {
        m_dialogs = std::make_unique<ScriptedDialogs>();
        m_main = std::make_unique<MainWindow>();
        m_main->show();
        m_main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_main.get()));
        m_main->slotFileNew();
        m_doc = m_main->activeDocument();
        m_doc->setFocus();
        QTRY_VERIFY(m_doc->hasFocus());
        QCOMPARE(view()->mapLocation(at({2, -1})), QPoint(2, -1)); // the helper's geometry
    }
    void cleanup()
    {
        for (GLScroll *doc : m_main->documents())
            doc->model()->save(path("discard.mlt")); // nothing asks while the window goes
        m_main.reset();
        m_dialogs.reset();
    }

    void saveAsTakesATypedSuffix_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("written");
        QTest::newRow("csv under the mlt filter") << "a.csv" << "mlt (*.mlt)" << "a.csv";
        QTest::newRow("unknown gets the filter's") << "b.foo" << "CSV (*.csv)" << "b.foo.csv";
    }
    void saveAsTakesATypedSuffix()
    {
        QFETCH(QString, typed);
        QFETCH(QString, filter);
        QFETCH(QString, written);
        put(Stone, 0, 0);
        m_dialogs->answer(path(typed), filter);
        m_main->slotSaveAs();
        QCOMPARE(QDir(m_dir.path()).entryList({QFileInfo(typed).baseName() + ".*"}), QStringList{written});
        QCOMPARE(fileBytes(path(written)).left(5), QByteArray("kind,")); // CSV, not .mlt bytes
    }

    void brushStrokeIsOneStepFromThePressedCell()
    {
        m_main->startPaint(StoneKey);
        stroke({{0, 0}, {1, 0}, {2, 0}, {3, 0}});
        QCOMPARE(tiles(), QStringList({key(Stone, 0, 0), key(Stone, 1, 0), key(Stone, 2, 0), key(Stone, 3, 0)}));
        type(Qt::Key_S); // out of paint mode, whose placing plane tints the scene
        const QRgb pressed = view()->grabFramebuffer().pixel(at({0, 0}) - QPoint(0, 2));
        QVERIFY(qRed(pressed) > 200 && qGreen(pressed) < 60);
        undoOnce();
        QVERIFY(tiles().isEmpty());
    }

    void fillReplacesTheClickedTileUnderWalls()
    {
        QStringList walls, stone;
        for (int x = 0; x < 3; ++x)
            for (int y = 0; y < 3; ++y) {
                put(Floor, x, y);
                stone.append(key(Stone, x, y));
                if (x == 2 || y == 2) {
                    put(Wall, x, y);
                    walls.append(key(Wall, x, y));
                }
            }
        const QStringList before = tiles();
        m_main->startPaint(StoneKey);
        type(Qt::Key_F);
        stroke({{0, 0}});
        QStringList after = walls + stone;
        after.sort();
        QCOMPARE(tiles(), after);
        undoOnce();
        QCOMPARE(tiles(), before);
    }

    void choosingATileHandsTheKeysBack_data()
    {
        QTest::addColumn<int>("how"); // 0: double-click a result, else the key pressed in the field
        QTest::newRow("double-click") << 0;
        QTest::newRow("enter") << int(Qt::Key_Return);
        QTest::newRow("escape") << int(Qt::Key_Escape);
    }
    void choosingATileHandsTheKeysBack()
    {
        QFETCH(int, how);
        m_main->startPaint(StoneKey);
        m_main->findChild<QDockWidget *>("Palette")->show();
        QLineEdit *search = m_main->palette()->searchEdit();
        QTest::mouseClick(search, Qt::LeftButton);
        QTRY_VERIFY(search->hasFocus());
        QTest::keyClicks(search, "700");
        QListView *results = m_main->palette()->resultsView();
        const QPoint first = results->visualRect(results->model()->index(0, 0)).center();
        if (how == 0) {
            QTest::mouseClick(results->viewport(), Qt::LeftButton, {}, first);
            QTest::mouseDClick(results->viewport(), Qt::LeftButton, {}, first);
            QTest::mouseRelease(results->viewport(), Qt::LeftButton, {}, first);
        } else
            type(how);
        QTRY_VERIFY(m_doc->hasFocus());
        type(Qt::Key_H);
        QCOMPARE(search->text(), QStringLiteral("700"));
        stroke({{0, 0}, {1, 1}, {2, 2}}); // a hollow 3 x 3 square, not a stroke of three
        QCOMPARE(tiles().size(), 8);
    }

    void componentListTellsOfLostHues()
    {
        put(Stone, 0, 0, 5);
        put(Stone, 1, 0);
        put(Stone, 2, 0, 9);
        m_dialogs->answer(path("in.csv"), "CSV (*.csv)");
        m_main->slotSaveAs();
        const QString list = path("list.txt");
        m_dialogs->answer(list, "Component list (*.txt)");
        m_dialogs->answer(int(QMessageBox::Cancel));
        m_main->slotSaveAs();
        QVERIFY(!QFile::exists(list));
        QCOMPARE(m_dialogs->count("question"), 1);
        const QString told = m_dialogs->last("question")->text;
        QVERIFY2(told.contains("2 tiles"), qPrintable(told));
        m_dialogs->answer(list, "Component list (*.txt)");
        m_dialogs->answer(int(QMessageBox::Ok));
        m_dialogs->answer(0); // template number
        m_main->slotSaveAs();
        QVERIFY(fileBytes(list).contains("700 2 0 0 1"));
        const MlToolRun run = MlToolRun::of({"export", path("in.csv"), path("other.txt"), "0"});
        QCOMPARE(run.status, 0);
        QVERIFY2(run.err.contains(told), qPrintable(run.err));
    }
};

QTEST_MAIN(TestRealUseEdits)
#include "test_realuse_edits.moc"
