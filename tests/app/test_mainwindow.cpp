#include "GlRequirement.h"
#include "app/GLScroll.h"
#include "app/MainWindow.h"
#include "model/Facet.h"
#include "model/UndoMgr.h"
#include "panels/Clip.h"
#include "ScriptedDialogs.h"
#include "view/GLWidget.h"
#include "view/GridColours.h"

#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMdiSubWindow>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

class TestMainWindow : public QObject
{
    Q_OBJECT
public:
    static void initMain() { GLWidget::prepareApplication(); }

private:
    QTemporaryDir m_settingsDir;
    QTemporaryDir m_files;
    std::unique_ptr<MainWindow> m_main;
    std::unique_ptr<ScriptedDialogs> m_dialogs;

    QAction *action(const QString &text) const
    {
        for (QAction *a : m_main->findChildren<QAction *>())
            if (a->text() == text)
                return a;
        return nullptr;
    }

    // A new document, or the one opened from path.
    GLScroll *newFocusedDocument(const QString &path = QString())
    {
        if (!path.isEmpty())
            m_dialogs->answer(path);
        path.isEmpty() ? m_main->slotFileNew() : m_main->slotFileOpen();
        GLScroll *doc = m_main->activeDocument();
        if (doc && QTest::qWaitForWindowActive(m_main.get())) {
            m_main->workspace()->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(doc->parentWidget()));
            doc->setFocus();
        }
        return doc;
    }

    static void addTile(GLScroll *doc, int id)
    {
        UndoMgr *undo = doc->view()->undoMgr();
        undo->beginGroup();
        undo->insertTile(TileRecord(quint16(id), 0, 0, doc->view()->tileData(), Art));
        undo->commitGroup();
    }

    // An empty mlt file: the version 0 header alone.
    QString file(const QString &name)
    {
        QFile f(m_files.filePath(name));
        if (f.open(QIODevice::WriteOnly))
            f.write(QByteArray(4, '\0'));
        return f.fileName();
    }

private slots:
    void initTestCase()
    {
        TILSEN_NEED_GL();
        QVERIFY(m_settingsDir.isValid());
        QVERIFY(m_files.isValid());
        for (auto format : {QSettings::NativeFormat, QSettings::IniFormat})
            for (auto scope : {QSettings::UserScope, QSettings::SystemScope})
                QSettings::setPath(format, scope, m_settingsDir.path());
    }

    void init()
    {
        m_dialogs = std::make_unique<ScriptedDialogs>();
        m_main = std::make_unique<MainWindow>();
        m_main->show();
        m_main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_main.get()));
    }

    void cleanup()
    {
        // Nothing may ask anything while the window goes.
        for (GLScroll *doc : m_main->documents())
            doc->model()->save(m_files.filePath("discard.mlt"));
        m_main.reset();
        m_dialogs.reset();
    }

    // With no document open, no command may crash or ask anything.
    void noDocumentCommandsAreHarmless()
    {
        const QStringList skip = {"New", "Open", "E&xit", "A&bout", "Grid Line Color", "Mul Locations",
                                  "Storey Height"};
        for (QAction *a : m_main->findChildren<QAction *>())
            if (!a->isSeparator() && !skip.contains(a->text()))
                a->trigger();
        m_main->startPaint("5:0:0:0:0:1:1");
        m_main->setClip(true);
        m_main->setMaxClip(3);
        QVERIFY(m_dialogs->calls.isEmpty());
        QVERIFY(m_main->isVisible());
        QVERIFY(m_main->documents().isEmpty());
    }

    void commandsReachTheActiveDocumentOnly()
    {
        GLScroll *first = newFocusedDocument();
        addTile(first, 10);
        GLScroll *second = newFocusedDocument();
        addTile(second, 20);
        QTRY_VERIFY(second->hasFocus());
        QVERIFY(!first->hasFocus());
        QVERIFY(action("Undo")->isEnabled());

        // Goto (Ctrl+G) and the clip panel reach the focused, active document only.
        m_dialogs->answer("12,34");
        QTest::keyClick(m_main.get(), Qt::Key_G, Qt::ControlModifier);
        QCOMPARE(m_dialogs->count("text"), 1);
        QCOMPARE(second->view()->centre(), QPoint(12, 34));
        QCOMPARE(first->view()->centre(), QPoint(0, 0));
        m_main->clip()->glEnable(true);
        m_main->clip()->glHigher(40);
        QVERIFY(second->view()->clipEnabled());
        QVERIFY(!first->view()->clipEnabled());
        QCOMPARE(second->view()->maxAlt(), 40);

        // Undo and Redo stay in the active document.
        action("Undo")->trigger();
        QCOMPARE(QList<int>({first->model()->tileCount(), second->model()->tileCount()}),
                 QList<int>({1, 0}));
        action("Redo")->trigger();
        QCOMPARE(QList<int>({first->model()->tileCount(), second->model()->tileCount()}),
                 QList<int>({1, 1}));
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
            m_dialogs->answer(m_files.filePath(typed), filter);
        m_main->slotSave(); // an untitled document asks for a name
        QCOMPARE(m_dialogs->count("save"), 1);
        if (saved.isEmpty()) {
            QVERIFY(doc->model()->isModified());
            QVERIFY(doc->fileName().isEmpty());
            QCOMPARE(m_dialogs->count("warning"), typed.isEmpty() ? 0 : 1);
            return;
        }
        QCOMPARE(doc->fileName(), m_files.filePath(saved));
        QVERIFY(QFile::exists(m_files.filePath(saved)));
        QVERIFY(!doc->model()->isModified());
        addTile(doc, 8);
        m_main->slotSave(); // now named: written without asking
        QCOMPARE(m_dialogs->count("save"), 1);
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
        QVERIFY(QDir(m_files.path()).mkpath(sub));
        const QString target = file(sub + "/house.mlt");
        GLScroll *doc = newFocusedDocument(named ? target : QString());
        QVERIFY(doc);
        if (answers.contains("unwritable"))
            QVERIFY(QDir(m_files.filePath(sub)).removeRecursively());
        if (!answers.isEmpty())
            addTile(doc, 9);
        for (const QString &a : answers) {
            if (a == "cancel")
                m_dialogs->cancel();
            else if (a == "no" || a == "yes")
                m_dialogs->answer(int(a == "no" ? QMessageBox::No : QMessageBox::Yes));
            else if (a == "saveas")
                m_dialogs->answer(target, "All files (*.*)");
        }
        QPointer<GLScroll> watch(doc);
        m_main->myClose();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(m_dialogs->count("question"), answers.isEmpty() ? 0 : 1);
        QCOMPARE(watch.isNull(), closes);
        QCOMPARE(m_main->documents().size(), closes ? 0 : 1);
        QCOMPARE(QFileInfo(target).size() > 4, written);
        if (!closes)
            QVERIFY(watch->model()->isModified());
        if (answers.contains("unwritable"))
            QCOMPARE(m_dialogs->last("warning")->text, "Unable to save " + target + "\nNo such file or directory");
    }

    void gridColourStoredAsArgb()
    {
        QSettings grids("Brightmoor", "Grids");
        grids.clear();
        grids.sync();
        m_main = std::make_unique<MainWindow>();
        QCOMPARE(QList<QRgb>({GridColours::gridLine, GridColours::gridFill, GridColours::placeLine,
                              GridColours::placeFill}),
                 QList<QRgb>({0xFF000000, 0x00FFFFFF, 0x80808080, 0x80C0C0C0}));

        m_dialogs->answer(QColor(0x12, 0x34, 0x56, 128));
        m_main->selectColor();
        m_main->selectColor(); // cancelled: changes nothing
        QCOMPARE(GridColours::gridLine, QRgb(0x80123456));
        grids.sync();
        QCOMPARE(grids.value("GridLine").toUInt(), 0x80123456u);
        GridColours::gridLine = 0;
        m_main = std::make_unique<MainWindow>(); // the next start reads it back
        QCOMPARE(GridColours::gridLine, QRgb(0x80123456));
        grids.clear();
    }

    // A Scale entry sets the focused view's scale; focus brings a document's own entry back.
    void scaleEntriesFollowTheFocusedDocument()
    {
        GLScroll *first = newFocusedDocument();
        QTRY_VERIFY(first->hasFocus());
        const QList<QPair<QString, double>> steps = {{"1/2", 0.5}, {"3/4", 0.75}, {"1.0", 1.0}, {"3/4", 0.75}};
        for (const auto &[text, scale] : steps) {
            action(text)->trigger();
            QCOMPARE(first->view()->scale(), scale);
        }
        GLScroll *second = newFocusedDocument();
        QTRY_VERIFY(second->hasFocus());
        QCOMPARE(second->view()->scale(), 1.0);
        QVERIFY(action("1.0")->isChecked());
        m_main->workspace()->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(first->parentWidget()));
        first->setFocus();
        QTRY_VERIFY(action("3/4")->isChecked());
        QCOMPARE(second->view()->scale(), 1.0);
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"
