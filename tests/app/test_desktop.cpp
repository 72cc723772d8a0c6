// What a desktop user expects of the real main window, judged by its shown
// title, its menus, its dialogs and the files on disk.
#include "EditorWindow.h"
#include "ui/Dialogs.h"
#include "data/ComponentList.h"
#include "ui/MulSetting.h"
#include "data/CsvFile.h"
#include "data/TileData.h"
#include "model/UndoMgr.h"
#include "panels/Clip.h"
#include "view/GridColours.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QTimer>
#include <QWindow>

class TestDesktop : public GlTest
{
    Q_OBJECT
private:
    EditorWindow m_win;
    TileData m_data;
    std::unique_ptr<ScriptedDialogs> &m_dialogs = m_win.dialogs;
    std::unique_ptr<MainWindow> &m_main = m_win.main;

    QAction *action(const QString &text) const { return m_win.action(text); }
    // What the window system shows, the mark resolved.
    QString shownTitle() const { return m_main->windowHandle()->title(); }
    QString path(const QString &name) const { return m_win.files.filePath(name); }

    // A new window on the same settings, as the next start of the program.
    void start()
    {
        m_main.reset();
        m_main = std::make_unique<MainWindow>();
        m_main->show();
        m_win.reactivate();
    }

    // File > Open of `file`; `then` answers what it asks next.
    GLScroll *open(const QString &file, std::optional<ScriptedDialogs::Answer> then = {})
    {
        m_dialogs->answer(file);
        if (then)
            m_dialogs->answers.append(*then);
        action("Open")->trigger();
        return m_main->activeDocument();
    }

    QString mlt(const QString &name, int tiles = 0)
    {
        writeFileBytes(path(name), mltBytes(QList<SceneTile>(tiles, {5, 1, 1, 0, {}, 0})));
        return path(name);
    }

    // One edit, as a user action: tile id at (0, 0).
    static void addTile(GLScroll *doc, int id = 7)
    {
        UndoMgr *undo = doc->view()->undoMgr();
        undo->beginGroup();
        undo->insertTile(TileRecord(quint16(id), 0, 0, doc->view()->tileData(), Art));
        undo->commitGroup();
    }

    QMenu *menu(const QString &plain) const
    {
        for (QMenu *m : m_main->findChildren<QMenu *>())
            if (m->title().remove('&') == plain)
                return m;
        return nullptr;
    }

    // The entries of a menu as it shows them now.
    QStringList entries(const QString &plain) const
    {
        QMetaObject::invokeMethod(menu(plain), "aboutToShow");
        QStringList texts;
        for (const QAction *a : menu(plain)->actions())
            if (!a->isSeparator())
                texts << a->text();
        return texts;
    }

private slots:
    void initTestCase() { TILSEN_NEED_GL(); m_win.keepSettingsApart(); }
    void init() { m_win.start(); }
    void cleanup() { m_win.stop(); }

    void modifiedMarkShowsUntilSaved_data()
    {
        QTest::addColumn<QString>("source");
        for (const char *row : {"recovered", "csv", "tiled"})
            QTest::newRow(row) << row;
    }
    void modifiedMarkShowsUntilSaved()
    {
        QFETCH(QString, source);
        Facet tiles(m_data);
        tiles.addTile(1, 2, TileRecord(9, 0, 0, m_data, Art));
        QVERIFY(CsvFile::write(path("a.csv"), tilesInDrawOrder(tiles), nullptr));
        GLScroll *doc = nullptr;
        if (source == "recovered") {
            doc = m_main->addDocument(QString(), {});
            doc->model()->markModified(); // what crash recovery does with the work it brings back
        } else if (source == "tiled") {
            addTile(doc = open(mlt("t.mlt")));
            QVERIFY(shownTitle().contains('*'));
            entries("Window");
            actionNamed(menu("Window"), "Tile")->trigger();
        } else {
            doc = open(path("a." + source), ScriptedDialogs::Answer{true, QDialog::Accepted, {}, {}});
        }
        QVERIFY(doc);
        QTRY_VERIFY2(shownTitle().contains(doc->title() + '*'), qPrintable(shownTitle()));
        m_dialogs->answer(path("saved.mlt"), "mlt (*.mlt)");
        action("&Save")->trigger();
        QTRY_VERIFY2(!shownTitle().contains('*') && shownTitle().contains(doc->title()), qPrintable(shownTitle()));
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
        QVERIFY(m_dialogs->calls.isEmpty() && m_main->isVisible() && m_main->documents().isEmpty());
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
        GLScroll *doc = m_win.open();
        addTile(doc);
        if (!typed.isEmpty())
            m_dialogs->answer(path(typed), filter);
        m_main->slotSave(); // an untitled document asks for a name
        QCOMPARE(m_dialogs->count("save"), 1);
        if (saved.isEmpty()) {
            QVERIFY(doc->model()->isModified() && doc->fileName().isEmpty());
            QCOMPARE(m_dialogs->count("warning"), typed.isEmpty() ? 0 : 1);
            return;
        }
        QCOMPARE(doc->fileName(), path(saved));
        QVERIFY(QFile::exists(path(saved)) && !doc->model()->isModified());
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
        QVERIFY(QDir(m_win.files.path()).mkpath(sub));
        const QString target = m_win.write(sub + "/house.mlt", {});
        GLScroll *doc = m_win.open(named ? target : QString());
        QVERIFY(doc);
        if (answers.contains("unwritable"))
            QVERIFY(QDir(path(sub)).removeRecursively());
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
        // Questions asked, closed, documents left, written.
        QCOMPARE(QList<int>({m_dialogs->count("question"), watch.isNull(), int(m_main->documents().size()), QFileInfo(target).size() > 4}),
                 QList<int>({answers.isEmpty() ? 0 : 1, closes, closes ? 0 : 1, written}));
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
        m_dialogs->answer(QColor(0x12, 0x34, 0x56, 128));
        m_main->selectColor();
        m_main->selectColor(); // cancelled: changes nothing
        QCOMPARE(GridColours::gridLine, QRgb(0x80123456));
        grids.sync();
        QCOMPARE(grids.value("GridLine").toUInt(), 0x80123456u);
        GridColours::gridLine = 0;
        start(); // the next start reads it back
        QCOMPARE(GridColours::gridLine, QRgb(0x80123456));
        grids.clear();
    }

    void gotoParsesCoordinates_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QPoint>("location"); // (0, 0) and a warning when refused
        QTest::newRow("blanks, extra field ignored") << " 12, 34 ,56" << QPoint(12, 34);
        // The model's whole area, -200 to 199 on both axes: multis are centred on 0,0.
        QTest::newRow("lowest corner") << "-200,-200" << QPoint(-200, -200);
        QTest::newRow("highest corner") << "199,199" << QPoint(199, 199);
        QTest::newRow("one past the top") << "200,0" << QPoint();
        QTest::newRow("one below the bottom") << "0,-201" << QPoint();
        QTest::newRow("one number") << "12" << QPoint();
        QTest::newRow("not a number") << "a,3" << QPoint();
    }

    // The location, the view's centre and the bars all follow Goto.
    void gotoParsesCoordinates()
    {
        QFETCH(QString, text);
        QFETCH(QPoint, location);
        GLScroll *doc = m_win.open();
        QVERIFY(doc);
        m_dialogs->answer(text);
        doc->gotoPoint();
        QCOMPARE(m_dialogs->count("text"), 1);
        QCOMPARE(QList<QPoint>({doc->location(), doc->view()->centre(),
                                QPoint(doc->horizontalBar()->value(), doc->verticalBar()->value())}),
                 QList<QPoint>(3, location));
        if (location.isNull())
            QCOMPARE(m_dialogs->last("warning")->text, text + " location is invalid");
        else
            QCOMPARE(m_dialogs->count("warning"), 0);
    }

    // Each menu on an Alt key that no command uses.
    void menusHaveMnemonicsAndRedoKeys()
    {
        QList<QKeySequence> taken;
        for (const QAction *a : m_main->findChildren<QAction *>())
            taken += a->shortcuts();
        for (const QAction *a : m_main->menuBar()->actions()) {
            const qsizetype amp = a->text().indexOf('&');
            QVERIFY2(amp >= 0, qPrintable(a->text()));
            const QKeySequence key(QString("Alt+") + a->text().at(amp + 1).toUpper());
            QVERIFY2(!taken.contains(key), qPrintable(a->text()));
            taken << key;
        }
    }

    void openRecentKeepsTenExistingFiles()
    {
        for (int i = 0; i < 12; ++i)
            QVERIFY(open(mlt(QString("r%1.mlt").arg(i))));
        QFile::remove(path("r10.mlt"));
        start(); // the list outlives the window
        const QStringList shown = entries("Open Recent");
        QCOMPARE(shown.size(), 9);
        QVERIFY2(shown.first().endsWith(path("r11.mlt")) && shown.last().endsWith(path("r2.mlt")),
                 qPrintable(shown.join('\n')));
        menu("Open Recent")->actions().at(1)->trigger();
        QCOMPARE(m_main->activeDocument()->fileName(), path("r9.mlt"));
    }

    void windowsAreToldApartAndUsable()
    {
        for (int i = 0; i < 6; ++i)
            m_main->slotFileNew();
        const QStringList listed = entries("Window").mid(2);
        QCOMPARE(QSet<QString>(listed.begin(), listed.end()).size(), 6);
        QVERIFY(listed.contains("Untitled 2"));
        for (const char *arrange : {"Tile", "Cascade"}) {
            actionNamed(menu("Window"), arrange)->trigger();
            const QRect area = m_main->workspace()->viewport()->rect();
            QVERIFY(area.width() >= 480 && area.height() >= 360);
            for (const QMdiSubWindow *sub : m_main->workspace()->subWindowList())
                QVERIFY2(sub->width() >= 480 && sub->height() >= 360 && area.contains(sub->geometry()), arrange);
        }
    }

    void exitAsksOnceForAllUnsaved_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("savedBytes"); // of each edited file
        QTest::newRow("save all") << 0 << 16;
        QTest::newRow("discard all") << 1 << 4;
        QTest::newRow("cancel") << 2 << 4;
    }
    void exitAsksOnceForAllUnsaved()
    {
        QFETCH(int, button);
        QFETCH(int, savedBytes);
        addTile(open(mlt("a.mlt")));
        addTile(open(mlt("b.mlt")));
        open(mlt("c.mlt"));
        m_dialogs->answer(button);
        action("E&xit")->trigger();
        QCOMPARE(m_dialogs->count("choose") + m_dialogs->count("question"), 1);
        const ScriptedDialogs::Call *asked = m_dialogs->last("choose");
        QVERIFY(asked && asked->filter == "Save All|Discard All|Cancel");
        QVERIFY(asked->text.contains(path("a.mlt")) && asked->text.contains(path("b.mlt")) && !asked->text.contains("c.mlt"));
        QCOMPARE(m_main->isVisible(), button == 2);
        QCOMPARE(QList<qint64>({QFileInfo(path("a.mlt")).size(), QFileInfo(path("b.mlt")).size()}), QList<qint64>(2, savedBytes));
    }

    // In the active document's folder, else in the last folder used.
    void fileDialogsStartWhereTheWorkIs_data()
    {
        QTest::addColumn<QString>("command");
        for (const char *c : {"Open", "Save as", "Image…", "Capture"})
            QTest::newRow(c) << c;
    }
    void fileDialogsStartWhereTheWorkIs()
    {
        QFETCH(QString, command);
        QDir(m_win.files.path()).mkpath("work");
        QDir(m_win.files.path()).mkpath("last");
        open(mlt("work/a.mlt", 1));
        open(mlt("last/b.mlt"));
        action("Close")->trigger();
        for (const QString folder : {"work", "last"}) {
            if (folder == "last")
                addTile(m_main->addDocument(QString(), {}));
            m_main->activeDocument()->setFocus();
            if (command == "Image…")
                m_dialogs->answer(QDialog::Accepted); // its options
            action(command)->trigger();
            const QString dir = m_dialogs->calls.last().text;
            QVERIFY2(dir == path(folder) || QFileInfo(dir).absolutePath() == path(folder), qPrintable(dir));
        }
        // A file saved names its folder, not itself, as the last one used.
        m_dialogs->answer(path("work") + "/c.mlt");
        action("Save as")->trigger();
        QCOMPARE(Dialogs::lastFolder(), path("work"));
    }

    // The real input dialog is wide enough for its whole title.
    void dialogTitlesAreNotCut()
    {
        m_main->slotFileNew();
        m_dialogs.reset();
        int width = 0, needed = 1;
        QTimer::singleShot(50, this, [&] {
            if (QWidget *d = QApplication::activeModalWidget()) {
                width = d->width();
                needed = d->fontMetrics().horizontalAdvance(d->windowTitle()) + 100;
                d->close();
            }
        });
        action("Placing Altitude")->trigger();
        m_dialogs = std::make_unique<ScriptedDialogs>();
        QVERIFY2(width >= needed, qPrintable(QString("%1 < %2").arg(width).arg(needed)));
    }

    void clipPanelFollowsTheDocument()
    {
        GLScroll *first = open(mlt("a.mlt"));
        Clip *clip = m_main->clip();
        auto *enabled = clip->findChild<QCheckBox *>("checkBox");
        auto *upper = clip->findChild<QSlider *>("horizontalSlider");
        enabled->setChecked(true);
        upper->setValue(20);
        GLScroll *second = open(mlt("b.mlt"));
        QVERIFY(upper->value() == 127 && !enabled->isChecked());
        QCOMPARE(second->view()->maxAlt(), 127);
        m_win.activate(first);
        QCOMPARE(clip->findChild<QLabel *>("label")->text(), QString("20"));
        QVERIFY(enabled->isChecked() && first->view()->clipEnabled());
    }

    // A multi.xml beside the client's files names its entries; else the
    // standard client's list does; a component list only by its own.
    void entriesAreNamedByTheirOwnList_data()
    {
        QTest::addColumn<QString>("ownList");
        QTest::addColumn<QString>("entryZero");
        QTest::addColumn<QString>("templateZero");
        QTest::newRow("own list") << "MULTI.XML" << "Own boat" << "Own boat";
        QTest::newRow("application's list") << "" << "Small boat (north)" << "0 ";
    }
    void entriesAreNamedByTheirOwnList()
    {
        QFETCH(QString, ownList);
        QFETCH(QString, entryZero);
        QFETCH(QString, templateZero);
        QTemporaryDir client;
        const auto files = MulWriter::multiFiles({{0, {{7, 0, 0, 0}}}, {2, {{7, 1, 0, 0}}}}, 3);
        writeFileBytes(client.filePath("multi.idx"), files.index);
        writeFileBytes(client.filePath("multi.mul"), files.data);
        if (!ownList.isEmpty())
            writeFileBytes(client.filePath(ownList), "<m><multiset><Multi Index=\"0\">Own boat</Multi></multiset></m>");
        QSettings("Brightmoor", "MulSettings").setValue("MultiIdx", client.filePath("multi.idx"));
        QSettings("Brightmoor", "MulSettings").setValue("MultiMul", client.filePath("multi.mul"));
        start();
        addTile(open(mlt("a.mlt")));
        QStringList items;
        QString picked;
        auto read = [&](QDialog *d) {
            auto *combo = d->findChild<QComboBox *>("comboBox");
            for (int i = 0; i < combo->count(); ++i)
                items << combo->itemText(i);
            picked = combo->currentText();
        };
        m_dialogs->answerExec(QDialog::Rejected, read);
        action("Multi Entry")->trigger();
        // Export picks its target from the same names, starting on the free record.
        m_dialogs->answerExec(QDialog::Accepted, read);
        action("Multi.mul Entry")->trigger();
        QVERIFY2(items.value(0).startsWith(entryZero) && items.value(2).startsWith(entryZero), qPrintable(items.join('|')));
        QVERIFY2(picked.endsWith("(free)"), qPrintable(picked));
        QVERIFY(QFileInfo(client.filePath("multi.mul")).size() > files.data.size());
        QVERIFY(ComponentList(client.filePath("t.txt")).exportEntry(0, {TileRecord(7, 0, 0, m_data, Art)}));
        items.clear();
        open(client.filePath("t.txt"), ScriptedDialogs::Answer{true, QDialog::Rejected, {}, read});
        QVERIFY2(items.value(0).startsWith(templateZero), qPrintable(items.join('|')));
    }

    // Enter means OK; Client Folder fills every row from one folder and reports each file.
    void mulLocationsEnterAndClientFolder()
    {
        QTemporaryDir client;
        for (const char *name : {"ART.MUL", "Artidx.mul", "MultiCollection.UOP"})
            writeFileBytes(client.filePath(name), "x");
        QString report;
        QStringList fields;
        int result = -1;
        m_dialogs->answerExec(QDialog::Rejected, [&](QDialog *d) {
            d->show();
            m_dialogs->answer(client.path());
            if (auto *button = d->findChild<QPushButton *>("clientFolderButton"))
                button->click();
            if (auto *label = d->findChild<QLabel *>("folderReport"))
                report = label->text();
            for (const char *name : {"lineArtMul", "lineMultiUop", "lineRadar"})
                fields << d->findChild<QLineEdit *>(name)->text();
            d->findChild<QLineEdit *>("lineHues")->setFocus();
            QTest::keyClick(d->findChild<QLineEdit *>("lineHues"), Qt::Key_Return);
            result = d->result();
        });
        action("Mul Locations")->trigger();
        QCOMPARE(result, int(QDialog::Accepted));
        QCOMPARE(m_dialogs->count("open"), 0);
        QCOMPARE(fields, QStringList({client.filePath("ART.MUL"), client.filePath("MultiCollection.UOP"),
                                      client.filePath("radarcol.mul")}));
        for (const char *line : {"Found: ART.MUL", "Found: Artidx.mul", "Missing: hues.mul", "Missing: radarcol.mul"})
            QVERIFY2(report.contains(line), qPrintable(report));
    }
};

QTEST_MAIN(TestDesktop)
#include "test_desktop.moc"
