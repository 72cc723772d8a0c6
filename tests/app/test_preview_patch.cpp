// A moving preview (the brush at the pointer, a line being dragged) is drawn
// on the kept tile layer: the tiles are not drawn again, and every frame is
// the per-tile reference drawing of the same scene.
#include "TestArt.h"
#include "ViewArt.h"
#include "app/GLScroll.h"
#include "view/GLWidget.h"

#include <QMouseEvent>
#include <QTest>

#include <memory>

class TestPreviewPatch : public GlTest
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        TILSEN_NEED_GL();
        m_va.load({{100, TestArt::solid(44, 80, qRgb(255, 0, 0))},
                   {101, TestArt::solid(30, 140, qRgb(0, 160, 0))},
                   {3, TestArt::solid(44, 44, qRgb(90, 60, 30))}});
    }

    void previewPatchesTheKeptLayer_data()
    {
        QTest::addColumn<bool>("line");
        QTest::addColumn<int>("scaleNumber"); // the Scale menu's 1, 2, 4
        QTest::newRow("brush") << false << 1;
        QTest::newRow("brush, grid, scale 1/2") << false << 4;
        QTest::newRow("line, grid, scale 3/4") << true << 2;
    }

    void previewPatchesTheKeptLayer()
    {
        QFETCH(bool, line);
        QFETCH(int, scaleNumber);
        TileMap map;
        for (int x = -6; x <= 6; ++x)
            for (int y = -6; y <= 6; ++y)
                map[locationKey(x, y)] = {m_va.tile(Terrain, 3, x, y), m_va.tile(Art, 100 + (x + y) % 2, x, y, (x * y) % 7)};
        GLScroll doc(QString(), map, &m_va.art, m_va.data, m_va.newTextures());
        doc.resize(560, 460);
        doc.show();
        QVERIFY(QTest::qWaitForWindowExposed(&doc));
        GLWidget *v = doc.view();
        v->setScale(scaleNumber);
        v->setGrid(scaleNumber != 1); // over the placing grid every preview brings
        v->startPaint(QStringLiteral("101:0:0:0:0:1:1"));
        const QPoint middle(v->width() / 2, v->height() / 2);
        if (line) {
            v->setTool(ToolKind::Line);
            send(v, QEvent::MouseButtonPress, middle, Qt::LeftButton);
        }
        v->grabFramebuffer();
        const int patches = v->previewPatches();
        // Behind and in front of tall tiles, and cut by the view's edges.
        const QList<QPoint> points{middle + QPoint(40, 22), middle + QPoint(-60, -30), {2, 2},
                                   {v->width() - 2, v->height() - 2}};
        for (const QPoint &p : points) {
            const int layers = v->layerPaints();
            send(v, QEvent::MouseMove, p, line ? Qt::LeftButton : Qt::NoButton);
            const QImage patched = v->grabFramebuffer();
            QCOMPARE(v->layerPaints(), layers);
            v->setBatched(false);
            const QImage reference = v->grabFramebuffer();
            v->setBatched(true);
            QCOMPARE(patched.convertToFormat(QImage::Format_RGB32), reference.convertToFormat(QImage::Format_RGB32));
            v->grabFramebuffer(); // a kept layer again for the next point
        }
        QVERIFY(v->previewPatches() >= patches + int(points.size()));
    }

private:
    static void send(GLWidget *v, QEvent::Type type, const QPoint &at, Qt::MouseButtons buttons)
    {
        QMouseEvent e(type, QPointF(at), v->mapToGlobal(QPointF(at)),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(v, &e);
    }

    ViewArt m_va;
};

QTEST_MAIN(TestPreviewPatch)
#include "test_preview_patch.moc"
