#include "gui/pages/frmDebug.h"

#include "controls/RsvColor.h"
#include "core/link/E2Image.h"
#include "core/link/NumberText.h"
#include "core/link/WordLink.h"
#include "core/state/CoreContext.h"
#include "core/transport/modCANDevice.h"
#include "gui/shell/Dialogs.h"
#include "gui/shell/Shell.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include <cmath>
#include <exception>
#include <vector>

// Marks a request of the page as waiting for as long as it is in scope,
// unless the page went away meanwhile.
class frmDebug::RequestMark {
public:
    explicit RequestMark(frmDebug* page) : m_page(page) { page->m_requestRunning = true; }
    ~RequestMark()
    {
        if (m_page)
            m_page->m_requestRunning = false;
    }
    RequestMark(const RequestMark&) = delete;
    RequestMark& operator=(const RequestMark&) = delete;
    bool PageAlive() const { return !m_page.isNull(); }

private:
    QPointer<frmDebug> m_page;
};

namespace {

QLabel* ValueLabel(QWidget* parent, const char* name, const QString& text = QString())
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setFrameShape(QFrame::StyledPanel);
    l->setFrameShadow(QFrame::Sunken);
    l->setMinimumHeight(22);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return l;
}

QLabel* Caption(QWidget* parent, const QString& text)
{
    auto* l = new QLabel(text, parent);
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    return l;
}

QPushButton* Button(QWidget* parent, const char* name, const char* caption)
{
    auto* b = new QPushButton(QString::fromLatin1(caption), parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setMinimumWidth(92);
    return b;
}

QLineEdit* Entry(QWidget* parent, const QString& name, int width)
{
    auto* e = new QLineEdit(QStringLiteral("0"), parent);
    e->setObjectName(name);
    e->setFixedWidth(width);
    return e;
}

// A RAM display value as decimal text.
QString RamText(double v)
{
    if (std::isfinite(v) && v == std::floor(v) && std::fabs(v) < 1e15)
        return QString::number(static_cast<qint64>(v));
    return QString::number(v, 'g', 10);
}

} // namespace

frmDebug::frmDebug(Shell& shell, QWidget* parent) : Page(shell, 0, 0, parent)
{
    setObjectName(QStringLiteral("frmDebug"));
    setWindowTitle(QStringLiteral("Debug"));

    // Everything sits on one body, so that the login can switch the whole
    // page off at once.
    auto* body = new QWidget(this);
    body->setObjectName(QStringLiteral("PageBody"));
    m_body = body;

    cmbVariablesList = new QComboBox(body);
    cmbVariablesList->setObjectName(QStringLiteral("cmbVariablesList"));
    cmbVariablesList->setPlaceholderText(QStringLiteral("(variables list)"));
    cmbVariablesList->setMaxVisibleItems(24);
    cmbVariablesList->setMinimumWidth(360);

    // General Information.
    fraGeneral = new QGroupBox(QStringLiteral("General Information"), body);
    fraGeneral->setObjectName(QStringLiteral("fraGeneral"));
    LblAddress = ValueLabel(fraGeneral, "LblAddress", QString::fromLatin1(NoItem));
    LblTooltip = ValueLabel(fraGeneral, "LblTooltip", QString::fromLatin1(NoItem));
    LblTooltip->setWordWrap(true);
    LblTooltip->setMinimumHeight(40);
    LblTooltip->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    LblMonitorName = ValueLabel(fraGeneral, "LblMonitorName", QString::fromLatin1(NoItem));
    LblUnit = ValueLabel(fraGeneral, "LblUnit", QString::fromLatin1(NoUnit));
    {
        auto* g = new QGridLayout(fraGeneral);
        g->addWidget(Caption(fraGeneral, QStringLiteral("Address")), 0, 0);
        g->addWidget(LblAddress, 0, 1);
        g->addWidget(Caption(fraGeneral, QStringLiteral("Tooltip Description")), 1, 0, Qt::AlignTop);
        g->addWidget(LblTooltip, 1, 1);
        g->addWidget(Caption(fraGeneral, QStringLiteral("Monitor Name")), 2, 0);
        g->addWidget(LblMonitorName, 2, 1);
        g->addWidget(Caption(fraGeneral, QStringLiteral("Unit")), 3, 0);
        g->addWidget(LblUnit, 3, 1);
        g->setColumnStretch(1, 1);
    }

    // The commands.
    fraCommand = new QGroupBox(body);
    fraCommand->setObjectName(QStringLiteral("fraCommand"));
    txtAddress = Entry(fraCommand, QStringLiteral("txtAddress"), 90);
    txtAddress->setToolTip(QStringLiteral("Address: Enter selects the variable at this address"));
    TxtData = Entry(fraCommand, QStringLiteral("TxtData"), 90);
    TxtData->setToolTip(QStringLiteral("Value to write (0 to 65535)"));
    cmdRead = Button(fraCommand, "cmdRead", "READ");
    cmdWrite = Button(fraCommand, "cmdWrite", "WRITE");
    cmdDisplay = Button(fraCommand, "cmdDisplay", "DISPLAY");
    cmdSet = Button(fraCommand, "cmdSet", "SET");
    cmdMonitor = Button(fraCommand, "cmdMonitor", "MONITOR");
    cmdReset = Button(fraCommand, "cmdReset", "RESET");
    CmdCANProbe = Button(fraCommand, "CmdCANProbe", "CAN PROBE");
    {
        auto* g = new QGridLayout(fraCommand);
        g->addWidget(new QLabel(QStringLiteral("Address"), fraCommand), 0, 0);
        g->addWidget(txtAddress, 0, 1);
        g->addWidget(new QLabel(QStringLiteral("Value"), fraCommand), 0, 2);
        g->addWidget(TxtData, 0, 3);
        g->addWidget(new QLabel(QStringLiteral("EEPROM"), fraCommand), 1, 0);
        g->addWidget(cmdRead, 1, 1);
        g->addWidget(cmdWrite, 1, 3);
        g->addWidget(new QLabel(QStringLiteral("RAM"), fraCommand), 2, 0);
        g->addWidget(cmdDisplay, 2, 1);
        g->addWidget(cmdSet, 2, 3);
        g->addWidget(cmdMonitor, 3, 1);
        g->addWidget(cmdReset, 3, 3);
        g->addWidget(CmdCANProbe, 4, 1);
        g->setColumnStretch(4, 1);
    }

    // CED View: the values of the selected record in the controller.
    fraCedView = new QGroupBox(QStringLiteral("CED View"), body);
    fraCedView->setObjectName(QStringLiteral("fraCedView"));
    lblName = ValueLabel(fraCedView, "lblName");
    lblName->setFrameShape(QFrame::NoFrame);
    QFont nameFont = lblName->font();
    nameFont.setBold(true);
    nameFont.setPointSizeF(nameFont.pointSizeF() * 1.15);
    lblName->setFont(nameFont);
    lblE2Data = ValueLabel(fraCedView, "lblE2Data", QStringLiteral("0"));
    lblRAMData = ValueLabel(fraCedView, "lblRAMData", QStringLiteral("0"));
    LblDisplayE2 = ValueLabel(fraCedView, "LblDisplayE2");
    LblDisplayRAM = ValueLabel(fraCedView, "LblDisplayRAM");
    LblUnitE2 = ValueLabel(fraCedView, "LblUnitE2");
    LblUnitRam = ValueLabel(fraCedView, "LblUnitRam");
    for (QLabel* l : {lblE2Data, lblRAMData, LblDisplayE2, LblDisplayRAM})
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    for (QLabel* l : {LblUnitE2, LblUnitRam}) {
        l->setFrameShape(QFrame::NoFrame);
        l->setMinimumWidth(30);
    }
    {
        auto* g = new QGridLayout(fraCedView);
        g->addWidget(lblName, 0, 0, 1, 4);
        g->addWidget(new QLabel(QStringLiteral("Word"), fraCedView), 1, 1, Qt::AlignRight);
        g->addWidget(new QLabel(QStringLiteral("Value"), fraCedView), 1, 2, Qt::AlignRight);
        g->addWidget(Caption(fraCedView, QStringLiteral("EEPROM")), 2, 0);
        g->addWidget(lblE2Data, 2, 1);
        g->addWidget(LblDisplayE2, 2, 2);
        g->addWidget(LblUnitE2, 2, 3);
        g->addWidget(Caption(fraCedView, QStringLiteral("RAM")), 3, 0);
        g->addWidget(lblRAMData, 3, 1);
        g->addWidget(LblDisplayRAM, 3, 2);
        g->addWidget(LblUnitRam, 3, 3);
        g->setColumnStretch(1, 1);
        g->setColumnStretch(2, 1);
        g->setRowStretch(4, 1);
    }

    // Dither Configuration: row 2 edits the dither frequency in RAM.
    fraDither = new QGroupBox(QStringLiteral("Dither Configuration"), body);
    fraDither->setObjectName(QStringLiteral("fraDither"));
    {
        auto* g = new QGridLayout(fraDither);
        for (int i = 0; i < DitherRows; ++i) {
            const auto n = static_cast<size_t>(i);
            LblData[n] = new QLabel(QStringLiteral("Label"), fraDither);
            LblData[n]->setObjectName(QStringLiteral("LblData_%1").arg(i));
            hscData[n] = new QScrollBar(Qt::Horizontal, fraDither);
            hscData[n]->setObjectName(QStringLiteral("hscData_%1").arg(i));
            hscData[n]->setMinimumWidth(150);
            TxtDataD[n] = Entry(fraDither, QStringLiteral("TxtDataD_%1").arg(i), 60);
            TxtDataD[n]->installEventFilter(this);
            g->addWidget(LblData[n], i, 0);
            g->addWidget(hscData[n], i, 1);
            g->addWidget(TxtDataD[n], i, 2);
            // Only the dither frequency row carries a parameter.
            const bool bound = i == DitherRow;
            LblData[n]->setVisible(bound);
            hscData[n]->setVisible(bound);
            TxtDataD[n]->setVisible(bound);
            connect(hscData[n], &QScrollBar::valueChanged, this, [this, i](int v) {
                if (m_adjustingDither)
                    return;
                TxtDataD[static_cast<size_t>(i)]->setText(QString::number(v));
                DitherEnter(i);
            });
        }
        CmdDitherRead = Button(fraDither, "CmdDitherRead", "DISPLAY");
        CmdUpdate = Button(fraDither, "CmdUpdate", "UPDATE");
        auto* buttons = new QHBoxLayout;
        buttons->addWidget(CmdDitherRead);
        buttons->addWidget(CmdUpdate);
        buttons->addStretch(1);
        g->addLayout(buttons, DitherRows, 0, 1, 3);
        g->setColumnStretch(1, 1);
        g->setRowStretch(DitherRows + 1, 1);
    }

    auto* outer = new QVBoxLayout(this);
    outer->addWidget(body);
    auto* root = new QVBoxLayout(body);
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("Variable"), body));
    top->addWidget(cmbVariablesList, 1);
    top->addStretch(1);
    root->addLayout(top);
    auto* grid = new QGridLayout;
    grid->addWidget(fraGeneral, 0, 0);
    grid->addWidget(fraCedView, 0, 1);
    grid->addWidget(fraCommand, 1, 0);
    grid->addWidget(fraDither, 1, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    root->addLayout(grid);
    root->addStretch(1);

    tmrDebug.setObjectName(QStringLiteral("tmrDebug"));
    tmrDebug.setInterval(PollIntervalMs);
    connect(&tmrDebug, &QTimer::timeout, this, [this] {
        try {
            PollTick();
        } catch (const std::exception&) {
            // A timer handler lets nothing escape.
        }
    });

    connect(cmbVariablesList, &QComboBox::currentIndexChanged, this, [this](int k) {
        if (k >= 0)
            ShowSelection(k);
    });
    txtAddress->installEventFilter(this);
    auto guarded = [this](void (frmDebug::*command)()) {
        return [this, command] {
            try {
                (this->*command)();
            } catch (const std::exception&) {
                // An event handler lets nothing escape.
            }
        };
    };
    connect(cmdRead, &QPushButton::clicked, this, guarded(&frmDebug::ReadCommand));
    connect(cmdWrite, &QPushButton::clicked, this, guarded(&frmDebug::WriteCommand));
    connect(cmdDisplay, &QPushButton::clicked, this, guarded(&frmDebug::DisplayCommand));
    connect(cmdSet, &QPushButton::clicked, this, guarded(&frmDebug::SetCommand));
    connect(cmdMonitor, &QPushButton::clicked, this, guarded(&frmDebug::MonitorCommand));
    connect(cmdReset, &QPushButton::clicked, this, guarded(&frmDebug::ResetCommand));
    connect(CmdCANProbe, &QPushButton::clicked, this, guarded(&frmDebug::CanProbeCommand));
    connect(CmdDitherRead, &QPushButton::clicked, this, guarded(&frmDebug::DitherReadCommand));
    connect(CmdUpdate, &QPushButton::clicked, this, guarded(&frmDebug::DitherUpdateCommand));

    // Logout disables the page at once, whoever clears the login.
    connect(&Ctx().Shell, &ShellState::changed, this, [this] {
        if (Ctx().Shell.AssistanceLoggedIn() != m_appliedLogin)
            RefreshObject();
    });

    // Loading: the variables in table order, so list index k is table index k.
    cmbVariablesList->addItem(QString::fromLatin1(NoItem));
    const IDData& table = Ctx().Table;
    for (int k = 1; k < table.VarTableEnd; ++k) {
        const CVarData* r = table.At(k);
        cmbVariablesList->addItem(r ? QString::fromStdString(r->DataS.Name) : QString());
    }
    {
        const QSignalBlocker block(cmbVariablesList);
        cmbVariablesList->setCurrentIndex(-1);
    }
    RefreshObject();
    BindDither();
}

frmDebug::~frmDebug()
{
    tmrDebug.stop();
    PollingFlags& f = Ctx().Polling;
    f.DebugPollingActive = false;
}

const DrawBarProfile& frmDebug::Profile() const
{
    static const DrawBarProfile profile{.HandlesConnected = true,
                                        .PollingState = DebuggerPolling,
                                        .ResetWhenConnected = false,
                                        .ReadWhenConnected = false,
                                        .WriteWhenConnected = false,
                                        .LoginByAssistance = true};
    return profile;
}

CoreContext& frmDebug::Ctx() const { return m_shell.Context(); }

bool frmDebug::LinkOpen() const
{
    // The connection flag alone stays set after a disconnect; a request also
    // needs the channel.
    modCANDevice& device = Ctx().Device();
    return device.CanConnected && device.CanChannel != nullptr;
}

std::optional<int64_t> frmDebug::WorkingAddress() const
{
    const std::optional<double> v = ParseDecimal(LblAddress->text().toStdString());
    if (!v || *v != std::floor(*v) || *v < 0 || *v > 65535)
        return std::nullopt;
    return static_cast<int64_t>(*v);
}

CVarData* frmDebug::SelectedRecord() const { return Ctx().Table.At(cmbVariablesList->currentIndex()); }

CVarData* frmDebug::DitherRecord() const { return Ctx().Table.Record(Key::QVS_DITHER_FREQ); }

int16_t frmDebug::TextStringIsInteger(const QString& text)
{
    if (text.size() > 5 || text.contains(QLatin1Char('.')) || text.contains(QLatin1Char(',')))
        return 0;
    return ParseDecimal(text.toStdString()).has_value() ? 1 : 0;
}

std::optional<int32_t> frmDebug::WordFromText(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    for (QChar c : t)
        if (!c.isDigit() || c.unicode() > 127)
            return std::nullopt;
    bool ok = false;
    const qlonglong v = t.toLongLong(&ok);
    if (!ok || v < 0 || v > WordMax)
        return std::nullopt;
    return static_cast<int32_t>(v);
}

// ---------------------------------------------------------------------------
// Page protocol

void frmDebug::ApplyEnabled()
{
    const bool loggedIn = Ctx().Shell.AssistanceLoggedIn();
    m_appliedLogin = loggedIn;
    m_body->setEnabled(loggedIn);
    const bool polling = tmrDebug.isActive();
    for (QWidget* w : std::initializer_list<QWidget*>{cmbVariablesList, txtAddress, TxtData, cmdRead, cmdWrite,
                                                      cmdSet, cmdDisplay, cmdReset, CmdDitherRead, CmdUpdate})
        w->setEnabled(loggedIn && !polling);
    for (QWidget* w : std::initializer_list<QWidget*>{fraGeneral, fraCedView, cmdMonitor, CmdCANProbe})
        w->setEnabled(loggedIn);
    for (int i = 0; i < DitherRows; ++i) {
        const auto n = static_cast<size_t>(i);
        LblData[n]->setEnabled(loggedIn);
        hscData[n]->setEnabled(loggedIn && i == DitherRow && DitherRecord());
        TxtDataD[n]->setEnabled(loggedIn && i == DitherRow && DitherRecord());
    }
}

void frmDebug::RefreshObject()
{
    m_appliedLogin = Ctx().Shell.AssistanceLoggedIn();
    // Polling ends with the refresh, as the login may have changed.
    RequestStop();
    ApplyEnabled();
}

void frmDebug::DisableTimer()
{
    RequestStop();
    m_savedState = Disconnected;
}

bool frmDebug::StatusTimerForm() const { return Ctx().Polling.DebugPollingActive; }

void frmDebug::Activated()
{
    m_savedState = Ctx().Shell.ConnectionState();
    Ctx().Polling.DebugStopRequest = false;
    RefreshObject();
    BindDither();
}

void frmDebug::Deactivated()
{
    ShellState& st = Ctx().Shell;
    // The page's own state goes back to the one it replaced; a state that
    // someone else set meanwhile (a connect, a disconnect) stays.
    if (st.ConnectionState() == DebuggerPolling)
        st.SetConnectionState(m_savedState == DebuggerPolling ? int16_t(Connected) : m_savedState);
    RequestStop();
}

void frmDebug::RequestStop()
{
    PollingFlags& f = Ctx().Polling;
    if (!tmrDebug.isActive() && !f.DebugPollingActive)
        return;
    f.DebugStopRequest = true;
    if (!m_requestRunning) {
        StopPolling();
        return;
    }
    // The tick in flight ends polling when its request returns; the controls
    // are free again now (a click meanwhile waits for no request).
    tmrDebug.stop();
    ApplyEnabled();
}

void frmDebug::StopPolling()
{
    PollingFlags& f = Ctx().Polling;
    if (!tmrDebug.isActive() && !f.DebugPollingActive)
        return;
    tmrDebug.stop();
    f.DebugPollingActive = false;
    ShellState& st = Ctx().Shell;
    if (st.ConnectionState() == DebuggerPolling)
        st.SetConnectionState(Connected);
    m_pollCounter = 0;
    st.SetProgressPercent(0);
    st.SetStatusMessage(QString::fromLatin1(StatusIdle));
    ApplyEnabled();
    RedrawProgress();
}

// ---------------------------------------------------------------------------
// Selection

void frmDebug::SelectItem(int k)
{
    if (k < 0 || k >= cmbVariablesList->count())
        return;
    {
        const QSignalBlocker block(cmbVariablesList);
        cmbVariablesList->setCurrentIndex(k);
    }
    ShowSelection(k);
}

void frmDebug::ShowSelection(int k)
{
    const CVarData* r = k >= 1 ? Ctx().Table.At(k) : nullptr;
    if (!r) {
        txtAddress->setText(QStringLiteral("0"));
        lblName->clear();
        LblAddress->setText(QString::fromLatin1(NoItem));
        LblTooltip->setText(QString::fromLatin1(NoItem));
        LblMonitorName->setText(QString::fromLatin1(NoItem));
        LblUnit->setText(QString::fromLatin1(NoUnit));
    } else {
        const CVarDataS& d = r->DataS;
        const QString unit = QString::fromStdString(d.Unit);
        txtAddress->setText(QString::number(d.Address));
        lblName->setText(QString::fromStdString(d.Name));
        LblAddress->setText(txtAddress->text());
        LblTooltip->setText(QString::fromStdString(d.TooltipDecription));
        LblMonitorName->setText(QString::fromStdString(d.MonitorName));
        LblUnit->setText(unit);
        LblUnitE2->setText(unit);
        LblUnitRam->setText(unit);
        const QString display = unit.isEmpty() ? QString() : QStringLiteral("0");
        LblDisplayE2->setText(display);
        LblDisplayRAM->setText(display);
        lblE2Data->setText(QStringLiteral("0"));
        lblRAMData->setText(QStringLiteral("0"));
    }
    txtAddress->setSelection(0, txtAddress->text().isEmpty() ? 0 : 1);
}

void frmDebug::CmbUpdate()
{
    const IDData& table = Ctx().Table;
    const std::optional<double> typed = ParseDecimal(txtAddress->text().toStdString());
    const double a = typed ? *typed : 0.0;
    for (int k = 1; k < table.VarTableEnd; ++k) {
        const CVarData* r = table.At(k);
        if (r && r->DataS.Address == a) {
            SelectItem(k);
            return;
        }
    }
    // No record has this address. Jumping to the first record instead would
    // make the next WRITE go to a word nobody chose (the section count): say
    // so and keep the record that was selected.
    m_shell.Dialog().Message(m_shell.Window(), QString::fromLatin1(NoVariableAtAddress) + txtAddress->text(),
                             MessageIcon::Critical);
    const int current = cmbVariablesList->currentIndex();
    SelectItem(current > 0 ? current : (table.VarTableEnd > 1 ? 1 : 0));
}

bool frmDebug::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
        if (watched == txtAddress && enter) {
            CmbUpdate();
            return true;
        }
        for (int i = 0; i < DitherRows; ++i) {
            QLineEdit* box = TxtDataD[static_cast<size_t>(i)];
            if (watched != box)
                continue;
            if (enter) {
                DitherEnter(i);
                return true;
            }
            SetEditing(*box, true);
        }
    }
    return Page::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------
// Status and messages

void frmDebug::RedrawProgress() { m_shell.RefreshStatus(Ctx().Shell.StatusMessage()); }

void frmDebug::FinishProgress()
{
    ShellState& st = Ctx().Shell;
    st.SetProgressPercent(100);
    RedrawProgress();
    st.SetProgressPercent(0);
}

void frmDebug::EnterDebugState(const char* status)
{
    ShellState& st = Ctx().Shell;
    if (st.ConnectionState() != DebuggerPolling)
        m_savedState = st.ConnectionState();
    st.SetConnectionState(DebuggerPolling);
    st.SetStatusMessage(QString::fromLatin1(status));
    RedrawProgress();
}

void frmDebug::LeaveDebugState(bool succeeded)
{
    ShellState& st = Ctx().Shell;
    if (st.ConnectionState() != DebuggerPolling)
        return; // someone else (a connect, a disconnect) set the state meanwhile
    // A request that went through shows the link works; a failed one leaves
    // the state as it was before the command.
    if (succeeded || m_savedState == DebuggerPolling)
        st.SetConnectionState(Connected);
    else
        st.SetConnectionState(m_savedState);
}

void frmDebug::ShowFailure(const std::string& error)
{
    m_shell.Dialog().Message(m_shell.Window(), QString::fromLatin1(OperationFailed) + QString::fromStdString(error));
}

void frmDebug::ShowDisplayValues(const CVarData& r, bool e2, bool ram)
{
    const bool unit = !r.DataS.Unit.empty();
    if (e2)
        LblDisplayE2->setText(unit ? QString::number(r.DataS.QvsDisplayValueE2) : QString());
    if (ram)
        LblDisplayRAM->setText(unit ? RamText(r.DataS.QvsDisplayValueRAM) : QString());
}

// ---------------------------------------------------------------------------
// The word commands

void frmDebug::ReadCommand() { RunWordCommand(WordOp::ReadE2); }
void frmDebug::WriteCommand() { RunWordCommand(WordOp::WriteE2); }
void frmDebug::DisplayCommand() { RunWordCommand(WordOp::ReadRAM); }
void frmDebug::SetCommand() { RunWordCommand(WordOp::WriteRAM); }

void frmDebug::RunWordCommand(WordOp op)
{
    if (!LinkOpen() || m_requestRunning)
        return;
    const std::optional<int64_t> address = WorkingAddress();
    if (!address) {
        m_shell.Dialog().Message(m_shell.Window(), QString::fromLatin1(InvalidAddress), MessageIcon::Critical);
        return;
    }
    const bool writes = op == WordOp::WriteE2 || op == WordOp::WriteRAM;
    int32_t value = 0;
    if (writes) {
        // The value box takes a whole controller word; anything else is
        // refused before a request is made.
        const std::optional<int32_t> v = WordFromText(TxtData->text());
        if (!v) {
            m_shell.Dialog().Message(m_shell.Window(),
                                     QStringLiteral("Value Not Correct : '") + TxtData->text() +
                                         QStringLiteral("'\rEnter a whole number from 0 to 65535."),
                                     MessageIcon::Warning);
            TxtData->setFocus();
            TxtData->selectAll();
            return;
        }
        value = *v;
    }

    // The labels that wait for the answer: the E2 row, the RAM row, or both
    // for an E2 write (the controller's RAM copy follows it).
    std::vector<QLabel*> marked;
    if (op == WordOp::ReadE2 || op == WordOp::WriteE2)
        marked.push_back(lblE2Data);
    if (op != WordOp::ReadE2)
        marked.push_back(lblRAMData);
    std::vector<QString> before;
    for (QLabel* l : marked) {
        before.push_back(l->text());
        l->setText(QString::fromLatin1(WaitMark));
    }
    static constexpr const char* Status[] = {StatusReading, StatusWriting, StatusDisplaying, StatusSetting};
    EnterDebugState(Status[static_cast<int>(op)]);

    std::string error;
    {
        RequestMark mark(this);
        WordLink& link = Ctx().Words();
        switch (op) {
        case WordOp::ReadE2:
            error = link.ReadE2Word(*address, value);
            break;
        case WordOp::WriteE2:
            error = link.WriteE2Word(*address, value);
            break;
        case WordOp::ReadRAM:
            error = link.ReadRAMWord(*address, value);
            break;
        case WordOp::WriteRAM:
            error = link.WriteRAMWord(*address, value);
            break;
        }
        if (!mark.PageAlive())
            return;
    }
    LeaveDebugState(error.empty());
    if (!error.empty()) {
        // Nothing changed in the controller that the page knows of: the
        // labels show again what they showed.
        for (size_t i = 0; i < marked.size(); ++i)
            marked[i]->setText(before[i]);
        FinishProgress();
        ShowFailure(error);
        return;
    }
    if (CVarData* r = SelectedRecord()) {
        try {
            switch (op) {
            case WordOp::ReadE2:
                r->ReadE2FromCED(value);
                break;
            case WordOp::WriteE2:
                r->DataS.CedValueE2 = value;
                r->ReadE2FromCED(value);
                r->ReadRAMFromCED(value);
                break;
            case WordOp::ReadRAM:
            case WordOp::WriteRAM:
                r->ReadRAMFromCED(value);
                break;
            }
        } catch (const std::exception&) {
            // A display formula that fails leaves the display value as it was.
        }
        ShowDisplayValues(*r, op != WordOp::ReadRAM, op != WordOp::ReadE2);
    }
    FinishProgress();
    for (QLabel* l : marked)
        l->setText(QString::number(value));
}

// ---------------------------------------------------------------------------
// Polling

void frmDebug::MonitorCommand()
{
    ShellState& st = Ctx().Shell;
    PollingFlags& f = Ctx().Polling;
    if (tmrDebug.isActive()) {
        if (st.ConnectionState() == DebuggerPolling)
            st.SetConnectionState(Connected);
        RequestStop();
        return;
    }
    if (!LinkOpen() || m_requestRunning)
        return;
    if (!WorkingAddress()) {
        m_shell.Dialog().Message(m_shell.Window(), QString::fromLatin1(InvalidAddress), MessageIcon::Critical);
        return;
    }
    if (st.ConnectionState() != DebuggerPolling)
        m_savedState = st.ConnectionState();
    st.SetConnectionState(DebuggerPolling);
    f.DebugStopRequest = false;
    tmrDebug.start();
    m_pollCounter = 0;
    st.SetProgressPercent(0);
    st.SetStatusMessage(QString::fromLatin1(StatusIdle));
    ApplyEnabled();
    RedrawProgress();
}

void frmDebug::PollTick()
{
    PollingFlags& f = Ctx().Polling;
    ShellState& st = Ctx().Shell;
    if (m_requestRunning)
        return; // a request of this page is still waiting for its reply
    if (f.DebugStopRequest) {
        StopPolling();
        return;
    }
    if (f.OthersThanDebugPolling())
        return; // another page still finishes its polling
    const std::optional<int64_t> address = WorkingAddress();
    if (!address) {
        StopPolling();
        return;
    }
    f.DebugPollingActive = true;
    st.SetConnectionState(DebuggerPolling);
    int32_t value = 0;
    std::string error;
    {
        RequestMark mark(this);
        error = Ctx().Words().ReadRAMWord(*address, value);
        if (!mark.PageAlive())
            return;
    }
    if (f.DebugStopRequest || !tmrDebug.isActive()) {
        // Stopped while the request waited (MONITOR, the page left, a
        // disconnect, a logout): polling ends without a report.
        if (error.empty())
            lblRAMData->setText(QString::number(value));
        StopPolling();
        return;
    }
    if (!error.empty()) {
        // The timer stops before the message is shown, so the failure is
        // reported once however long the box stays open.
        tmrDebug.stop();
        f.DebugPollingActive = false;
        lblRAMData->setText(QStringLiteral("0"));
        m_savedState = Disconnected;
        const QString text = QString::fromStdString(error);
        st.SetLastFailure(text);
        st.SetConnectionState(Disconnected);
        m_pollCounter = 0;
        st.SetProgressPercent(0);
        st.SetStatusMessage(QString::fromLatin1(StatusIdle));
        ApplyEnabled();
        RedrawProgress();
        ShowFailure(error);
        return;
    }
    lblRAMData->setText(QString::number(value));
    if (CVarData* r = SelectedRecord()) {
        try {
            r->ReadRAMFromCED(value);
        } catch (const std::exception&) {
        }
        ShowDisplayValues(*r, false, true);
    }
    st.SetStatusMessage(QString::fromLatin1(StatusMonitoring));
    ++m_pollCounter;
    int16_t percent = RoundToInt16(m_pollCounter * 100.0 / 10.0);
    if (percent > 99) {
        percent = 100;
        m_pollCounter = 0;
    }
    st.SetProgressPercent(percent);
    RedrawProgress();
}

// ---------------------------------------------------------------------------
// Restore default

void frmDebug::ResetCommand()
{
    if (!LinkOpen() || m_requestRunning)
        return;
    ShellState& st = Ctx().Shell;
    const int16_t before = st.ConnectionState();
    QWidget* window = m_shell.Window();
    QPointer<QWidget> guard(window);
    if (window)
        window->setEnabled(false);
    st.SetProgressPercent(0);
    std::string error;
    {
        RequestMark mark(this);
        error = Ctx().Image().RestoreDefaultSetting();
        if (!mark.PageAlive())
            return;
    }
    // The transfer left the state at Busy: back to the one before.
    if (st.ConnectionState() == Busy)
        st.SetConnectionState(before == Disconnected || before == Busy ? int16_t(Connected) : before);
    st.SetProgressPercent(0);
    st.SetStatusMessage(QString::fromLatin1(StatusIdle));
    if (guard)
        guard->setEnabled(true);
    RedrawProgress();
    if (!error.empty())
        m_shell.Dialog().Message(window, QString::fromLatin1(ResetFailed));
    else
        m_shell.Dialog().Message(window, QString::fromLatin1(PowerResetNotice), MessageIcon::Information);
}

// ---------------------------------------------------------------------------
// Dither row

void frmDebug::BindDither()
{
    const CVarData* d = DitherRecord();
    const auto n = static_cast<size_t>(DitherRow);
    if (!d) {
        LblData[n]->setText(QStringLiteral("Label"));
        return;
    }
    LblData[n]->setText(QString::fromStdString(d->DataS.Name));
    m_adjustingDither = true;
    hscData[n]->setRange(d->DataS.CedValE2Min, d->DataS.CedValE2Max);
    hscData[n]->setValue(d->DataS.CedValueRAM);
    m_adjustingDither = false;
    TxtDataD[n]->setText(QString::number(d->DataS.CedValueRAM));
    SetEditing(*TxtDataD[n], false);
}

void frmDebug::SetEditing(QLineEdit& box, bool editing)
{
    QPalette pal = box.palette();
    pal.setColor(QPalette::Base, editing ? RsvColorFromOle(EditingColour) : QColor(Qt::white));
    box.setPalette(pal);
}

void frmDebug::ShowDitherValue(int row, int32_t value)
{
    const auto n = static_cast<size_t>(row);
    TxtDataD[n]->setText(QString::number(value));
    m_adjustingDither = true;
    hscData[n]->setValue(value);
    m_adjustingDither = false;
}

void frmDebug::DitherEnter(int row)
{
    if (row < 0 || row >= DitherRows)
        return;
    const auto n = static_cast<size_t>(row);
    CVarData* d = row == DitherRow ? DitherRecord() : nullptr;
    QLineEdit& box = *TxtDataD[n];
    if (!d) {
        SetEditing(box, false);
        return;
    }
    QString text = box.text();
    if (TextStringIsInteger(text) == 0)
        text = QString::number(d->DataS.CedValueE2);
    int32_t value = d->DataS.CedValueE2;
    try {
        value = TextToInt32(text.toStdString());
    } catch (const std::exception&) {
        // Not reachable after the check above; the stored value stays.
    }
    const QScrollBar& bar = *hscData[n];
    if (value > bar.maximum())
        value = bar.maximum();
    else if (value < bar.minimum())
        value = bar.minimum();
    SetEditing(box, false);
    d->DataS.CedValueE2 = value;
    ShowDitherValue(row, value);
}

void frmDebug::DitherReadCommand()
{
    CVarData* d = DitherRecord();
    if (!d || !LinkOpen() || m_requestRunning)
        return;
    int32_t value = 0;
    std::string error;
    {
        RequestMark mark(this);
        error = Ctx().Words().ReadRAMWord(d->DataS.Address, value);
        if (!mark.PageAlive())
            return;
    }
    RedrawProgress();
    if (!error.empty()) {
        // A failed read keeps the value shown; the user is told why.
        ShowFailure(error);
        return;
    }
    d->DataS.CedValueE2 = value;
    ShowDitherValue(DitherRow, value);
}

void frmDebug::DitherUpdateCommand()
{
    CVarData* d = DitherRecord();
    if (!d || !LinkOpen() || m_requestRunning)
        return;
    // UPDATE sends what the box shows: a value typed without Enter is taken
    // first (UPDATE is a button, it takes no focus from the box).
    DitherEnter(DitherRow);
    std::string error;
    {
        RequestMark mark(this);
        error = Ctx().Words().WriteRAMWord(d->DataS.Address, d->DataS.CedValueE2);
        if (!mark.PageAlive())
            return;
    }
    RedrawProgress();
    if (!error.empty())
        ShowFailure(error);
}
