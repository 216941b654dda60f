// The bus-time model: frame lengths in bits, times at the bit rates, the
// serialising wire, and the simulated controller's replies paced by it, in
// process and in drc-sim over a virtual bus.
#include "BenchTestSupport.h"

#include "core/link/CANLink.h"
#include "core/transport/QtCanBusAdapter.h"
#include "core/transport/modCANDevice.h"
#include "sim/BusFactory.h"
#include "sim/BusTimeModel.h"
#include "sim/DrcController.h"
#include "sim/DrcSimOptions.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#ifdef QVS_HAVE_BENCH_SUPPORT
#include "BenchSupport.h"
#endif

using namespace std::chrono;
using namespace std::chrono_literals;

namespace {

QCoreApplication& App() { return BenchApp(); }

CanMsg Frame(uint8_t len, uint8_t type = 0)
{
    CanMsg m;
    m.ID = 220;
    m.MSGTYPE = type;
    m.LEN = len;
    return m;
}

CanMsg ReadRequest(int address)
{
    CanMsg m = Frame(8);
    m.DATA = {DrcController::CmdReadE2, 0, static_cast<uint8_t>(address >> 8), static_cast<uint8_t>(address & 0xFF),
              0, 0, 0xFF, 0xFF};
    return m;
}

// Records how the controller hands its replies to the bus.
class RecordingBus : public SimulatedBus {
public:
    struct Entry {
        CanMsg Frame;
        nanoseconds Delay;
        bool Fine; // through DeliverAfter
    };
    void Deliver(const CanMsg& frame, int delayMs) override { Entries.push_back({frame, milliseconds(delayMs), false}); }
    void DeliverAfter(const CanMsg& frame, nanoseconds delay) override { Entries.push_back({frame, delay, true}); }
    std::vector<Entry> Entries;
};

double Ms(nanoseconds d) { return duration<double, std::milli>(d).count(); }

TEST(BusTimeModel, FrameLengthsFollowTheFrameFormat)
{
    // 11-bit identifier, 8 data bytes: the frames of the word protocol.
    EXPECT_EQ(BusTimeModel::NominalBits(Frame(8)), 111);
    EXPECT_EQ(BusTimeModel::StuffBitsWorstCase(Frame(8)), 24);
    EXPECT_EQ(BusTimeModel::WorstCaseBits(Frame(8)), 135);
    // Shorter frames and the 29-bit identifier.
    EXPECT_EQ(BusTimeModel::NominalBits(Frame(0)), 47);
    EXPECT_EQ(BusTimeModel::WorstCaseBits(Frame(0)), 55);
    EXPECT_EQ(BusTimeModel::WorstCaseBits(Frame(4)), 95);
    EXPECT_EQ(BusTimeModel::NominalBits(Frame(8, 2)), 131);
    EXPECT_EQ(BusTimeModel::WorstCaseBits(Frame(8, 2)), 160);
    // A length the adapter would cut to 8 counts as 8.
    EXPECT_EQ(BusTimeModel::WorstCaseBits(Frame(15)), 135);
}

TEST(BusTimeModel, TimesAtTheBitRates)
{
    EXPECT_EQ(BusTimeModel(250000).FrameTime(Frame(8)), 540us);
    EXPECT_EQ(BusTimeModel(125000).FrameTime(Frame(8)), 1080us);
    EXPECT_EQ(BusTimeModel(500000).FrameTime(Frame(8)), 270us);
    EXPECT_EQ(BusTimeModel(1000000).FrameTime(Frame(8)), 135us);
    EXPECT_EQ(BusTimeModel(250000).ExchangeTime(Frame(8), Frame(8)), 1080us);

    for (const char* t : {"125k", "250k", "500k", "1000k", "1M"})
        EXPECT_TRUE(BusTimeModel::FromText(QString::fromLatin1(t))) << t;
    EXPECT_EQ(BusTimeModel::FromText(QStringLiteral("250k"))->BitRate(), 250000);
    EXPECT_EQ(BusTimeModel::FromText(QStringLiteral("250k"))->Text(), QStringLiteral("250k"));
    for (const char* t : {"", "250", "2k", "250kbit", "fast"})
        EXPECT_FALSE(BusTimeModel::FromText(QString::fromLatin1(t))) << t;
}

TEST(BusTimeModel, FramesOnTheWireSerialise)
{
    BusTimeModel bus(250000);
    const auto t0 = BusTimeModel::Clock::now();
    EXPECT_EQ(bus.Transmit(t0, Frame(8)), t0 + 540us);
    // Ready while the first is on the wire: it waits for it.
    EXPECT_EQ(bus.Transmit(t0 + 100us, Frame(8)), t0 + 1080us);
    // Ready after the bus went idle: it starts at once.
    EXPECT_EQ(bus.Transmit(t0 + 5ms, Frame(0)), t0 + 5ms + 220us);
    bus.Clear();
    EXPECT_EQ(bus.Transmit(t0, Frame(8)), t0 + 540us);
}

TEST(BusTimeModel, ControllerRepliesAfterRequestAndReplyTime)
{
    DrcController sim;
    RecordingBus bus;
    // Without a model the reply is immediate, at whole milliseconds.
    sim.OnFrame(ReadRequest(1), bus);
    ASSERT_EQ(bus.Entries.size(), 1u);
    EXPECT_FALSE(bus.Entries[0].Fine);
    EXPECT_EQ(bus.Entries[0].Delay, 0ms);

    sim.SetBusModel(BusTimeModel(125000));
    bus.Entries.clear();
    sim.OnFrame(ReadRequest(1), bus);
    ASSERT_EQ(bus.Entries.size(), 1u);
    ASSERT_TRUE(bus.Entries[0].Fine);
    // 2 x 1.08 ms, less the moment that passed inside OnFrame.
    EXPECT_LE(bus.Entries[0].Delay, 2160us);
    EXPECT_GT(bus.Entries[0].Delay, 2160us - 500us);
    EXPECT_EQ(bus.Entries[0].Frame.ID, DrcController::ReplyId);

    // A second request at once: its reply waits for the first one's.
    sim.OnFrame(ReadRequest(2), bus);
    ASSERT_EQ(bus.Entries.size(), 2u);
    EXPECT_LE(bus.Entries[1].Delay, 4320us);
    EXPECT_GT(bus.Entries[1].Delay, 4320us - 1000us);

    // The latency fault comes on top, between request and reply.
    sim.SetBusModel(BusTimeModel(250000));
    sim.SetLatencyMs(5);
    bus.Entries.clear();
    sim.OnFrame(ReadRequest(3), bus);
    ASSERT_EQ(bus.Entries.size(), 1u);
    EXPECT_LE(bus.Entries[0].Delay, 5ms + 1080us);
    EXPECT_GT(bus.Entries[0].Delay, 5ms + 1080us - 500us);

    // A frame that is no request still occupies the wire; nothing is answered.
    sim.SetLatencyMs(0);
    sim.SetBusModel(BusTimeModel(125000));
    bus.Entries.clear();
    CanMsg other = ReadRequest(4);
    other.ID = 0x123;
    sim.OnFrame(other, bus);
    EXPECT_TRUE(bus.Entries.empty());
    sim.OnFrame(ReadRequest(4), bus);
    ASSERT_EQ(bus.Entries.size(), 1u);
    EXPECT_GT(bus.Entries[0].Delay, 3240us - 500us);
}

// The whole road in process: link, device layer, simulated adapter, controller.
TEST(BusTimeModel, InProcessExchangeTakesTheBusTime)
{
    App();
    BusSetup setup = MakeBusSetup(QStringLiteral("sim"), QStringLiteral(QVS_SOURCE_DIR), false);
    ASSERT_TRUE(setup.Simulator) << setup.Error.toStdString();
    modCANDevice device(setup.Factory);
    ASSERT_TRUE(device.OpenCanDevice(3));
    CANLink link(device);
    const int address = setup.Simulator->AddressOf(Key::QVS_NUM_PROP_REG);
    ASSERT_GE(address, 0);
    setup.Simulator->SetE2(address, 3);

    for (const int rate : {125000, 1000000}) {
        setup.Simulator->SetBusModel(BusTimeModel(rate));
        const double floorMs = Ms(BusTimeModel(rate).ExchangeTime(Frame(8), Frame(8)));
        std::vector<double> times;
        for (int i = 0; i < 20; ++i) {
            int32_t value = 0;
            QElapsedTimer t;
            t.start();
            ASSERT_EQ(link.ReadE2Word(address, value), "");
            times.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
            EXPECT_EQ(value, 3);
        }
        std::sort(times.begin(), times.end());
        EXPECT_GE(times.front(), floorMs) << rate;
        // Not a timing test of the machine: only that the wake-up comes with
        // the reply and not at the 200 ms reply time-out.
        EXPECT_LT(times[times.size() / 2], floorMs + 20) << rate;
    }
}

TEST(BusTimeModel, EnvironmentAndDrcSimOptionChooseTheModel)
{
    App();
    qputenv("QVS_BUS_MODEL", "500k");
    BusSetup setup = MakeBusSetup(QStringLiteral("sim"), QStringLiteral(QVS_SOURCE_DIR), false);
    ASSERT_TRUE(setup.Simulator);
    ASSERT_TRUE(setup.Simulator->BusModel());
    EXPECT_EQ(setup.Simulator->BusModel()->BitRate(), 500000);
    EXPECT_TRUE(setup.Error.isEmpty());
    qputenv("QVS_BUS_MODEL", "fast");
    setup = MakeBusSetup(QStringLiteral("sim"), QStringLiteral(QVS_SOURCE_DIR), false);
    EXPECT_TRUE(setup.Error.contains(QStringLiteral("QVS_BUS_MODEL"))) << setup.Error.toStdString();
    EXPECT_FALSE(setup.Simulator->BusModel());
    qunsetenv("QVS_BUS_MODEL");
    setup = MakeBusSetup(QStringLiteral("sim"), QStringLiteral(QVS_SOURCE_DIR), false);
    EXPECT_FALSE(setup.Simulator->BusModel());

    DrcSimOptions o;
    QString text;
    ASSERT_EQ(ParseDrcSimOptions({QStringLiteral("drc-sim"), QStringLiteral("--bus-model"), QStringLiteral("1000k")}, o,
                                 text),
              DrcSimParse::Run)
        << text.toStdString();
    ASSERT_TRUE(o.BusModel);
    EXPECT_EQ(o.BusModel->BitRate(), 1000000);
    DrcSimOptions none;
    ASSERT_EQ(ParseDrcSimOptions({QStringLiteral("drc-sim")}, none, text), DrcSimParse::Run);
    EXPECT_FALSE(none.BusModel);
    DrcSimOptions bad;
    EXPECT_EQ(ParseDrcSimOptions({QStringLiteral("drc-sim"), QStringLiteral("--bus-model"), QStringLiteral("300k")},
                                 bad, text),
              DrcSimParse::Error);
    EXPECT_TRUE(text.contains(QStringLiteral("250k"))) << text.toStdString();
}

#ifdef QVS_HAVE_BENCH_SUPPORT
// drc-sim --bus-model over a private virtual bus paces its replies too.
TEST(BusTimeModel, DrcSimPacesRepliesOverTheVirtualBus)
{
    App();
    QuietCanBusPluginLogging();
    const QString busName = bench::PrivateBus(bench::FreePort());
    bench::DrcSimProcess sim;
    ASSERT_TRUE(sim.Start(busName, {QStringLiteral("--bus-model"), QStringLiteral("125k"), QStringLiteral("--tick"),
                                    QStringLiteral("0")}))
        << sim.Output().toStdString();
    BusSetup setup = MakeBusSetup(busName, QStringLiteral(QVS_SOURCE_DIR), false);
    ASSERT_TRUE(setup.Error.isEmpty()) << setup.Error.toStdString();
    modCANDevice device(setup.Factory);
    ASSERT_TRUE(device.OpenCanDevice(3));
    CANLink link(device);
    std::vector<double> times;
    for (int i = 0; i < 20; ++i) {
        int32_t value = 0;
        QElapsedTimer t;
        t.start();
        ASSERT_EQ(link.ReadE2Word(1, value), "") << i;
        times.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    EXPECT_GE(times.front(), 2.16);
    EXPECT_LT(times[times.size() / 2], 2.16 + 50);
}
#endif

} // namespace
