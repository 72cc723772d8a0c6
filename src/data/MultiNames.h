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
    // "0x" or "0X" then hexadecimal, else decimal; anything else is 0.
    static qint32 parseIndex(const QString &text);
};
