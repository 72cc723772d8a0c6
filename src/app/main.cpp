#include "app/CommandLine.h"
#include "app/MainWindow.h"
#include "view/GLWidget.h"

#include "TilsenVersion.h"

#include <QApplication>
#include <QDir>
#include <QTextStream>
#include <QTimer>

#include <csignal>
#include <cstdio>

int main(int argc, char *argv[])
{
    std::signal(SIGXFSZ, SIG_IGN); // a save past a file-size limit fails with a message instead
    QStringList given;
    for (int i = 1; i < argc; ++i)
        given << QString::fromLocal8Bit(argv[i]);
    if (const std::optional<QString> answer = CommandLine::earlyAnswer(given, QStringLiteral(TILSEN_VERSION))) {
        QTextStream(stdout) << *answer;
        return 0;
    }
    GLWidget::prepareApplication();

    QApplication app(argc, argv);
    QApplication::setApplicationVersion(QStringLiteral(TILSEN_VERSION));
    // Ties the windows to tilsen.desktop (its icon in task bars).
    QGuiApplication::setDesktopFileName(QStringLiteral("tilsen"));
    QIcon icon;
    for (const char *size : {"16", "32", "64", "256"})
        icon.addFile(QStringLiteral(":/images/tilsen-%1.png").arg(QLatin1String(size)));
    QApplication::setWindowIcon(icon);
    const CommandLine::Files files = CommandLine::files(app.arguments().mid(1), QDir::currentPath());
    if (!files.error.isEmpty()) {
        QTextStream(stderr) << files.error << '\n';
        return 2;
    }
    MainWindow window;
    QObject::connect(&app, &QApplication::lastWindowClosed, &app, &QApplication::quit);
    window.show();
    QTimer::singleShot(0, &window, [&window, paths = files.paths] {
        for (const QString &path : paths)
            window.openFile(path);
        window.offerRecovery();
    });
    return app.exec();
}
