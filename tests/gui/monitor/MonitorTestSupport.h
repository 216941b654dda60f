#pragma once
// A main window over the shipped catalogue and diagnostic list whose Monitor
// and Diagnostic pages poll a fake controller memory.
#include "gui/GuiTestSupport.h"

#include "controls/DiagnosticError.h"
#include "controls/JoyMonitor.h"
#include "core/link/IDData.h"
#include "core/state/PollingLoop.h"
#include "gui/pages/FrmMonitor.h"
#include "gui/pages/frmDiagnostic.h"
#include "support/FakeWordLink.h"

#include <QLineEdit>
#include <QTimer>

#include <functional>
#include <vector>

// The fake memory with a hook that runs while a RAM read "waits" (the real
// link dispatches events then: clicks, page changes, timer ticks).
class WaitingLink : public FakeWordLink {
public:
    std::function<void(int request)> DuringRead;
    std::string ReadRAMWord(int64_t a, int32_t& v) override
    {
        if (DuringRead) {
            auto hook = DuringRead;
            hook(requests);
        }
        return FakeWordLink::ReadRAMWord(a, v);
    }
};

class PollingPageFixture : public MainWindowFixture {
protected:
    static constexpr int ConfigureTab = 0;
    static constexpr int MonitorTab = 1;
    static constexpr int DiagnosticTab = 2;

    void SetUp() override
    {
        InstallList();
        Create(NoAdapter());
        Attach();
    }

    // The shipped diagnostic list (a test may write its own instead).
    virtual void InstallList()
    {
        QFile::copy(QStringLiteral(QVS_SOURCE_DIR "/res/ini/DiagnosticList.ini"),
                    folder.File(QStringLiteral("res/ini/DiagnosticList.ini")));
    }

    void Attach()
    {
        monitor = window->MonitorPage();
        diagnostic = qobject_cast<frmDiagnostic*>(window->PageByTag(QStringLiteral("A3")));
        ASSERT_NE(monitor, nullptr);
        ASSERT_NE(diagnostic, nullptr);
        monitor->Poller().Link = [this] { return &link; };
        diagnostic->Poller().Link = [this] { return &link; };
    }

    CVarData& Rec(Key k)
    {
        CVarData* r = context->Table.Record(k);
        EXPECT_NE(r, nullptr) << KeyText(k);
        return *r;
    }
    // A configuration word as read from the controller (controller and
    // configuration value alike).
    void SetE2(Key k, int32_t v) { Rec(k).ReadE2FromCED(v); }
    void SetRam(Key k, int32_t v) { link.ram[Rec(k).DataS.Address] = v; }
    void Connected() { State().SetConnectionState(::Connected); }

    // Records the progress at every status redraw of a page's loop.
    void RecordProgress(PollingLoop& loop)
    {
        auto previous = loop.RefreshStatus;
        loop.RefreshStatus = [this, previous] {
            progress.push_back(State().ProgressPercent());
            if (previous)
                previous();
        };
    }

    WaitingLink link;
    FrmMonitor* monitor = nullptr;
    frmDiagnostic* diagnostic = nullptr;
    std::vector<int> progress;
};
