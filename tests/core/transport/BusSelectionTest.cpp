// Choosing the bus: options, environment, "auto", and the adapters made for
// each kind of bus.
#include "TestSupport.h"

#include "core/transport/BusSelection.h"
#include "core/transport/QtCanBusAdapter.h"
#include "core/transport/SimulatedAdapter.h"

#include <QCommandLineParser>

#include <gtest/gtest.h>

namespace {

CanDeviceLister Devices(std::vector<CanDeviceEntry> socketcan, std::vector<CanDeviceEntry> peakcan)
{
    return [=](const std::string& plugin) { return plugin == "socketcan" ? socketcan : peakcan; };
}

TEST(ResolveBus, AutoTakesTheFirstSocketcanThatIsUpThenPeakcan)
{
    BusChoice c = ResolveBus("auto", Devices({{"can0", false}, {"can1", true}, {"can2", true}},
                                             {{"usb0", true}}));
    EXPECT_EQ(c.Kind, BusKind::CanBus);
    EXPECT_EQ(c.Name, "socketcan:can1");
    EXPECT_NE(c.Description.find("auto"), std::string::npos);

    c = ResolveBus("", Devices({{"can0", false}}, {{"usb1", true}, {"usb2", true}}));
    EXPECT_EQ(c.Name, "peakcan:usb1");

    c = ResolveBus("AUTO", Devices({{"can0", false}}, {}));
    EXPECT_EQ(c.Kind, BusKind::None);
    EXPECT_FALSE(c.Error.empty());
    EXPECT_TRUE(c.Name.empty());
}

TEST(ResolveBus, ExplicitNamesAndTheSimulator)
{
    const auto nothing = Devices({}, {});
    BusChoice c = ResolveBus("sim", nothing);
    EXPECT_TRUE(c.IsSimulator());
    EXPECT_EQ(c.Name, "sim");

    c = ResolveBus(" virtualcan:tcp://127.0.0.1:4711/can0 ", nothing);
    EXPECT_EQ(c.Kind, BusKind::CanBus);
    EXPECT_EQ(c.Name, "virtualcan:tcp://127.0.0.1:4711/can0");
    EXPECT_EQ(ResolveBus("socketcan:can3", nothing).Name, "socketcan:can3");

    for (const char* bad : {"can0", "virtualcan:vcan0", "simulator"}) {
        c = ResolveBus(bad, nothing);
        EXPECT_EQ(c.Kind, BusKind::None) << bad;
        EXPECT_FALSE(c.Error.empty()) << bad;
    }
}

QStringList Args(std::initializer_list<const char*> a)
{
    QStringList l{QStringLiteral("prog")};
    for (const char* s : a)
        l << QString::fromUtf8(s);
    return l;
}

TEST(BusArguments, OptionsBeatTheEnvironmentWhichBeatsAuto)
{
    BusSettings s = ParseBusArguments(Args({}), QString());
    EXPECT_EQ(s.Bus, "auto");
    EXPECT_EQ(s.Origin, "default");
    EXPECT_EQ(s.Timing, LinkTiming::Fast);

    s = ParseBusArguments(Args({"--verbose"}), QStringLiteral("socketcan:can1"));
    EXPECT_EQ(s.Bus, "socketcan:can1");
    EXPECT_EQ(s.Origin, "QVS_BUS");

    s = ParseBusArguments(Args({"--bus", "virtualcan:can0"}), QStringLiteral("socketcan:can1"));
    EXPECT_EQ(s.Bus, "virtualcan:can0");
    EXPECT_EQ(s.Origin, "--bus");
    s = ParseBusArguments(Args({"--bus=peakcan:usb0", "--link-timing=legacy"}), QString());
    EXPECT_EQ(s.Bus, "peakcan:usb0");
    EXPECT_EQ(s.Timing, LinkTiming::Legacy);
    s = ParseBusArguments(Args({"--simulate", "--link-timing", "fast"}), QStringLiteral("socketcan:can1"));
    EXPECT_EQ(s.Bus, "sim");
    EXPECT_EQ(s.Origin, "--simulate");
    EXPECT_TRUE(s.Error.empty());
    EXPECT_TRUE(ParseBusArguments(Args({"--simulate", "--bus", "sim"}), QString()).Error.empty());
}

TEST(BusArguments, MalformedOptionsAreReported)
{
    for (auto args : {Args({"--bus"}), Args({"--bus="}), Args({"--link-timing", "slow"}),
                      Args({"--link-timing"}), Args({"--simulate", "--bus", "socketcan:can0"})}) {
        const BusSettings s = ParseBusArguments(args, QString());
        EXPECT_FALSE(s.Error.empty()) << args.join(' ').toStdString();
    }
}

TEST(BusArguments, CommandLineParserVariant)
{
    QCommandLineParser parser;
    AddBusOptions(parser);
    ASSERT_TRUE(parser.parse(Args({"--bus", "virtualcan:can1", "--link-timing", "legacy"})));
    BusSettings s = BusSettingsFromParser(parser, QStringLiteral("sim"));
    EXPECT_EQ(s.Bus, "virtualcan:can1");
    EXPECT_EQ(s.Timing, LinkTiming::Legacy);

    QCommandLineParser plain;
    AddBusOptions(plain);
    ASSERT_TRUE(plain.parse(Args({})));
    s = BusSettingsFromParser(plain, QStringLiteral("sim"));
    EXPECT_EQ(s.Bus, "sim");
    EXPECT_EQ(s.Origin, "QVS_BUS");
    EXPECT_EQ(s.Timing, LinkTiming::Fast);
}

TEST(AdapterFactory, MakesTheAdapterOfTheChosenBus)
{
    TestApp();
    Responder peer;
    auto sim = MakeAdapterFactory(ResolveBus("sim", Devices({}, {})), &peer)();
    ASSERT_NE(dynamic_cast<SimulatedAdapter*>(sim.get()), nullptr);
    EXPECT_EQ(sim->Initialize(0x011C), CanOk);
    EXPECT_EQ(peer.Opened, 1);

    EXPECT_EQ(MakeAdapterFactory(ResolveBus("sim", Devices({}, {})), nullptr)(), nullptr);
    EXPECT_EQ(MakeAdapterFactory(ResolveBus("auto", Devices({}, {})), &peer)(), nullptr);

    auto qt = MakeAdapterFactory(ResolveBus("virtualcan:can1", Devices({}, {})), nullptr)();
    auto* q = dynamic_cast<QtCanBusAdapter*>(qt.get());
    ASSERT_NE(q, nullptr);
    EXPECT_EQ(q->BusName(), "virtualcan:can1");
}

} // namespace
