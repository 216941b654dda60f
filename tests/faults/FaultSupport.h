#pragma once
// Shared pieces of the fault matrix: the application object, a scripted
// command host, a timer that proves the event loop runs during a transfer,
// record snapshots, drc-sim in its own process, and a tiny RAM file system.
#include "core/state/Commands.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <set>
#include <string>
#include <vector>

class IDData;
struct CVarDataS;

namespace faults {

void EnsureApplication();

// A free TCP port on 127.0.0.1 (free a moment ago).
int FreePort();
QString PrivateBus(int port); // "virtualcan:tcp://127.0.0.1:PORT/can0"
QString BinaryPath(const char* name);

class ScriptedHost : public CommandHost {
public:
    void ShowProgress() override {}
    void ShowMessage(const QString& text, MessageIcon, const QString&) override { messages << text; }
    bool Ask(const QString& text, MessageIcon, const QString&) override
    {
        questions << text;
        return answers.isEmpty() ? true : answers.takeFirst();
    }
    void RefreshActivePage() override {}
    void SetMainWindowEnabled(bool e) override { enabled = e; }

    QStringList messages, questions;
    QList<bool> answers;
    bool enabled = true;
};

// Counts the ticks of a 10 ms timer while it lives: a transfer that keeps
// the event loop running lets it tick.
class TickCounter {
public:
    TickCounter();
    int Ticks() const { return m_ticks; }
    // Whether the timer kept ticking over the elapsed time (at least one
    // tick per 100 ms: sanitizer builds on a loaded machine are slow).
    bool KeptTicking(qint64 elapsedMs) const;

private:
    QTimer m_timer;
    int m_ticks = 0;
};

// The values of every record that a transfer or a load may change.
struct RecordValues {
    int32_t CedValueE2, QvsDownloadValueE2, QvsDisplayValueE2, CedValueRAM;
    double QvsDisplayValueRAM;
    bool operator==(const RecordValues&) const = default;
};
std::vector<RecordValues> Snapshot(const IDData& table);
// Table indices whose values differ between two snapshots.
std::vector<int> Changed(const std::vector<RecordValues>& before, const std::vector<RecordValues>& after);
std::string IndexList(const std::vector<int>& indices);

// One measured row of the fault matrix, printed for docs/RELIABILITY.md.
void Report(const char* scenario, const QString& message, qint64 ms, const std::string& records, int ticks = -1);

// Waits (dispatching events) until done() or the deadline; true if done.
bool WaitUntil(const std::function<bool()>& done, int deadlineMs);

// drc-sim in its own process, hosting a private virtual bus; killed when the
// object goes.
class DrcSimProcess {
public:
    ~DrcSimProcess();
    // Starts drc-sim --bus bus with its console on standard input; true once
    // it printed its listening line (within the deadline).
    bool Start(const QString& bus, const QStringList& extra = {}, int deadlineMs = 10000);
    // One console command; the first answer line ("" after the deadline).
    // Waits with the event loop running. QVS_FAULT_DEBUG=1 prints each one.
    QString Command(const QString& line, int deadlineMs = 3000);
    // Sends a console command without waiting for its answer.
    void Send(const QString& line);
    // The number of requests the controller has taken since power-up.
    int Requests();
    void Kill();
    QString Output() const { return QString::fromUtf8(m_stdout + m_stderr); }

private:
    void Collect();
    QProcess m_process;
    QByteArray m_stdout, m_stderr;
    qsizetype m_answered = 0;
};

// A tmpfs of a few kilobytes mounted on a new folder (needs root); Ok()
// false when it could not be mounted. Unmounted and removed when it goes.
class TinyFileSystem {
public:
    explicit TinyFileSystem(int kilobytes);
    ~TinyFileSystem();
    bool Ok() const { return m_mounted; }
    QString Path() const { return m_path; }
    QString Why() const { return m_why; }

private:
    QString m_path;
    QString m_why;
    bool m_mounted = false;
};

} // namespace faults
