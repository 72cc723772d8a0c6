// A save onto a disk that is really full: a tiny tmpfs in a private mount
// namespace (unshare -rm), where the real mltool writes a .mlt file. Skipped
// where user namespaces are not allowed.
#include "FileBytes.h"
#include "MulWriter.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

bool namespacesWork()
{
    QProcess p;
    p.start(QStringLiteral("unshare"), {"-rm", "sh", "-c", "mount -t tmpfs -o size=16k tmpfs /mnt"});
    return p.waitForFinished(10000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

} // namespace

class TestFullDisk : public QObject
{
    Q_OBJECT

private slots:
    // The disk has 4 KiB left (or less): a multi of `tiles` tiles does not fit.
    void importOntoFullDisk_data()
    {
        QTest::addColumn<int>("tiles");
        QTest::newRow("inside Qt's buffer") << 500;     // 6 KiB
        QTest::newRow("past Qt's buffer") << 3000;      // 36 KiB
    }
    void importOntoFullDisk()
    {
        if (!namespacesWork())
            QSKIP("no private mount namespace here");
        QFETCH(int, tiles);
        QTemporaryDir dir;
        QVector<MulWriter::MultiTile> multi;
        for (int n = 0; n < tiles; ++n)
            multi.append({quint16(7), qint16(n % 100), qint16(n / 100), 0, 1});
        const MulWriter::IndexedFile pair = MulWriter::multiFiles({{0, multi}}, 1, 12);
        const QByteArray old = QByteArray(4, '\0') + QByteArray::fromHex("030001000100000001000000");
        QVERIFY(writeFileBytes(dir.filePath("multi.idx"), pair.index) && writeFileBytes(dir.filePath("multi.mul"), pair.data)
                && writeFileBytes(dir.filePath("old.mlt"), old));

        const QString script = QStringLiteral(
            "set -e; cd \"$0\"; mkdir disk; mount -t tmpfs -o size=16k tmpfs disk;"
            "head -c 8192 /dev/zero > disk/filler; cp old.mlt disk/house.mlt;"
            "set +e; \"$1\" import multi.idx multi.mul 0 disk/house.mlt; echo \"status=$?\";"
            "cmp -s old.mlt disk/house.mlt && echo unchanged; ls -A disk | tr '\\n' ' '");
        QProcess p;
        p.start(QStringLiteral("unshare"), {"-rm", "sh", "-c", script, dir.path(),
                                            QStringLiteral(TILSEN_BINARY_DIR "/bin/mltool")});
        QVERIFY(p.waitForFinished(60000));
        const QString out = QString::fromUtf8(p.readAllStandardOutput());
        const QString err = QString::fromUtf8(p.readAllStandardError());
        QCOMPARE(out, QString("status=1\nunchanged\nfiller house.mlt "));
        QVERIFY2(err.contains("disk/house.mlt: cannot be written (No space left on device)"), qPrintable(err));
    }
};

QTEST_GUILESS_MAIN(TestFullDisk)
#include "test_fulldisk.moc"
