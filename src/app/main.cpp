#include "app/MainWindow.h"
#include "view/GLWidget.h"

#include <QApplication>
#include <QTimer>

#include <csignal>

int main(int argc, char *argv[])
{
    std::signal(SIGXFSZ, SIG_IGN); // a save past a file-size limit fails with a message instead
    GLWidget::prepareApplication();

    QApplication app(argc, argv);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/images/tilsen.png")));
    MainWindow window;
    QObject::connect(&app, &QApplication::lastWindowClosed, &app, &QApplication::quit);
    window.show();
    QTimer::singleShot(0, &window, &MainWindow::offerRecovery);
    return app.exec();
}
