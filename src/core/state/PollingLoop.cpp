#include "core/state/PollingLoop.h"

#include "core/link/NumberText.h"
#include "core/link/WordLink.h"
#include "core/state/ShellState.h"

#include <QPointer>

#include <algorithm>
#include <exception>

namespace {

constexpr const char* NoLinkText = "Comunication Error";

// Marks a cycle as running for as long as it is in scope, unless the loop
// itself went away meanwhile.
class CycleMark {
public:
    CycleMark(QPointer<PollingLoop>& self, bool& flag) : m_self(self), m_flag(flag) { m_flag = true; }
    ~CycleMark()
    {
        if (m_self)
            m_flag = false;
    }
    CycleMark(const CycleMark&) = delete;
    CycleMark& operator=(const CycleMark&) = delete;

private:
    QPointer<PollingLoop>& m_self;
    bool& m_flag;
};

} // namespace

PollingLoop::PollingLoop(Owner owner, PollingFlags& flags, ShellState& shell, const QString& statusText,
                         bool announce, QObject* parent)
    : QObject(parent), m_owner(owner), m_flags(flags), m_shell(shell), m_statusText(statusText),
      m_announce(announce), m_pollingState(owner == Owner::Monitor ? MonitorPolling : DiagnosticPolling)
{
    m_timer.setInterval(IntervalMs);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        try {
            Tick();
        } catch (const std::exception&) {
            // A timer handler lets nothing escape; the cycle has already
            // caught what the page's handlers raise.
        }
    });
}

PollingLoop::~PollingLoop() { m_timer.stop(); }

bool& PollingLoop::Active()
{
    return m_owner == Owner::Monitor ? m_flags.MonitorPollingActive : m_flags.DiagnosticPollingActive;
}

bool& PollingLoop::Stop()
{
    return m_owner == Owner::Monitor ? m_flags.MonitorStopRequest : m_flags.DiagnosticStopRequest;
}

bool PollingLoop::PollingActive() const
{
    return m_owner == Owner::Monitor ? m_flags.MonitorPollingActive : m_flags.DiagnosticPollingActive;
}

bool PollingLoop::StopRequest() const
{
    return m_owner == Owner::Monitor ? m_flags.MonitorStopRequest : m_flags.DiagnosticStopRequest;
}

void PollingLoop::SetStopRequest(bool v) { Stop() = v; }

bool PollingLoop::OthersPolling() const
{
    return m_owner == Owner::Monitor ? m_flags.OthersThanMonitorPolling() : m_flags.OthersThanDiagnosticPolling();
}

void PollingLoop::Enable()
{
    if (!m_timer.isActive())
        m_timer.start();
}

void PollingLoop::Disable()
{
    m_timer.stop();
    if (m_cycleRunning)
        return; // the cycle sees the stopped timer and ends itself
    // Between cycles nothing is in flight: polling is over now, so an exit
    // waiting for StatusTimerForm is not held up and the other pages may poll.
    Active() = false;
    if (m_shell.ConnectionState() == m_pollingState)
        m_shell.SetConnectionState(Connected);
}

int16_t PollingLoop::ProgressOf(int count, int total)
{
    if (total <= 0)
        return 100;
    const int16_t p = RoundToInt16(static_cast<double>(count) * 100.0 / total);
    return p > 99 ? int16_t{100} : p;
}

void PollingLoop::Refresh()
{
    if (RefreshStatus)
        RefreshStatus();
}

void PollingLoop::Tick()
{
    if (m_cycleRunning)
        return; // this loop's own cycle is waiting for a reply
    if (OthersPolling())
        return;
    if (Stop()) {
        m_timer.stop();
        Active() = false;
        if (m_shell.ConnectionState() == m_pollingState)
            m_shell.SetConnectionState(Connected);
        return;
    }
    Active() = true;
    Stop() = false;
    QPointer<PollingLoop> self(this);
    const std::string failure = ReadCycle();
    if (!self || failure.empty())
        return;
    m_timer.stop();
    // The reason goes to the status bar before the state drops, so the
    // redraw that follows the drop already shows it.
    const QString text = QString::fromStdString(failure);
    m_shell.SetLastFailure(text);
    m_shell.SetConnectionState(Disconnected);
    Refresh();
    emit pollFailed(text);
}

std::string PollingLoop::EarlyEnd(const std::string& text)
{
    m_shell.SetConnectionState(Disconnected);
    Active() = false;
    return text;
}

std::string PollingLoop::ReadCycle()
{
    QPointer<PollingLoop> self(this);
    const std::vector<Item> items = Items ? Items() : std::vector<Item>{};
    CycleMark mark(self, m_cycleRunning);
    const int total = static_cast<int>(items.size());

    if (m_announce) {
        m_shell.SetConnectionState(m_pollingState);
        m_shell.SetStatusMessage(m_statusText);
        m_shell.SetProgressPercent(0);
        Refresh();
    }

    int count = 0;
    for (const Item& item : items) {
        WordLink* link = Link ? Link() : nullptr;
        if (!link)
            return EarlyEnd(NoLinkText);
        int32_t word = 0;
        std::string error = link->ReadRAMWord(item.Address, word);
        if (!self)
            return std::string(); // the page went away while the read waited
        if (!error.empty()) {
            // A read cut short by a disconnect or exit is the stop's doing,
            // not a failure to report.
            if (!m_timer.isActive())
                error.clear();
            return EarlyEnd(error);
        }
        if (item.Live) {
            m_shell.SetConnectionState(m_pollingState);
            m_shell.SetStatusMessage(m_statusText);
        }
        if (item.Show) {
            try {
                item.Show(word);
            } catch (const std::exception&) {
                // A value that does not convert leaves its display as it was.
            }
        }
        ++count;
        m_shell.SetProgressPercent(ProgressOf(count, total));
        Refresh();
        if (!self)
            return std::string();
        if (item.Live && !m_timer.isActive())
            return EarlyEnd(std::string());
    }
    return std::string();
}
