#include "gui/shell/CommandTargets.h"

#include <QAction>
#include <QMenu>

namespace {
void Enable(QAction* a, bool on)
{
    if (a && a->isEnabled() != on)
        a->setEnabled(on);
}
} // namespace

void CommandTargets::Bind(Command c, QAction* item, QAction* button) { m_pairs[static_cast<int>(c)] = {item, button}; }

void CommandTargets::BindConnect(QAction* item, QAction* button) { m_connect = {item, button}; }

void CommandTargets::BindMenus(QMenu* portMenu, QMenu* bitRateMenu)
{
    m_portMenu = portMenu;
    m_bitRateMenu = bitRateMenu;
}

void CommandTargets::SetAvailable(Command c, bool available)
{
    const Pair& p = m_pairs[static_cast<int>(c)];
    Enable(p.Item, available);
    Enable(p.Button, available);
}

bool CommandTargets::IsAvailable(Command c) const
{
    const Pair& p = m_pairs[static_cast<int>(c)];
    return p.Item && p.Item->isEnabled();
}

void CommandTargets::SetConnectItem(const QString& caption, bool available)
{
    if (!m_connect.Item)
        return;
    if (m_connect.Item->text() != caption)
        m_connect.Item->setText(caption);
    Enable(m_connect.Item, available);
}

void CommandTargets::SetConnectButton(const QString& tooltip, bool pressed, bool available)
{
    if (!m_connect.Button)
        return;
    if (m_connect.Button->toolTip() != tooltip)
        m_connect.Button->setToolTip(tooltip);
    if (m_connect.Button->isChecked() != pressed)
        m_connect.Button->setChecked(pressed);
    Enable(m_connect.Button, available);
}

void CommandTargets::SetPortMenuAvailable(bool available)
{
    if (m_portMenu)
        Enable(m_portMenu->menuAction(), available);
}

void CommandTargets::SetBitRateMenuAvailable(bool available)
{
    if (m_bitRateMenu)
        Enable(m_bitRateMenu->menuAction(), available);
}
