#include "MlTool.h"

#include "TilsenVersion.h"

#include <QCoreApplication>

#include <csignal>

int main(int argc, char *argv[])
{
    // Past a file-size limit a write then fails with EFBIG and is reported, instead of killing us.
    std::signal(SIGXFSZ, SIG_IGN);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral(TILSEN_VERSION));
    QTextStream out(stdout);
    QTextStream err(stderr);
    MlTool tool(out, err);
    return tool.run(app.arguments().mid(1));
}
