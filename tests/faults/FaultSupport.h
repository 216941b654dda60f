#pragma once
// Shared pieces of the fault matrix: the application object, a scripted
// command host, a timer that proves the event loop runs during a transfer,
// record snapshots, drc-sim in its own process, and a tiny RAM file system.
#include "core/state/Commands.h"
#include "sim/SimProcess.h"

#include <QElapsedTimer>
#include <QList>
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

QString BinaryPath(const char* name);
// A free TCP port on 127.0.0.1 (free a moment ago).
inline int FreePort() { return sim::FreeLoopbackPort(); }
inline QString PrivateBus(int port) { return sim::PrivateVirtualBus(port); } // "virtualcan:tcp://127.0.0.1:PORT/can0"

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

// drc-sim of this build in its own process, hosting a private virtual bus,
// with its console on standard input and no live-value timer; killed when
// the object goes. QVS_FAULT_DEBUG=1 prints each console command.
class DrcSimProcess : public sim::DrcSimProcess {
public:
    DrcSimProcess() : sim::DrcSimProcess(BinaryPath("drc-sim")) {}
    ~DrcSimProcess() { Kill(); }
    DrcSimProcess(const DrcSimProcess&) = delete;
    DrcSimProcess& operator=(const DrcSimProcess&) = delete;
    bool Start(const QString& bus, const QStringList& extra = {}, int deadlineMs = 10000)
    {
        return sim::DrcSimProcess::Start(bus, QStringList{QStringLiteral("--tick"), QStringLiteral("0")} + extra,
                                         deadlineMs);
    }
    // The number of requests the controller has taken since power-up.
    int Requests();
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
