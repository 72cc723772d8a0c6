#include "ScriptedDialogs.h"
#include "FileBytes.h"
#include "UopBytes.h"

#include "ui/MultiDialog.h"
#include "app/MultiExchange.h"
#include "data/NameHash.h"
#include "data/TileData.h"
#include "model/Facet.h"

#include <QComboBox>
#include <QTemporaryDir>
#include <QTest>

using namespace UopBytes;

namespace {
quint64 multiHash(int id) { return NameHash::ofName(QString::asprintf("build/multicollection/%06d.bin", id)); }
constexpr quint64 Housing = 0x126D1E99DDEDEE0AULL;

} // namespace

// The chooser, import and export of the window on a MultiCollection.uop, answered by script.
class TestMultiExchangeUop : public QObject
{
    Q_OBJECT

    TileData m_data;
    QTemporaryDir m_dir;
    QString m_path = m_dir.filePath("MultiCollection.uop");
    QString m_list = m_dir.filePath("multi.xml");

    void plant()
    {
        QVERIFY(writeFileBytes(m_path, build({packed(Housing, "housing"), packed(multiHash(0), multi(0, {{2, 0, 0, 0, 0, {}}})),
                       packed(multiHash(100), multi(100, {{5, 1, 2, 3, 0, {}}, {6, -1, 0, 0, 1, {}}})),
                       packed(multiHash(9), multi(9, {}))},
                      3)));
    }

private slots:
    void init() { plant(); }

    void chooserListsTheMultiIds()
    {
        QVERIFY(writeFileBytes(m_list, "<multis><multiset><Multi Index=\"0x64\">Tower</Multi></multiset></multis>"));
        MultiDialog chooser(m_path, m_list);
        const auto *combo = chooser.findChild<QComboBox *>("comboBox");
        QStringList items;
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i);
        QCOMPARE(items, QStringList({"0", "9", "Tower"}));
        chooser.findChild<QComboBox *>("comboBox")->setCurrentIndex(2);
        QCOMPARE(chooser.multiIndex(), 100);
    }

    void exportAsksBeforeReplacing()
    {
        Facet model(m_data);
        TileRecord t(7, 0, 4, m_data, Art);
        t.x = 2, t.y = 3;
        QVERIFY(model.addTile(t.x, t.y, t));
        ScriptedDialogs dialogs;
        const QByteArray before = fileBytes(m_path);
        // An existing multi, replacement declined: nothing changes.
        dialogs.answer(100);
        dialogs.answer(int(QMessageBox::No));
        MultiExchange::exportContainer(nullptr, m_path, model);
        const ScriptedDialogs::Call *prompt = dialogs.last("int");
        QCOMPARE(QList<int>({prompt->value.toInt(), prompt->min, prompt->max}), QList<int>({1, 0, 65535}));
        QVERIFY(dialogs.last("question")->text.contains("100"));
        QCOMPARE(fileBytes(m_path), before);
        // Accepted: replaced.
        dialogs.answer(100);
        dialogs.answer(int(QMessageBox::Yes));
        MultiExchange::exportContainer(nullptr, m_path, model);
        Raw written = entry(fileBytes(m_path), multiHash(100));
        QCOMPARE(unzlib(written.bytes, int(written.unpacked)), multi(100, {{7, 2, 3, 4, 0, {}}}));
        // A free id: no question.
        dialogs.answer(1);
        MultiExchange::exportContainer(nullptr, m_path, model);
        QCOMPARE(dialogs.count("question"), 2);
        written = entry(fileBytes(m_path), multiHash(1));
        QCOMPARE(unzlib(written.bytes, int(written.unpacked)), multi(1, {{7, 2, 3, 4, 0, {}}}));
        QCOMPARE(entry(fileBytes(m_path), Housing), entry(before, Housing));
        QCOMPARE(dialogs.count("warning"), 0);
    }
};

QTEST_MAIN(TestMultiExchangeUop)
#include "test_multiexchange_uop.moc"
