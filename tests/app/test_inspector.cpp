// The "Tiles" dock, Edit > Replace Tiles and the clip panel's range slider as
// a user meets them in the real window: the stack under the pointer with each
// tile's own art as its icon, its rows drawn as Qt's table draws them, every
// row of a large selection in map order, an altitude typed once for three
// selected rows and a replace by groups (each one undo step, checked in the saved file),
// values out of range refused in the field, the clip range.
#include "EditorWindow.h"
#include "FileBytes.h"
#include "MltBytes.h"
#include "TileKeys.h"
#include "panels/Clip.h"
#include "panels/Palette.h"
#include "panels/RangeSlider.h"
#include "panels/TListItem.h"
#include "panels/TileInspector.h"
#include "panels/TileInspectorModel.h"
#include "ui/ReplaceTilesDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDockWidget>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStatusBar>
#include <QTableView>
#include <QTreeWidget>

namespace {
const int Cell = 2; // the stack stands on (2, 1)
// File order is not draw order: the stack lists them by altitude.
const QList<SceneTile> Tiles = {
    {0x210, Cell, 1, 20, {44, 44}, 0xFFF80000}, {0x211, Cell, 1, 0, {44, 44}, 0xFF00F800},
    {0x212, Cell, 1, 10, {44, 44}, 0xFF0000F8}, {0x213, Cell, 1, 5, {44, 44}, 0xFFF8F800},
    {0x214, 0, 0, 0, {44, 44}, 0xFF00F8F8}};

QList<SceneTile> stackByAltitude()
{
    QList<SceneTile> stack = Tiles.mid(0, 4);
    std::sort(stack.begin(), stack.end(), [](const SceneTile &a, const SceneTile &b) { return a.z < b.z; });
    return stack;
}

QString key(const SceneTile &t) { return QStringLiteral("%1:%2:%3:%4:0:1:1").arg(t.id).arg(t.x).arg(t.y).arg(t.z); }

} // namespace

using Rows = QList<QList<int>>; // {id, x, y, z, visible, hue}

class TestInspector : public GlTest
{
    Q_OBJECT
    EditorWindow m_win;
    GLScroll *m_doc = nullptr;
    QString m_path;

    QTableView *table() const { return m_win.main->inspector()->table(); }
    QString cell(int row, int column) const { return table()->model()->index(row, column).data().toString(); }
    void hoverStack() const
    {
        const GLWidget *v = m_doc->view();
        QTest::mouseMove(m_doc->view(), {1, 1}); // a move to where the pointer is already is no move
        QTest::mouseMove(m_doc->view(), {v->width() / 2 + (Cell - 1) * 22, v->height() / 2 + (Cell + 1) * 22 + 22});
    }
    // Types into the field of the row and column and presses Enter; the editor, still open or not.
    QLineEdit *type(int row, int column, const QString &text) const
    {
        table()->edit(table()->model()->index(row, column));
        QPointer<QLineEdit> line; // a closed editor may linger, hidden, until deleted
        for (QLineEdit *open : table()->viewport()->findChildren<QLineEdit *>())
            if (open->isVisible())
                line = open;
        if (!line)
            return nullptr;
        line->selectAll();
        QTest::keyClicks(line, text);
        QTest::keyClick(line, Qt::Key_Return);
        QCoreApplication::processEvents();
        return line && line->isVisible() ? line : nullptr; // a closed editor is hidden at once
    }

    // The saved file's entries.
    Rows saved(GLScroll *doc)
    {
        const QString path = m_win.files.filePath("out.mlt");
        [&] { QVERIFY(doc->model()->save(path)); }();
        return mltEntries(fileBytes(path));
    }

private slots:
    void initTestCase()
    {
        TILSEN_NEED_GL();
        m_win.plant(sceneArt(Tiles));
    }
    void init()
    {
        m_win.start();
        m_path = m_win.write("stack.mlt", Tiles);
        m_doc = m_win.open(m_path);
        QVERIFY(m_doc);
        m_win.action("Tiles")->trigger();
        QVERIFY(m_win.main->tilesDock()->isVisible());
        QVERIFY(QTest::qWaitForWindowExposed(m_doc->view()));
        hoverStack();
        QTRY_COMPARE(table()->model()->rowCount(), 4);
    }
    void cleanup() { m_win.stop(); }

    void stackShowsEachTileBottomToTop()
    {
        const QList<SceneTile> stack = stackByAltitude();
        const QImage shown = table()->viewport()->grab().toImage();
        for (int row = 0; row < 4; ++row) {
            QCOMPARE(cell(row, TileInspectorModel::Id), QString::asprintf("0x%04X (%d)", stack[row].id, stack[row].id));
            QCOMPARE(cell(row, TileInspectorModel::Z).toInt(), stack[row].z);
            const QRect r = table()->visualRect(table()->model()->index(row, TileInspectorModel::Id));
            const QPoint icon = QPoint(r.left() + 14, r.center().y()) * shown.devicePixelRatio();
            QCOMPARE(shown.pixel(icon) | 0xFF000000, stack[row].colour);
            // The altitude is drawn in its field: ink on the field's background.
            const QRect z = table()->visualRect(table()->model()->index(row, TileInspectorModel::Z));
            QSet<QRgb> seen;
            for (int x = z.left(); x < z.right(); ++x)
                seen << shown.pixel(QPoint(x, z.center().y()) * shown.devicePixelRatio());
            QVERIFY(seen.size() > 2);
        }
    }

    // The table draws its rows in one pass of its own: it must show what Qt's
    // table shows, field by field through the same delegate, with two rows
    // selected and with the focus on a field. The headers name the fields.
    void rowsLookAsQtsTableDrawsThem()
    {
        QTableView *rows = table();
        QTableView plain(rows->parentWidget());
        plain.setModel(rows->model());
        plain.setSelectionModel(rows->selectionModel());
        plain.setItemDelegate(rows->itemDelegate());
        plain.setShowGrid(false);
        plain.setWordWrap(false);
        plain.setIconSize(rows->iconSize());
        plain.setVerticalScrollBarPolicy(rows->verticalScrollBarPolicy());
        plain.verticalHeader()->setDefaultSectionSize(rows->verticalHeader()->defaultSectionSize());
        plain.verticalHeader()->hide();
        QStringList names;
        for (int c = 0; c < rows->model()->columnCount(); ++c) {
            plain.setColumnWidth(c, rows->columnWidth(c));
            names << rows->model()->headerData(c, Qt::Horizontal).toString();
        }
        QCOMPARE(names, QStringList({"Id", "Name", "X", "Y", "Z", "Hue", "Visible"}));
        plain.setGeometry(rows->geometry());
        plain.show();
        rows->selectionModel()->select(QItemSelection(rows->model()->index(1, 0), rows->model()->index(2, 0)),
                                       QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        QCOMPARE(rows->viewport()->grab().toImage(), plain.viewport()->grab().toImage());
        rows->selectionModel()->setCurrentIndex(rows->model()->index(2, TileInspectorModel::Z),
                                                QItemSelectionModel::NoUpdate);
        rows->window()->setAttribute(Qt::WA_KeyboardFocusChange); // as after Tab: the style draws the focus
        rows->setFocus();
        QTRY_VERIFY(rows->hasFocus());
        const QImage focused = rows->viewport()->grab().toImage();
        plain.setFocus();
        QTRY_VERIFY(plain.hasFocus());
        QCOMPARE(focused, plain.viewport()->grab().toImage());
    }

    // Rows chosen by click and Shift+click select their tiles; one typed
    // altitude moves all three, is saved, and one Undo brings all back.
    void altitudeOfThreeRowsIsOneStep()
    {
        const QStringList before = tileKeys(m_doc->model()->locations());
        const auto rowCentre = [this](int row) {
            return table()->visualRect(table()->model()->index(row, TileInspectorModel::X)).center();
        };
        // A value as it stands changes nothing: no undo step.
        QVERIFY(!type(3, TileInspectorModel::Z, cell(3, TileInspectorModel::Z)));
        QVERIFY(!m_doc->document()->canUndo());
        QTest::mouseClick(table()->viewport(), Qt::LeftButton, {}, rowCentre(0));
        QTest::mouseClick(table()->viewport(), Qt::LeftButton, Qt::ShiftModifier, rowCentre(2));
        QCOMPARE(m_doc->document()->selection().count(Art), 3);
        QVERIFY(!type(1, TileInspectorModel::Z, "-128"));

        const QList<SceneTile> lowest = stackByAltitude().mid(0, 3);
        QStringList expected, moved;
        QList<QList<int>> written;
        for (SceneTile t : Tiles) {
            if (std::any_of(lowest.cbegin(), lowest.cend(), [&](const SceneTile &l) { return l.id == t.id; })) {
                t.z = -128;
                moved << key(t);
            }
            expected << key(t);
            written << QList<int>{t.id, t.x, t.y, t.z, 1, 0};
        }
        std::sort(written.begin(), written.end());
        expected.sort();
        moved.sort();
        QCOMPARE(tileKeys(m_doc->model()->locations()), expected);
        QStringList selected;
        for (const TileRecord &t : m_doc->document()->selection().selectedTiles(*m_doc->model(), Art))
            selected << t.key();
        selected.sort();
        QCOMPARE(selected, moved);
        m_win.action("&Save")->trigger();
        QCOMPARE(mltEntries(fileBytes(m_path)), written);

        m_win.action("Undo")->trigger();
        QCOMPARE(tileKeys(m_doc->model()->locations()), before);
        // Selecting in the view selects the rows: all five tiles.
        m_win.action("Select all")->trigger();
        QTRY_COMPARE(table()->selectionModel()->selectedRows().size(), 5);
        QCOMPARE(table()->verticalHeader()->count(), 5); // no row of the stack left over
    }

    // Rows are put in order as far as they are shown: every row of a large
    // selection, read from first to last, is its tile in map order.
    void largeSelectionListsEveryTileInOrder()
    {
        QList<SceneTile> many;
        for (int k = 0; k < 150; ++k)
            many.append({0x210 + k % 5, k % 15, k / 15, (k * 7) % 20, {44, 44}, 0});
        GLScroll *doc = m_win.open(m_win.write("many.mlt", many));
        QVERIFY(doc);
        m_win.action("Select all")->trigger();
        QTRY_COMPARE(table()->model()->rowCount(), 150);
        std::sort(many.begin(), many.end(), [](const SceneTile &a, const SceneTile &b) {
            return std::tie(a.y, a.x, a.z, a.id) < std::tie(b.y, b.x, b.z, b.id);
        });
        for (int row = 0; row < 150; ++row) {
            const SceneTile &t = many[row];
            QCOMPARE(QStringList({cell(row, TileInspectorModel::X), cell(row, TileInspectorModel::Y),
                                  cell(row, TileInspectorModel::Z), cell(row, TileInspectorModel::Id)}).join(' '),
                     QString::asprintf("%d %d %d 0x%04X (%d)", t.x, t.y, t.z, t.id, t.id));
        }
    }

    void valuesOutOfRangeAreRefused_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("reason");
        QTest::newRow("altitude") << int(TileInspectorModel::Z) << "200" << "Altitude must be between -128 and 127";
        QTest::newRow("x") << int(TileInspectorModel::X) << "200" << "X must be between -200 and 199";
        QTest::newRow("id past the art") << int(TileInspectorModel::Id) << "0x4000"
                                         << "Id must be between 0x0000 (0) and 0x3FFF (16383)";
        QTest::newRow("hue") << int(TileInspectorModel::Hue) << "65" << "Hue must be between 0 and 64";
    }
    void valuesOutOfRangeAreRefused()
    {
        QFETCH(int, column);
        QFETCH(QString, text);
        QFETCH(QString, reason);
        const QStringList before = tileKeys(m_doc->model()->locations());
        QLineEdit *open = type(0, column, text);
        QVERIFY(open); // Enter did not take it
        QCOMPARE(m_win.main->inspector()->reasonLabel()->text(), reason);
        table()->setFocus(); // leaving the field takes nothing either
        QCoreApplication::processEvents();
        QCOMPARE(tileKeys(m_doc->model()->locations()), before);
        QVERIFY(!m_doc->document()->canUndo());
    }

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

QTEST_MAIN(TestInspector)
#include "test_inspector.moc"
