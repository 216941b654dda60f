#pragma once
// The CAN buses this machine offers: every interface that Qt's CAN bus
// plugins find, and the in-process simulator. Used by --list-buses and by
// the Set menu's CAN interface list. The "auto" bus has a factory of its own
// that looks for an adapter again at every connect, so an adapter plugged in
// after the program started is found without a restart.
#include "core/transport/BusSelection.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CanAdapter;
class QCommandLineParser;

struct BusEntry {
    std::string Plugin;      // "socketcan", "peakcan", "virtualcan", ... or "sim"
    std::string Interface;   // "can0", "usb0"; "" for the simulator
    std::string Description; // as the plugin describes the device (may be "")
    bool Up = true;          // socketcan: the kernel interface is up
    // The name --bus takes: "plugin:interface", or "sim".
    std::string BusName() const;
};

struct PluginDevices {
    std::string Plugin;
    std::vector<BusEntry> Devices;
    std::string Error; // why the plugin found nothing (its library is missing, ...)
};
using BusInventory = std::vector<PluginDevices>;

// Asks every CAN bus plugin Qt has for its devices; plugins in name order,
// devices in the plugin's order.
BusInventory SystemBusInventory();
// The simulator's entry.
BusEntry SimulatorEntry();
// Every device of the inventory, then the simulator.
std::vector<BusEntry> BusEntries(const BusInventory& inventory);
// What "auto" picks from this inventory (the first socketcan interface that
// is up, then the first peakcan device); Kind None when nothing fits.
BusChoice AutomaticChoice(const BusInventory& inventory);
// The description of an entry for people: the plugin's text and, for a
// socketcan interface that is down, how to bring it up.
std::string EntryDescription(const BusEntry& entry);

// The table --list-buses prints: one line per bus (name to pass to --bus,
// plugin, interface, description), the simulator last, then what each
// plugin without devices said and what "auto" would choose now.
QString BusListText(const BusInventory& inventory);
// The same for this machine. The plugins' own warnings (a missing adapter
// library) are silenced: the list says what they found.
QString SystemBusListText();

// The --list-buses option of QvsStudio and qvs-cli.
void AddListBusesOption(QCommandLineParser& parser);
bool ListBusesRequested(const QCommandLineParser& parser);
// The same from the raw arguments (the first is the program), so that it
// can be answered before a window system is needed.
bool ListBusesRequested(const QStringList& arguments);

// Whether a bus name means "auto" (also the empty name).
bool IsAutomaticBus(const std::string& name);

// The adapter factory of "auto": every new channel resolves "auto" again and
// opens what it finds (no adapter when nothing is found, so the open fails).
// resolved, when given, hears each choice (for the status bar).
std::function<std::unique_ptr<CanAdapter>()> MakeAutoAdapterFactory(
    std::function<void(const BusChoice&)> resolved = {}, CanDeviceLister lister = SystemCanDevices);
