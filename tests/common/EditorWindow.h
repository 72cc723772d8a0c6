#pragma once

// A real main window for window tests: shown and active, its settings and the
// game's files in folders of its own, every dialog answered by script.
#include "GlTest.h"
#include "ScriptedDialogs.h"
#include "TestClient.h"
#include "app/GLScroll.h"
#include "app/MainWindow.h"
#include "model/Facet.h"
#include "view/GLWidget.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

class EditorWindow
{
public:
    QTemporaryDir settingsDir, files;
    std::unique_ptr<ScriptedDialogs> dialogs;
    std::unique_ptr<MainWindow> main;

    // From initTestCase, after TILSEN_NEED_GL(): the user's settings are never touched.
    void keepSettingsApart()
    {
        QVERIFY(settingsDir.isValid() && files.isValid());
        redirectSettings(settingsDir.path());
    }

    // As keepSettingsApart(), with the art planted.
    void plant(const QMap<int, QImage> &art)
    {
        keepSettingsApart();
        QVERIFY(plantClient(files.path(), art));
    }

    // From init (or again, for a new start): a window as on a first start, shown and active.
    void start()
    {
        QSettings("Brightmoor", "MultiEditorWindow").clear();
        main.reset();
        dialogs.reset(); // the old script unsets the seam as it goes: before the new one sets it
        dialogs = std::make_unique<ScriptedDialogs>();
        main = std::make_unique<MainWindow>();
        main->show();
        reactivate();
    }

    // From cleanup: nothing may ask anything while the window goes.
    void stop()
    {
        if (main)
            for (GLScroll *doc : main->documents())
                doc->model()->save(files.filePath("discard.mlt"));
        main.reset();
        dialogs.reset();
    }

    // Keyboard shortcuts need the main window active.
    void reactivate()
    {
        main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(main.get()));
    }

    QAction *action(const QString &text) const { return actionNamed(main.get(), text); }

    // The document File > Open makes of path, or File > New with none: active and focused.
    GLScroll *open(const QString &path = QString())
    {
        if (!path.isEmpty())
            dialogs->answer(path);
        action(path.isEmpty() ? "New" : "Open")->trigger();
        GLScroll *doc = main->activeDocument();
        main->activateWindow();
        if (!doc || !QTest::qWaitForWindowActive(main.get()))
            return nullptr;
        activate(doc);
        return QTest::qWaitFor([doc] { return doc->hasFocus(); }) ? doc : nullptr;
    }

    void activate(GLScroll *doc)
    {
        main->workspace()->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(doc->parentWidget()));
        doc->setFocus();
    }

    // The tiles written as an .mlt file of that name.
    QString write(const QString &name, const QList<SceneTile> &tiles)
    {
        const QString path = files.filePath(name);
        return writeFileBytes(path, mltBytes(tiles)) ? path : QString();
    }
};
