#pragma once
// What core code needs from the program around it: show progress, show a
// message, refresh the active page. The GUI implements it with the status bar
// and the wait window, the command-line tool with a terminal progress line.
#include <QString>

enum class MessageIcon { None, Information, Warning, Critical };

class Host {
public:
    virtual ~Host() = default;
    // Redraw the progress bar and the wait window from ShellState
    // (ProgressPercent, StatusMessage).
    virtual void ShowProgress() = 0;
    // A message box with an OK button (title "QvsStudio" unless given).
    virtual void ShowMessage(const QString& text, MessageIcon icon = MessageIcon::None,
                             const QString& title = QString()) = 0;
    // A Yes/No question; true for Yes.
    virtual bool Ask(const QString& text, MessageIcon icon = MessageIcon::Warning,
                     const QString& title = QString()) = 0;
    // Ask the active page to redraw from the parameter set.
    virtual void RefreshActivePage() = 0;
};

// A host that does nothing: for tests and batch use.
class NullHost : public Host {
public:
    void ShowProgress() override {}
    void ShowMessage(const QString&, MessageIcon, const QString&) override {}
    bool Ask(const QString&, MessageIcon, const QString&) override { return answer; }
    bool answer = true;
    void RefreshActivePage() override {}
};
