#pragma once
// The Set menu's "CAN &Interface" list: "Automatic", every CAN interface that
// Qt's CAN bus plugins find, and the simulator. Choosing an entry makes it the
// bus of the next Connect for the rest of the run (nothing is stored between
// runs: --bus and QVS_BUS set the start). The list is read again each time the
// menu opens, so an adapter plugged in after the start appears in it; plugins
// that found nothing say why in disabled lines at the end. The menu is
// offered only while disconnected. The chosen bus shows in the status bar
// (CoreContext::BusName) and the window title says SIMULATOR for "sim".
#include "core/state/CoreContext.h"
#include "core/transport/BusList.h"

#include <QMenu>
#include <QPointer>
#include <QString>

#include <functional>

class QActionGroup;

class CanInterfaceMenu : public QMenu {
    Q_OBJECT
public:
    static constexpr const char* Title = "CAN &Interface";
    static constexpr const char* AutomaticBus = "auto";
    static constexpr const char* SimulatorBus = "sim";

    // window: the main window whose title follows the choice.
    CanInterfaceMenu(CoreContext& context, QWidget* window, QWidget* parent = nullptr);

    // Where the entries come from (the system's plugins unless replaced).
    std::function<BusInventory()> Inventory = SystemBusInventory;
    // Makes the in-process simulator's adapter factory; error tells why the
    // simulator cannot work. Without it the simulator is not offered.
    std::function<CoreContext::AdapterFactory(QString* error)> SimulatorMaker;

    // Takes over the bus the program started with, leaving the status as it
    // is; for "auto" every Connect looks for an adapter again.
    void Adopt(const QString& bus);
    // The user's choice: "auto", "sim" or "plugin:interface". False when it
    // is not possible now (connected, or the bus cannot work; the reason is
    // then in ShellState::LastFailure).
    bool Choose(const QString& bus);
    // The bus chosen ("" before any choice or adoption).
    QString Chosen() const { return m_chosen; }

    // Reads the inventory again and rebuilds the entries (on every opening).
    void Fill();
    // The entry of a bus name, or nullptr.
    QAction* Entry(const QString& bus) const;

    // The main window caption for a bus name.
    static QString WindowCaption(const QString& busName);

signals:
    void busChanged(const QString& bus);

private:
    bool Apply(const QString& bus);
    void CheckChosen();
    CoreContext::AdapterFactory AutomaticFactory();
    void FollowConnectionState();
    QAction* AddEntry(const QString& bus, const QString& text);

    CoreContext& m_ctx;
    QPointer<QWidget> m_window;
    QActionGroup* m_group = nullptr;
    QString m_chosen;
};
