// The Monitor page against a fake controller memory.
#include "MonitorTestSupport.h"

#include "gui/shell/StatusBarView.h"

#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QTest>

namespace {

using monitor::BackColour;
using monitor::TextColour;

class MonitorPageTest : public PollingPageFixture {
protected:
    // A two-section controller with input 1 analog on AI_1 and input 2 on
    // two digital inputs, then the Monitor page shown while connected.
    void ShowConnected(int sections = 2)
    {
        SetE2(Key::QVS_NUM_PROP_REG, sections);
        SetE2(Key::QVS_SYSTEM_TYPE, 1);
        SetE2(Key::QVS_JOY_0_CONFIG, 1);
        SetE2(Key::QVS_JOY0_AN_INPUT, 1);
        SetE2(Key::QVS_JOY_1_CONFIG, 16);
        SetE2(Key::QVS_JOY1_DGT_INPUT, 0x84); // side A on AI_3, side B on AI_4
        SetE2(Key::QVS_DEAD_MAN_CFG, 2);      // AI_2
        SetE2(Key::QVS_FLOAT_SLOW_CONFIG, 0x0000);
        Connected();
        window->SelectTab(MonitorTab);
        ASSERT_TRUE(monitor->TmrMonitor().isActive());
    }
    void Tick() { monitor->Poller().Tick(); }
    void EnableOnly(std::initializer_list<JoyMonitor*> on)
    {
        for (JoyMonitor* m : {monitor->JoyMonitorVal[0], monitor->JoyMonitorVal[1], monitor->JoyMonitorVbb,
                              monitor->IMeasure[0], monitor->IMeasure[1]})
            m->setMonitorEnable(std::find(on.begin(), on.end(), m) != on.end());
    }
    static bool Lit(const QLabel* l) { return BackColour(l) == 0xFF0000 && TextColour(l) == 0xFFFFFF; }
    static bool Unlit(const QLabel* l)
    {
        return BackColour(l) == 0xFFFFFF && TextColour(l) == static_cast<int32_t>(0x80000008u);
    }
};

TEST_F(MonitorPageTest, ProgressStepsFollowTheEnabledMonitors)
{
    ShowConnected();
    RecordProgress(monitor->Poller());

    EnableOnly({});
    Tick();
    EXPECT_EQ(progress, (std::vector<int>{0, 33, 67, 100}));
    EXPECT_EQ(link.requests, 3);

    progress.clear();
    EnableOnly({monitor->JoyMonitorVal[0], monitor->IMeasure[1]});
    Tick();
    EXPECT_EQ(progress, (std::vector<int>{0, 20, 40, 60, 80, 100}));

    // Reading order: error word, outputs, inputs, then the monitors in page order.
    progress.clear();
    EnableOnly({monitor->JoyMonitorVal[0], monitor->JoyMonitorVal[1], monitor->JoyMonitorVbb, monitor->IMeasure[0],
                monitor->IMeasure[1]});
    const int before = link.requests;
    Tick();
    EXPECT_EQ(link.requests - before, 8);
    EXPECT_EQ(progress, (std::vector<int>{0, 12, 25, 38, 50, 62, 75, 88, 100}));
    EXPECT_EQ(State().ConnectionState(), MonitorPolling);
    EXPECT_EQ(State().StatusMessage(), QStringLiteral("Monitor..."));
    EXPECT_EQ(window->TxtConnect().text(), QStringLiteral("Monitor..."));
}

TEST_F(MonitorPageTest, ReadyLampFollowsTheMainErrorWord)
{
    ShowConnected();
    SetRam(Key::QVS_MAIN_ERROR, 0);
    Tick();
    EXPECT_EQ(monitor->LblErr->text(), QStringLiteral("READY"));
    EXPECT_EQ(monitor->ShpErr->FillColor(), 0xFF0000);
    EXPECT_EQ(TextColour(monitor->LblErr), 0xFF0000);

    SetRam(Key::QVS_MAIN_ERROR, 0x0040);
    Tick();
    EXPECT_EQ(monitor->LblErr->text(), QStringLiteral("NOT READY"));
    EXPECT_EQ(monitor->ShpErr->FillColor(), 0x0000FF);
    EXPECT_EQ(TextColour(monitor->LblErr), 0x0000FF);
    EXPECT_EQ(Rec(Key::QVS_MAIN_ERROR).DataS.CedValueRAM, 0x0040);
}

TEST_F(MonitorPageTest, OutputWordLightsTheSideLabelsOfEachSection)
{
    ShowConnected();
    SetRam(Key::QVS_HSD_MONITOR, 0x0005);
    Tick();
    for (size_t i : {0u, 1u}) {
        EXPECT_TRUE(Lit(monitor->lblValveA[i])) << i;
        EXPECT_TRUE(Lit(monitor->lblHSDA[i])) << i;
        EXPECT_TRUE(Unlit(monitor->lblValveB[i])) << i;
        EXPECT_TRUE(Unlit(monitor->lblHSDB[i])) << i;
    }
    SetRam(Key::QVS_HSD_MONITOR, 0x0008);
    Tick();
    EXPECT_TRUE(Unlit(monitor->lblValveA[0]));
    EXPECT_TRUE(Lit(monitor->lblValveB[1]));
    EXPECT_TRUE(Lit(monitor->lblHSDB[1]));
    // Only the outputs of the first two sections are drawn, with their pins.
    EXPECT_FALSE(monitor->lblHSDA[1]->isHidden());
    EXPECT_TRUE(monitor->lblHSDA[2]->isHidden());
    EXPECT_EQ(monitor->lblHSDB[1]->toolTip(), QStringLiteral("C1.08 (OUT_4)"));
}

TEST_F(MonitorPageTest, PinLabelsShowTheConnectionsAndLightWithTheirInput)
{
    ShowConnected();
    EXPECT_EQ(monitor->LblPin[0]->text(), QStringLiteral("C2.02 (AI_1)"));
    EXPECT_EQ(monitor->LblPin[0]->toolTip(), QStringLiteral("Pin connection"));
    EXPECT_TRUE(monitor->LblPin[1]->isHidden());
    EXPECT_FALSE(monitor->lblDinLJoy[1]->isHidden());
    EXPECT_EQ(monitor->lblDinLJoy[1]->text(), QStringLiteral("C2.04 (AI_3)"));
    EXPECT_EQ(monitor->lblDinHJoy[1]->text(), QStringLiteral("C2.05 (AI_4)"));
    EXPECT_EQ(monitor->lblDinHJoy[1]->toolTip(), QStringLiteral("Side B"));
    EXPECT_EQ(monitor->LblPinDM->text(), QStringLiteral("C2.03 (AI_2)"));
    EXPECT_EQ(monitor->LblPinFL[0]->text(), QStringLiteral("Not Connected"));

    // Inputs 2 (man present) and 4 (side B of input 2) are on.
    SetRam(Key::QVS_DIGIT_MONITOR, 0x000A);
    Tick();
    EXPECT_TRUE(Lit(monitor->LblPinDM));
    EXPECT_TRUE(Lit(monitor->lblDinHJoy[1]));
    EXPECT_TRUE(Unlit(monitor->lblDinLJoy[1]));
    EXPECT_TRUE(Unlit(monitor->LblPinFL[0])); // not connected never lights
    EXPECT_TRUE(Unlit(monitor->LblPinSlow));

    // Input 1 unused: "N.C." with the first pin name as hint.
    SetE2(Key::QVS_JOY_0_CONFIG, 0);
    monitor->DrawVisibleObject();
    EXPECT_EQ(monitor->LblPin[0]->text(), QStringLiteral("N.C."));
    EXPECT_EQ(monitor->LblPin[0]->toolTip(), QStringLiteral("Not Connected"));
    EXPECT_TRUE(monitor->lblDinLJoy[0]->isHidden());
}

TEST_F(MonitorPageTest, MonitorsShowTheConvertedValues)
{
    SetE2(Key::QVS_I0_MAX, 1200);
    SetE2(Key::QVS_I1_SDM_MAX, 1500);
    ShowConnected();
    EXPECT_EQ(monitor->IMeasure[0]->Max(), 1500); // the largest maximum current
    EXPECT_EQ(monitor->JoyMonitorVal[0]->Carica(), &Rec(Key::QVS_JOY0_VALUE).DataS);
    SetRam(Key::QVS_JOY0_VALUE, 1023);     // 100 %
    SetRam(Key::QVS_I0_MEASURE_400, 400);  // 1000 mA
    SetRam(Key::QVS_VBB_400, 24300);       // 24.3 V
    Tick();
    EXPECT_EQ(monitor->JoyMonitorVal[0]->findChild<QLabel*>(QStringLiteral("lblInputValue"))->text(),
              QStringLiteral("100"));
    EXPECT_EQ(monitor->IMeasure[0]->findChild<QLabel*>(QStringLiteral("lblInputValue"))->text(),
              QStringLiteral("1000"));
    EXPECT_EQ(monitor->JoyMonitorVbb->findChild<QLabel*>(QStringLiteral("lblInputValue"))->text(),
              QStringLiteral("24.3"));
    EXPECT_DOUBLE_EQ(Rec(Key::QVS_VBB_400).DataS.QvsDisplayValueRAM, 24.3);
}

TEST_F(MonitorPageTest, OneSectionLoadsAndShowsOnlyTheFirstMonitors)
{
    ShowConnected(1);
    EXPECT_EQ(monitor->JoyMonitorVal[0]->Carica(), &Rec(Key::QVS_JOY0_VALUE).DataS);
    EXPECT_EQ(monitor->JoyMonitorVbb->Carica(), &Rec(Key::QVS_VBB_400).DataS);
    EXPECT_EQ(monitor->IMeasure[0]->Carica(), &Rec(Key::QVS_I0_MEASURE_400).DataS);
    EXPECT_TRUE(monitor->JoyMonitorVal[1]->isHidden());
    EXPECT_TRUE(monitor->IMeasure[1]->isHidden());
    EXPECT_TRUE(monitor->lblJoy[1]->isHidden());
    EXPECT_TRUE(monitor->Line[1]->isHidden());
    EXPECT_FALSE(monitor->Line[0]->isHidden());
    EXPECT_EQ(monitor->ImgCED->toolTip(), QStringLiteral("DRC 100 P"));
    RecordProgress(monitor->Poller());
    Tick();
    EXPECT_EQ(progress.size(), 7u); // three words and three monitors
}

TEST_F(MonitorPageTest, ValveHintNamesTheModel)
{
    SetE2(Key::QVS_SYSTEM_TYPE, 0);
    SetE2(Key::QVS_NUM_PROP_REG, 2);
    Connected();
    monitor->DrawVisibleObject();
    EXPECT_EQ(monitor->ImgCED->toolTip(), QStringLiteral("DRC 200 F"));
    EXPECT_TRUE(monitor->lblDRCType->isHidden());
    for (size_t i = 0; i < 8; ++i)
        EXPECT_TRUE(monitor->lblDin[i]->isHidden());
    EXPECT_TRUE(monitor->JoyMonitorRed[0]->isHidden());
}

TEST_F(MonitorPageTest, JoystickPicturesComeFromTheJoystickList)
{
    QTemporaryDir pictures;
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::red);
    const QString x = pictures.filePath(QStringLiteral("J_X.png"));
    const QString y = pictures.filePath(QStringLiteral("J_Y.png"));
    ASSERT_TRUE(image.save(x) && image.save(y));
    CJoyData twoAxes;
    twoAxes.id = 7;
    twoAxes.Code = "JS2";
    twoAxes.SectionNum = 2;
    twoAxes.JoyPicX = x;
    twoAxes.JoyPicY = y;
    monitor->SetJoyList({twoAxes});

    SetE2(Key::QVS_JOY_0_ID, 7);
    SetE2(Key::QVS_JOY_1_ID, 99);
    Connected();
    monitor->MonitorDrawJoy();
    EXPECT_FALSE(monitor->JoyDisplay[0]->pixmap().isNull());
    EXPECT_EQ(monitor->JoyDisplay[0]->toolTip(), QStringLiteral("JS2"));
    EXPECT_TRUE(monitor->JoyDisplay[1]->pixmap().isNull());
    EXPECT_EQ(monitor->JoyDisplay[1]->toolTip(), QStringLiteral("Undefined Joystick"));
}

TEST_F(MonitorPageTest, WithoutAJoystickListEveryJoystickIsUndefined)
{
    // A program folder without JoylistNew.ini (the input selection reports it).
    QFile::remove(folder.File(QStringLiteral("res/ini/JoylistNew.ini")));
    dialogs.Boxes.clear();
    Create(NoAdapter());
    Attach();
    EXPECT_EQ(dialogs.Texts(), QStringList({"'JoyList.ini' file NOT FOUND or CORRUPTED"}));
    EXPECT_TRUE(monitor->JoyList().empty());
    for (QLabel* d : monitor->JoyDisplay)
        EXPECT_EQ(d->toolTip(), QStringLiteral("Undefined Joystick"));
}

TEST_F(MonitorPageTest, RedrawTriggersRunTheirDrawingAndReturnToZero)
{
    CJoyData one;
    one.id = 3;
    one.Code = "ONE";
    one.SectionNum = 1;
    monitor->SetJoyList({one});
    SetE2(Key::QVS_JOY_0_ID, 3);
    Connected();
    monitor->DrawJoyMonitorEventObj = 1;
    EXPECT_EQ(monitor->JoyDisplay[0]->toolTip(), QStringLiteral("ONE"));
    EXPECT_EQ(monitor->DrawJoyMonitorEventObj.Value(), 0);

    // The main window raises both triggers when the connection drops; the
    // pictures then follow the configuration values.
    Rec(Key::QVS_JOY_0_ID).DataS.QvsDisplayValueE2 = 42;
    SetE2(Key::QVS_SOL_TYPE, 2);
    Rec(Key::QVS_SOL_TYPE).DataS.QvsDisplayValueE2 = 2;
    State().SetConnectionState(Disconnected);
    EXPECT_EQ(monitor->JoyDisplay[0]->toolTip(), QStringLiteral("Undefined Joystick"));
    EXPECT_TRUE(monitor->MagADisplay[0]->pixmap().isNull());
    EXPECT_EQ(monitor->DrawMagMonitorEventObj.Value(), 0);
}

TEST_F(MonitorPageTest, LeavingThePageWhilePollingStopsWithinOneTick)
{
    ShowConnected();
    Tick();
    ASSERT_EQ(State().ConnectionState(), MonitorPolling);
    ASSERT_TRUE(monitor->StatusTimerForm());

    window->SelectTab(ConfigureTab);
    EXPECT_EQ(State().ConnectionState(), ::Connected);
    EXPECT_TRUE(context->Polling.MonitorStopRequest);
    const int requests = link.requests;
    QElapsedTimer clock;
    clock.start();
    while (monitor->TmrMonitor().isActive() && clock.elapsed() < 1000)
        QTest::qWait(10);
    EXPECT_FALSE(monitor->TmrMonitor().isActive());
    EXPECT_LT(clock.elapsed(), 300);
    EXPECT_FALSE(monitor->StatusTimerForm());
    EXPECT_EQ(link.requests, requests); // the stopping tick reads nothing
    EXPECT_EQ(State().ConnectionState(), ::Connected);
}

TEST_F(MonitorPageTest, ShowingThePageAgainDuringItsLastCycleKeepsPolling)
{
    ShowConnected();
    // Away to the Diagnostic page and back while the fifth word is read.
    link.DuringRead = [this](int request) {
        if (request == 4) {
            window->SelectTab(DiagnosticTab);
            window->SelectTab(MonitorTab);
        }
    };
    Tick();
    EXPECT_EQ(State().ConnectionState(), MonitorPolling);
    EXPECT_TRUE(monitor->TmrMonitor().isActive());
    EXPECT_FALSE(context->Polling.MonitorStopRequest);
    link.DuringRead = nullptr;
    const int requests = link.requests;
    diagnostic->Poller().Tick(); // the diagnostic page, left again, reads nothing
    EXPECT_EQ(link.requests, requests);
    Tick();
    EXPECT_EQ(State().ConnectionState(), MonitorPolling);
}

TEST_F(MonitorPageTest, OnlyOnePagePollsAtATime)
{
    ShowConnected();
    Tick();
    ASSERT_TRUE(context->Polling.MonitorPollingActive);

    // The Diagnostic page is shown while the monitor's timer has not yet seen
    // its stop request: the diagnostic tick waits.
    window->SelectTab(DiagnosticTab);
    ASSERT_TRUE(diagnostic->TimerDiagnostic().isActive());
    const int requests = link.requests;
    diagnostic->Poller().Tick();
    EXPECT_EQ(link.requests, requests);
    EXPECT_FALSE(context->Polling.DiagnosticPollingActive);

    monitor->Poller().Tick(); // honours its stop request
    EXPECT_FALSE(context->Polling.MonitorPollingActive);
    diagnostic->Poller().Tick();
    EXPECT_EQ(link.requests, requests + 5);
    EXPECT_EQ(State().ConnectionState(), DiagnosticPolling);

    // Back to the monitor: the diagnostic page is pushed out the same way.
    window->SelectTab(MonitorTab);
    EXPECT_TRUE(context->Polling.DiagnosticStopRequest);
    monitor->Poller().Tick();
    EXPECT_EQ(link.requests, requests + 5);
    diagnostic->Poller().Tick();
    EXPECT_FALSE(diagnostic->TimerDiagnostic().isActive());
    monitor->Poller().Tick();
    EXPECT_EQ(State().ConnectionState(), MonitorPolling);

    // Nor does it poll while the debugger does.
    context->Polling.DebugPollingActive = true;
    const int now = link.requests;
    monitor->Poller().Tick();
    EXPECT_EQ(link.requests, now);
}

TEST_F(MonitorPageTest, FailedPollStopsPollingAndSaysWhy)
{
    ShowConnected();
    Tick();
    link.failAt = link.requests + 4; // the second monitor
    Tick();
    EXPECT_FALSE(monitor->TmrMonitor().isActive());
    EXPECT_FALSE(monitor->StatusTimerForm());
    EXPECT_EQ(State().ConnectionState(), Disconnected);
    window->RefreshStatus(State().StatusMessage());
    EXPECT_EQ(window->StatusBar().PanelText(2), QStringLiteral("Communication TIME OUT "));
    EXPECT_EQ(window->TxtConnect().text(), QStringLiteral("Not Connected"));
    EXPECT_TRUE(dialogs.Boxes.empty()); // told in the status bar, not by a box
}

TEST_F(MonitorPageTest, DisableTimerEndsPollingWithoutDelayingTheExit)
{
    ShowConnected();
    Tick();
    ASSERT_TRUE(monitor->StatusTimerForm());
    monitor->DisableTimer();
    EXPECT_FALSE(monitor->TmrMonitor().isActive());
    EXPECT_FALSE(monitor->StatusTimerForm());
    EXPECT_TRUE(window->ExitProcedure() == false);
    EXPECT_EQ(ended, 1);
}

TEST_F(MonitorPageTest, ADisconnectBetweenDiagnosticCyclesDoesNotBlockTheMonitorLater)
{
    Connected();
    window->SelectTab(DiagnosticTab);
    diagnostic->Poller().Tick();
    ASSERT_TRUE(context->Polling.DiagnosticPollingActive);
    window->DisableActivePageTimer(); // what a disconnect does first
    State().SetConnectionState(Disconnected);
    EXPECT_FALSE(context->Polling.DiagnosticPollingActive);

    Connected();
    window->SelectTab(MonitorTab);
    const int requests = link.requests;
    Tick();
    EXPECT_GT(link.requests, requests);
    EXPECT_EQ(State().ConnectionState(), MonitorPolling);
}

TEST_F(MonitorPageTest, NotConnectedDrawsTheConfigurationAndDoesNotPoll)
{
    CVarData& sections = Rec(Key::QVS_NUM_PROP_REG);
    sections.DataS.CedValueE2 = 1;
    sections.DataS.QvsDisplayValueE2 = 2; // what the Configure page shows
    Rec(Key::QVS_DEAD_MAN_CFG).DataS.QvsDisplayValueE2 = 8;
    window->SelectTab(MonitorTab);
    EXPECT_FALSE(monitor->TmrMonitor().isActive());
    EXPECT_FALSE(monitor->lblJoy[1]->isHidden());
    EXPECT_EQ(monitor->LblPinDM->text(), QStringLiteral("C2.05 (AI_4)"));
    EXPECT_EQ(monitor->LblPinDM->property("Tag").toInt(), 4);
}

TEST_F(MonitorPageTest, ShowingThePageLeavesTheConfigurationAlone)
{
    SetE2(Key::QVS_FLOAT_SLOW_CONFIG, 0x000F);
    SetE2(Key::QVS_FLOAT_0_CURRENT, 700);
    SetE2(Key::QVS_FLOAT_1_CURRENT, 800);
    SetE2(Key::QVS_I0_MAX, 1200);
    const bool unchanged = State().ParamsUnchanged();
    ShowConnected();
    monitor->RefreshObject();
    EXPECT_EQ(Rec(Key::QVS_FLOAT_0_CURRENT).DataS.QvsDisplayValueE2, 700);
    EXPECT_EQ(Rec(Key::QVS_FLOAT_1_CURRENT).DataS.QvsDisplayValueE2, 800);
    EXPECT_EQ(State().ParamsUnchanged(), unchanged);
}

TEST_F(MonitorPageTest, ColoursFollowThePalette)
{
    context->Palette.Back = {0x80, 0x808080, static_cast<int32_t>(0x80000005u), 0};
    context->Palette.Text = {0xFFFFFF, 0xFFFFFF, static_cast<int32_t>(0x80000008u), static_cast<int32_t>(0x80000005u)};
    ShowConnected();
    monitor->RefreshColour();
    EXPECT_EQ(BackColour(monitor->lblJoy[1]), 0x808080);
    EXPECT_EQ(BackColour(monitor->lblCurrent[0]), 0x80);
    EXPECT_EQ(monitor->JoyMonitorVal[0]->BackColor(), 0x80);
    EXPECT_EQ(monitor->IMeasure[1]->ForeColor(), 0xFFFFFF);
    EXPECT_EQ(monitor->Line[0]->BorderColor(), 0x80);
    EXPECT_EQ(monitor->Line[3]->BorderColor(), 0);
    EXPECT_EQ(BackColour(monitor->LblPin[0]), 0x80);
}

TEST_F(MonitorPageTest, SwitchingAMonitorOffClearsTheValveLabelsOfItsSection)
{
    ShowConnected();
    SetRam(Key::QVS_HSD_MONITOR, 0x0003);
    Tick();
    ASSERT_TRUE(Lit(monitor->lblValveA[0]));
    monitor->IMeasure[0]->setMonitorEnable(false);
    double v = 50;
    monitor->JoyMonitorVal[0]->UpdateDisplay(v); // raises UpdateValue
    EXPECT_TRUE(Unlit(monitor->lblValveA[0]));
    EXPECT_TRUE(Unlit(monitor->lblValveB[0]));
}

TEST_F(MonitorPageTest, F1OpensTheManualAtPage26)
{
    folder.Write(QStringLiteral("QVSMANUAL.pdf"), "%PDF-1.4\n");
    window->SelectTab(MonitorTab);
    QTest::keyClick(monitor->LblErr, Qt::Key_F1);
    EXPECT_EQ(manualPage, 26);
}

} // namespace
