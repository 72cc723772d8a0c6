#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// palette.xml read into plain values, without widgets: the named, nested
// categories of the art and terrain trees with their tile numbers.
class PaletteXml
{
public:
    struct Category {
        QString name;
        QList<qint32> tiles;
        QList<Category> children;
    };
    struct Result {
        QList<Category> art;
        QList<Category> terrain;
        // Empty when the file was read; otherwise why the trees stay empty.
        QString error;
    };

    static Result parse(const QByteArray &bytes);
    static Result read(const QString &path);
};
