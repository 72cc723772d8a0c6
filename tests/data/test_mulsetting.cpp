#include "ScriptedDialogs.h"
#include "data/MulSetting.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

namespace {
struct Row {
    const char *field;
    const char *button;
    const char *key;
    const char *caption;
};
const Row Rows[] = {
    {"lineArtMul", "pushArtMul", "ArtMul", "Select art.mul file"},
    {"lineArtIdx", "pushArtIdx", "ArtIdx", "Select artidx.mul file"},
    {"lineTiledata", "pushTiledata", "TileDataMul", "Select tiledata.mul file"},
    {"lineHues", "pushHues", "HuesMul", "Select hues.mul file"},
    {"lineMultiMul", "pushMultiMul", "MultiMul", "Select multi.mul file"},
    {"lineMultiIdx", "pushMultiIdx", "MultiIdx", "Select multi.idx file"},
    {"lineTexmaps", "pushTexmaps", "TexMapsMul", "Select texmaps.mul file"},
    {"lineTexidx", "pushTexidx", "TexIdx", "Select texidx.mul file"},
    {"lineRadar", "pushRadar", "RadarCol", "Select radarcol.mul file"},
    {"lineMapDir", "pushMapDir", "MapDir", "Select map directory"},
};
} // namespace

class TestMulSetting : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void formAndDefaults();
    void okStoresEveryField();
    void cancelStoresNothingButKeepsText();
    void browseButtons();

private:
    static QLineEdit *field(MulSetting &d, const char *name)
    {
        return d.findChild<QLineEdit *>(QLatin1String(name));
    }
    QTemporaryDir m_store;
};

void TestMulSetting::initTestCase()
{
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_store.filePath("user"));
    QSettings::setPath(QSettings::NativeFormat, QSettings::SystemScope, m_store.filePath("system"));
}

void TestMulSetting::init()
{
    QSettings("Brightmoor", "MulSettings").clear();
    QSettings("EA GAMES", "Ultima Online Samurai Empire").clear();
}

void TestMulSetting::formAndDefaults()
{
    QSettings("EA GAMES", "Ultima Online Samurai Empire").setValue("Install Dir", "/uo");
    QSettings("Brightmoor", "MulSettings").setValue("HuesMul", "/mine/hues.mul");
    MulSetting d;
    QCOMPARE(d.objectName(), QStringLiteral("MulDialog"));
    QCOMPARE(d.windowTitle(), QStringLiteral("MUL Settings"));
    QVERIFY(d.isModal());
    QVERIFY(!d.isVisible());
    QCOMPARE(d.artMul(), QStringLiteral("/uo/art.mul"));
    QCOMPARE(d.artIdx(), QStringLiteral("/uo/artidx.mul"));
    QCOMPARE(d.multiMul(), QStringLiteral("/uo/multi.mul"));
    QCOMPARE(d.multiIdx(), QStringLiteral("/uo/multi.idx"));
    QCOMPARE(d.huesMul(), QStringLiteral("/mine/hues.mul"));
    QCOMPARE(d.tileDataMul(), QStringLiteral("/uo/tiledata.mul"));
    QCOMPARE(d.texIdx(), QStringLiteral("/uo/texidx.mul"));
    QCOMPARE(d.texMapsMul(), QStringLiteral("/uo/texmaps.mul"));
    QCOMPARE(field(d, "lineRadar")->text(), QStringLiteral("/uo/radarcol.mul"));
    QCOMPARE(field(d, "lineMapDir")->text(), QStringLiteral("/uo"));
}

void TestMulSetting::okStoresEveryField()
{
    MulSetting d;
    for (const Row &r : Rows)
        field(d, r.field)->setText(QStringLiteral("/new/") + r.key);
    field(d, "lineTexidx")->clear();
    QSignalSpy accepted(&d, &QDialog::accepted);
    d.findChild<QPushButton *>("okButton")->click();
    QCOMPARE(accepted.count(), 1);
    QCOMPARE(d.result(), int(QDialog::Accepted));

    QSettings s("Brightmoor", "MulSettings");
    for (const Row &r : Rows) {
        QVERIFY2(s.contains(r.key), r.key);
        QCOMPARE(s.value(r.key).toString(),
                 QString(r.key) == "TexIdx" ? QString() : QStringLiteral("/new/") + r.key);
    }
    MulSetting again; // an empty value is replaced by its default at the next start
    QCOMPARE(again.texIdx(), QStringLiteral("/texidx.mul"));
    QCOMPARE(again.multiMul(), QStringLiteral("/new/MultiMul"));
}

void TestMulSetting::cancelStoresNothingButKeepsText()
{
    QSettings("Brightmoor", "MulSettings").setValue("MultiMul", "/old/multi.mul");
    MulSetting d;
    field(d, "lineMultiMul")->setText("/typed/multi.mul");
    QSignalSpy rejected(&d, &QDialog::rejected);
    d.findChild<QPushButton *>("cancelButton")->click();
    QCOMPARE(rejected.count(), 1);
    QCOMPARE(d.multiMul(), QStringLiteral("/typed/multi.mul"));
    QSettings s("Brightmoor", "MulSettings");
    QCOMPARE(s.allKeys(), QStringList{"MultiMul"});
    QCOMPARE(MulSetting().multiMul(), QStringLiteral("/old/multi.mul"));
}

void TestMulSetting::browseButtons()
{
    MulSetting d;
    ScriptedDialogs dialogs;
    for (const Row &r : Rows) {
        field(d, r.field)->setText(QStringLiteral("/start/") + r.key);
        dialogs.answer(QStringLiteral("/picked/") + r.key);
        dialogs.cancel();
    }
    const bool isDir[] = {false, false, false, false, false, false, false, false, false, true};
    int i = 0;
    for (const Row &r : Rows) {
        QPushButton *button = d.findChild<QPushButton *>(r.button);
        button->click();
        QCOMPARE(dialogs.calls.size(), 2 * i + 1); // one chooser per click
        const auto &call = dialogs.calls.last();
        QCOMPARE(call.kind, QString(isDir[i] ? "dir" : "open"));
        QCOMPARE(call.title, QString(r.caption));
        QCOMPARE(call.text, QStringLiteral("/start/") + r.key);
        if (!isDir[i])
            QCOMPARE(call.filter, QString());
        QCOMPARE(field(d, r.field)->text(), QStringLiteral("/picked/") + r.key);
        button->click(); // cancelled: unchanged
        QCOMPARE(field(d, r.field)->text(), QStringLiteral("/picked/") + r.key);
        ++i;
    }
    QVERIFY(QSettings("Brightmoor", "MulSettings").allKeys().isEmpty());
    QCOMPARE(d.texMapsMul(), QStringLiteral("/picked/TexMapsMul"));
    QCOMPARE(d.artMul(), QStringLiteral("/picked/ArtMul"));
}

QTEST_MAIN(TestMulSetting)
#include "test_mulsetting.moc"
