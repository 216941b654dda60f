// The main window: its menus, toolbar, tabs and status bar, page selection,
// the main tick, the manual and the exit procedure.
#include "GuiTestSupport.h"

#include "gui/pages/FrmMonitor.h"
#include "gui/pages/Page.h"
#include "gui/shell/ManualViewer.h"
#include "gui/shell/StatusBarView.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPdfWriter>
#include <QSignalSpy>
#include <QTabBar>
#include <QTest>
#include <QToolBar>

namespace {

class MainWindowTest : public MainWindowFixture {};

struct Item {
    const char* name;
    const char* caption;
};

void ExpectItems(QMenu* menu, const std::vector<Item>& items)
{
    std::vector<Item> seen;
    int i = 0;
    const QList<QAction*> actions = menu->actions();
    ASSERT_EQ(actions.size(), static_cast<qsizetype>(items.size())) << menu->title().toStdString();
    for (QAction* a : actions) {
        const Item& want = items[static_cast<size_t>(i++)];
        if (!want.name) {
            EXPECT_TRUE(a->isSeparator());
            continue;
        }
        EXPECT_EQ(a->objectName(), want.name);
        EXPECT_EQ(a->text(), want.caption);
    }
}

TEST_F(MainWindowTest, MenusCarryTheirExactCaptionsKeysAndChecks)
{
    const QList<QAction*> top = window->menuBar()->actions();
    QStringList titles;
    for (QAction* a : top)
        titles << a->text();
    EXPECT_EQ(titles, QStringList({"&File", "&View", "H&ardware", "&Set", "&Help"}));

    ExpectItems(window->mnuFile, {{"mnuFile_Load", "&Load Configuration"},
                                  {"mnuFile_Save", "&Save Configuration"},
                                  {nullptr, nullptr},
                                  {"mnuFile_Exit", "&Exit"}});
    ExpectItems(window->mnuView, {{"mnuView_Page", "&Show next Page"}});
    EXPECT_EQ(window->mnuView_Page->shortcut(), QKeySequence(QStringLiteral("Ctrl+W")));
    // The status drawing gives the Connect item its run-time caption at once.
    ExpectItems(window->mnuHw, {{"mnuHW_Connect", "Connect"},
                                {"mnuHW_WriteAll", "Writ&e All"},
                                {"mnuHW_ReadAll", "Rea&d All"},
                                {nullptr, nullptr},
                                {"mnuHW_Write", "&Write"},
                                {"mnuHw_Read", "&Read"},
                                {nullptr, nullptr},
                                {"mnuHw_Reset", "Re&set"}});
    ExpectItems(window->mnuSet, {{"mnuSet_ComID", "Set &USB Port"},
                                 {"mnuSet_CANBaudRate", "Set CAN  &Bit Rate"},
                                 {"mnuSet_CANInterface", "CAN &Interface"},
                                 {nullptr, nullptr},
                                 {"mnuSet_Palette", "&Palette"},
                                 {nullptr, nullptr},
                                 {"mnuSet_Login", "&Login"},
                                 {"mnuSet_Logout", "Log&out"}});
    ExpectItems(window->mnuSet_ComID, {{"mnuSet_Com_0", "None"},
                                       {"mnuSet_Com_1", "PCAN USB &1"},
                                       {"mnuSet_Com_2", "PCAN USB &2"},
                                       {"mnuSet_Com_3", "PCAN USB &3"},
                                       {"mnuSet_Com_4", "PCAN USB &4"}});
    ExpectItems(window->mnuSet_CANBaudRate,
                {{"mnuSet_CANBitRate_0", "None"}, {"mnuSet_CANBitRate_1", "10"}, {"mnuSet_CANBitRate_2", "20"},
                 {"mnuSet_CANBitRate_3", "50"}, {"mnuSet_CANBitRate_4", "125"}, {"mnuSet_CANBitRate_5", "250"},
                 {"mnuSet_CANBitRate_6", "500"}, {"mnuSet_CANBitRate_7", "800"}, {"mnuSet_CANBitRate_8", "1000"}});
    ExpectItems(window->mnuHelp, {{"mnuHelp_Help", "&Help Topics"},
                                  {nullptr, nullptr},
                                  {"mnuHelp_Site", "&Corvane Web Site"},
                                  {"mnuHelp_Info", "&Software Info"}});
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(window->mnuSet_Com[static_cast<size_t>(i)]->isChecked(), i == 1);
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(window->mnuSet_CANBitRate[static_cast<size_t>(i)]->isChecked(), i == 5);
}

TEST_F(MainWindowTest, ToolbarHasNineteenButtonsWithKeysAndTooltips)
{
    const QList<QAction*> actions = window->tbToolBar->actions();
    ASSERT_EQ(actions.size(), 19);
    const std::vector<std::pair<const char*, const char*>> want = {
        {"Load Configuration", "Load From File"}, {"Save Configuration", "Save To File"}, {nullptr, nullptr},
        {"Read All", "Read All From Electronic"}, {"Write All", "Write All To Electronic"}, {nullptr, nullptr},
        {"Reset", "Reset Electronic"}, {nullptr, nullptr}, {"Read", "Read From Electronic"},
        {"Write", "Write To Electronic"}, {nullptr, nullptr}, {"Login", "Assistance Login"},
        {"Logout", "Assistance Logout"}, {nullptr, nullptr}, {"Help", "Help Topics"}, {"Info", "Software Info"},
        {nullptr, nullptr}, {nullptr, nullptr}, {"Connect", "Connect"}};
    for (int i = 0; i < 19; ++i) {
        QAction* a = actions[i];
        EXPECT_EQ(a, window->Buttons[static_cast<size_t>(i + 1)]);
        if (!want[static_cast<size_t>(i)].first) {
            EXPECT_TRUE(a->isSeparator()) << i + 1;
            continue;
        }
        EXPECT_EQ(a->data().toString(), want[static_cast<size_t>(i)].first);
        EXPECT_EQ(a->toolTip(), want[static_cast<size_t>(i)].second);
    }
}

TEST_F(MainWindowTest, ToolbarDispatchRunsTheCommandOfTheKey)
{
    window->ToolbarClick(QStringLiteral("Help"));
    EXPECT_EQ(manualPage, 0); // no manual in this folder: the message says so
    ASSERT_FALSE(dialogs.Boxes.empty());
    EXPECT_TRUE(dialogs.Boxes.back().Text.startsWith("The manual QVSMANUAL.pdf is not installed"));
    const size_t before = dialogs.Boxes.size();
    window->ToolbarClick(QStringLiteral("Nonsense"));
    EXPECT_EQ(dialogs.Boxes.size(), before);
    window->ToolbarClick(QStringLiteral("Save Configuration"));
    ASSERT_EQ(dialogs.FileDialogs.size(), 1u);
    EXPECT_TRUE(dialogs.FileDialogs[0].Save);
}

TEST_F(MainWindowTest, WindowIsFixedAndHasNoMaximiseButton)
{
    EXPECT_EQ(window->windowTitle(), "QVS Studio for DRC200F");
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(window->windowFlags() & Qt::WindowMinimizeButtonHint);
    window->show();
    window->resize(1000, 800);
    EXPECT_EQ(window->size(), QSize(836, 633));
    window->showMaximized();
    QCoreApplication::processEvents();
    EXPECT_EQ(window->size(), QSize(836, 633));
    EXPECT_EQ(window->TmrDraw.interval(), 500);
    EXPECT_TRUE(window->TmrDraw.isActive());
    EXPECT_EQ(window->tmrRxCAN.interval(), 100);
}

TEST_F(MainWindowTest, CaptionNamesTheSimulator)
{
    Create(NoAdapter(), QStringLiteral("sim"));
    EXPECT_EQ(window->windowTitle(), "QVS Studio for DRC200F - SIMULATOR");
}

TEST_F(MainWindowTest, TabsAndPagesCarryTheirKeys)
{
    QTabBar* tabs = window->TabMain;
    ASSERT_EQ(tabs->count(), 5);
    const QStringList captions{"Configure", "Monitor", "Diagnostic", "Debugger", "Info"};
    const QStringList tips{"System Configuration Parameters", "On Line System Monitor", "On Line System Diagnostic",
                           "Electronic Debugger", "Additional Info"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(tabs->tabText(i), captions[i]);
        EXPECT_EQ(tabs->tabToolTip(i), tips[i]);
        const QString key = QStringLiteral("A%1").arg(i + 1);
        EXPECT_EQ(tabs->tabData(i).toString(), key);
        Page* p = window->PageByTag(key);
        ASSERT_NE(p, nullptr);
        EXPECT_TRUE(p->MDIChild());
    }
    const std::vector<std::tuple<QString, int, int, int>> keys = {
        {"A1", 10, 11, 10}, {"A2", 0, 0, 26}, {"A3", 0, 0, 29}, {"A4", 0, 0, 33}, {"A5", 10000, 10001, 34}};
    for (const auto& [tag, r, w, manual] : keys) {
        Page* p = window->PageByTag(tag);
        EXPECT_EQ(p->ReadKey(), r) << tag.toStdString();
        EXPECT_EQ(p->WriteKey(), w);
        EXPECT_EQ(p->ManualPage(), manual);
        EXPECT_EQ(p->CheckDataToWrite(), "");
        EXPECT_EQ(p->CheckFloatPinToWrite(), "");
        EXPECT_FALSE(p->StatusTimerForm());
    }
    // Page counts: every Configure record of the shipped catalogue has domain 10 or 11.
    EXPECT_GT(window->PageByTag("A1")->PageVarNum(), 50);
    EXPECT_EQ(window->PageByTag("A2")->PageVarNum(), 0);
    EXPECT_EQ(context->Pages.AllPagesReadKey(), static_cast<int16_t>(10 | 10000));
}

TEST_F(MainWindowTest, ShowNextPageWrapsAndShowsOnlyTheActivePage)
{
    window->show();
    QCoreApplication::processEvents();
    window->SelectTab(3);
    EXPECT_EQ(window->ActivePage()->Tag(), "A4");
    window->ShowNextPage();
    EXPECT_EQ(window->ActivePage()->Tag(), "A5");
    // Ctrl+W from the keyboard: tab 5 goes to tab 1.
    window->activateWindow();
    QTest::keyClick(window.get(), Qt::Key_W, Qt::ControlModifier);
    EXPECT_EQ(window->SelectedTab(), 0);
    EXPECT_EQ(window->ActivePage()->Tag(), "A1");
    for (Page* p : window->Pages())
        EXPECT_EQ(p->isVisible(), p == window->ActivePage()) << p->Tag().toStdString();
}

TEST_F(MainWindowTest, ClickingATabSelectsItsPage)
{
    window->show();
    QCoreApplication::processEvents();
    const QRect r = window->TabMain->tabRect(2);
    QTest::mouseClick(window->TabMain, Qt::LeftButton, {}, r.center());
    EXPECT_EQ(window->ActivePage()->Tag(), "A3");
}

TEST_F(MainWindowTest, MainTickShowsTheFileStateAfterAnEdit)
{
    window->MainTick();
    EXPECT_EQ(window->txtFileTosave->text(), "---");
    State().SetParamsUnchanged(false);
    window->MainTick();
    EXPECT_EQ(window->txtFileTosave->text(), "FILE TO SAVE");
    EXPECT_EQ(window->txtFileTosave->palette().color(QPalette::Base), QColor(255, 255, 128));
    EXPECT_TRUE(State().ParamsDiffer());
    EXPECT_EQ(State().FileState(), 1);
    State().SetFileState(2);
    State().SetParamsUnchanged(true);
    window->MainTick();
    EXPECT_EQ(window->txtFileTosave->text(), "FILE OK");
    EXPECT_EQ(window->txtFileTosave->palette().color(QPalette::Base), QColor(0, 192, 0));
    State().SetInfoChanged(true);
    window->MainTick();
    EXPECT_EQ(window->txtFileTosave->text(), "FILE TO SAVE");
}

TEST_F(MainWindowTest, DisconnectSetsTheMonitorRedrawTriggers)
{
    FrmMonitor* monitor = window->MonitorPage();
    ASSERT_NE(monitor, nullptr);
    State().SetConnectionState(Connected);
    monitor->DrawJoyMonitorEventObj = 0;
    monitor->DrawMagMonitorEventObj = 0;
    State().SetConnectionState(MonitorPolling);
    EXPECT_EQ(monitor->DrawJoyMonitorEventObj, 0);
    const int joy = monitor->DrawJoyMonitorEventObj.Raised();
    const int mag = monitor->DrawMagMonitorEventObj.Raised();
    State().SetConnectionState(Disconnected);
    // Raised to 1: the page redrew and set them back to 0.
    EXPECT_EQ(monitor->DrawJoyMonitorEventObj.Raised(), joy + 1);
    EXPECT_EQ(monitor->DrawMagMonitorEventObj.Raised(), mag + 1);
    EXPECT_EQ(monitor->DrawJoyMonitorEventObj, 0);
}

TEST_F(MainWindowTest, PortMenuBeforeAnyConnectionFallsBackToNone)
{
    window->PortCommand(3);
    EXPECT_TRUE(window->mnuSet_Com[0]->isChecked());
    EXPECT_FALSE(window->mnuSet_Com[3]->isChecked());
    EXPECT_FALSE(window->mnuSet_Com[1]->isChecked());
    EXPECT_EQ(window->StatusBar().PanelText(8), "NONE");
    // The refused open now asks for a port.
    window->ConnectCommand();
    ASSERT_FALSE(dialogs.Boxes.empty());
    EXPECT_EQ(dialogs.Boxes.back().Text, "Select a USB Port");
}

TEST_F(MainWindowTest, BitRateItemSetsPanelNine)
{
    window->BitRateCommand(4);
    EXPECT_EQ(window->StatusBar().PanelText(9), "125");
    EXPECT_TRUE(window->mnuSet_CANBitRate[4]->isChecked());
    EXPECT_FALSE(window->mnuSet_CANBitRate[5]->isChecked());
}

// --- The manual -------------------------------------------------------------

TEST_F(MainWindowTest, ManualParameterTextIsBuiltExactly)
{
    EXPECT_EQ(frmMain::ManualParameterText(34, QStringLiteral("/opt/qvs")),
              "/A \"page=34&pagemode=bookmarks&zoom=100\"  \"/opt/qvs/QVSMANUAL.pdf");
}

TEST_F(MainWindowTest, HelpAndF1OpenTheManualAtTheFormsPage)
{
    folder.Write(QStringLiteral("QVSMANUAL.pdf"), "%PDF-1.4\n");
    window->show();
    window->activateWindow();
    QCoreApplication::processEvents();
    window->HelpCommand();
    EXPECT_EQ(manualPage, 1);
    EXPECT_EQ(manualPath, folder.File("QVSMANUAL.pdf"));
    EXPECT_EQ(manualParameters, frmMain::ManualParameterText(1, folder.Path()));

    const std::vector<std::pair<int, int>> pages = {{0, 10}, {1, 26}, {2, 29}, {3, 33}, {4, 34}};
    for (const auto& [tab, page] : pages) {
        window->SelectTab(tab);
        manualPage = 0;
        QTest::keyClick(window->ActivePage(), Qt::Key_F1);
        EXPECT_EQ(manualPage, page) << "tab " << tab;
    }
    // F1 in a text box of the Info page: still the Info page's page.
    window->SelectTab(4);
    auto* author = window->ActivePage()->findChild<QLineEdit*>(QStringLiteral("txtAutor"));
    ASSERT_NE(author, nullptr);
    manualPage = 0;
    QTest::keyClick(author, Qt::Key_F1);
    EXPECT_EQ(manualPage, 34);
    // F1 on the main window outside the pages.
    manualPage = 0;
    QTest::keyClick(window->TabMain, Qt::Key_F1);
    EXPECT_EQ(manualPage, 1);
}

TEST_F(MainWindowTest, MissingManualIsReported)
{
    window->OpenManual(26);
    EXPECT_EQ(manualPage, 0);
    ASSERT_EQ(dialogs.Boxes.size(), 1u);
    EXPECT_TRUE(dialogs.Boxes[0].Text.contains(folder.Path()));
    EXPECT_EQ(dialogs.Boxes[0].Icon, MessageIcon::Warning);
}

TEST_F(MainWindowTest, WebSiteOpensTheMakersAddress)
{
    window->mnuHelp_Site->trigger();
    EXPECT_EQ(openedUrl, QUrl(QStringLiteral("https://www.corvane.example")));
}

// --- Exit -------------------------------------------------------------------

// A page whose timer never stops, to make the exit wait.
class BusyPage : public Page {
public:
    explicit BusyPage(Shell& s) : Page(s, 0, 0) {}
    int ManualPage() const override { return 0; }
    bool StatusTimerForm() const override { return busy; }
    void DisableTimer() override { ++disabled; }
    bool busy = true;
    int disabled = 0;

protected:
    const DrawBarProfile& Profile() const override
    {
        static const DrawBarProfile p{};
        return p;
    }
};

TEST_F(MainWindowTest, ExitWithoutUnsavedFileEndsAtOnce)
{
    QSignalSpy spy(window.get(), &frmMain::programEnded);
    window->mnuFile_Exit->trigger();
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(spy.count(), 1);
    EXPECT_TRUE(dialogs.Boxes.empty());
    EXPECT_FALSE(window->TmrDraw.isActive());
}

TEST_F(MainWindowTest, ExitWithUnsavedFileAnsweredNoStaysWithoutRetry)
{
    State().SetFileState(1);
    EXPECT_TRUE(window->ExitProcedure());
    ASSERT_EQ(dialogs.Boxes.size(), 1u);
    EXPECT_EQ(dialogs.Boxes[0].Text,
              "Configuration file Not Saved.\rNo saved settings will be lost.\r\rCONTINUE ANYWAY?");
    EXPECT_TRUE(dialogs.Boxes[0].Question);
    EXPECT_EQ(dialogs.Boxes[0].Icon, MessageIcon::Warning);
    EXPECT_FALSE(State().ExitRequested());
    window->MainTick();
    EXPECT_EQ(dialogs.Boxes.size(), 1u);
    EXPECT_EQ(ended, 0);
    // Yes ends the program.
    dialogs.Answers.push_back(true);
    EXPECT_FALSE(window->ExitProcedure());
    EXPECT_EQ(ended, 1);
}

TEST_F(MainWindowTest, BusyPageDelaysTheExitUntilTheNinthRun)
{
    State().SetFileState(1);
    dialogs.Answers.push_back(true);
    BusyPage busy(*window);
    window->AddLoadedPage(&busy);
    EXPECT_TRUE(window->ExitProcedure());
    EXPECT_EQ(State().ExitAttempts(), 1);
    EXPECT_GE(busy.disabled, 1);
    for (int run = 2; run <= 8; ++run) {
        window->MainTick();
        EXPECT_EQ(ended, 0) << run;
    }
    EXPECT_EQ(State().ExitAttempts(), 8);
    window->MainTick(); // the 9th run ends at once
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(State().ExitAttempts(), 9);
    // The question was asked once, not on every retry.
    EXPECT_EQ(dialogs.Boxes.size(), 1u);
    window->RemoveLoadedPage(&busy);
}

TEST_F(MainWindowTest, BusyPageThatStopsLetsTheRetryEnd)
{
    BusyPage busy(*window);
    window->AddLoadedPage(&busy);
    EXPECT_TRUE(window->ExitProcedure());
    busy.busy = false;
    window->MainTick();
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(State().ExitAttempts(), 2);
    window->RemoveLoadedPage(&busy);
}

TEST_F(MainWindowTest, ClosingTheWindowRunsTheExitOnce)
{
    State().SetFileState(1);
    window->show();
    // No: the window stays open.
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
    ASSERT_EQ(dialogs.Boxes.size(), 1u);
    // Yes: it closes, and the question is not asked a second time.
    dialogs.Answers.push_back(true);
    EXPECT_TRUE(window->close());
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(dialogs.Boxes.size(), 2u);
    EXPECT_EQ(ended, 1);
}

} // namespace

namespace {

// A PDF of n pages, each page naming its number.
void WritePdf(const QString& path, int pages)
{
    QPdfWriter writer(path);
    QPainter painter(&writer);
    for (int i = 1; i <= pages; ++i) {
        if (i > 1)
            writer.newPage();
        painter.drawText(100, 100, QStringLiteral("Page %1").arg(i));
    }
}

TEST_F(MainWindowTest, ManualOpensInTheProgramAtThePage)
{
    if (!HasInAppManualViewer())
        GTEST_SKIP() << "built without QtPdf";
    WritePdf(folder.File("QVSMANUAL.pdf"), 40);
    window->ManualOpener = nullptr; // the real viewer
    window->OpenManual(34);
    ASSERT_NE(window->ManualWindow(), nullptr);
    EXPECT_TRUE(window->ManualWindow()->isVisible());
    EXPECT_EQ(window->ManualWindow()->CurrentPage(), 34);
    window->OpenManual(1); // the same window, another page
    EXPECT_EQ(window->ManualWindow()->CurrentPage(), 1);
    EXPECT_TRUE(dialogs.Boxes.empty());
}

TEST_F(MainWindowTest, ManualThatIsNotAPdfIsReported)
{
    if (!HasInAppManualViewer())
        GTEST_SKIP() << "built without QtPdf";
    folder.Write(QStringLiteral("QVSMANUAL.pdf"), "not a pdf");
    window->ManualOpener = nullptr;
    ManualViewer viewer;
    EXPECT_FALSE(viewer.Open(folder.File("QVSMANUAL.pdf"), 3));
    EXPECT_FALSE(viewer.isVisible());
}

} // namespace
