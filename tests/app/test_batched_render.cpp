// The batched drawing and the kept tile layer, in a real document window:
// every picture equals the per-tile reference drawing of the same scene, no
// paint shows a stale layer, and moving overlays patch the kept layer.
#include "Sanitized.h"
#include "TestArt.h"
#include "ViewArt.h"
#include "app/GLScroll.h"
#include "model/Facet.h"
#include "view/GLWidget.h"
#include "view/TileEditor.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTest>

#include <memory>

namespace {
constexpr int DocW = 620;
constexpr int DocH = 520;
constexpr int HueCount = 64;

// Two colours on a diamond with transparent corners: edges, holes and inner
// detail all show up in a comparison.
QImage patterned(int w, int h, QRgb a, QRgb b)
{
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const int dx = std::abs(2 * x + 1 - w) * h, dy = std::abs(2 * y + 1 - h) * w;
            if (dx + dy <= w * h)
                image.setPixel(x, y, (y / 4) % 2 ? a : b);
        }
    }
    return image;
}

QByteArray rainbowHues()
{
    QVector<MulWriter::Hue> hues;
    for (int i = 0; i < HueCount; ++i) {
        MulWriter::Hue hue;
        hue.colours = QVector<quint16>(32, MulWriter::colour(qRgb((i * 37) % 256, (i * 91) % 256,
                                                                  (i * 53) % 256)));
        hues.append(hue);
    }
    return MulWriter::hues(hues);
}

// Two frames of one size and the same colour in every pixel.
bool same(const QImage &a, const QImage &b)
{
    return a.convertToFormat(QImage::Format_RGB32) == b.convertToFormat(QImage::Format_RGB32);
}

QList<QList<int>> quadList(const GLWidget &view)
{
    QList<QList<int>> out;
    for (int kind : {int(Terrain), int(Art)}) {
        for (const DrawnQuad &q : view.drawnQuads(kind)) {
            QList<int> row{q.kind, q.id, q.x, q.y, q.z, q.hue, q.visible, q.serial};
            for (const QPoint &c : q.corners)
                row << c.x() << c.y();
            out.append(row);
        }
    }
    return out;
}
} // namespace

class TestBatchedRender : public GlTest
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        TILSEN_NEED_GL();
        loadArt(false);
        m_va.hues.loadFromBytes(rainbowHues());
    }

    void init()
    {
        m_doc = std::make_unique<GLScroll>(QString(), scene(), &m_va.art, m_va.data, m_va.newTextures());
        m_doc->resize(DocW, DocH);
        m_doc->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_doc.get()));
    }

    void cleanup()
    {
        m_doc.reset();
        m_tex.reset();
    }

    void batchedEqualsPerTile_data()
    {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<int>("scaleNumber"); // the Scale menu's 1, 2, 4
        const QList<int> scales = {1, 2, 4};
        int row = 0;
        for (const char *s : {"plain", "selected", "flat", "clipped", "invisible hidden, terrain off",
                              "scrolled", "preview"}) {
            for (int i = 0; i < scales.size(); ++i, ++row) {
                // Under ASan each setting at one scale, the scales taken in turn.
                if (Sanitized::Active && i != row / scales.size() % scales.size())
                    continue;
                QTest::addRow("%s, scale %d", s, scales[i]) << QString::fromLatin1(s) << scales[i];
            }
        }
    }

    // The pictures and the quads picking reads are those of the per-tile drawing.
    void batchedEqualsPerTile()
    {
        QFETCH(QString, setting);
        QFETCH(int, scaleNumber);
        view()->setScale(scaleNumber);
        setUp(setting);
        const QImage ref = reference();
        const QList<QList<int>> refQuads = quadList(*view());
        QVERIFY(refQuads.size() > 100);
        const QImage drawn = batched();
        QVERIFY(same(drawn, ref));
        QCOMPARE(quadList(*view()), refQuads);
        // A handful of calls: opaque and blended quads of one atlas page.
        QVERIFY2(view()->layerDrawCalls() <= 2, qPrintable(QString::number(view()->layerDrawCalls())));
        // Drawn before, so nothing is uploaded again.
        const int uploads = m_tex->uploads();
        view()->sceneChanged();
        QVERIFY(same(view()->grabFramebuffer(), ref));
        QCOMPARE(m_tex->uploads(), uploads);
    }

    void overlaysOnTheKeptLayer_data()
    {
        QTest::addColumn<QString>("gesture"); // a band, the brush at the pointer, a line being dragged
        QTest::addColumn<int>("scaleNumber");
        QTest::newRow("band") << "band" << 1;
        QTest::newRow("band over the grid, scale 0.75") << "band" << 2;
        QTest::newRow("band over the grid, scale 0.5") << "band" << 4;
        QTest::newRow("brush") << "brush" << 1;
        QTest::newRow("line over the grid, scale 0.75") << "line" << 2;
    }

    // A band or a preview moved over the scene, behind and in front of tall
    // tiles and cut by the edges, is drawn on the kept layer without drawing
    // the tiles again, and the frame is the one a full redraw gives; the
    // picking quads stay those of the last full paint.
    void overlaysOnTheKeptLayer()
    {
        QFETCH(QString, gesture);
        QFETCH(int, scaleNumber);
        GLWidget *v = view();
        v->setScale(scaleNumber);
        v->setGrid(scaleNumber != 1);
        const bool band = gesture == "band";
        const Qt::MouseButtons held = gesture == "brush" ? Qt::NoButton : Qt::LeftButton;
        if (!band)
            v->startPaint(QStringLiteral("103:0:0:0:0:1:1"));
        if (gesture == "line")
            v->setTool(ToolKind::Line);
        if (held)
            sendMouse(QEvent::MouseButtonPress, band ? QPoint(3, 3) : v->rect().center(), Qt::LeftButton);
        v->grabFramebuffer();
        int layers = v->layerPaints();
        const int patches = v->previewPatches();
        const QList<QList<int>> quads = quadList(*v);
        const QList<QPoint> corners{{120, 90}, {300, 260}, {2, 2}, {v->width() - 2, v->height() - 2}};
        for (const QPoint &corner : corners) {
            sendMouse(QEvent::MouseMove, corner, held);
            QCOMPARE(v->editor()->bandShown(), band);
            const QImage composed = v->grabFramebuffer();
            QCOMPARE(v->layerPaints(), layers);
            QCOMPARE(quadList(*v), quads);
            v->sceneChanged();
            QVERIFY(same(composed, v->grabFramebuffer()));
            QCOMPARE(v->layerPaints(), layers + 1);
            QVERIFY(same(composed, reference()));
            v->grabFramebuffer(); // keep a layer for the next corner
            layers = v->layerPaints();
        }
        QVERIFY(band || v->previewPatches() >= patches + int(corners.size()));
        sendMouse(QEvent::MouseButtonRelease, corners.last(), Qt::NoButton);
        QVERIFY(!v->editor()->bandShown());
    }

    void changesAreNeverStale_data()
    {
        QTest::addColumn<QString>("change");
        for (const char *c : {"delete and undo", "redo", "model without a signal",
                              "selection without a repaint", "hue", "scroll", "scale", "resize",
                              "art reloaded", "flat", "clip", "terrain", "invisible", "edit terrain",
                              "paint stops"})
            QTest::newRow(c) << QString::fromLatin1(c);
    }

    // Each change after a kept layer shows at once, as the reference draws it.
    void changesAreNeverStale()
    {
        QFETCH(QString, change);
        GLWidget *v = view();
        if (change == "paint stops")
            setUp("preview");
        const QImage before = batched();
        v->grabFramebuffer(); // the layer is kept from here on
        const Facet::TileSet cell = v->model()->tilesAt(0, 0);
        const int layers = v->layerPaints();
        if (change == "delete and undo" || change == "redo") {
            for (const TileRecord &t : cell)
                v->selection().add(TileIdentity::of(t), false);
            v->del();
            QCOMPARE(int(v->model()->tilesAt(0, 0).size()), 1); // the ground stays
            const QImage deleted = v->grabFramebuffer();
            QVERIFY(!same(deleted, before));
            QVERIFY(same(deleted, reference()));
            v->undo();
            if (change == "redo") {
                QVERIFY(same(v->grabFramebuffer(), before));
                v->redo();
            }
        } else if (change == "model without a signal") {
            QVERIFY(v->model()->removeTile(0, 0, *cell.rbegin()));
        } else if (change == "selection without a repaint") {
            v->selection().add(TileIdentity::of(*cell.rbegin()), false);
        } else if (change == "hue") {
            v->selection().add(TileIdentity::of(*cell.rbegin()), true);
            v->setHueOrAltitude(0, 9, false);
            v->selection().clear(Selection::ClearBoth);
        } else if (change == "scroll") {
            QVERIFY(m_doc->gotoLocation(2, 3));
        } else if (change == "scale") {
            v->setScale(2);
        } else if (change == "resize") {
            m_doc->resize(DocW - 100, DocH - 60);
            QTRY_COMPARE(v->grabFramebuffer().width(), v->width());
        } else if (change == "art reloaded") {
            loadArt(true);
            m_tex->reload();
        } else if (change == "flat") {
            v->setFlat(true);
        } else if (change == "clip") {
            v->setMaxAlt(5);
            v->setAltCheck(true);
        } else if (change == "terrain") {
            v->setTerrain(false);
        } else if (change == "invisible") {
            v->viewInvisible(false);
        } else if (change == "edit terrain") {
            v->selectAll(); // the art is highlighted
            v->grabFramebuffer();
            v->setEditArt(false);
            v->setEditTerrain(true);
            v->selectAll(); // now the ground is
        } else if (change == "paint stops") {
            v->stopPaint();
        }
        const QImage after = v->grabFramebuffer();
        // The kept layer never holds the preview: stopping it needs no new one.
        QVERIFY(v->layerPaints() > layers || change == "paint stops");
        if (change != "delete and undo")
            QVERIFY(!same(after, before));
        QVERIFY(same(after, reference()));
        if (change == "art reloaded")
            loadArt(false);
    }

    // The once-a-minute cleanup throws the atlas away; the next paint rebuilds it
    // and draws what the reference draws (so the atlas holds each image's own
    // texels). Pages too small for the scene split the
    // batch into more calls without changing a pixel.
    void cleanupAndSmallPages()
    {
        GLWidget *v = view();
        const QImage first = batched();
        QCOMPARE(m_tex->atlasPageCount(), 1);
        m_tex->cleanup();
        QCOMPARE(m_tex->atlasPageCount(), 0);
        const int layers = v->layerPaints();
        QVERIFY(same(v->grabFramebuffer(), first));
        QCOMPARE(v->layerPaints(), layers + 1);
        QCOMPARE(m_tex->atlasPageCount(), 1);

        // Pages smaller than some images: those get pages of their own size.
        m_tex->setAtlasPageSize(64);
        v->setScale(4);
        sendMouse(QEvent::MouseMove, QPoint(v->width() / 2, v->height() / 2), Qt::NoButton);
        v->startPaint(QStringLiteral("102:0:0:0:5:1:1"));
        const QImage ref = reference();
        QVERIFY(same(batched(), ref) && m_tex->atlasPageCount() > 2 && v->layerDrawCalls() > 2);
    }

private:
    GLWidget *view() const { return m_doc->view(); }

    // The usual art, or the same ids with black ground.
    void loadArt(bool blackGround)
    {
        QMap<int, QImage> art;
        art.insert(100, TestArt::solid(44, 80, qRgb(255, 0, 0)));
        art.insert(101, patterned(44, 90, qRgb(0, 200, 0), qRgb(250, 250, 0)));
        art.insert(102, patterned(20, 31, qRgb(0, 0, 255), qRgb(255, 0, 255)));
        art.insert(103, patterned(66, 121, qRgb(10, 120, 200), qRgb(200, 120, 10)));
        art.insert(104, TestArt::solid(2, 2, qRgb(255, 255, 255)));
        art.insert(3, blackGround ? TestArt::solid(44, 44, qRgb(0, 0, 0))
                                  : patterned(44, 44, qRgb(120, 90, 60), qRgb(60, 90, 120)));
        m_va.load(art);
    }

    // Ground on 17 x 17 cells and about 300 art tiles of four sizes, stacked,
    // hued and some invisible.
    TileMap scene() const
    {
        TileMap map;
        constexpr int Half = 8;
        for (int x = -Half; x <= Half; ++x) {
            for (int y = -Half; y <= Half; ++y) {
                QList<TileRecord> &cell = map[locationKey(x, y)];
                cell.append(m_va.tile(Terrain, 3, x, y, 0));
                const int n = ((x * 7 + y * 13) % 5 + 5) % 5;
                if (n == 4)
                    continue;
                cell.append(m_va.tile(Art, 100 + n, x, y, (x + y + 2 * Half) % 3, n == 1 ? (x + Half) % HueCount : 0,
                                 (x - y + 2 * Half) % 6 == 0 ? 0 : 1));
                if (n < 2)
                    cell.append(m_va.tile(Art, 101 + n, x, y, 8 + n * 5, (y + Half) % 7));
            }
        }
        return map;
    }

    void sendMouse(QEvent::Type type, const QPoint &at, Qt::MouseButtons buttons)
    {
        QMouseEvent e(type, QPointF(at), view()->mapToGlobal(QPointF(at)),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons,
                      Qt::NoModifier);
        QCoreApplication::sendEvent(view(), &e);
    }

    // One display setting of the view, by name.
    void setUp(const QString &setting)
    {
        GLWidget *v = view();
        if (setting == "selected") {
            for (const QPoint cell : {QPoint(2, 1), QPoint(-3, 4)})
                for (const TileRecord &t : v->model()->tilesAt(cell.x(), cell.y()))
                    v->selection().add(TileIdentity::of(t), false);
        } else if (setting == "flat") {
            v->setFlat(true);
        } else if (setting == "clipped") {
            v->setMinAlt(1);
            v->setMaxAlt(9);
            v->setAltCheck(true);
        } else if (setting == "invisible hidden, terrain off") {
            v->viewInvisible(false);
            v->setTerrain(false);
        } else if (setting == "scrolled") {
            v->gotoPoint(QPoint(5, -3));
        } else if (setting == "preview") {
            v->startPaint(QStringLiteral("103:0:0:0:7:1:1"));
            sendMouse(QEvent::MouseMove, QPoint(v->width() / 2, v->height() / 2), Qt::NoButton);
            QVERIFY(v->editor()->painting());
        }
    }

    // The batched frame, then the per-tile reference of the same state.

    QImage batched()
    {
        view()->setBatched(true);
        return view()->grabFramebuffer();
    }

    QImage reference()
    {
        view()->setBatched(false);
        QImage image = view()->grabFramebuffer();
        view()->setBatched(true);
        return image;
    }

    ViewArt m_va;
    std::unique_ptr<TexMgr> &m_tex = m_va.textures;
    std::unique_ptr<GLScroll> m_doc;
};

QTEST_MAIN(TestBatchedRender)
#include "test_batched_render.moc"
