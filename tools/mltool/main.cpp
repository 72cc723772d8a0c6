#include "MlTool.h"

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    MlTool tool(out, err);
    return tool.run(app.arguments().mid(1));
}
