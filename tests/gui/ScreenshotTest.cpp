// Pictures of the windows for a person to look at: written only when
// QVS_SCREENSHOTS names a folder.
#include "GuiTestSupport.h"

#include "gui/shell/FrmPwd.h"
#include "gui/shell/frmInit.h"
#include "sim/BusFactory.h"

#include <QDir>
#include <QLabel>
#include <QPixmap>
#include <QProgressBar>

namespace {

TEST(ScreenshotTest, MainWindowAndDialogs)
{
    const QString out = qEnvironmentVariable("QVS_SCREENSHOTS");
    if (out.isEmpty())
        GTEST_SKIP() << "set QVS_SCREENSHOTS to a folder to write the pictures";
    TestApp();
    QDir().mkpath(out);
    // The build folder is a program folder with the rendered pictures.
    const QString home = QStringLiteral(QVS_BIN_DIR);
    BusSetup bus = MakeBusSetup(QStringLiteral("sim"), home, false);
    CoreContext context(home, bus.Factory);
    context.BusName = QStringLiteral("sim");
    ScriptedDialogs dialogs;

    frmInit splash(context);
    splash.show();
    splash.imgPhoto->setPixmap(QPixmap(context.ResourcePath(QStringLiteral("bmp/Init.jpg"))));
    splash.PrgInit->setValue(60);
    QCoreApplication::processEvents();
    splash.grab().save(out + "/splash.png");
    splash.close();

    frmMain window(context, &dialogs);
    window.EndProgram = [] {};
    window.show();
    window.SelectTab(0);
    context.Shell.SetParamsUnchanged(true); // as the start-up does
    context.Shell.SetFileState(0);
    window.MainTick();
    QCoreApplication::processEvents();
    window.grab().save(out + "/main-disconnected.png");

    window.ConnectCommand();
    window.MainTick();
    QCoreApplication::processEvents();
    window.grab().save(out + "/main-connected.png");

    window.SelectTab(4);
    context.Shell.SetInfoChanged(true);
    window.MainTick();
    QCoreApplication::processEvents();
    window.grab().save(out + "/main-info.png");

    window.SelectTab(3);
    window.RefreshStatus(QString());
    window.LoginCommand();
    QCoreApplication::processEvents();
    if (FrmPwd* pwd = window.LoginDialog())
        pwd->grab().save(out + "/login.png");
    EXPECT_TRUE(dialogs.Boxes.empty()) << dialogs.Texts().join("|").toStdString();
}

} // namespace
