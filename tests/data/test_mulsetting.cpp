#include "FileBytes.h"
#include "ScriptedDialogs.h"
#include "data/DataLocations.h"
#include "data/WineRegistry.h"
#include "ui/MulSetting.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

namespace {
const char *const SE[] = {"EA GAMES", "Ultima Online Samurai Empire", "Install Dir"};
const char *const AoS[] = {"EA GAMES", "Ultima Online AoS", "Install Dir"};
const char *const TD[] = {"Origin Worlds Online", "Ultima Online Third Dawn", "1.0/ExePath"};
const char *const UO[] = {"Origin Worlds Online", "Ultima Online", "1.0/ExePath"};

void plant(const char *const entry[3], const QString &value) { QSettings(entry[0], entry[1]).setValue(entry[2], value); }

QString valueOf(const QString &key)
{
    return DataLocations::load().value(DataLocations::readOrder().indexOf(key));
}

// The dialog's rows: widget names ("line" / "push" + name) and stored keys.
const QPair<const char *, const char *> Rows[] = {
    {"ArtMul", "ArtMul"},     {"ArtIdx", "ArtIdx"},       {"Tiledata", "TileDataMul"}, {"Hues", "HuesMul"},
    {"MultiMul", "MultiMul"}, {"MultiIdx", "MultiIdx"},   {"Texmaps", "TexMapsMul"},   {"Texidx", "TexIdx"},
    {"Radar", "RadarCol"},    {"MapDir", "MapDir"},       {"ArtUop", "ArtUop"},        {"MultiUop", "MultiUop"},
};

QLineEdit *field(MulSetting &d, const QString &name) { return d.findChild<QLineEdit *>("line" + name); }

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

class TestMulSetting : public QObject
{
    Q_OBJECT

    QTemporaryDir m_store;
    QTemporaryDir m_noWine; // an empty Wine prefix: no game found there
    QString bundledPath() const { return QCoreApplication::applicationDirPath() + "/sample-data"; }

private slots:
    void initTestCase()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_store.filePath("user"));
        QSettings::setPath(QSettings::NativeFormat, QSettings::SystemScope, m_store.filePath("system"));
        QVERIFY(!QFileInfo::exists(bundledPath()));
        qputenv("WINEPREFIX", m_noWine.path().toUtf8());
    }
    void init()
    {
        for (const auto &app : {SE, AoS, TD, UO})
            QSettings(app[0], app[1]).clear();
        QSettings("Brightmoor", "MulSettings").clear();
    }

    void installDirectoryPrecedence()
    {
        QCOMPARE(DataLocations::gameDirectory(), QString());
        QCOMPARE(std::pair(valueOf("ArtIdx"), valueOf("MapDir")), std::pair(QString("/artidx.mul"), QString()));
        QVERIFY(QDir().mkpath(bundledPath())); // the bundled data beside the program comes last
        const QString bundled = DataLocations::gameDirectory();
        plant(UO, "/games//uo/"); // the client's path: normalised, then a backslash
        const QString withRegistry = DataLocations::gameDirectory();
        QDir(bundledPath()).removeRecursively();
        QCOMPARE(bundled, bundledPath());
        QCOMPARE(withRegistry, QStringLiteral("/games//uo\\"));
        QCOMPARE(valueOf("HuesMul"), QStringLiteral("/games//uo\\/hues.mul"));
        plant(TD, "/td");
        QCOMPARE(DataLocations::gameDirectory(), QStringLiteral("/td\\"));
        plant(AoS, "/aos");
        QCOMPARE(DataLocations::gameDirectory(), QStringLiteral("/aos"));
        plant(SE, "/se");
        QCOMPARE(std::pair(valueOf("ArtMul"), valueOf("MapDir")), std::pair(QString("/se/art.mul"), QString("/se")));
    }

    void namesMatchedWithoutCase()
    {
        QTemporaryDir game;
        for (const char *name : {"ARTIDX.MUL", "Multi.idx", "art.mul", "ART.MUL"})
            QFile(game.filePath(name)).open(QIODevice::WriteOnly);
        plant(SE, game.path());
        QCOMPARE(valueOf("ArtIdx"), game.filePath("ARTIDX.MUL"));
        QCOMPARE(valueOf("MultiIdx"), game.filePath("Multi.idx"));
        QCOMPARE(valueOf("ArtMul"), game.filePath("art.mul"));   // the exact name wins
        QCOMPARE(valueOf("HuesMul"), game.filePath("hues.mul")); // absent: plain name
    }

    void everyRowBrowsesStoresAndReloadsItsOwnKey()
    {
        MulSetting d;
        ScriptedDialogs dialogs;
        for (const auto &[name, key] : Rows) {
            field(d, name)->setText(QStringLiteral("/start/") + key);
            dialogs.answer(QStringLiteral("/picked/") + key);
            dialogs.cancel();
            QPushButton *browse = d.findChild<QPushButton *>(QStringLiteral("push") + name);
            browse->click();
            browse->click(); // cancelled: unchanged
            const ScriptedDialogs::Call &call = dialogs.calls[dialogs.calls.size() - 2];
            QCOMPARE(call.kind, QString(key == QLatin1String("MapDir") ? "dir" : "open"));
            QCOMPARE(call.text, QStringLiteral("/start/") + key); // starts at the current value
            QCOMPARE(field(d, name)->text(), QStringLiteral("/picked/") + key);
        }
        field(d, "Texidx")->clear();
        d.findChild<QPushButton *>("okButton")->click();
        QSettings s("Brightmoor", "MulSettings");
        for (const auto &[name, key] : Rows)
            QCOMPARE(s.value(key, "absent").toString(), key == QLatin1String("TexIdx") ? "" : QStringLiteral("/picked/") + key);

        MulSetting again; // an empty value is replaced by its default at the next start
        for (const auto &[name, key] : Rows)
            QCOMPARE(field(again, name)->text(), key == QLatin1String("TexIdx") ? "/texidx.mul" : QStringLiteral("/picked/") + key);
    }

    // Cancel cancels: the typed text is gone from the fields and from what the
    // program reads, and a later OK does not store it.
    void cancelPutsBackWhatIsStored_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Cancel button") << "button";
        QTest::newRow("Escape key") << "escape";
    }
    void cancelPutsBackWhatIsStored()
    {
        QFETCH(QString, how);
        QSettings("Brightmoor", "MulSettings").setValue("MultiMul", "/old/multi.mul");
        MulSetting d;
        const QString storedUop = d.multiUop();
        for (int run = 0; run < 2; ++run) {
            d.show();
            QVERIFY(QTest::qWaitForWindowExposed(&d));
            for (const char *name : {"MultiMul", "MultiUop"}) {
                field(d, name)->selectAll();
                QTest::keyClicks(field(d, name), "/typed/file");
            }
            QCOMPARE(d.multiMul(), QStringLiteral("/typed/file"));
            if (how == "button")
                d.findChild<QPushButton *>("cancelButton")->click();
            else
                QTest::keyClick(&d, Qt::Key_Escape);
            QVERIFY(!d.isVisible());
            QCOMPARE(field(d, "MultiMul")->text(), QStringLiteral("/old/multi.mul"));
            QCOMPARE(d.multiMul(), QStringLiteral("/old/multi.mul"));
            QCOMPARE(d.multiUop(), storedUop);
            QCOMPARE(QSettings("Brightmoor", "MulSettings").allKeys(), QStringList{"MultiMul"});
        }
        d.show();
        d.findChild<QPushButton *>("okButton")->click();
        QCOMPARE(QSettings("Brightmoor", "MulSettings").value("MultiMul").toString(), QStringLiteral("/old/multi.mul"));
        // What OK stored is what a later Cancel goes back to.
        d.show();
        field(d, "MultiMul")->setText("/kept/multi.mul");
        d.findChild<QPushButton *>("okButton")->click();
        d.show();
        field(d, "MultiMul")->setText("/dropped/multi.mul");
        d.findChild<QPushButton *>("cancelButton")->click();
        QCOMPARE(d.multiMul(), QStringLiteral("/kept/multi.mul"));
        QCOMPARE(MulSetting().multiMul(), QStringLiteral("/kept/multi.mul"));
    }

    // Wine prefixes: the registry files as Wine writes them, drives mapped through dosdevices.
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

QTEST_MAIN(TestMulSetting)
#include "test_mulsetting.moc"
