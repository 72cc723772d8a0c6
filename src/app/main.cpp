#include "app/MainWindow.h"

#include <QApplication>
#include <QSurfaceFormat>

int main(int argc, char *argv[])
{
    // Every view shares one texture set through the global share context.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QSurfaceFormat format;
    format.setVersion(2, 1);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    QSurfaceFormat::setDefaultFormat(format);

    QApplication app(argc, argv);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/images/tilsen.png")));
    MainWindow window;
    QObject::connect(&app, &QApplication::lastWindowClosed, &app, &QApplication::quit);
    window.show();
    return app.exec();
}
