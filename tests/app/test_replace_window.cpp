// Edit > Replace Tiles and the clip panel's range slider through the real
// main window: tiles checked in the saved file, one undo, the clip range.
#include "EditorWindow.h"
#include "FileBytes.h"
#include "MltBytes.h"
#include "panels/Clip.h"
#include "panels/Palette.h"
#include "panels/RangeSlider.h"
#include "panels/TListItem.h"
#include "ui/ReplaceTilesDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QDockWidget>
#include <QLabel>
#include <QRadioButton>
#include <QSlider>
#include <QStatusBar>
#include <QTreeWidget>
#include <QtEndian>

using Rows = QList<QList<int>>; // {id, x, y, z, visible, hue}

class TestReplaceWindow : public GlTest
{
    Q_OBJECT
private:
    EditorWindow m_win;

    // The saved file's entries, read word by word, sorted.
    Rows saved(GLScroll *doc)
    {
        const QString path = m_win.files.filePath("out.mlt");
        [&] { QVERIFY(doc->model()->save(path)); }();
        const QByteArray b = fileBytes(path);
        Rows rows;
        for (qsizetype at = 4; at + 12 <= b.size(); at += 12) {
            QList<int> row;
            for (int w = 0; w < 6; ++w)
                row << qFromLittleEndian<qint16>(b.constData() + at + 2 * w);
            rows << row;
        }
        std::sort(rows.begin(), rows.end());
        return rows;
    }

private slots:
    void initTestCase() { TILSEN_NEED_GL(); m_win.keepSettingsApart(); }
    void init() { m_win.start(); }
    void cleanup() { m_win.stop(); }
    void groupByGroupIsOneUndoStep_data()
    {
        QTest::addColumn<bool>("selectAll");
        QTest::newRow("whole multi") << false;
        QTest::newRow("selection") << true;
    }
    void groupByGroupIsOneUndoStep()
    {
        QFETCH(bool, selectAll);
        MainWindow &main = *m_win.main;
        auto *walls = new TListItem(main.palette()->treeArt());
        walls->setText(0, "Walls");
        for (const auto &[name, tiles] : {std::pair{"Stone", QVector<qint32>{100, 101, 102}}, {"Wood", {200, 201}}}) {
            auto *group = new TListItem(walls);
            group->setText(0, name);
            group->tiles = tiles;
        }
        const Rows before{{100, 1, 1, 0, 1, 0}, {100, 2, 1, 5, 0, 33}, {101, 1, 1, 20, 1, 7},
                          {102, 3, 3, 0, 1, 0}, {200, 4, 4, 1, 1, 0},  {7, 1, 1, 40, 1, 0}};
        QVERIFY(writeFileBytes(m_win.files.filePath("in.mlt"), mltFile(before)));
        GLScroll *doc = m_win.open(m_win.files.filePath("in.mlt"));
        QVERIFY(doc);
        if (selectAll)
            m_win.action("Select all")->trigger();
        // Ids that stand nowhere: said so, and no undo step.
        m_win.dialogs->answerExec(QDialog::Accepted, [](QDialog *d) {
            qobject_cast<ReplaceTilesDialog *>(d)->fromIdEdit()->setText("0x5");
            qobject_cast<ReplaceTilesDialog *>(d)->toIdEdit()->setText("6");
        });
        m_win.action("Replace Tiles…")->trigger();
        QCOMPARE(main.statusBar()->currentMessage(), QString("No tiles replaced"));
        QVERIFY(!m_win.action("Undo")->isEnabled());

        m_win.dialogs->answerExec(QDialog::Accepted, [](QDialog *d) {
            auto *dialog = qobject_cast<ReplaceTilesDialog *>(d);
            dialog->byGroupButton()->setChecked(true);
            dialog->fromGroupBox()->setCurrentIndex(dialog->fromGroupBox()->findText("Walls/Stone (3 pieces)"));
            dialog->toGroupBox()->setCurrentIndex(dialog->toGroupBox()->findText("Walls/Wood (2 pieces)"));
        });
        m_win.action("Replace Tiles…")->trigger();
        Rows expected = before;
        for (QList<int> &row : expected)
            row[0] = row[0] == 100 ? 200 : row[0] == 101 ? 201 : row[0];
        std::sort(expected.begin(), expected.end());
        QCOMPARE(saved(doc), expected);
        QCOMPARE(main.statusBar()->currentMessage(), QString("3 tiles replaced; without a partner, left alone: 102"));
        const Selection &sel = doc->view()->selection();
        QCOMPARE(sel.count(Art), selectAll ? 6 : 0);
        QCOMPARE(sel.selectedTiles(*doc->model(), Art).size(), selectAll ? 6 : 0);

        m_win.action("Undo")->trigger();
        Rows original = before;
        std::sort(original.begin(), original.end());
        QCOMPARE(saved(doc), original);
    }
    void rangeSliderFollowsStoreysAndMovesTheClip()
    {
        MainWindow &main = *m_win.main;
        GLScroll *doc = m_win.open();
        QVERIFY(doc);
        main.clipDock()->show();
        auto *range = main.clip()->findChild<RangeSlider *>("altitudeRange");
        QVERIFY(range && QTest::qWaitForWindowExposed(range));
        const auto shows = [&](int low, int high) {
            const GLWidget *v = doc->view();
            return range->lower() == low && range->upper() == high && v->minAlt() == low && v->maxAlt() == high
                   && main.clip()->lowerSlider()->value() == low && main.clip()->lowerLabel()->text() == QString::number(low);
        };
        // Lower handle: a click on it, then three pages up.
        QTest::mouseClick(range, Qt::LeftButton, {}, range->handleRect(RangeSlider::Lower).center());
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(range, Qt::Key_PageUp);
        QVERIFY(shows(-98, 127));
        main.clip()->findChild<QCheckBox *>("checkBox")->click();
        m_win.action("Storey Up")->trigger();
        QVERIFY(shows(-78, 39));
        // The upper handle dragged to the bottom stops at the lower one.
        const QPoint grip = range->handleRect(RangeSlider::Upper).center();
        QTest::mousePress(range, Qt::LeftButton, {}, grip);
        QTest::mouseMove(range, {grip.x(), range->height() - 1});
        QTest::mouseRelease(range, Qt::LeftButton, {}, {grip.x(), range->height() - 1});
        QVERIFY(shows(-78, -78));
    }
    void idsAreCheckedAgainstTheArtCount_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<int>("mapped"); // the id `from` becomes; -1: OK refused
        QTest::newRow("decimal to hex") << "100" << "0X7cf" << 1999;
        QTest::newRow("past the art") << "100" << "2000" << -1;
        QTest::newRow("signed") << "+100" << "7" << -1;
        QTest::newRow("not a number") << "1e2" << "7" << -1;
        QTest::newRow("empty") << "100" << " " << -1;
        QTest::newRow("itself") << "0x64" << "100" << -1;
    }
    void idsAreCheckedAgainstTheArtCount()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(int, mapped);
        ReplaceTilesDialog dialog({}, 2000, QString());
        dialog.fromIdEdit()->setText(from);
        dialog.toIdEdit()->setText(to);
        QVERIFY(!dialog.byGroupButton()->isEnabled());
        const auto *ok = dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok);
        QCOMPARE(ok->isEnabled(), mapped >= 0);
        QCOMPARE(dialog.idMap().value(quint16(from.toInt(nullptr, 0)), 0xFFFF), mapped >= 0 ? mapped : 0xFFFF);
    }
};

QTEST_MAIN(TestReplaceWindow)
#include "test_replace_window.moc"
