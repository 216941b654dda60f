// The start-up through the splash.
#include "GuiTestSupport.h"

#include "gui/pages/Page.h"
#include "gui/shell/StatusBarView.h"
#include "gui/shell/frmInit.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>

namespace {

TEST(StartupTest, SplashStaysForItsTicksAndShowsTheConfigurePage)
{
    TestApp();
    TestProgramFolder folder;
    ScriptedDialogs dialogs;
    CoreContext context(folder.Path(), NoAdapter());
    context.Shell.SetFileState(1);
    context.Shell.SetParamsUnchanged(false);
    frmInit splash(context);
    EXPECT_EQ(splash.TmrInit.interval(), 2);
    EXPECT_EQ(splash.imgPhoto->toolTip(), "Typical valve configuration");
    std::unique_ptr<frmMain> main = splash.Run(&dialogs);
    ASSERT_NE(main, nullptr);
    EXPECT_GE(splash.Ticks(), 100);
    EXPECT_EQ(splash.PrgInit->value(), 100);
    EXPECT_FALSE(splash.isVisible());
    EXPECT_FALSE(splash.TmrInit.isActive());
    EXPECT_TRUE(main->isVisible());
    EXPECT_EQ(main->SelectedTab(), 0);
    ASSERT_NE(main->ActivePage(), nullptr);
    EXPECT_EQ(main->ActivePage()->Tag(), "A1");
    // The flags are reset; nothing is read until the user connects.
    EXPECT_EQ(context.Shell.FileState(), 0);
    EXPECT_TRUE(context.Shell.ParamsUnchanged());
    EXPECT_EQ(context.Shell.ConnectionState(), Disconnected);
    // The splash picture is not part of this folder: the start-up goes on.
    EXPECT_FALSE(splash.HasPicture());
    EXPECT_TRUE(dialogs.Boxes.empty());
    main->EndProgram = [] {};
}

TEST(StartupTest, MissingCatalogueIsReportedAndThePagesStillLoad)
{
    TestApp();
    TestProgramFolder folder;
    QFile::remove(folder.File("res/ini/Ramlist.ini"));
    ScriptedDialogs dialogs;
    CoreContext context(folder.Path(), NoAdapter());
    frmMain window(context, &dialogs);
    EXPECT_EQ(dialogs.Texts(), QStringList({"'Ramlist.ini' file NOT FOUND or CORRUPTED"}));
    EXPECT_EQ(window.Pages().size(), 5u);
    EXPECT_EQ(context.Table.VarTableEnd, 0);
    window.SelectTab(0);
    window.RefreshStatus(QString());
    EXPECT_EQ(window.StatusBar().PanelText(7), "----");
    window.EndProgram = [] {};
}

} // namespace
