// A real main window started on a client folder with files missing, damaged or
// stored with the wrong case: what the user is told, and what the hue prompt offers.
#include "EditorWindow.h"

#include <QMessageBox>
#include <QStatusBar>

class TestDataNotice : public GlTest
{
    Q_OBJECT
private:
    EditorWindow m_win;

    static void save(const QString &path, const QByteArray &bytes) { QVERIFY(writeFileBytes(path, bytes)); }
    QString client(const QString &name) const { return m_win.files.filePath(name); }
    static QMessageBox *notice(MainWindow &w) { return w.findChild<QMessageBox *>("dataFileNotice"); }

private slots:
    void initTestCase()
    {
        TILSEN_NEED_GL();
        redirectSettings(m_win.settingsDir.path());
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
    void init() { m_win.start(); }
    void cleanup() { m_win.stop(); }

    void missingAndDamagedFilesAreNamedOnceThenCleared()
    {
        ScriptedDialogs &dialogs = *m_win.dialogs;
        MainWindow &w = *m_win.main;
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
};

QTEST_MAIN(TestDataNotice)
#include "test_datanotice.moc"
