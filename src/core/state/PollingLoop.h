#pragma once
// The polling timer of the monitor and diagnostic pages, without any widget:
// a 100 ms timer whose tick reads a list of RAM words from the controller,
// hands each word to the page, and keeps ConnectionState, the status text,
// the progress and the shared polling flags up to date.
//
// A tick does nothing while another page polls; it stops the timer when the
// page's stop request is set (the page was left); otherwise it runs one
// cycle. A cycle reads the words in order and ends early on the first link
// failure, or when the timer was disabled while it waited (the main window
// disables it on disconnect and exit). A failed cycle stops polling, drops
// the connection state to Disconnected and leaves the link's text in
// ShellState::LastFailure, so the status bar says why polling stopped.
//
// The link waits dispatch events, so anything can happen during a cycle: a
// page change, DisableTimer, another timer's tick. A tick that arrives while
// this loop's own cycle is running is skipped.
#include "core/state/PollingFlags.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class ShellState;
class WordLink;

class PollingLoop : public QObject {
    Q_OBJECT
public:
    enum class Owner { Monitor, Diagnostic };
    static constexpr int IntervalMs = 100;

    // One word of a cycle.
    struct Item {
        int64_t Address = 0;
        // Stores and shows the word read (errors it raises are the page's:
        // the cycle goes on).
        std::function<void(int32_t word)> Show;
        // A monitored value: before it is shown the polling state and status
        // text are set again, and after it the cycle ends if the timer was
        // disabled meanwhile.
        bool Live = true;
    };

    // statusText: "Monitor..." / "Diagnostic..."; announce: the cycle starts
    // by setting the polling state, the text and progress 0 and redrawing.
    PollingLoop(Owner owner, PollingFlags& flags, ShellState& shell, const QString& statusText, bool announce,
                QObject* parent = nullptr);
    ~PollingLoop() override;

    // Set by the page: the link to read through (nullptr: nothing is read and
    // the cycle fails), the words of the next cycle, the status redraw.
    std::function<WordLink*()> Link;
    std::function<std::vector<Item>()> Items;
    std::function<void()> RefreshStatus;

    QTimer& Timer() { return m_timer; }
    bool Enabled() const { return m_timer.isActive(); }
    void Enable();
    // Disables the timer. Between cycles polling is over at once (the flag
    // clears and the polling state returns to Connected); during a cycle the
    // cycle ends at its next check and clears the flag itself.
    void Disable();

    // One timer tick.
    void Tick();
    // One cycle: "" or the failing read's text ("" also after a stop).
    std::string ReadCycle();

    bool CycleRunning() const { return m_cycleRunning; }
    // The page's own flags.
    bool PollingActive() const;
    bool StopRequest() const;
    void SetStopRequest(bool v);
    int16_t PollingState() const { return m_pollingState; }

    // The progress after count of total words: count x 100 / total rounded
    // half to even, 100 once it is above 99.
    static int16_t ProgressOf(int count, int total);

signals:
    // A cycle failed and polling stopped; text is the link's message.
    void pollFailed(const QString& text);

private:
    bool& Active();
    bool& Stop();
    bool OthersPolling() const;
    std::string EarlyEnd(const std::string& text);
    void Refresh();

    Owner m_owner;
    PollingFlags& m_flags;
    ShellState& m_shell;
    QString m_statusText;
    bool m_announce;
    int16_t m_pollingState;
    QTimer m_timer;
    bool m_cycleRunning = false;
};
