#pragma once

#include <QMap>
#include <QProcess>
#include <QStringList>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

// The real mltool of this build with the fail shim preloaded (it acts only when
// one of its TILSEN_SHIM_* variables asks), optionally under a file-size limit
// or killed after a delay. Status -1 when it did not end normally.
struct ShimmedMlTool {
    int status = -1;
    QString err;

    static ShimmedMlTool run(const QStringList &args, const QMap<QString, QString> &vars = {}, qint64 limit = -1,
                             qint64 killAfterUs = -1)
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("LD_PRELOAD", TILSEN_FAILSHIM);
        env.insert("ASAN_OPTIONS", "verify_asan_link_order=0:detect_leaks=0");
        for (auto it = vars.cbegin(); it != vars.cend(); ++it)
            env.insert(it.key(), it.value());
        p.setProcessEnvironment(env);
        if (limit >= 0) // the limit only: mltool itself must turn SIGXFSZ into a failed write
            p.setChildProcessModifier([limit] {
                const rlimit l{rlim_t(limit), rlim_t(limit)};
                ::setrlimit(RLIMIT_FSIZE, &l);
            });
        p.start(QStringLiteral(TILSEN_BINARY_DIR "/bin/mltool"), args);
        if (!p.waitForStarted())
            return {};
        if (killAfterUs >= 0) {
            ::usleep(useconds_t(killAfterUs));
            ::kill(pid_t(p.processId()), SIGKILL);
        }
        if (!p.waitForFinished(120000))
            p.kill(), p.waitForFinished();
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromLocal8Bit(p.readAllStandardError())};
    }
};
