#include "MultiPair.h"
#include "ScriptedDialogs.h"
#include "data/MultiDialog.h"
#include "data/MultiExchange.h"

#include <QApplication>
#include <QComboBox>
#include <QtTest>

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

    void importReadsTheChosenEntry()
    {
        MultiPair pair;
        pair.write(pairFiles());
        ScriptedDialogs dialogs;
        dialogs.answer(QDialog::Accepted); // the first listed entry is entry 2
        TileMap tiles;
        QVERIFY(MultiExchange::importMulti(nullptr, pair.idx, pair.mul, m_data, tiles));
        QCOMPARE(tiles.size(), 2);
        QCOMPARE(tiles.value(locationKey(-3, 2)).first().id, quint16(3));

        dialogs.cancel(); // a cancelled chooser leaves nothing behind
        QVERIFY(!MultiExchange::importMulti(nullptr, pair.idx, pair.mul, m_data, tiles));
        QVERIFY(tiles.isEmpty());
        QFile::remove(pair.mul);
        dialogs.answer(QDialog::Accepted);
        QVERIFY(!MultiExchange::importMulti(nullptr, pair.idx, pair.mul, m_data, tiles));
        QCOMPARE(dialogs.count("warning"), 0); // import stays silent
    }

    void exportStoresTheAskedEntryOrShowsWhyNot()
    {
        MultiPair pair;
        pair.write(pairFiles());
        Facet model(m_data);
        MultiPair::fill(model, {MultiPair::tile(m_data, 77, 2, 3, 4)});
        ScriptedDialogs dialogs;
        dialogs.answer(3);
        MultiExchange::exportMulti(nullptr, pair.idx, pair.mul, model);
        QCOMPARE(std::pair(dialogs.last("int")->min, dialogs.last("int")->max), std::pair(0, 4)); // 4 appends
        QCOMPARE(MultiPair::entryBytes(pair.index(), pair.data(), 3), MulWriter::multiEntry({{0, 0, 0, 0, 0}, {77, 2, 3, 4, 1}}));

        MulWriter::IndexedFile damaged = pairFiles();
        damaged.data.chop(6);
        pair.write(damaged);
        dialogs.cancel();
        MultiExchange::exportMulti(nullptr, pair.idx, pair.mul, model);
        QCOMPARE(dialogs.count("warning"), 0);
        dialogs.answer(1);
        MultiExchange::exportMulti(nullptr, pair.idx, pair.mul, model);
        QVERIFY(dialogs.count("warning") == 1);
        QVERIFY(dialogs.last("warning")->text.contains("multi.mul"));
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(std::pair(pair.index(), pair.data()), std::pair(damaged.index, damaged.data));
        MultiExchange::exportMulti(nullptr, pair.dir.filePath("none.idx"), pair.mul, model);
        QVERIFY(dialogs.last("warning")->text.contains("none.idx"));
        QCOMPARE(dialogs.count("int"), 3); // no entry asked for without an index
    }
};

QTEST_MAIN(TestMultiExchange)
#include "test_multiexchange.moc"
