#pragma once

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

// One run of the sample data generator into a fresh temporary folder.
class SampleRun
{
public:
    SampleRun()
    {
        QProcess p;
        p.start(QStringLiteral(TILSEN_SAMPLEDATA_EXE), {dataDir(), xmlDir()});
        ok = p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    }
    QString dataDir() const { return dir.filePath(QStringLiteral("data")); }
    QString xmlDir() const { return dir.filePath(QStringLiteral("xml")); }
    QString data(const QString &name) const { return QDir(dataDir()).filePath(name); }
    QString xml(const QString &name) const { return QDir(xmlDir()).filePath(name); }

    QTemporaryDir dir;
    bool ok = false;
};
