#include "EditorWindow.h"
#include "model/UndoMgr.h"
#include "panels/Clip.h"
#include "view/GridColours.h"

#include <QMessageBox>

class TestMainWindow : public GlTest
{
    Q_OBJECT
private:
    EditorWindow m_win;

    QAction *action(const QString &text) const { return m_win.action(text); }
    MainWindow *main() const { return m_win.main.get(); }
    GLScroll *newFocusedDocument(const QString &path = QString()) { return m_win.open(path); }

    static void addTile(GLScroll *doc, int id)
    {
        UndoMgr *undo = doc->view()->undoMgr();
        undo->beginGroup();
        undo->insertTile(TileRecord(quint16(id), 0, 0, doc->view()->tileData(), Art));
        undo->commitGroup();
    }

private slots:
    void initTestCase() { TILSEN_NEED_GL(); m_win.keepSettingsApart(); }
    void init() { m_win.start(); }
    void cleanup() { m_win.stop(); }

    // With no document open, no command may crash or ask anything.
    void noDocumentCommandsAreHarmless()
    {
        const QStringList skip = {"New", "Open", "E&xit", "A&bout", "Grid Line Color", "Mul Locations",
                                  "Storey Height"};
        for (QAction *a : main()->findChildren<QAction *>())
            if (!a->isSeparator() && !skip.contains(a->text()))
                a->trigger();
        main()->startPaint("5:0:0:0:0:1:1");
        main()->setClip(true);
        main()->setMaxClip(3);
        QVERIFY(m_win.dialogs->calls.isEmpty());
        QVERIFY(main()->isVisible());
        QVERIFY(main()->documents().isEmpty());
    }

    void commandsReachTheActiveDocumentOnly()
    {
        GLScroll *first = newFocusedDocument();
        addTile(first, 10);
        GLScroll *second = newFocusedDocument();
        addTile(second, 20);
        QVERIFY(!first->hasFocus());

        // Goto (Ctrl+G) and the clip panel reach the focused, active document only.
        m_win.dialogs->answer("12,34");
        QTest::keyClick(main(), Qt::Key_G, Qt::ControlModifier);
        QCOMPARE(m_win.dialogs->count("text"), 1);
        QCOMPARE(second->view()->centre(), QPoint(12, 34));
        QCOMPARE(first->view()->centre(), QPoint(0, 0));
        main()->clip()->glEnable(true);
        main()->clip()->glHigher(40);
        QVERIFY(second->view()->clipEnabled());
        QVERIFY(!first->view()->clipEnabled());
        QCOMPARE(second->view()->maxAlt(), 40);
    }

    void saveAs_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("saved"); // empty: nothing written, the changes stay
        QTest::newRow("mlt filter adds") << "house" << "mlt (*.mlt)" << "house.mlt";
        QTest::newRow("any case kept") << "house.MLT" << "mlt (*.mlt)" << "house.MLT";
        QTest::newRow("all files as typed") << "house" << "All files (*.*)" << "house";
        QTest::newRow("cancelled") << QString() << QString() << QString();
        QTest::newRow("unwritable") << "missing/dir/house.mlt" << "mlt (*.mlt)" << QString();
    }

    void saveAs()
    {
        QFETCH(QString, typed);
        QFETCH(QString, filter);
        QFETCH(QString, saved);
        GLScroll *doc = newFocusedDocument();
        addTile(doc, 7);
        if (!typed.isEmpty())
            m_win.dialogs->answer(m_win.files.filePath(typed), filter);
        main()->slotSave(); // an untitled document asks for a name
        QCOMPARE(m_win.dialogs->count("save"), 1);
        if (saved.isEmpty()) {
            QVERIFY(doc->model()->isModified());
            QVERIFY(doc->fileName().isEmpty());
            QCOMPARE(m_win.dialogs->count("warning"), typed.isEmpty() ? 0 : 1);
            return;
        }
        QCOMPARE(doc->fileName(), m_win.files.filePath(saved));
        QVERIFY(QFile::exists(m_win.files.filePath(saved)));
        QVERIFY(!doc->model()->isModified());
        addTile(doc, 8);
        main()->slotSave(); // now named: written without asking
        QCOMPARE(m_win.dialogs->count("save"), 1);
        QVERIFY(!doc->model()->isModified());
    }

    void closeQuestion_data()
    {
        QTest::addColumn<bool>("named");
        QTest::addColumn<QStringList>("answers"); // none: the document is left unmodified
        QTest::addColumn<bool>("closes");
        QTest::addColumn<bool>("written");
        QTest::newRow("unmodified asks nothing") << false << QStringList() << true << false;
        QTest::newRow("cancel keeps") << false << QStringList({"cancel"}) << false << false;
        QTest::newRow("no discards") << false << QStringList({"no"}) << true << false;
        QTest::newRow("yes saves named") << true << QStringList({"yes"}) << true << true;
        QTest::newRow("yes, cancelled save as keeps") << false << QStringList({"yes", "cancel"}) << false << false;
        QTest::newRow("yes, save as writes") << false << QStringList({"yes", "saveas"}) << true << true;
        QTest::newRow("yes, failing save keeps") << true << QStringList({"yes", "unwritable"}) << false << false;
    }

    void closeQuestion()
    {
        QFETCH(bool, named);
        QFETCH(QStringList, answers);
        QFETCH(bool, closes);
        QFETCH(bool, written);
        const QString sub = QString("d%1").arg(QTest::currentDataTag()).replace(' ', '_');
        QVERIFY(QDir(m_win.files.path()).mkpath(sub));
        const QString target = m_win.write(sub + "/house.mlt", {});
        GLScroll *doc = newFocusedDocument(named ? target : QString());
        QVERIFY(doc);
        if (answers.contains("unwritable"))
            QVERIFY(QDir(m_win.files.filePath(sub)).removeRecursively());
        if (!answers.isEmpty())
            addTile(doc, 9);
        for (const QString &a : answers) {
            if (a == "cancel")
                m_win.dialogs->cancel();
            else if (a == "no" || a == "yes")
                m_win.dialogs->answer(int(a == "no" ? QMessageBox::No : QMessageBox::Yes));
            else if (a == "saveas")
                m_win.dialogs->answer(target, "All files (*.*)");
        }
        QPointer<GLScroll> watch(doc);
        main()->myClose();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(m_win.dialogs->count("question"), answers.isEmpty() ? 0 : 1);
        QCOMPARE(watch.isNull(), closes);
        QCOMPARE(main()->documents().size(), closes ? 0 : 1);
        QCOMPARE(QFileInfo(target).size() > 4, written);
        if (!closes)
            QVERIFY(watch->model()->isModified());
        if (answers.contains("unwritable"))
            QCOMPARE(m_win.dialogs->last("warning")->text, "Unable to save " + target + "\nNo such file or directory");
    }

    void gridColourStoredAsArgb()
    {
        QSettings grids("Brightmoor", "Grids");
        grids.clear();
        grids.sync();
        m_win.dialogs->answer(QColor(0x12, 0x34, 0x56, 128));
        main()->selectColor();
        main()->selectColor(); // cancelled: changes nothing
        QCOMPARE(GridColours::gridLine, QRgb(0x80123456));
        grids.sync();
        QCOMPARE(grids.value("GridLine").toUInt(), 0x80123456u);
        GridColours::gridLine = 0;
        m_win.main = std::make_unique<MainWindow>(); // the next start reads it back
        QCOMPARE(GridColours::gridLine, QRgb(0x80123456));
        grids.clear();
    }

    // A Scale entry sets the focused view's scale; focus brings a document's own entry back.
    void scaleEntriesFollowTheFocusedDocument()
    {
        GLScroll *first = newFocusedDocument();
                const QList<QPair<QString, double>> steps = {{"1/2", 0.5}, {"3/4", 0.75}};
        for (const auto &[text, scale] : steps) {
            action(text)->trigger();
            QCOMPARE(first->view()->scale(), scale);
        }
        GLScroll *second = newFocusedDocument();
        QCOMPARE(second->view()->scale(), 1.0);
        QVERIFY(action("1.0")->isChecked());
        m_win.activate(first);
        QTRY_VERIFY(action("3/4")->isChecked());
        QCOMPARE(second->view()->scale(), 1.0);
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"
