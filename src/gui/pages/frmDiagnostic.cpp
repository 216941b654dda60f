#include "gui/pages/frmDiagnostic.h"

#include "controls/DiagnosticError.h"
#include "core/link/IDData.h"
#include "core/state/CoreContext.h"
#include "core/state/PollingLoop.h"
#include "gui/shell/Dialogs.h"
#include "gui/shell/Shell.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QResizeEvent>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>

#include <algorithm>

namespace {

QString Indexed(const char* name, int i) { return QString::fromLatin1(name) + QLatin1Char('_') + QString::number(i); }

// The error word each used control shows, in control order.
constexpr std::array<Key, frmDiagnostic::UsedControls> Words = {
    Key::QVS_MAIN_ERROR, Key::QVS_ERROR_CODE_0, Key::QVS_ERROR_CODE_3, Key::QVS_ERROR_CODE_1,
    Key::QVS_ERROR_CODE_2};

// Sets a radio button without the group's exclusivity getting in the way
// (an exclusive group cannot be left with no button selected).
void SetChecked(QRadioButton* b, bool on)
{
    if (b->isChecked() == on)
        return;
    const bool exclusive = b->autoExclusive();
    b->setAutoExclusive(false);
    b->setChecked(on);
    b->setAutoExclusive(exclusive);
}

} // namespace

frmDiagnostic::frmDiagnostic(Shell& shell, QWidget* parent) : Page(shell, 0, 0, parent)
{
    setObjectName(QStringLiteral("frmDiagnostic"));
    setWindowTitle(QStringLiteral("Diagnostic"));
    CoreContext& ctx = m_shell.Context();
    ctx.Polling.DiagnosticPollingActive = false;

    m_loop = new PollingLoop(PollingLoop::Owner::Diagnostic, ctx.Polling, ctx.Shell,
                             QString::fromLatin1(StatusText), false, this);
    m_loop->Timer().setObjectName(QStringLiteral("TimerDiagnostic"));
    m_loop->Link = [this]() -> WordLink* { return &m_shell.Context().Words(); };
    m_loop->RefreshStatus = [this] { m_shell.RefreshStatus(m_shell.Context().Shell.StatusMessage()); };
    m_loop->Items = [this] {
        std::vector<PollingLoop::Item> items;
        for (::DiagnosticError* c : DiagnosticError) {
            if (c->isHidden() || !c->Enable())
                continue;
            int16_t id = 0;
            try {
                id = c->VarID();
            } catch (const std::exception&) {
                continue; // a control without a record has nothing to poll
            }
            const CVarData* r = m_shell.Context().Table.At(id);
            if (!r)
                continue;
            items.push_back({r->DataS.Address,
                             [c](int32_t w) {
                                 int32_t v = w;
                                 c->UpdateDisplay(v);
                             },
                             true});
        }
        return items;
    };

    CreateControls();
    LoadDiagnosticList();
    DiagnosticError[5]->setLongVar(true);
    DiagnosticError[6]->setLongVar(true);
    RefreshObject();
}

frmDiagnostic::~frmDiagnostic() { m_loop->Timer().stop(); }

const DrawBarProfile& frmDiagnostic::Profile() const
{
    static const DrawBarProfile profile{.HandlesConnected = false, .PollingState = DiagnosticPolling};
    return profile;
}

void frmDiagnostic::resizeEvent(QResizeEvent* event)
{
    Page::resizeEvent(event);
    TabStrip1->setGeometry(6, 184, std::max(200, width() - 12), std::max(120, height() - 190));
}

QTimer& frmDiagnostic::TimerDiagnostic() { return m_loop->Timer(); }

void frmDiagnostic::CreateControls()
{
    for (int i = 0; i < ControlCount; ++i) {
        auto* c = new ::DiagnosticError(this);
        c->setObjectName(Indexed("DiagnosticError", i));
        // The five used ones in the top row, the spare ones below (hidden).
        c->move(8 + (i % UsedControls) * 100, 6 + (i / UsedControls) * 176);
        DiagnosticError[static_cast<size_t>(i)] = c;
        connect(c, &::DiagnosticError::UpdateErrorMessage, this,
                [this, i](int16_t& value, int32_t& changed) { UpdateErrorMessage(i, value, changed); },
                Qt::DirectConnection);
    }

    const auto frame = [this](QGroupBox*& box, const char* name, int top, std::array<QRadioButton*, 2>& buttons,
                              const char* optName, const char* caption) {
        box = new QGroupBox(this);
        box->setObjectName(QLatin1String(name));
        box->setGeometry(516, top, 300, 54);
        for (int i = 0; i < 2; ++i) {
            auto* b = new QRadioButton(QStringLiteral("%1 %2").arg(QLatin1String(caption)).arg(i + 1), box);
            b->setObjectName(Indexed(optName, i));
            b->setGeometry(14 + i * 140, 16, 130, 26);
            buttons[static_cast<size_t>(i)] = b;
        }
    };
    frame(FrameJoySel, "FrameJoySel", 4, optSelectjoy, "optSelectjoy", "Joystick");
    frame(FrameCurSel, "FrameCurSel", 62, optSelectCur, "optSelectCur", "Current");
    frame(FrameSptSel, "FrameSptSel", 120, optSelectSP, "optSelectSP", "Setpoint");

    TabStrip1 = new QTabWidget(this);
    TabStrip1->setObjectName(QStringLiteral("TabStrip1"));
    TabStrip1->setGeometry(6, 184, 814, 268);
    ListView1 = new QTreeWidget;
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setRootIsDecorated(false);
    ListView1->setUniformRowHeights(true);
    ListView1->setColumnCount(3);
    ListView1->setHeaderLabels({QStringLiteral("VarKey"), QStringLiteral("Error ID"), QStringLiteral("Description")});
    ListView1->header()->resizeSection(0, 170);
    ListView1->header()->resizeSection(1, 300);
    ListView1->header()->setStretchLastSection(true);
    TabStrip1->addTab(ListView1, QStringLiteral("Message"));
}

// ---------------------------------------------------------------------------
// The diagnostic list

void frmDiagnostic::LoadDiagnosticList()
{
    const std::string problem = m_list.Load(m_shell.Context().ResourcePath(QStringLiteral("ini/DiagnosticList.ini")));
    if (!problem.empty())
        m_shell.Dialog().Message(m_shell.Window(), QString::fromLatin1(DiagnosticList::CorruptText));
}

void frmDiagnostic::SetDescriptions()
{
    for (int i = 0; i < ControlCount; ++i) {
        if (i >= m_list.Groups())
            continue; // no group of the list names this control's bits
        ::DiagnosticError* c = DiagnosticError[static_cast<size_t>(i)];
        for (int16_t bit = 0; bit < 8; ++bit)
            if (const CDiagnosticData* e = m_list.Entry(bit, i))
                c->SetDecripion(bit, QString::fromStdString(e->PageDescr));
        c->setMsgID(static_cast<int16_t>(i));
    }
}

void frmDiagnostic::RefreshObject()
{
    IDData& table = m_shell.Context().Table;
    for (size_t i = 0; i < UsedControls; ++i) {
        // A word the catalogue does not have is not shown (and not polled).
        CVarData* r = table.Record(Words[i]);
        if (r)
            DiagnosticError[i]->setCarica(r->DataS);
        DiagnosticError[i]->setVisible(r != nullptr);
    }
    for (size_t i = UsedControls; i < ControlCount; ++i)
        DiagnosticError[i]->hide();
    SetDescriptions();
    DrawOptSelct();
}

void frmDiagnostic::DrawOptSelct()
{
    const CVarData* sections = m_shell.Context().Table.Record(Key::QVS_NUM_PROP_REG);
    const int m = (sections ? sections->DataS.QvsDisplayValueE2 : 0) - 1;
    for (auto* pair : {&optSelectjoy, &optSelectCur, &optSelectSP}) {
        for (int i = 0; i < 2; ++i) {
            QRadioButton* b = (*pair)[static_cast<size_t>(i)];
            const bool enabled = i <= m;
            b->setEnabled(enabled);
            if (!enabled && b->isChecked())
                SetChecked(b, false);
        }
        if (!(*pair)[0]->isChecked() && !(*pair)[1]->isChecked())
            SetChecked((*pair)[0], true);
    }
}

// ---------------------------------------------------------------------------
// Polling

void frmDiagnostic::DisableTimer() { m_loop->Disable(); }

bool frmDiagnostic::StatusTimerForm() const { return m_shell.Context().Polling.DiagnosticPollingActive; }

void frmDiagnostic::Activated()
{
    CoreContext& ctx = m_shell.Context();
    ctx.Polling.DiagnosticStopRequest = false;
    ctx.Polling.MonitorStopRequest = true;
    // Polling state: the page was left and shown again while its last cycle
    // was still waiting for a reply; it simply goes on polling.
    const int16_t state = ctx.Shell.ConnectionState();
    if (state == Connected || state == DiagnosticPolling)
        m_loop->Enable();
    else
        m_loop->Disable();
    RefreshObject();
}

void frmDiagnostic::Deactivated()
{
    ShellState& st = m_shell.Context().Shell;
    m_shell.Context().Polling.DiagnosticStopRequest = true;
    if (st.ConnectionState() == DiagnosticPolling)
        st.SetConnectionState(Connected);
}

QString frmDiagnostic::ReadDiagnosticVar() { return QString::fromStdString(m_loop->ReadCycle()); }

void frmDiagnostic::UpdateErrorMessage(int index, int16_t Value, int32_t ChangedBitMask)
{
    for (int bit = 0; bit < 8; ++bit) {
        if (!(ChangedBitMask & (1 << bit)))
            continue;
        const CDiagnosticData* e = m_list.Entry(bit, index);
        if (!e)
            continue;
        const QString key = DiagnosticList::LineKey(*e, bit);
        if (!(Value & (1 << bit))) {
            // Every line of the key goes, however often it was added.
            for (int row = ListView1->topLevelItemCount() - 1; row >= 0; --row) {
                QTreeWidgetItem* item = ListView1->topLevelItem(row);
                if (item->text(0) == key) {
                    if (item == m_lastAdded)
                        m_lastAdded = nullptr;
                    delete ListView1->takeTopLevelItem(row);
                }
            }
        } else if (!e->VarKey.empty()) {
            auto* item = new QTreeWidgetItem(
                {key, QString::fromStdString(e->Message0), QString::fromStdString(e->Message1)});
            item->setToolTip(1, item->text(1));
            item->setToolTip(2, item->text(2));
            ListView1->addTopLevelItem(item);
            m_lastAdded = item;
        }
    }
}

QTreeWidgetItem* frmDiagnostic::LastAddedLine() const { return m_lastAdded; }
