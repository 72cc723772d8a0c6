#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// The real mltool of this build, run to its end: exit code and output are
// part of its interface. Status -1 when it did not finish normally.
struct MlToolRun {
    int status = -1;
    QString out, err;

    static MlToolRun of(const QStringList &args)
    {
        QProcess p;
        p.start(QStringLiteral(TILSEN_BINARY_DIR "/bin/mltool"), args);
        const bool done = p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit;
        return {done ? p.exitCode() : -1, p.readAllStandardOutput(), p.readAllStandardError()};
    }
};
