// Server addon scripts through the real main window: Open with a choice of
// class and the warnings, Edit > Insert > From Script, Save As .cs with the
// deed's name asked. Files are read back from disk; dialogs are scripted.
#include "EditorWindow.h"
#include "data/AddonScript.h"
#include "data/TileData.h"

class TestScriptWindow : public GlTest
{
    Q_OBJECT
private:
    EditorWindow m_win;

private slots:
    void initTestCase() { TILSEN_NEED_GL(); m_win.keepSettingsApart(); }
    void opensInsertsAndSavesScripts();
    void cleanup() { m_win.stop(); }
};

void TestScriptWindow::opensInsertsAndSavesScripts()
{
    m_win.start();
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

QTEST_MAIN(TestScriptWindow)
#include "test_script_window.moc"
