// The multi chooser's previews: made on a worker thread, shown for the
// selected entry with its count, bounds and name; the dialog never waits.
#include "MulWriter.h"
#include "FileBytes.h"
#include "SolidImage.h"
#include "ui/MultiDialog.h"
#include "data/MultiFile.h"
#include "scene/ScenePreviewer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>

namespace {
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

class TestChooserPreview : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        const auto artFiles = MulWriter::artFiles({}, {{600, m_red}});
        m_files.artIdx = m_dir.filePath("artidx.mul");
        m_files.artMul = m_dir.filePath("art.mul");
        m_files.texIdx = m_dir.filePath("texidx.mul");
        m_files.texMaps = m_dir.filePath("texmaps.mul");
        writeFileBytes(m_files.artIdx, artFiles.index);
        writeFileBytes(m_files.artMul, artFiles.data);
        const auto multis = MulWriter::multiFiles(
            {{1, {{600, 0, 0, 0, 1}}}, {4, {{600, -2, 1, 5, 1}, {600, 3, -1, 0, 0}, {600, 0, 0, 40, 1}}}}, 6);
        m_files.store = {m_dir.filePath("multi.idx"), m_dir.filePath("multi.mul")};
        writeFileBytes(m_files.store[0], multis.index);
        writeFileBytes(m_files.store[1], multis.data);
        writeFileBytes(m_dir.filePath("multi.xml"),
             "<multis><multiset><Multi Index=\"0x4\">Keep</Multi></multiset></multis>");
    }

    void showsPictureCountBoundsAndName()
    {
        MultiFile store(m_files.store[0], m_files.store[1]);
        QVERIFY(store.open());
        MultiDialog chooser(store.entries(), m_dir.filePath("multi.xml"));
        auto *combo = chooser.findChild<QComboBox *>("comboBox");
        QCOMPARE(combo->count(), 2);
        QCOMPARE(combo->itemText(1), QString("Keep (3 tiles)"));
        QSignalSpy shown(&chooser, &MultiDialog::previewShown);
        chooser.setPreviewer(std::make_unique<ScenePreviewer>(m_files, QSize(240, 200)));
        QTRY_COMPARE(shown.count(), 1);
        // One tile smaller than the preview: the picture is its art, unscaled.
        QCOMPARE(chooser.findChild<QLabel *>("preview")->pixmap().toImage().convertToFormat(QImage::Format_ARGB32), m_red);

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

private:
    QTemporaryDir m_dir;
    ScenePreviewer::Files m_files;
    const QImage m_red = solidImage(40, 50, qRgb(248, 0, 0), {0, 0});
};

QTEST_MAIN(TestChooserPreview)
#include "test_chooser_preview.moc"
