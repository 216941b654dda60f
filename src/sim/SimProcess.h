#pragma once
// drc-sim in its own process, serving a private virtual bus on the loopback
// interface: what the end-to-end tests, the fault matrix and the benchmarks
// run the programs against.
#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace sim {

// A TCP port on 127.0.0.1 that was free a moment ago; -1 when none.
int FreeLoopbackPort();
// "virtualcan:tcp://127.0.0.1:PORT/can0".
QString PrivateVirtualBus(int port);

class DrcSimProcess {
public:
    // program: the drc-sim executable.
    explicit DrcSimProcess(QString program);
    ~DrcSimProcess(); // Stop()
    DrcSimProcess(const DrcSimProcess&) = delete;
    DrcSimProcess& operator=(const DrcSimProcess&) = delete;

    // Starts drc-sim --bus bus with the extra arguments and waits for its
    // "drc-sim: listening on" line; false (Output() says why) when it did not
    // come within the deadline or the process ended.
    bool Start(const QString& bus, const QStringList& extra = {}, int deadlineMs = 5000);
    // Writes one console line without waiting for the answer.
    void Send(const QString& line);
    // One console command and the first line it answers ("" after the
    // deadline). Events are processed while waiting, so an adapter of the
    // calling process keeps working.
    QString Command(const QString& line, int deadlineMs = 3000);
    // Ends it gently (terminate, then kill), or at once, as a crash would.
    void Stop();
    void Kill();

    QString Output() const { return QString::fromUtf8(m_stdout + m_stderr); }
    QProcess& Process() { return m_process; }

private:
    void Collect();

    QString m_program;
    QProcess m_process;
    QByteArray m_stdout, m_stderr;
    qsizetype m_answered = 0;
};

} // namespace sim
