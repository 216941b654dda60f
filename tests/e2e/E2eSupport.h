#pragma once
// Running drc-sim and qvs-cli as separate processes on a private virtual bus.
#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <memory>

namespace e2e {

// The application object QProcess and the link need (gtest_main makes none).
void EnsureApplication();

// A TCP port on 127.0.0.1 that was free a moment ago.
int FreePort();

// "virtualcan:tcp://127.0.0.1:PORT/can0".
QString PrivateBus(int port);

QString BinaryPath(const char* name);

// drc-sim in its own process: started as the host of the virtual bus, ready
// once it has printed its listening line; stopped when the object goes.
class DrcSimProcess {
public:
    ~DrcSimProcess();
    // Starts drc-sim --bus bus --no-console? (console when withConsole) with
    // extra arguments; false (with Output() telling why) when it did not
    // report ready within the deadline.
    bool Start(const QString& bus, const QStringList& extra = {}, bool withConsole = false, int deadlineMs = 5000);
    // Sends one console line and returns the first answer line (deadline).
    QString Command(const QString& line, int deadlineMs = 2000);
    QString Output() const { return QString::fromUtf8(m_stdout + m_stderr); }
    QProcess& Process() { return m_process; }

private:
    QProcess m_process;
    QByteArray m_stdout, m_stderr;
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
