// The polling timer of the monitor and diagnostic pages, without widgets.
#include "gui/GuiTestSupport.h"

#include "core/state/PollingLoop.h"
#include "core/state/ShellState.h"
#include "support/FakeWordLink.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <vector>

namespace {

class PollingLoopTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TestApp();
        shell.SetConnectionState(Connected);
    }

    // A loop over `words` addresses 100, 101, ...; the first `fixed` are not live.
    PollingLoop& Make(PollingLoop::Owner owner, int words, int fixed, bool announce)
    {
        loop = std::make_unique<PollingLoop>(owner, flags, shell, QStringLiteral("Polling..."), announce);
        loop->Link = [this] { return &link; };
        loop->RefreshStatus = [this] { progress.push_back(shell.ProgressPercent()); };
        loop->Items = [this, words, fixed] {
            std::vector<PollingLoop::Item> items;
            for (int i = 0; i < words; ++i)
                items.push_back({100 + i, [this, i](int32_t w) {
                                     shown.push_back({i, w});
                                     if (onShow)
                                         onShow(i);
                                 },
                                 i >= fixed});
            return items;
        };
        return *loop;
    }

    ShellState shell;
    PollingFlags flags;
    FakeWordLink link;
    std::unique_ptr<PollingLoop> loop;
    std::vector<int> progress;
    std::vector<std::pair<int, int32_t>> shown;
    std::function<void(int)> onShow;
};

TEST_F(PollingLoopTest, ProgressRoundsHalfToEvenAndEndsAtHundred)
{
    EXPECT_EQ(PollingLoop::ProgressOf(1, 3), 33);
    EXPECT_EQ(PollingLoop::ProgressOf(2, 3), 67);
    EXPECT_EQ(PollingLoop::ProgressOf(3, 3), 100);
    EXPECT_EQ(PollingLoop::ProgressOf(1, 8), 12); // 12.5
    EXPECT_EQ(PollingLoop::ProgressOf(3, 8), 38); // 37.5
    EXPECT_EQ(PollingLoop::ProgressOf(199, 200), 100); // 99.5 rounds to 100
    EXPECT_EQ(PollingLoop::ProgressOf(0, 0), 100);
}

TEST_F(PollingLoopTest, MonitorCycleAnnouncesThenStepsThroughEveryWord)
{
    link.ram = {{100, 7}, {101, 8}, {102, 9}, {103, 10}, {104, 11}};
    PollingLoop& l = Make(PollingLoop::Owner::Monitor, 5, 3, true);
    l.Enable();
    l.Tick();
    EXPECT_EQ(progress, (std::vector<int>{0, 20, 40, 60, 80, 100}));
    ASSERT_EQ(shown.size(), 5u);
    EXPECT_EQ(shown[4], (std::pair<int, int32_t>{4, 11}));
    EXPECT_EQ(shell.ConnectionState(), MonitorPolling);
    EXPECT_EQ(shell.StatusMessage(), QStringLiteral("Polling..."));
    EXPECT_TRUE(flags.MonitorPollingActive);
    EXPECT_TRUE(l.Enabled());
}

TEST_F(PollingLoopTest, DiagnosticCycleSetsItsStateOnlyAfterTheFirstRead)
{
    PollingLoop& l = Make(PollingLoop::Owner::Diagnostic, 5, 0, false);
    std::vector<int16_t> states;
    loop->RefreshStatus = [&] {
        progress.push_back(shell.ProgressPercent());
        states.push_back(shell.ConnectionState());
    };
    l.Enable();
    l.Tick();
    EXPECT_EQ(progress, (std::vector<int>{20, 40, 60, 80, 100}));
    EXPECT_EQ(states.front(), DiagnosticPolling);
    EXPECT_TRUE(flags.DiagnosticPollingActive);
}

TEST_F(PollingLoopTest, TickWaitsWhileAnotherPagePolls)
{
    PollingLoop& monitor = Make(PollingLoop::Owner::Monitor, 3, 3, true);
    monitor.Enable();
    for (bool* other : {&flags.DiagnosticPollingActive, &flags.DebugPollingActive}) {
        *other = true;
        monitor.Tick();
        EXPECT_EQ(link.requests, 0);
        EXPECT_FALSE(flags.MonitorPollingActive);
        *other = false;
    }
    monitor.Tick();
    EXPECT_EQ(link.requests, 3);
}

TEST_F(PollingLoopTest, StopRequestEndsPollingAtTheNextTick)
{
    PollingLoop& l = Make(PollingLoop::Owner::Diagnostic, 2, 0, false);
    l.Enable();
    l.Tick();
    ASSERT_EQ(shell.ConnectionState(), DiagnosticPolling);
    flags.DiagnosticStopRequest = true;
    l.Tick();
    EXPECT_FALSE(l.Enabled());
    EXPECT_FALSE(flags.DiagnosticPollingActive);
    EXPECT_EQ(shell.ConnectionState(), Connected);
    EXPECT_EQ(link.requests, 2);
}

TEST_F(PollingLoopTest, FailedReadStopsPollingAndLeavesTheReason)
{
    link.failAt = 3;
    link.failText = "Comunication Error";
    PollingLoop& l = Make(PollingLoop::Owner::Monitor, 5, 3, true);
    QSignalSpy failed(&l, &PollingLoop::pollFailed);
    l.Enable();
    l.Tick();
    EXPECT_EQ(shown.size(), 3u); // nothing after the failing read
    EXPECT_FALSE(l.Enabled());
    EXPECT_FALSE(flags.MonitorPollingActive);
    EXPECT_EQ(shell.ConnectionState(), Disconnected);
    EXPECT_EQ(shell.LastFailure(), QStringLiteral("Comunication Error"));
    ASSERT_EQ(failed.count(), 1);
    EXPECT_EQ(failed.at(0).at(0).toString(), QStringLiteral("Comunication Error"));
}

TEST_F(PollingLoopTest, DisableDuringACycleEndsItQuietly)
{
    PollingLoop& l = Make(PollingLoop::Owner::Monitor, 6, 3, true);
    // The main window disables the timer while the fourth word is shown
    // (a disconnect clicked during the wait).
    onShow = [&](int i) {
        if (i == 3)
            l.Disable();
    };
    l.Enable();
    l.Tick();
    EXPECT_EQ(shown.size(), 4u);
    EXPECT_TRUE(shell.LastFailure().isEmpty());
    EXPECT_FALSE(flags.MonitorPollingActive);
    EXPECT_EQ(shell.ConnectionState(), Disconnected);

    // A read that fails because the disconnect closed the link is no failure
    // to report either.
    shown.clear();
    link.failAt = link.requests + 1;
    onShow = [&](int i) {
        if (i == 0)
            l.Disable();
    };
    shell.SetConnectionState(Connected);
    l.Enable();
    l.Tick();
    EXPECT_EQ(shown.size(), 1u);
    EXPECT_TRUE(shell.LastFailure().isEmpty());
}

TEST_F(PollingLoopTest, DisableBetweenCyclesEndsPollingAtOnce)
{
    PollingLoop& l = Make(PollingLoop::Owner::Monitor, 3, 3, true);
    l.Enable();
    l.Tick();
    ASSERT_TRUE(flags.MonitorPollingActive);
    l.Disable();
    EXPECT_FALSE(flags.MonitorPollingActive); // an exit is not held up
    EXPECT_EQ(shell.ConnectionState(), Connected);
}

TEST_F(PollingLoopTest, TickDuringItsOwnCycleIsSkipped)
{
    PollingLoop& l = Make(PollingLoop::Owner::Monitor, 4, 3, true);
    onShow = [&](int) { l.Tick(); }; // a timer tick dispatched inside a read's wait
    l.Enable();
    l.Tick();
    EXPECT_EQ(link.requests, 4);
    EXPECT_EQ(shown.size(), 4u);
}

TEST_F(PollingLoopTest, AnErrorWhileShowingAWordDoesNotStopPolling)
{
    PollingLoop& l = Make(PollingLoop::Owner::Diagnostic, 3, 0, false);
    onShow = [](int i) {
        if (i == 1)
            throw std::runtime_error("formula");
    };
    l.Enable();
    l.Tick();
    EXPECT_EQ(shown.size(), 3u);
    EXPECT_TRUE(l.Enabled());
    EXPECT_EQ(shell.ConnectionState(), DiagnosticPolling);
}

TEST_F(PollingLoopTest, TheTimerDrivesTheTicks)
{
    PollingLoop& l = Make(PollingLoop::Owner::Monitor, 3, 3, true);
    l.Enable();
    QElapsedTimer clock;
    clock.start();
    while (link.requests < 6 && clock.elapsed() < 2000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    EXPECT_GE(link.requests, 6);
    flags.MonitorStopRequest = true;
    clock.restart();
    while (l.Enabled() && clock.elapsed() < 1000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    EXPECT_FALSE(l.Enabled());
    EXPECT_LT(clock.elapsed(), 300); // within one tick
}

} // namespace
