#include "E2eSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace e2e {

void EnsureApplication()
{
    static int argc = 1;
    static char name[] = "e2e_tests";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new QCoreApplication(argc, argv);
}

int FreePort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        return -1;
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    socklen_t len = sizeof addr;
    int port = -1;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) == 0)
        port = ntohs(addr.sin_port);
    ::close(fd);
    return port;
}

QString PrivateBus(int port) { return QStringLiteral("virtualcan:tcp://127.0.0.1:%1/can0").arg(port); }

QString BinaryPath(const char* name) { return QStringLiteral(QVS_BIN_DIR "/") + QLatin1String(name); }

DrcSimProcess::~DrcSimProcess()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(2000)) {
        m_process.kill();
        m_process.waitForFinished(2000);
    }
}

bool DrcSimProcess::Start(const QString& bus, const QStringList& extra, bool withConsole, int deadlineMs)
{
    QStringList args{QStringLiteral("--bus"), bus};
    if (!withConsole)
        args << QStringLiteral("--no-console");
    args << extra;
    m_process.start(BinaryPath("drc-sim"), args);
    if (!m_process.waitForStarted(deadlineMs))
        return false;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < deadlineMs) {
        m_process.waitForReadyRead(50);
        m_stdout += m_process.readAllStandardOutput();
        m_stderr += m_process.readAllStandardError();
        if (m_stdout.contains("drc-sim: listening on "))
            return true;
        if (m_process.state() == QProcess::NotRunning)
            return false;
    }
    return false;
}

QString DrcSimProcess::Command(const QString& line, int deadlineMs)
{
    const qsizetype start = m_stdout.size();
    m_process.write((line + QLatin1Char('\n')).toUtf8());
    m_process.waitForBytesWritten(deadlineMs);
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < deadlineMs) {
        const qsizetype nl = m_stdout.indexOf('\n', start);
        if (nl >= 0)
            return QString::fromUtf8(m_stdout.mid(start, nl - start));
        m_process.waitForReadyRead(50);
        m_stdout += m_process.readAllStandardOutput();
        m_stderr += m_process.readAllStandardError();
    }
    return {};
}

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
