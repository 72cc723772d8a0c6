#include "app/GLScroll.h"
#include "app/MainWindow.h"
#include "model/Facet.h"
#include "model/UndoMgr.h"
#include "panels/Clip.h"
#include "ScriptedDialogs.h"
#include "view/GLWidget.h"
#include "view/GridColours.h"

#include <QCheckBox>
#include <QDockWidget>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QSettings>
#include <QStatusBar>
#include <QSurfaceFormat>
#include <QTemporaryDir>
#include <QtTest>

namespace {
// The menu path "Edit/Adjust/Left" -> its action; entries may hold "/" themselves ("3/4").
QAction *findAction(QWidget *menuOwner, const QString &path)
{
    const QStringList parts = path.split('/');
    QList<QAction *> actions = menuOwner->actions();
    QAction *found = nullptr;
    for (int i = 0; i < parts.size();) {
        found = nullptr;
        int j = i;
        for (; j < parts.size() && !found; ++j) {
            const QString text = parts.mid(i, j - i + 1).join('/');
            for (QAction *a : actions)
                if (a->text() == text)
                    found = a;
        }
        if (!found)
            return nullptr;
        i = j;
        actions = found->menu() ? found->menu()->actions() : QList<QAction *>();
    }
    return found;
}

QStringList texts(const QList<QAction *> &actions)
{
    QStringList list;
    for (QAction *a : actions)
        list << (a->isSeparator() ? QString("-") : a->text());
    return list;
}

QByteArray mltBytes(quint32 version, const QList<QList<qint16>> &entries)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << version;
    for (const auto &e : entries)
        for (qint16 v : e)
            out << v;
    return bytes;
}
} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT
public:
    static void initMain()
    {
        GLWidget::prepareApplication();
    }

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void menusAndShortcuts();
    void noDocumentCommandsAreHarmless();
    void focusedCommandReachesOneUndoReachesAll();
    void windowMenuListsDocuments();
    void statusAndScaleFeedback();
    void saveAsExtensionRule_data();
    void saveAsExtensionRule();
    void failedSaveKeepsChanges();
    void closeQuestion_data();
    void closeQuestion();
    void mainWindowCloseAsksEveryDocument();
    void gridColourStoredAsArgb();
    void openAndInsertReportBadFiles();
    void documentDialogs();

private:
    bool showActive();
    GLScroll *newFocusedDocument();
    void addTile(GLScroll *doc, int id);
    QString file(const QString &name, const QByteArray &bytes);

    QTemporaryDir m_settingsDir;
    QTemporaryDir m_files;
    std::unique_ptr<MainWindow> m_main;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
};

void TestMainWindow::initTestCase()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        QSKIP("needs an X display for OpenGL (run under xvfb-run)");
    QVERIFY(m_settingsDir.isValid() && m_files.isValid());
    for (auto format : {QSettings::NativeFormat, QSettings::IniFormat})
        for (auto scope : {QSettings::UserScope, QSettings::SystemScope})
            QSettings::setPath(format, scope, m_settingsDir.path());
}

void TestMainWindow::init()
{
    m_dialogs = std::make_unique<ScriptedDialogs>();
    m_main = std::make_unique<MainWindow>();
}

void TestMainWindow::cleanup()
{
    // Nothing may ask anything while the window goes.
    for (GLScroll *doc : m_main->documents())
        doc->model()->save(m_files.filePath("discard.mlt"));
    m_main.reset();
    m_dialogs.reset();
}

bool TestMainWindow::showActive()
{
    m_main->show();
    m_main->activateWindow();
    return QTest::qWaitForWindowActive(m_main.get());
}

GLScroll *TestMainWindow::newFocusedDocument()
{
    m_main->slotFileNew();
    GLScroll *doc = m_main->activeDocument();
    if (doc && QTest::qWaitForWindowActive(m_main.get())) {
        m_main->workspace()->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(doc->parentWidget()));
        doc->setFocus();
    }
    return doc;
}

void TestMainWindow::addTile(GLScroll *doc, int id)
{
    UndoMgr *undo = doc->view()->undoMgr();
    undo->beginGroup();
    undo->insertTile(TileRecord(quint16(id), 0, 0, doc->view()->tileData(), Art));
    undo->commitGroup();
}

QString TestMainWindow::file(const QString &name, const QByteArray &bytes)
{
    const QString path = m_files.filePath(name);
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
    return path;
}

void TestMainWindow::menusAndShortcuts()
{
    QCOMPARE(m_main->windowTitle(), QString("Tilsen Multi Editor"));
    QCOMPARE(texts(m_main->menuBar()->actions()),
             QStringList({"&File", "Edit", "View", "Options", "Window", "About"}));
    QCOMPARE(texts(findAction(m_main->menuBar(), "&File")->menu()->actions()),
             QStringList({"New", "Open", "Close", "-", "&Save", "Save as", "-", "Export", "-",
                          "Capture", "-", "E&xit"}));
    QCOMPARE(texts(findAction(m_main->menuBar(), "Edit/Adjust")->menu()->actions()),
             QStringList({"Left", "Right", "Up", "Down", "DiagLeftUp", "DiagRightUp",
                          "DiagLeftDown", "DiagRightDown", "Altitude Up", "Altitude Down"}));
    QCOMPARE(texts(findAction(m_main->menuBar(), "View")->menu()->actions()),
             QStringList({"Invisible", "-", "Grid", "-", "Clipper", "Palette"}));

    const QList<QPair<QString, QString>> shortcuts = {
        {"&File/Capture", "Alt+C"}, {"&File/E&xit", "Alt+F4"}, {"Edit/Redo", "Ctrl+Y"},
        {"Edit/Delete", "Del"}, {"Edit/Insert/Item", "Ins"}, {"Edit/Adjust/DiagRightUp", "PgUp"},
        {"Edit/Adjust/DiagLeftDown", "End"}, {"Edit/Adjust/Altitude Up", "+"},
        {"Edit/Adjust/Altitude Down", "-"}, {"Edit/Visible", "Alt+V"}, {"Options/Goto", "Ctrl+G"},
        {"Options/Placing Altitude", "G"}};
    for (const auto &s : shortcuts) {
        QAction *a = findAction(m_main->menuBar(), s.first);
        QVERIFY2(a, qPrintable(s.first));
        QCOMPARE(a->shortcut().toString(), s.second);
    }
    for (const char *path : {"&File/New", "&File/Open", "&File/&Save", "&File/Capture", "Edit/Undo",
                             "Edit/Redo", "Edit/Cut", "Edit/Copy", "Edit/Paste"})
        QVERIFY2(!findAction(m_main->menuBar(), path)->icon().isNull(), path);

    QVERIFY(!findAction(m_main->menuBar(), "Edit/Undo")->isEnabled());
    QVERIFY(!findAction(m_main->menuBar(), "Edit/Redo")->isEnabled());
    QVERIFY(findAction(m_main->menuBar(), "View/Invisible")->isChecked());
    QVERIFY(!findAction(m_main->menuBar(), "View/Grid")->isChecked());
    QVERIFY(findAction(m_main->menuBar(), "Options/Scale/1.0")->isChecked());
    QCOMPARE(m_main->cancelAction()->shortcut(), QKeySequence(Qt::Key_Escape));
    QVERIFY(m_main->actions().contains(m_main->cancelAction()));
    QCOMPARE(m_main->placingLabel()->text(), QString("Placing Alt: 0"));

    // The docks start hidden and their View entries follow them.
    QVERIFY(showActive());
    QVERIFY(!m_main->clipDock()->isVisible() && !m_main->paletteDock()->isVisible());
    findAction(m_main->menuBar(), "View/Clipper")->trigger();
    QVERIFY(m_main->clipDock()->isVisible());
    m_main->clipDock()->close();
    QVERIFY(!findAction(m_main->menuBar(), "View/Clipper")->isChecked());
}

void TestMainWindow::noDocumentCommandsAreHarmless()
{
    QVERIFY(showActive());
    const QStringList skip = {"New", "Open", "E&xit", "About", "Grid Line Color", "Mul Locations"};
    std::function<void(QMenu *)> triggerAll = [&](QMenu *menu) {
        for (QAction *a : menu->actions()) {
            if (a->menu())
                triggerAll(a->menu());
            else if (!a->isSeparator() && !skip.contains(a->text()))
                a->trigger();
        }
    };
    for (QAction *top : m_main->menuBar()->actions())
        if (top->menu())
            triggerAll(top->menu());
    m_main->cancelAction()->trigger();
    m_main->startPaint("5:0:0:0:0:1:1");
    m_main->setClip(true);
    m_main->setMaxClip(3);
    QVERIFY(m_dialogs->calls.isEmpty());
    QVERIFY(m_main->isVisible());
    QVERIFY(m_main->documents().isEmpty());

    emit m_main->windowMenu()->aboutToShow();
    QCOMPARE(texts(m_main->windowMenu()->actions()), QStringList({"Cascade", "Tile", "-"}));
}

void TestMainWindow::focusedCommandReachesOneUndoReachesAll()
{
    QVERIFY(showActive());
    GLScroll *first = newFocusedDocument();
    addTile(first, 10);
    GLScroll *second = newFocusedDocument();
    addTile(second, 20);
    QTRY_VERIFY2(second->hasFocus(), QApplication::focusWidget() ? QApplication::focusWidget()->metaObject()->className() : "none");
    QVERIFY(!first->hasFocus());
    QVERIFY(findAction(m_main->menuBar(), "Edit/Undo")->isEnabled());

    // Goto (Ctrl+G) reaches the focused document only.
    m_dialogs->answer("12,34");
    QTest::keyClick(m_main.get(), Qt::Key_G, Qt::ControlModifier);
    QCOMPARE(m_dialogs->count("text"), 1);
    QCOMPARE(second->view()->centre(), QPoint(12, 34));
    QCOMPARE(first->view()->centre(), QPoint(0, 0));

    findAction(m_main->menuBar(), "Edit/Undo")->trigger();
    QCOMPARE(first->model()->tileCount(), 0);
    QCOMPARE(second->model()->tileCount(), 0);
    findAction(m_main->menuBar(), "Edit/Redo")->trigger();
    QCOMPARE(first->model()->tileCount(), 1);
    QCOMPARE(second->model()->tileCount(), 1);
}

void TestMainWindow::windowMenuListsDocuments()
{
    QVERIFY(showActive());
    GLScroll *first = newFocusedDocument();
    const QString named = file("named.mlt", mltBytes(0, {}));
    m_dialogs->answer(named);
    m_main->slotFileOpen();
    GLScroll *second = m_main->activeDocument();
    QVERIFY(second != first);
    QCOMPARE(second->windowTitle(), named);

    emit m_main->windowMenu()->aboutToShow();
    const QList<QAction *> entries = m_main->windowMenu()->actions();
    QCOMPARE(texts(entries), QStringList({"Cascade", "Tile", "-", "Untitled", named}));
    QVERIFY(!entries[3]->isChecked() && entries[4]->isChecked());
    entries[3]->trigger();
    QCOMPARE(m_main->activeDocument(), first);
    emit m_main->windowMenu()->aboutToShow();
    QVERIFY(m_main->windowMenu()->actions()[3]->isChecked());
}

void TestMainWindow::statusAndScaleFeedback()
{
    m_main->mapLocation(12, -3);
    QCOMPARE(m_main->statusBar()->currentMessage(), QString("Location: 12,-3"));
    m_main->setScale(2);
    QVERIFY(findAction(m_main->menuBar(), "Options/Scale/3/4")->isChecked());
    m_main->setScale(3);
    QVERIFY(findAction(m_main->menuBar(), "Options/Scale/3/4")->isChecked());
    m_main->setScale(4);
    QVERIFY(findAction(m_main->menuBar(), "Options/Scale/1/2")->isChecked());
    QVERIFY(!findAction(m_main->menuBar(), "Options/Scale/3/4")->isChecked());
}

void TestMainWindow::saveAsExtensionRule_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("saved");
    QTest::newRow("mlt filter adds") << "house" << "mlt (*.mlt)" << "house.mlt";
    QTest::newRow("any case kept") << "house.MLT" << "mlt (*.mlt)" << "house.MLT";
    QTest::newRow("all files as typed") << "house" << "All files (*.*)" << "house";
}

void TestMainWindow::saveAsExtensionRule()
{
    QFETCH(QString, typed);
    QFETCH(QString, filter);
    QFETCH(QString, saved);
    QVERIFY(showActive());
    GLScroll *doc = newFocusedDocument();
    addTile(doc, 7);
    m_dialogs->answer(m_files.filePath(typed), filter);
    m_main->slotSave();
    const auto *ask = m_dialogs->last("save");
    QCOMPARE(ask->title, QString("Save file as"));
    QCOMPARE(ask->filter, QString("mlt (*.mlt);;All files (*.*)"));
    QCOMPARE(doc->fileName(), m_files.filePath(saved));
    QCOMPARE(doc->windowTitle(), m_files.filePath(saved));
    QVERIFY(QFile::exists(m_files.filePath(saved)));
    QVERIFY(!doc->model()->isModified());

    // Save again writes to the same name without asking.
    addTile(doc, 8);
    m_main->slotSave();
    QCOMPARE(m_dialogs->count("save"), 1);
    QVERIFY(!doc->model()->isModified());
}

void TestMainWindow::failedSaveKeepsChanges()
{
    QVERIFY(showActive());
    GLScroll *doc = newFocusedDocument();
    addTile(doc, 7);
    m_main->slotSave(); // cancelled Save As
    QCOMPARE(m_dialogs->count("save"), 1);
    QCOMPARE(doc->windowTitle(), QString("Untitled"));

    const QString bad = m_files.filePath("missing/dir/house.mlt");
    m_dialogs->answer(bad, "mlt (*.mlt)");
    m_main->slotSaveAs();
    QCOMPARE(m_dialogs->last("warning")->title, QString("Save Error"));
    QCOMPARE(m_dialogs->last("warning")->text, "Unable to save " + bad);
    QVERIFY(doc->model()->isModified());
    QCOMPARE(doc->windowTitle(), QString("Untitled"));
    QVERIFY(doc->fileName().isEmpty());
}

// Answers: a list of ScriptedDialogs answers; "cancel" queues a cancel.
void TestMainWindow::closeQuestion_data()
{
    QTest::addColumn<bool>("modified");
    QTest::addColumn<bool>("named");
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<bool>("written");
    QTest::addColumn<int>("questions");
    QTest::newRow("unmodified asks nothing") << false << false << QStringList() << true << false << 0;
    QTest::newRow("cancel keeps") << true << false << QStringList({"cancel"}) << false << false << 1;
    QTest::newRow("no discards") << true << false << QStringList({"no"}) << true << false << 1;
    QTest::newRow("yes saves named") << true << true << QStringList({"yes"}) << true << true << 1;
    QTest::newRow("yes then cancelled save as keeps")
        << true << false << QStringList({"yes", "cancel"}) << false << false << 1;
    QTest::newRow("yes then save as writes")
        << true << false << QStringList({"yes", "saveas"}) << true << true << 1;
    QTest::newRow("yes with failing save keeps")
        << true << true << QStringList({"yes", "unwritable"}) << false << false << 1;
}

void TestMainWindow::closeQuestion()
{
    QFETCH(bool, modified);
    QFETCH(bool, named);
    QFETCH(QStringList, answers);
    QFETCH(bool, closes);
    QFETCH(bool, written);
    QFETCH(int, questions);
    QVERIFY(showActive());
    QDir dir(m_files.path());
    const QString sub = QString("d%1").arg(QTest::currentDataTag()).replace(' ', '_');
    QVERIFY(dir.mkpath(sub));
    const QString target = dir.filePath(sub + "/house.mlt");
    GLScroll *doc = nullptr;
    if (named) {
        file(sub + "/house.mlt", mltBytes(0, {}));
        m_dialogs->answer(target);
        m_main->slotFileOpen();
        doc = m_main->activeDocument();
        doc->setFocus();
        if (answers.contains("unwritable"))
            QVERIFY(QDir(dir.filePath(sub)).removeRecursively());
    } else {
        doc = newFocusedDocument();
    }
    QVERIFY(doc);
    if (modified)
        addTile(doc, 9);
    for (const QString &a : answers) {
        if (a == "cancel")
            m_dialogs->cancel();
        else if (a == "no")
            m_dialogs->answer(int(QMessageBox::No));
        else if (a == "yes")
            m_dialogs->answer(int(QMessageBox::Yes));
        else if (a == "saveas")
            m_dialogs->answer(target, "All files (*.*)");
    }
    const QString title = doc->windowTitle();
    QPointer<GLScroll> watch(doc);
    m_main->myClose();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(m_dialogs->count("question"), questions);
    if (questions) {
        QCOMPARE(m_dialogs->last("question")->title, QString("Save changes"));
        QCOMPARE(m_dialogs->last("question")->text, "Edits made to " + title + ", save changes?");
    }
    QCOMPARE(watch.isNull(), closes);
    QCOMPARE(m_main->documents().size(), closes ? 0 : 1);
    QCOMPARE(QFileInfo(target).size() > 4, written);
    if (!closes)
        QVERIFY(watch->model()->isModified());
    if (answers.contains("unwritable"))
        QCOMPARE(m_dialogs->last("warning")->text, "Unable to save " + target);
}

void TestMainWindow::mainWindowCloseAsksEveryDocument()
{
    QVERIFY(showActive());
    GLScroll *first = newFocusedDocument();
    addTile(first, 1);
    GLScroll *second = newFocusedDocument();
    addTile(second, 2);

    m_dialogs->cancel();
    QVERIFY(!m_main->close());
    QCOMPARE(m_dialogs->count("question"), 1);
    QVERIFY(m_main->isVisible());
    QCOMPARE(m_main->documents().size(), 2);

    m_dialogs->answer(int(QMessageBox::No));
    m_dialogs->answer(int(QMessageBox::No));
    QVERIFY(m_main->close());
    QCOMPARE(m_dialogs->count("question"), 3);
    QVERIFY(!m_main->isVisible());
}

void TestMainWindow::gridColourStoredAsArgb()
{
    QSettings grids("Brightmoor", "Grids");
    grids.clear();
    grids.sync();
    m_main = std::make_unique<MainWindow>();
    QCOMPARE(GridColours::gridLine, QRgb(0xFF000000));
    QCOMPARE(GridColours::gridFill, QRgb(0x00FFFFFF));
    QCOMPARE(GridColours::placeLine, QRgb(0x80808080));
    QCOMPARE(GridColours::placeFill, QRgb(0x80C0C0C0));

    m_dialogs->answer(QColor(0x12, 0x34, 0x56, 128));
    m_main->selectColor();
    QCOMPARE(m_dialogs->last("color")->value.value<QColor>().rgba(), QRgb(0xFF000000));
    QCOMPARE(GridColours::gridLine, QRgb(0x80123456));
    grids.sync();
    QCOMPARE(grids.value("GridLine").toUInt(), 0x80123456u);

    // A cancelled choice changes nothing; the next start reads the stored value.
    m_main->selectColor();
    QCOMPARE(GridColours::gridLine, QRgb(0x80123456));
    grids.setValue("PlaceFill", 0x11223344u);
    grids.sync();
    GridColours::gridLine = 0;
    m_main = std::make_unique<MainWindow>();
    QCOMPARE(GridColours::gridLine, QRgb(0x80123456));
    QCOMPARE(GridColours::placeFill, QRgb(0x11223344));
    grids.clear();
}

void TestMainWindow::openAndInsertReportBadFiles()
{
    QVERIFY(showActive());
    const QString missing = m_files.filePath("nothing.mlt");
    m_dialogs->answer(missing);
    m_main->slotFileOpen();
    QCOMPARE(m_dialogs->last("open")->title, QString("Open File"));
    QCOMPARE(m_dialogs->last("open")->filter, QString("mlt (*.mlt);;All files (*.*)"));
    QCOMPARE(m_dialogs->last("warning")->title, QString("Open File Error"));
    QCOMPARE(m_dialogs->last("warning")->text, "Unable to open " + missing);

    const QString v1 = file("v1.mlt", mltBytes(1, {}));
    m_dialogs->answer(v1);
    m_main->slotFileOpen();
    QCOMPARE(m_dialogs->last("warning")->title, QString("Invalid Format"));
    QCOMPARE(m_dialogs->last("warning")->text,
             QString("This file is mlt version 1.  Only version 0 is supported."));
    QVERIFY(m_main->documents().isEmpty());

    const QString good = file("good.mlt", mltBytes(0, {{3, 5, -7, 2, 1, 0}, {4, 0, 0, 0, 0, 0}}));
    m_dialogs->answer(good);
    m_main->slotFileOpen();
    GLScroll *doc = m_main->activeDocument();
    QVERIFY(doc);
    QCOMPARE(doc->model()->tileCount(), 2);
    QVERIFY(!doc->model()->isModified());
    doc->setFocus();

    m_dialogs->answer(v1);
    m_main->importMLT();
    QCOMPARE(m_dialogs->last("open")->title, QString("Insert MLT file"));
    QCOMPARE(m_dialogs->last("open")->filter, QString("MLT (*.mlt);;All files (*.*)"));
    QCOMPARE(m_dialogs->last("warning")->title, QString("Invalid MLT version"));
    QCOMPARE(m_dialogs->last("warning")->text, QString("Version 1 not supported"));
    const int warnings = m_dialogs->count("warning");
    m_dialogs->answer(missing);
    m_main->importMLT();
    QCOMPARE(m_dialogs->count("warning"), warnings);
}

void TestMainWindow::documentDialogs()
{
    QVERIFY(showActive());
    GLScroll *doc = newFocusedDocument();
    QTRY_VERIFY(doc->hasFocus());
    m_dialogs->answer(-128);
    QTest::keyClick(m_main.get(), Qt::Key_G);
    const auto *placing = m_dialogs->last("int");
    QVERIFY(placing);
    QCOMPARE(QPoint(placing->min, placing->max), QPoint(-128, 127));
    QCOMPARE(doc->view()->placingAltitude(), -128);

    // The clip panel reaches the active document's view.
    m_main->clip()->glEnable(true);
    QVERIFY(doc->view()->clipEnabled());
    m_main->clip()->glHigher(40);
    QCOMPARE(doc->view()->maxAlt(), 40);
}

QTEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"
