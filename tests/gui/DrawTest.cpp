// The status drawing: panel texts, and which commands each page offers in
// each connection state.
#include "GuiTestSupport.h"

#include "gui/pages/Page.h"
#include "gui/shell/CommandTargets.h"
#include "gui/shell/DrawText.h"
#include "gui/shell/StatusBarView.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>

namespace {

TEST(DrawTextTest, VersionPanelShowsHexWithPointBeforeLastTwoDigits)
{
    EXPECT_EQ(DrawText::VersionPanelText(0), "----");
    EXPECT_EQ(DrawText::VersionPanelText(4660), "v012.34"); // 0x1234
    EXPECT_EQ(DrawText::VersionPanelText(1), "v000.01");
    EXPECT_EQ(DrawText::VersionPanelText(0x1A2B3), "v1A2.B3");
    EXPECT_EQ(DrawText::VersionPanelText(0x123456), "v1234.56");
    // Not a whole number: rounded (half to even) first.
    EXPECT_EQ(DrawText::VersionPanelText(2.5), "v000.02");
    EXPECT_EQ(DrawText::VersionPanelText(0.4), "----");
    EXPECT_EQ(DrawText::VersionPanelText(-3), "----");
}

TEST(DrawTextTest, SectionModelAndIndicators)
{
    EXPECT_EQ(DrawText::SectionModelPanelText(1), "RSV200");
    EXPECT_EQ(DrawText::SectionModelPanelText(2), "RSV200");
    EXPECT_EQ(DrawText::SectionModelPanelText(3), "---");
    EXPECT_EQ(DrawText::SectionModelPanelText(0), "---");
    EXPECT_EQ(DrawText::ProgressPanelText(49.5), "50%");
    EXPECT_EQ(DrawText::ApplicationVersionText(),
              QStringLiteral("v. %1.%2.%3").arg(QVS_VERSION_MAJOR).arg(QVS_VERSION_MINOR).arg(QVS_VERSION_PATCH));

    EXPECT_EQ(DrawText::FileIndicator(0).Text, "---");
    EXPECT_EQ(DrawText::FileIndicator(1).Text, "FILE TO SAVE");
    EXPECT_EQ(DrawText::FileIndicator(1).Colour, 0x80FFFF);
    EXPECT_EQ(DrawText::FileIndicator(2).Text, "FILE OK");
    EXPECT_EQ(DrawText::FileIndicator(2).Colour, 0xC000);
    EXPECT_EQ(DrawText::ParameterIndicator(1, false).Text, "PARAMETER OK");
    EXPECT_EQ(DrawText::ParameterIndicator(1, true).Text, "PARAMETER DIFF.");
    EXPECT_EQ(DrawText::ParameterIndicator(3, true).Text, "---");
}

// What one page offers in one state, written out from the page table.
struct Offer {
    bool reset, read, write, login, logout;
};

class AvailabilityTest : public MainWindowFixture {
protected:
    bool On(QAction* a) { return a->isEnabled(); }
    void Draw(int16_t state)
    {
        State().SetConnectionState(state);
        window->RefreshStatus(State().StatusMessage());
    }
    void ExpectTransfer(const Offer& o, const char* where)
    {
        SCOPED_TRACE(where);
        EXPECT_FALSE(On(window->mnuHW_ReadAll));
        EXPECT_FALSE(On(window->Buttons[4]));
        EXPECT_FALSE(On(window->mnuHW_WriteAll));
        EXPECT_FALSE(On(window->Buttons[5]));
        EXPECT_EQ(On(window->mnuHw_Reset), o.reset);
        EXPECT_EQ(On(window->Buttons[7]), o.reset);
        EXPECT_EQ(On(window->mnuHw_Read), o.read);
        EXPECT_EQ(On(window->Buttons[9]), o.read);
        EXPECT_EQ(On(window->mnuHW_Write), o.write);
        EXPECT_EQ(On(window->Buttons[10]), o.write);
        EXPECT_EQ(On(window->mnuSet_Login), o.login);
        EXPECT_EQ(On(window->Buttons[12]), o.login);
        EXPECT_EQ(On(window->mnuSet_Logout), o.logout);
        EXPECT_EQ(On(window->Buttons[13]), o.logout);
        EXPECT_TRUE(On(window->mnuHelp_Help));
        EXPECT_TRUE(On(window->Buttons[15]));
        EXPECT_TRUE(On(window->mnuHelp_Info));
        EXPECT_TRUE(On(window->Buttons[16]));
        EXPECT_TRUE(On(window->mnuFile_Load));
        EXPECT_TRUE(On(window->Buttons[1]));
        EXPECT_TRUE(On(window->Buttons[2]));
    }
    void ExpectConnectOffered()
    {
        EXPECT_EQ(window->mnuHW_Connect->text(), "Connect");
        EXPECT_TRUE(On(window->mnuHW_Connect));
        EXPECT_EQ(window->Buttons[19]->toolTip(), "Connect");
        EXPECT_FALSE(window->Buttons[19]->isChecked());
        EXPECT_TRUE(On(window->Buttons[19]));
        EXPECT_TRUE(window->mnuSet_ComID->menuAction()->isEnabled());
        EXPECT_FALSE(window->mnuSet_CANBaudRate->menuAction()->isEnabled());
    }
    void ExpectDisconnectOffered()
    {
        EXPECT_EQ(window->mnuHW_Connect->text(), "Disconnect");
        EXPECT_TRUE(On(window->mnuHW_Connect));
        EXPECT_EQ(window->Buttons[19]->toolTip(), "Disconnect");
        EXPECT_TRUE(window->Buttons[19]->isChecked());
        EXPECT_TRUE(On(window->Buttons[19]));
        EXPECT_FALSE(window->mnuSet_ComID->menuAction()->isEnabled());
        EXPECT_FALSE(window->mnuSet_CANBaudRate->menuAction()->isEnabled());
    }
    void ExpectBusy()
    {
        EXPECT_FALSE(On(window->mnuHW_Connect));
        EXPECT_EQ(window->Buttons[19]->toolTip(), "Connect");
        EXPECT_TRUE(window->Buttons[19]->isChecked());
        EXPECT_FALSE(On(window->Buttons[19]));
        EXPECT_FALSE(window->mnuSet_ComID->menuAction()->isEnabled());
        EXPECT_FALSE(window->mnuSet_CANBaudRate->menuAction()->isEnabled());
    }
};

TEST_F(AvailabilityTest, InitialStateOffersConnectOnly)
{
    frmMain fresh(*context, &dialogs);
    EXPECT_FALSE(fresh.mnuSet_Login->isEnabled());
    EXPECT_FALSE(fresh.mnuSet_Logout->isEnabled());
    EXPECT_FALSE(fresh.mnuHw_Read->isEnabled());
    EXPECT_FALSE(fresh.mnuHW_Write->isEnabled());
    EXPECT_FALSE(fresh.mnuHw_Reset->isEnabled());
    EXPECT_TRUE(fresh.mnuHW_Connect->isEnabled());
    EXPECT_EQ(fresh.Buttons[19]->toolTip(), "Connect");
    EXPECT_FALSE(fresh.mnuSet_CANBaudRate->menuAction()->isEnabled());
    EXPECT_TRUE(fresh.mnuSet_ComID->menuAction()->isEnabled());
    // "None" and the all-page transfers are never offered.
    EXPECT_FALSE(fresh.mnuSet_Com[0]->isEnabled());
    EXPECT_FALSE(fresh.mnuHW_ReadAll->isEnabled());
    EXPECT_FALSE(fresh.mnuHW_WriteAll->isEnabled());
}

TEST_F(AvailabilityTest, EveryPageInEveryStateItHandles)
{
    const Offer none{false, false, false, false, false};
    for (bool loggedIn : {false, true}) {
        State().SetAssistanceLoggedIn(loggedIn);
        const Offer debuggerLogin{false, false, false, !loggedIn, loggedIn};
        struct Row {
            int tab;
            std::vector<int16_t> polling;
            std::optional<Offer> connected;
            Offer disconnected;
        };
        const std::vector<Row> rows = {
            {0, {}, Offer{true, true, true, false, false}, none},
            {1, {3}, std::nullopt, none},
            {2, {4}, std::nullopt, none},
            {3, {5}, debuggerLogin, debuggerLogin},
            {4, {}, Offer{true, true, false, false, false}, none},
        };
        for (const Row& row : rows) {
            window->SelectTab(row.tab);
            const std::string where = "tab " + std::to_string(row.tab) + (loggedIn ? " logged in" : "");

            Draw(Disconnected);
            ExpectTransfer(row.disconnected, (where + " state 0").c_str());
            ExpectConnectOffered();
            EXPECT_EQ(window->TxtConnect().text(), "Not Connected");
            EXPECT_EQ(window->StatusBar().PanelIcon(1).cacheKey(), window->RedIcon().cacheKey());

            State().SetStatusMessage(QStringLiteral("Reading..."));
            Draw(Busy);
            ExpectTransfer({false, false, false, row.disconnected.login, row.disconnected.logout},
                           (where + " state 2").c_str());
            ExpectBusy();
            EXPECT_EQ(window->TxtConnect().text(), "Reading...");
            State().SetStatusMessage(QString());

            if (row.connected) {
                Draw(Connected);
                ExpectTransfer(*row.connected, (where + " state 1").c_str());
                ExpectDisconnectOffered();
                EXPECT_EQ(window->TxtConnect().text(), "Connected");
                EXPECT_EQ(window->StatusBar().PanelIcon(1).cacheKey(), window->GreenIcon().cacheKey());
            }
            for (int16_t polling : row.polling) {
                Draw(polling);
                ExpectTransfer({false, false, false, row.disconnected.login, row.disconnected.logout},
                               (where + " polling").c_str());
                ExpectDisconnectOffered();
            }
        }
    }
}

TEST_F(AvailabilityTest, UnhandledStateKeepsTheEarlierAvailability)
{
    window->SelectTab(0);
    Draw(Connected); // Configure offers Read and Write
    window->SelectTab(1);
    Draw(Connected); // the Monitor page does not handle state 1
    EXPECT_TRUE(window->mnuHw_Read->isEnabled());
    EXPECT_TRUE(window->mnuHW_Write->isEnabled());
    EXPECT_EQ(window->mnuHW_Connect->text(), "Disconnect");
}

TEST_F(AvailabilityTest, StatusPanelsFollowTheCatalogue)
{
    CVarData* version = context->Table.Record(Key::QVS_PROG_VERS);
    CVarData* sections = context->Table.Record(Key::QVS_NUM_PROP_REG);
    ASSERT_NE(version, nullptr);
    ASSERT_NE(sections, nullptr);
    version->DataS.QvsDisplayValueRAM = 0x1234;
    sections->DataS.QvsDisplayValueE2 = 3;
    State().SetProgressPercent(37);
    Draw(Busy);
    EXPECT_EQ(window->StatusBar().PanelText(7), "v012.34");
    EXPECT_EQ(window->StatusBar().PanelText(6), "---");
    EXPECT_EQ(window->StatusBar().PanelText(5), "37%");
    EXPECT_EQ(window->ProgressBar().value(), 37);
    version->DataS.QvsDisplayValueRAM = 0;
    sections->DataS.QvsDisplayValueE2 = 2;
    Draw(Disconnected); // the page's drawing resets the progress
    EXPECT_EQ(window->StatusBar().PanelText(7), "----");
    EXPECT_EQ(window->StatusBar().PanelText(6), "RSV200");
    EXPECT_EQ(window->StatusBar().PanelText(5), "0%");
    // The Configure page shows the program version.
    EXPECT_EQ(window->StatusBar().PanelText(3), DrawText::ApplicationVersionText());
}

TEST_F(AvailabilityTest, ParameterStatusIsDrawnByTheConfigurePageOnly)
{
    window->SelectTab(0);
    Draw(Connected);
    EXPECT_EQ(window->TxtPar().text(), "PARAMETER OK");
    State().SetParamsDiffer(true);
    window->RefreshStatus(QString());
    EXPECT_EQ(window->TxtPar().text(), "PARAMETER DIFF.");
    window->SelectTab(4);
    Draw(Disconnected);
    EXPECT_EQ(window->TxtPar().text(), "PARAMETER DIFF."); // keeps its last text
    window->SelectTab(0);
    EXPECT_EQ(window->TxtPar().text(), "---");
}

TEST_F(AvailabilityTest, FailureTextStaysInTheWidePanelUntilTheNextCommand)
{
    State().SetLastFailure(QStringLiteral("Communication TIME OUT "));
    Draw(Disconnected);
    EXPECT_EQ(window->StatusBar().PanelText(2), "Communication TIME OUT ");
    window->MainTick();
    EXPECT_EQ(window->StatusBar().PanelText(2), "Communication TIME OUT ");
    window->ConnectCommand(); // refused: no adapter
    EXPECT_NE(window->StatusBar().PanelText(2), "Communication TIME OUT ");
}

} // namespace
