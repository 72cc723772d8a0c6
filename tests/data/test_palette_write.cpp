// The user palette written and read back: what the reader takes in again,
// and the old file kept whole when a write fails.
#include "FileBytes.h"
#include "FileSizeLimit.h"
#include "data/UserPalette.h"

#include <QTemporaryDir>
#include <QTest>

namespace {
using Category = PaletteXml::Category;

Category category(const QString &name, const QList<qint32> &tiles,
                  std::array<std::optional<quint16>, 3> pieces = {}, const QList<Category> &children = {})
{
    Category c{name, tiles, children, PaletteXml::wallSet(pieces), pieces};
    return c;
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
        fields << (c.walls ? "walls" : "none");
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
            category("Walls & <Gates> \"old\" 'n'", {},  {}, {
                category("  Häuser ☃ two\nlines\tand tab ", {0, 65535, -1, 1536}, {0x600, 0x601, 0x602}),
                category("Half marked", {7}, {std::nullopt, 9, std::nullopt}, {category("Deep", {}, {})})}),
            category("No Name", {3, 3})};
        const QList<Category> terrain = {category("Sand", {}, {}, {category("Dunes", {22, 23})})};
        const PaletteXml::Result back = PaletteXml::parse(PaletteXml::write(art, terrain));
        QVERIFY2(back.error.isEmpty(), qPrintable(back.error));
        QCOMPARE(lines(back.art), lines(art));
        QCOMPARE(lines(back.terrain), lines(terrain));
        QVERIFY(back.art[0].children[0].walls && !back.art[0].children[1].walls);
        // XML carries no control characters: they are left out, the file stays readable.
        QCOMPARE(PaletteXml::parse(PaletteXml::write({category("bell\x07 ring", {1})}, {})).art[0].name,
                 QString("bell ring"));
    }

    void failedWriteKeepsTheOldFile()
    {
        QTemporaryDir dir;
        UserPalette store(dir.filePath("bundled.xml"), dir.filePath("user/palette.xml"));
        QString notice, error;
        QVERIFY(store.save({category("Mine", {1})}, {}, &notice, &error));
        const QByteArray before = fileBytes(store.userPath());
        const QList<qint32> many(2000, 1536);
        {
            FileSizeLimit limit(before.size() + 100);
            QVERIFY(!store.save({category("Mine", many)}, {}, &notice, &error));
        }
        QCOMPARE(error, QString::fromLocal8Bit(strerror(EFBIG)));
        QCOMPARE(fileBytes(store.userPath()), before);
        QVERIFY(store.reset(&notice, &error) && !QFile::exists(store.userPath()));
    }
};

QTEST_MAIN(TestPaletteWrite)
#include "test_palette_write.moc"
