#include "app/GLScroll.h"
#include "data/ArtReader.h"
#include "data/HueTable.h"
#include "data/TileData.h"
#include "model/Facet.h"
#include "ScriptedDialogs.h"
#include "view/GLWidget.h"
#include "view/TexMgr.h"

#include <QScrollBar>
#include <QSignalSpy>
#include <QSurfaceFormat>
#include <QtTest>

class TestGLScroll : public QObject
{
    Q_OBJECT
public:
    static void initMain()
    {
        GLWidget::prepareApplication();
    }

private slots:
    void initTestCase();
    void barsPanAlongScreenAxes();
    void gotoParsesCoordinates_data();
    void gotoParsesCoordinates();
    void commandsNeedFocus();

private:
    std::unique_ptr<GLScroll> makeDocument(bool focused);

    ArtReader m_art;
    TileData m_data;
    HueTable m_hues;
    std::unique_ptr<TexMgr> m_textures;
};

void TestGLScroll::initTestCase()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        QSKIP("needs an X display for OpenGL (run under xvfb-run)");
    m_textures = std::make_unique<TexMgr>(&m_art, &m_hues);
}

std::unique_ptr<GLScroll> TestGLScroll::makeDocument(bool focused)
{
    auto doc = std::make_unique<GLScroll>(QString(), TileMap(), &m_art, m_data, m_textures.get());
    if (focused) {
        doc->show();
        doc->activateWindow();
        if (!QTest::qWaitForWindowActive(doc.get()))
            return nullptr;
        doc->setFocus();
    }
    return doc;
}

void TestGLScroll::barsPanAlongScreenAxes()
{
    auto doc = makeDocument(false);
    QCOMPARE(doc->windowTitle(), QString("Untitled"));
    for (QScrollBar *bar : {doc->horizontalBar(), doc->verticalBar()})
        QCOMPARE(QList<int>({bar->minimum(), bar->maximum(), bar->value()}), QList<int>({-282, 282, 0}));
    doc->verticalBar()->setValue(10);
    QCOMPARE(doc->location(), QPoint(10, 10));
    QCOMPARE(doc->view()->centre(), QPoint(10, 10));
    QCOMPARE(doc->horizontalBar()->value(), 10);
    doc->horizontalBar()->setValue(15);
    QCOMPARE(doc->location(), QPoint(15, 5));
    QCOMPARE(doc->view()->centre(), QPoint(15, 5));
    QCOMPARE(doc->verticalBar()->value(), 5);

    // A bar clamps what it shows; the stored location is not clamped.
    QVERIFY(doc->gotoLocation(300, 300));
    QCOMPARE(doc->horizontalBar()->value(), 282);
    QCOMPARE(doc->location(), QPoint(300, 300));
    QCOMPARE(doc->view()->centre(), QPoint(300, 300));
}

void TestGLScroll::gotoParsesCoordinates_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QPoint>("location");
    QTest::newRow("blank after comma") << "12, 34" << true << QPoint(12, 34);
    QTest::newRow("extra field ignored") << "12,34,56" << true << QPoint(12, 34);
    QTest::newRow("outside the tile area") << "300,300" << true << QPoint(300, 300);
    QTest::newRow("one number") << "12" << false << QPoint();
    QTest::newRow("not a number") << "a,3" << false << QPoint();
    QTest::newRow("negative") << "-5,3" << false << QPoint();
    QTest::newRow("too far") << "400,0" << false << QPoint();
    QTest::newRow("empty y") << " 7 ," << false << QPoint();
}

void TestGLScroll::gotoParsesCoordinates()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(QPoint, location);
    auto doc = makeDocument(true);
    QVERIFY(doc && doc->hasFocus());
    ScriptedDialogs dialogs;
    dialogs.answer(text);
    doc->gotoPoint();
    QCOMPARE(dialogs.last("text")->title, QString("Goto"));
    QCOMPARE(dialogs.last("text")->text, QString("Enter coordinates(x,y):"));
    if (valid) {
        QCOMPARE(dialogs.count("warning"), 0);
        QCOMPARE(doc->view()->centre(), location);
        QCOMPARE(doc->location(), location);
        QCOMPARE(doc->horizontalBar()->value(), qMin(location.x(), 282));
        QCOMPARE(doc->verticalBar()->value(), qMin(location.y(), 282));
    } else {
        QCOMPARE(dialogs.last("warning")->title, QString("Invalid coordinates"));
        QCOMPARE(dialogs.last("warning")->text, text + " location is invalid");
        QCOMPARE(doc->view()->centre(), QPoint(0, 0));
        QCOMPARE(doc->location(), QPoint(0, 0));
    }
}

void TestGLScroll::commandsNeedFocus()
{
    auto doc = makeDocument(false);
    ScriptedDialogs dialogs;
    dialogs.answer("12,34");
    dialogs.answer(5);
    doc->gotoPoint();
    doc->setHue();
    QVERIFY(dialogs.calls.isEmpty());
    QCOMPARE(doc->view()->centre(), QPoint(0, 0));

}

QTEST_MAIN(TestGLScroll)
#include "test_glscroll.moc"
