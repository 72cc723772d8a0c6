// Server addon scripts as a shard builder meets them: the project's test set
// imported exactly with its warnings, bad scripts refused by line, written
// scripts compiled by mcs against a stand-in of the server's API and run
// under mono, and mltool's list and convert.
#include "FileBytes.h"
#include "MlToolRun.h"
#include "data/AddonScript.h"
#include "data/TileData.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

namespace {
const QString Scripts = QStringLiteral(TILSEN_SOURCE_DIR "/tests/data/addon-scripts/");

// "id x y z hue" of every tile, sorted; every tile must be a visible art tile.
QStringList flat(const TileMap &map)
{
    QStringList out;
    for (const QList<TileRecord> &list : map)
        for (const TileRecord &t : list)
            out << (t.visible == 1 && t.kind == Art ? QStringLiteral("%1 %2 %3 %4 %5").arg(t.id).arg(t.x).arg(t.y).arg(t.z).arg(t.hue)
                                                    : QStringLiteral("not a visible art tile"));
    out.sort();
    return out;
}

QStringList sortedSplit(const QString &text)
{
    QStringList out = text.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    out.sort();
    return out;
}

QString run(const QString &program, const QStringList &args, const QString &dir)
{
    QProcess p;
    p.setWorkingDirectory(dir);
    p.start(program, args);
    if (!p.waitForFinished(300000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return QStringLiteral("FAILED: ") + p.readAllStandardError() + p.readAllStandardOutput();
    return QString::fromUtf8(p.readAllStandardOutput());
}
} // namespace

class TestAddonScript : public QObject
{
    Q_OBJECT
private slots:
    void importsTestSet_data();
    void importsTestSet();
    void refusesBadScripts_data();
    void refusesBadScripts();
    void compiledScriptsRebuildTheMulti();
    void mltoolListsAndConverts();
    void conditionalSettingLeavesTheComponentOut();

private:
    TileData m_data;
    QTemporaryDir m_dir;
};

void TestAddonScript::importsTestSet_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("tiles");
    QTest::addColumn<QString>("lines");
    QTest::addColumn<int>("leftOut");
    auto row = [](const char *name, const char *file, const char *className, const char *tiles, const char *lines,
                  int leftOut) {
        QTest::newRow(name) << QString(file) << QString(className) << QString(tiles) << QString(lines) << leftOut;
    };
    row("generator table, 4 columns, hued complex components", "generated4.cs", "",
        "1801 0 0 0 0;1808 -1 2 5 0;1802 3 -4 20 0;4012 1 1 0 1153;2842 -2 0 7 1153", "", 1);
    row("5 columns, a second table, names and amounts", "generated5.cs", "WellAddon",
        "3347 0 0 0 0;3348 1 0 0 0;3366 0 1 0 0;6039 0 0 1 90;2416 0 0 5 0;3153 1 1 0 0", "", 2);
    row("hand-written literal lines and non-literal ones", "handwritten.cs", "",
        "7955 0 0 0 0;7955 -1 -1 -3 0;7956 1 6 5 0;2575 1 0 10 33;2576 0 1 10 0;2577 2 2 0 0",
        "22, 23, 25, 26, 28, 31", 1);
    row("second class of the file", "handwritten.cs", "PlanterAddon", "1202 0 0 0 0", "", 0);
}

void TestAddonScript::importsTestSet()
{
    QFETCH(QString, file);
    QFETCH(QString, className);
    QFETCH(QString, tiles);
    QFETCH(QString, lines);
    QFETCH(int, leftOut);
    const AddonScript::Loaded loaded = AddonScript::read(Scripts + file, m_data, className);
    QVERIFY2(loaded.ok, qPrintable(loaded.error));
    QCOMPARE(flat(loaded.tiles), sortedSplit(tiles));
    const QString warnings = loaded.warnings.join(QLatin1Char('\n'));
    QCOMPARE(loaded.warnings.size(), int(!lines.isEmpty()) + int(leftOut > 0));
    QVERIFY2(lines.isEmpty() || warnings.contains(QStringLiteral("not imported: ") + lines), qPrintable(warnings));
    QVERIFY2(leftOut == 0 || warnings.contains(QStringLiteral("%1 component(s)").arg(leftOut)), qPrintable(warnings));
}

void TestAddonScript::refusesBadScripts_data()
{
    QTest::addColumn<QByteArray>("script");
    QTest::addColumn<QString>("error");
    auto row = [](const char *name, const QByteArray &script, const char *error) {
        QTest::newRow(name) << script << QString(error);
    };
    const QByteArray head = "class A : BaseAddon {\npublic A() {\n";
    row("unclosed brace", head + "AddComponent(new AddonComponent(1), 0, 0, 0);\n}\n", "line 1: '{' is never closed");
    row("brace closing nothing", head + "}\n}\n}\n", "line 5: '}' closes nothing");
    row("id out of range", head + "AddComponent(new AddonComponent(70000), 0, 0, 0);\n}}", "line 3: item id 70000");
    row("x outside the area", head + "AddComponent(new AddonComponent(1), 250, 0, 0);\n}}", "line 3: x offset 250");
    row("z out of range", head + "\nAddComplexComponent(this, 1, 0, 0, -129, 0, -1);\n}}", "line 4: z offset -129");
    row("huge hex id in a table", "class A : BaseAddon {\nint[,] t = {\n{0xFFFFFFFFFFFFFFFFFF, 0, 0, 0}};\n"
                                                "A() { for (;;) AddComponent(new AddonComponent(t[i,0]), t[i,1], t[i,2], t[i,3]); }}", "line 3: item id (too large)");
    row("string never closed", head + "Name = \"open\n}}", "line 3: a string is never closed");
    row("no addon class", QByteArray("class A : Item { }"), "no addon class");
    row("blocks nested too deeply", "class A : BaseAddon {" + QByteArray(5000, '{') + QByteArray(5001, '}'), "line 1: blocks are nested too deeply");
    row("over 16 MiB", QByteArray(), "larger than 16 MiB");
}

void TestAddonScript::refusesBadScripts()
{
    QFETCH(QByteArray, script);
    QFETCH(QString, error);
    const QString path = m_dir.filePath(QStringLiteral("bad.cs"));
    writeFileBytes(path, script);
    if (script.isEmpty())
        QVERIFY(QFile::resize(path, AddonScript::MaxFileSize + 1));
    const AddonScript::Loaded loaded = AddonScript::read(path, m_data);
    QVERIFY(!loaded.ok);
    QVERIFY2(loaded.error.startsWith(path + QStringLiteral(": ")) && loaded.error.contains(error), qPrintable(loaded.error));
}

// Multis of 1, 500 and 5,000 tiles with and without hues, an invisible anchor
// and a terrain tile among them, written and compiled in one mcs run.
void TestAddonScript::compiledScriptsRebuildTheMulti()
{
    QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("mcs")).isEmpty()
                 && !QStandardPaths::findExecutable(QStringLiteral("mono")).isEmpty(),
             "mcs and mono are needed (Debian: mono-mcs, mono-runtime)");
    QRandomGenerator rng(27);
    QMap<QString, QStringList> expected;
    QStringList sources = {QStringLiteral(TILSEN_SOURCE_DIR "/tests/data/addon-api/ServerStandIn.cs"),
                           QStringLiteral(TILSEN_SOURCE_DIR "/tests/data/addon-api/AddonDriver.cs")};
    const QString deed = QStringLiteral("Keep \"of\" C:\\ \u00dcnic\u00f8de\u2028{0}");
    for (const int size : {1, 500, 5000}) {
        for (const bool hued : {false, true}) {
            QList<TileRecord> tiles;
            TileMap map;
            for (int n = 0; n < size + 2; ++n) {
                TileRecord t;
                t.kind = n == size + 1 ? Terrain : Art;
                t.visible = n == size ? 0 : 1;
                t.id = quint16(rng.bounded(0x10000));
                t.x = int(rng.bounded(400)) - 200;
                t.y = int(rng.bounded(400)) - 200;
                t.z = qint16(int(rng.bounded(256)) - 128);
                t.hue = qint16(hued && n % 3 ? rng.bounded(1, 32768) : 0);
                tiles.append(t);
                if (n < size)
                    map[0].append(t);
            }
            const QString path = m_dir.filePath(QStringLiteral("%1 tiles%2.cs").arg(size).arg(hued ? " hued" : ""));
            AddonScript::WriteOptions options = AddonScript::optionsFor(path);
            options.deedName = deed;
            QStringList notes;
            QVERIFY(AddonScript::write(path, tiles, options, nullptr, &notes));
            QCOMPARE(notes.size(), 2);
            const AddonScript::Loaded back = AddonScript::read(path, m_data);
            QVERIFY2(back.ok && back.warnings.isEmpty(), qPrintable(back.error + back.warnings.join(' ')));
            QCOMPARE(flat(back.tiles), flat(map));
            expected[options.className] = flat(map);
            sources << path;
        }
    }
    const QString exe = m_dir.filePath(QStringLiteral("addons.exe"));
    const QString compiled = run(QStringLiteral("mcs"), QStringList{"-nologo", "-warnaserror+", "-out:" + exe} + sources, m_dir.path());
    QVERIFY2(!compiled.startsWith("FAILED"), qPrintable(compiled));
    const QStringList out = run(QStringLiteral("mono"), {exe}, m_dir.path()).split('\n', Qt::SkipEmptyParts);
    QMap<QString, QStringList> built;
    QString current;
    for (const QString &line : out) {
        const QStringList f = line.split(' ');
        if (f.value(0) == QLatin1String("addon")) {
            current = f.value(1);
            QCOMPARE(QString::fromUtf8(QByteArray::fromBase64(f.value(2).toLatin1())), deed);
        } else {
            built[current] << line;
        }
    }
    for (QStringList &list : built)
        list.sort();
    QCOMPARE(built.keys(), expected.keys());
    QVERIFY(built == expected);
}

void TestAddonScript::mltoolListsAndConverts()
{
    const MlToolRun listed = MlToolRun::of({"list", Scripts + "handwritten.cs"});
    QCOMPARE(listed.status, 0);
    QCOMPARE(listed.out, QStringLiteral("class components left-out unevaluated-lines\n"
                                        "ShrineAddon 6 1 22,23,25,26,28,31\nPlanterAddon 1 0 -\n2 addon classes\n"));
    const QString csv = m_dir.filePath("planter.csv");
    QCOMPARE(MlToolRun::of({"convert", "--class", "PlanterAddon", Scripts + "handwritten.cs", csv}).status, 0);
    QCOMPARE(fileBytes(csv), QByteArray("kind,id,x,y,z,hue,visible\nart,1202,0,0,0,0,1\n"));
    // Through a component list and back into a script with its deed named.
    const QString list = m_dir.filePath("list.txt"), cs = m_dir.filePath("again.cs");
    QCOMPARE(MlToolRun::of({"convert", csv, list}).out, QStringLiteral("stored as template 0\n"));
    QCOMPARE(MlToolRun::of({"convert", list, cs, "--deed-name", "Planter"}).status, 0);
    QVERIFY(fileBytes(cs).contains("Name = \"Planter\";"));
    QCOMPARE(flat(AddonScript::read(cs, m_data).tiles), QStringList{"1202 0 0 0 0"});
    const MlToolRun missing = MlToolRun::of({"convert", "--class", "NoSuch", Scripts + "handwritten.cs", csv});
    QCOMPARE(missing.status, 1);
    QVERIFY2(missing.err.contains("no addon class \"NoSuch\" in the script (it has ShrineAddon, PlanterAddon)"), qPrintable(missing.err));
}

// A hue set under a condition makes its component unknown: left out, not imported plain.
void TestAddonScript::conditionalSettingLeavesTheComponentOut()
{
    const QString path = m_dir.filePath(QStringLiteral("conditional.cs"));
    writeFileBytes(path, "class A : BaseAddon {\npublic A() {\nAddonComponent ac = new AddonComponent(5);\n"
                         "if (Utility.RandomBool()) { ac.Hue = 3; }\nAddComponent(ac, 0, 0, 0);\n}}");
    const AddonScript::Loaded loaded = AddonScript::read(path, m_data);
    QVERIFY2(loaded.ok && loaded.tiles.isEmpty(), qPrintable(loaded.error));
    QVERIFY2(loaded.warnings.join('\n').contains("not imported: 5"), qPrintable(loaded.warnings.join('\n')));
}

QTEST_GUILESS_MAIN(TestAddonScript)
#include "test_addon_script.moc"
