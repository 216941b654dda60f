// The window program's part in the timings: progress drawing that keeps up
// with the bus, and the start-up measurement hook.
#include "BenchTestSupport.h"

#include "gui/shell/FrmWait.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QProgressBar>
#include <QRegularExpression>
#include <QTest>

namespace {

class ShellTiming : public MainWindowFixture {};

TEST_F(ShellTiming, TransferStepsCloserThanTheDrawIntervalAreNotDrawn)
{
    ShellState& st = State();
    st.SetConnectionState(Busy);
    st.SetStatusMessage(QStringLiteral("Reading..."));
    st.SetProgressPercent(1);
    QElapsedTimer sinceDrawn;
    window->ShowProgress();
    sinceDrawn.start();
    ASSERT_TRUE(window->WaitWindow() && window->WaitWindow()->isVisible());
    QProgressBar* bar = window->WaitWindow()->ProgressBar;
    EXPECT_EQ(bar->value(), 1);
    EXPECT_EQ(window->WaitWindow()->windowTitle(), QStringLiteral("Reading..."));

    // The next word at once: not drawn (unless the machine stalled).
    st.SetProgressPercent(2);
    window->ShowProgress();
    if (sinceDrawn.elapsed() < frmMain::ProgressDrawMs) {
        EXPECT_EQ(bar->value(), 1);
    }

    // A new status text is drawn at once.
    st.SetStatusMessage(QStringLiteral("Writing..."));
    st.SetProgressPercent(3);
    window->ShowProgress();
    sinceDrawn.restart();
    EXPECT_EQ(bar->value(), 3);
    EXPECT_EQ(window->WaitWindow()->windowTitle(), QStringLiteral("Writing..."));

    // Once the interval has passed, the next step is drawn.
    QTest::qWait(frmMain::ProgressDrawMs + 5);
    st.SetProgressPercent(4);
    window->ShowProgress();
    sinceDrawn.restart();
    EXPECT_EQ(bar->value(), 4);

    // The end is always drawn: 100 % closes the wait window at once.
    st.SetProgressPercent(5);
    window->ShowProgress();
    st.SetProgressPercent(100);
    window->ShowProgress();
    EXPECT_EQ(bar->value(), 100);
    EXPECT_FALSE(window->WaitWindow()->isVisible());

    // The next transfer's first step shows the window again at once.
    st.SetProgressPercent(1);
    window->ShowProgress();
    EXPECT_TRUE(window->WaitWindow()->isVisible());
    EXPECT_EQ(bar->value(), 1);
    window->CloseWaitWindow();
    st.SetConnectionState(Disconnected);
}

TEST(StartupHook, QvsStudioSaysWhenItsWindowIsShownAndEnds)
{
    BenchApp();
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QVS_EXIT_WHEN_SHOWN"), QStringLiteral("1"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(QVS_BIN_DIR "/QvsStudio"), {QStringLiteral("--simulate")});
    ASSERT_TRUE(p.waitForStarted(5000));
    if (!p.waitForFinished(15000)) {
        p.kill();
        p.waitForFinished(2000);
        FAIL() << "QvsStudio did not end after showing its window";
    }
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 0);
    const QString out = QString::fromLocal8Bit(p.readAllStandardOutput());
    const auto m = QRegularExpression(QStringLiteral("QvsStudio: main window shown after (\\d+) ms")).match(out);
    ASSERT_TRUE(m.hasMatch()) << out.toStdString() << p.readAllStandardError().toStdString();
    // The splash alone lasts 100 ticks of its 2 ms timer.
    EXPECT_GE(m.captured(1).toInt(), 200);
}

} // namespace
