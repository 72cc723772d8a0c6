// palette.xml groups that name their wall pieces for the hollow rectangle.
#include "data/PaletteXml.h"

#include <QTest>

class TestPaletteWalls : public QObject
{
    Q_OBJECT
private slots:
    void wallAttributes_data()
    {
        QTest::addColumn<QString>("attributes");
        QTest::addColumn<QString>("expected"); // "corner alongx alongy", or empty for none
        QTest::newRow("decimal") << R"(corner="100" alongx="101" alongy="102")" << "100 101 102";
        QTest::newRow("hex") << R"(corner="0x0064" alongx="0X65" alongy=" 0x66 ")" << "100 101 102";
        QTest::newRow("none") << QString() << QString();
        QTest::newRow("one missing") << R"(corner="100" alongx="101")" << QString();
        QTest::newRow("not a number") << R"(corner="wall" alongx="101" alongy="102")" << QString();
        QTest::newRow("beyond the ids") << R"(corner="65536" alongx="101" alongy="102")" << QString();
        QTest::newRow("negative") << R"(corner="-1" alongx="101" alongy="102")" << QString();
        QTest::newRow("largest id") << R"(corner="65535" alongx="0" alongy="0xFFFF")" << "65535 0 65535";
    }

    void wallAttributes()
    {
        QFETCH(QString, attributes);
        QFETCH(QString, expected);
        const QByteArray xml = QStringLiteral(
            "<palette><tilesets><statics><tileset name=\"Walls\"><group name=\"Stone\" %1>"
            "<tile>100</tile></group></tileset></statics></tilesets></palette>")
                                   .arg(attributes)
                                   .toUtf8();
        const PaletteXml::Result r = PaletteXml::parse(xml);
        QVERIFY(r.error.isEmpty());
        QCOMPARE(r.art.size(), 1);
        QVERIFY(!r.art.first().walls); // the outer category names none
        QCOMPARE(r.art.first().children.size(), 1);
        const auto walls = r.art.first().children.first().walls;
        const QString got = walls ? QStringLiteral("%1 %2 %3").arg(walls->corner).arg(walls->alongX).arg(walls->alongY)
                                  : QString();
        QCOMPARE(got, expected);
        QCOMPARE(r.art.first().children.first().tiles, QList<qint32>{100});
    }
};

QTEST_MAIN(TestPaletteWalls)
#include "test_palette_walls.moc"
