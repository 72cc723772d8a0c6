// The view's drawing by its pixels and quads: placement, hiding, selection,
// previews, textures, picking and captures; and the CPU renderer's picture of
// the same scene against the view's.
#include "FileBytes.h"
#include "ScriptedDialogs.h"
#include "TestArt.h"
#include "ViewArt.h"
#include "app/FrameCapture.h"
#include "model/TileInfo.h"
#include "scene/SceneRenderer.h"
#include "view/GLWidget.h"
#include "view/GridColours.h"
#include "view/TexAtlas.h"

#include <QOpenGLContext>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <GL/gl.h>

#include <memory>
#include <vector>

namespace {
constexpr int W = 440;
constexpr int H = 330;
constexpr QRgb Grey = 0xFFC0C0C0, Red = 0xFFF80000, Green = 0xFF00F800, Blue = 0xFF0000F8,
               White = 0xFFF8F8F8;

// Widget point of a scene point, at scale 1.
QPoint widgetAt(int sx, int sy) { return {W / 2 + sx, H / 2 - sy}; }

// x of every recorded quad of the kind, sorted.
QList<int> drawn(const GLWidget &view, int kind)
{
    QList<int> out;
    for (const DrawnQuad &q : view.drawnQuads(kind))
        out.append(q.x);
    std::sort(out.begin(), out.end());
    return out;
}

// Texture words (bytes R, G, B, A); needs a context of the share group current.
std::vector<quint32> texels(const TexInfo &info)
{
    std::vector<quint32> out(size_t(info.texWidth) * info.texHeight);
    glBindTexture(GL_TEXTURE_2D, info.texture);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, out.data());
    return out;
}
// Art of 4 x 4 blocks of random colours, some transparent, some grey (for
// partial hues): scaled art may differ only where blocks meet.
QImage blocky(int w, int h, quint32 seed)
{
    constexpr int Block = 4;
    QImage image(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            QRandomGenerator rng(seed * 7919u + quint32((y / Block) * 1000 + x / Block));
            const quint32 r = rng.generate();
            if (r % 7 == 0)
                image.setPixel(x, y, 0);
            else if (r % 5 == 0)
                image.setPixel(x, y, qRgb(int(r >> 8) & 0xF8, int(r >> 8) & 0xF8, int(r >> 8) & 0xF8));
            else
                image.setPixel(x, y, 0xFF000000u | (r & 0xF8F8F8u));
        }
    }
    return image;
}

// Pixels that differ; each must sit on a colour edge of one of the two pictures.
struct Difference {
    int count = 0;
    int offEdge = 0;
};

bool onEdge(const QImage &img, int x, int y)
{
    const QRgb c = img.pixel(x, y) & 0xFFFFFFu;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            const int nx = x + dx, ny = y + dy;
            if (nx >= 0 && ny >= 0 && nx < img.width() && ny < img.height()
                && (img.pixel(nx, ny) & 0xFFFFFFu) != c)
                return true;
        }
    return false;
}

Difference compare(const QImage &gl, const QImage &cpu)
{
    Difference d;
    for (int y = 0; y < gl.height(); ++y)
        for (int x = 0; x < gl.width(); ++x) {
            if ((gl.pixel(x, y) & 0xFFFFFFu) == (cpu.pixel(x, y) & 0xFFFFFFu))
                continue;
            ++d.count;
            if (!onEdge(gl, x, y) && !onEdge(cpu, x, y))
                ++d.offEdge;
        }
    return d;
}
} // namespace

class TestRender : public GlTest
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        TILSEN_NEED_GL();
        QVERIFY(QOpenGLContext::globalShareContext());
        const QImage red = TestArt::solid(44, 80, qRgb(255, 0, 0));
        const QImage white = TestArt::solid(44, 44, qRgb(255, 255, 255));
        QMap<int, QImage> art{{1, red}, {2, white}, {3, white}, {100, red},
                              {101, TestArt::solid(44, 80, qRgb(0, 255, 0))}};
        for (int id = 200; id <= 250; ++id)
            art.insert(id, TestArt::solid(2, 2, qRgb(255, 255, 255)));
        m_va.load(art);
        m_va.hues.loadFromBytes(TestArt::hues(qRgb(0, 0, 255)));
        // For the CPU renderer's comparison: blocky art of odd and even sizes, one
        // wider than a texture class, a single pixel; hues that follow the red field.
        const QSize sizes[] = {{44, 80}, {45, 73}, {20, 100}, {1, 1}, {70, 33}, {130, 60}, {44, 44}};
        QMap<int, QImage> blocks{{1, red}}; // never drawn: a no-draw id
        for (int i = 0; i < int(std::size(sizes)); ++i)
            blocks.insert(100 + i, blocky(sizes[i].width(), sizes[i].height(), quint32(i + 1)));
        m_cpu.load(blocks);
        QVector<MulWriter::Hue> hues(8);
        for (int h = 0; h < hues.size(); ++h)
            for (int i = 0; i < 32; ++i)
                hues[h].colours.append(quint16((i << 5) | (h * 4)));
        m_cpu.hues.loadFromBytes(MulWriter::hues(hues));
        TileInfo partial;
        partial.flags = TileFlags::PartialHue;
        m_cpu.data.setStaticInfo(104, partial);
    }

    void init()
    {
        m_va.newTextures();
        m_model = std::make_unique<Facet>(m_data);
        newView();
    }

    void cleanup() { m_view.reset(); m_model.reset(); m_tex.reset(); }

    void placementAndPaintersOrder()
    {
        add(Art, 100, 0, 0, 5); // 44 x 80 image, five steps (20 units) up
        // The image's top left, on the raised bottom corner, below the image, the transparent texture padding.
        QCOMPARE(QList<QRgb>({pixel(-21, 55), pixel(20, -23, false), pixel(0, -25, false), pixel(30, 20, false)}),
                 QList<QRgb>({Red, Red, Grey, Grey}));
        add(Art, 101, 1, 1, 0); // in front, added after
        add(Terrain, 3, 0, 0, 0);
        QCOMPARE(QList<QRgb>({pixel(0, -40), pixel(0, 30, false)}), QList<QRgb>({Green, Red}));
        // One serial counter for both lists, in drawing order.
        const auto &art = m_view->drawnQuads(Art);
        QCOMPARE(m_view->drawnQuads(Terrain)[0].serial, 0);
        QCOMPARE(QList<int>({art[0].id, art[0].serial, art[1].id, art[1].serial}),
                 QList<int>({100, 1, 101, 2}));
    }

    void hidingRules_data()
    {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<QList<int>>("artShown"); // k of the tiles at (k, -k)
        QTest::addColumn<QList<int>>("terrainShown");
        QTest::newRow("defaults") << "" << QList<int>{0, 1, 2, 3, 5} << QList<int>{6};
        QTest::newRow("clip 0..10") << "clip" << QList<int>{0, 3, 5} << QList<int>{6};
        QTest::newRow("terrain off") << "noterrain" << QList<int>{0, 1, 2, 3, 4, 5} << QList<int>{};
        QTest::newRow("flat, terrain off") << "flat" << QList<int>{} << QList<int>{6, 7};
        QTest::newRow("invisible hidden") << "noinvisible" << QList<int>{0, 1, 2, 3} << QList<int>{6};
    }

    // Art 100 at altitudes 0, 11, -1, 10; the no-draw art id 1; an invisible
    // tile; terrain 3 and the no-draw terrain id 2.
    void hidingRules()
    {
        QFETCH(QString, setting);
        const int tiles[][4] = {{Art, 100, 0, 1}, {Art, 100, 11, 1}, {Art, 100, -1, 1}, {Art, 100, 10, 1},
                                {Art, 1, 0, 1}, {Art, 100, 0, 0}, {Terrain, 3, 0, 1}, {Terrain, 2, 0, 1}};
        for (int k = 0; k < 8; ++k)
            add(tiles[k][0], tiles[k][1], k, -k, tiles[k][2], tiles[k][3]);
        m_view->setMinAlt(0);
        m_view->setMaxAlt(10);
        m_view->setAltCheck(setting == "clip");
        m_view->setTerrain(setting != "noterrain" && setting != "flat");
        m_view->setFlat(setting == "flat");
        m_view->viewInvisible(setting != "noinvisible");
        // What is not recorded is not painted either.
        QCOMPARE(pixel(0, 0), setting == "flat" ? Grey : Red);
        QTEST(drawn(*m_view, Art), "artShown");
        QTEST(drawn(*m_view, Terrain), "terrainShown");
    }

    void selectionHueAndGrid()
    {
        add(Art, 100, 0, 0, 0);
        add(Art, 100, 1, -1, 0);
        const TileIdentity first = TileIdentity::of(*m_model->tilesAt(0, 0).begin());
        m_view->selection().add(first, false);
        QCOMPARE(pixel(0, 0), Blue);
        QCOMPARE(pixel(44, 0, false), Red);
        QCOMPARE(m_view->drawnQuads(Art)[0].hue, 0); // picking sees the tile's own hue
        // With terrain edited, a selected art tile keeps its own colours.
        m_view->setEditArt(false);
        m_view->setEditTerrain(true);
        m_view->selection().add(first, false);
        QCOMPARE(pixel(0, 0), Red);

        // The grid fill covers the whole widget at every scale, even after a resize.
        const QRgb savedFill = GridColours::gridFill;
        GridColours::gridFill = Blue;
        m_view->setGrid(true);
        m_view->setScale(4);
        const int columns = m_view->columns();
        m_view->resize(W + 88, H);
        QTRY_VERIFY(m_view->columns() > columns); // the walk follows the new size
        QCOMPARE(m_view->grabFramebuffer().pixel(0, 0) | 0xFF000000u, Blue);
        GridColours::gridFill = savedFill;
    }

    void paintPreviewIsTranslucentAndNotPickable()
    {
        add(Terrain, 3, 0, 0, 0); // white ground under the preview
        m_view->startPaint(QStringLiteral("100:0:0:0:0:1:1"));
        // White ground, red preview at alpha 200, then the placing grid's fill at alpha 128.
        const QRgb p = pixel(5, -15); // off the origin mark's lines
        QVERIFY2(qAbs(qRed(p) - 220) <= 3 && qAbs(qGreen(p) - 122) <= 3, qPrintable(QString::number(p, 16)));
        QVERIFY(m_view->drawnQuads(Art).isEmpty());
        QCOMPARE(m_view->drawnQuads(Terrain).size(), 1);
        m_view->stopPaint();
        QCOMPARE(pixel(5, -15), White);
    }

    void textureKeysVariantsAndImageCache()
    {
        m_view->makeCurrent();
        const TexInfo a = m_tex->texture(100, 0, 0, false);
        QCOMPARE(m_tex->texture(100, 0, 0, false).texture, a.texture);
        const TexInfo t = m_tex->texture(100, 0, 0, true);
        const TexInfo hued = m_tex->texture(100, 5, 0, false);
        const auto opaque = texels(a); // 64 x 128 block, 44 x 80 image
        // Opaque, transparent outside the image, translucent, hued.
        QCOMPARE(QList<quint32>({opaque[0], opaque[50] | opaque[100 * 64], texels(t)[0], texels(hued)[0]}),
                 QList<quint32>({0xFF0000F8u, 0u, 0xC80000F8u, 0xFFF80000u}));
        // Missing art: no texture, no upload, a warning every time.
        QTest::ignoreMessage(QtWarningMsg, "Bad Art id: 999");
        QCOMPARE(m_tex->texture(999, 0, 0, false).texture, 0u);
        QCOMPARE(m_tex->uploads(), 3);

        // Fifty decoded images per variant; the least recently used falls out.
        for (int id = 200; id <= 250; ++id)
            m_tex->texture(quint16(id), 0, 0, false);
        QCOMPARE(m_tex->imageCount(false), 50);
        m_tex->cleanup();
        const int decodes = m_tex->decodes();
        m_tex->texture(250, 0, 0, false);
        QCOMPARE(m_tex->decodes(), decodes);
        m_tex->texture(200, 0, 0, false);
        m_tex->texture(250, 0, 0, true);
        QCOMPARE(m_tex->decodes(), decodes + 2);
        m_view->doneCurrent();
    }

    void texturesDeletedAndRemade()
    {
        add(Art, 100, 0, 0, 0);
        add(Art, 100, 1, 1, 0);
        QCOMPARE(pixel(0, 0), Red);
        m_view->grabFramebuffer();
        QCOMPARE(m_tex->uploads(), 1); // repaints upload nothing
        m_view->makeCurrent();
        // Art without pixels is placed with nothing to draw: no page is made for it.
        TexAtlas empty(64);
        QVERIFY(!empty.add(nullptr, 4, 4, 4)->texture && empty.pageCount() == 0);
        const quint32 first = m_tex->texture(100, 0, 0, false).texture;
        m_tex->cleanup();
        // cleanup() borrowed the share context: the view's is current again.
        QCOMPARE(QOpenGLContext::currentContext(), m_view->context());
        QVERIFY(!glIsTexture(first));
        const quint32 second = m_tex->texture(100, 0, 0, false).texture;
        m_view->doneCurrent();
        m_tex->cleanup(); // with no context current
        QVERIFY(!QOpenGLContext::currentContext());
        m_view->makeCurrent();
        QVERIFY(!glIsTexture(second));
        // Cleaned up with no view left, then drawn by a new one from the cached image.
        m_view.reset();
        m_tex->cleanup();
        newView();
        QCOMPARE(pixel(0, 0), Red);
        QCOMPARE(m_tex->decodes(), 1);
        // New art files: nothing made from the old art is reused.
        m_tex->reload();
        QCOMPARE(pixel(0, 0), Red);
        QCOMPARE(m_tex->decodes(), 2);
    }

    void pickingAnswersFromTheLastPaint()
    {
        add(Art, 100, 0, 0, 0);
        add(Art, 101, 1, 1, 0);
        add(Terrain, 3, 0, 0, 0);
        m_view->grabFramebuffer();
        QCOMPARE(m_view->tileAt(widgetAt(0, -20), 1).id, 101);
        QVERIFY(!m_view->tileAt(widgetAt(32, -30), 1).isTile()); // the texture's padding does not pick
        QCOMPARE(m_view->tileAt(widgetAt(0, 10), 3).id, 100);
        QCOMPARE(m_view->tileAt(widgetAt(0, -20), 0).kind, int(Terrain));
        QVERIFY(!m_view->tileAt(widgetAt(150, 100), 3).isTile());
        QCOMPARE(m_view->tilesInPixels(QRect(widgetAt(-30, 40), widgetAt(30, -50)), 3).size(), 3);
        QCOMPARE(m_view->mapLocation(QPoint(-5000, -5000)), QPoint(-201, -201)); // outside the walk

        // Picks see the last paint, not the model.
        m_model->removeTile(1, 1, *m_model->tilesAt(1, 1).begin());
        QCOMPARE(m_view->tileAt(widgetAt(0, -20), 1).id, 101);
        m_view->grabFramebuffer();
        QCOMPARE(m_view->tileAt(widgetAt(0, -20), 1).id, 100);
    }

    // png is preselected; a typed suffix naming a writable format picks that
    // format (any case), otherwise the chosen filter's extension is added.
    void captureNamesTheFile()
    {
        add(Art, 100, 0, 0, 0);
        QTemporaryDir dir;
        ScriptedDialogs dialogs;
        const QString png = QStringLiteral("png(*.png)"), bmp = QStringLiteral("bmp(*.bmp)");
        const QList<std::pair<const char *, QString>> typed = {
            {"a", png}, {"b.png", png}, {"c.PNG", png}, {"shot.png", bmp}, {"d.bmp", png},
            {"e.notaformat", bmp}};
        for (const auto &[name, filter] : typed)
            dialogs.answer(dir.filePath(name), filter);
        dialogs.cancel(); // nothing written
        for (qsizetype i = 0; i <= typed.size(); ++i)
            FrameCapture::capture(m_view.get(), m_view.get(), QString());
        QCOMPARE(dialogs.last("save")->value.toString(), png);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files, QDir::Name),
                 QStringList({"a.png", "b.png", "c.PNG", "d.bmp", "e.notaformat.bmp", "shot.png"}));
        // The bytes on disk are of the format the name says.
        QList<QByteArray> heads;
        for (const char *name : {"a.png", "c.PNG", "shot.png", "d.bmp", "e.notaformat.bmp"})
            heads << fileBytes(dir.filePath(name)).left(2);
        QCOMPARE(heads, QList<QByteArray>({"\x89P", "\x89P", "\x89P", "BM", "BM"}));
        QCOMPARE(QImage(dir.filePath("shot.png")).pixel(widgetAt(0, 0)) | 0xFF000000u, Red);
        // A file that cannot be written: a warning says why, and nothing is left.
        const QString bad = dir.filePath("missing/shot.png");
        dialogs.answer(bad, png);
        FrameCapture::capture(m_view.get(), m_view.get(), QString());
        QCOMPARE(dialogs.last("warning")->title + ": " + dialogs.last("warning")->text,
                 "Capture: Unable to save " + bad + "\nNo such file or directory");
        QVERIFY(!QFile::exists(bad));
    }

    void sameFrameAsTheView_data()
    {
        QTest::addColumn<int>("scale"); // the view's setScale argument
        QTest::addColumn<bool>("invisible");
        QTest::addColumn<bool>("clip");
        QTest::addColumn<QPoint>("centre");
        QTest::newRow("scale 1") << 1 << true << false << QPoint(0, 0);
        QTest::newRow("scale 1, scrolled") << 1 << true << false << QPoint(3, -2);
        QTest::newRow("scale 1, invisible hidden, clipped") << 1 << false << true << QPoint(0, 0);
        QTest::newRow("scale 3/4") << 2 << true << false << QPoint(0, 0);
        QTest::newRow("scale 1/2, clipped") << 4 << true << true << QPoint(1, 1);
    }

    // The CPU renderer draws the picture the view draws.
    void sameFrameAsTheView()
    {
        QFETCH(int, scale);
        QFETCH(bool, invisible);
        QFETCH(bool, clip);
        QFETCH(QPoint, centre);
        TexMgr textures(&m_cpu.art, &m_cpu.hues);
        Facet model(m_cpu.data);
        // Overlapping tiles of every size, stacked, hued, partly hued, invisible, raised.
        QRandomGenerator rng(7);
        for (int n = 0; n < 120; ++n) {
            const int id = 100 + int(rng.bounded(7));
            const int x = int(rng.bounded(-5, 6)), y = int(rng.bounded(-5, 6));
            const int z = int(rng.bounded(-10, 30));
            const int hue = rng.bounded(4) == 0 ? int(rng.bounded(1, 8)) : 0;
            model.addTile(x, y, m_cpu.tile(Art, id, x, y, z, hue, rng.bounded(6) == 0 ? 0 : 1));
        }
        model.addTile(0, 0, m_cpu.tile(Art, 1, 0, 0)); // a no-draw id
        model.addTile(2, 2, m_cpu.tile(Terrain, 106, 2, 2));

        GLWidget view(&m_cpu.art, m_cpu.data, &model, &textures);
        view.resize(W, H);
        view.setScale(scale);
        view.gotoPoint(centre);
        view.viewInvisible(invisible);
        view.setMinAlt(0);
        view.setMaxAlt(15);
        view.setAltCheck(clip);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        const QImage gl = view.grabFramebuffer();
        QCOMPARE(gl.size(), QSize(W, H));

        SceneRenderer renderer(&m_cpu.art, &m_cpu.hues);
        SceneRenderer::Options o;
        o.scale = view.scale();
        o.showInvisible = invisible;
        if (clip) {
            o.minAltitude = 0;
            o.maxAltitude = 15;
        }
        o.background = QColor(Qt::lightGray);
        const QImage cpu = renderer.renderView(model, o, QSize(W, H), centre);

        const Difference d = compare(gl, cpu);
        QCOMPARE(scale == 1 ? d.count : d.offEdge, 0); // scaled: only where colours meet
        // Not an empty scene compared with an empty frame.
        QImage empty(W, H, QImage::Format_ARGB32);
        empty.fill(Qt::lightGray);
        QVERIFY(compare(cpu, empty).count > W * H / 20);
    }

private:
    void newView()
    {
        m_view = std::make_unique<GLWidget>(&m_va.art, m_data, m_model.get(), m_tex.get());
        m_view->resize(W, H);
        m_view->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
    }

    void add(int kind, int id, int x, int y, int z, int visible = 1)
    {
        QVERIFY(m_model->addTile(x, y, m_va.tile(kind, id, x, y, z, 0, visible)));
    }

    // The pixel under a scene point (scale 1), from a new paint or the last one.
    QRgb pixel(int sx, int sy, bool paint = true)
    {
        if (paint)
            m_frame = m_view->grabFramebuffer();
        return m_frame.pixel(widgetAt(sx, sy)) | 0xFF000000u;
    }

    ViewArt m_va, m_cpu;
    TileData &m_data = m_va.data;
    std::unique_ptr<TexMgr> &m_tex = m_va.textures;
    std::unique_ptr<Facet> m_model;
    std::unique_ptr<GLWidget> m_view;
    QImage m_frame;
};

QTEST_MAIN(TestRender)
#include "test_render.moc"
