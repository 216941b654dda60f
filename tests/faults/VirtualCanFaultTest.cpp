// The fault matrix over the virtual CAN bus to a drc-sim process, the way the
// tool talks to a machine: the faults are switched on drc-sim's console while
// the tool's transfer runs, and the bus itself can disappear (drc-sim killed).
#include "MatrixFixture.h"

#include <QRegularExpression>

namespace {

using namespace faults;

class VirtualCanFaults : public MatrixFixture {
protected:
    void SetUp() override
    {
        port = FreePort();
        ASSERT_GT(port, 0);
        EnsureApplication();
        ASSERT_TRUE(StartSim());
        Open(PrivateBus(port));
    }

    bool StartSim(const QStringList& extra = {})
    {
        const bool ok = sim.Start(PrivateBus(port), extra);
        EXPECT_TRUE(ok) << sim.Output().toStdString();
        return ok;
    }

    void Console(const QString& line)
    {
        const QString answer = sim.Command(line);
        ASSERT_FALSE(answer.startsWith(QStringLiteral("error")) || answer.isEmpty())
            << line.toStdString() << " -> " << answer.toStdString();
    }
    int Counter(const char* name)
    {
        const QRegularExpression re(QStringLiteral("%1 (\\d+)").arg(QLatin1String(name)));
        const QRegularExpressionMatch m = re.match(sim.Command(QStringLiteral("status")));
        return m.hasMatch() ? m.captured(1).toInt() : -1;
    }

    void SetControllerWord(int address, uint16_t value) override
    {
        Console(QStringLiteral("e2 %1 %2").arg(address).arg(value));
        Console(QStringLiteral("ram %1 %2").arg(address).arg(value));
    }
    int ControllerE2(int address) override
    {
        static const QRegularExpression re(QStringLiteral("(\\d+)\\s*$"));
        const QRegularExpressionMatch m = re.match(sim.Command(QStringLiteral("e2 %1").arg(address)));
        return m.hasMatch() ? m.captured(1).toInt() : -1;
    }
    void ClearFaults() override
    {
        for (const char* c : {"latency 0", "drop-every 0", "corrupt-every 0", "silent-after -1"})
            Console(QLatin1String(c));
    }

    int port = 0;
    DrcSimProcess sim;
};

TEST_F(VirtualCanFaults, SilentControllerAtConnect)
{
    Console(QStringLiteral("silent-after 0"));
    const auto before = Snapshot(Table());
    const Timed t = Run([&] { return commands->Connect(); });
    ExpectFailed(t, TimeOut, 4000);
    EXPECT_GE(t.Ms, 6 * CANLink::ReplyTimeoutMs - 20);
    const auto changed = ChangedSince(before);
    EXPECT_TRUE(changed.empty()) << IndexList(changed);
    ReportRow("virtualcan: silent controller at connect", t, IndexList(changed));
    ExpectConnectWorksAgain();
}

TEST_F(VirtualCanFaults, SilenceAfterTenWordsOfABulkReadAndOfABulkWrite)
{
    ConnectCleanly();
    GiveControllerNewValues(ConfigureRead);
    const auto order = ReadOrder(ConfigureRead);
    const auto before = Snapshot(Table());
    Console(QStringLiteral("silent-after %1").arg(Counter("requests") + 10));
    Timed t = Run([&] { return commands->Read(ConfigureRead); });
    ExpectFailed(t, TimeOut, 2000);
    const auto changed = ChangedSince(before);
    EXPECT_EQ(changed, First(order, 10)) << IndexList(changed);
    ReportRow("virtualcan: silence after 10 words of a bulk read", t, IndexList(changed) + " (the 10 words read)");
    ExpectConnectWorksAgain();

    const auto edited = EditForWrite(ConfigureWrite);
    Console(QStringLiteral("silent-after %1").arg(Counter("requests") + 10));
    t = Run([&] { return commands->Write(ConfigureWrite, {}); });
    EXPECT_EQ(t.Outcome, CommandOutcome::Failed);
    EXPECT_EQ(host.messages.value(0), TimeOut);
    EXPECT_LT(t.Ms, 2000);
    const auto marked = MarkedWritten(edited);
    EXPECT_EQ(marked, FirstEdited(edited, ConfigureWrite, 10)) << IndexList(marked);
    EXPECT_EQ(TakenByController(edited), marked);
    ReportRow("virtualcan: silence after 10 words of a bulk write", t,
              IndexList(marked) + " marked written (the 10 answered)");
    ExpectConnectWorksAgain();
}

TEST_F(VirtualCanFaults, DroppedCorruptedAndMisaddressedReplies)
{
    ConnectCleanly();
    const auto order = ReadOrder(ConfigureRead);
    const struct {
        const char* Scenario;
        const char* Command;
        int Word;
        QString Message;
    } rows[] = {
        {"virtualcan: dropped reply (7th word of a read)", "drop-every %1", 7, TimeOut},
        {"virtualcan: corrupted command byte (5th reply of a read)", "corrupt-every %1 command", 5, CommError},
        {"virtualcan: wrong address echo (3rd reply of a read)", "corrupt-every %1 address", 3, CommError},
    };
    for (const auto& row : rows) {
        // The reply counters start again at the power cycle: the read's
        // first reply is reply 1.
        Console(QStringLiteral("power-cycle"));
        GiveControllerNewValues(ConfigureRead);
        const auto before = Snapshot(Table());
        Console(QString::fromLatin1(row.Command).arg(row.Word));
        const Timed t = Run([&] { return commands->Read(ConfigureRead); });
        EXPECT_EQ(t.Outcome, CommandOutcome::Failed) << row.Scenario;
        EXPECT_EQ(host.messages.value(0), row.Message) << row.Scenario;
        EXPECT_GE(t.Ms, CANLink::ReplyTimeoutMs - 5) << row.Scenario;
        EXPECT_LT(t.Ms, 2000) << row.Scenario;
        EXPECT_TRUE(t.Ticking) << row.Scenario;
        const auto changed = ChangedSince(before);
        EXPECT_EQ(changed, First(order, static_cast<size_t>(row.Word - 1))) << row.Scenario << ": "
                                                                          << IndexList(changed);
        Report(row.Scenario, host.messages.value(0), t.Ms,
               IndexList(changed) + " (the " + std::to_string(row.Word - 1) + " before)", t.Ticks);
        ExpectConnectWorksAgain();
    }
}

TEST_F(VirtualCanFaults, LatencyInsideAndBeyondTheTimeOut)
{
    ConnectCleanly();
    const CVarData* ramp = Table().Record(Key::QVS_RAMP_TRISE_0);
    ASSERT_NE(ramp, nullptr);
    SetControllerWord(ramp->DataS.Address, 321);
    Console(QStringLiteral("latency 150"));
    {
        TickCounter ticks;
        QElapsedTimer clock;
        clock.start();
        int32_t value = 0;
        EXPECT_EQ(ctx->Words().ReadE2Word(ramp->DataS.Address, value), "");
        EXPECT_EQ(value, 321);
        EXPECT_EQ(ctx->Words().WriteE2Word(ramp->DataS.Address, 322), "");
        EXPECT_EQ(ctx->Words().ReadE2Word(ramp->DataS.Address, value), "");
        EXPECT_EQ(value, 322);
        const qint64 ms = clock.elapsed();
        EXPECT_GE(ms, 3 * 150 - 5);
        EXPECT_LT(ms, 3 * CANLink::ReplyTimeoutMs + 300);
        EXPECT_TRUE(ticks.KeptTicking(ms));
        Report("virtualcan: reply latency 150 ms (3 words)", QString(), ms, "the word read/written", ticks.Ticks());
    }

    GiveControllerNewValues(ConfigureRead);
    const auto before = Snapshot(Table());
    Console(QStringLiteral("latency 250"));
    const Timed t = Run([&] { return commands->Read(ConfigureRead); });
    ExpectFailed(t, TimeOut, 1000);
    const auto changed = ChangedSince(before);
    EXPECT_TRUE(changed.empty()) << IndexList(changed);
    ReportRow("virtualcan: reply latency 250 ms (beyond the time-out)", t, IndexList(changed));
    ExpectConnectWorksAgain();
}

TEST_F(VirtualCanFaults, BusLostMidReadAndBack)
{
    ConnectCleanly();
    GiveControllerNewValues(ConfigureRead);
    const auto order = ReadOrder(ConfigureRead);
    const auto before = Snapshot(Table());
    // Slow replies so the read is surely under way when the bus goes.
    Console(QStringLiteral("latency 10"));
    QTimer::singleShot(150, [this] { sim.Kill(); });
    const Timed t = Run([&] { return commands->Read(ConfigureRead); });
    EXPECT_EQ(t.Outcome, CommandOutcome::Failed);
    const QString message = host.messages.value(0);
    EXPECT_TRUE(message == CommError || message == TimeOut) << message.toStdString();
    EXPECT_LT(t.Ms, 3000);
    EXPECT_TRUE(t.Ticking);
    const auto changed = ChangedSince(before);
    size_t words = 0;
    EXPECT_TRUE(IsReadPrefix(changed, order, words)) << IndexList(changed);
    EXPECT_GT(words, 0u);
    EXPECT_LT(words, order.size());
    Report("virtualcan: bus lost mid-read (drc-sim killed)", message, t.Ms,
           std::to_string(changed.size()) + " records, the words read before the loss", t.Ticks);

    // The bus comes back on the same port: Connect works without a restart.
    ASSERT_TRUE(StartSim());
    host.messages.clear();
    EXPECT_EQ(commands->Connect(), CommandOutcome::Done) << host.messages.join(" / ").toStdString();
    EXPECT_EQ(ctx->Shell.ConnectionState(), Connected);
}

TEST_F(VirtualCanFaults, BusGoneAtConnect)
{
    sim.Kill();
    const Timed t = Run([&] { return commands->Connect(); });
    EXPECT_NE(t.Outcome, CommandOutcome::Done);
    EXPECT_LT(t.Ms, 4000);
    ReportRow("virtualcan: no bus at connect (drc-sim not running)", t, "none");
    ASSERT_TRUE(StartSim());
    host.messages.clear();
    EXPECT_EQ(commands->Connect(), CommandOutcome::Done) << host.messages.join(" / ").toStdString();
}

TEST_F(VirtualCanFaults, RestorePendingAtConnect)
{
    for (int k = 0; k < 5; ++k)
        Console(QStringLiteral("e2 %1 %2").arg(E2Image::ResetAddress + k).arg(E2Image::ResetSignature[k]));
    const auto before = Snapshot(Table());
    host.answers = {false};
    const Timed t = Run([&] { return commands->Connect(); });
    EXPECT_EQ(t.Outcome, CommandOutcome::Cancelled);
    EXPECT_EQ(host.questions.value(0),
              QStringLiteral("Missing POWER RESET After A 'RESET' Command : Continue Anyway? "));
    EXPECT_EQ(ctx->Shell.ConnectionState(), Disconnected);
    const auto changed = ChangedSince(before);
    EXPECT_TRUE(changed.empty()) << IndexList(changed);
    Report("virtualcan: restore pending at connect, answered No", host.questions.value(0), t.Ms,
           IndexList(changed), t.Ticks);
    Console(QStringLiteral("power-cycle"));
    ExpectConnectWorksAgain();
    EXPECT_EQ(host.questions.size(), 1);
}

TEST_F(VirtualCanFaults, PowerCycledMidRead)
{
    ConnectCleanly();
    GiveControllerNewValues(ConfigureRead);
    const auto order = ReadOrder(ConfigureRead);
    const auto before = Snapshot(Table());
    Console(QStringLiteral("latency 10"));
    // Power off 100 ms into the read, back on 300 ms later.
    QTimer::singleShot(100, [this] { sim.Send(QStringLiteral("silent-after 0")); });
    QTimer::singleShot(400, [this] {
        sim.Send(QStringLiteral("power-cycle"));
        sim.Send(QStringLiteral("silent-after -1"));
    });
    const Timed t = Run([&] { return commands->Read(ConfigureRead); });
    ExpectFailed(t, TimeOut, 2000);
    const auto changed = ChangedSince(before);
    size_t words = 0;
    EXPECT_TRUE(IsReadPrefix(changed, order, words)) << IndexList(changed);
    ReportRow("virtualcan: controller power-cycled mid-read", t,
              std::to_string(changed.size()) + " records, the words read before the power went");
    WaitUntil([] { return false; }, 500); // until the power is back
    ExpectConnectWorksAgain();
}

} // namespace
