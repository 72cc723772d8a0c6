#include "MlTool.h"

#include "TilsenVersion.h"

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral(TILSEN_VERSION));
    QTextStream out(stdout);
    QTextStream err(stderr);
    MlTool tool(out, err);
    return tool.run(app.arguments().mid(1));
}
