#pragma once
// Running drc-sim and qvs-cli as separate processes on a private virtual bus.
#include "sim/SimProcess.h"

#include <QString>
#include <QStringList>

namespace e2e {

// The application object QProcess and the link need (gtest_main makes none).
void EnsureApplication();

QString BinaryPath(const char* name);

// A TCP port on 127.0.0.1 that was free a moment ago, and the private
// virtual bus on it ("virtualcan:tcp://127.0.0.1:PORT/can0").
inline int FreePort() { return sim::FreeLoopbackPort(); }
inline QString PrivateBus(int port) { return sim::PrivateVirtualBus(port); }

// drc-sim of this build in its own process, hosting the virtual bus.
class DrcSimProcess : public sim::DrcSimProcess {
public:
    DrcSimProcess() : sim::DrcSimProcess(BinaryPath("drc-sim")) {}
    // With its console on standard input when withConsole.
    bool Start(const QString& bus, const QStringList& extra = {}, bool withConsole = false, int deadlineMs = 5000)
    {
        const QStringList console = withConsole ? QStringList() : QStringList{QStringLiteral("--no-console")};
        return sim::DrcSimProcess::Start(bus, console + extra, deadlineMs);
    }
};

struct CliResult {
    int ExitCode = -1;
    bool Finished = false;
    QString Out, Err;
    qint64 ElapsedMs = 0;
};

// Runs qvs-cli with the arguments and waits for it (deadline).
CliResult RunCliProcess(const QStringList& args, int deadlineMs = 10000);

} // namespace e2e
