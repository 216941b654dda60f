// The controller commands from the main window against the in-process
// simulated controller.
#include "GuiTestSupport.h"

#include "core/link/CANLink.h"
#include "gui/pages/Page.h"
#include "gui/shell/FrmWait.h"
#include "gui/shell/StatusBarView.h"
#include "sim/BusFactory.h"
#include "sim/DrcController.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>

namespace {

class ConnectTest : public MainWindowFixture {
protected:
    void SetUp() override
    {
        bus = MakeBusSetup(QStringLiteral("sim"), folder.Path(), false);
        ASSERT_TRUE(bus.Simulator);
        ASSERT_TRUE(bus.Error.isEmpty()) << bus.Error.toStdString();
        Create(bus.Factory, QStringLiteral("sim"));
    }
    DrcController& Sim() { return *bus.Simulator; }
    CVarData* Ramp() { return context->Table.Record(Key::QVS_RAMP_TRISE_0); }
    void Connect()
    {
        window->mnuHW_Connect->trigger();
        ASSERT_EQ(State().ConnectionState(), Connected) << dialogs.Texts().join("|").toStdString();
    }
    QString Failure(const char* text) { return QStringLiteral("Operation Failed :") + QLatin1String(text); }

    BusSetup bus;
};

TEST_F(ConnectTest, ConnectReadsEverythingAndShowsTheConfigurePage)
{
    EXPECT_EQ(window->windowTitle(), "QVS Studio for DRC200F - SIMULATOR");
    window->SelectTab(4);
    Sim().SetE2(Ramp()->DataS.Address, 1234);
    Sim().SetSoftwareVersion(0x1234);
    Connect();
    EXPECT_TRUE(dialogs.Boxes.empty()) << dialogs.Texts().join("|").toStdString();
    EXPECT_TRUE(window->isEnabled());
    EXPECT_EQ(window->ActivePage()->Tag(), "A1");
    EXPECT_EQ(Ramp()->DataS.CedValueE2, 1234);
    EXPECT_EQ(State().FileState(), 0);
    window->MainTick();
    StatusBarView& bar = window->StatusBar();
    EXPECT_EQ(bar.PanelText(8), "USB");
    EXPECT_EQ(bar.PanelText(9), "250k");
    EXPECT_EQ(bar.PanelText(2), "sim"); // the bus in use while nothing failed
    EXPECT_EQ(bar.PanelText(7), "v012.34");
    EXPECT_EQ(bar.PanelText(6), "RSV200");
    EXPECT_EQ(window->TxtConnect().text(), "Connected");
    EXPECT_EQ(window->TxtPar().text(), "PARAMETER OK");
    EXPECT_EQ(window->txtFileTosave->text(), "---");
    EXPECT_EQ(window->mnuHW_Connect->text(), "Disconnect");
    EXPECT_TRUE(window->Buttons[19]->isChecked());
    EXPECT_TRUE(window->mnuHw_Read->isEnabled());
    EXPECT_FALSE(window->WaitWindow() && window->WaitWindow()->isVisible());

    // Disconnect, then the port menu accepts a port.
    window->mnuHW_Connect->trigger();
    EXPECT_EQ(State().ConnectionState(), Disconnected);
    window->PortCommand(3);
    EXPECT_TRUE(window->mnuSet_Com[3]->isChecked());
    EXPECT_FALSE(window->mnuSet_Com[0]->isChecked());
    EXPECT_EQ(bar.PanelText(8), "USB 3");
}

TEST_F(ConnectTest, SilentControllerFailsWithTheTimeOutText)
{
    Sim().SetSilentAfter(0);
    window->ConnectCommand();
    EXPECT_EQ(State().ConnectionState(), Disconnected);
    EXPECT_EQ(dialogs.Texts(), QStringList({Failure(CANLink::CommunicationTimeOut)}));
    EXPECT_TRUE(window->isEnabled());
    EXPECT_EQ(window->StatusBar().PanelText(2), CANLink::CommunicationTimeOut);
    EXPECT_EQ(window->mnuHW_Connect->text(), "Connect");
}

TEST_F(ConnectTest, ConnectWithUnsavedFileAnsweredNoStaysDisconnected)
{
    State().SetFileState(1);
    window->ConnectCommand();
    ASSERT_EQ(dialogs.Boxes.size(), 1u);
    EXPECT_EQ(dialogs.Boxes[0].Text,
              "Configuration file Not Saved.\rNo saved settings will be lost.\r\rCONTINUE ANYWAY?");
    EXPECT_EQ(State().ConnectionState(), Disconnected);
    EXPECT_EQ(Sim().RequestCount(), 0);
    EXPECT_TRUE(window->isEnabled());
}

TEST_F(ConnectTest, ReadAndWriteSucceed)
{
    Connect();
    // Write: the edited value reaches the controller.
    Ramp()->DataS.QvsDownloadValueE2 = 2222;
    State().SetParamsUnchanged(false);
    window->MainTick();
    EXPECT_EQ(window->txtFileTosave->text(), "FILE TO SAVE");
    ASSERT_TRUE(window->mnuHW_Write->isEnabled());
    window->mnuHW_Write->trigger();
    EXPECT_TRUE(dialogs.Boxes.empty()) << dialogs.Texts().join("|").toStdString();
    EXPECT_EQ(Sim().E2(Ramp()->DataS.Address), 2222);
    EXPECT_EQ(State().ConnectionState(), Connected);
    EXPECT_TRUE(State().ParamsUnchanged());
    EXPECT_EQ(State().FileState(), 1); // a write does not save the file

    // Read: a value changed in the controller comes back.
    Sim().SetE2(Ramp()->DataS.Address, 3333);
    window->mnuHw_Read->trigger();
    EXPECT_EQ(Ramp()->DataS.CedValueE2, 3333);
    EXPECT_EQ(State().ConnectionState(), Connected);
    EXPECT_EQ(State().FileState(), 0);
    EXPECT_FALSE(State().ParamsDiffer());
}

TEST_F(ConnectTest, ReadFailureDropsTheConnectionAndKeepsItsText)
{
    Connect();
    Sim().SetSilentAfter(Sim().RequestCount());
    window->ReadCommand();
    EXPECT_EQ(State().ConnectionState(), Disconnected);
    EXPECT_EQ(dialogs.Texts(), QStringList({Failure(CANLink::CommunicationTimeOut)}));
    EXPECT_TRUE(window->isEnabled());
    window->MainTick();
    EXPECT_EQ(window->StatusBar().PanelText(2), CANLink::CommunicationTimeOut);
    EXPECT_EQ(window->TxtConnect().text(), "Not Connected");
}

TEST_F(ConnectTest, WriteFailureDropsTheConnection)
{
    Connect();
    Sim().SetSilentAfter(Sim().RequestCount());
    window->WriteCommand();
    EXPECT_EQ(State().ConnectionState(), Disconnected);
    EXPECT_EQ(dialogs.Texts(), QStringList({Failure(CANLink::CommunicationTimeOut)}));
}

TEST_F(ConnectTest, WriteCheckFindingIsRefusedWithoutLogin)
{
    Connect();
    window->JoyCheckData = [] { return QStringLiteral("Input 1 Joystick not valid"); };
    const int requests = Sim().RequestCount();
    window->WriteCommand();
    ASSERT_EQ(dialogs.Boxes.size(), 1u);
    EXPECT_EQ(dialogs.Boxes[0].Text, "Input 1 Joystick not valid");
    EXPECT_EQ(dialogs.Boxes[0].Title, "CONFIGURATION ERROR");
    EXPECT_EQ(dialogs.Boxes[0].Icon, MessageIcon::Critical);
    EXPECT_FALSE(dialogs.Boxes[0].Question);
    EXPECT_EQ(Sim().RequestCount(), requests); // nothing written
    EXPECT_EQ(State().ConnectionState(), Connected);

    // Logged in, the finding may be overridden: No stops, Yes writes.
    State().SetAssistanceLoggedIn(true);
    window->WriteCommand();
    ASSERT_EQ(dialogs.Boxes.size(), 2u);
    EXPECT_EQ(dialogs.Boxes[1].Text, "Input 1 Joystick not valid\rCONTINUE ANYWAY ?");
    EXPECT_TRUE(dialogs.Boxes[1].Question);
    EXPECT_EQ(Sim().RequestCount(), requests);
    dialogs.Answers.push_back(true);
    window->WriteCommand();
    EXPECT_GT(Sim().RequestCount(), requests);
}

TEST_F(ConnectTest, ResetAsksForAPowerCycleAndTheNextConnectNoticesIt)
{
    Connect();
    window->mnuHw_Reset->trigger();
    EXPECT_EQ(dialogs.Texts(), QStringList({"Switch OFF and then switch ON power supply!"}));
    EXPECT_EQ(dialogs.Boxes[0].Icon, MessageIcon::Warning);
    EXPECT_EQ(State().ConnectionState(), Disconnected);
    EXPECT_TRUE(Sim().RestorePending());

    dialogs.Boxes.clear();
    window->ConnectCommand(); // answered No
    EXPECT_EQ(dialogs.Texts(), QStringList({"Missing POWER RESET After A 'RESET' Command : Continue Anyway? "}));
    EXPECT_EQ(State().ConnectionState(), Disconnected);
    EXPECT_TRUE(window->isEnabled());
}

TEST_F(ConnectTest, ProgressIsShownInTheWaitWindowWhileBusy)
{
    int busyTicks = 0;
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout, [&] {
        if (State().ConnectionState() == Busy && window->WaitWindow() && window->WaitWindow()->isVisible())
            ++busyTicks;
    });
    probe.start(1);
    Sim().SetLatencyMs(5);
    Connect();
    EXPECT_GT(busyTicks, 0);
    EXPECT_FALSE(window->WaitWindow()->isVisible());
}

} // namespace

namespace {

TEST_F(ConnectTest, ClosingDuringATransferWaitsForTheCommand)
{
    Sim().SetLatencyMs(3);
    bool closed = true;
    int pageDuring = -1;
    QTimer::singleShot(30, window.get(), [&] {
        window->ShowNextPage(); // Ctrl+W during the transfer: ignored
        pageDuring = window->SelectedTab();
        closed = window->close();
    });
    window->ConnectCommand();
    EXPECT_EQ(pageDuring, 0);
    EXPECT_FALSE(closed);
    EXPECT_EQ(ended, 0);
    EXPECT_EQ(State().ConnectionState(), Connected);
    EXPECT_TRUE(window->close());
    EXPECT_EQ(ended, 1);
}

} // namespace
