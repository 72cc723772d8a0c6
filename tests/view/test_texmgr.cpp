#include "view/GLWidget.h"
#include "TestArt.h"
#include "data/ArtReader.h"
#include "data/HueTable.h"
#include "view/TexMgr.h"

#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QSurfaceFormat>
#include <QtTest>

#include <GL/gl.h>

#include <memory>
#include <vector>

class TestTexMgr : public QObject
{
    Q_OBJECT
public:
    static void initMain()
    {
        GLWidget::prepareApplication();
    }

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();
    void sameKeySameTextureOtherVariantTranslucent();
    void hueIsPartOfTheKey();
    void badArtWarnsEveryTime();
    void cleanupDeletesTexturesButKeepsImages();
    void leastRecentImageFallsOut();
    void cleanupWithNoContextCurrent();
    void reloadForgetsImagesToo();

private:
    std::vector<quint32> readBack(quint32 texture, const TexInfo &info);

    std::unique_ptr<QOffscreenSurface> m_surface;
    std::unique_ptr<QOpenGLContext> m_context;
    ArtReader m_art;
    HueTable m_hues;
    std::unique_ptr<TexMgr> m_tex;
};

void TestTexMgr::initTestCase()
{
    if (QGuiApplication::platformName() == QLatin1String("offscreen")
        || !QOpenGLContext::globalShareContext())
        QSKIP("needs an X display with GL (xvfb-run)");
    QMap<int, QByteArray> art;
    art.insert(100, TestArt::solid(20, 100, TestArt::Red));
    for (int id = 200; id < 260; ++id)
        art.insert(id, TestArt::solid(2, 2, TestArt::White));
    QByteArray idx, mul;
    TestArt::build(art, idx, mul);
    m_art.loadFromBytes(idx, mul);
    m_hues.loadFromBytes(TestArt::hues(TestArt::Blue));
    m_surface = std::make_unique<QOffscreenSurface>();
    m_surface->create();
    m_context = std::make_unique<QOpenGLContext>();
    m_context->setShareContext(QOpenGLContext::globalShareContext());
    QVERIFY(m_context->create());
}

void TestTexMgr::init()
{
    QVERIFY(m_context->makeCurrent(m_surface.get()));
    m_tex = std::make_unique<TexMgr>(&m_art, &m_hues);
}

void TestTexMgr::cleanup()
{
    if (m_tex)
        m_tex->cleanup();
    m_tex.reset();
    if (m_context)
        m_context->doneCurrent();
}

void TestTexMgr::cleanupTestCase()
{
    m_context.reset();
    m_surface.reset();
}

std::vector<quint32> TestTexMgr::readBack(quint32 texture, const TexInfo &info)
{
    std::vector<quint32> pixels(size_t(info.texWidth) * info.texHeight);
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

void TestTexMgr::sameKeySameTextureOtherVariantTranslucent()
{
    const TexInfo a = m_tex->texture(100, 0, 0, false);
    const TexInfo b = m_tex->texture(100, 0, 0, false);
    QVERIFY(a.texture != 0);
    QCOMPARE(b.texture, a.texture);
    QCOMPARE(m_tex->uploads(), 1);
    QCOMPARE(a.texWidth, 32u);
    QCOMPARE(a.texHeight, 128u);
    QCOMPARE(a.imageWidth, 20u);
    QCOMPARE(a.imageHeight, 100u);

    const TexInfo t = m_tex->texture(100, 0, 0, true);
    QVERIFY(t.texture != 0 && t.texture != a.texture);
    QCOMPARE(m_tex->uploads(), 2);
    const auto opaque = readBack(a.texture, a);
    const auto translucent = readBack(t.texture, t);
    // Little-endian words: bytes R, G, B, A.
    QCOMPARE(opaque[0], 0xFF0000F8u);
    QCOMPARE(translucent[0], 0xC80000F8u);
    // Outside the image the block is transparent.
    QCOMPARE(opaque[25], 0u);
    QCOMPARE(opaque[size_t(110) * 32], 0u);
}

void TestTexMgr::hueIsPartOfTheKey()
{
    const TexInfo plain = m_tex->texture(100, 0, 0, false);
    const TexInfo hued = m_tex->texture(100, 5, 0, false);
    QVERIFY(hued.texture != plain.texture);
    QCOMPARE(m_tex->textureCount(false), 2);
    QCOMPARE(readBack(hued.texture, hued)[0], 0xFFF80000u); // blue
}

void TestTexMgr::badArtWarnsEveryTime()
{
    QTest::ignoreMessage(QtWarningMsg, "Bad Art id: 999");
    QTest::ignoreMessage(QtWarningMsg, "Bad Art id: 999");
    const TexInfo a = m_tex->texture(999, 0, 0, false);
    const TexInfo b = m_tex->texture(999, 0, 0, false);
    QCOMPARE(a.texture, 0u);
    QCOMPARE(a.texWidth, 0u);
    QCOMPARE(b.texture, 0u);
    QCOMPARE(m_tex->textureCount(false), 0);
    QCOMPARE(m_tex->uploads(), 0);
}

void TestTexMgr::cleanupDeletesTexturesButKeepsImages()
{
    const TexInfo a = m_tex->texture(100, 0, 0, false);
    m_tex->texture(100, 0, 0, true);
    QCOMPARE(m_tex->decodes(), 2);
    m_tex->cleanup();
    // cleanup() borrowed the share context: ours must be current again.
    QCOMPARE(QOpenGLContext::currentContext(), m_context.get());
    QCOMPARE(m_tex->textureCount(false), 0);
    QCOMPARE(m_tex->textureCount(true), 0);
    QVERIFY(!glIsTexture(a.texture));
    const TexInfo again = m_tex->texture(100, 0, 0, false);
    QVERIFY(again.texture != 0);
    QVERIFY(glIsTexture(again.texture));
    QCOMPARE(m_tex->uploads(), 3);
    QCOMPARE(m_tex->decodes(), 2); // the image was still cached
    QCOMPARE(readBack(again.texture, again)[0], 0xFF0000F8u);
}

// New data file locations: nothing made from the old art may be reused.
void TestTexMgr::reloadForgetsImagesToo()
{
    const TexInfo a = m_tex->texture(100, 0, 0, false);
    m_tex->reload();
    QCOMPARE(m_tex->textureCount(false), 0);
    QCOMPARE(m_tex->imageCount(false), 0);
    QVERIFY(!glIsTexture(a.texture));
    m_tex->texture(100, 0, 0, false);
    QCOMPARE(m_tex->decodes(), 2);
}

void TestTexMgr::leastRecentImageFallsOut()
{
    for (int id = 200; id < 251; ++id)
        m_tex->texture(quint16(id), 0, 0, false);
    QCOMPARE(m_tex->decodes(), 51);
    QCOMPARE(m_tex->imageCount(false), 50);
    m_tex->cleanup();
    m_tex->texture(250, 0, 0, false);
    QCOMPARE(m_tex->decodes(), 51);
    m_tex->texture(200, 0, 0, false);
    QCOMPARE(m_tex->decodes(), 52);
    // The other variant keeps its own cache.
    m_tex->texture(250, 0, 0, true);
    QCOMPARE(m_tex->decodes(), 53);
}

void TestTexMgr::cleanupWithNoContextCurrent()
{
    const TexInfo a = m_tex->texture(100, 0, 0, false);
    m_context->doneCurrent();
    m_tex->cleanup();
    QVERIFY(!QOpenGLContext::currentContext());
    QCOMPARE(m_tex->textureCount(false), 0);
    QVERIFY(m_context->makeCurrent(m_surface.get()));
    QVERIFY(!glIsTexture(a.texture));
}

QTEST_MAIN(TestTexMgr)
#include "test_texmgr.moc"

