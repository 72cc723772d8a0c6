// The user palette written and read back as it was; a failed write keeps the old file.
#include "FileBytes.h"
#include "FileSizeLimit.h"
#include "data/UserPalette.h"

#include <QTemporaryDir>
#include <QTest>

namespace {
using Category = PaletteXml::Category;
using Pieces = std::array<std::optional<quint16>, 3>;

Category category(const QString &name, const QList<qint32> &tiles, Pieces pieces = {}, const QList<Category> &children = {})
{
    return {name, tiles, children, std::nullopt, pieces};
}

// Every field, one line per category, indented by depth.
QStringList lines(const QList<Category> &categories, const QString &indent = QString())
{
    QStringList out;
    for (const Category &c : categories) {
        QStringList fields{indent + c.name};
        for (const qint32 t : c.tiles)
            fields << QString::number(t);
        for (const auto &p : c.pieces)
            fields << (p ? QString::number(*p) : "-");
        out << fields.join('|') << lines(c.children, indent + ' ');
    }
    return out;
}
} // namespace

class TestPaletteWrite : public QObject
{
    Q_OBJECT
private slots:
    void readBackAsWritten()
    {
        const QList<Category> art = {
            category("Walls & <Gates> \"old\" 'n'", {}, {},
                     {category("  Häuser ☃ two\nlines\tand tab ", {0, 65535, -1, 1536}, {0x600, 0x601, 0x602}),
                      category("Half marked", {7}, {7, std::nullopt, 9}, {category("Deep", {})})}),
            category("No Name", {3, 3})};
        const QList<Category> terrain = {category("Sand", {}, {}, {category("Dunes", {22, 23})})};
        const PaletteXml::Result back = PaletteXml::parse(PaletteXml::write(art, terrain));
        QVERIFY2(back.error.isEmpty(), qPrintable(back.error));
        QCOMPARE(lines(back.art), lines(art));
        QCOMPARE(lines(back.terrain), lines(terrain));
        // Walls only where all three pieces are named.
        QVERIFY(back.art[0].children[0].walls == WallSet({0x600, 0x601, 0x602}) && !back.art[0].children[1].walls);
        // XML carries no control characters: they are left out, the file stays readable.
        QCOMPARE(PaletteXml::parse(PaletteXml::write({category("bell\x07 ring", {1})}, {})).art[0].name,
                 QString("bell ring"));
    }

    void failedWriteKeepsTheOldFile()
    {
        QTemporaryDir dir;
        UserPalette store(QString(), dir.filePath("user/palette.xml"));
        QString notice, error;
        QVERIFY(store.save({category("Mine", {1})}, {}, &notice, &error));
        const QByteArray before = fileBytes(store.userPath());
        const FileSizeLimit limit(before.size() + 100);
        QVERIFY(!store.save({category("Mine", QList<qint32>(2000, 1536))}, {}, &notice, &error));
        QCOMPARE(error, QString::fromLocal8Bit(strerror(EFBIG)));
        QCOMPARE(fileBytes(store.userPath()), before);
    }
};

QTEST_MAIN(TestPaletteWrite)
#include "test_palette_write.moc"
