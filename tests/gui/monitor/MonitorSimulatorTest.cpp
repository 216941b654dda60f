// The Monitor and Diagnostic pages against the in-process simulated
// controller, through the real link; and the cycle rate measurements.
#include "MonitorTestSupport.h"

#include "core/link/CANLink.h"
#include "gui/shell/StatusBarView.h"
#include "sim/BusFactory.h"
#include "sim/DrcController.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QPixmap>
#include <QTest>
#include <QTreeWidget>

#include <cstdio>
#include <functional>

namespace {

bool WaitFor(const std::function<bool()>& done, int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms)
            return false;
        QTest::qWait(5);
    }
    return true;
}

class SimulatorPageTest : public PollingPageFixture {
protected:
    void SetUp() override
    {
        InstallList();
        setup = MakeBusSetup(QStringLiteral("sim"), folder.Path(), /*liveSimulation=*/false);
        ASSERT_TRUE(setup.Simulator) << setup.Error.toStdString();
        sim = setup.Simulator.get();
        Create(setup.Factory, QStringLiteral("sim"));
        monitor = window->MonitorPage();
        diagnostic = qobject_cast<frmDiagnostic*>(window->PageByTag(QStringLiteral("A3")));
        window->ConnectCommand();
        ASSERT_EQ(State().ConnectionState(), ::Connected) << State().LastFailure().toStdString();
    }
    void TearDown() override
    {
        window.reset();
        context.reset();
        sim = nullptr;
        setup = BusSetup{};
        QDir::setCurrent(QStringLiteral(QVS_BIN_DIR));
    }
    int Address(Key k) { return sim->AddressOf(k); }
    // Counts completed cycles of a page's loop (progress reaching 100).
    void CountCycles(PollingLoop& loop)
    {
        auto previous = loop.RefreshStatus;
        loop.RefreshStatus = [this, previous] {
            if (State().ProgressPercent() == 100)
                ++cycles;
            if (previous)
                previous();
        };
    }
    static QString ValueText(JoyMonitor* m)
    {
        return m->findChild<QLabel*>(QStringLiteral("lblInputValue"))->text();
    }

    BusSetup setup;
    DrcController* sim = nullptr;
    int cycles = 0;
};

TEST_F(SimulatorPageTest, MonitorShowsTheControllerLive)
{
    sim->SetRam(Address(Key::QVS_HSD_MONITOR), 0x0005);
    sim->SetRam(Address(Key::QVS_JOY0_VALUE), 1023);
    sim->SetRam(Address(Key::QVS_MAIN_ERROR), 0);
    CountCycles(monitor->Poller());
    window->SelectTab(MonitorTab);
    ASSERT_TRUE(WaitFor([&] { return cycles >= 2; }, 3000));
    EXPECT_EQ(monitor->LblErr->text(), QStringLiteral("READY"));
    EXPECT_EQ(monitor::BackColour(monitor->lblHSDA[1]), 0xFF0000);
    EXPECT_EQ(monitor::BackColour(monitor->lblHSDB[0]), 0xFFFFFF);
    EXPECT_EQ(ValueText(monitor->JoyMonitorVal[0]), QStringLiteral("100"));
    EXPECT_EQ(State().ConnectionState(), MonitorPolling);
    // The pages were drawn from the values read at connect: two sections.
    EXPECT_FALSE(monitor->lblJoy[1]->isHidden());

    sim->RaiseError(Key::QVS_MAIN_ERROR, 2);
    const int now = cycles;
    ASSERT_TRUE(WaitFor([&] { return cycles >= now + 2; }, 3000));
    EXPECT_EQ(monitor->LblErr->text(), QStringLiteral("NOT READY"));

    window->SelectTab(ConfigureTab);
    ASSERT_TRUE(WaitFor([&] { return !monitor->TmrMonitor().isActive(); }, 1000));
    EXPECT_EQ(State().ConnectionState(), ::Connected);
}

TEST_F(SimulatorPageTest, DiagnosticListsTheRaisedErrors)
{
    CountCycles(diagnostic->Poller());
    window->SelectTab(DiagnosticTab);
    ASSERT_TRUE(WaitFor([&] { return cycles >= 1; }, 3000));
    EXPECT_EQ(diagnostic->ListView1->topLevelItemCount(), 0);

    sim->RaiseError(Key::QVS_ERROR_CODE_2, 0); // coil 2A open
    sim->RaiseError(Key::QVS_ERROR_CODE_3, 1); // supply high
    ASSERT_TRUE(WaitFor([&] { return diagnostic->ListView1->topLevelItemCount() == 2; }, 3000));
    QStringList keys;
    for (int i = 0; i < 2; ++i)
        keys << diagnostic->ListView1->topLevelItem(i)->text(0);
    keys.sort();
    EXPECT_EQ(keys, (QStringList{QStringLiteral("QVS_ERROR_CODE_2 - 1"), QStringLiteral("QVS_ERROR_CODE_3 - 2")}));

    sim->ClearError(Key::QVS_ERROR_CODE_2, 0);
    ASSERT_TRUE(WaitFor([&] { return diagnostic->ListView1->topLevelItemCount() == 1; }, 3000));
    EXPECT_EQ(diagnostic->ListView1->topLevelItem(0)->text(0), QStringLiteral("QVS_ERROR_CODE_3 - 2"));
    EXPECT_EQ(State().ConnectionState(), DiagnosticPolling);
}

TEST_F(SimulatorPageTest, SilentControllerStopsPollingAndSaysWhy)
{
    CountCycles(monitor->Poller());
    window->SelectTab(MonitorTab);
    ASSERT_TRUE(WaitFor([&] { return cycles >= 1; }, 3000));
    sim->SetSilentAfter(sim->RequestCount() + 2);
    ASSERT_TRUE(WaitFor([&] { return !monitor->TmrMonitor().isActive(); }, 3000));
    EXPECT_EQ(State().ConnectionState(), Disconnected);
    EXPECT_FALSE(monitor->StatusTimerForm());
    window->RefreshStatus(State().StatusMessage());
    const QString reason = window->StatusBar().PanelText(2);
    EXPECT_TRUE(reason == QLatin1String(CANLink::CommunicationTimeOut) ||
                reason == QLatin1String(CANLink::CommunicationError))
        << reason.toStdString();
    EXPECT_EQ(window->TxtConnect().text(), QStringLiteral("Not Connected"));
    // The pictures were redrawn for the dropped connection.
    EXPECT_EQ(monitor->DrawJoyMonitorEventObj.Value(), 0);
}

TEST_F(SimulatorPageTest, DisconnectWhilePollingIsNoFailure)
{
    CountCycles(monitor->Poller());
    window->SelectTab(MonitorTab);
    ASSERT_TRUE(WaitFor([&] { return cycles >= 1; }, 3000));
    window->ConnectCommand(); // disconnects
    EXPECT_EQ(State().ConnectionState(), Disconnected);
    EXPECT_FALSE(monitor->TmrMonitor().isActive());
    EXPECT_FALSE(monitor->StatusTimerForm());
    EXPECT_TRUE(State().LastFailure().isEmpty());
}

// Screenshots of both pages with the simulator connected (QVS_SCREENSHOTS=dir).
TEST_F(SimulatorPageTest, Screenshots)
{
    const QString dir = qEnvironmentVariable("QVS_SCREENSHOTS");
    if (dir.isEmpty())
        GTEST_SKIP() << "set QVS_SCREENSHOTS to a folder to take them";
    // The pictures as the build renders them, and the first preset palette.
    const QString art = QStringLiteral(QVS_BIN_DIR "/res/bmp");
    for (const QString& sub : {QStringLiteral("Ced"), QStringLiteral("Magnet"), QStringLiteral("joy")}) {
        QDir().mkpath(folder.File(QStringLiteral("res/bmp/") + sub));
        for (const QString& f : QDir(art + QLatin1Char('/') + sub).entryList(QDir::Files))
            QFile::copy(art + QLatin1Char('/') + sub + QLatin1Char('/') + f,
                        folder.File(QStringLiteral("res/bmp/") + sub + QLatin1Char('/') + f));
    }
    // A joystick list with the two-axis joystick the simulator has on both inputs.
    folder.Write(QStringLiteral("res/ini/JoylistNew.ini"),
                 "File\tCode\tLine1\tLine2\tLine3\tLine4\tDrcType\tSections\tId\tJ0\tR0\tJ1\tR1\r\n"
                 "JOY2AX\tJS-2X\tTwo axes\t\t\t\t1\t2\t1\t1\t0\t1\t0\r\n");
    window.reset();
    context.reset();
    Create(setup.Factory, QStringLiteral("sim"));
    monitor = window->MonitorPage();
    diagnostic = qobject_cast<frmDiagnostic*>(window->PageByTag(QStringLiteral("A3")));
    context->Palette.Back = {0x80, 0x808080, static_cast<int32_t>(0x80000005u), 0};
    context->Palette.Text = {0xFFFFFF, 0xFFFFFF, static_cast<int32_t>(0x80000008u), static_cast<int32_t>(0x80000005u)};
    window->ConnectCommand();
    ASSERT_EQ(State().ConnectionState(), ::Connected);
    sim->RaiseError(Key::QVS_ERROR_CODE_1, 3);
    sim->RaiseError(Key::QVS_ERROR_CODE_0, 1);
    sim->RaiseError(Key::QVS_MAIN_ERROR, 1);
    sim->Tick(2500);
    window->show();
    CountCycles(monitor->Poller());
    window->SelectTab(MonitorTab);
    ASSERT_TRUE(WaitFor([&] { return cycles >= 2; }, 3000));
    window->grab().save(dir + QStringLiteral("/monitor.png"));
    cycles = 0;
    CountCycles(diagnostic->Poller());
    window->SelectTab(DiagnosticTab);
    ASSERT_TRUE(WaitFor([&] { return cycles >= 2; }, 3000));
    window->grab().save(dir + QStringLiteral("/diagnostic.png"));
}

// Cycles per second of the Monitor page with every monitor enabled, in both
// link timings (run with --gtest_also_run_disabled_tests). The bus is the
// in-process simulator, or QVS_MEASURE_BUS (for example a drc-sim served on
// virtualcan:tcp://127.0.0.1:PORT/can0).
class MeasureCycleRate : public PollingPageFixture {
protected:
    void SetUp() override
    {
        InstallList();
        bus = qEnvironmentVariable("QVS_MEASURE_BUS", QStringLiteral("sim"));
        setup = MakeBusSetup(bus, folder.Path());
        ASSERT_TRUE(setup.Error.isEmpty()) << setup.Error.toStdString();
        Create(setup.Factory, bus);
        monitor = window->MonitorPage();
        window->ConnectCommand();
        ASSERT_EQ(State().ConnectionState(), ::Connected) << State().LastFailure().toStdString();
    }
    void TearDown() override
    {
        window.reset();
        context.reset();
        setup = BusSetup{};
    }
    QString bus;
    BusSetup setup;
};

TEST_F(MeasureCycleRate, DISABLED_MonitorCyclesPerSecond)
{
    int cycles = 0;
    auto previous = monitor->Poller().RefreshStatus;
    monitor->Poller().RefreshStatus = [&, previous] {
        if (State().ProgressPercent() == 100)
            ++cycles;
        previous();
    };
    for (const LinkTiming timing : {LinkTiming::Fast, LinkTiming::Legacy}) {
        context->Link().SetTiming(timing);
        window->SelectTab(MonitorTab);
        for (JoyMonitor* m : {monitor->JoyMonitorVal[0], monitor->JoyMonitorVal[1], monitor->JoyMonitorVbb,
                              monitor->IMeasure[0], monitor->IMeasure[1]})
            m->setMonitorEnable(true);
        // On the page's own 100 ms timer.
        const int ms = timing == LinkTiming::Fast ? 3000 : 8000;
        cycles = 0;
        QElapsedTimer clock;
        clock.start();
        QTest::qWait(ms);
        const double paced = cycles * 1000.0 / static_cast<double>(clock.elapsed());
        window->SelectTab(ConfigureTab);
        ASSERT_TRUE(WaitFor([&] { return !monitor->TmrMonitor().isActive(); }, 3000));
        ASSERT_EQ(State().ConnectionState(), ::Connected) << State().LastFailure().toStdString();
        // Back to back, without the timer.
        window->SelectTab(MonitorTab);
        monitor->DisableTimer();
        monitor->Poller().Enable();
        const int rounds = timing == LinkTiming::Fast ? 100 : 3;
        clock.restart();
        for (int i = 0; i < rounds; ++i)
            ASSERT_TRUE(monitor->ReadMonitorVar().isEmpty());
        const double each = static_cast<double>(clock.nsecsElapsed()) / 1e6 / rounds;
        monitor->DisableTimer();
        std::printf("[ figures  ] %s, %s link: %.2f cycles/s on the 100 ms timer; one cycle of 8 reads "
                    "takes %.2f ms (%.1f cycles/s back to back)\n",
                    bus.toLocal8Bit().constData(), LinkTimingText(timing), paced, each, 1000.0 / each);
        State().SetConnectionState(::Connected);
        window->SelectTab(ConfigureTab);
    }
}

} // namespace
