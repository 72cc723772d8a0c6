// Saves that meet real failures: a device that runs out of room, and a child
// process whose writes pass a file-size limit. The old file must survive byte
// for byte and the caller must hear the system's reason.
#include "FileBytes.h"
#include "FileSizeLimit.h"
#include "MltRows.h"
#include "data/TileData.h"
#include "model/Facet.h"
#include "model/MltFile.h"
#include "model/SafeWrite.h"

#include <QDir>
#include <QSaveFile>
#include <QTest>

namespace {

// A device with a fixed room, like a disk that fills up: it keeps what fits,
// then refuses with the system's words. Buffered, it takes every write and
// fails only when its buffer is pushed out, the way a full disk shows at the end.
class FullDevice : public QIODevice
{
public:
    explicit FullDevice(qint64 room, bool buffered = false) : m_room(room), m_buffered(buffered) {}
    QByteArray stored;
    qint64 bytesToWrite() const override { return m_pending.size(); }
    bool waitForBytesWritten(int) override
    {
        m_pending.remove(0, keep(m_pending));
        return m_pending.isEmpty();
    }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override
    {
        if (m_buffered)
            return m_pending.append(data, size), size;
        const qint64 n = keep(QByteArray(data, size));
        return n > 0 ? n : -1;
    }

private:
    qint64 keep(const QByteArray &bytes)
    {
        const qint64 n = qMin<qint64>(bytes.size(), m_room - stored.size());
        stored += bytes.left(n);
        if (n < bytes.size())
            setErrorString(QStringLiteral("No space left on device"));
        return n;
    }
    qint64 m_room;
    bool m_buffered;
    QByteArray m_pending;
};

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
        QCOMPARE(device.stored.size(), room);

        FullDevice roomy(size);
        QVERIFY(roomy.open(QIODevice::WriteOnly));
        QVERIFY(SafeWrite::writeAll(roomy, QByteArray(size, 'y'), &error));
        QCOMPARE(roomy.stored, QByteArray(size, 'y'));
        FullDevice closed(size);
        error.clear();
        QVERIFY(!SafeWrite::writeAll(closed, "z", &error));
        QVERIFY(!error.isEmpty());

        // Every write "succeeds" into the buffer; the flush is where it fails.
        FullDevice buffered(room, true), enough(size, true);
        QVERIFY(buffered.open(QIODevice::WriteOnly) && enough.open(QIODevice::WriteOnly));
        QVERIFY(!SafeWrite::writeAll(buffered, QByteArray(size, 'b'), &error));
        QCOMPARE(error, QStringLiteral("No space left on device"));
        QVERIFY(SafeWrite::writeAll(enough, QByteArray(size, 'b'), &error));
        QCOMPARE(enough.stored.size(), size);
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
        const QByteArray old = mltRows(oldTiles);
        QVERIFY(SafeWrite::replaceFile(path, old));
        Facet model(m_data);
        model.load(MltFile::fromBytes(mltRows(newTiles), m_data).tiles);
        model.markModified();
        QString error;
        {
            const FileSizeLimit limited{rlim_t(limit)};
            QVERIFY(!model.save(path, &error));
        }
        QCOMPARE(error, QStringLiteral("File too large"));
        QVERIFY(model.isModified());
        QCOMPARE(fileBytes(path), old);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"house.mlt"}));

        // Without the limit the same save goes through whole.
        QVERIFY(model.save(path));
        QVERIFY(!model.isModified());
        QCOMPARE(fileBytes(path), mltRows(newTiles));
    }

    // Every other writer goes through the same function: a plain file and a
    // commit of an opened save file behave alike.
    void replaceAndCommitUnderLimit()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("data.bin");
        const QByteArray old("the old content");
        QVERIFY(SafeWrite::replaceFile(path, old));
        {
            const FileSizeLimit limited(64);
            QString a, b;
            QVERIFY(!SafeWrite::replaceFile(path, QByteArray(100, 'n'), &a));
            QSaveFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(!SafeWrite::commit(file, QByteArray(65, 'n'), &b));
            QCOMPARE(a + '|' + b, QStringLiteral("File too large|File too large"));
        }
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
