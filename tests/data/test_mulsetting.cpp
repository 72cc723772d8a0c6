#include "ScriptedDialogs.h"
#include "data/DataLocations.h"
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
};

QTEST_MAIN(TestMulSetting)
#include "test_mulsetting.moc"
