// radarcol.mul read bounded: damaged files are reported and never crash; a
// missing one is worth a line in the report but no warning.
#include "data/DataFiles.h"
#include "data/RadarColours.h"
#include "FileBytes.h"

#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

using State = DataFileStatus::State;
Q_DECLARE_METATYPE(State)

class TestRadarCol : public QObject
{
    Q_OBJECT
private slots:
    void files_data()
    {
        QTest::addColumn<int>("bytes"); // -1: none, -2: a folder
        QTest::addColumn<State>("state");
        QTest::addColumn<int>("colours");
        QTest::newRow("classic") << 0x10000 << State::Found << 0x8000;
        QTest::newRow("newer, more art") << 0x28000 << State::Found << 0x14000;
        QTest::newRow("short") << 0x4002 << State::Unrecognised << 0x2001;
        QTest::newRow("odd size") << 0x10001 << State::Unrecognised << 0x8000;
        QTest::newRow("oversized") << 0x30000 << State::Unrecognised << 0x14000;
        QTest::newRow("missing") << -1 << State::Missing << 0;
        QTest::newRow("a folder") << -2 << State::Unreadable << 0;
    }

    void files()
    {
        QFETCH(int, bytes);
        QFETCH(State, state);
        QFETCH(int, colours);
        QTemporaryDir dir;
        const QString path = dir.filePath("radarcol.mul");
        QByteArray data(qMax(bytes, 0), '\0');
        if (bytes > 0x8010) // terrain 0x4007 is the art id 7
            qToLittleEndian<quint16>(0x7C1F, data.data() + 2 * 0x4007);
        QVERIFY(bytes == -1 || (bytes == -2 ? QDir(dir.path()).mkdir("radarcol.mul") : writeFileBytes(path, data)));
        const RadarColours radar(path);
        QCOMPARE(radar.status().state, state);
        QCOMPARE(radar.size(), colours);
        QCOMPARE(radar.colour(true, 7), colours > 0x4007 ? std::optional<quint16>(0x7C1F) : std::nullopt);
        QVERIFY(!radar.colour(false, 0x4007) && !radar.colour(true, -1));
        // In the report; only a present but unusable file is a problem.
        QCOMPARE(DataFiles::problems({radar.status()}).size(), state == State::Found || state == State::Missing ? 0 : 1);
        DataPaths paths;
        paths.radarCol = path;
        const QVector<DataFileStatus> all = DataFiles::check(paths);
        QCOMPARE(all.last().state, state);
        // Missing multi files are reported as missing, not left out.
        QCOMPARE(std::count_if(all.cbegin(), all.cend(), [](const DataFileStatus &s) { return s.name.startsWith("multi."); }), 2);
    }
};

QTEST_GUILESS_MAIN(TestRadarCol)
#include "test_radarcol.moc"
