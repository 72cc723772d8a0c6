// The text formats as a user meets them (the component list, CSV and server
// addon scripts): files on disk read back and compared byte for byte, damaged
// files answered with line numbers.
#include "FileBytes.h"
#include "MlToolRun.h"
#include "MultiPair.h"
#include "data/AddonScript.h"
#include "data/ComponentList.h"
#include "data/CsvFile.h"
#include "data/MultiCollection.h"
#include "data/TileData.h"

#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {
void save(const QString &path, const QByteArray &bytes) { QVERIFY(writeFileBytes(path, bytes)); }

// Three templates; a named part, odd spacing, a count line with extra words.
const QByteArray Sample = "6 version\n"
                          "1 template id\n"
                          "-1 item version\n"
                          "2 num components\n"
                          "100 0 0 0 1\n"
                          "4012   -1 2 5 0 Brazier of the keep\n"
                          "\n"
                          "3 template id\n"
                          "-1 item version\n"
                          "3 num components (walls)\n"
                          "9 1 1 0 1\n"
                          "9 1 1 0 1\n"
                          "10 -2 3 -7 0 Secret door\n"
                          "7 template id\n"
                          "-1 item version\n"
                          "0 num components\n";

TileRecord tile(int id, int x, int y, int z, int visible)
{
    static const TileData none;
    return MultiPair::tile(none, quint16(id), x, y, qint16(z), qint16(visible));
}

// id x y z visible of every tile, location by location in key order.
QList<QList<int>> flat(const TileMap &map)
{
    QList<QList<int>> out;
    for (const TileRecord &t : tilesInKeyOrder(map))
        out.append({t.id, t.x, t.y, t.z, t.visible, t.kind, t.hue});
    return out;
}
const QString Scripts = QStringLiteral(TILSEN_SOURCE_DIR "/tests/data/addon-scripts/");

// "id x y z hue" of every tile, sorted; every tile must be a visible art tile.
QStringList scriptTiles(const TileMap &map)
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

QString runProgram(const QString &program, const QStringList &args, const QString &dir)
{
    QProcess p;
    p.setWorkingDirectory(dir);
    p.start(program, args);
    if (!p.waitForFinished(300000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return QStringLiteral("FAILED: ") + p.readAllStandardError() + p.readAllStandardOutput();
    return QString::fromUtf8(p.readAllStandardOutput());
}
} // namespace

class TestTextFormats : public QObject
{
    Q_OBJECT
private slots:
    void listReadsTemplates()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("multi.txt");
        save(path, Sample);
        auto store = MultiCollection::forPaths({path});
        QVERIFY(store);
        QVERIFY2(store->open(), qPrintable(store->errorString()));
        const QVector<MultiCollection::Entry> e = store->entries();
        QCOMPARE(e.size(), 3);
        QCOMPARE(QList<int>({e[0].number, e[0].tileCount, e[1].number, e[1].tileCount, e[2].number,
                             e[2].tileCount}),
                 QList<int>({1, 2, 3, 3, 7, 0}));
        QCOMPARE(store->firstFreeEntry(), 0);
        TileMap tiles;
        QVERIFY(store->readEntry(3, m_data, tiles));
        QCOMPARE(flat(tiles), (QList<QList<int>>{{9, 1, 1, 0, 1, Art, 0}, {9, 1, 1, 0, 1, Art, 0},
                                                  {10, -2, 3, -7, 0, Art, 0}}));
        QVERIFY(!store->readEntry(2, m_data, tiles));
        QVERIFY(store->errorString().contains("no template 2"));
    }

    void listWritesBack_data()
    {
        QTest::addColumn<QByteArray>("before"); // empty: no file yet
        QTest::addColumn<int>("number");
        QTest::addColumn<QList<QList<int>>>("tiles"); // id x y z visible
        QTest::addColumn<QByteArray>("after");

        const QList<QList<int>> template1{{100, 0, 0, 0, 1}, {4012, -1, 2, 5, 0}};
        QTest::newRow("unchanged template, names kept") << Sample << 1 << template1 << Sample;
        QTest::newRow("CRLF file unchanged")
            << QByteArray(Sample).replace("\n", "\r\n") << 1 << template1
            << QByteArray(Sample).replace("\n", "\r\n");

        QByteArray edited = Sample;
        edited.replace("3 num components (walls)\n9 1 1 0 1\n9 1 1 0 1\n10 -2 3 -7 0 Secret door\n",
                       "2 num components (walls)\n10 -2 3 -7 0 Secret door\n11 0 0 3 1\n");
        QTest::newRow("a doubled tile gone, one added")
            << Sample << 3 << QList<QList<int>>{{11, 0, 0, 3, 1}, {10, -2, 3, -7, 0}} << edited;
        // The editor holds one of equal tiles; the stored doubles stay as they were.
        QTest::newRow("doubles kept") << Sample << 3
                                      << QList<QList<int>>{{10, -2, 3, -7, 0}, {9, 1, 1, 0, 1}} << Sample;

        QByteArray shrunk = Sample;
        shrunk.replace("2 num components\n100 0 0 0 1\n4012   -1 2 5 0 Brazier of the keep\n",
                       "1 num components\n4012   -1 2 5 0 Brazier of the keep\n");
        QTest::newRow("count follows, name kept")
            << Sample << 1 << QList<QList<int>>{{4012, -1, 2, 5, 0}} << shrunk;

        QTest::newRow("appended")
            << Sample << 4 << QList<QList<int>>{{5, 1, -1, 2, 1}, {6, 0, 0, 0, 0}}
            << Sample + "4 template id\n-1 item version\n2 num components\n5 1 -1 2 1\n6 0 0 0 0\n";
        QTest::newRow("appended after a last line without ending")
            << QByteArray("6 version\n1 template id\n-1 item version\n1 num components\n9 0 0 0 1")
            << 2 << QList<QList<int>>{{5, 0, 0, 0, 1}}
            << QByteArray("6 version\n1 template id\n-1 item version\n1 num components\n9 0 0 0 1\n"
                          "2 template id\n-1 item version\n1 num components\n5 0 0 0 1\n");
        QTest::newRow("new file")
            << QByteArray() << 0 << QList<QList<int>>{{5, 1, 2, 3, 1}}
            << QByteArray("6 version\n0 template id\n-1 item version\n1 num components\n5 1 2 3 1\n");
    }

    void listWritesBack()
    {
        QFETCH(QByteArray, before);
        QFETCH(int, number);
        QFETCH(QList<QList<int>>, tiles);
        QFETCH(QByteArray, after);
        QTemporaryDir dir;
        const QString path = dir.filePath("multi.txt");
        if (!before.isEmpty())
            save(path, before);
        QList<TileRecord> records;
        for (const QList<int> &t : tiles)
            records.append(tile(t[0], t[1], t[2], t[3], t[4]));
        ComponentList store(path);
        QVERIFY2(store.exportEntry(number, records), qPrintable(store.errorString()));
        QCOMPARE(fileBytes(path), after);
    }

    void listRejectsDamage_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("error");
        QTest::newRow("empty") << QByteArray("") << "line 1: expected the version line";
        QTest::newRow("count past int") << QByteArray("6 version\n1 t\n-1 i\n99999999999 n\n")
                                        << "line 4: expected the component count of template 1";
        QTest::newRow("negative count") << QByteArray("6 version\n1 t\n-1 i\n-3 n\n")
                                        << "line 4: expected the component count";
        QTest::newRow("missing component lines")
            << QByteArray("6 version\n1 t\n-1 i\n3 n\n1 0 0 0 1\n2 0 0 0 1\n")
            << "line 4: template 1 announces 3 components, but only 2 lines follow";
        QTest::newRow("not a number") << QByteArray("6 version\n1 t\n-1 i\n1 n\n1 0 zero 0 1\n")
                                      << "line 5: expected";
        QTest::newRow("item id out of range") << QByteArray("6 version\n1 t\n-1 i\n1 n\n70000 0 0 0 1\n")
                                              << "line 5: expected";
        QTest::newRow("too few fields") << QByteArray("6 version\n1 t\n-1 i\n1 n\n1 0 0 0\n")
                                        << "line 5: expected";
        QTest::newRow("template not a number") << QByteArray("6 version\nhouse\n")
                                               << "line 2: expected a template number, found \"house\"";
    }

    void listRejectsDamage()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, error);
        ComponentList store(QStringLiteral("bad.txt"));
        QVERIFY(!store.parse(text));
        QVERIFY2(store.errorString().contains(error), qPrintable(store.errorString()));
        QVERIFY(store.errorString().startsWith("bad.txt: line "));
    }

    void damagedListIsNotRewritten()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("multi.txt");
        const QByteArray damaged = "6 version\n1 t\n-1 i\n5 n\n1 0 0 0 1\n";
        save(path, damaged);
        ComponentList store(path);
        QVERIFY(!store.exportEntry(2, {tile(1, 0, 0, 0, 1)}));
        QVERIFY2(store.errorString().contains("line 4") && store.errorString().contains("not changed"),
                 qPrintable(store.errorString()));
        QCOMPARE(fileBytes(path), damaged);
    }

    // Bytes flipped, cut and repeated at random: every outcome is a parse or a
    // line-numbered error, and what parses can be written back.
    void mangledInputNeverCrashes()
    {
        QRandomGenerator rng(11);
        const QByteArray csv = "kind,id,x,y,z,hue,visible\nart,1,2,3,4,5,1\nterrain,9,-1,-2,-3,0,0\n";
        for (int round = 0; round < 2000; ++round) {
            QByteArray text = round % 2 ? Sample : csv;
            const int edits = 1 + int(rng.bounded(4));
            for (int e = 0; e < edits && !text.isEmpty(); ++e) {
                const int at = int(rng.bounded(int(text.size())));
                switch (rng.bounded(3)) {
                case 0: text[at] = char(rng.bounded(256)); break;
                case 1: text.truncate(at); break;
                default: text.insert(at, text.mid(at, int(rng.bounded(20)))); break;
                }
            }
            ComponentList list(QStringLiteral("m.txt"));
            if (list.parse(text)) {
                for (const MultiCollection::Entry &entry : list.entries()) {
                    TileMap tiles;
                    QVERIFY(list.readEntry(entry.number, m_data, tiles));
                    QVERIFY(!list.rewritten(text, entry.number, tilesInKeyOrder(tiles)).isEmpty());
                }
            } else {
                QVERIFY2(list.errorString().startsWith("m.txt: line "), qPrintable(list.errorString()));
            }
            const CsvFile::ReadResult r = CsvFile::fromBytes(text, m_data);
            QVERIFY(r.ok || r.error.startsWith("line "));
        }
    }

    void csvRoundTrip()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("house.csv");
        TileRecord ground = tile(3, -1, 0, -5, 1);
        ground.kind = Terrain;
        TileRecord hued = tile(4012, 2, 7, 20, 0);
        hued.hue = 1153;
        QString error;
        QVERIFY(CsvFile::write(path, {ground, hued, tile(65535, -32768, 32767, 0, 1)}, &error));
        QCOMPARE(fileBytes(path), QByteArray("kind,id,x,y,z,hue,visible\n"
                                        "terrain,3,-1,0,-5,0,1\n"
                                        "art,4012,2,7,20,1153,0\n"
                                        "art,65535,-32768,32767,0,0,1\n"));
        const CsvFile::ReadResult r = CsvFile::read(path, m_data);
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(flat(r.tiles), (QList<QList<int>>{{3, -1, 0, -5, 1, Terrain, 0},
                                                   {4012, 2, 7, 20, 0, Art, 1153},
                                                   {65535, -32768, 32767, 0, 1, Art, 0}}));
        // As a spreadsheet saves it: CRLF, quotes, capitals, blank lines.
        const CsvFile::ReadResult sheet = CsvFile::fromBytes(
            "\"Kind\",\"Id\",X,Y,Z,Hue,Visible\r\n\r\n\"Art\", 12 ,1,2,3,0,1\r\n", m_data);
        QVERIFY2(sheet.ok, qPrintable(sheet.error));
        QCOMPARE(flat(sheet.tiles), (QList<QList<int>>{{12, 1, 2, 3, 1, Art, 0}}));
    }

    void csvRejectsDamage_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("error");
        const QByteArray h = "kind,id,x,y,z,hue,visible\n";
        QTest::newRow("empty") << QByteArray() << "line 1: expected the header";
        QTest::newRow("short line") << h + "art,1,0,0,0,0,1\nart,1,0,0\n" << "line 3: expected 7 fields, found 4";
        QTest::newRow("kind") << h + "static,1,0,0,0,0,1\n" << "line 2: bad kind";
        QTest::newRow("hex id") << h + "art,0x10,0,0,0,0,1\n" << "line 2: bad id";
        QTest::newRow("z") << h + "art,1,0,0,40000,0,1\n" << "line 2: bad z";
        QTest::newRow("hue") << h + "art,1,0,0,0,-1,1\n" << "line 2: bad hue";
        QTest::newRow("visible") << h + "\n\nart,1,0,0,0,0,yes\n" << "line 4: bad visible";
    }

    void csvRejectsDamage()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, error);
        const CsvFile::ReadResult r = CsvFile::fromBytes(text, m_data);
        QVERIFY(!r.ok);
        QVERIFY2(r.error.startsWith(error), qPrintable(r.error));
    }

    // Server addon scripts as a shard builder meets them: the project's test set
    // imported exactly with its warnings, bad scripts refused by line, written
    // scripts compiled by mcs against a stand-in of the server's API and run
    // under mono, and mltool's list and convert.
    void importsTestSet_data()
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

    void importsTestSet()
    {
        QFETCH(QString, file);
        QFETCH(QString, className);
        QFETCH(QString, tiles);
        QFETCH(QString, lines);
        QFETCH(int, leftOut);
        const AddonScript::Loaded loaded = AddonScript::read(Scripts + file, m_data, className);
        QVERIFY2(loaded.ok, qPrintable(loaded.error));
        QCOMPARE(scriptTiles(loaded.tiles), sortedSplit(tiles));
        const QString warnings = loaded.warnings.join(QLatin1Char('\n'));
        QCOMPARE(loaded.warnings.size(), int(!lines.isEmpty()) + int(leftOut > 0));
        QVERIFY2(lines.isEmpty() || warnings.contains(QStringLiteral("not imported: ") + lines), qPrintable(warnings));
        QVERIFY2(leftOut == 0 || warnings.contains(QStringLiteral("%1 component(s)").arg(leftOut)), qPrintable(warnings));
    }

    void refusesBadScripts_data()
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

    void refusesBadScripts()
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
    void compiledScriptsRebuildTheMulti()
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
                QCOMPARE(scriptTiles(back.tiles), scriptTiles(map));
                expected[options.className] = scriptTiles(map);
                sources << path;
            }
        }
        const QString exe = m_dir.filePath(QStringLiteral("addons.exe"));
        const QString compiled = runProgram(QStringLiteral("mcs"), QStringList{"-nologo", "-warnaserror+", "-out:" + exe} + sources, m_dir.path());
        QVERIFY2(!compiled.startsWith("FAILED"), qPrintable(compiled));
        const QStringList out = runProgram(QStringLiteral("mono"), {exe}, m_dir.path()).split('\n', Qt::SkipEmptyParts);
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

    void mltoolListsAndConverts()
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
        QCOMPARE(scriptTiles(AddonScript::read(cs, m_data).tiles), QStringList{"1202 0 0 0 0"});
        const MlToolRun missing = MlToolRun::of({"convert", "--class", "NoSuch", Scripts + "handwritten.cs", csv});
        QCOMPARE(missing.status, 1);
        QVERIFY2(missing.err.contains("no addon class \"NoSuch\" in the script (it has ShrineAddon, PlanterAddon)"), qPrintable(missing.err));
    }

    // A hue set under a condition makes its component unknown: left out, not imported plain.
    void conditionalSettingLeavesTheComponentOut()
    {
        const QString path = m_dir.filePath(QStringLiteral("conditional.cs"));
        writeFileBytes(path, "class A : BaseAddon {\npublic A() {\nAddonComponent ac = new AddonComponent(5);\n"
                             "if (Utility.RandomBool()) { ac.Hue = 3; }\nAddComponent(ac, 0, 0, 0);\n}}");
        const AddonScript::Loaded loaded = AddonScript::read(path, m_data);
        QVERIFY2(loaded.ok && loaded.tiles.isEmpty(), qPrintable(loaded.error));
        QVERIFY2(loaded.warnings.join('\n').contains("not imported: 5"), qPrintable(loaded.warnings.join('\n')));
    }

private:
    TileData m_data;
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestTextFormats)
#include "test_text_formats.moc"
