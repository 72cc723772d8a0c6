#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

// The build installed into a temporary prefix, as a package or a user has it:
// the installed programs run from there and find their data under share/tilsen.
class TestInstall : public QObject
{
    Q_OBJECT

    QTemporaryDir m_prefix, m_home;
    QProcessEnvironment m_env;

    struct Run {
        int status = -1;
        QString out, err;
    };
    Run run(const QString &program, const QStringList &args)
    {
        QProcess p;
        p.setProcessEnvironment(m_env);
        p.start(program, args);
        const bool done = p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit;
        return {done ? p.exitCode() : -1, p.readAllStandardOutput(), p.readAllStandardError()};
    }
    QString installed(const QString &path) const { return m_prefix.filePath(path); }

private slots:
    void initTestCase()
    {
        // No stored data locations, no game, no display: only what was installed.
        m_env = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME"})
            m_env.insert(name, m_home.path());
        m_env.remove("WINEPREFIX");
        m_env.remove("DISPLAY");
        // Sanitized, Qt's window system keeps memory it cannot free; leaks are not checked here.
        m_env.insert("ASAN_OPTIONS", "detect_leaks=0");
        const Run r = run(TILSEN_CMAKE, {"--install", TILSEN_BINARY_DIR, "--prefix", m_prefix.path()});
        QVERIFY2(r.status == 0, qPrintable(r.err));
    }

    void installedPrograms_data()
    {
        QTest::addColumn<QStringList>("command");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("output");
        const QString version = QStringLiteral(TILSEN_PROJECT_VERSION);
        QTest::newRow("tilsen --version") << QStringList{"bin/tilsen", "--version"} << 0 << "^tilsen " + version + "\n$";
        QTest::newRow("tilsen --help") << QStringList{"bin/tilsen", "--help"} << 0 << "Usage: tilsen .*FILE";
        QTest::newRow("tilsen, unknown option")
            << QStringList{"bin/tilsen", "-platform", "offscreen", "--bogus"} << 2 << "unknown option \"--bogus\"";
        QTest::newRow("mltool --version") << QStringList{"bin/mltool", "--version"} << 0 << "^mltool " + version + "\n$";
        QTest::newRow("desktop entry") << QStringList{"/usr/bin/desktop-file-validate", "share/applications/tilsen.desktop"}
                                       << 0 << "^$";
        QTest::newRow("MIME type") << QStringList{"/usr/bin/update-mime-database", "share/mime"} << 0 << "";
    }
    void installedPrograms()
    {
        QFETCH(QStringList, command);
        QFETCH(int, status);
        QFETCH(QString, output);
        const QString program = command.takeFirst();
        for (QString &a : command)
            a = a.startsWith("share/") ? installed(a) : a;
        const Run r = run(program.startsWith('/') ? program : installed(program), command);
        QCOMPARE(r.status, status);
        QVERIFY2((r.out + r.err).contains(QRegularExpression(output)), qPrintable(r.out + r.err));
        if (QTest::currentDataTag() == QLatin1String("MIME type")) {
            QFile globs(installed("share/mime/globs2"));
            QVERIFY(globs.open(QIODevice::ReadOnly));
            QVERIFY(globs.readAll().contains(":application/x-tilsen-multi:*.mlt"));
        }
    }

    // Run as file managers run the thumbnailer entry, on the sample data's tower.
    void thumbnailer_data()
    {
        QTest::addColumn<int>("cut"); // bytes cut off the end; -1: a FIFO
        QTest::addColumn<bool>("drawn");
        QTest::newRow("whole") << 0 << true;
        QTest::newRow("partial last entry") << 5 << false;
        QTest::newRow("FIFO, no writer") << -1 << false;
    }
    void thumbnailer()
    {
        QFETCH(int, cut);
        QFETCH(bool, drawn);
        const QString data = installed("share/tilsen/sample-data/"), mlt = m_home.filePath("tower.mlt");
        const QString png = m_home.filePath(QTest::currentDataTag() + QStringLiteral(".png"));
        QCOMPARE(run(installed("bin/mltool"), {"import", data + "multi.idx", data + "multi.mul", "1", mlt}).status, 0);
        QFile f(mlt);
        QVERIFY(cut < 0 ? f.remove() && mkfifo(qPrintable(mlt), 0600) == 0 : f.resize(f.size() - cut));

        QFile entry(installed("share/thumbnailers/tilsen.thumbnailer"));
        QVERIFY(entry.open(QIODevice::ReadOnly));
        const QString exec = QRegularExpression("^Exec=(.*)$", QRegularExpression::MultilineOption)
                                 .match(entry.readAll())
                                 .captured(1);
        QStringList args = exec.split(' ').replaceInStrings("%i", mlt).replaceInStrings("%o", png);
        args.replaceInStrings("%s", "96");
        const Run r = run(installed("bin/" + args.takeFirst()), args);
        QCOMPARE(r.status, drawn ? 0 : 1);
        QCOMPARE(QFile::exists(png), drawn);
        if (!drawn)
            return;
        const QImage image(png);
        QCOMPARE(image.size(), QSize(96, 96));
        for (const QPoint corner : {QPoint(0, 0), QPoint(95, 0), QPoint(0, 95), QPoint(95, 95)})
            QCOMPARE(qAlpha(image.pixel(corner)), 0);
        QVERIFY(qAlpha(image.pixel(48, 48)) == 255);
    }
};

QTEST_GUILESS_MAIN(TestInstall)
#include "test_install.moc"
