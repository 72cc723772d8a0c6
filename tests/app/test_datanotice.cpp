// A real main window started on a client folder with files missing, damaged or
// stored with the wrong case: what the user is told, and what the hue prompt offers.
#include "app/GLScroll.h"
#include "app/MainWindow.h"
#include "MulWriter.h"
#include "ScriptedDialogs.h"
#include "view/GLWidget.h"

#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

class TestDataNotice : public QObject
{
    Q_OBJECT
public:
    static void initMain() { GLWidget::prepareApplication(); }

private:
    QTemporaryDir m_settingsDir;
    QTemporaryDir m_client;

    static void save(const QString &path, const QByteArray &bytes)
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    QString client(const QString &name) const { return m_client.filePath(name); }
    static QMessageBox *notice(MainWindow &w) { return w.findChild<QMessageBox *>("dataFileNotice"); }

private slots:
    void initTestCase()
    {
        for (auto format : {QSettings::NativeFormat, QSettings::IniFormat})
            for (auto scope : {QSettings::UserScope, QSettings::SystemScope})
                QSettings::setPath(format, scope, m_settingsDir.path());
        QSettings stored("Brightmoor", "MulSettings");
        // Stored in lower case; the client's file is in upper case.
        save(client("TILEDATA.MUL"), MulWriter::tileData({}, {}));
        save(client("hues.mul"), QByteArray(100, '\x01')); // not whole hue blocks
        const MulWriter::IndexedFile multis = MulWriter::multiFiles({{0, {{5, 0, 0, 0, 1}, {6, 1, 0, 0, 1}}}}, 1);
        save(client("multi.idx"), multis.index);
        save(client("multi.mul"), multis.data);
        const QList<QPair<QString, QString>> keys{{"ArtIdx", "artidx.mul"}, {"ArtMul", "art.mul"},
                                                  {"TileDataMul", "tiledata.mul"}, {"HuesMul", "hues.mul"},
                                                  {"MultiIdx", "multi.idx"}, {"MultiMul", "multi.mul"},
                                                  {"TexIdx", "texidx.mul"}, {"TexMapsMul", "texmaps.mul"}};
        for (const auto &[key, name] : keys)
            stored.setValue(key, client(name));
        stored.sync();
    }

    void missingAndDamagedFilesAreNamedOnceThenCleared()
    {
        ScriptedDialogs dialogs;
        MainWindow w;
        w.show();
        QMessageBox *box = notice(w);
        QVERIFY(box);
        QVERIFY(box->isVisible());
        QVERIFY(!box->isModal());
        const QString listed = box->informativeText();
        for (const QString &line : {"artidx.mul: " + client("artidx.mul") + ": missing",
                                    "art.mul: " + client("art.mul") + ": missing",
                                    "hues.mul: " + client("hues.mul") + ": not recognised",
                                    "texidx.mul: " + client("texidx.mul") + ": missing"})
            QVERIFY2(listed.contains(line), qPrintable(listed));
        QVERIFY2(!listed.contains("tiledata") && !listed.contains("multi"), qPrintable(listed));
        QVERIFY(w.statusBar()->currentMessage().contains("artidx.mul, art.mul, hues.mul"));
        QCOMPARE(dialogs.count("warning"), 0);

        // Fix the folder and accept Mul Locations: the old notice goes, no new one comes.
        const MulWriter::IndexedFile art = MulWriter::artFiles({}, {{1, QImage(4, 4, QImage::Format_ARGB32)}});
        save(client("artidx.mul"), art.index);
        save(client("art.mul"), art.data);
        save(client("hues.mul"), MulWriter::hues(QVector<MulWriter::Hue>(9)));
        save(client("texidx.mul"), QByteArray(12, '\0'));
        save(client("texmaps.mul"), QByteArray(4, '\0'));
        dialogs.answer(QDialog::Accepted);
        w.setMulDir();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!notice(w));
    }

    // 9 hues fill two blocks of eight: 16 hues, and no more, are offered.
    void huePromptOffersTheFilesHues()
    {
        save(client("hues.mul"), MulWriter::hues(QVector<MulWriter::Hue>(9)));
        ScriptedDialogs dialogs;
        MainWindow w;
        w.show();
        w.activateWindow();
        QVERIFY2(!notice(w), qPrintable(notice(w) ? notice(w)->informativeText() : QString()));
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.slotFileNew();
        GLScroll *doc = w.activeDocument();
        QVERIFY(doc);
        w.workspace()->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(doc->parentWidget()));
        doc->setFocus();
        QTRY_VERIFY(doc->hasFocus());
        int offered = -1;
        dialogs.answerExec(QDialog::Rejected, [&](QDialog *d) {
            if (auto *list = d->findChild<QListWidget *>("hueList"))
                offered = list->count();
        });
        doc->setHue();
        QVERIFY(dialogs.last("exec"));
        QCOMPARE(offered, 1 + 16); // no hue, then hues 1 to 16
    }
};

QTEST_MAIN(TestDataNotice)
#include "test_datanotice.moc"
