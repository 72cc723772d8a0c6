#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

// multi.xml, the editor's list of known multis, read into plain values
// without widgets: entry number -> name, and the "MultiVisible" setting.
class MultiNames
{
public:
    struct Result {
        QHash<qint32, QString> names;
        bool visible = false;
        // Empty when the file was read; otherwise why there are no names.
        QString error;
    };

    static Result parse(const QByteArray &bytes);
    static Result read(const QString &path);
    // The standard client's names: the multi.xml beside the executable, else the built-in copy.
    static QString applicationList();
    // The list naming a store's entries: a multi.xml (any case) beside the
    // store's first file wins over `fallback`; empty `fallback` means none.
    static QString listFor(const QStringList &storePaths, const QString &fallback);
    // The name of each entry as listFor's list gives it, "-" for one it does not name.
    static QString nameOf(const QHash<qint32, QString> &names, qint32 number);
    // "0x" or "0X" then hexadecimal, else decimal; anything else is 0.
    static qint32 parseIndex(const QString &text);
};
