#include "data/DataLocations.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

namespace {
const char *const SE[] = {"EA GAMES", "Ultima Online Samurai Empire", "Install Dir"};
const char *const AoS[] = {"EA GAMES", "Ultima Online AoS", "Install Dir"};
const char *const TD[] = {"Origin Worlds Online", "Ultima Online Third Dawn", "1.0/ExePath"};
const char *const UO[] = {"Origin Worlds Online", "Ultima Online", "1.0/ExePath"};

void plant(const char *const entry[3], const QString &value,
           QSettings::Scope scope = QSettings::UserScope)
{
    QSettings s(scope, QString::fromLatin1(entry[0]), QString::fromLatin1(entry[1]));
    s.setValue(QString::fromLatin1(entry[2]), value);
}

QString valueOf(const QString &key)
{
    return DataLocations::load().value(DataLocations::readOrder().indexOf(key));
}
} // namespace

class TestDataLocations : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void defaultsWithoutAnyEntry();
    void registryPrecedence();
    void storedValuesOverrideTheirKeyOnly();
    void namesMatchedWithoutCase();
    void bundledDataBesideTheProgram();

private:
    QTemporaryDir m_store;
    QString bundledPath() const { return QCoreApplication::applicationDirPath() + "/sample-data"; }
};

void TestDataLocations::initTestCase()
{
    QVERIFY(m_store.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_store.filePath("user"));
    QSettings::setPath(QSettings::NativeFormat, QSettings::SystemScope, m_store.filePath("system"));
    QVERIFY(!QFileInfo::exists(bundledPath()));
}

void TestDataLocations::init()
{
    for (auto scope : {QSettings::UserScope, QSettings::SystemScope}) {
        for (const auto &app : {SE, AoS, TD, UO})
            QSettings(scope, app[0], app[1]).clear();
        QSettings(scope, "Brightmoor", "MulSettings").clear();
    }
}

void TestDataLocations::defaultsWithoutAnyEntry()
{
    QCOMPARE(DataLocations::gameDirectory(), QString());
    const QStringList v = DataLocations::load();
    QCOMPARE(v.size(), 10);
    QCOMPARE(valueOf("ArtIdx"), QStringLiteral("/artidx.mul"));
    QCOMPARE(valueOf("TexMapsMul"), QStringLiteral("/texmaps.mul"));
    QCOMPARE(valueOf("RadarCol"), QStringLiteral("/radarcol.mul"));
    QCOMPARE(valueOf("MapDir"), QString());
}

void TestDataLocations::registryPrecedence()
{
    plant(UO, "/games//uo/"); // the client's path: normalised, then a backslash
    QCOMPARE(DataLocations::gameDirectory(), QStringLiteral("/games//uo\\"));
    QCOMPARE(valueOf("HuesMul"), QStringLiteral("/games//uo\\/hues.mul"));
    plant(TD, "/td");
    QCOMPARE(DataLocations::gameDirectory(), QStringLiteral("/td\\"));
    plant(AoS, "/aos", QSettings::SystemScope); // machine-wide entries count too
    QCOMPARE(DataLocations::gameDirectory(), QStringLiteral("/aos"));
    plant(SE, "/se-system", QSettings::SystemScope);
    QCOMPARE(DataLocations::gameDirectory(), QStringLiteral("/se-system"));
    plant(SE, "/se"); // the user's entry first
    QCOMPARE(DataLocations::gameDirectory(), QStringLiteral("/se"));
    QCOMPARE(valueOf("ArtMul"), QStringLiteral("/se/art.mul"));
    QCOMPARE(valueOf("MapDir"), QStringLiteral("/se"));
}

void TestDataLocations::storedValuesOverrideTheirKeyOnly()
{
    QSettings("Brightmoor", "MulSettings").setValue("ArtMul", "/stored/art.mul");
    const QStringList v = DataLocations::load();
    const QStringList keys = DataLocations::readOrder();
    for (int i = 0; i < keys.size(); ++i) {
        const QString expect = keys[i] == "ArtMul" ? "/stored/art.mul"
                               : keys[i] == "MapDir" ? QString()
                                                     : DataLocations::defaultFor(keys[i], QString());
        QCOMPARE(v[i], expect);
    }
    // A value saved empty is stored, and gives the default again.
    QVERIFY(DataLocations::save({{"TexIdx", ""}, {"ArtMul", "/m/art.mul"}}));
    QVERIFY(QSettings("Brightmoor", "MulSettings").contains("TexIdx"));
    QCOMPARE(valueOf("TexIdx"), QStringLiteral("/texidx.mul"));
    QCOMPARE(valueOf("ArtMul"), QStringLiteral("/m/art.mul"));
}

void TestDataLocations::namesMatchedWithoutCase()
{
    QTemporaryDir game;
    for (const char *name : {"ARTIDX.MUL", "Multi.idx", "art.mul", "ART.MUL"})
        QFile(game.filePath(name)).open(QIODevice::WriteOnly);
    plant(SE, game.path());
    QCOMPARE(valueOf("ArtIdx"), game.filePath("ARTIDX.MUL"));
    QCOMPARE(valueOf("MultiIdx"), game.filePath("Multi.idx"));
    QCOMPARE(valueOf("ArtMul"), game.filePath("art.mul")); // the exact name wins
    QCOMPARE(valueOf("HuesMul"), game.filePath("hues.mul")); // absent: plain name
}

void TestDataLocations::bundledDataBesideTheProgram()
{
    QVERIFY(QDir().mkpath(bundledPath()));
    const QString dir = DataLocations::gameDirectory();
    plant(AoS, "/aos");
    const QString withRegistry = DataLocations::gameDirectory();
    QDir(bundledPath()).removeRecursively();
    QCOMPARE(dir, bundledPath());
    QCOMPARE(withRegistry, QStringLiteral("/aos"));
}

QTEST_GUILESS_MAIN(TestDataLocations)
#include "test_datalocations.moc"
