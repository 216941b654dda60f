#pragma once
// The menu items and toolbar buttons whose availability the status drawing
// sets. A command's menu item and its toolbar button move together; the
// Connect item and the Connect button differ (caption, tooltip, pressed).
#include <QString>

class QAction;
class QMenu;

enum class Command { ReadAll, WriteAll, Reset, Read, Write, Login, Logout, Help, Info };

class CommandTargets {
public:
    struct Pair {
        QAction* Item = nullptr;
        QAction* Button = nullptr;
    };

    // Wiring, done once by the main window.
    void Bind(Command c, QAction* item, QAction* button);
    void BindConnect(QAction* item, QAction* button);
    void BindMenus(QMenu* portMenu, QMenu* bitRateMenu);

    void SetAvailable(Command c, bool available);
    bool IsAvailable(Command c) const; // the menu item's state
    // mnuHW_Connect: caption and availability.
    void SetConnectItem(const QString& caption, bool available);
    // Toolbar button 19: tooltip, pressed state, availability.
    void SetConnectButton(const QString& tooltip, bool pressed, bool available);
    void SetPortMenuAvailable(bool available);
    void SetBitRateMenuAvailable(bool available);

    const Pair& Of(Command c) const { return m_pairs[static_cast<int>(c)]; }
    const Pair& Connect() const { return m_connect; }
    QMenu* PortMenu() const { return m_portMenu; }
    QMenu* BitRateMenu() const { return m_bitRateMenu; }

private:
    Pair m_pairs[9];
    Pair m_connect;
    QMenu* m_portMenu = nullptr;
    QMenu* m_bitRateMenu = nullptr;
};
