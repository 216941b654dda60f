// The Set menu's CAN interface list and an adapter lost and found again, with
// the main window: in-process against the simulated controller, and over a
// private virtual bus to a drc-sim process (the bus itself can go away).
#include "GuiTestSupport.h"

#include "../faults/FaultSupport.h"

#include "core/link/CANLink.h"
#include "gui/shell/CanInterfaceMenu.h"
#include "gui/shell/StatusBarView.h"
#include "sim/BusFactory.h"
#include "sim/DrcController.h"

#include <QAction>
#include <QMenu>

namespace {

BusEntry Device(const char* plugin, const char* iface, const char* description, bool up = true)
{
    BusEntry e;
    e.Plugin = plugin;
    e.Interface = iface;
    e.Description = description;
    e.Up = up;
    return e;
}

class CanInterfaceTest : public MainWindowFixture {
protected:
    void SetUp() override
    {
        TestApp();
        start = MakeBusSetup(QStringLiteral("sim"), folder.Path(), false);
        ASSERT_TRUE(start.Error.isEmpty()) << start.Error.toStdString();
        Create(start.Factory, QStringLiteral("sim"));
        menu = window->mnuSet_CANInterface;
        ASSERT_NE(menu, nullptr);
        menu->Inventory = [this] { return inventory; };
        menu->SimulatorMaker = [this](QString* error) {
            simulators.push_back(MakeBusSetup(QStringLiteral("sim"), folder.Path(), false));
            *error = simulators.back().Error;
            return simulators.back().Factory;
        };
        inventory = {
            {"peakcan", {}, "Cannot load library pcanbasic"},
            {"socketcan", {Device("socketcan", "can0", "PCAN-USB"), Device("socketcan", "can1", "", false)}, ""},
        };
    }
    void TearDown() override
    {
        MainWindowFixture::TearDown();
        simulators.clear();
    }

    void Connect()
    {
        window->ConnectCommand();
        ASSERT_EQ(State().ConnectionState(), Connected) << dialogs.Texts().join(" / ").toStdString();
    }
    QStringList EntryTexts() const
    {
        QStringList texts;
        for (QAction* a : menu->actions())
            if (!a->isSeparator())
                texts << a->text() + (a->isEnabled() ? "" : " [disabled]") + (a->isChecked() ? " [checked]" : "");
        return texts;
    }
    DrcController& StartSimulator() { return *start.Simulator; }

    BusSetup start;
    std::vector<BusSetup> simulators;
    BusInventory inventory;
    CanInterfaceMenu* menu = nullptr;
};

TEST_F(CanInterfaceTest, MenuListsAutomaticEveryInterfaceTheSimulatorAndWhyPluginsFoundNothing)
{
    EXPECT_TRUE(window->mnuSet->actions().contains(menu->menuAction()));
    EXPECT_EQ(menu->title(), "CAN &Interface");
    menu->Fill();
    EXPECT_EQ(EntryTexts(), (QStringList{
                                "&Automatic (socketcan:can0)",
                                "socketcan:can0 - PCAN-USB, up",
                                "socketcan:can1 - down (ip link set can1 up type can bitrate 250000)",
                                "&Simulator (sim) [checked]",
                                "peakcan: no devices (Cannot load library pcanbasic) [disabled]",
                            }));
    // Every opening reads the interfaces again: an adapter plugged in later shows.
    inventory[1].Devices.push_back(Device("socketcan", "can2", "PCAN-USB FD"));
    emit menu->aboutToShow();
    ASSERT_NE(menu->Entry("socketcan:can2"), nullptr);
    EXPECT_EQ(menu->Entry("socketcan:can2")->text(), "socketcan:can2 - PCAN-USB FD, up");
}

TEST_F(CanInterfaceTest, ChoiceHoldsForTheRunAndShowsInTitleAndStatusBar)
{
    faults::EnsureApplication();
    const int port = faults::FreePort();
    ASSERT_GT(port, 0);
    const QString bus = faults::PrivateBus(port);
    faults::DrcSimProcess drc;
    ASSERT_TRUE(drc.Start(bus, {QStringLiteral("--tick"), QStringLiteral("0")})) << drc.Output().toStdString();

    EXPECT_EQ(window->windowTitle(), "QVS Studio for DRC200F - SIMULATOR");
    State().SetLastFailure(QStringLiteral("an old failure"));
    ASSERT_TRUE(menu->Choose(bus));
    EXPECT_EQ(context->BusName, bus);
    EXPECT_EQ(window->windowTitle(), "QVS Studio for DRC200F");
    window->MainTick();
    EXPECT_EQ(window->StatusBar().PanelText(2), bus); // the failure gave way to the new bus
    menu->Fill();
    ASSERT_NE(menu->Entry(bus), nullptr); // not listed by its plugin, still shown as the choice
    EXPECT_TRUE(menu->Entry(bus)->isChecked());

    // The next Connect talks to drc-sim; no other bus while connected.
    Connect();
    EXPECT_GT(drc.Requests(), 0);
    EXPECT_FALSE(menu->menuAction()->isEnabled());
    EXPECT_FALSE(menu->Choose(QStringLiteral("sim")));
    EXPECT_EQ(context->BusName, bus);
    EXPECT_TRUE(simulators.empty());

    window->ConnectCommand(); // disconnect
    EXPECT_TRUE(menu->menuAction()->isEnabled());
    ASSERT_TRUE(menu->Choose(QStringLiteral("sim")));
    EXPECT_EQ(window->windowTitle(), "QVS Studio for DRC200F - SIMULATOR");
    ASSERT_EQ(simulators.size(), 1u);
    Connect();
    EXPECT_GT(simulators[0].Simulator->RequestCount(), 0);
    EXPECT_EQ(StartSimulator().RequestCount(), 0);
    window->ConnectCommand();

    // A name that cannot work leaves the choice as it was, and says why.
    EXPECT_FALSE(menu->Choose(QStringLiteral("nocolon")));
    EXPECT_EQ(menu->Chosen(), "sim");
    EXPECT_FALSE(State().LastFailure().isEmpty());
    // Choosing the simulator again keeps the one in use (and its state).
    EXPECT_TRUE(menu->Choose(QStringLiteral("sim")));
    EXPECT_EQ(simulators.size(), 1u);
}

TEST_F(CanInterfaceTest, AdapterUnpluggedWhileMonitoringIsReportedOnceAndConnectWorksWhenItIsBack)
{
    Connect();
    window->SelectTab(1); // the monitor page polls
    ASSERT_TRUE(faults::WaitUntil([&] { return State().ConnectionState() == MonitorPolling; }, 3000));
    ASSERT_TRUE(faults::WaitUntil([&] { return StartSimulator().RequestCount() > 100; }, 3000));

    StartSimulator().SetAdapterPresent(false);
    ASSERT_TRUE(faults::WaitUntil([&] { return State().ConnectionState() == Disconnected; }, 3000));
    const QString failure = State().LastFailure();
    EXPECT_FALSE(failure.isEmpty());
    // Polling has stopped: no further reports while the adapter stays away.
    const size_t boxes = dialogs.Boxes.size();
    EXPECT_LE(boxes, 1u) << dialogs.Texts().join(" / ").toStdString();
    faults::WaitUntil([] { return false; }, 600);
    EXPECT_EQ(dialogs.Boxes.size(), boxes);
    EXPECT_EQ(State().ConnectionState(), Disconnected);
    window->MainTick();
    EXPECT_EQ(window->StatusBar().PanelText(2), failure);

    // Still unplugged: Connect says so at once.
    dialogs.Boxes.clear();
    window->ConnectCommand();
    EXPECT_EQ(dialogs.Texts(), QStringList{"Unable to initialize CAN USB inteface"});
    // Plugged back in: the next Connect opens a fresh adapter and works.
    StartSimulator().SetAdapterPresent(true);
    dialogs.Boxes.clear();
    Connect();
    EXPECT_TRUE(State().LastFailure().isEmpty());
}

TEST_F(CanInterfaceTest, VirtualBusLostWhileMonitoringAndBackWithoutRestart)
{
    faults::EnsureApplication();
    const int port = faults::FreePort();
    ASSERT_GT(port, 0);
    const QString bus = faults::PrivateBus(port);
    auto drc = std::make_unique<faults::DrcSimProcess>();
    ASSERT_TRUE(drc->Start(bus)) << drc->Output().toStdString();
    ASSERT_TRUE(menu->Choose(bus));
    Connect();
    window->SelectTab(1);
    ASSERT_TRUE(faults::WaitUntil([&] { return State().ConnectionState() == MonitorPolling; }, 3000));

    drc->Kill(); // the bus server goes away with the process
    ASSERT_TRUE(faults::WaitUntil([&] { return State().ConnectionState() == Disconnected; }, 5000));
    EXPECT_FALSE(State().LastFailure().isEmpty());
    const size_t boxes = dialogs.Boxes.size();
    EXPECT_LE(boxes, 1u) << dialogs.Texts().join(" / ").toStdString();
    faults::WaitUntil([] { return false; }, 500);
    EXPECT_EQ(dialogs.Boxes.size(), boxes);

    drc = std::make_unique<faults::DrcSimProcess>();
    ASSERT_TRUE(drc->Start(bus)) << drc->Output().toStdString();
    dialogs.Boxes.clear();
    Connect();
    window->SelectTab(1);
    EXPECT_TRUE(faults::WaitUntil([&] { return State().ConnectionState() == MonitorPolling; }, 3000));
    window->ConnectCommand();
}

} // namespace
