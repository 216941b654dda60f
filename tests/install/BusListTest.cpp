// The bus list of --list-buses and the "auto" factory that looks for an
// adapter again at every connect.
#include "GuiTestSupport.h"

#include "core/transport/BusList.h"
#include "core/transport/QtCanBusAdapter.h"

#include <QCommandLineParser>

#include <gtest/gtest.h>

namespace {

BusEntry Device(const char* plugin, const char* iface, const char* description, bool up = true)
{
    BusEntry e;
    e.Plugin = plugin;
    e.Interface = iface;
    e.Description = description;
    e.Up = up;
    return e;
}

BusInventory SampleInventory()
{
    return {
        {"passthrucan", {}, ""},
        {"peakcan", {}, "Cannot load library pcanbasic"},
        {"socketcan",
         {Device("socketcan", "can1", "", false), Device("socketcan", "can0", "PCAN-USB")},
         ""},
        {"virtualcan", {Device("virtualcan", "can0", "Qt Virtual CAN bus")}, ""},
    };
}

QStringList Lines(const QString& text) { return text.split(QLatin1Char('\n')); }

TEST(BusList, TableHasEveryDeviceThenTheSimulatorThenWhyPluginsFoundNothing)
{
    const QStringList lines = Lines(BusListText(SampleInventory()));
    ASSERT_GE(lines.size(), 10);
    EXPECT_TRUE(lines[0].startsWith("BUS ")) << lines[0].toStdString();
    EXPECT_TRUE(lines[0].contains("PLUGIN") && lines[0].contains("INTERFACE") && lines[0].contains("DESCRIPTION"));
    // Aligned columns: the bus name, plugin, interface, description.
    EXPECT_EQ(lines[1].simplified(),
              "socketcan:can1 socketcan can1 down (ip link set can1 up type can bitrate 250000)");
    EXPECT_EQ(lines[2].simplified(), "socketcan:can0 socketcan can0 PCAN-USB, up");
    EXPECT_EQ(lines[3].simplified(), "virtualcan:can0 virtualcan can0 Qt Virtual CAN bus");
    EXPECT_EQ(lines[4].simplified(), "sim sim - simulated DRC controller (in-process)");
    EXPECT_EQ(lines[1].indexOf("socketcan", 5), lines[3].indexOf("virtualcan", 5)); // plugin column
    EXPECT_TRUE(lines.contains("passthrucan: no devices"));
    EXPECT_TRUE(lines.contains("peakcan: no devices (Cannot load library pcanbasic)"));
    // auto skips the interface that is down.
    EXPECT_TRUE(lines.contains("auto: socketcan:can0"));
}

TEST(BusList, AutoFollowsTheUsualOrderAndSaysWhenNothingFits)
{
    BusInventory inventory = {
        {"peakcan", {Device("peakcan", "usb0", "PCAN-USB")}, ""},
        {"socketcan", {Device("socketcan", "can0", "", false)}, ""},
        {"virtualcan", {Device("virtualcan", "can0", "")}, ""},
    };
    EXPECT_EQ(AutomaticChoice(inventory).Name, "peakcan:usb0");
    inventory[0].Devices.clear();
    EXPECT_EQ(AutomaticChoice(inventory).Kind, BusKind::None); // virtualcan is never automatic
    EXPECT_TRUE(BusListText(inventory).contains("\nauto: no adapter found\n"));
    // Only the simulator when Qt has no plugin at all.
    const std::vector<BusEntry> entries = BusEntries({});
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].BusName(), "sim");
}

TEST(BusList, ListBusesIsFoundInTheRawArgumentsAndThroughTheParser)
{
    EXPECT_TRUE(ListBusesRequested(QStringList{"QvsStudio", "--bus", "sim", "--list-buses"}));
    EXPECT_FALSE(ListBusesRequested(QStringList{"QvsStudio", "--list-buses-now"}));
    EXPECT_FALSE(ListBusesRequested(QStringList{"QvsStudio", "--", "--list-buses"}));
    EXPECT_FALSE(ListBusesRequested(QStringList{"--list-buses"})); // the program's own name

    QCommandLineParser parser;
    AddListBusesOption(parser);
    ASSERT_TRUE(parser.parse({"qvs-cli", "--list-buses"}));
    EXPECT_TRUE(ListBusesRequested(parser));
    EXPECT_TRUE(parser.helpText().contains("--list-buses"));
}

TEST(BusList, AutomaticFactoryLooksForTheAdapterAgainAtEveryChannel)
{
    std::vector<CanDeviceEntry> socketcan;
    std::vector<std::string> heard;
    auto factory = MakeAutoAdapterFactory(
        [&](const BusChoice& c) { heard.push_back(c.Kind == BusKind::CanBus ? c.Name : "none"); },
        [&](const std::string& plugin) {
            return plugin == "socketcan" ? socketcan : std::vector<CanDeviceEntry>{};
        });

    EXPECT_EQ(factory(), nullptr); // nothing plugged in: the open fails
    socketcan = {{"can7", false}};
    EXPECT_EQ(factory(), nullptr); // plugged in, interface not up yet
    socketcan = {{"can7", true}};
    const std::unique_ptr<CanAdapter> adapter = factory();
    const auto* qt = dynamic_cast<const QtCanBusAdapter*>(adapter.get());
    ASSERT_NE(qt, nullptr);
    EXPECT_EQ(qt->BusName(), "socketcan:can7");
    socketcan.clear(); // unplugged again
    EXPECT_EQ(factory(), nullptr);
    EXPECT_EQ(heard, (std::vector<std::string>{"none", "none", "socketcan:can7", "none"}));
}

TEST(BusList, QtsOwnPluginsAreAsked)
{
    TestApp();
    // The virtual bus ships with Qt SerialBus and always has its channels.
    const BusInventory inventory = SystemBusInventory();
    bool virtualCan0 = false;
    for (const PluginDevices& p : inventory)
        for (const BusEntry& e : p.Devices)
            virtualCan0 = virtualCan0 || e.BusName() == "virtualcan:can0";
    EXPECT_TRUE(virtualCan0);
    EXPECT_TRUE(SystemBusListText().contains(QStringLiteral("\nsim ")));
}

} // namespace
