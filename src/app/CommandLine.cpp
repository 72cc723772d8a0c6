#include "app/CommandLine.h"

#include "data/FileFormats.h"

#include <QCoreApplication>
#include <QDir>
#include <QUrl>

namespace {
QString tr(const char *text)
{
    return QCoreApplication::translate("CommandLine", text);
}
} // namespace

std::optional<QString> CommandLine::earlyAnswer(const QStringList &arguments, const QString &version)
{
    for (const QString &a : arguments) {
        if (a == QLatin1String("--"))
            break;
        if (a == QLatin1String("--help") || a == QLatin1String("-h"))
            return help();
        if (a == QLatin1String("--version") || a == QLatin1String("-v"))
            return QStringLiteral("tilsen %1\n").arg(version);
    }
    return std::nullopt;
}

QString CommandLine::help()
{
    return tr("Usage: tilsen [OPTION]... [FILE]...\n"
              "Tilsen Multi Editor: build and edit Ultima Online multis tile by tile.\n"
              "Opens each FILE (%1) in a document of its own.\n"
              "\n"
              "  -h, --help     show this help and exit\n"
              "  -v, --version  show the version and exit\n"
              "  --             what follows is a file, even when it starts with -\n"
              "Qt's own options (-platform NAME, -style NAME, ...) are accepted as well.\n"
              "See tilsen(1).\n")
        .arg(FileFormats::suffixList());
}

CommandLine::Files CommandLine::files(const QStringList &arguments, const QString &currentDir)
{
    Files out;
    const QDir dir(currentDir);
    bool options = true;
    for (const QString &a : arguments) {
        if (options && a == QLatin1String("--")) {
            options = false;
        } else if (options && a.startsWith(QLatin1Char('-')) && a.size() > 1) {
            out.error = tr("tilsen: unknown option \"%1\" (try tilsen --help)").arg(a);
            return out;
        } else if (a.startsWith(QLatin1String("file:"))) {
            out.paths << QUrl(a).toLocalFile();
        } else {
            out.paths << QDir::cleanPath(dir.absoluteFilePath(a));
        }
    }
    return out;
}
