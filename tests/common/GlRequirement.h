#pragma once

#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QString>
#include <QTest>

// Why this process cannot draw with GL, or an empty text when it can.
namespace GlRequirement {
inline QString missing()
{
    if (QGuiApplication::platformName() == QLatin1String("offscreen")
        || QGuiApplication::platformName() == QLatin1String("minimal"))
        return QStringLiteral("the %1 platform has no OpenGL (run under xvfb-run)")
            .arg(QGuiApplication::platformName());
    QOffscreenSurface surface;
    surface.create();
    QOpenGLContext context;
    if (!context.create() || !context.makeCurrent(&surface))
        return QStringLiteral("no OpenGL context can be made on this display");
    context.doneCurrent();
    return QString();
}

// Where the environment promises GL (scripts/test), its absence is a failure.
inline bool required() { return qEnvironmentVariableIntValue("TILSEN_REQUIRE_GL") != 0; }
} // namespace GlRequirement

// Skips the test function (a failure under TILSEN_REQUIRE_GL=1) when GL cannot work here.
#define TILSEN_NEED_GL()                                                                           \
    do {                                                                                           \
        const QString glMissing = GlRequirement::missing();                                        \
        if (!glMissing.isEmpty()) {                                                                \
            if (GlRequirement::required())                                                         \
                QFAIL(qPrintable(glMissing));                                                      \
            QSKIP(qPrintable(glMissing));                                                          \
        }                                                                                          \
    } while (false)
