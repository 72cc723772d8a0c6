#include "MultiPair.h"
#include "ScriptedDialogs.h"
#include "data/MultiExchange.h"
#include "data/MultiFile.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QtTest>

using Tile = MulWriter::MultiTile;

// Picks a combo position in the chooser before answering its exec.
class ChooserDialogs : public ScriptedDialogs
{
public:
    int position = 0;
    int exec(QDialog *dialog) override
    {
        if (auto *combo = dialog->findChild<QComboBox *>("comboBox"))
            combo->setCurrentIndex(position);
        return ScriptedDialogs::exec(dialog);
    }
};

class TestMultiExchange : public QObject
{
    Q_OBJECT

    TileData m_data;

    static MulWriter::IndexedFile pairFiles()
    {
        QMap<int, QVector<Tile>> entries;
        entries[0] = {{1, 0, 0, 0, 1}};
        entries[2] = {{2, 0, 0, 0, 1}, {3, -3, 2, 5, 0}};
        entries[3] = {{4, 1, 1, 1, 1}};
        return MulWriter::multiFiles(entries, 4);
    }

private slots:
    void importReadsTheChosenEntry()
    {
        MultiPair pair;
        pair.write(pairFiles());
        ChooserDialogs dialogs;
        dialogs.position = 1; // the second listed entry is entry 2
        dialogs.answer(QDialog::Accepted);
        TileMap tiles;
        QVERIFY(MultiExchange::importMulti(nullptr, pair.idx, pair.mul, m_data, tiles));
        QCOMPARE(dialogs.count("exec"), 1);
        QCOMPARE(tiles.size(), 2);
        QCOMPARE(tiles.value(196605).first().id, quint16(3));
        QCOMPARE(tiles.value(196605).first().visible, qint16(0));
    }

    void importStopsWithoutAnEntry()
    {
        MultiPair pair;
        pair.write(pairFiles());
        ChooserDialogs dialogs;
        TileMap tiles;
        tiles[5].append(TileRecord());
        dialogs.cancel();
        QVERIFY(!MultiExchange::importMulti(nullptr, pair.idx, pair.mul, m_data, tiles));
        QVERIFY(tiles.isEmpty());

        QFile::remove(pair.mul);
        dialogs.answer(QDialog::Accepted);
        QVERIFY(!MultiExchange::importMulti(nullptr, pair.idx, pair.mul, m_data, tiles));
        QCOMPARE(dialogs.count("warning"), 0); // import stays silent
    }

    void exportAsksForTheEntryAndStoresIt()
    {
        MultiPair pair;
        const MulWriter::IndexedFile before = pairFiles();
        pair.write(before);
        Facet model(m_data);
        MultiPair::fill(model, {MultiPair::tile(m_data, 77, 2, 3, 4)});
        ScriptedDialogs dialogs;
        dialogs.answer(3);
        MultiExchange::exportMulti(nullptr, pair.idx, pair.mul, model);

        const ScriptedDialogs::Call *ask = dialogs.last("int");
        QVERIFY(ask);
        QCOMPARE(ask->title, QString("Multi Mul export"));
        QCOMPARE(ask->text, QString("Entry id"));
        QCOMPARE(ask->value.toInt(), 0);
        QCOMPARE(ask->min, 0);
        QCOMPARE(ask->max, 4);
        QCOMPARE(dialogs.count("warning"), 0);
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(MultiPair::entryBytes(pair.index(), pair.data(), 3),
                 MulWriter::multiEntry({{0, 0, 0, 0, 0}, {77, 2, 3, 4, 1}}));
        QCOMPARE(MultiPair::entryBytes(pair.index(), pair.data(), 2),
                 MultiPair::entryBytes(before.index, before.data, 2));
    }

    void exportFailuresAreShownAndChangeNothing()
    {
        MultiPair pair;
        MulWriter::IndexedFile before = pairFiles();
        before.data.chop(6);
        pair.write(before);
        Facet model(m_data);
        ScriptedDialogs dialogs;

        dialogs.cancel();
        MultiExchange::exportMulti(nullptr, pair.idx, pair.mul, model);
        QCOMPARE(dialogs.count("warning"), 0);

        dialogs.answer(1);
        MultiExchange::exportMulti(nullptr, pair.idx, pair.mul, model);
        const ScriptedDialogs::Call *shown = dialogs.last("warning");
        QVERIFY(shown);
        QCOMPARE(shown->title, QString("Export Error"));
        QVERIFY2(shown->text.contains("multi.mul"), qPrintable(shown->text));
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(pair.index(), before.index);
        QCOMPARE(pair.data(), before.data);
        QVERIFY(pair.strays().isEmpty());

        MultiExchange::exportMulti(nullptr, pair.dir.filePath("none.idx"), pair.mul, model);
        QCOMPARE(dialogs.count("warning"), 2);
        QVERIFY(dialogs.last("warning")->text.contains("none.idx"));
        QCOMPARE(dialogs.count("int"), 2);
    }
};

QTEST_MAIN(TestMultiExchange)
#include "test_multiexchange.moc"
