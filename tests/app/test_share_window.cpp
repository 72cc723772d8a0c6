// Pictures and text formats through the real main window: Export > Image,
// Open and Save As of .csv and .txt, and the chooser's "Insert at its own
// position". Files are read back from disk; dialogs are answered by script.
#include "MulWriter.h"
#include "FileBytes.h"
#include "ScriptedDialogs.h"
#include "app/GLScroll.h"
#include "app/MainWindow.h"
#include "model/Facet.h"
#include "model/UndoMgr.h"
#include "view/GLWidget.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSettings>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

namespace {
QImage art(int w, int h, QRgb colour)
{
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(colour);
    image.setPixel(1, 1, 0);
    return image;
}

// Scripted dialogs that also fill in a dialog before accepting it.
class FillingDialogs : public ScriptedDialogs
{
public:
    std::function<void(QDialog *)> fill;
    int exec(QDialog *dialog) override
    {
        if (fill)
            fill(dialog);
        return ScriptedDialogs::exec(dialog);
    }
};

// (id, x, y, z, visible) of every tile of a document, by location key.
QList<QList<int>> tilesOf(GLScroll *doc)
{
    QList<QList<int>> out;
    for (const quint32 key : doc->model()->sortedKeys())
        for (const TileRecord &t : doc->model()->locations().value(key))
            out.append({t.id, t.x, t.y, t.z, t.visible});
    return out;
}
} // namespace

class TestShareWindow : public QObject
{
    Q_OBJECT
public:
    static void initMain() { GLWidget::prepareApplication(); }

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void exportsImages_data();
    void exportsImages();
    void opensAndSavesTextFormats();
    void insertsAtOwnPosition();

private:
    GLScroll *openDocument(const QString &path);

    QTemporaryDir m_settingsDir;
    QTemporaryDir m_dir;
    std::unique_ptr<FillingDialogs> m_dialogs;
    std::unique_ptr<MainWindow> m_main;
    const QImage m_red = art(44, 60, qRgb(248, 0, 0));
    const QImage m_blue = art(20, 30, qRgb(0, 0, 248));
};

void TestShareWindow::initTestCase()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        QSKIP("needs an X display for OpenGL (run under xvfb-run)");
    for (auto format : {QSettings::NativeFormat, QSettings::IniFormat})
        for (auto scope : {QSettings::UserScope, QSettings::SystemScope})
            QSettings::setPath(format, scope, m_settingsDir.path());
    const auto artFiles = MulWriter::artFiles({}, {{700, m_red}, {701, m_blue}});
    writeFileBytes(m_dir.filePath("artidx.mul"), artFiles.index);
    writeFileBytes(m_dir.filePath("art.mul"), artFiles.data);
    const auto multis = MulWriter::multiFiles({{2, {{701, 3, 4, 5, 1}, {700, 0, 0, 0, 1}}}}, 3);
    writeFileBytes(m_dir.filePath("multi.idx"), multis.index);
    writeFileBytes(m_dir.filePath("multi.mul"), multis.data);
    QSettings s(QStringLiteral("Brightmoor"), QStringLiteral("MulSettings"));
    s.setValue("ArtIdx", m_dir.filePath("artidx.mul"));
    s.setValue("ArtMul", m_dir.filePath("art.mul"));
    s.setValue("MultiIdx", m_dir.filePath("multi.idx"));
    s.setValue("MultiMul", m_dir.filePath("multi.mul"));
}

void TestShareWindow::init()
{
    m_dialogs = std::make_unique<FillingDialogs>();
    m_main = std::make_unique<MainWindow>();
    m_main->show();
    m_main->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_main.get()));
}

void TestShareWindow::cleanup()
{
    for (GLScroll *doc : m_main->documents())
        doc->model()->save(m_dir.filePath("discard.mlt"));
    m_main.reset();
    m_dialogs.reset();
}

GLScroll *TestShareWindow::openDocument(const QString &path)
{
    m_dialogs->answer(path);
    m_main->slotFileOpen();
    GLScroll *doc = m_main->activeDocument();
    if (doc)
        m_main->workspace()->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(doc->parentWidget()));
    return doc;
}

void TestShareWindow::exportsImages_data()
{
    QTest::addColumn<QString>("options");
    QTest::newRow("defaults") << "";
    QTest::newRow("half size") << "half";
    QTest::newRow("coloured background") << "colour";
    QTest::newRow("storeys, below hidden") << "storeys";
}

// Red art at (0, 0, 0), blue at (1, 1, 10): the blue one is the second storey.
void TestShareWindow::exportsImages()
{
    QFETCH(QString, options);
    QFile::remove(m_dir.filePath("shot.png"));
    const QString csv = m_dir.filePath("pair.csv");
    writeFileBytes(csv, "kind,id,x,y,z,hue,visible\nart,700,0,0,0,0,1\nart,701,1,1,10,0,1\nart,701,2,2,0,0,0\n");
    QVERIFY(openDocument(csv));
    m_dialogs->fill = [&](QDialog *d) {
        if (options == "half")
            d->findChild<QDoubleSpinBox *>("scale")->setValue(0.5);
        if (options == "colour")
            d->findChild<QCheckBox *>("transparent")->setChecked(false);
        if (options == "storeys") {
            d->findChild<QCheckBox *>("storeys")->setChecked(true);
            d->findChild<QSpinBox *>("storeyHeight")->setValue(10);
            d->findChild<QComboBox *>("below")->setCurrentIndex(1);
        }
    };
    m_dialogs->answer(QDialog::Accepted);
    m_dialogs->answer(m_dir.filePath("shot"), "PNG (*.png)");
    m_main->exportImage();
    QCOMPARE(m_dialogs->count("warning"), 0);
    // Red spans x -22..22, y (down) -16..44; blue (z 10) x -10..10, y 18..48.
    const QPoint red(-22, -16), blue(-10, 18);
    const QPoint origin(-22, -16);
    if (options == "storeys") {
        const QImage first(m_dir.filePath("shot-storey1.png"));
        const QImage second(m_dir.filePath("shot-storey2.png"));
        QCOMPARE(first.size(), QSize(44, 64));
        QCOMPARE(second.size(), first.size());
        QCOMPARE(first.pixel(red - origin + QPoint(5, 50)), m_red.pixel(5, 50));
        QCOMPARE(qAlpha(first.pixel(blue - origin + QPoint(5, 28))), 0);
        QCOMPARE(second.pixel(blue - origin + QPoint(5, 28)), m_blue.pixel(5, 28));
        QCOMPARE(qAlpha(second.pixel(red - origin + QPoint(5, 50))), 0);
        QVERIFY(!QFile::exists(m_dir.filePath("shot.png")));
        return;
    }
    const QImage shot(m_dir.filePath("shot.png"));
    QCOMPARE(fileBytes(m_dir.filePath("shot.png")).left(4), QByteArray("\x89PNG"));
    if (options == "half") {
        QCOMPARE(shot.size(), QSize(22, 32));
        return;
    }
    QCOMPARE(shot.size(), QSize(44, 64));
    // Blue is drawn after red (further forward), the invisible tile not at all.
    QCOMPARE(shot.pixel(blue - origin + QPoint(5, 25)), m_blue.pixel(5, 25));
    QCOMPARE(shot.pixel(red - origin + QPoint(40, 10)), m_red.pixel(40, 10));
    const QRgb corner = shot.pixel(0, 63);
    QCOMPARE(corner, options == "colour" ? qRgb(255, 255, 255) : 0u);
}

void TestShareWindow::opensAndSavesTextFormats()
{
    const QString list = m_dir.filePath("multi.txt");
    const QByteArray kept = "6 version\n1 template id\n-1 item version\n1 num components\n"
                            "700 0 0 0 0 Lantern\n"
                            "8 template id\n-1 item version\n2 num components\n700 1 1 0 1\n701 -1 0 3 1\n";
    writeFileBytes(list, kept);
    // The chooser lists both templates; the second is taken.
    m_dialogs->fill = [](QDialog *d) {
        auto *combo = d->findChild<QComboBox *>("comboBox");
        if (combo && combo->count() == 2 && combo->itemText(1) == "8 (2 tiles)")
            combo->setCurrentIndex(1);
    };
    m_dialogs->answer(list);
    m_dialogs->answer(QDialog::Accepted);
    m_main->slotFileOpen();
    GLScroll *doc = m_main->activeDocument();
    QVERIFY(doc);
    QCOMPARE(tilesOf(doc), (QList<QList<int>>{{701, -1, 0, 3, 1}, {700, 1, 1, 0, 1}}));
    QVERIFY(doc->fileName().isEmpty());

    // Saved as a new template of the same list: every other line stays.
    m_dialogs->answer(list, "Component list (*.txt)");
    m_dialogs->answer(2); // template number
    QVERIFY(m_main->saveDocumentAs(doc));
    QCOMPARE(fileBytes(list), kept + "2 template id\n-1 item version\n2 num components\n701 -1 0 3 1\n700 1 1 0 1\n");
    // Saved as CSV under a name without suffix, and opened again.
    m_dialogs->answer(m_dir.filePath("copy"), "CSV (*.csv)");
    QVERIFY(m_main->saveDocumentAs(doc));
    QCOMPARE(fileBytes(m_dir.filePath("copy.csv")),
             QByteArray("kind,id,x,y,z,hue,visible\nart,701,-1,0,3,0,1\nart,700,1,1,0,0,1\n"));
    GLScroll *again = openDocument(m_dir.filePath("copy.csv"));
    QVERIFY(again);
    QVERIFY(again != doc);
    QCOMPARE(tilesOf(again), tilesOf(doc));

    // A damaged list is named with its line.
    writeFileBytes(m_dir.filePath("bad.txt"), "6 version\n1 t\n-1 i\n4 n\n");
    m_dialogs->answer(m_dir.filePath("bad.txt"));
    m_main->slotFileOpen();
    QVERIFY(m_dialogs->last("warning")->text.contains("bad.txt: line 4"));
}

void TestShareWindow::insertsAtOwnPosition()
{
    m_main->slotFileNew();
    GLScroll *doc = m_main->activeDocument();
    QVERIFY(doc);
    m_dialogs->fill = [](QDialog *d) {
        if (auto *own = d->findChild<QCheckBox *>("ownPosition"))
            own->setChecked(true);
    };
    m_dialogs->answer(QDialog::Accepted);
    m_main->importMulti();
    QCOMPARE(tilesOf(doc), (QList<QList<int>>{{700, 0, 0, 0, 1}, {701, 3, 4, 5, 1}}));
    // One user action, one undo.
    doc->view()->undoMgr()->undo();
    QCOMPARE(doc->model()->tileCount(), 0);
}

QTEST_MAIN(TestShareWindow)
#include "test_share_window.moc"
