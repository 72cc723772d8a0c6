#include "ScriptedDialogs.h"
#include "ViewArt.h"
#include "app/GLScroll.h"
#include "view/GLWidget.h"

#include <QScrollBar>
#include <QTest>

class TestGLScroll : public GlTest
{
    Q_OBJECT
private:
    ViewArt m_va;
    std::unique_ptr<GLScroll> m_doc;

    // The stored location, the view's centre, and the bars' values (horizontal, vertical).
    QList<QPoint> state() const
    {
        return {m_doc->location(), m_doc->view()->centre(),
                QPoint(m_doc->horizontalBar()->value(), m_doc->verticalBar()->value())};
    }

private slots:
    void initTestCase()
    {
        TILSEN_NEED_GL();
        m_va.newTextures();
    }

    // An empty document: 50 x 50 blocks of 8 cells, bars over -282..282.
    void init() { m_doc = std::make_unique<GLScroll>(QString(), TileMap(), &m_va.art, m_va.data, m_va.textures.get()); }
    void cleanup() { m_doc.reset(); }

    void barsPanAlongScreenAxes()
    {
        for (QScrollBar *bar : {m_doc->horizontalBar(), m_doc->verticalBar()})
            QCOMPARE(QList<int>({bar->minimum(), bar->maximum(), bar->value()}), QList<int>({-282, 282, 0}));
        m_doc->verticalBar()->setValue(10); // straight down the screen: (+d, +d)
        QCOMPARE(state(), QList<QPoint>({{10, 10}, {10, 10}, {10, 10}}));
        m_doc->horizontalBar()->setValue(15); // straight right: (+d, -d)
        QCOMPARE(state(), QList<QPoint>({{15, 5}, {15, 5}, {15, 5}}));
    }

    void gotoParsesCoordinates_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QPoint>("location"); // (0, 0) and a warning when refused
        QTest::newRow("blanks, extra field ignored") << " 12, 34 ,56" << QPoint(12, 34);
        // The model's whole area, -200 to 199 on both axes: multis are centred on 0,0.
        QTest::newRow("negative") << "-5,3" << QPoint(-5, 3);
        QTest::newRow("both negative") << "-1,-1" << QPoint(-1, -1);
        QTest::newRow("y negative") << "27,-5" << QPoint(27, -5);
        QTest::newRow("lowest corner") << "-200,-200" << QPoint(-200, -200);
        QTest::newRow("highest corner") << "199,199" << QPoint(199, 199);
        QTest::newRow("outside the tile area") << "300,300" << QPoint();
        QTest::newRow("one past the top") << "200,0" << QPoint();
        QTest::newRow("one below the bottom") << "0,-201" << QPoint();
        QTest::newRow("one number") << "12" << QPoint();
        QTest::newRow("not a number") << "a,3" << QPoint();
    }

    void gotoParsesCoordinates()
    {
        QFETCH(QString, text);
        QFETCH(QPoint, location);
        m_doc->show();
        m_doc->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_doc.get()));
        m_doc->setFocus();
        ScriptedDialogs dialogs;
        dialogs.answer(text);
        m_doc->gotoPoint();
        QCOMPARE(dialogs.count("text"), 1);
        QCOMPARE(state(), QList<QPoint>({location, location, QPoint(qMin(location.x(), 282), qMin(location.y(), 282))}));
        if (location.isNull())
            QCOMPARE(dialogs.last("warning")->text, text + " location is invalid");
        else
            QCOMPARE(dialogs.count("warning"), 0);
    }
};

QTEST_MAIN(TestGLScroll)
#include "test_glscroll.moc"
