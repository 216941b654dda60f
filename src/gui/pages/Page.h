#pragma once
// The protocol every page of the main window offers: its tab key, its page
// masks for the bulk transfer, its share of the status drawing, its polling
// timer, its redraw from the parameter set and its write checks. The main
// window calls these on the active page or on every loaded page.
//
// A page reaches the main window through Shell (status bar, indicators,
// command availability, the manual, the exit procedure, dialogs).
#include "core/state/PageRegistry.h"

#include <QString>
#include <QWidget>

#include <cstdint>

class QProgressBar;
class Shell;
class StatusBarView;

// What a page's status drawing does, by connection state. Every page handles
// Disconnected and Busy; the rest is the page's own.
struct DrawBarProfile {
    // The page handles Connected (1): the commands below are offered then.
    bool HandlesConnected = false;
    // The page's own polling state (3, 4 or 5), 0 when it does not poll.
    int16_t PollingState = 0;
    // Commands available in Connected (never while polling).
    bool ResetWhenConnected = false;
    bool ReadWhenConnected = false;
    bool WriteWhenConnected = false;
    // Login/Logout follow AssistanceLoggedIn; otherwise both are unavailable.
    bool LoginByAssistance = false;
};

class Page : public QWidget {
    Q_OBJECT
public:
    // Registers the page keys in the context's page registry; the destructor
    // removes them again. readKey/writeKey are the page masks (0 = no
    // parameters of its own).
    Page(Shell& shell, int16_t readKey, int16_t writeKey, QWidget* parent = nullptr);
    ~Page() override;

    // The key of the page's tab ("A1".."A5"); set by the page construction.
    QString Tag() const { return m_tag; }
    void SetTag(const QString& tag) { m_tag = tag; }
    // True for pages: tells pages from the other windows of the program.
    bool MDIChild() const { return true; }

    int16_t ReadKey() const { return m_keys.ReadKey; }
    int16_t WriteKey() const { return m_keys.WriteKey; }
    // Number of catalogue parameters of the page (set by the page count).
    int16_t PageVarNum() const { return m_keys.PageVarNum; }
    void SetPageVarNum(int16_t n) { m_keys.PageVarNum = n; }
    PageKeys& Keys() { return m_keys; }

    // The page's share of the status drawing: connection icon and text, the
    // commands available in the states the page handles, the login controls.
    // The default draws the page's DrawBarProfile(); pages add their extras.
    virtual void DrawBar(StatusBarView& statusBar, QProgressBar& progressBar, const QString& text);
    // Stop the page's polling timer (disconnect, exit).
    virtual void DisableTimer() {}
    // True while the page's timer is still running (the exit waits for it).
    virtual bool StatusTimerForm() const { return false; }
    // Redraw the page from the parameter set.
    virtual void RefreshObject() {}
    // Configuration errors that forbid a write; empty when none.
    virtual QString CheckDataToWrite() { return {}; }
    // Configuration warnings; empty when none (offered by the Configure page).
    virtual QString CheckFloatPinToWrite() { return {}; }
    // The page of the manual that F1 opens on this page.
    virtual int ManualPage() const = 0;

    // The page became the active page (shown, focus given) / stopped being it.
    // The polling pages start and stop their timers here.
    virtual void Activated() {}
    virtual void Deactivated() {}
    // The section palette changed; pages that paint sections redraw.
    virtual void RefreshColour() {}
    // The main window is being closed: return true to cancel the close. The
    // Configure page runs the exit procedure here.
    virtual bool QueryUnload() { return false; }

protected:
    // Which states this page handles and which commands it offers in them.
    virtual const DrawBarProfile& Profile() const = 0;

    Shell& m_shell;

private:
    QString m_tag;
    PageKeys m_keys;
};
