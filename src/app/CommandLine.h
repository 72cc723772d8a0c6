#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The command line of `tilsen`: --help and --version are answered before the
// application object exists (they need no display); what Qt leaves after
// taking its own options (-platform, -style, ...) are the files to open.
class CommandLine
{
public:
    // The text to print and exit with for --help or --version (status 0); nothing
    // when the editor is to start.
    static std::optional<QString> earlyAnswer(const QStringList &arguments, const QString &version);
    static QString help();

    struct Files {
        QStringList paths; // absolute, in the order given
        QString error;     // an unknown option
    };
    // Arguments without the program name; "file:" URLs become local paths and
    // "--" ends the options.
    static Files files(const QStringList &arguments, const QString &currentDir);
};
