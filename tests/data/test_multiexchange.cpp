#include "FileBytes.h"
#include "MultiPair.h"
#include "MulWriter.h"
#include "ScriptedDialogs.h"
#include "SolidImage.h"
#include "UopBytes.h"
#include "app/MultiExchange.h"
#include "data/MultiCollection.h"
#include "data/MultiFile.h"
#include "data/NameHash.h"
#include "scene/ScenePreviewer.h"
#include "ui/MultiDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QSemaphore>
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
} // namespace

// The chooser, import and export of the window on a multi.idx / multi.mul pair
// and on a container, answered by script.
class TestMultiExchange : public QObject
{
    Q_OBJECT

    TileData m_data;

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
  <other><multiset><Multi Index="107">Second set</Multi><Multi>No index</Multi></multiset></other></anything>)");
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
};

QTEST_MAIN(TestMultiExchange)
#include "test_multiexchange.moc"
