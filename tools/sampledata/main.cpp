#include "SampleDataSet.h"

#include <QCoreApplication>
#include <QTextStream>

// tilsen-sampledata <data folder> <xml folder>
int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        err << "usage: tilsen-sampledata <data folder> <xml folder>\n";
        return 2;
    }
    QString error;
    if (!SampleDataSet::write(args.at(1), args.at(2), &error)) {
        err << "tilsen-sampledata: " << error << "\n";
        return 1;
    }
    return 0;
}
