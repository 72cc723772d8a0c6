// The CPU renderer against the OpenGL view: the same scene in a real view and
// in the renderer must give the same picture.
#include "TestArt.h"
#include "ViewArt.h"
#include "model/TileInfo.h"
#include "scene/SceneRenderer.h"
#include "view/GLWidget.h"

#include <QRandomGenerator>
#include <QTest>

#include <memory>

namespace {
constexpr int W = 440;
constexpr int H = 330;

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

class TestCpuRender : public GlTest
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        TILSEN_NEED_GL();
        // Odd and even sizes, one wider than a texture class, a single pixel.
        const QSize sizes[] = {{44, 80}, {45, 73}, {20, 100}, {1, 1}, {70, 33}, {130, 60}, {44, 44}};
        QMap<int, QImage> art;
        for (int i = 0; i < int(std::size(sizes)); ++i)
            art.insert(100 + i, blocky(sizes[i].width(), sizes[i].height(), quint32(i + 1)));
        art.insert(1, TestArt::solid(44, 44, qRgb(255, 0, 0))); // never drawn: no-draw id
        m_va.load(art);
        // Hue colours that follow the red field, so the hue rule shows.
        QVector<MulWriter::Hue> hues(8);
        for (int h = 0; h < hues.size(); ++h)
            for (int i = 0; i < 32; ++i)
                hues[h].colours.append(quint16((i << 5) | (h * 4)));
        m_va.hues.loadFromBytes(MulWriter::hues(hues));
        TileInfo partial;
        partial.flags = TileFlags::PartialHue;
        m_data.setStaticInfo(104, partial);
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

    void sameFrameAsTheView()
    {
        QFETCH(int, scale);
        QFETCH(bool, invisible);
        QFETCH(bool, clip);
        QFETCH(QPoint, centre);
        TexMgr textures(&m_va.art, &m_va.hues);
        Facet model(m_data);
        // Overlapping tiles of every size, stacked, hued, partly hued, invisible, raised.
        QRandomGenerator rng(7);
        for (int n = 0; n < 120; ++n) {
            const int id = 100 + int(rng.bounded(7));
            const int x = int(rng.bounded(-5, 6)), y = int(rng.bounded(-5, 6));
            const int z = int(rng.bounded(-10, 30));
            const int hue = rng.bounded(4) == 0 ? int(rng.bounded(1, 8)) : 0;
            model.addTile(x, y, m_va.tile(Art, id, x, y, z, hue, rng.bounded(6) == 0 ? 0 : 1));
        }
        model.addTile(0, 0, m_va.tile(Art, 1, 0, 0)); // a no-draw id
        model.addTile(2, 2, m_va.tile(Terrain, 106, 2, 2));

        GLWidget view(&m_va.art, m_data, &model, &textures);
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

        SceneRenderer renderer(&m_va.art, &m_va.hues);
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
        if (scale == 1) {
            QCOMPARE(d.count, 0);
        } else {
            QCOMPARE(d.offEdge, 0);
        }
        // Not an empty scene compared with an empty frame.
        int covered = 0;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                covered += (cpu.pixel(x, y) & 0xFFFFFFu) != (QColor(Qt::lightGray).rgb() & 0xFFFFFFu);
        QVERIFY2(covered > W * H / 20, qPrintable(QString::number(covered)));
    }

private:
    ViewArt m_va;
    TileData &m_data = m_va.data;
};

QTEST_MAIN(TestCpuRender)
#include "test_cpu_render.moc"
