// The controller commands against the in-process simulated controller.
#include "core/link/E2Image.h"
#include "core/state/Commands.h"
#include "core/state/CoreContext.h"
#include "core/transport/modCANDevice.h"
#include "sim/BusFactory.h"
#include "sim/DrcController.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

namespace {

QCoreApplication& App()
{
    static int argc = 1;
    static char name[] = "core_state_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

class ScriptedHost : public CommandHost {
public:
    void ShowProgress() override {}
    void ShowMessage(const QString& text, MessageIcon, const QString& title) override
    {
        messages << text;
        titles << title;
    }
    bool Ask(const QString& text, MessageIcon, const QString&) override
    {
        questions << text;
        return answers.isEmpty() ? true : answers.takeFirst();
    }
    void RefreshActivePage() override { ++refreshes; }
    void SetMainWindowEnabled(bool e) override { enabled = e; }
    void SelectConfigurePage() override { ++configureSelected; }
    void SetPortPanel(const QString& t) override { port = t; }

    QStringList messages, titles, questions;
    QList<bool> answers;
    int refreshes = 0, configureSelected = 0;
    bool enabled = true;
    QString port;
};

class CommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        App();
        bus = MakeBusSetup("sim", QVS_BIN_DIR, false);
        ASSERT_TRUE(bus.Error.isEmpty()) << bus.Error.toStdString();
        ctx = std::make_unique<CoreContext>(QVS_BIN_DIR, bus.Factory);
        configure.ReadKey = 10;
        configure.WriteKey = 11;
        info.ReadKey = 10000;
        info.WriteKey = 10001;
        ctx->Pages.Add(&configure);
        ctx->Pages.Add(&info);
        ASSERT_EQ(ctx->LoadCatalogue(), "");
        ctx->SetHost(&host);
        commands = std::make_unique<Commands>(*ctx, host);
        commands->SettlingEvents = 10;
    }

    BusSetup bus;
    std::unique_ptr<CoreContext> ctx;
    PageKeys configure, info;
    ScriptedHost host;
    std::unique_ptr<Commands> commands;
};

TEST_F(CommandsTest, ConnectReadsEveryPageAndEndsConnected)
{
    bus.Simulator->SetE2(ctx->Table.Record(Key::QVS_RAMP_TRISE_0)->DataS.Address, 1234);
    ctx->Shell.SetFileState(1);
    host.answers = {true}; // the unsaved-file question
    EXPECT_EQ(commands->Connect(), CommandOutcome::Done);
    EXPECT_EQ(ctx->Shell.ConnectionState(), Connected);
    EXPECT_EQ(ctx->Shell.FileState(), 0);
    EXPECT_EQ(ctx->Table.Record(Key::QVS_RAMP_TRISE_0)->DataS.CedValueE2, 1234);
    EXPECT_EQ(ctx->Table.Record(Key::QVS_PROG_VERS)->DataS.QvsDisplayValueRAM, bus.Simulator->SoftwareVersion());
    EXPECT_EQ(host.configureSelected, 1);
    EXPECT_EQ(host.port, "USB");
    EXPECT_TRUE(host.enabled);
    EXPECT_TRUE(host.messages.isEmpty());

    commands->ConnectOrDisconnect();
    EXPECT_EQ(ctx->Shell.ConnectionState(), Disconnected);
}

TEST_F(CommandsTest, SilentControllerFailsWithTheTimeOutText)
{
    bus.Simulator->SetSilentAfter(0);
    QElapsedTimer t;
    t.start();
    EXPECT_EQ(commands->Connect(), CommandOutcome::Failed);
    ASSERT_EQ(host.messages.size(), 1);
    EXPECT_EQ(host.messages[0], "Operation Failed :Communication TIME OUT ");
    EXPECT_EQ(ctx->Shell.ConnectionState(), Disconnected);
    EXPECT_EQ(ctx->Shell.LastFailure(), "Communication TIME OUT ");
    EXPECT_TRUE(host.enabled);
    // Six attempts of the pending check, 200 ms each: bounded.
    EXPECT_LT(t.elapsed(), 3000);
}

TEST_F(CommandsTest, PendingRestoreAnsweredNoClosesTheConnection)
{
    for (int k = 0; k < 5; ++k)
        bus.Simulator->SetE2(250 + k, E2Image::ResetSignature[k]);
    host.answers = {false};
    EXPECT_EQ(commands->Connect(), CommandOutcome::Cancelled);
    ASSERT_EQ(host.questions.size(), 1);
    EXPECT_EQ(host.questions[0], "Missing POWER RESET After A 'RESET' Command : Continue Anyway? ");
    EXPECT_EQ(ctx->Shell.ConnectionState(), Disconnected);
    EXPECT_FALSE(ctx->Device().CanChannel);
}

TEST_F(CommandsTest, WriteSendsTheEditedValueAndResetRestoresDefaultsAfterPowerCycle)
{
    ASSERT_EQ(commands->Connect(), CommandOutcome::Done);
    CVarData* ramp = ctx->Table.Record(Key::QVS_RAMP_TFALL_1);
    const int32_t def = ramp->DataS.CedValueDefault;
    ramp->DataS.QvsDownloadValueE2 = def + 10;
    EXPECT_EQ(commands->Write(11, {}), CommandOutcome::Done);
    EXPECT_EQ(bus.Simulator->E2(ramp->DataS.Address), def + 10);
    EXPECT_EQ(ctx->Shell.ConnectionState(), Connected);

    EXPECT_EQ(commands->Reset(), CommandOutcome::Done);
    EXPECT_EQ(host.messages.last(), "Switch OFF and then switch ON power supply!");
    EXPECT_EQ(ctx->Shell.ConnectionState(), Disconnected);
    EXPECT_TRUE(bus.Simulator->RestorePending());
    bus.Simulator->PowerCycle();
    EXPECT_EQ(bus.Simulator->E2(ramp->DataS.Address), def);
}

TEST_F(CommandsTest, WriteChecksByLogin)
{
    ASSERT_EQ(commands->Connect(), CommandOutcome::Done);
    WriteFindings f{"C2.03 (AI_2) : PIN ALREADY USED\r", "W\r", ""};
    EXPECT_EQ(commands->Write(11, f), CommandOutcome::Cancelled);
    ASSERT_EQ(host.messages.size(), 1);
    EXPECT_EQ(host.titles[0], "CONFIGURATION ERROR");
    EXPECT_TRUE(host.questions.isEmpty());

    ctx->Shell.SetAssistanceLoggedIn(true);
    host.answers = {true, false};
    EXPECT_EQ(commands->Write(11, f), CommandOutcome::Cancelled);
    ASSERT_EQ(host.questions.size(), 2);
    EXPECT_EQ(host.questions[0], "C2.03 (AI_2) : PIN ALREADY USED\r\rCONTINUE ANYWAY ?");
    host.answers = {true, true};
    EXPECT_EQ(commands->Write(11, f), CommandOutcome::Done);
}

TEST_F(CommandsTest, ReadFailureDropsTheConnection)
{
    ASSERT_EQ(commands->Connect(), CommandOutcome::Done);
    bus.Simulator->SetSilentAfter(bus.Simulator->RequestCount() + 3);
    EXPECT_EQ(commands->Read(10), CommandOutcome::Failed);
    EXPECT_EQ(ctx->Shell.ConnectionState(), Disconnected);
    EXPECT_TRUE(host.messages.last().startsWith("Operation Failed :"));
}

} // namespace

TEST_F(CommandsTest, FailedResetKeepsUnsavedEditsMarked)
{
    // A restore that does not reach the controller changes nothing there:
    // the edits on the PC are still unsaved, and the next Connect must still
    // ask before its read replaces them.
    ASSERT_EQ(commands->Connect(), CommandOutcome::Done);
    ctx->Shell.SetFileState(1);
    ctx->Shell.SetParamsUnchanged(false);
    bus.Simulator->SetSilentAfter(0);
    EXPECT_EQ(commands->Reset(), CommandOutcome::Failed);
    EXPECT_EQ(ctx->Shell.FileState(), 1);
    EXPECT_FALSE(ctx->Shell.ParamsUnchanged());
    EXPECT_FALSE(bus.Simulator->RestorePending());
}

TEST_F(CommandsTest, ValuesOutsideTheirLimitsAreNeverSentUnlessOverridden)
{
    ASSERT_EQ(commands->Connect(), CommandOutcome::Done);
    CVarData* early = ctx->Table.Record(Key::QVS_RAMP_TRISE_0);
    CVarData* late = ctx->Table.Record(Key::QVS_RAMP_TFALL_1);
    ASSERT_TRUE(early && late);
    const int32_t earlyBefore = bus.Simulator->E2(early->DataS.Address);
    early->DataS.QvsDownloadValueE2 = early->DataS.CedValE2Min + 1;
    late->DataS.QvsDownloadValueE2 = late->DataS.CedValE2Max + 1; // e.g. from a file

    // Write and Write All alike: an error, nothing sent.
    for (int16_t key : {int16_t{11}, ctx->Pages.AllPagesWriteKey()}) {
        host.messages.clear();
        EXPECT_EQ(commands->Write(key, {}), CommandOutcome::Cancelled);
        ASSERT_EQ(host.messages.size(), 1);
        EXPECT_EQ(host.titles.last(), "CONFIGURATION ERROR");
        EXPECT_EQ(host.messages[0].toStdString(),
                  late->DataS.Name + " : VALUE " + std::to_string(late->DataS.CedValE2Max + 1) + " OUTSIDE " +
                      std::to_string(late->DataS.CedValE2Min) + ".." + std::to_string(late->DataS.CedValE2Max) +
                      "\r");
        EXPECT_EQ(bus.Simulator->E2(early->DataS.Address), earlyBefore);
    }

    // The assisting user may send it after the question.
    ctx->Shell.SetAssistanceLoggedIn(true);
    host.answers = {true};
    EXPECT_EQ(commands->Write(11, {}), CommandOutcome::Done);
    EXPECT_EQ(bus.Simulator->E2(late->DataS.Address), late->DataS.CedValE2Max + 1);

    // A value no controller word can hold stops the write before the first
    // word: no record before it is half-written.
    early->DataS.QvsDownloadValueE2 = early->DataS.CedValE2Min + 2;
    late->DataS.QvsDownloadValueE2 = 70000;
    host.answers = {true};
    host.messages.clear();
    EXPECT_EQ(commands->Write(11, {}), CommandOutcome::Failed);
    EXPECT_EQ(host.messages.value(0).toStdString(),
              "Operation Failed :" + late->DataS.Name + " : VALUE 70000 IS NOT A 16-BIT WORD: NOTHING WRITTEN");
    EXPECT_EQ(bus.Simulator->E2(early->DataS.Address), early->DataS.CedValE2Min + 1);
}
