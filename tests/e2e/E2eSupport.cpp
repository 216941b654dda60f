#include "E2eSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>

namespace e2e {

void EnsureApplication()
{
    static int argc = 1;
    static char name[] = "e2e_tests";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new QCoreApplication(argc, argv);
}

QString BinaryPath(const char* name) { return QStringLiteral(QVS_BIN_DIR "/") + QLatin1String(name); }

CliResult RunCliProcess(const QStringList& args, int deadlineMs)
{
    CliResult r;
    QProcess p;
    QElapsedTimer clock;
    clock.start();
    p.start(BinaryPath("qvs-cli"), args);
    r.Finished = p.waitForStarted(deadlineMs) && p.waitForFinished(deadlineMs);
    r.ElapsedMs = clock.elapsed();
    if (!r.Finished) {
        p.kill();
        p.waitForFinished(2000);
    }
    r.ExitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.Out = QString::fromUtf8(p.readAllStandardOutput());
    r.Err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

} // namespace e2e
