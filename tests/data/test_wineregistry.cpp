#include "FileBytes.h"
#include "data/DataLocations.h"
#include "data/WineRegistry.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A fake Wine prefix: registry files, dosdevices links and folders on disk.
struct Prefix {
    QTemporaryDir dir;
    QString path() const { return dir.path(); }
    void file(const QString &name, const QByteArray &bytes = "x") const
    {
        QDir().mkpath(QFileInfo(dir.filePath(name)).path());
        writeFileBytes(dir.filePath(name), bytes);
    }
    void folder(const QString &name) const { QDir().mkpath(dir.filePath(name)); }
    void link(const QString &name, const QString &target) const
    {
        folder(QFileInfo(name).path());
        QFile::link(target, dir.filePath(name));
    }
    // The game's data, with names in the case some installers use.
    void game(const QString &folder) const
    {
        file(folder + "/TileData.mul");
        file(folder + "/artLegacyMUL.uop");
    }
    // C: and D: mapped as Wine maps them.
    void drives() const
    {
        link("dosdevices/c:", "../drive_c");
        link("dosdevices/d:", dir.filePath("games"));
    }
    QString canonical(const QString &name) const { return QFileInfo(dir.filePath(name)).canonicalFilePath(); }
};

QByteArray reg(const QByteArray &body) { return "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win32\n" + body; }

} // namespace

class TestWineRegistry : public QObject
{
    Q_OBJECT

    QTemporaryDir m_store;

private slots:
    void initTestCase()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_store.filePath("user"));
        QSettings::setPath(QSettings::NativeFormat, QSettings::SystemScope, m_store.filePath("system"));
    }

    void readsValuesAsWineWritesThem()
    {
        WineRegistry r;
        QVERIFY(r.parse(reg("[Software\\\\EA GAMES\\\\Ultima Online AoS] 1703000000\n"
                            "#time=1d9f\n"
                            "\"Install Dir\"=\"C:\\\\Games\\\\UO \\\"AoS\\\"\"\n"
                            "\"Build\"=dword:0000002a\n"
                            "\"Blob\"=hex:01,02,\\\n  03,04\n"
                            "\"Expand\"=str(2):\"%ProgramFiles%\"\n"
                            "@=\"default text\"\n"
                            "\"Accent\"=\"caf\\xe9\"\n"
                            "\n[Software\\\\Other]\n\"Install Dir\"=\"elsewhere\"\n")));
        QCOMPARE(r.value("software\\ea games\\ULTIMA ONLINE AOS", "install dir").value_or("<none>"),
                 QStringLiteral("C:\\Games\\UO \"AoS\""));
        QCOMPARE(r.value("Software\\EA GAMES\\Ultima Online AoS", "").value_or("<none>"), QStringLiteral("default text"));
        QCOMPARE(r.value("Software\\EA GAMES\\Ultima Online AoS", "Accent").value_or("<none>"), QString::fromUtf8("caf\xc3\xa9"));
        for (const char *skipped : {"Build", "Blob", "Expand", "03,04"})
            QVERIFY(!r.value("Software\\EA GAMES\\Ultima Online AoS", skipped));
        QCOMPARE(r.value("Software\\Other", "Install Dir").value_or("<none>"), QStringLiteral("elsewhere"));
        QVERIFY(!WineRegistry().parse("REGEDIT4\n[Software\\\\X]\n\"a\"=\"b\"\n"));
        // Damaged lines are skipped, not misread.
        QVERIFY(r.parse(reg("[Software\\\\K]\n\"open=\"never closed\n\"a\"=\"b\n\"c\"=\"d\"\n[unclosed\n\"e\"=\"f\"\n")));
        QCOMPARE(r.value("Software\\K", "c").value_or("<none>"), QStringLiteral("d"));
        QVERIFY(!r.value("Software\\K", "a"));
    }

    void findsTheGameInAPrefix_data()
    {
        QTest::addColumn<QString>("userReg");
        QTest::addColumn<QString>("systemReg");
        QTest::addColumn<QString>("expected"); // folder inside the prefix, "" for none
        const QString classic = "[Software\\\\Wow6432Node\\\\Electronic Arts\\\\EA Games\\\\Ultima Online Classic] 1\n"
                                "\"InstallDir\"=\"C:\\\\Program Files (x86)\\\\Electronic Arts\\\\Ultima Online Classic\\\\\"\n";
        QTest::newRow("today's installer, other case on disk")
            << "" << classic << "drive_c/program files (x86)/electronic arts/ULTIMA ONLINE CLASSIC";
        QTest::newRow("user keys before machine keys")
            << "[Software\\\\Electronic Arts\\\\EA Games\\\\Ultima Online Classic]\n\"InstallDir\"=\"d:\\\\uo\"\n" << classic << "games/UO";
        QTest::newRow("older key before today's")
            << "" << classic + "[Software\\\\EA GAMES\\\\Ultima Online AoS]\n\"Install Dir\"=\"C:/uo aos\"\n" << "drive_c/UO AoS";
        QTest::newRow("ExePath names the client")
            << "" << "[Software\\\\Origin Worlds Online\\\\Ultima Online\\\\1.0]\n\"ExePath\"=\"C:\\\\UO AoS\\\\client.exe\"\n"
            << "drive_c/UO AoS";
        QTest::newRow("key names a missing folder: scan")
            << "" << "[Software\\\\EA GAMES\\\\Ultima Online AoS]\n\"Install Dir\"=\"C:\\\\gone\"\n"
            << "drive_c/Program Files/EA/UO Scanned";
        QTest::newRow("no keys: scan") << "" << "" << "drive_c/Program Files/EA/UO Scanned";
        QTest::newRow("not registry files") << "garbage" << "REGEDIT4\n" + classic << "drive_c/Program Files/EA/UO Scanned";
    }
    void findsTheGameInAPrefix()
    {
        QFETCH(QString, userReg);
        QFETCH(QString, systemReg);
        QFETCH(QString, expected);
        Prefix p;
        p.drives();
        p.game("drive_c/program files (x86)/electronic arts/ULTIMA ONLINE CLASSIC");
        p.game("games/UO");
        p.game("drive_c/UO AoS");
        p.file("drive_c/UO AoS/client.exe");
        p.file("drive_c/Program Files/EA/Not The Game/tiledata.mul"); // no art: not the game
        p.game("drive_c/Program Files/EA/UO Scanned");
        const auto withHeader = [](const QString &text) {
            return text.isEmpty() || !text.startsWith('[') ? text.toUtf8() : reg(text.toUtf8());
        };
        if (!userReg.isNull())
            p.file("user.reg", withHeader(userReg));
        p.file("system.reg", systemReg.startsWith("REGEDIT4") ? systemReg.toUtf8() : withHeader(systemReg));
        QCOMPARE(WineRegistry::gameDirectory(p.path()), p.canonical(expected));
    }

    // The scan looks three folders below Program Files, no deeper.
    void scanStopsAtItsDepth()
    {
        Prefix p;
        p.file("system.reg", "");
        p.game("drive_c/Program Files/a/b/c/UO");
        QCOMPARE(WineRegistry::gameDirectory(p.path()), QString());
        p.game("drive_c/Program Files/a/b/UO");
        QCOMPARE(WineRegistry::gameDirectory(p.path()), p.canonical("drive_c/Program Files/a/b/UO"));
    }

    void mapsWindowsPathsThroughDosdevices_data()
    {
        QTest::addColumn<QString>("windows");
        QTest::addColumn<QString>("expected");
        QTest::newRow("drive c") << "C:\\Program Files\\EA" << "drive_c/Program Files/EA";
        QTest::newRow("any case, forward slashes") << "c:/PROGRAM FILES/ea/" << "drive_c/Program Files/EA";
        QTest::newRow("other drive") << "D:\\UO" << "games/UO";
        QTest::newRow("missing component") << "C:\\Program Files\\none" << "";
        QTest::newRow("unmapped drive") << "E:\\UO" << "";
        QTest::newRow("no drive") << "\\Program Files" << "";
        QTest::newRow("climbing out") << "C:\\..\\..\\etc" << "";
    }
    void mapsWindowsPathsThroughDosdevices()
    {
        QFETCH(QString, windows);
        QFETCH(QString, expected);
        Prefix p;
        p.drives();
        p.folder("drive_c/Program Files/EA");
        p.folder("games/UO");
        QCOMPARE(WineRegistry::toLinuxPath(p.path(), windows), expected.isEmpty() ? QString() : p.canonical(expected));
    }

    // With no registry entries in the settings store, the editor's defaults come
    // from $WINEPREFIX, else from ~/.wine.
    void defaultsComeFromWine()
    {
        Prefix home;
        home.link(".wine/dosdevices/c:", "../drive_c");
        home.game(".wine/drive_c/Program Files/UO Home");
        Prefix named;
        named.game("drive_c/Program Files (x86)/UO Named");
        const QByteArray oldHome = qgetenv("HOME");
        qputenv("HOME", home.path().toUtf8());
        qunsetenv("WINEPREFIX");
        const QString fromHome = DataLocations::gameDirectory();
        const QString tiles = DataLocations::defaultFor("TileDataMul", fromHome);
        const QString art = DataLocations::defaultFor("ArtUop", fromHome);
        qputenv("WINEPREFIX", named.path().toUtf8());
        const QString fromNamed = DataLocations::gameDirectory();
        QSettings("EA GAMES", "Ultima Online AoS").setValue("Install Dir", "/registry/wins");
        const QString fromSettings = DataLocations::gameDirectory();
        QSettings("EA GAMES", "Ultima Online AoS").clear();
        qputenv("HOME", oldHome);
        qunsetenv("WINEPREFIX");
        QCOMPARE(fromHome, home.canonical(".wine/drive_c/Program Files/UO Home"));
        QCOMPARE(tiles, fromHome + "/TileData.mul");
        QCOMPARE(art, fromHome + "/artLegacyMUL.uop");
        QCOMPARE(fromNamed, named.canonical("drive_c/Program Files (x86)/UO Named"));
        QCOMPARE(fromSettings, QStringLiteral("/registry/wins"));
    }
};

QTEST_GUILESS_MAIN(TestWineRegistry)
#include "test_wineregistry.moc"
