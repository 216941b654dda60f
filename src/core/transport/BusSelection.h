#pragma once
// Which bus the program talks on. Every executable takes "--bus NAME" (or
// "--simulate", short for "--bus sim"), else the environment variable
// QVS_BUS, else "auto": the first socketcan interface that is up, then the
// first peakcan device. NAME is "sim", "auto" or "plugin:interface".
#include "core/transport/CanAdapter.h"
#include "core/transport/LinkTiming.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QCommandLineParser;
class SimulatedPeer;

enum class BusKind {
    None,      // nothing usable: connecting fails
    Simulator, // the in-process simulated controller
    CanBus,    // a Qt CAN bus plugin and interface
};

struct BusChoice {
    BusKind Kind = BusKind::None;
    std::string Name;        // "sim" or "plugin:interface"; "" for None
    std::string Description; // for the status bar
    std::string Error;       // why there is no bus (Kind None)
    bool IsSimulator() const { return Kind == BusKind::Simulator; }
};

// What the command line and the environment ask for.
struct BusSettings {
    std::string Bus = "auto"; // as given: "sim", "auto" or "plugin:interface"
    std::string Origin = "default"; // "--bus", "--simulate", "QVS_BUS" or "default"
    LinkTiming Timing = LinkTiming::Fast;
    std::string Error; // a malformed option; the caller reports it and stops
};

struct CanDeviceEntry {
    std::string Interface;
    bool Up = true;
};
// The devices of one plugin ("socketcan", "peakcan"), in the system's order.
using CanDeviceLister = std::function<std::vector<CanDeviceEntry>(const std::string& plugin)>;
// Asks Qt's CAN bus plugins; a socketcan interface is up when the kernel
// says so.
std::vector<CanDeviceEntry> SystemCanDevices(const std::string& plugin);
// Whether the kernel says a network interface (a socketcan one) is up.
bool SocketCanInterfaceUp(const QString& name);

// Turns "sim", "auto" or "plugin:interface" into a bus; a name that cannot
// work gives Kind None with the reason in Error.
BusChoice ResolveBus(const std::string& requested, const CanDeviceLister& lister = SystemCanDevices);

// Reads --bus NAME / --bus=NAME, --simulate and --link-timing fast|legacy
// from the program's arguments (the first is the program and is skipped;
// other arguments are ignored), then QVS_BUS (environmentBus).
BusSettings ParseBusArguments(const QStringList& arguments, const QString& environmentBus);
// The same options for programs that use QCommandLineParser.
void AddBusOptions(QCommandLineParser& parser);
BusSettings BusSettingsFromParser(const QCommandLineParser& parser, const QString& environmentBus);

// Creates the adapter of a bus for each new channel. The simulator needs its
// peer (owned by the caller, alive as long as the factory is used); without
// one, and for Kind None, the factory gives no adapter and opening fails.
std::function<std::unique_ptr<CanAdapter>()> MakeAdapterFactory(const BusChoice& choice,
                                                                 SimulatedPeer* peer);

// Silences the CAN plugins' own chatter: the virtual bus's notes (server
// started, client connected...) and the warnings and critical messages of
// plugins whose library or kernel support is missing, which the programs'
// messages and --list-buses already give with their reason. QT_LOGGING_RULES still
// overrides it.
void QuietCanBusPluginLogging();
