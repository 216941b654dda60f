#include "gui/shell/CanInterfaceMenu.h"

#include "core/state/ShellState.h"
#include "gui/shell/frmMain.h"

#include <QAction>
#include <QActionGroup>

namespace {

QString MenuText(const std::string& text)
{
    return QString::fromStdString(text).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

// What the status bar shows for an automatic choice.
QString AutomaticBusName(const BusChoice& choice)
{
    return choice.Kind == BusKind::CanBus ? QString::fromStdString(choice.Name) + QStringLiteral(" (auto)")
                                          : QStringLiteral("auto: no CAN adapter");
}

} // namespace

CanInterfaceMenu::CanInterfaceMenu(CoreContext& context, QWidget* window, QWidget* parent)
    : QMenu(QString::fromLatin1(Title), parent), m_ctx(context), m_window(window)
{
    setObjectName(QStringLiteral("mnuSet_CANInterface"));
    menuAction()->setObjectName(QStringLiteral("mnuSet_CANInterface"));
    m_group = new QActionGroup(this);
    m_group->setExclusive(true);
    if (!m_ctx.BusName.isEmpty())
        m_chosen = m_ctx.BusName;
    connect(this, &QMenu::aboutToShow, this, &CanInterfaceMenu::Fill);
    connect(&m_ctx.Shell, &ShellState::changed, this, &CanInterfaceMenu::FollowConnectionState);
    FollowConnectionState();
}

QString CanInterfaceMenu::WindowCaption(const QString& busName)
{
    QString caption = QString::fromLatin1(frmMain::Caption);
    if (busName == QLatin1String(SimulatorBus))
        caption += QString::fromLatin1(frmMain::SimulatorSuffix);
    return caption;
}

void CanInterfaceMenu::FollowConnectionState()
{
    // Another bus only between connections.
    menuAction()->setEnabled(m_ctx.Shell.ConnectionState() == Disconnected);
}

QAction* CanInterfaceMenu::AddEntry(const QString& bus, const QString& text)
{
    QAction* a = addAction(text);
    a->setObjectName(QStringLiteral("mnuSet_CANInterface_") + bus);
    a->setData(bus);
    a->setCheckable(true);
    a->setChecked(bus == m_chosen);
    m_group->addAction(a);
    connect(a, &QAction::triggered, this, [this, bus] { Choose(bus); });
    return a;
}

void CanInterfaceMenu::Fill()
{
    for (QAction* a : actions()) {
        removeAction(a);
        m_group->removeAction(a);
        a->deleteLater();
    }
    const BusInventory inventory = Inventory ? Inventory() : BusInventory{};

    const BusChoice automatic = AutomaticChoice(inventory);
    AddEntry(QString::fromLatin1(AutomaticBus),
             QStringLiteral("&Automatic (%1)")
                 .arg(automatic.Kind == BusKind::CanBus ? MenuText(automatic.Name)
                                                        : QStringLiteral("no adapter found")));
    addSeparator();
    bool chosenListed = m_chosen.isEmpty() || m_chosen == QLatin1String(AutomaticBus)
        || m_chosen == QLatin1String(SimulatorBus);
    for (const PluginDevices& p : inventory) {
        for (const BusEntry& e : p.Devices) {
            const QString bus = QString::fromStdString(e.BusName());
            const std::string description = EntryDescription(e);
            AddEntry(bus, MenuText(e.BusName()) + (description.empty() ? QString()
                                                                         : QStringLiteral(" - ") + MenuText(description)));
            chosenListed = chosenListed || bus == m_chosen;
        }
    }
    // A chosen adapter that is gone (unplugged) stays visible as the choice.
    if (!chosenListed)
        AddEntry(m_chosen, MenuText(m_chosen.toStdString()) + QStringLiteral(" - not found"));
    if (SimulatorMaker) {
        addSeparator();
        AddEntry(QString::fromLatin1(SimulatorBus), QStringLiteral("&Simulator (sim)"));
    }

    bool notes = false;
    for (const PluginDevices& p : inventory) {
        if (!p.Devices.empty())
            continue;
        if (!notes)
            addSeparator();
        notes = true;
        QAction* note = addAction(MenuText(p.Plugin + ": no devices" + (p.Error.empty() ? "" : " (" + p.Error + ")")));
        note->setEnabled(false);
    }
}

QAction* CanInterfaceMenu::Entry(const QString& bus) const
{
    for (QAction* a : actions())
        if (a->isCheckable() && a->data().toString() == bus)
            return a;
    return nullptr;
}

void CanInterfaceMenu::CheckChosen()
{
    for (QAction* a : actions())
        if (a->isCheckable())
            a->setChecked(a->data().toString() == m_chosen);
}

void CanInterfaceMenu::Adopt(const QString& bus)
{
    if (IsAutomaticBus(bus.toStdString())) {
        m_ctx.SetBus(AutomaticFactory(), m_ctx.BusName);
        m_chosen = QString::fromLatin1(AutomaticBus);
    } else {
        m_chosen = m_ctx.BusName.isEmpty() ? bus.trimmed() : m_ctx.BusName;
    }
    CheckChosen();
}

CoreContext::AdapterFactory CanInterfaceMenu::AutomaticFactory()
{
    CoreContext& ctx = m_ctx;
    return MakeAutoAdapterFactory([&ctx](const BusChoice& c) { ctx.BusName = AutomaticBusName(c); });
}

bool CanInterfaceMenu::Choose(const QString& bus)
{
    const bool ok = Apply(bus);
    // The checks follow the choice in effect, also when it was refused.
    CheckChosen();
    return ok;
}

bool CanInterfaceMenu::Apply(const QString& bus)
{
    ShellState& shell = m_ctx.Shell;
    if (shell.ConnectionState() != Disconnected)
        return false;
    if (!m_chosen.isEmpty() && bus.trimmed() == m_chosen)
        return true; // already the bus (a simulator keeps its state)
    const std::string name = bus.trimmed().toStdString();
    CoreContext::AdapterFactory factory;
    QString busName;
    if (IsAutomaticBus(name)) {
        factory = AutomaticFactory();
        busName = AutomaticBusName(AutomaticChoice(Inventory ? Inventory() : BusInventory{}));
    } else {
        const BusChoice choice = ResolveBus(name);
        if (choice.IsSimulator()) {
            if (!SimulatorMaker)
                return false;
            QString error;
            factory = SimulatorMaker(&error);
            if (!error.isEmpty()) {
                shell.SetLastFailure(QStringLiteral("simulated controller: %1").arg(error));
                return false;
            }
            busName = QString::fromLatin1(SimulatorBus);
        } else if (choice.Kind == BusKind::CanBus) {
            factory = MakeAdapterFactory(choice, nullptr);
            busName = QString::fromStdString(choice.Name);
        } else {
            shell.SetLastFailure(QString::fromStdString(choice.Error));
            return false;
        }
    }
    m_ctx.SetBus(std::move(factory), busName);
    m_chosen = IsAutomaticBus(name) ? QString::fromLatin1(AutomaticBus) : busName;
    shell.SetLastFailure(QString()); // the status bar shows the new bus
    if (m_window)
        m_window->setWindowTitle(WindowCaption(m_ctx.BusName));
    emit busChanged(m_chosen);
    return true;
}
