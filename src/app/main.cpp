#include "app/MainWindow.h"
#include "view/GLWidget.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    GLWidget::prepareApplication();

    QApplication app(argc, argv);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/images/tilsen.png")));
    MainWindow window;
    QObject::connect(&app, &QApplication::lastWindowClosed, &app, &QApplication::quit);
    window.show();
    return app.exec();
}
