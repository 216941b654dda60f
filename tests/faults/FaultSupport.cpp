#include "FaultSupport.h"

#include "core/link/IDData.h"

#include <QCoreApplication>
#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <sys/mount.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace faults {

void EnsureApplication()
{
    static int argc = 1;
    static char name[] = "fault_tests";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new QCoreApplication(argc, argv);
}

QString BinaryPath(const char* name) { return QStringLiteral(QVS_BIN_DIR "/") + QLatin1String(name); }

TickCounter::TickCounter()
{
    m_timer.setInterval(10);
    QObject::connect(&m_timer, &QTimer::timeout, [this] { ++m_ticks; });
    m_timer.start();
}

bool TickCounter::KeptTicking(qint64 elapsedMs) const
{
    if (elapsedMs < 100)
        return true; // too short to tell
    // A blocked loop gives no tick at all; a loaded machine may give far
    // fewer than one per 10 ms.
    return m_ticks >= std::max<qint64>(1, elapsedMs / 100);
}

std::vector<RecordValues> Snapshot(const IDData& table)
{
    std::vector<RecordValues> v;
    for (int i = 1; i < table.VarTableEnd; ++i) {
        const CVarDataS& d = table.At(i)->DataS;
        v.push_back({d.CedValueE2, d.QvsDownloadValueE2, d.QvsDisplayValueE2, d.CedValueRAM, d.QvsDisplayValueRAM});
    }
    return v;
}

std::vector<int> Changed(const std::vector<RecordValues>& before, const std::vector<RecordValues>& after)
{
    std::vector<int> out;
    for (size_t i = 0; i < before.size() && i < after.size(); ++i)
        if (!(before[i] == after[i]))
            out.push_back(static_cast<int>(i + 1));
    return out;
}

std::string IndexList(const std::vector<int>& indices)
{
    if (indices.empty())
        return "none";
    std::string s;
    for (int i : indices)
        s += (s.empty() ? "" : ",") + std::to_string(i);
    return s;
}

void Report(const char* scenario, const QString& message, qint64 ms, const std::string& records, int ticks)
{
    std::printf("FAULT-MATRIX | %s | \"%s\" | %lld ms | %d ticks of a 10 ms timer | changed: %s\n", scenario,
                qPrintable(QString(message).replace(QLatin1Char('\r'), QStringLiteral("\\r"))),
                static_cast<long long>(ms), ticks, records.c_str());
    std::fflush(stdout);
}

bool WaitUntil(const std::function<bool()>& done, int deadlineMs)
{
    // done() is asked once per round: it may consume what it looks for.
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        if (done())
            return true;
        if (clock.elapsed() >= deadlineMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QCoreApplication::sendPostedEvents();
        ::usleep(500);
    }
}

int DrcSimProcess::Requests()
{
    static const QRegularExpression re(QStringLiteral("requests (\\d+)"));
    const QRegularExpressionMatch m = re.match(Command(QStringLiteral("status")));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

TinyFileSystem::TinyFileSystem(int kilobytes)
{
    m_path = QDir::tempPath() + QStringLiteral("/qvs-tinyfs-%1-%2").arg(::getpid()).arg(reinterpret_cast<quintptr>(this));
    if (!QDir().mkpath(m_path)) {
        m_why = QStringLiteral("cannot create ") + m_path;
        return;
    }
    const QByteArray options = QByteArray("size=") + QByteArray::number(kilobytes) + "k";
    if (::mount("tmpfs", m_path.toLocal8Bit().constData(), "tmpfs", 0, options.constData()) != 0) {
        m_why = QStringLiteral("mount -t tmpfs failed: ") + QString::fromLocal8Bit(std::strerror(errno));
        QDir().rmdir(m_path);
        return;
    }
    m_mounted = true;
}

TinyFileSystem::~TinyFileSystem()
{
    if (m_mounted)
        ::umount2(m_path.toLocal8Bit().constData(), MNT_DETACH);
    QDir().rmdir(m_path);
}

} // namespace faults
