// mltool replace as a real process: the tiles of the file it writes, and
// bad arguments refused before anything is written.
#include "FileBytes.h"
#include "MlToolRun.h"
#include "TileKeys.h"
#include "data/FileFormats.h"
#include "model/NoTileInfo.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestMlToolReplace : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    QString path(const char *name) const { return m_dir.filePath(QLatin1String(name)); }

private slots:
    void replacesFromScriptToCsv()
    {
        QVERIFY(writeFileBytes(path("in.cs"), "class A : BaseAddon { A() {\n"
                                              "AddComponent(new AddonComponent(5), 0, 0, 0);\n"
                                              "AddComplexComponent(this, 5, 1, -2, 20, 33, -1);\n"
                                              "AddComponent(new AddonComponent(7), 0, 0, 10); } }"));
        const MlToolRun run = MlToolRun::of({"replace", path("in.cs"), path("out.csv"), "5=0x600", "7=5"});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.out, QStringLiteral("3 tiles replaced\n"));
        QCOMPARE(tileKeys(FileFormats::read(path("out.csv"), NoTileInfo()).tiles),
                 (QStringList{"1536:0:0:0:0:1:1", "1536:1:-2:20:33:1:1", "5:0:0:10:0:1:1"}));
    }

    void refusesBadArguments_data()
    {
        QTest::addColumn<QStringList>("pairs");
        QTest::newRow("no pair") << QStringList{};
        QTest::newRow("no '='") << QStringList{"5"};
        QTest::newRow("id too large") << QStringList{"5=65536"};
        QTest::newRow("negative id") << QStringList{"-5=6"};
        QTest::newRow("not a number") << QStringList{"0xG=6"};
        QTest::newRow("two replacements for one id") << QStringList{"5=6", "5=7"};
    }
    void refusesBadArguments()
    {
        QFETCH(QStringList, pairs);
        const MlToolRun run = MlToolRun::of(QStringList{"replace", path("in.cs"), path("bad.csv")} + pairs);
        QCOMPARE(run.status, 2);
        QVERIFY2(run.err.startsWith("mltool: "), qPrintable(run.err));
        QVERIFY(!QFile::exists(path("bad.csv")));
    }
};

QTEST_GUILESS_MAIN(TestMlToolReplace)
#include "test_mltool_replace.moc"
