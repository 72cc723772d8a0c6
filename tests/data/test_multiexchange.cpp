#include "FileBytes.h"
#include "MultiPair.h"
#include "MulWriter.h"
#include "ScriptedDialogs.h"
#include "SolidImage.h"
#include "UopBytes.h"
#include "app/MultiExchange.h"
#include "data/DataLocations.h"
#include "data/MultiCollection.h"
#include "data/MultiFile.h"
#include "data/NameHash.h"
#include "data/WineRegistry.h"
#include "scene/ScenePreviewer.h"
#include "ui/MulSetting.h"
#include "ui/MultiDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSemaphore>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace UopBytes;

namespace {
quint64 multiHash(int id) { return NameHash::ofName(QString::asprintf("build/multicollection/%06d.bin", id)); }
constexpr quint64 Housing = 0x126D1E99DDEDEE0AULL;

// Holds every preview until the test lets it go, and counts what it was asked.
class HeldPreviewer : public EntryPreviewer
{
public:
    HeldPreviewer(QSemaphore &entered, QSemaphore &gate, QList<int> &asked)
        : m_entered(entered), m_gate(gate), m_asked(asked) {}
    EntryPreview preview(int number) override
    {
        m_entered.release();
        m_gate.acquire();
        m_asked.append(number); // read by the test only after the gate
        EntryPreview p;
        p.valid = true;
        p.tileCount = number;
        return p;
    }

private:
    QSemaphore &m_entered;
    QSemaphore &m_gate;
    QList<int> &m_asked;
};
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

// The data side's dialogs, answered by script: the chooser, import and export
// on a multi.idx / multi.mul pair and on a container, and the settings that
// name the data files.
class TestMultiExchange : public QObject
{
    Q_OBJECT

    TileData m_data;
    QTemporaryDir m_store;
    QTemporaryDir m_noWine; // an empty Wine prefix: no game found there
    QString bundledPath() const { return QCoreApplication::applicationDirPath() + "/sample-data"; }

    static MulWriter::IndexedFile pairFiles()
    {
        return MulWriter::multiFiles({{2, {{2, 0, 0, 0, 1}, {3, -3, 2, 5, 0}}}, {3, {{4, 1, 1, 1, 1}}}}, 4);
    }
    static QStringList items(const MultiDialog &d)
    {
        const auto *combo = d.findChild<QComboBox *>("comboBox");
        QStringList out;
        for (int i = 0; i < combo->count(); ++i)
            out << combo->itemText(i);
        return out;
    }

private slots:
    void chooserNamesEntriesFromTheList()
    {
        MultiPair pair;
        // Records 0, 1 (offset 0, length 0) and 100 to 107; the rest absent.
        QByteArray idx;
        for (int n = 0; n <= 107; ++n)
            MulWriter::putIndexRecord(idx, n, {n <= 1 || n >= 100 ? 0 : -1, n == 1 ? 0 : 12, 0});
        MultiPair::save(pair.idx, idx + QByteArray(7, '\0')); // a partial record is not listed
        const QString list = pair.dir.filePath("multi.xml");
        MultiPair::save(list, R"(<anything><multiset>
    <Multi Index="100">Hundred</Multi><Multi Index="0x65">Hex lower</Multi><Multi Index="0X66">Hex upper</Multi>
    <Multi Index="x67">Not a number</Multi><Multi Index="100">Second name</Multi><Multi Index="103"><b>bold</b></Multi>
    <Multi Index="104"/><group><Multi Index="105"> Deep </Multi></group></multiset>
  <Multi Index="106">Outside any set</Multi><x><MultiVisible> 1
</MultiVisible></x><MultiVisible>0</MultiVisible>
  <other><multiset><Multi Index="107"><![CDATA[Second set]]></Multi><Multi>No index</Multi></multiset></other></anything>)");
        MultiDialog d(pair.idx, list);
        QCOMPARE(items(d), QStringList({"Not a number", "1", "Hundred", "Hex lower", "Hex upper", "103", "104",
                                        " Deep ", "106", "Second set"}));
        QVERIFY(d.multiVisible()); // the first setting counts
        QCOMPARE(d.multiIndex(), 0);
        d.findChild<QComboBox *>("comboBox")->setCurrentIndex(7);
        QCOMPARE(d.multiIndex(), 105);

        MultiDialog empty(pair.dir.filePath("none.idx"), list);
        QVERIFY(items(empty).isEmpty());
        QCOMPARE(empty.multiIndex(), 0);
        MultiPair::save(list, "<r><MultiVisible>true</MultiVisible></r>"); // only the number 1 sets it
        QVERIFY(!MultiDialog(pair.idx, list).multiVisible());
    }

    // Four records of tile 1 at the centre read as well in 12 as in 16 bytes: no size, no export.
    void anUndecidedRecordSizeIsAsked()
    {
        MultiPair pair;
        pair.write(MulWriter::multiFiles({{0, {{1, 0, 0, 0, 1}, {1, 0, 0, 0, 1}, {1, 0, 0, 0, 1}, {1, 0, 0, 0, 1}}}}, 1));
        ScriptedDialogs dialogs;
        const QByteArray index = pair.index(), data = pair.data();
        Facet model(m_data);
        MultiPair::fill(model, {MultiPair::tile(m_data, 77, 2, 3, 4)});
        dialogs.cancel();
        QVERIFY(MultiExchange::exportMulti(nullptr, pair.idx, pair.mul, model, m_data).isEmpty());
        QCOMPARE(dialogs.last("item")->filter, QString("12|16"));
        QVERIFY(dialogs.last("item")->text.contains("12- and 16-byte records both give plausible tiles"));
        QCOMPARE(dialogs.count("int"), 0);
        QCOMPARE(std::pair(pair.index(), pair.data()), std::pair(index, data));
    }

    void exportAsksBeforeReplacingAndSaysWhatItWrote()
    {
        MultiPair pair;
        pair.write(pairFiles());
        const QString list = QCoreApplication::applicationDirPath() + "/multi.xml";
        QVERIFY(!QFile::exists(list));
        MultiPair::save(list, "<m><multiset><Multi Index=\"3\">Small Tower</Multi></multiset></m>");
        Facet model(m_data);
        MultiPair::fill(model, {MultiPair::tile(m_data, 77, 2, 3, 4)});
        ScriptedDialogs dialogs;
        dialogs.answer(3);
        dialogs.answer(QMessageBox::No); // entry 3 exists: not replaced
        QVERIFY(MultiExchange::exportMulti(nullptr, pair.idx, pair.mul, model, m_data).isEmpty());
        QCOMPARE(dialogs.last("int")->value.toInt(), 0); // the first free record
        QCOMPARE(std::pair(dialogs.last("int")->min, dialogs.last("int")->max), std::pair(0, 4)); // 4 appends
        QVERIFY2(dialogs.last("question")->text.contains("entry 3 (Small Tower)"), qPrintable(dialogs.last("question")->text));
        QCOMPARE(std::pair(pair.index(), pair.data()), std::pair(pairFiles().index, pairFiles().data));

        dialogs.answer(3);
        dialogs.answer(QMessageBox::Yes);
        const QString written = MultiExchange::exportMulti(nullptr, pair.idx, pair.mul, model, m_data);
        QFile::remove(list);
        QCOMPARE(written, QString("Exported entry 3 (Small Tower) as 2 tile records of 12 bytes to multi.mul"));
        QCOMPARE(MultiPair::entryBytes(pair.index(), pair.data(), 3), MulWriter::multiEntry({{0, 0, 0, 0, 0}, {77, 2, 3, 4, 1}}));
        dialogs.answer(0); // a free record: no question
        QVERIFY(!MultiExchange::exportMulti(nullptr, pair.idx, pair.mul, model, m_data).isEmpty());
        QCOMPARE(dialogs.count("question"), 2);

        MulWriter::IndexedFile damaged = pairFiles();
        damaged.data.chop(6);
        pair.write(damaged);
        dialogs.answer(2);
        dialogs.answer(QMessageBox::Yes);
        MultiExchange::exportMulti(nullptr, pair.idx, pair.mul, model, m_data);
        QCOMPARE(dialogs.count("warning"), 0); // entry 2 is whole: a new entry 2 is appended
        QFile::setPermissions(pair.mul, QFile::ReadOwner);
        const QByteArray index = pair.index(), data = pair.data();
        dialogs.answer(1);
        MultiExchange::exportMulti(nullptr, pair.idx, pair.mul, model, m_data);
        QVERIFY(dialogs.count("warning") == 1);
        QVERIFY(dialogs.last("warning")->text.contains("multi.mul"));
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(std::pair(pair.index(), pair.data()), std::pair(index, data));
        MultiExchange::exportMulti(nullptr, pair.dir.filePath("none.idx"), pair.mul, model, m_data);
        QVERIFY(dialogs.last("warning")->text.contains("none.idx"));
        QCOMPARE(dialogs.count("int"), 5); // no entry asked for without an index
    }

    // The same on a MultiCollection.uop.
    void containerChooserAndExport()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("MultiCollection.uop"), list = dir.filePath("multi.xml");
        QVERIFY(writeFileBytes(path, build({packed(Housing, "housing"), packed(multiHash(0), multi(0, {{2, 0, 0, 0, 0, {}}})),
                                            packed(multiHash(100), multi(100, {{5, 1, 2, 3, 0, {}}, {6, -1, 0, 0, 1, {}}})),
                                            packed(multiHash(9), multi(9, {}))}, 3)));
        QVERIFY(writeFileBytes(list, "<multis><multiset><Multi Index=\"0x64\">Tower</Multi></multiset></multis>"));
        MultiDialog chooser(path, list);
        QCOMPARE(items(chooser), QStringList({"0", "9", "Tower"}));
        chooser.findChild<QComboBox *>("comboBox")->setCurrentIndex(2);
        QCOMPARE(chooser.multiIndex(), 100);

        Facet model(m_data);
        MultiPair::fill(model, {MultiPair::tile(m_data, 7, 2, 3, 4)});
        ScriptedDialogs dialogs;
        const QByteArray before = fileBytes(path);
        // An existing multi, replacement declined: nothing changes.
        dialogs.answer(100);
        dialogs.answer(int(QMessageBox::No));
        MultiExchange::exportContainer(nullptr, path, model);
        const ScriptedDialogs::Call *prompt = dialogs.last("int");
        QCOMPARE(QList<int>({prompt->value.toInt(), prompt->min, prompt->max}), QList<int>({1, 0, 65535}));
        QVERIFY(dialogs.last("question")->text.contains("100"));
        QCOMPARE(fileBytes(path), before);
        // Accepted: replaced; a free id: no question.
        dialogs.answer(100);
        dialogs.answer(int(QMessageBox::Yes));
        MultiExchange::exportContainer(nullptr, path, model);
        dialogs.answer(1);
        MultiExchange::exportContainer(nullptr, path, model);
        QCOMPARE(dialogs.count("question"), 2);
        for (int id : {100, 1}) {
            const Raw written = entry(fileBytes(path), multiHash(id));
            QCOMPARE(unzlib(written.bytes, int(written.unpacked)), multi(quint32(id), {{7, 2, 3, 4, 0, {}}}));
        }
        QCOMPARE(entry(fileBytes(path), Housing), entry(before, Housing));
        QCOMPARE(dialogs.count("warning"), 0);
    }

    // The chooser's previews: made on a worker thread, shown for the selected
    // entry with its count, bounds and name; the dialog never waits.
    void showsPictureCountBoundsAndName()
    {
        QTemporaryDir dir;
        ScenePreviewer::Files files;
        const QImage red = solidImage(40, 50, qRgb(248, 0, 0), {0, 0});
        const auto artFiles = MulWriter::artFiles({}, {{600, red}});
        files.artIdx = dir.filePath("artidx.mul");
        files.artMul = dir.filePath("art.mul");
        files.texIdx = dir.filePath("texidx.mul");
        files.texMaps = dir.filePath("texmaps.mul");
        writeFileBytes(files.artIdx, artFiles.index);
        writeFileBytes(files.artMul, artFiles.data);
        const auto multis = MulWriter::multiFiles(
            {{1, {{600, 0, 0, 0, 1}}}, {4, {{600, -2, 1, 5, 1}, {600, 3, -1, 0, 0}, {600, 0, 0, 40, 1}}}}, 6);
        files.store = {dir.filePath("multi.idx"), dir.filePath("multi.mul")};
        writeFileBytes(files.store[0], multis.index);
        writeFileBytes(files.store[1], multis.data);
        writeFileBytes(dir.filePath("multi.xml"),
             "<multis><multiset><Multi Index=\"0x4\">Keep</Multi></multiset></multis>");
        MultiFile store(files.store[0], files.store[1]);
        QVERIFY(store.open());
        MultiDialog chooser(store.entries(), dir.filePath("multi.xml"));
        auto *combo = chooser.findChild<QComboBox *>("comboBox");
        QCOMPARE(combo->count(), 2);
        QCOMPARE(combo->itemText(1), QString("Keep (3 tiles)"));
        QSignalSpy shown(&chooser, &MultiDialog::previewShown);
        chooser.setPreviewer(std::make_unique<ScenePreviewer>(files, QSize(240, 200)));
        QTRY_COMPARE(shown.count(), 1);
        // One tile smaller than the preview: the picture is its art, unscaled.
        QCOMPARE(chooser.findChild<QLabel *>("preview")->pixmap().toImage().convertToFormat(QImage::Format_ARGB32), red);

        combo->setCurrentIndex(1);
        QTRY_COMPARE(shown.count(), 2);
        QCOMPARE(shown.last().at(0).toInt(), 4);
        const QString info = chooser.findChild<QLabel *>("previewInfo")->text();
        QVERIFY2(info.contains("Name: Keep") && info.contains("Entry 4: 3 tiles")
                     && info.contains("Bounds: x -2 to 3, y -1 to 1, z 0 to 40"),
                 qPrintable(info));
        // Three tiles of 40 x 50: wider and taller than one, at most the preview's size.
        const QImage picture = chooser.findChild<QLabel *>("preview")->pixmap().toImage();
        QVERIFY(picture.width() > 40);
        QVERIFY(picture.width() <= 240);
        QVERIFY(picture.height() <= 200);
        QCOMPARE(chooser.multiIndex(), 4);
        QVERIFY(!chooser.insertAtOwnPosition());
        chooser.findChild<QCheckBox *>("ownPosition")->setChecked(true);
        QVERIFY(chooser.insertAtOwnPosition());

        // Back to the first: shown again at once from what was made.
        combo->setCurrentIndex(0);
        QCOMPARE(shown.count(), 3);
    }

    void neverWaitsForAPreview()
    {
        QVector<MultiCollection::Entry> entries;
        for (int n = 0; n < 5; ++n)
            entries.append({n, n});
        QSemaphore entered, gate;
        QList<int> asked;
        MultiDialog chooser(entries, QString());
        auto *combo = chooser.findChild<QComboBox *>("comboBox");
        chooser.show();
        QSignalSpy shown(&chooser, &MultiDialog::previewShown);
        chooser.setPreviewer(std::make_unique<HeldPreviewer>(entered, gate, asked));
        QVERIFY(entered.tryAcquire(1, 10000));
        // The worker is stuck on entry 0; the keyboard still moves the choice.
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(combo, Qt::Key_Down);
        QCOMPARE(combo->currentIndex(), 3);
        QCOMPARE(chooser.findChild<QLabel *>("preview")->text(), QString("Drawing..."));
        QCOMPARE(shown.count(), 0);
        gate.release(10);
        QTRY_COMPARE(shown.count(), 1);
        QCOMPARE(shown.last().at(0).toInt(), 3);
        QVERIFY(chooser.findChild<QLabel *>("previewInfo")->text().contains("Entry 3: 3 tiles"));
        // Entries passed over while the worker was busy were never drawn.
        QCOMPARE(asked, QList<int>({0, 3}));
    }

    // The data files' settings: where the game is found, and the dialog that names each file.
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
    void cancelPutsBackWhatIsStored()
    {
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
            QTest::keyClick(&d, Qt::Key_Escape); // the button takes the same way out: below
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

QTEST_MAIN(TestMultiExchange)
#include "test_multiexchange.moc"
