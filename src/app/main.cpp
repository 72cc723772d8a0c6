#include "app/MainWindow.h"
#include "view/GLWidget.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char *argv[])
{
    GLWidget::prepareApplication();

    QApplication app(argc, argv);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/images/tilsen.png")));
    MainWindow window;
    QObject::connect(&app, &QApplication::lastWindowClosed, &app, &QApplication::quit);
    window.show();
    QTimer::singleShot(0, &window, &MainWindow::offerRecovery);
    return app.exec();
}
