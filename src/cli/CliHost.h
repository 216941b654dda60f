#pragma once
// The terminal's side of the core's controller commands: messages go to
// stderr, questions are answered by the command's flags instead of a person,
// and a transfer shows a progress line on stderr when stderr is a terminal.
#include "core/state/Commands.h"

#include <QString>
#include <QStringList>

class QTextStream;
class ShellState;

class CliHost final : public CommandHost {
public:
    CliHost(ShellState& shell, QTextStream& err, bool progressLine);
    ~CliHost() override;

    // The answers the command's flags give.
    // The power-reset question of Connect (a restore awaits a power cycle).
    bool ContinueWithPendingRestore = true;
    // A configuration error or warning question (asked when errors may be
    // overridden): errors by OverrideErrors, warnings always continue.
    bool OverrideErrors = false;
    // Why the command refuses a pending restore (printed after the question).
    QString PendingRestoreRefusal;

    // Set when Connect found a restore waiting for a power cycle.
    bool RestorePendingSeen() const { return m_restorePending; }
    // Messages the command prints itself (on stdout); not printed here.
    QStringList Suppressed;
    // Every message and question shown, in order (for the command's checks).
    const QStringList& Shown() const { return m_shown; }

    // Host
    void ShowProgress() override;
    void ShowMessage(const QString& text, MessageIcon icon, const QString& title) override;
    bool Ask(const QString& text, MessageIcon icon, const QString& title) override;
    void RefreshActivePage() override {}
    // CommandHost
    void CloseWaitWindow() override { EndProgress(); }
    void ProcessEvents() override;

    // Clears the progress line if one is shown.
    void EndProgress();
    // Prints a message text: its CR / CR LF breaks become lines.
    void Print(const QString& text);

    // A message text with its CR and CR LF line breaks as "\n", without the
    // trailing break.
    static QString Lines(const QString& text);

private:
    ShellState& m_shell;
    QTextStream& m_err;
    bool m_progressLine;
    bool m_progressShown = false;
    QString m_lastProgress;
    bool m_restorePending = false;
    QStringList m_shown;
};
