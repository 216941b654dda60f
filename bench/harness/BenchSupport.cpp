#include "BenchSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace bench {

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

QString BinaryPath(const QString& name)
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(name);
}

DrcSimProcess::~DrcSimProcess() { Stop(); }

bool DrcSimProcess::Start(const QString& bus, const QStringList& extra, int deadlineMs)
{
    Stop();
    m_output.clear();
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.start(BinaryPath(QStringLiteral("drc-sim")),
                    QStringList{QStringLiteral("--bus"), bus, QStringLiteral("--no-console")} + extra);
    if (!m_process.waitForStarted(deadlineMs)) {
        m_output = m_process.errorString().toLocal8Bit();
        return false;
    }
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < deadlineMs) {
        m_process.waitForReadyRead(50);
        m_output += m_process.readAll();
        if (m_output.contains("drc-sim: listening"))
            return true;
        if (m_process.state() == QProcess::NotRunning)
            return false;
    }
    return false;
}

void DrcSimProcess::Stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(2000)) {
        m_process.kill();
        m_process.waitForFinished(2000);
    }
}

} // namespace bench
