// Saves that meet real failures: a device that runs out of room, and a child
// process whose writes pass a file-size limit. The old file must survive byte
// for byte and the caller must hear the system's reason.
#include "FileBytes.h"
#include "FileSizeLimit.h"
#include "data/TileData.h"
#include "model/Facet.h"
#include "model/MltFile.h"
#include "model/SafeWrite.h"

#include <QDir>
#include <QSaveFile>
#include <QtEndian>
#include <QTest>

#include <sys/wait.h>
#include <unistd.h>

namespace {

// A device with a fixed room, like a disk that fills up: it takes what fits,
// then refuses with the system's words.
class FullDevice : public QIODevice
{
public:
    explicit FullDevice(qint64 room) : m_room(room) {}
    QByteArray taken;

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override
    {
        const qint64 n = qMin(size, m_room - qint64(taken.size()));
        if (n <= 0) {
            setErrorString(QStringLiteral("No space left on device"));
            return -1;
        }
        taken.append(data, n);
        return n;
    }

private:
    qint64 m_room;
};

// The bytes of a .mlt file of `count` tiles 7 in rows of 200 from (0, 0), written
// out by hand in the order a save writes them (rows, then columns).
QByteArray mltRow(int count)
{
    QByteArray out(4, '\0');
    for (int i = 0; i < count; ++i) {
        uchar e[12];
        const qint16 fields[6] = {7, qint16(i % 200), qint16(i / 200), 0, 1, 0};
        for (int f = 0; f < 6; ++f)
            qToLittleEndian<qint16>(fields[f], e + 2 * f);
        out.append(reinterpret_cast<const char *>(e), 12);
    }
    return out;
}

// A device that takes every write into its buffer and fails when the buffer
// is pushed out (its flush), the way a full disk shows only at the end.
class BufferedFullDevice : public QIODevice
{
public:
    explicit BufferedFullDevice(qint64 room) : m_room(room) {}
    QByteArray stored;
    qint64 bytesToWrite() const override { return m_pending.size(); }
    bool waitForBytesWritten(int) override
    {
        const qint64 n = qMin<qint64>(m_pending.size(), m_room - stored.size());
        stored += m_pending.left(n);
        m_pending.remove(0, n);
        if (m_pending.isEmpty())
            return true;
        setErrorString(QStringLiteral("No space left on device"));
        return false;
    }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override
    {
        m_pending.append(data, size);
        return size;
    }

private:
    qint64 m_room;
    QByteArray m_pending;
};

struct ChildResult {
    bool exited = false;
    QByteArray report;
};

// Runs `work` in a forked child whose files may not grow past `limit` bytes
// (a write past it fails with EFBIG).
template <class Work> ChildResult underSizeLimit(rlim_t limit, Work work)
{
    int fds[2];
    if (::pipe(fds) != 0)
        return {};
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        const FileSizeLimit limited(limit);
        const QByteArray report = work();
        const ssize_t written = ::write(fds[1], report.constData(), size_t(report.size()));
        ::_exit(written == report.size() ? 0 : 1);
    }
    ::close(fds[1]);
    ChildResult result;
    char buf[512];
    for (ssize_t n; (n = ::read(fds[0], buf, sizeof buf)) > 0;)
        result.report.append(buf, n);
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    result.exited = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return result;
}

} // namespace

class TestSafeWrite : public QObject
{
    Q_OBJECT
    TileData m_data;

private slots:
    void deviceThatFills_data()
    {
        QTest::addColumn<int>("room");
        QTest::addColumn<int>("size");
        QTest::newRow("full from the start") << 0 << 100;
        QTest::newRow("fills halfway") << 50 << 100;
        QTest::newRow("fills in the last byte") << 99 << 100;
    }
    void deviceThatFills()
    {
        QFETCH(int, room);
        QFETCH(int, size);
        FullDevice device(room);
        QVERIFY(device.open(QIODevice::WriteOnly));
        QString error;
        QVERIFY(!SafeWrite::writeAll(device, QByteArray(size, 'x'), &error));
        QCOMPARE(error, QStringLiteral("No space left on device"));
        QCOMPARE(device.taken.size(), room);

        FullDevice roomy(size);
        QVERIFY(roomy.open(QIODevice::WriteOnly));
        QVERIFY(SafeWrite::writeAll(roomy, QByteArray(size, 'y'), &error));
        QCOMPARE(roomy.taken, QByteArray(size, 'y'));

        FullDevice closed(size);
        QVERIFY(!SafeWrite::writeAll(closed, "z", &error));
        QVERIFY(!error.isEmpty());

        // Every write "succeeds" into the buffer; the flush is where it fails.
        BufferedFullDevice buffered(room);
        QVERIFY(buffered.open(QIODevice::WriteOnly));
        error.clear();
        QVERIFY(!SafeWrite::writeAll(buffered, QByteArray(size, 'b'), &error));
        QCOMPARE(error, QStringLiteral("No space left on device"));
        BufferedFullDevice enough(size);
        QVERIFY(enough.open(QIODevice::WriteOnly));
        QVERIFY(SafeWrite::writeAll(enough, QByteArray(size, 'b'), &error));
        QVERIFY(enough.stored.size() == size);
    }

    // Under a size limit, saving the document must fail, say why, keep the
    // old file and leave no temporary behind; small contents that sit in
    // Qt's buffer until the end are the case that used to be lost.
    void saveUnderSizeLimit_data()
    {
        QTest::addColumn<int>("oldTiles");
        QTest::addColumn<int>("newTiles");
        QTest::addColumn<int>("limit");
        QTest::newRow("buffered, cut at 1 KiB") << 91 << 170 << 1024;
        QTest::newRow("nothing may be written") << 10 << 11 << 0;
        QTest::newRow("past Qt's buffer") << 91 << 390 << 4096;
        QTest::newRow("limit inside the header") << 3 << 3 << 2;
    }
    void saveUnderSizeLimit()
    {
        QFETCH(int, oldTiles);
        QFETCH(int, newTiles);
        QFETCH(int, limit);
        QTemporaryDir dir;
        const QString path = dir.filePath("house.mlt");
        const QByteArray old = mltRow(oldTiles);
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            QVERIFY(f.write(old) == old.size());
        }
        const ChildResult child = underSizeLimit(rlim_t(limit), [&] {
            Facet model(m_data);
            const MltReadResult r = MltFile::fromBytes(mltRow(newTiles), m_data);
            model.load(r.tiles);
            model.markModified();
            QString error;
            const bool saved = model.save(path, &error);
            return QByteArray(saved ? "saved" : "failed") + (model.isModified() ? " modified " : " clean ")
                   + error.toUtf8();
        });
        QVERIFY(child.exited);
        QCOMPARE(child.report, QByteArray("failed modified File too large"));
        QCOMPARE(fileBytes(path), old);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"house.mlt"}));

        // Without the limit the same save goes through whole.
        Facet model(m_data);
        model.load(MltFile::fromBytes(mltRow(newTiles), m_data).tiles);
        model.markModified();
        QVERIFY(model.save(path));
        QVERIFY(!model.isModified());
        QCOMPARE(fileBytes(path), mltRow(newTiles));
    }

    // Every other writer goes through the same function: a plain file and a
    // commit of an opened save file behave alike.
    void replaceAndCommitUnderLimit()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("data.bin");
        const QByteArray old("the old content");
        QVERIFY(SafeWrite::replaceFile(path, old));
        const ChildResult child = underSizeLimit(64, [&] {
            QString a, b;
            const bool one = SafeWrite::replaceFile(path, QByteArray(100, 'n'), &a);
            QSaveFile file(path);
            const bool opened = file.open(QIODevice::WriteOnly);
            const bool two = SafeWrite::commit(file, QByteArray(65, 'n'), &b);
            return QByteArray::number(one) + QByteArray::number(opened) + QByteArray::number(two) + ' '
                   + a.toUtf8() + '|' + b.toUtf8();
        });
        QVERIFY(child.exited);
        QCOMPARE(child.report, QByteArray("010 File too large|File too large"));
        QCOMPARE(fileBytes(path), old);

        QString error;
        QVERIFY(!SafeWrite::replaceFile(dir.filePath("no/such/folder/x"), old, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(SafeWrite::removeFile(path));
        QVERIFY(!QFile::exists(path));
        QVERIFY(SafeWrite::removeFile(path));
    }
};

QTEST_GUILESS_MAIN(TestSafeWrite)
#include "test_safewrite.moc"
