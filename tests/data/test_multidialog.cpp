#include "MultiPair.h"
#include "data/MultiDialog.h"

#include <QComboBox>
#include <QtTest>

class TestMultiDialog : public QObject
{
    Q_OBJECT

    static QStringList items(const MultiDialog &d)
    {
        const auto *combo = d.findChild<QComboBox *>("comboBox");
        QStringList out;
        for (int i = 0; combo && i < combo->count(); ++i)
            out << combo->itemText(i);
        return out;
    }
    // Index with records 0, 1 (offset 0, length 0) and 100 to 107; the rest absent.
    static QByteArray index()
    {
        QByteArray idx;
        for (int n = 0; n <= 107; ++n)
            MulWriter::putIndexRecord(idx, n, {n == 0 || n >= 100 ? 0 : -1, n == 1 ? 0 : 12, 0});
        MulWriter::putIndexRecord(idx, 1, {0, 0, 0});
        return idx;
    }

private slots:
    void namesComeFromTheList()
    {
        MultiPair pair;
        MultiPair::save(pair.idx, index());
        const QString list = pair.dir.filePath("multi.xml");
        MultiPair::save(list, R"(<anything>
  <multiset>
    <Multi Index="100">Hundred</Multi>
    <Multi Index="0x65">Hex lower</Multi>
    <Multi Index="0X66">Hex upper</Multi>
    <Multi Index="x67">Not a number</Multi>
    <Multi Index="100">Second name</Multi>
    <Multi Index="103"><b>bold</b></Multi>
    <Multi Index="104"/>
    <group><Multi Index="105"> Deep </Multi></group>
  </multiset>
  <Multi Index="106">Outside any set</Multi>
  <other><multiset><Multi Index="107">Second set</Multi><Multi>No index</Multi></multiset></other>
</anything>)");
        MultiDialog d(pair.idx, list);
        QCOMPARE(items(d), QStringList({"Not a number", "1", "Hundred", "Hex lower", "Hex upper", "103",
                                        "104", " Deep ", "106", "Second set"}));
        QVERIFY(!d.multiVisible());
        auto *combo = d.findChild<QComboBox *>("comboBox");
        QCOMPARE(d.multiIndex(), 0);
        combo->setCurrentIndex(1);
        QCOMPARE(d.multiIndex(), 1);
        combo->setCurrentIndex(7);
        QCOMPARE(d.multiIndex(), 105);
    }

    void visibleSetting_data()
    {
        QTest::addColumn<QString>("xml");
        QTest::addColumn<bool>("visible");
        QTest::newRow("spaced one") << "<r><MultiVisible>  1 \n</MultiVisible></r>" << true;
        QTest::newRow("word") << "<r><MultiVisible>true</MultiVisible></r>" << false;
        QTest::newRow("first wins") << "<r><x><MultiVisible>0</MultiVisible></x><MultiVisible>1</MultiVisible></r>" << false;
        QTest::newRow("nested") << "<r><a><b><MultiVisible>1</MultiVisible></b></a></r>" << true;
        QTest::newRow("malformed") << "<r><MultiVisible>1</MultiVisible>" << false;
    }
    void visibleSetting()
    {
        QFETCH(QString, xml);
        QFETCH(bool, visible);
        MultiPair pair;
        MultiPair::save(pair.idx, index());
        MultiPair::save(pair.dir.filePath("multi.xml"), xml.toUtf8());
        MultiDialog d(pair.idx, pair.dir.filePath("multi.xml"));
        QCOMPARE(d.multiVisible(), visible);
        QCOMPARE(items(d).size(), 10);
    }

    void missingFilesLeaveNumbersOrNothing()
    {
        MultiPair pair;
        MultiPair::save(pair.idx, index() + QByteArray(7, '\0')); // a partial record is not listed
        MultiDialog numbers(pair.idx, pair.dir.filePath("none.xml"));
        QCOMPARE(items(numbers).first(), QString("0"));
        QCOMPARE(items(numbers).size(), 10);

        MultiDialog empty(pair.dir.filePath("none.idx"), pair.dir.filePath("none.xml"));
        QVERIFY(items(empty).isEmpty());
        QCOMPARE(empty.multiIndex(), 0);
    }
};

QTEST_MAIN(TestMultiDialog)
#include "test_multidialog.moc"
