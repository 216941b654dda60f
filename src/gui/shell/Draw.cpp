#include "gui/shell/Draw.h"

#include "core/link/IDData.h"
#include "core/state/CoreContext.h"
#include "gui/pages/Page.h"
#include "gui/shell/CommandTargets.h"
#include "gui/shell/DrawText.h"
#include "gui/shell/Shell.h"
#include "gui/shell/StatusBarView.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QProgressBar>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace Draw {

QColor ColourOf(int32_t colour)
{
    const auto u = static_cast<uint32_t>(colour);
    if ((u & 0xFF000000u) == 0x80000000u) {
        const QPalette pal = QApplication::palette();
        switch (u & 0xFFu) {
        case 0x05:
            return pal.color(QPalette::Base);
        case 0x08:
            return pal.color(QPalette::Text);
        default:
            return pal.color(QPalette::Button);
        }
    }
    return QColor(static_cast<int>(u & 0xFF), static_cast<int>((u >> 8) & 0xFF), static_cast<int>((u >> 16) & 0xFF));
}

void SetIndicator(QLineEdit& box, const QString& text, int32_t colour)
{
    if (box.text() != text)
        box.setText(text);
    const QColor c = ColourOf(colour);
    QPalette pal = box.palette();
    if (pal.color(QPalette::Base) != c) {
        pal.setColor(QPalette::Base, c);
        pal.setColor(QPalette::Text, Qt::black);
        box.setPalette(pal);
    }
}

namespace {

void SetFiveTransferCommands(CommandTargets& t, bool readAll, bool writeAll, bool reset, bool read, bool write)
{
    t.SetAvailable(Command::ReadAll, readAll);
    t.SetAvailable(Command::WriteAll, writeAll);
    t.SetAvailable(Command::Reset, reset);
    t.SetAvailable(Command::Read, read);
    t.SetAvailable(Command::Write, write);
}

// Connected or polling: the Connect command disconnects, the port and bit
// rate cannot change.
void OfferDisconnect(CommandTargets& t)
{
    t.SetConnectItem(QString::fromLatin1(DrawText::DisconnectCaption), true);
    t.SetConnectButton(QString::fromLatin1(DrawText::DisconnectCaption), true, true);
    t.SetPortMenuAvailable(false);
    t.SetBitRateMenuAvailable(false);
}

} // namespace

void PageDrawBar(Shell& shell, const DrawBarProfile& profile, StatusBarView& statusBar, const QString& text)
{
    ShellState& st = shell.Context().Shell;
    CommandTargets& t = shell.Targets();
    const int16_t state = st.ConnectionState();
    const bool polling = profile.PollingState != 0 && state == profile.PollingState;

    if (state == Disconnected) {
        statusBar.SetPanelIcon(1, shell.RedIcon());
        SetIndicator(shell.TxtConnect(), QString::fromLatin1(DrawText::NotConnected), DrawText::ButtonFace);
        st.SetProgressPercent(0);
    } else if (state == Connected && profile.HandlesConnected) {
        statusBar.SetPanelIcon(1, shell.GreenIcon());
        SetIndicator(shell.TxtConnect(), QString::fromLatin1(DrawText::Connected), DrawText::Green);
        st.SetProgressPercent(0);
        SetFiveTransferCommands(t, false, false, profile.ResetWhenConnected, profile.ReadWhenConnected,
                                profile.WriteWhenConnected);
        OfferDisconnect(t);
    } else if (state == Busy || polling) {
        statusBar.SetPanelIcon(1, shell.GreenIcon());
        SetIndicator(shell.TxtConnect(), text, DrawText::Green);
        if (polling) {
            SetFiveTransferCommands(t, false, false, false, false, false);
            OfferDisconnect(t);
        }
    } else {
        return; // a state this page does not handle: the availability stays
    }

    const bool loggedIn = st.AssistanceLoggedIn();
    t.SetAvailable(Command::Login, profile.LoginByAssistance && !loggedIn);
    t.SetAvailable(Command::Logout, profile.LoginByAssistance && loggedIn);
}

void ApplyCommandAvailability(Shell& shell)
{
    CommandTargets& t = shell.Targets();
    t.SetAvailable(Command::Help, true);
    t.SetAvailable(Command::Info, true);
    const int16_t state = shell.Context().Shell.ConnectionState();
    if (state == Disconnected) {
        SetFiveTransferCommands(t, false, false, false, false, false);
        t.SetConnectItem(QString::fromLatin1(DrawText::ConnectCaption), true);
        t.SetConnectButton(QString::fromLatin1(DrawText::ConnectCaption), false, true);
        t.SetPortMenuAvailable(true);
        t.SetBitRateMenuAvailable(false);
    } else if (state == Busy) {
        SetFiveTransferCommands(t, false, false, false, false, false);
        t.SetConnectItem(QString::fromLatin1(DrawText::ConnectCaption), false);
        t.SetConnectButton(QString::fromLatin1(DrawText::ConnectCaption), true, false);
        t.SetPortMenuAvailable(false);
        t.SetBitRateMenuAvailable(false);
    }
}

void ApplyInitialCommandState(Shell& shell)
{
    CommandTargets& t = shell.Targets();
    t.SetAvailable(Command::Login, false);
    t.SetAvailable(Command::Logout, false);
    t.SetAvailable(Command::Help, true);
    t.SetAvailable(Command::Info, true);
    SetFiveTransferCommands(t, false, false, false, false, false);
    t.SetConnectItem(QString::fromLatin1(DrawText::ConnectCaption), true);
    t.SetConnectButton(QString::fromLatin1(DrawText::ConnectCaption), false, true);
    t.SetPortMenuAvailable(true);
    t.SetBitRateMenuAvailable(false);
}

void ShowParameterStatus(Shell& shell, QLineEdit& box)
{
    const ShellState& st = shell.Context().Shell;
    const DrawText::Indicator ind = DrawText::ParameterIndicator(st.ConnectionState(), st.ParamsDiffer());
    SetIndicator(box, ind.Text, ind.Colour);
}

void SelectAllText(QLineEdit& box)
{
    box.setCursorPosition(0);
    box.setSelection(0, static_cast<int>(box.text().size()));
}

void CenterOver(const QWidget& ref, QWidget& win)
{
    const QRect r = ref.frameGeometry();
    const QSize s = win.frameGeometry().size();
    win.move(r.left() + (r.width() - s.width()) / 2, r.top() + (r.height() - s.height()) / 2);
}

void RefreshStatus(Shell& shell, StatusBarView& statusBar, QProgressBar& progressBar, const QString& text)
{
    CoreContext& ctx = shell.Context();
    if (Page* page = shell.ActivePage())
        page->DrawBar(statusBar, progressBar, text);

    const int percent = std::clamp<int>(ctx.Shell.ProgressPercent(), 0, 100);
    if (progressBar.value() != percent)
        progressBar.setValue(percent);
    statusBar.SetPanelText(5, DrawText::ProgressPanelText(percent));

    // Panel 2: the failure that dropped the connection, until the next
    // command; otherwise the bus in use.
    const QString failure = ctx.Shell.LastFailure();
    QLabel* wide = statusBar.PanelLabel(2);
    const bool failed = !failure.isEmpty();
    if (wide->property("failed").toBool() != failed || wide->styleSheet().isEmpty()) {
        wide->setProperty("failed", failed);
        wide->setStyleSheet(failed ? QStringLiteral("color: #b00000; font-weight: bold;")
                                   : QStringLiteral("color: #5a6570;"));
    }
    statusBar.SetPanelText(2, failed ? failure : ctx.BusName);
    wide->setToolTip(failed ? failure : QStringLiteral("CAN bus in use"));

    const CVarData* version = ctx.Table.Record(Key::QVS_PROG_VERS);
    statusBar.SetPanelText(7, version ? DrawText::VersionPanelText(version->DataS.QvsDisplayValueRAM)
                                      : QString::fromLatin1(DrawText::NoValue));
    const CVarData* sections = ctx.Table.Record(Key::QVS_NUM_PROP_REG);
    statusBar.SetPanelText(6, DrawText::SectionModelPanelText(sections ? sections->DataS.QvsDisplayValueE2 : 0));

    ApplyCommandAvailability(shell);
}

} // namespace Draw
