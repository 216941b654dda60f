#include "SimTestSupport.h"
#include "core/transport/SimulatedAdapter.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

using namespace simtest;

namespace {

class DrcControllerTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(drc.LoadCatalogue(catalogue.Path()), ""); }

    // One request; returns the replies it produced.
    std::vector<Delivered> Send(const CanMsg& request)
    {
        const size_t before = bus.Frames.size();
        drc.OnFrame(request, bus);
        return {bus.Frames.begin() + static_cast<std::ptrdiff_t>(before), bus.Frames.end()};
    }
    int Read(uint8_t command, int address)
    {
        const auto r = Send(Request(command, address));
        EXPECT_EQ(r.size(), 1u);
        return r.empty() ? -1 : ReplyValue(r[0].Frame);
    }

    CatalogueFile catalogue;
    DrcController drc{7};
    RecordingBus bus;
};

} // namespace

TEST_F(DrcControllerTest, ReplyFramesOfTheFourCommands)
{
    // Read E2 of a catalogue word: its default, big-endian, command + 0x80, address echoed.
    auto r = Send(Request(DrcController::CmdReadE2, 65));
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].Frame.ID, 221u);
    EXPECT_EQ(r[0].Frame.MSGTYPE, 0);
    EXPECT_EQ(r[0].Frame.LEN, 8);
    EXPECT_EQ(r[0].DelayMs, 0);
    const std::array<uint8_t, 8> readE2{0x82, 0x00, 0x00, 65, 1200 >> 8, 1200 & 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(r[0].Frame.DATA, readE2);

    // Write E2 at a 16-bit address with both bytes set, then read it back.
    r = Send(Request(DrcController::CmdWriteE2, 0x1234, 0xABCD));
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].Frame.DATA[0], 0x81);
    EXPECT_EQ(ReplyAddress(r[0].Frame), 0x1234);
    EXPECT_EQ(drc.E2(0x1234), 0xABCD);
    EXPECT_EQ(Read(DrcController::CmdReadE2, 0x1234), 0xABCD);
    EXPECT_EQ(drc.Ram(0x1234), 0) << "E2 and RAM are separate memories";

    // RAM: write 0x03 -> 0x83, read 0x04 -> 0x84.
    r = Send(Request(DrcController::CmdWriteRAM, 0xFFFF, 0x0102));
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].Frame.DATA[0], 0x83);
    EXPECT_EQ(ReplyAddress(r[0].Frame), 0xFFFF);
    r = Send(Request(DrcController::CmdReadRAM, 0xFFFF));
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].Frame.DATA[0], 0x84);
    EXPECT_EQ(ReplyValue(r[0].Frame), 0x0102);
    EXPECT_EQ(drc.E2(0xFFFF), 0);
}

TEST_F(DrcControllerTest, MemoriesStartFromTheCatalogue)
{
    EXPECT_EQ(Read(DrcController::CmdReadE2, 1), 2) << "section count default";
    EXPECT_EQ(Read(DrcController::CmdReadE2, 200), 0xFFFE) << "a negative default is stored as its 16-bit pattern";
    EXPECT_EQ(Read(DrcController::CmdReadE2, 0x7000), 0) << "unknown addresses answer 0";
    EXPECT_EQ(Read(DrcController::CmdReadRAM, 0x7000), 0);
    EXPECT_EQ(Read(DrcController::CmdReadRAM, 1025), 170) << "RAM holds the working copy of E2";
    EXPECT_EQ(Read(DrcController::CmdReadRAM, 1024), 291) << "version word from the catalogue default";
    drc.SetSoftwareVersion(0x1234);
    EXPECT_EQ(Read(DrcController::CmdReadRAM, 1024), 0x1234);
    drc.PowerCycle();
    EXPECT_EQ(Read(DrcController::CmdReadRAM, 1024), 0x1234) << "a set version survives a power cycle";
}

TEST_F(DrcControllerTest, OtherTrafficIsIgnored)
{
    EXPECT_TRUE(Send(Request(DrcController::CmdReadE2, 1, 0, 221)).empty()) << "its own reply identifier";
    EXPECT_TRUE(Send(Request(DrcController::CmdReadE2, 1, 0, 0x123)).empty());
    CanMsg extended = Request(DrcController::CmdReadE2, 1);
    extended.MSGTYPE = 2;
    EXPECT_TRUE(Send(extended).empty()) << "an extended frame with identifier 220 is another message";
    EXPECT_TRUE(Send(Request(0x00, 1)).empty());
    EXPECT_TRUE(Send(Request(0x05, 1)).empty());
    EXPECT_TRUE(Send(Request(0x82, 1)).empty());
    CanMsg shortWrite = Request(DrcController::CmdWriteE2, 1, 9);
    shortWrite.LEN = 4;
    EXPECT_TRUE(Send(shortWrite).empty()) << "a write without its value bytes";
    EXPECT_EQ(drc.E2(1), 2);
    CanMsg shortRead = Request(DrcController::CmdReadE2, 1);
    shortRead.LEN = 4;
    EXPECT_EQ(Send(shortRead).size(), 1u) << "a read needs only the address";
    EXPECT_EQ(drc.RequestCount(), 1);
}

TEST_F(DrcControllerTest, RestoreSignatureIsAppliedAtThePowerCycle)
{
    Send(Request(DrcController::CmdWriteE2, 65, 1500));
    Send(Request(DrcController::CmdWriteRAM, 0x0500, 77));
    const int signature[] = {82, 69, 83, 69, 84};
    for (int i = 0; i < 5; ++i)
        Send(Request(DrcController::CmdWriteE2, 250 + i, signature[i]));
    EXPECT_TRUE(drc.RestorePending());
    // Until the power cycle nothing is restored and the signature reads back.
    EXPECT_EQ(Read(DrcController::CmdReadE2, 65), 1500);
    EXPECT_EQ(Read(DrcController::CmdReadE2, 254), 84);

    drc.PowerCycle();
    EXPECT_FALSE(drc.RestorePending());
    EXPECT_EQ(Read(DrcController::CmdReadE2, 65), 1200) << "factory default";
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(drc.E2(250 + i), 0);
    EXPECT_EQ(Read(DrcController::CmdReadRAM, 0x0500), 0) << "RAM restarts";
    EXPECT_EQ(Read(DrcController::CmdReadRAM, 1024), 291);
}

TEST_F(DrcControllerTest, PowerCycleWithoutSignatureKeepsE2)
{
    Send(Request(DrcController::CmdWriteE2, 65, 1500));
    Send(Request(DrcController::CmdWriteE2, 0x0600, 5));
    const int almost[] = {82, 69, 83, 69, 0};
    for (int i = 0; i < 5; ++i)
        Send(Request(DrcController::CmdWriteE2, 250 + i, almost[i]));
    EXPECT_FALSE(drc.RestorePending());
    Send(Request(DrcController::CmdWriteRAM, 1025, 169));
    drc.PowerCycle();
    EXPECT_EQ(drc.E2(65), 1500);
    EXPECT_EQ(drc.E2(0x0600), 5);
    EXPECT_EQ(drc.E2(253), 69);
    EXPECT_EQ(drc.Ram(1025), 170) << "RAM is reloaded from E2";
}

TEST_F(DrcControllerTest, LatencyIsHandedToTheBus)
{
    drc.SetLatencyMs(150);
    const auto r = Send(Request(DrcController::CmdReadE2, 1));
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].DelayMs, 150);
}

TEST_F(DrcControllerTest, DropEveryNthReplyButStillActOnTheRequest)
{
    drc.SetDropEvery(3);
    std::vector<size_t> answered;
    for (int i = 1; i <= 7; ++i)
        answered.push_back(Send(Request(DrcController::CmdWriteE2, 0x0700 + i, i)).size());
    EXPECT_EQ(answered, (std::vector<size_t>{1, 1, 0, 1, 1, 0, 1}));
    EXPECT_EQ(drc.E2(0x0703), 3) << "the write of a lost reply took effect";
    EXPECT_EQ(drc.RequestCount(), 7);
    EXPECT_EQ(drc.ReplyCount(), 5);
}

TEST_F(DrcControllerTest, CorruptedRepliesNameAnotherCommandOrAddress)
{
    drc.SetCorruptEvery(2, CorruptKind::Command);
    auto ok = Send(Request(DrcController::CmdReadE2, 65));
    auto bad = Send(Request(DrcController::CmdReadE2, 65));
    ASSERT_EQ(ok.size(), 1u);
    ASSERT_EQ(bad.size(), 1u);
    EXPECT_EQ(ok[0].Frame.DATA[0], 0x82);
    EXPECT_NE(bad[0].Frame.DATA[0], 0x82);
    EXPECT_GE(bad[0].Frame.DATA[0], 0x81) << "still looks like a reply of this controller";
    EXPECT_LE(bad[0].Frame.DATA[0], 0x84);
    EXPECT_EQ(ReplyAddress(bad[0].Frame), 65);
    // Every command's corrupted reply differs from its own reply byte.
    for (uint8_t cmd = 1; cmd <= 4; ++cmd) {
        Send(Request(cmd, 0x0800)); // odd reply: clean
        const auto r = Send(Request(cmd, 0x0800));
        ASSERT_EQ(r.size(), 1u);
        EXPECT_NE(r[0].Frame.DATA[0], cmd + 0x80);
    }

    drc.SetCorruptEvery(1, CorruptKind::Address);
    bad = Send(Request(DrcController::CmdReadRAM, 0x1234));
    ASSERT_EQ(bad.size(), 1u);
    EXPECT_EQ(bad[0].Frame.DATA[0], 0x84);
    EXPECT_NE(ReplyAddress(bad[0].Frame), 0x1234);
}

TEST_F(DrcControllerTest, SilentAfterNRequestsUntilPowerCycle)
{
    drc.SetSilentAfter(2);
    EXPECT_EQ(Send(Request(DrcController::CmdReadE2, 1)).size(), 1u);
    EXPECT_EQ(Send(Request(DrcController::CmdReadE2, 1)).size(), 1u);
    EXPECT_TRUE(Send(Request(DrcController::CmdWriteE2, 1, 3)).empty());
    EXPECT_EQ(drc.E2(1), 2) << "a hung controller does not act on requests";
    drc.PowerCycle();
    EXPECT_EQ(Send(Request(DrcController::CmdReadE2, 1)).size(), 1u);

    drc.SetSilentAfter(0);
    drc.PowerCycle();
    EXPECT_TRUE(Send(Request(DrcController::CmdReadE2, 1)).empty());
    drc.SetSilentAfter(-1);
    EXPECT_EQ(Send(Request(DrcController::CmdReadE2, 1)).size(), 1u);
}

TEST_F(DrcControllerTest, AdapterLossIsReportedToTheAdapter)
{
    const SimulatedPeer& peer = drc;
    EXPECT_TRUE(peer.AdapterPresent());
    drc.SetAdapterPresent(false);
    EXPECT_FALSE(peer.AdapterPresent());
    drc.SetAdapterPresent(true);
    EXPECT_TRUE(peer.AdapterPresent());
}

TEST_F(DrcControllerTest, BusOffAnswersNothing)
{
    const SimulatedPeer& peer = drc;
    drc.SetBusStatus(CanBusOff);
    EXPECT_EQ(peer.BusStatus(), CanBusOff);
    EXPECT_TRUE(Send(Request(DrcController::CmdWriteE2, 1, 3)).empty());
    EXPECT_EQ(drc.E2(1), 2);
    drc.SetBusStatus(CanBusPassive);
    EXPECT_EQ(Send(Request(DrcController::CmdReadE2, 1)).size(), 1u) << "error passive still talks";
    drc.SetBusStatus(CanOk);
    EXPECT_EQ(peer.BusStatus(), CanOk);
}

TEST_F(DrcControllerTest, TraceSeesRequestsAndSentReplies)
{
    std::vector<std::pair<uint32_t, DrcController::Direction>> seen;
    drc.SetTrace([&](const CanMsg& m, DrcController::Direction d) { seen.emplace_back(m.ID, d); });
    drc.SetDropEvery(2);
    Send(Request(DrcController::CmdReadE2, 1));
    Send(Request(DrcController::CmdReadE2, 1));
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0], std::make_pair(220u, DrcController::Direction::Request));
    EXPECT_EQ(seen[1], std::make_pair(221u, DrcController::Direction::Reply));
    EXPECT_EQ(seen[2], std::make_pair(220u, DrcController::Direction::Request));
}

TEST(DrcControllerCatalogue, AMissingCatalogueLeavesEmptyMemories)
{
    DrcController drc;
    const std::string error = drc.LoadCatalogue(QStringLiteral("/nonexistent/Ramlist.ini"));
    EXPECT_EQ(error.rfind("'Ramlist.ini' file NOT FOUND or CORRUPTED", 0), 0u) << error;
    EXPECT_EQ(drc.AddressOf(Key::QVS_PROG_VERS), -1);
    RecordingBus bus;
    drc.OnFrame(Request(DrcController::CmdReadRAM, 1024), bus);
    ASSERT_EQ(bus.Frames.size(), 1u) << "it still answers, with zeros";
    EXPECT_EQ(ReplyValue(bus.Frames[0].Frame), 0);
}

TEST(DrcControllerCatalogue, LoadsTheShippedCatalogue)
{
    const QString path = QStringLiteral(QVS_SOURCE_DIR "/res/ini/Ramlist.ini");
    if (!QFile::exists(path))
        GTEST_SKIP() << "no shipped catalogue";
    DrcController drc;
    ASSERT_EQ(drc.LoadCatalogue(path), "");
    // Every word the monitor and diagnostic pages poll is simulated.
    for (Key k : {Key::QVS_PROG_VERS, Key::QVS_VBB_400, Key::QVS_JOY0_VALUE, Key::QVS_MAIN_ERROR,
                  Key::QVS_HSD_MONITOR, Key::QVS_DIGIT_MONITOR, Key::QVS_ERROR_CODE_0, Key::QVS_I0_MEASURE_400,
                  Key::QVS_SETPOINT_1A, Key::QVS_DUTY_1})
        EXPECT_GE(drc.AddressOf(k), 0) << KeyText(k);
    EXPECT_NE(drc.Ram(drc.AddressOf(Key::QVS_PROG_VERS)), 0);
    const CVarData* vbb = drc.Catalogue().Record(Key::QVS_VBB_400);
    ASSERT_NE(vbb, nullptr);
    drc.Tick(1000);
    const double volts = vbb->RAMDisplayOf(drc.Ram(vbb->DataS.Address));
    EXPECT_GT(volts, 5.0);
    EXPECT_LT(volts, 40.0);
}

TEST_F(DrcControllerTest, ThroughTheSimulatedAdapter)
{
    EnsureApplication();
    SimulatedAdapter adapter(drc);
    ASSERT_EQ(adapter.Initialize(0x011C), CanOk);
    drc.SetLatencyMs(30);
    QElapsedTimer clock;
    clock.start();
    ASSERT_EQ(adapter.Write(Request(DrcController::CmdReadE2, 65)), CanOk);
    CanMsg reply;
    EXPECT_EQ(adapter.Read(reply), CanQueueEmpty) << "the reply is still on its way";
    int r = CanQueueEmpty;
    while (r == CanQueueEmpty && clock.elapsed() < 1000)
        r = adapter.Read(reply);
    ASSERT_EQ(r, CanOk);
    EXPECT_GE(clock.elapsed(), 30);
    EXPECT_EQ(reply.ID, 221u);
    EXPECT_EQ(ReplyValue(reply), 1200);

    drc.SetBusStatus(CanBusOff);
    EXPECT_EQ(adapter.GetStatus(), CanBusOff);
    EXPECT_NE(adapter.Write(Request(DrcController::CmdReadE2, 65)), CanOk);
    drc.SetBusStatus(CanOk);
    drc.SetAdapterPresent(false);
    EXPECT_NE(adapter.Write(Request(DrcController::CmdReadE2, 65)), CanOk) << "unplugged";
    EXPECT_NE(adapter.Read(reply), CanOk);
    drc.SetAdapterPresent(true);
    EXPECT_EQ(adapter.Write(Request(DrcController::CmdReadE2, 65)), CanOk);
}
