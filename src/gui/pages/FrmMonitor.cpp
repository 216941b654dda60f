#include "gui/pages/FrmMonitor.h"

#include "controls/JoyMonitor.h"
#include "core/config/ConfigModel.h"
#include "core/config/JoyList.h"
#include "core/link/IDData.h"
#include "core/state/CoreContext.h"
#include "core/state/PollingLoop.h"
#include "gui/shell/Shell.h"

#include <QFileInfo>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QTimer>

#include <algorithm>
#include <limits>

namespace {

using monitor::MakeLabel;

constexpr int LeftX = 4;
constexpr int LeftW = 224;
// The system picture: joystick column, line, valve section, solenoid,
// monitors, one row per section.
constexpr int JoyX = 238;
constexpr int JoyW = 100;
constexpr int ValveX = 384;
constexpr int ValveW = 196;
constexpr int ValveH = 122;
constexpr int MagX = 584;
constexpr int MagW = 36;
constexpr int MonX = 624;
constexpr int RowTop = 12;

QLabel* Boxed(QLabel* l, Qt::Alignment align = Qt::AlignCenter)
{
    l->setFrameShape(QFrame::Box);
    l->setAlignment(align);
    return l;
}

QString Indexed(const char* name, int i) { return QString::fromLatin1(name) + QLatin1Char('_') + QString::number(i); }

int16_t ToInt16(int32_t v)
{
    return static_cast<int16_t>(
        std::clamp<int32_t>(v, std::numeric_limits<int16_t>::min(), std::numeric_limits<int16_t>::max()));
}

// The row pitch of the system picture for n sections.
int RowPitch(int n) { return n <= 2 ? 172 : 126; }

} // namespace

FrmMonitor::FrmMonitor(Shell& shell, QWidget* parent) : Page(shell, 0, 0, parent)
{
    setObjectName(QStringLiteral("FrmMonitor"));
    setWindowTitle(QStringLiteral("Monitor"));
    CoreContext& ctx = m_shell.Context();

    m_loop = new PollingLoop(PollingLoop::Owner::Monitor, ctx.Polling, ctx.Shell, QString::fromLatin1(StatusText),
                             true, this);
    m_loop->Timer().setObjectName(QStringLiteral("TmrMonitor"));
    m_loop->Link = [this]() -> WordLink* { return &m_shell.Context().Words(); };
    m_loop->RefreshStatus = [this] { m_shell.RefreshStatus(m_shell.Context().Shell.StatusMessage()); };
    m_loop->Items = [this] {
        std::vector<PollingLoop::Item> items;
        const auto word = [&](Key k, void (FrmMonitor::*show)(int32_t)) {
            CVarData* r = Rec(k);
            if (!r)
                return;
            const int16_t index = m_shell.Context().Table.Index(k);
            items.push_back({r->DataS.Address,
                             [this, index, show](int32_t w) {
                                 if (CVarData* rec = m_shell.Context().Table.At(index))
                                     rec->ReadRAMFromCED(w);
                                 (this->*show)(w);
                             },
                             false});
        };
        word(Key::QVS_MAIN_ERROR, &FrmMonitor::UpdateErrObj);
        word(Key::QVS_HSD_MONITOR, &FrmMonitor::UpdateActiveOutput);
        word(Key::QVS_DIGIT_MONITOR, &FrmMonitor::UpdateActiveDin);
        for (JoyMonitor* m : PollOrder()) {
            // A monitor that never got a record has nothing to poll.
            if (m->isHidden() || !m->MonitorEnable() || !m->Carica())
                continue;
            const int16_t index = m->Carica()->VarID;
            CVarData* r = m_shell.Context().Table.At(index);
            if (!r)
                continue;
            items.push_back({r->DataS.Address,
                             [this, m, index](int32_t w) {
                                 CVarData* rec = m_shell.Context().Table.At(index);
                                 if (!rec)
                                     return;
                                 rec->ReadRAMFromCED(w);
                                 double v = rec->DataS.QvsDisplayValueRAM;
                                 m->UpdateDisplay(v);
                             },
                             true});
        }
        return items;
    };

    const QString supply = ctx.ResourcePath(QStringLiteral("bmp/Magnet/VBB.jpg"));
    if (QFileInfo::exists(supply))
        m_supplyPicture.load(supply);
    const QString valve = ctx.ResourcePath(QStringLiteral("bmp/Ced/RSV200.jpg"));
    if (QFileInfo::exists(valve))
        m_valvePicture.load(valve);
    const QString solenoid = ctx.ResourcePath(QStringLiteral("bmp/Magnet/THOMAS.jpg"));
    if (QFileInfo::exists(solenoid))
        m_solenoidPicture.load(solenoid);
    m_joyList = config::LoadJoyCatalogue(ctx.ResourcePath(QString())).Entries;

    CreateControls();

    DrawJoyMonitorEventObj.Action = [this] { MonitorDrawJoy(); };
    DrawMagMonitorEventObj.Action = [this] { MonitorDrawMag(); };
    ctx.Polling.MonitorPollingActive = false;
    for (JoyMonitor* m : IMeasure) {
        m->setThMin(50);
        m->setThMax(50);
    }
    RefreshObject();
    SetObject();
    DrawVisibleObject();
    MonitorDrawJoy();
    MonitorDrawMag();
    RefreshColour();
}

FrmMonitor::~FrmMonitor()
{
    // The triggers may outlive the page's drawing in the main window's hands.
    DrawJoyMonitorEventObj.Action = nullptr;
    DrawMagMonitorEventObj.Action = nullptr;
    m_loop->Timer().stop();
}

const DrawBarProfile& FrmMonitor::Profile() const
{
    static const DrawBarProfile profile{.HandlesConnected = false, .PollingState = MonitorPolling};
    return profile;
}

QTimer& FrmMonitor::TmrMonitor() { return m_loop->Timer(); }

void FrmMonitor::CreateControls()
{
    QFont bold = font();
    bold.setBold(true);

    // --- Digital inputs ---------------------------------------------------
    FrameDin = new QGroupBox(QStringLiteral("Digital Inputs"), this);
    FrameDin->setObjectName(QStringLiteral("FrameDin"));
    FrameDin->setGeometry(LeftX, 2, LeftW, 132);
    const std::array<std::pair<int, const char*>, 16> din = {{{0, " AI_1"},
                                                              {1, "A1_2"},
                                                              {2, "AI_3"},
                                                              {3, "AI_4"},
                                                              {4, " DI_1"},
                                                              {5, " DI_2"},
                                                              {6, " DI_3"},
                                                              {7, " DI_4"},
                                                              {17, " AI 2"},
                                                              {20, " DI 3"},
                                                              {21, " DI 4"},
                                                              {22, " DI 5"},
                                                              {23, " DI 6"},
                                                              {24, " AI  1"},
                                                              {25, " AI 3"},
                                                              {26, " AI 4"}}};
    int k = 0;
    for (const auto& [index, caption] : din) {
        QLabel* l = MakeLabel(FrameDin, Indexed("lblDin", index), QString::fromLatin1(caption),
                              QRect(8 + (k % 4) * 52, 22 + (k / 4) * 26, 48, 20));
        Boxed(l);
        monitor::SetColours(l, monitor::White, monitor::WindowText);
        lblDin[static_cast<size_t>(index)] = l;
        ++k;
    }
    const auto functionRow = [&](int row, const char* nameObj, const char* caption, const QString& pinObj) {
        QLabel* name = MakeLabel(FrameDin, QString::fromLatin1(nameObj), QString::fromLatin1(caption),
                                 QRect(8, 22 + row * 26, 90, 22));
        name->setAlignment(Qt::AlignVCenter | Qt::AlignLeft);
        QLabel* pin = Boxed(MakeLabel(FrameDin, pinObj, QString::fromLatin1(config::PinNames[0]),
                                      QRect(100, 22 + row * 26, 116, 22)));
        monitor::SetColours(pin, monitor::White, monitor::WindowText);
        pin->setToolTip(QStringLiteral("Pin connection"));
        return std::pair{name, pin};
    };
    std::tie(LblPinFL11, LblPinFL[0]) = functionRow(0, "LblPinFL11", "Floating 1", Indexed("LblPinFL", 0));
    std::tie(LblPinFL21, LblPinFL[1]) = functionRow(1, "LblPinFL21", "Floating 2", Indexed("LblPinFL", 1));
    std::tie(LblPinDM1, LblPinDM) = functionRow(2, "LblPinDM1", "Man Present", QStringLiteral("LblPinDM"));
    std::tie(LblPinSlow1, LblPinSlow) = functionRow(3, "LblPinSlow1", "Slow", QStringLiteral("LblPinSlow"));

    // --- Power outputs ----------------------------------------------------
    FramePowerOut = new QGroupBox(QStringLiteral("Power Outputs"), this);
    FramePowerOut->setObjectName(QStringLiteral("FramePowerOut"));
    FramePowerOut->setGeometry(LeftX, 138, LeftW, 56);
    for (int i = 0; i < 4; ++i) {
        const QString n = QString::number(i + 1);
        lblHSDA[static_cast<size_t>(i)] = Boxed(MakeLabel(FramePowerOut, Indexed("lblHSDA", i), n + QLatin1Char('A'),
                                                          QRect(10 + (i % 2) * 104, 22 + (i / 2) * 30, 46, 24)));
        lblHSDB[static_cast<size_t>(i)] = Boxed(MakeLabel(FramePowerOut, Indexed("lblHSDB", i), n + QLatin1Char('B'),
                                                          QRect(60 + (i % 2) * 104, 22 + (i / 2) * 30, 46, 24)));
        lblHSDA[static_cast<size_t>(i)]->setFont(bold);
        lblHSDB[static_cast<size_t>(i)]->setFont(bold);
        SetLit(lblHSDA[static_cast<size_t>(i)], false);
        SetLit(lblHSDB[static_cast<size_t>(i)], false);
    }

    // --- Ready lamp ---------------------------------------------------------
    FrmErr = new QGroupBox(this);
    FrmErr->setObjectName(QStringLiteral("FrmErr"));
    FrmErr->setGeometry(LeftX, 198, LeftW, 48);
    ShpErr = new MonitorShape(FrmErr);
    ShpErr->setObjectName(QStringLiteral("ShpErr"));
    ShpErr->setGeometry(12, 11, 28, 26);
    LblErr = MakeLabel(FrmErr, QStringLiteral("LblErr"), QString::fromLatin1(NotReadyText), QRect(50, 11, 166, 26));
    QFont big = bold;
    big.setPointSizeF(big.pointSizeF() * 1.5);
    LblErr->setFont(big);
    LblErr->setAlignment(Qt::AlignVCenter | Qt::AlignLeft);
    ShpErr->SetFillColor(monitor::Red);
    monitor::SetTextColour(LblErr, monitor::Red);

    // --- Supply -------------------------------------------------------------
    ImgVbb = MakeLabel(this, QStringLiteral("ImgVbb"), QString(), QRect(LeftX + 4, 254, 48, 48));
    ImgVbb->setScaledContents(true);
    ImgVbb->setToolTip(QStringLiteral("Supply voltage"));
    JoyMonitorVbb = new JoyMonitor(this);
    JoyMonitorVbb->setObjectName(QStringLiteral("JoyMonitorVbb"));
    JoyMonitorVbb->move(LeftX, 306);

    // --- System picture -------------------------------------------------------
    ImgCED = MakeLabel(this, QStringLiteral("ImgCED"), QString(), QRect(ValveX, RowTop, ValveW, ValveH));
    ImgCED->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    lblDRCType = Boxed(MakeLabel(this, QStringLiteral("lblDRCType"), QStringLiteral("DRC200"),
                                 QRect(ValveX, RowTop, 80, 20)));
    for (size_t i = 0; i < 2; ++i) {
        const int ii = static_cast<int>(i);
        lblJoy[i] = Boxed(MakeLabel(this, Indexed("lblJoy", ii), QStringLiteral("Joystick %1").arg(ii + 1), QRect()));
        lblJoy[i]->setFont(bold);
        JoyDisplay[i] = MakeLabel(this, Indexed("JoyDisplay", ii), QString(), QRect());
        JoyDisplay[i]->setScaledContents(true);
        JoyDisplay[i]->setFrameShape(QFrame::StyledPanel);
        LblPin[i] = Boxed(MakeLabel(this, Indexed("LblPin", ii), QStringLiteral("D1.10 - AI_1"), QRect()));
        lblDinLJoy[i] = Boxed(MakeLabel(this, Indexed("lblDinLJoy", ii), QString::fromLatin1(config::PinNames[0]), QRect()));
        lblDinHJoy[i] = Boxed(MakeLabel(this, Indexed("lblDinHJoy", ii), QString::fromLatin1(config::PinNames[0]), QRect()));
        monitor::SetColours(lblDinLJoy[i], monitor::White, monitor::WindowText);
        monitor::SetColours(lblDinHJoy[i], monitor::White, monitor::WindowText);
        lblCurrent[i] = Boxed(MakeLabel(this, Indexed("lblCurrent", ii), QStringLiteral("Section %1").arg(ii + 1), QRect()));
        lblCurrent[i]->setFont(bold);

        JoyMonitorVal[i] = new JoyMonitor(this);
        JoyMonitorVal[i]->setObjectName(Indexed("JoyMonitorVal", ii));
        JoyMonitorRed[i] = new JoyMonitor(this);
        JoyMonitorRed[i]->setObjectName(Indexed("JoyMonitorRed", ii));
        IMeasure[i] = new JoyMonitor(this);
        IMeasure[i]->setObjectName(Indexed("IMeasure", ii));
        connect(JoyMonitorVal[i], &JoyMonitor::CheckEnabled, this, [this, ii](int16_t&) { OnJoyMonitorEvent(ii); },
                Qt::DirectConnection);
        connect(JoyMonitorVal[i], &JoyMonitor::UpdateValue, this, [this, ii](int16_t&) { OnJoyMonitorEvent(ii); },
                Qt::DirectConnection);
    }
    for (size_t i = 0; i < 4; ++i) {
        const int ii = static_cast<int>(i);
        const QString n = QString::number(ii + 1);
        MagADisplay[i] = MakeLabel(this, Indexed("MagADisplay", ii), QString(), QRect());
        MagADisplay[i]->setScaledContents(true);
        lblValveA[i] = Boxed(MakeLabel(this, Indexed("lblValveA", ii), n + QLatin1Char('A'), QRect()));
        lblValveB[i] = Boxed(MakeLabel(this, Indexed("lblValveB", ii), n + QLatin1Char('B'), QRect()));
        lblValveA[i]->setFont(bold);
        lblValveB[i]->setFont(bold);
        SetLit(lblValveA[i], false);
        SetLit(lblValveB[i], false);
        Line[i] = new MonitorLine(this);
        Line[i]->setObjectName(QStringLiteral("Line") + QString::number(ii));
    }
    LayoutSystem(2);
}

void FrmMonitor::LayoutSystem(int n)
{
    const int pitch = RowPitch(n);
    const int valveH = std::min(ValveH, pitch - 8);
    for (size_t i = 0; i < 4; ++i) {
        const int y0 = RowTop + static_cast<int>(i) * pitch;
        const int mid = y0 + valveH / 2 + 4;
        if (i < 2) {
            lblJoy[i]->setGeometry(JoyX, y0, JoyW, 20);
            const int pic = std::min(92, pitch - 52);
            JoyDisplay[i]->setGeometry(JoyX + (JoyW - pic) / 2, y0 + 22, pic, pic);
            LblPin[i]->setGeometry(JoyX, y0 + 24 + pic, JoyW, 20);
            lblDinLJoy[i]->setGeometry(JoyX, y0 + 24 + pic, JoyW / 2 - 1, 20);
            lblDinHJoy[i]->setGeometry(JoyX + JoyW / 2 + 1, y0 + 24 + pic, JoyW / 2 - 1, 20);
            lblCurrent[i]->setGeometry(MonX, y0, 199, 20);
            JoyMonitorVal[i]->move(MonX, y0 + 22);
            JoyMonitorRed[i]->move(MonX, y0 + 22);
            IMeasure[i]->move(MonX, y0 + 72);
        }
        Line[i]->SetEnds(QPoint(JoyX + JoyW + 2, mid), QPoint(ValveX + 14, mid), 3);
        lblValveA[i]->setGeometry(ValveX + 6, y0 + 6, 34, 20);
        lblValveB[i]->setGeometry(ValveX + ValveW - 40, y0 + 6, 34, 20);
        MagADisplay[i]->setGeometry(MagX, mid - MagW / 2, MagW, MagW);
    }
    // The valve block: one section picture per row.
    const int rows = std::clamp(n, 1, 4);
    const int height = (rows - 1) * pitch + valveH;
    ImgCED->setGeometry(ValveX, RowTop + 4, ValveW, height);
    QPixmap block(ValveW, height);
    block.fill(Qt::transparent);
    if (!m_valvePicture.isNull()) {
        QPainter p(&block);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        const QPixmap section = m_valvePicture.scaled(ValveW, valveH, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        for (int i = 0; i < rows; ++i)
            p.drawPixmap((ValveW - section.width()) / 2, i * pitch, section);
    }
    ImgCED->setPixmap(block);
    ImgCED->lower();
    for (MonitorLine* l : Line)
        l->raise();
    for (QLabel* l : lblValveA)
        l->raise();
    for (QLabel* l : lblValveB)
        l->raise();
}

std::vector<JoyMonitor*> FrmMonitor::PollOrder() const
{
    return {JoyMonitorVal[0], JoyMonitorVal[1], JoyMonitorVbb, IMeasure[0], IMeasure[1], JoyMonitorRed[0],
            JoyMonitorRed[1]};
}

CVarData* FrmMonitor::Rec(Key k) const { return m_shell.Context().Table.Record(k); }

bool FrmMonitor::ControllerValues() const
{
    const int16_t state = m_shell.Context().Shell.ConnectionState();
    return state == Connected || state == MonitorPolling;
}

int32_t FrmMonitor::ValueOf(Key k) const
{
    const CVarData* r = Rec(k);
    if (!r)
        return 0;
    return ControllerValues() ? r->DataS.CedValueE2 : r->DataS.QvsDisplayValueE2;
}

int32_t FrmMonitor::DisplayValueOf(Key k) const
{
    const CVarData* r = Rec(k);
    return r ? r->DataS.QvsDisplayValueE2 : 0;
}

// ---------------------------------------------------------------------------
// Page protocol

void FrmMonitor::DisableTimer() { m_loop->Disable(); }

bool FrmMonitor::StatusTimerForm() const { return m_shell.Context().Polling.MonitorPollingActive; }

void FrmMonitor::Activated()
{
    CoreContext& ctx = m_shell.Context();
    ctx.Polling.DiagnosticStopRequest = true;
    ctx.Polling.MonitorStopRequest = false;
    DrawVisibleObject();
    // Polling state: the page was left and shown again while its last cycle
    // was still waiting for a reply; it simply goes on polling.
    const int16_t state = ctx.Shell.ConnectionState();
    if (state == Connected || state == MonitorPolling) {
        RefreshObject();
        DrawVisibleObject();
        const CVarData* sections = Rec(Key::QVS_NUM_PROP_REG);
        for (JoyMonitor* m : PollOrder()) {
            if (m->isHidden() || !m->Carica() || !sections)
                continue;
            if (CVarData* r = ctx.Table.At(m->Carica()->VarID))
                r->DataS.CurrentDRCSystem = ToInt16(sections->DataS.CedValueE2);
        }
        m_loop->Enable();
    } else {
        m_loop->Disable();
        RefreshObject();
    }
    // Pictures and colours may have changed while the page was away.
    MonitorDrawJoy();
    MonitorDrawMag();
    RefreshColour();
}

void FrmMonitor::Deactivated()
{
    ShellState& st = m_shell.Context().Shell;
    m_shell.Context().Polling.MonitorStopRequest = true;
    if (st.ConnectionState() == MonitorPolling)
        st.SetConnectionState(Connected);
}

QString FrmMonitor::ReadMonitorVar() { return QString::fromStdString(m_loop->ReadCycle()); }

// ---------------------------------------------------------------------------
// Live words

void FrmMonitor::SetLit(QLabel* label, bool lit)
{
    if (lit)
        monitor::SetColours(label, monitor::Blue, monitor::White);
    else
        monitor::SetColours(label, monitor::White, monitor::WindowText);
}

void FrmMonitor::UpdateErrObj(int32_t value)
{
    const int32_t colour = value != 0 ? monitor::Red : monitor::Blue;
    ShpErr->SetFillColor(colour);
    monitor::SetTextColour(LblErr, colour);
    LblErr->setText(QString::fromLatin1(value != 0 ? NotReadyText : ReadyText));
}

void FrmMonitor::UpdateActiveOutput(int32_t value)
{
    for (size_t i = 0; i < 4; ++i) {
        const bool a = (value >> (2 * i)) & 1;
        const bool b = (value >> (2 * i + 1)) & 1;
        SetLit(lblValveA[i], a);
        SetLit(lblHSDA[i], a);
        SetLit(lblValveB[i], b);
        SetLit(lblHSDB[i], b);
    }
}

void FrmMonitor::UpdateActiveDin(int32_t value)
{
    std::vector<QLabel*> labels = {lblDinLJoy[0], lblDinHJoy[0], lblDinLJoy[1], lblDinHJoy[1],
                                   LblPinDM,      LblPinFL[0],   LblPinFL[1],   LblPinSlow};
    for (QLabel* l : labels) {
        const int n = l->property("Tag").toInt();
        SetLit(l, n > 0 && n <= 16 && ((value >> (n - 1)) & 1));
    }
}

void FrmMonitor::OnJoyMonitorEvent(int i)
{
    const auto k = static_cast<size_t>(i);
    if (!(IMeasure[k]->MonitorEnable() && JoyMonitorVal[k]->MonitorEnable())) {
        SetLit(lblValveA[k], false);
        SetLit(lblValveB[k], false);
    }
}

// ---------------------------------------------------------------------------
// Redraw from the parameter set

void FrmMonitor::RefreshObject()
{
    // The float currents are configuration values that the Configure page
    // edits; this page only shows live values and leaves them as they are.
    const auto load = [this](JoyMonitor* m, Key k) {
        if (CVarData* r = Rec(k)) {
            try {
                m->setCarica(r->DataS);
            } catch (const std::exception&) {
            }
        }
    };
    switch (ValueOf(Key::QVS_NUM_PROP_REG)) {
    case 1:
        load(JoyMonitorVal[0], Key::QVS_JOY0_VALUE);
        load(JoyMonitorVbb, Key::QVS_VBB_400);
        load(IMeasure[0], Key::QVS_I0_MEASURE_400);
        break;
    case 2:
        load(JoyMonitorVal[0], Key::QVS_JOY0_VALUE);
        load(JoyMonitorVal[1], Key::QVS_JOY1_VALUE);
        load(JoyMonitorVbb, Key::QVS_VBB_400);
        load(IMeasure[0], Key::QVS_I0_MEASURE_400);
        load(IMeasure[1], Key::QVS_I1_MEASURE_400);
        break;
    default:
        break;
    }
    SetObject();
}

void FrmMonitor::SetObject()
{
    for (size_t i = 0; i < 2; ++i) {
        JoyMonitorVal[i]->setMin(0);
        JoyMonitorVal[i]->setMax(100);
        JoyMonitorVal[i]->setDataFormat(QStringLiteral("####0"));
        JoyMonitorVal[i]->setActiveProgressBar(true);
        JoyMonitorRed[i]->setMin(0);
        JoyMonitorRed[i]->setMax(100);
        JoyMonitorRed[i]->setDataFormat(QStringLiteral("####0"));
        JoyMonitorRed[i]->setActiveProgressBar(true);
        JoyMonitorRed[i]->setMonitorEnable(false);
        JoyMonitorRed[i]->hide();
        IMeasure[i]->setMin(0);
        IMeasure[i]->setDataFormat(QStringLiteral("###0"));
        IMeasure[i]->setActiveProgressBar(true);
    }
    // Full scale of a current monitor: the largest maximum current of its
    // coils in normal and slow mode (the first wins a tie).
    const auto largest = [this](std::initializer_list<Key> keys) {
        bool any = false;
        int32_t best = 0;
        for (Key k : keys) {
            const CVarData* r = Rec(k);
            if (!r)
                continue;
            if (!any || r->DataS.QvsDisplayValueE2 > best)
                best = r->DataS.QvsDisplayValueE2;
            any = true;
        }
        return ToInt16(best);
    };
    IMeasure[0]->setMax(largest({Key::QVS_I0_MAX, Key::QVS_I1_MAX, Key::QVS_I0_SDM_MAX, Key::QVS_I1_SDM_MAX}));
    IMeasure[1]->setMax(largest({Key::QVS_I2_MAX, Key::QVS_I3_MAX, Key::QVS_I2_SDM_MAX, Key::QVS_I3_SDM_MAX}));
    JoyMonitorVbb->setMin(0);
    JoyMonitorVbb->setMax(30000);
    JoyMonitorVbb->setDataFormat(QStringLiteral("####0.0"));
    JoyMonitorVbb->setActiveProgressBar(false);
}

void FrmMonitor::DrawVisibleObject()
{
    DrawActualObject(ValueOf(Key::QVS_NUM_PROP_REG), ValueOf(Key::QVS_SYSTEM_TYPE));
    SetPinLabels();
}

void FrmMonitor::DrawActualObject(int n, int s)
{
    // 1. Everything visible (the hidden redraw triggers are not widgets).
    for (QWidget* w : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        w->show();
    LayoutSystem(n);

    // 2. The valve picture and the model it stands for.
    const QStringList& models = m_shell.ControllerModelNames();
    const int model = s == 1 ? n - 1 : n + 3;
    ImgCED->setToolTip(n >= 1 && n <= 4 && model >= 0 && model < models.size() ? models[model] : QString());
    ImgCED->setVisible(n >= 1);

    // 3. Elements of the control arrays only for the sections there are.
    const auto upTo = [n](auto& array) {
        for (size_t i = 0; i < array.size(); ++i)
            if (array[i])
                array[i]->setVisible(static_cast<int>(i) < n);
    };
    upTo(lblDin);
    upTo(LblPinFL);
    upTo(lblHSDA);
    upTo(lblHSDB);
    upTo(JoyDisplay);
    upTo(lblJoy);
    upTo(LblPin);
    upTo(lblDinLJoy);
    upTo(lblDinHJoy);
    upTo(MagADisplay);
    upTo(lblValveA);
    upTo(lblValveB);
    upTo(lblCurrent);
    upTo(JoyMonitorVal);
    upTo(IMeasure);
    for (JoyMonitor* m : JoyMonitorRed)
        m->hide();
    // A float function without its pin is not drawn either.
    LblPinFL21->setVisible(!LblPinFL[1]->isHidden());
    Line[1]->setVisible(n > 1);
    Line[2]->setVisible(n > 2);
    Line[3]->setVisible(n > 3);
    Line[0]->setVisible(n > 0);

    // 4. Power outputs OUT_1..OUT_4 of the first two sections.
    for (size_t i = 0; i < 4; ++i) {
        lblHSDA[i]->setVisible(i < 2);
        lblHSDB[i]->setVisible(i < 2);
    }
    lblHSDA[0]->setToolTip(QStringLiteral("C1.04 (OUT_1)"));
    lblHSDA[1]->setToolTip(QStringLiteral("C1.07 (OUT_3)"));
    lblHSDB[0]->setToolTip(QStringLiteral("C1.05 (OUT_2)"));
    lblHSDB[1]->setToolTip(QStringLiteral("C1.08 (OUT_4)"));

    // 5. The raw input labels are not shown.
    for (size_t i = 0; i < 8; ++i)
        lblDin[i]->hide();

    // 6. Function pins as configured (SetPinLabels refines them).
    const int32_t w = DisplayValueOf(Key::QVS_FLOAT_SLOW_CONFIG);
    LblPinDM->setText(QString::fromStdString(
        config::PinName(config::PinIndexFromCode(DisplayValueOf(Key::QVS_DEAD_MAN_CFG) & 0x000F))));
    LblPinFL[0]->setText(QString::fromStdString(config::PinName(config::PinIndexFromCode((w & 0x00F0) / 16))));
    LblPinFL[1]->setText(QString::fromStdString(config::PinName(config::PinIndexFromCode((w & 0x0F00) / 256))));
    LblPinSlow->setText(QString::fromStdString(config::PinName(config::PinIndexFromCode((w & 0xF000) / 4096))));

    // 7. No model label.
    lblDRCType->hide();
}

void FrmMonitor::SetPinLabels()
{
    // Function pins: the tag is the input number the label shows.
    const int32_t w = ValueOf(Key::QVS_FLOAT_SLOW_CONFIG);
    const auto pin = [](QLabel* l, int32_t code) {
        const int n = config::PinIndexFromCode(code);
        l->setProperty("Tag", n);
        l->setText(QString::fromStdString(config::PinName(n)));
        l->setToolTip(QStringLiteral("Pin connection"));
    };
    pin(LblPinDM, ValueOf(Key::QVS_DEAD_MAN_CFG) & 0x000F);
    pin(LblPinFL[0], (w & 0x00F0) / 16);
    pin(LblPinFL[1], (w & 0x0F00) / 256);
    pin(LblPinSlow, (w & 0xF000) / 4096);
    SetJoystickPins(0);
    SetJoystickPins(1);
}

void FrmMonitor::SetJoystickPins(int j)
{
    const auto k = static_cast<size_t>(j);
    const Key configKey = j == 0 ? Key::QVS_JOY_0_CONFIG : Key::QVS_JOY_1_CONFIG;
    const Key digitalKey = j == 0 ? Key::QVS_JOY0_DGT_INPUT : Key::QVS_JOY1_DGT_INPUT;
    const Key analogKey = j == 0 ? Key::QVS_JOY0_AN_INPUT : Key::QVS_JOY1_AN_INPUT;
    const int32_t c = ValueOf(configKey);
    const bool shown = !LblPin[k]->isHidden() || !lblDinLJoy[k]->isHidden();
    const auto name = [](int32_t code) {
        return code == 0 ? QString::fromLatin1(NotConnectedShort)
                         : QString::fromStdString(config::PinName(config::PinIndexFromCode(code)));
    };
    if (c & 0x10) {
        // A joystick on two digital inputs: one label per side.
        const int32_t w = ValueOf(digitalKey);
        const int32_t h = (w & 0xF0) / 16;
        const int32_t l = w & 0x0F;
        lblDinLJoy[k]->setVisible(shown);
        lblDinHJoy[k]->setVisible(shown);
        lblDinLJoy[k]->setToolTip(QStringLiteral("Side A"));
        lblDinHJoy[k]->setToolTip(QStringLiteral("Side B"));
        lblDinLJoy[k]->setProperty("Tag", config::PinIndexFromCode(l));
        lblDinHJoy[k]->setProperty("Tag", config::PinIndexFromCode(h));
        lblDinLJoy[k]->setText(name(l));
        lblDinHJoy[k]->setText(name(h));
        LblPin[k]->hide();
        LblPin[k]->setText(QString());
    } else {
        lblDinLJoy[k]->hide();
        lblDinHJoy[k]->hide();
        lblDinLJoy[k]->setProperty("Tag", 0);
        lblDinHJoy[k]->setProperty("Tag", 0);
        if (c & 0x0F) {
            LblPin[k]->setText(name(ValueOf(analogKey)));
            LblPin[k]->setToolTip(QStringLiteral("Pin connection"));
        } else {
            LblPin[k]->setText(QString::fromLatin1(NotConnectedShort));
            LblPin[k]->setToolTip(QString::fromLatin1(config::PinNames[0]));
        }
        LblPin[k]->setVisible(shown);
    }
    const PaletteColours& pal = m_shell.Context().Palette;
    monitor::SetColours(LblPin[k], pal.Back[k], pal.Text[k]);
}

void FrmMonitor::MonitorDrawJoy()
{
    const std::array<int32_t, 2> ids = {ValueOf(Key::QVS_JOY_0_ID), ValueOf(Key::QVS_JOY_1_ID)};
    for (size_t j = 0; j < 2; ++j) {
        int found = -1;
        for (size_t e = 0; e < m_joyList.size(); ++e)
            if (m_joyList[e].id == ids[j])
                found = static_cast<int>(e); // the last match wins
        QLabel* display = JoyDisplay[j];
        if (found < 0) {
            display->clear();
            display->setToolTip(QString::fromLatin1(UndefinedJoystick));
            continue;
        }
        const CJoyData& entry = m_joyList[static_cast<size_t>(found)];
        QString picture;
        switch (entry.SectionNum) {
        case 1:
            picture = entry.JoyPic;
            break;
        case 2:
        case 3:
        case 4:
            picture = j == 0 ? entry.JoyPicX : entry.JoyPicY;
            break;
        default:
            continue; // picture and hint stay as they are
        }
        if (picture.isEmpty())
            display->clear();
        else
            display->setPixmap(QPixmap(picture));
        display->setToolTip(QString::fromStdString(entry.Code));
    }
}

void FrmMonitor::MonitorDrawMag()
{
    ImgVbb->setPixmap(m_supplyPicture);
    const int32_t s = ValueOf(Key::QVS_SOL_TYPE);
    if (s == 0 || s == 1 || s == 2) {
        for (QLabel* m : MagADisplay) {
            // Only the standard solenoid has a picture; no type names exist.
            if (s == 2 || m_solenoidPicture.isNull())
                m->clear();
            else
                m->setPixmap(m_solenoidPicture);
            m->setToolTip(QString());
        }
    }
}

void FrmMonitor::RefreshColour()
{
    const PaletteColours& pal = m_shell.Context().Palette;
    for (size_t i = 0; i < 2; ++i) {
        monitor::SetColours(lblJoy[i], pal.Back[i], pal.Text[i]);
        monitor::SetColours(lblCurrent[i], pal.Back[i], pal.Text[i]);
        monitor::SetColours(LblPin[i], pal.Back[i], pal.Text[i]);
        JoyMonitorVal[i]->setBackColor(pal.Back[i]);
        JoyMonitorVal[i]->setForeColor(pal.Text[i]);
        IMeasure[i]->setBackColor(pal.Back[i]);
        IMeasure[i]->setForeColor(pal.Text[i]);
    }
    for (size_t i = 0; i < 4; ++i)
        Line[i]->SetBorderColor(pal.Back[i]);
}
