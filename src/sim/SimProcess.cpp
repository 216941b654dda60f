#include "sim/SimProcess.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>

namespace sim {

int FreeLoopbackPort()
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

QString PrivateVirtualBus(int port) { return QStringLiteral("virtualcan:tcp://127.0.0.1:%1/can0").arg(port); }

DrcSimProcess::DrcSimProcess(QString program) : m_program(std::move(program)) {}

DrcSimProcess::~DrcSimProcess() { Stop(); }

void DrcSimProcess::Collect()
{
    m_stdout += m_process.readAllStandardOutput();
    m_stderr += m_process.readAllStandardError();
}

bool DrcSimProcess::Start(const QString& bus, const QStringList& extra, int deadlineMs)
{
    Stop();
    m_stdout.clear();
    m_stderr.clear();
    m_answered = 0;
    m_process.start(m_program, QStringList{QStringLiteral("--bus"), bus} + extra);
    if (!m_process.waitForStarted(deadlineMs)) {
        m_stderr = m_process.errorString().toUtf8();
        return false;
    }
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < deadlineMs) {
        m_process.waitForReadyRead(20);
        Collect();
        const qsizetype at = m_stdout.indexOf("drc-sim: listening on ");
        const qsizetype nl = at >= 0 ? m_stdout.indexOf('\n', at) : -1;
        if (nl >= 0) {
            m_answered = nl + 1;
            return true;
        }
        if (m_process.state() == QProcess::NotRunning)
            return false;
    }
    return false;
}

void DrcSimProcess::Send(const QString& line) { m_process.write((line + QLatin1Char('\n')).toUtf8()); }

QString DrcSimProcess::Command(const QString& line, int deadlineMs)
{
    Collect();
    m_answered = m_stdout.size();
    Send(line);
    m_process.waitForBytesWritten(deadlineMs);
    QElapsedTimer clock;
    clock.start();
    const bool debug = qEnvironmentVariableIsSet("QVS_FAULT_DEBUG");
    while (clock.elapsed() < deadlineMs) {
        Collect();
        const qsizetype nl = m_stdout.indexOf('\n', m_answered);
        if (nl >= 0) {
            const QString answer = QString::fromUtf8(m_stdout.mid(m_answered, nl - m_answered));
            m_answered = nl + 1;
            if (debug)
                std::fprintf(stderr, "console: %s -> %s\n", qPrintable(line), qPrintable(answer));
            return answer;
        }
        if (m_process.state() == QProcess::NotRunning)
            break;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QCoreApplication::sendPostedEvents();
        m_process.waitForReadyRead(1);
    }
    if (debug)
        std::fprintf(stderr, "console: %s -> (none), process state %d\n", qPrintable(line), int(m_process.state()));
    return {};
}

void DrcSimProcess::Stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(2000))
        Kill();
}

void DrcSimProcess::Kill()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.kill();
    m_process.waitForFinished(3000);
}

} // namespace sim
