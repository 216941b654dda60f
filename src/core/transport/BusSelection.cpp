#include "core/transport/BusSelection.h"

#include "core/transport/QtCanBusAdapter.h"
#include "core/transport/SimulatedAdapter.h"

#include <QCanBus>
#include <QCommandLineParser>
#include <QFile>
#include <QLoggingCategory>

#include <optional>

namespace {

// IFF_UP in the kernel's interface flags.
bool InterfaceIsUp(const QString& name)
{
    QFile flags(QStringLiteral("/sys/class/net/") + name + QStringLiteral("/flags"));
    if (!flags.open(QIODevice::ReadOnly))
        return false;
    bool ok = false;
    const uint value = QString::fromLatin1(flags.readAll()).trimmed().toUInt(&ok, 0);
    return ok && (value & 0x1u);
}

std::string Lower(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// Settles --simulate and --bus into the settings; they may name the same bus
// but not two different ones.
void SetBus(BusSettings& s, bool simulate, const std::optional<std::string>& bus)
{
    if (bus && bus->empty()) {
        s.Error = "--bus needs a bus name (sim, auto or plugin:interface)";
    } else if (simulate && bus && Lower(*bus) != "sim") {
        s.Error = "--simulate and --bus " + *bus + " contradict each other";
    } else if (bus) {
        s.Bus = *bus;
        s.Origin = "--bus";
    } else if (simulate) {
        s.Bus = "sim";
        s.Origin = "--simulate";
    }
}

bool SetTiming(BusSettings& s, const std::string& text)
{
    const auto timing = LinkTimingFromText(Lower(text));
    if (!timing) {
        s.Error = "--link-timing '" + text + "' not understood: use fast or legacy";
        return false;
    }
    s.Timing = *timing;
    return true;
}

void ApplyEnvironment(BusSettings& s, const QString& environmentBus)
{
    const std::string env = environmentBus.trimmed().toStdString();
    if (s.Origin == "default" && !env.empty()) {
        s.Bus = env;
        s.Origin = "QVS_BUS";
    }
}

} // namespace

bool SocketCanInterfaceUp(const QString& name)
{
    return InterfaceIsUp(name);
}

std::vector<CanDeviceEntry> SystemCanDevices(const std::string& plugin)
{
    std::vector<CanDeviceEntry> result;
    QString error;
    const auto devices = QCanBus::instance()->availableDevices(QString::fromStdString(plugin), &error);
    for (const auto& info : devices) {
        CanDeviceEntry entry;
        entry.Interface = info.name().toStdString();
        entry.Up = plugin == "socketcan" ? InterfaceIsUp(info.name()) : true;
        result.push_back(entry);
    }
    return result;
}

BusChoice ResolveBus(const std::string& requestedText, const CanDeviceLister& lister)
{
    BusChoice c;
    std::string requested = QString::fromStdString(requestedText).trimmed().toStdString();
    const std::string keyword = Lower(requested);
    if (keyword == "sim") {
        c.Kind = BusKind::Simulator;
        c.Name = "sim";
        c.Description = "sim (simulated controller)";
        return c;
    }
    if (keyword.empty() || keyword == "auto") {
        for (const char* plugin : {"socketcan", "peakcan"}) {
            for (const CanDeviceEntry& d : lister(plugin)) {
                if (!d.Up)
                    continue;
                c.Kind = BusKind::CanBus;
                c.Name = std::string(plugin) + ":" + d.Interface;
                c.Description = c.Name + " (auto)";
                return c;
            }
        }
        c.Description = "no CAN adapter";
        c.Error = "no CAN adapter found: no socketcan interface is up and no peakcan device "
                  "answers (choose one with --bus plugin:interface, or --simulate)";
        return c;
    }
    std::string plugin, iface, why;
    if (!QtCanBusAdapter::ParseBusName(requested, plugin, iface, &why)) {
        c.Description = "no CAN adapter";
        c.Error = why;
        return c;
    }
    c.Kind = BusKind::CanBus;
    c.Name = requested;
    c.Description = requested;
    return c;
}

BusSettings ParseBusArguments(const QStringList& arguments, const QString& environmentBus)
{
    BusSettings s;
    bool simulate = false;
    std::optional<std::string> bus;
    for (qsizetype i = 1; i < arguments.size() && s.Error.empty(); ++i) {
        const QString& a = arguments[i];
        // The value of "--name value" or "--name=value"; nullopt if a is not
        // that option (or its value is missing, then with s.Error).
        auto value = [&](const QString& name) -> std::optional<std::string> {
            if (a == name) {
                if (i + 1 >= arguments.size()) {
                    s.Error = name.toStdString() + " needs a value";
                    return std::nullopt;
                }
                return arguments[++i].toStdString();
            }
            if (a.startsWith(name + QLatin1Char('=')))
                return a.mid(name.size() + 1).toStdString();
            return std::nullopt;
        };
        if (a == QLatin1String("--simulate")) {
            simulate = true;
        } else if (auto b = value(QStringLiteral("--bus"))) {
            bus = *b;
        } else if (auto t = value(QStringLiteral("--link-timing"))) {
            SetTiming(s, *t);
        }
    }
    if (s.Error.empty())
        SetBus(s, simulate, bus);
    if (s.Error.empty())
        ApplyEnvironment(s, environmentBus);
    return s;
}

void AddBusOptions(QCommandLineParser& parser)
{
    parser.addOption(QCommandLineOption(
        QStringList{QStringLiteral("bus")},
        QStringLiteral("CAN bus: sim, auto, or plugin:interface (socketcan:can0, peakcan:usb0, "
                       "virtualcan:can0). Default: $QVS_BUS, else auto."),
        QStringLiteral("name")));
    parser.addOption(QCommandLineOption(QStringList{QStringLiteral("simulate")},
                                        QStringLiteral("Talk to the simulated controller (--bus sim).")));
    parser.addOption(QCommandLineOption(
        QStringList{QStringLiteral("link-timing")},
        QStringLiteral("fast (default): an exchange ends with its reply; legacy: every exchange "
                       "lasts at least 200 ms."),
        QStringLiteral("fast|legacy"), QStringLiteral("fast")));
}

BusSettings BusSettingsFromParser(const QCommandLineParser& parser, const QString& environmentBus)
{
    BusSettings s;
    std::optional<std::string> bus;
    if (parser.isSet(QStringLiteral("bus")))
        bus = parser.value(QStringLiteral("bus")).toStdString();
    SetBus(s, parser.isSet(QStringLiteral("simulate")), bus);
    if (s.Error.empty() && parser.isSet(QStringLiteral("link-timing")))
        SetTiming(s, parser.value(QStringLiteral("link-timing")).toStdString());
    if (s.Error.empty())
        ApplyEnvironment(s, environmentBus);
    return s;
}

std::function<std::unique_ptr<CanAdapter>()> MakeAdapterFactory(const BusChoice& choice,
                                                                 SimulatedPeer* peer)
{
    switch (choice.Kind) {
    case BusKind::Simulator:
        if (peer)
            return [peer]() -> std::unique_ptr<CanAdapter> {
                return std::make_unique<SimulatedAdapter>(*peer);
            };
        break;
    case BusKind::CanBus: {
        const std::string name = choice.Name;
        return [name]() -> std::unique_ptr<CanAdapter> {
            return std::make_unique<QtCanBusAdapter>(name);
        };
    }
    case BusKind::None:
        break;
    }
    return []() -> std::unique_ptr<CanAdapter> { return nullptr; };
}

void QuietCanBusPluginLogging()
{
    QLoggingCategory::setFilterRules(QStringLiteral("qt.canbus.plugins.*=false"));
}
