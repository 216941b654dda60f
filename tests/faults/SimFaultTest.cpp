// The fault matrix against the in-process simulated controller: each fault
// is injected into a connect, a bulk read or a bulk write through the
// controller commands, and the test records the message, the time, which
// records changed, that the event loop kept running, and that Connect works
// again afterwards without a restart.
#include "MatrixFixture.h"

#include "sim/DrcController.h"

namespace {

using namespace faults;

class SimFaults : public MatrixFixture {
protected:
    void SetUp() override
    {
        Open(QStringLiteral("sim"));
        // Replies take a little time, as on a bus: transfers last long enough
        // to see the event loop run.
        Sim().SetLatencyMs(2);
    }

    DrcController& Sim() { return *bus.Simulator; }
    void SetControllerWord(int address, uint16_t value) override
    {
        Sim().SetE2(address, value);
        Sim().SetRam(address, value);
    }
    int ControllerE2(int address) override { return Sim().E2(address); }
    void ClearFaults() override
    {
        Sim().SetTrace({});
        Sim().SetFaults(DrcFaults{});
        Sim().SetAdapterPresent(true);
        Sim().SetBusStatus(CanOk);
    }

    // Calls f at the controller's nth request from now.
    void AtRequest(int n, std::function<void()> f)
    {
        auto seen = std::make_shared<int>(0);
        Sim().SetTrace([seen, n, f](const CanMsg&, DrcController::Direction d) {
            if (d == DrcController::Direction::Request && ++*seen == n)
                f();
        });
    }
};

TEST_F(SimFaults, SilentControllerAtConnect)
{
    Sim().SetSilentAfter(0);
    const auto before = Snapshot(Table());
    const Timed t = Run([&] { return commands->Connect(); });
    EXPECT_EQ(t.Outcome, CommandOutcome::Failed);
    ASSERT_EQ(host.messages.size(), 1);
    EXPECT_EQ(host.messages[0], TimeOut);
    // Six attempts of the pending check, one 200 ms time-out each.
    EXPECT_GE(t.Ms, 6 * CANLink::ReplyTimeoutMs - 20);
    EXPECT_LT(t.Ms, 3000);
    EXPECT_TRUE(t.Ticking);
    const auto changed = ChangedSince(before);
    EXPECT_TRUE(changed.empty()) << IndexList(changed);
    EXPECT_EQ(ctx->Shell.ConnectionState(), Disconnected);
    EXPECT_TRUE(host.enabled);
    ReportRow("in-process: silent controller at connect", t, IndexList(changed));
    ExpectConnectWorksAgain();
}

TEST_F(SimFaults, SilenceAfterTenWordsOfABulkRead)
{
    ConnectCleanly();
    GiveControllerNewValues(ConfigureRead);
    const auto order = ReadOrder(ConfigureRead);
    const auto before = Snapshot(Table());
    Sim().SetSilentAfter(Sim().RequestCount() + 10);
    const Timed t = Run([&] { return commands->Read(ConfigureRead); });
    ExpectFailed(t, TimeOut, 1500);
    // The ten words read are taken; the eleventh record and all after it
    // keep what they had.
    const auto changed = ChangedSince(before);
    EXPECT_EQ(changed, First(order, 10)) << IndexList(changed);
    EXPECT_EQ(ctx->Shell.ConnectionState(), Disconnected);
    ReportRow("in-process: silence after 10 words of a bulk read", t, IndexList(changed) + " (the 10 words read)");
    ExpectConnectWorksAgain();
}

TEST_F(SimFaults, SilenceAfterTenWordsOfABulkWrite)
{
    ConnectCleanly();
    const auto edited = EditForWrite(ConfigureWrite);
    ASSERT_GT(edited.size(), 20u);
    Sim().SetSilentAfter(Sim().RequestCount() + 10);
    const Timed t = Run([&] { return commands->Write(ConfigureWrite, {}); });
    ExpectFailed(t, TimeOut, 1500);
    // Exactly the ten words the controller answered are marked as written;
    // the controller holds exactly those.
    const auto marked = MarkedWritten(edited);
    EXPECT_EQ(marked, FirstEdited(edited, ConfigureWrite, 10)) << IndexList(marked);
    EXPECT_EQ(TakenByController(edited), marked);
    EXPECT_EQ(ctx->Shell.ConnectionState(), Disconnected);
    ReportRow("in-process: silence after 10 words of a bulk write", t,
              IndexList(marked) + " marked written (the 10 answered)");
    ExpectConnectWorksAgain();
}

TEST_F(SimFaults, DroppedReplyDuringARead)
{
    ConnectCleanly();
    GiveControllerNewValues(ConfigureRead);
    const auto order = ReadOrder(ConfigureRead);
    const auto before = Snapshot(Table());
    Sim().SetDropEvery(Sim().ReplyCount() + 7); // the 7th reply of the read is lost
    const Timed t = Run([&] { return commands->Read(ConfigureRead); });
    ExpectFailed(t, TimeOut, 1500);
    EXPECT_GE(t.Ms, CANLink::ReplyTimeoutMs - 5);
    const auto changed = ChangedSince(before);
    EXPECT_EQ(changed, First(order, 6)) << IndexList(changed);
    ReportRow("in-process: dropped reply (7th word of a read)", t, IndexList(changed) + " (the 6 answered)");
    ExpectConnectWorksAgain();
}

TEST_F(SimFaults, DroppedReplyDuringAWrite)
{
    ConnectCleanly();
    const auto edited = EditForWrite(ConfigureWrite);
    Sim().SetDropEvery(Sim().ReplyCount() + 7);
    const Timed t = Run([&] { return commands->Write(ConfigureWrite, {}); });
    EXPECT_EQ(t.Outcome, CommandOutcome::Failed);
    EXPECT_EQ(host.messages.value(0), TimeOut);
    EXPECT_TRUE(t.Ticking);
    // The controller took the 7th word, but without its reply the tool does
    // not take it as written: the next write sends it again.
    const auto marked = MarkedWritten(edited);
    EXPECT_EQ(marked, FirstEdited(edited, ConfigureWrite, 6)) << IndexList(marked);
    EXPECT_EQ(TakenByController(edited), FirstEdited(edited, ConfigureWrite, 7));
    Report("in-process: dropped reply (7th word of a write)", host.messages.value(0), t.Ms,
           IndexList(marked) + " marked written; the controller also took the 7th", t.Ticks);
    ExpectConnectWorksAgain();
}

TEST_F(SimFaults, CorruptedCommandByteDuringARead)
{
    ConnectCleanly();
    GiveControllerNewValues(ConfigureRead);
    const auto order = ReadOrder(ConfigureRead);
    const auto before = Snapshot(Table());
    Sim().SetCorruptEvery(Sim().ReplyCount() + 5, CorruptKind::Command);
    const Timed t = Run([&] { return commands->Read(ConfigureRead); });
    EXPECT_EQ(t.Outcome, CommandOutcome::Failed);
    EXPECT_EQ(host.messages.value(0), CommError);
    // A reply that does not match is no answer: the link waits out the
    // time-out for a better one, then reports the mismatch.
    EXPECT_GE(t.Ms, CANLink::ReplyTimeoutMs - 5);
    EXPECT_LT(t.Ms, 1500);
    EXPECT_TRUE(t.Ticking);
    const auto changed = ChangedSince(before);
    EXPECT_EQ(changed, First(order, 4)) << IndexList(changed);
    ReportRow("in-process: corrupted command byte (5th reply of a read)", t, IndexList(changed) + " (the 4 before)");
    ExpectConnectWorksAgain();
}

TEST_F(SimFaults, WrongAddressEchoDuringAReadAndAWrite)
{
    ConnectCleanly();
    GiveControllerNewValues(ConfigureRead);
    const auto order = ReadOrder(ConfigureRead);
    auto before = Snapshot(Table());
    Sim().SetCorruptEvery(Sim().ReplyCount() + 3, CorruptKind::Address);
    Timed t = Run([&] { return commands->Read(ConfigureRead); });
    EXPECT_EQ(t.Outcome, CommandOutcome::Failed);
    EXPECT_EQ(host.messages.value(0), CommError);
    EXPECT_TRUE(t.Ticking);
    auto changed = ChangedSince(before);
    EXPECT_EQ(changed, First(order, 2)) << IndexList(changed);
    ReportRow("in-process: wrong address echo (3rd reply of a read)", t, IndexList(changed) + " (the 2 before)");

    ExpectConnectWorksAgain();
    const auto edited = EditForWrite(ConfigureWrite);
    Sim().SetCorruptEvery(Sim().ReplyCount() + 3, CorruptKind::Address);
    t = Run([&] { return commands->Write(ConfigureWrite, {}); });
    EXPECT_EQ(t.Outcome, CommandOutcome::Failed);
    EXPECT_EQ(host.messages.value(0), CommError);
    const auto marked = MarkedWritten(edited);
    EXPECT_EQ(marked, FirstEdited(edited, ConfigureWrite, 2)) << IndexList(marked);
    ReportRow("in-process: wrong address echo (3rd reply of a write)", t, IndexList(marked) + " marked written");
    ExpectConnectWorksAgain();
}

TEST_F(SimFaults, LatencyInsideTheTimeOutIsServed)
{
    ConnectCleanly();
    Sim().SetLatencyMs(150);
    const CVarData* ramp = Table().Record(Key::QVS_RAMP_TRISE_0);
    ASSERT_NE(ramp, nullptr);
    Sim().SetE2(ramp->DataS.Address, 321);
    TickCounter ticks;
    QElapsedTimer clock;
    clock.start();
    int32_t value = 0;
    EXPECT_EQ(ctx->Words().ReadE2Word(ramp->DataS.Address, value), "");
    EXPECT_EQ(value, 321);
    EXPECT_EQ(ctx->Words().WriteE2Word(ramp->DataS.Address, 322), "");
    EXPECT_EQ(Sim().E2(ramp->DataS.Address), 322);
    EXPECT_EQ(ctx->Words().ReadRAMWord(ramp->DataS.Address, value), "");
    const qint64 ms = clock.elapsed();
    // Three exchanges of about 150 ms each, each inside its time-out.
    EXPECT_GE(ms, 3 * 150 - 5);
    EXPECT_LT(ms, 3 * CANLink::ReplyTimeoutMs + 300);
    EXPECT_TRUE(ticks.KeptTicking(ms));
    Report("in-process: reply latency 150 ms (3 words)", QStringLiteral(""), ms, "the word read/written", ticks.Ticks());
}

TEST_F(SimFaults, LatencyBeyondTheTimeOutFailsTheRead)
{
    ConnectCleanly();
    GiveControllerNewValues(ConfigureRead);
    const auto before = Snapshot(Table());
    Sim().SetLatencyMs(250);
    const Timed t = Run([&] { return commands->Read(ConfigureRead); });
    ExpectFailed(t, TimeOut, 1000);
    EXPECT_GE(t.Ms, CANLink::ReplyTimeoutMs - 5);
    const auto changed = ChangedSince(before);
    EXPECT_TRUE(changed.empty()) << IndexList(changed);
    ReportRow("in-process: reply latency 250 ms (beyond the time-out)", t, IndexList(changed));
    // The late reply still arrives while Connect runs; it is no answer to it.
    ExpectConnectWorksAgain();
}

TEST_F(SimFaults, AdapterLostMidRead)
{
    ConnectCleanly();
    GiveControllerNewValues(ConfigureRead);
    const auto order = ReadOrder(ConfigureRead);
    const auto before = Snapshot(Table());
    AtRequest(8, [this] { Sim().SetAdapterPresent(false); }); // unplugged after the 8th request went out
    const Timed t = Run([&] { return commands->Read(ConfigureRead); });
    ExpectFailed(t, TimeOut, 1500);
    // The 8th reply was on its way but the adapter is gone before it is read.
    const auto changed = ChangedSince(before);
    EXPECT_EQ(changed, First(order, 7)) << IndexList(changed);
    ReportRow("in-process: adapter unplugged mid-read (after the 8th request)", t,
              IndexList(changed) + " (the 7 read)");
    // While it stays unplugged Connect says so at once.
    host.messages.clear();
    Sim().SetTrace({});
    EXPECT_EQ(commands->Connect(), CommandOutcome::Cancelled);
    EXPECT_EQ(host.messages.value(0), QStringLiteral("Unable to initialize CAN USB inteface"));
    ExpectConnectWorksAgain();
}

TEST_F(SimFaults, WriteRefusedMidWrite)
{
    ConnectCleanly();
    const auto edited = EditForWrite(ConfigureWrite);
    AtRequest(5, [this] { Sim().SetBusStatus(CanBusOff); }); // the adapter refuses frames after the 5th
    const Timed t = Run([&] { return commands->Write(ConfigureWrite, {}); });
    EXPECT_EQ(t.Outcome, CommandOutcome::Failed);
    EXPECT_EQ(host.messages.value(0), CommError);
    EXPECT_LT(t.Ms, 1000);
    const auto marked = MarkedWritten(edited);
    EXPECT_EQ(marked, FirstEdited(edited, ConfigureWrite, 5)) << IndexList(marked);
    EXPECT_EQ(TakenByController(edited), marked);
    ReportRow("in-process: write refused by the adapter (bus off after the 5th word)", t,
              IndexList(marked) + " marked written");
    ExpectConnectWorksAgain();
}

TEST_F(SimFaults, RestorePendingAtConnect)
{
    for (int k = 0; k < 5; ++k)
        Sim().SetE2(E2Image::ResetAddress + k, static_cast<uint16_t>(E2Image::ResetSignature[k]));
    const auto before = Snapshot(Table());
    host.answers = {false};
    const Timed t = Run([&] { return commands->Connect(); });
    EXPECT_EQ(t.Outcome, CommandOutcome::Cancelled);
    ASSERT_EQ(host.questions.size(), 1);
    EXPECT_EQ(host.questions[0], QStringLiteral("Missing POWER RESET After A 'RESET' Command : Continue Anyway? "));
    EXPECT_EQ(ctx->Shell.ConnectionState(), Disconnected);
    EXPECT_FALSE(ctx->Device().CanChannel);
    const auto changed = ChangedSince(before);
    EXPECT_TRUE(changed.empty()) << IndexList(changed);
    Report("in-process: restore pending at connect, answered No", host.questions.value(0), t.Ms, IndexList(changed), t.Ticks);

    // Answered Yes the connection goes ahead; after the power cycle the
    // defaults are in and nothing is asked.
    host.answers = {true};
    EXPECT_EQ(commands->Connect(), CommandOutcome::Done);
    EXPECT_EQ(host.questions.size(), 2);
    commands->Disconnect();
    Sim().PowerCycle();
    EXPECT_FALSE(Sim().RestorePending());
    ExpectConnectWorksAgain();
    EXPECT_EQ(host.questions.size(), 2);
}

TEST_F(SimFaults, PowerCycledMidRead)
{
    ConnectCleanly();
    GiveControllerNewValues(ConfigureRead);
    const auto order = ReadOrder(ConfigureRead);
    const auto before = Snapshot(Table());
    // Power goes at the 6th request (it is lost) and comes back 300 ms later.
    AtRequest(6, [this] {
        Sim().SetSilentAfter(0);
        QTimer::singleShot(300, [this] {
            Sim().PowerCycle();
            Sim().SetSilentAfter(-1);
        });
    });
    const Timed t = Run([&] { return commands->Read(ConfigureRead); });
    ExpectFailed(t, TimeOut, 1500);
    const auto changed = ChangedSince(before);
    EXPECT_EQ(changed, First(order, 5)) << IndexList(changed);
    ReportRow("in-process: controller power-cycled mid-read (at the 6th word)", t,
              IndexList(changed) + " (the 5 read)");
    Sim().SetTrace({});
    ASSERT_TRUE(WaitUntil([this] { return Sim().Faults().SilentAfter < 0; }, 2000));
    ExpectConnectWorksAgain();
}

} // namespace
