#include "MlToolRun.h"
#include "data/FileFormats.h"
#include "data/MultiCollection.h"
#include "data/TileData.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

// Every format of the registry, written to disk and read back: what returns is
// exactly what the format says it keeps; mltool's help names each one.
class TestFileFormats : public QObject
{
    Q_OBJECT

    TileData m_data;
    QTemporaryDir m_dir;

    static QList<int> fields(const TileRecord &t) { return {t.id, t.x, t.y, t.z, t.hue, t.visible}; }

private slots:
    void keepsWhatItSays_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < FileFormats::all().size(); ++i)
            QTest::newRow(qPrintable(FileFormats::all()[i]->suffix())) << i;
    }
    void keepsWhatItSays()
    {
        QFETCH(int, index);
        const FileFormat *format = FileFormats::all()[index];
        const QString path = m_dir.filePath("multi." + format->suffix().toUpper());
        QCOMPARE(FileFormats::of(path), format);
        QList<TileRecord> tiles;
        for (const QList<int> &f : QList<QList<int>>{{100, -3, 4, -7, 0, 1}, {101, 0, 0, 0, 33, 1}, {102, 5, 1, 127, 0, 0}}) {
            TileRecord t(quint16(f[0]), qint16(f[4]), qint16(f[3]), m_data, Art);
            t.x = f[1], t.y = f[2], t.visible = qint16(f[5]);
            tiles << t;
        }
        FileFormat::Written written;
        QVERIFY2(FileFormats::write(path, tiles, {}, written), qPrintable(written.error));
        const FileFormat::Keeps keeps = format->keeps();
        QList<QList<int>> expected;
        for (const TileRecord &t : tiles) {
            if (t.visible || keeps.visibility)
                expected << QList<int>{t.id, t.x, t.y, t.z, keeps.hue ? t.hue : 0, t.visible};
        }
        FileFormat::Loaded loaded = FileFormats::read(path, m_data);
        QVERIFY2(loaded.ok, qPrintable(loaded.error));
        QList<QList<int>> back;
        for (const TileRecord &t : takeInDrawOrder(loaded.tiles))
            back << fields(t);
        std::sort(back.begin(), back.end());
        std::sort(expected.begin(), expected.end());
        QCOMPARE(back, expected);
        const QString help = MlToolRun::of({"--help"}).out;
        QVERIFY(help.contains(QRegularExpression(QStringLiteral("\\.%1 +%2").arg(format->suffix(), format->description()))));
    }

    void unknownSuffixIsRefusedUnwritten()
    {
        const QString path = m_dir.filePath("multi.xyz");
        FileFormat::Written written;
        QVERIFY(!FileFormats::write(path, {}, {}, written));
        QVERIFY(!QFile::exists(path));
        QVERIFY2(written.error.contains(".mlt, .txt, .csv or .cs"), qPrintable(written.error));
        QCOMPARE(FileFormats::read(path, m_data).error, written.error);
    }
};

QTEST_GUILESS_MAIN(TestFileFormats)
#include "test_file_formats.moc"
