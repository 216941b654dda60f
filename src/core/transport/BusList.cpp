#include "core/transport/BusList.h"

#include "core/transport/BusSelection.h"
#include "core/transport/QtCanBusAdapter.h"

#include <QCanBus>
#include <QCanBusDeviceInfo>
#include <QCommandLineParser>

#include <algorithm>

namespace {

const QString ListBusesName = QStringLiteral("list-buses");

// The devices of one plugin as the "auto" rule sees them.
CanDeviceLister ListerOf(const BusInventory& inventory)
{
    return [&inventory](const std::string& plugin) {
        std::vector<CanDeviceEntry> devices;
        for (const PluginDevices& p : inventory)
            if (p.Plugin == plugin)
                for (const BusEntry& e : p.Devices)
                    devices.push_back({e.Interface, e.Up});
        return devices;
    };
}

QString Column(const std::string& text, int width)
{
    return QString::fromStdString(text).leftJustified(width) + QStringLiteral("  ");
}

} // namespace

std::string BusEntry::BusName() const
{
    return Plugin == "sim" ? std::string("sim") : Plugin + ":" + Interface;
}

BusInventory SystemBusInventory()
{
    BusInventory inventory;
    QStringList plugins = QCanBus::instance()->plugins();
    std::sort(plugins.begin(), plugins.end());
    for (const QString& plugin : plugins) {
        PluginDevices p;
        p.Plugin = plugin.toStdString();
        QString error;
        const QList<QCanBusDeviceInfo> devices = QCanBus::instance()->availableDevices(plugin, &error);
        for (const QCanBusDeviceInfo& info : devices) {
            BusEntry e;
            e.Plugin = p.Plugin;
            e.Interface = info.name().toStdString();
            e.Description = info.description().trimmed().toStdString();
            if (e.Description.empty() && !info.serialNumber().isEmpty())
                e.Description = "serial number " + info.serialNumber().toStdString();
            e.Up = plugin == QLatin1String("socketcan") ? SocketCanInterfaceUp(info.name()) : true;
            p.Devices.push_back(std::move(e));
        }
        if (p.Devices.empty())
            p.Error = error.trimmed().toStdString();
        inventory.push_back(std::move(p));
    }
    return inventory;
}

BusEntry SimulatorEntry()
{
    BusEntry e;
    e.Plugin = "sim";
    e.Description = "simulated DRC controller (in-process)";
    return e;
}

std::vector<BusEntry> BusEntries(const BusInventory& inventory)
{
    std::vector<BusEntry> entries;
    for (const PluginDevices& p : inventory)
        entries.insert(entries.end(), p.Devices.begin(), p.Devices.end());
    entries.push_back(SimulatorEntry());
    return entries;
}

BusChoice AutomaticChoice(const BusInventory& inventory)
{
    return ResolveBus("auto", ListerOf(inventory));
}

std::string EntryDescription(const BusEntry& e)
{
    std::string text = e.Description;
    if (e.Plugin == "socketcan") {
        if (!text.empty())
            text += ", ";
        text += e.Up ? "up" : "down (ip link set " + e.Interface + " up type can bitrate 250000)";
    }
    return text;
}

QString BusListText(const BusInventory& inventory)
{
    const std::vector<BusEntry> entries = BusEntries(inventory);
    int busWidth = 3, pluginWidth = 6, interfaceWidth = 9;
    for (const BusEntry& e : entries) {
        busWidth = std::max<int>(busWidth, static_cast<int>(e.BusName().size()));
        pluginWidth = std::max<int>(pluginWidth, static_cast<int>(e.Plugin.size()));
        interfaceWidth = std::max<int>(interfaceWidth, static_cast<int>(e.Interface.size()));
    }
    QString text = Column("BUS", busWidth) + Column("PLUGIN", pluginWidth) + Column("INTERFACE", interfaceWidth)
        + QStringLiteral("DESCRIPTION\n");
    for (const BusEntry& e : entries)
        text += (Column(e.BusName(), busWidth) + Column(e.Plugin, pluginWidth)
                 + Column(e.Interface.empty() ? "-" : e.Interface, interfaceWidth)
                 + QString::fromStdString(EntryDescription(e)))
                    .trimmed()
            + QLatin1Char('\n');

    QString notes;
    for (const PluginDevices& p : inventory)
        if (p.Devices.empty())
            notes += QString::fromStdString(p.Plugin) + QStringLiteral(": no devices")
                + (p.Error.empty() ? QString() : QStringLiteral(" (%1)").arg(QString::fromStdString(p.Error)))
                + QLatin1Char('\n');
    if (!notes.isEmpty())
        text += QLatin1Char('\n') + notes;
    const BusChoice automatic = AutomaticChoice(inventory);
    text += QStringLiteral("\nauto: %1\n")
                .arg(automatic.Kind == BusKind::CanBus ? QString::fromStdString(automatic.Name)
                                                       : QStringLiteral("no adapter found"));
    text += QStringLiteral("Choose one with --bus BUS or QVS_BUS=BUS.\n");
    return text;
}

QString SystemBusListText()
{
    QuietCanBusPluginLogging();
    return BusListText(SystemBusInventory());
}

void AddListBusesOption(QCommandLineParser& parser)
{
    parser.addOption(QCommandLineOption(
        QStringList{ListBusesName},
        QStringLiteral("List the CAN interfaces Qt's CAN bus plugins find, and sim, then exit.")));
}

bool ListBusesRequested(const QCommandLineParser& parser)
{
    return parser.isSet(ListBusesName);
}

bool ListBusesRequested(const QStringList& arguments)
{
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == QLatin1String("--"))
            break;
        if (arguments[i] == QLatin1String("--list-buses"))
            return true;
    }
    return false;
}

bool IsAutomaticBus(const std::string& name)
{
    const QString n = QString::fromStdString(name).trimmed();
    return n.isEmpty() || n.compare(QLatin1String("auto"), Qt::CaseInsensitive) == 0;
}

std::function<std::unique_ptr<CanAdapter>()> MakeAutoAdapterFactory(std::function<void(const BusChoice&)> resolved,
                                                                     CanDeviceLister lister)
{
    return [resolved = std::move(resolved), lister = std::move(lister)]() -> std::unique_ptr<CanAdapter> {
        const BusChoice choice = ResolveBus("auto", lister);
        if (resolved)
            resolved(choice);
        if (choice.Kind != BusKind::CanBus)
            return nullptr;
        return std::make_unique<QtCanBusAdapter>(choice.Name);
    };
}
