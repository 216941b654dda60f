#include "gui/pages/config/FrmConfig.h"

#include "controls/CSection.h"
#include "core/config/ConfigModel.h"
#include "core/state/CoreContext.h"
#include "gui/pages/FrmMonitor.h"
#include "gui/pages/config/ConfigWidgets.h"
#include "gui/pages/config/FrmJoySel.h"
#include "gui/pages/config/FrmMagSel.h"
#include "gui/pages/config/NumericField.h"
#include "gui/shell/Dialogs.h"
#include "gui/shell/Draw.h"
#include "gui/shell/DrawText.h"
#include "gui/shell/Shell.h"
#include "gui/shell/StatusBarView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTabWidget>

#include <algorithm>
#include <limits>

using configui::FocusFrame;
using configui::FocusLabel;
using configui::PictureBox;

namespace {

// Runs one handler of the page; a failure inside it leaves the page as it is
// and never reaches the event loop.
template <typename F> void Guarded(F&& f)
{
    try {
        f();
    } catch (...) {
    }
}

constexpr Key RiseKeys[4] = {Key::QVS_RAMP_TRISE_0, Key::QVS_RAMP_TRISE_1, Key::QVS_RAMP_TRISE_2,
                             Key::QVS_RAMP_TRISE_3};
constexpr Key FallKeys[4] = {Key::QVS_RAMP_TFALL_0, Key::QVS_RAMP_TFALL_1, Key::QVS_RAMP_TFALL_2,
                             Key::QVS_RAMP_TFALL_3};
constexpr Key ModeKeys[2] = {Key::QVS_RAMP_INV_MODE_0, Key::QVS_RAMP_INV_MODE_1};
constexpr Key FloatCurrentKeys[2] = {Key::QVS_FLOAT_0_CURRENT, Key::QVS_FLOAT_1_CURRENT};

// The current records of each section control: normal, then slow mode.
struct CurrentKeys {
    Key Min, Max;
};
constexpr CurrentKeys MagAKeys[2] = {{Key::QVS_I0_MIN, Key::QVS_I0_MAX}, {Key::QVS_I2_MIN, Key::QVS_I2_MAX}};
constexpr CurrentKeys MagBKeys[2] = {{Key::QVS_I1_MIN, Key::QVS_I1_MAX}, {Key::QVS_I3_MIN, Key::QVS_I3_MAX}};
constexpr CurrentKeys MagAsdmKeys[2] = {{Key::QVS_I0_SDM_MIN, Key::QVS_I0_SDM_MAX},
                                        {Key::QVS_I2_SDM_MIN, Key::QVS_I2_SDM_MAX}};
constexpr CurrentKeys MagBsdmKeys[2] = {{Key::QVS_I1_SDM_MIN, Key::QVS_I1_SDM_MAX},
                                        {Key::QVS_I3_SDM_MIN, Key::QVS_I3_SDM_MAX}};

QString Indexed(const char* name, int i) { return QString::fromLatin1(name) + QLatin1Char('_') + QString::number(i); }

template <typename W> W* Named(W* w, const QString& name)
{
    w->setObjectName(name);
    return w;
}

QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text)
{
    auto* l = Named(new QLabel(text, parent), name);
    return l;
}

// Selects entry index of a list; an index the list does not have selects
// nothing (the list keeps what it shows).
void SelectEntry(QComboBox* list, int index)
{
    if (list && index >= 0 && index < list->count())
        list->setCurrentIndex(index);
}

// Replaces the entries of a list without running its handler; afterwards
// nothing is selected, so the next selection always runs it.
void RefillList(QComboBox* list, const QStringList& entries)
{
    const QSignalBlocker block(list);
    list->clear();
    list->addItems(entries);
    list->setCurrentIndex(-1);
}

int16_t Clamp16(int32_t v)
{
    return static_cast<int16_t>(
        std::clamp<int32_t>(v, std::numeric_limits<int16_t>::min(), std::numeric_limits<int16_t>::max()));
}

// Layout measures (pixels).
constexpr int ColumnLeft = 140;  // first section column of the system picture
constexpr int ColumnStep = 96;
constexpr int ColumnWidth = 92;
constexpr int TabTop = 204;      // top of the current/ramp tabs
constexpr int RowTop = 20;       // first section row inside those tabs
constexpr int RowStep = 60;
constexpr int MagALeft = 66;
constexpr int MagBLeft = 352;
// Where the minimum and maximum text boxes sit inside a section control.
constexpr int SectionMinText = 47;
constexpr int SectionMaxText = 178;

} // namespace

// ---------------------------------------------------------------------------
// Creation

FrmConfig::FrmConfig(Shell& shell, QWidget* parent) : Page(shell, PageReadKey, PageWriteKey, parent)
{
    setObjectName(QStringLiteral("FrmConfig"));
    setWindowTitle(QStringLiteral("Configure"));
    QFont f = font();
    f.setPointSizeF(8.25);
    setFont(f);

    // The two pictures and the pointer of clickable pictures, loaded once.
    m_valvePicture = configui::LoadPicture(AppPath(QStringLiteral("bmp/Ced/RSV200.jpg")));
    m_solenoidPicture = configui::LoadPicture(AppPath(QStringLiteral("bmp/Magnet/THOMAS.jpg")));
    m_hand = configui::HandCursor(AppPath(QStringLiteral("ico/HandIE.ico")));

    CreateControls();
    LayoutPage();
    ConnectHandlers();

    m_magSel = new FrmMagSel(m_shell, [this] { DrawDither(); }, m_solenoidPicture, this);
    m_magSel->hide();
    // The input selection loads the joystick catalogue the drawing needs.
    m_joySel = new FrmJoySel(m_shell, [this] { Guarded([&] { ConfigDrawJoy(); }); }, this);
    m_joySel->hide();
    ShowJoySel = [this](int input) { m_joySel->Open(input); };
    // Sections 3 and 4 have no input parameters: their inputs cannot be chosen.
    for (int s = BoundSections; s < Sections; ++s) {
        const auto i = size_t(s);
        JoySel[i]->SetPicture(m_joySel->Pictures().Unknown);
        JoySel[i]->setEnabled(false);
        JoySel[i]->setCursor(Qt::ArrowCursor);
        lblJoy[i]->setEnabled(false);
        LblPin[i]->setText(QStringLiteral("---"));
        LblPin[i]->setToolTip(QString());
    }

    RefreshObject();
    SSTab1->setCurrentIndex(0);
    // The slow-current tab is usable exactly while a slow pin is chosen.
    SSTab1->setTabEnabled(1, CmbSlowPin->currentIndex() >= 1);
    JoyVarDefaultSet();
}

FrmConfig::~FrmConfig()
{
    // The records may already be gone (a catalogue reload frees them before
    // the old pages): no field may react to the focus leaving while the
    // widgets are destroyed.
    for (auto* f : m_rise)
        f->Detach();
    for (auto* f : m_fall)
        f->Detach();
    for (auto* f : m_floatCurrent)
        f->Detach();
}

QString FrmConfig::AppPath(const QString& relative) const { return m_shell.Context().ResourcePath(relative); }

void FrmConfig::CreateControls()
{
    CreateSystemPicture();
    CreateFunctionFrames();

    SSTab1 = Named(new QTabWidget(this), QStringLiteral("SSTab1"));
    CreateCurrentTabs();
    auto* ramps = Named(new QWidget, QStringLiteral("SSTab1_Ramps"));
    CreateRampTab(ramps);
    SSTab1->addTab(ramps, QStringLiteral("RAMPS"));
}

void FrmConfig::CreateSystemPicture()
{
    ImgCED = Named(new PictureBox(this), QStringLiteral("ImgCED"));
    ImgCED->setToolTip(QStringLiteral("Selected CED"));
    ImgCED->SetPicture(m_valvePicture);

    CmbDRCType = Named(new QComboBox(this), QStringLiteral("CmbDRCType"));
    CmbDRCType->addItems({QStringLiteral("DRC 100"), QStringLiteral("DRC 200"), QStringLiteral("DRC 300"),
                          QStringLiteral("DRC 400")});
    CmbDRCType->setCurrentIndex(-1);
    CmbDRCSysType = Named(new QComboBox(this), QStringLiteral("CmbDRCSysType"));
    CmbDRCSysType->addItems({QStringLiteral("P"), QStringLiteral("F")});
    CmbDRCSysType->setCurrentIndex(-1);

    ValveBlock = Named(new QFrame(this), QStringLiteral("ValveBlock"));
    ValveBlock->setFrameShape(QFrame::Panel);
    ValveBlock->setFrameShadow(QFrame::Raised);
    ValveBlock->setLineWidth(2);
    ValveBlock->setToolTip(QStringLiteral("Selected CED"));

    for (int s = 0; s < Sections; ++s) {
        const auto i = size_t(s);
        lblJoyDesc[i] = MakeLabel(this, Indexed("lblJoyDesc", s), QStringLiteral("Joy %1").arg(s + 1));
        lblJoyDesc[i]->setAlignment(Qt::AlignCenter);
        QFont bold = lblJoyDesc[i]->font();
        bold.setBold(true);
        lblJoyDesc[i]->setFont(bold);

        JoySel[i] = Named(new PictureBox(this), Indexed("JoySel", s));
        JoySel[i]->setToolTip(QStringLiteral("Select Joystick %1").arg(s));
        JoySel[i]->setFrameShape(QFrame::StyledPanel);
        JoySel[i]->setCursor(m_hand);

        lblJoy[i] = Named(new FocusLabel(this), Indexed("lblJoy", s));
        LblPin[i] = MakeLabel(this, Indexed("LblPin", s), QStringLiteral("D1.10 - AI_1"));
        LblPin[i]->setAlignment(Qt::AlignCenter);
        LblPin[i]->setAttribute(Qt::WA_TransparentForMouseEvents);
        JoyFocus[i] = Named(new FocusFrame(this), Indexed("JoyFocus", s));
        lblJoy[i]->SetFocusFrame(JoyFocus[i]);

        auto* line = Named(new QFrame(this), QStringLiteral("Line%1").arg(s));
        line->setFrameShape(QFrame::NoFrame);
        line->setAutoFillBackground(true);
        Lines.push_back(line);

        lblSectionDesc[i] = MakeLabel(this, Indexed("lblSectionDesc", s), QStringLiteral("Sect. %1 ").arg(s + 1));
        lblSectionDesc[i]->setAlignment(Qt::AlignCenter);
        lblSectionDesc[i]->setFrameShape(QFrame::Box);
    }

    Label6 = MakeLabel(this, QStringLiteral("Label6"), QStringLiteral("Analog input range"));
    CmbAIRange = Named(new QComboBox(this), QStringLiteral("CmbAIRange"));
    CmbAIRange->addItems({QStringLiteral("5V"), QStringLiteral("10V")});
    Label7 = MakeLabel(this, QStringLiteral("Label7"), QStringLiteral("2B proportional control"));
    Cmb2BProp = Named(new QComboBox(this), QStringLiteral("Cmb2BProp"));
    Cmb2BProp->addItems({QStringLiteral("OFF"), QStringLiteral("ON")});
}

void FrmConfig::CreateFunctionFrames()
{
    FrameDMPin = Named(new QGroupBox(QStringLiteral("Man Present Input Pin"), this), QStringLiteral("FrameDMPin"));
    CmbDMPin = Named(new QComboBox(FrameDMPin), QStringLiteral("CmbDMPin"));
    FrameSlowPin = Named(new QGroupBox(QStringLiteral("Slow Input Pin"), this), QStringLiteral("FrameSlowPin"));
    CmbSlowPin = Named(new QComboBox(FrameSlowPin), QStringLiteral("CmbSlowPin"));
    FillPinList(CmbDMPin);
    FillPinList(CmbSlowPin);

    FrameFloat = Named(new QGroupBox(QStringLiteral("Floating"), this), QStringLiteral("FrameFloat"));
    SSTab2 = Named(new QTabWidget(FrameFloat), QStringLiteral("SSTab2"));
    const auto ask = [this](QWidget* parent, const QString& text) {
        return m_shell.Dialog().Ask(parent, text, MessageIcon::Information, QString());
    };
    for (int f = 0; f < Sections; ++f) {
        const auto i = size_t(f);
        auto* tab = Named(new QWidget, Indexed("SSTab2_Tab", f));
        lblFloatPin[i] = MakeLabel(tab, Indexed("lblFloatPin", f), QStringLiteral("Input Pin"));
        CmbFloatPin[i] = Named(new QComboBox(tab), Indexed("CmbFloatPin", f));
        FillPinList(CmbFloatPin[i]);
        lblFloatMgn[i] = MakeLabel(tab, Indexed("lblFloatMgn", f), QStringLiteral("Side"));
        CmbFloatMagnet[i] = Named(new QComboBox(tab), Indexed("CmbFloatMagnet", f));
        RefillList(CmbFloatMagnet[i], {QStringLiteral("OFF")});
        lblFloatCur[i] = MakeLabel(tab, Indexed("lblFloatCur", f), QStringLiteral("Current"));
        TxtFloatCurrent[i] = Named(new QLineEdit(tab), Indexed("TxtFloatCurrent", f));
        TxtFloatCurrent[i]->setAlignment(Qt::AlignRight);
        hscFloatCurrent[i] = Named(new QScrollBar(Qt::Horizontal, tab), Indexed("hscFloatCurrent", f));
        hscFloatCurrent[i]->setPageStep(1);

        // A float current is stored when the entry is confirmed: display
        // value as typed, download value through the record's formula.
        NumericField::Behaviour b;
        b.RestoreThroughFormula = true;
        b.Accepted = [this](int32_t) { MarkChanged(); };
        b.Confirmed = [this, f](int32_t value) {
            CVarData* r = f < BoundSections ? Record(FloatCurrentKeys[f]) : nullptr;
            if (!r)
                return true;
            int32_t download = 0;
            try {
                download = config::EntryDownloadValue(r->DataS, value);
            } catch (...) {
                return false;
            }
            r->DataS.QvsDisplayValueE2 = value;
            r->DataS.QvsDownloadValueE2 = download;
            MarkChanged();
            return true;
        };
        m_floatCurrent[i] = new NumericField(TxtFloatCurrent[i], hscFloatCurrent[i], ask, b, this);
        SSTab2->addTab(tab, QStringLiteral("FLOAT %1").arg(f + 1));
    }
    SSTab2->setTabEnabled(2, false);
    SSTab2->setTabEnabled(3, false);
}

void FrmConfig::CreateCurrentTabs()
{
    for (int slow = 0; slow < 2; ++slow) {
        auto* tab = Named(new QWidget, slow ? QStringLiteral("SSTab1_CurrentsSlow") : QStringLiteral("SSTab1_Currents"));
        auto& band = slow ? lblCurrentsdm : lblCurrent;
        auto& pic = slow ? MagSelsdm : MagSel;
        auto& focusLabel = slow ? lblMagsdm : lblMag;
        auto& focus = slow ? MagFocussdm : MagFocus;
        auto& a = slow ? MagAsdm : MagA;
        auto& b = slow ? MagBsdm : MagB;
        const char* suffix = slow ? "sdm" : "";

        auto header = [tab](const QString& name, const char* text) {
            auto* l = MakeLabel(tab, name, QString::fromLatin1(text));
            l->setAlignment(Qt::AlignCenter);
            QFont bold = l->font();
            bold.setBold(true);
            l->setFont(bold);
            return l;
        };
        // Column headers over coil A (design) and coil B.
        QLabel* minA = header(slow ? QStringLiteral("Label4") : QStringLiteral("LblMin"), "MIN");
        QLabel* maxA = header(slow ? QStringLiteral("Label5") : QStringLiteral("lblMax"), "MAX");
        QLabel* minB = header(slow ? QStringLiteral("Label4B") : QStringLiteral("LblMinB"), "MIN");
        QLabel* maxB = header(slow ? QStringLiteral("Label5B") : QStringLiteral("lblMaxB"), "MAX");
        (slow ? Label4 : LblMin) = minA;
        (slow ? Label5 : lblMax) = maxA;
        minA->setGeometry(MagALeft + SectionMinText, 2, 58, 16);
        maxA->setGeometry(MagALeft + SectionMaxText, 2, 58, 16);
        minB->setGeometry(MagBLeft + SectionMinText, 2, 58, 16);
        maxB->setGeometry(MagBLeft + SectionMaxText, 2, 58, 16);

        for (int s = 0; s < Sections; ++s) {
            const auto i = size_t(s);
            band[i] = MakeLabel(tab, Indexed(slow ? "lblCurrentsdm" : "lblCurrent", s), QString());
            band[i]->setFrameShape(QFrame::Panel);
            band[i]->setFrameShadow(QFrame::Sunken);
            focusLabel[i] = Named(new FocusLabel(tab), Indexed(slow ? "lblMagsdm" : "lblMag", s));
            focusLabel[i]->setToolTip(QStringLiteral("Dither Settings"));
            pic[i] = Named(new PictureBox(tab), Indexed(slow ? "MagSelsdm" : "MagSel", s));
            focus[i] = Named(new FocusFrame(tab), Indexed(slow ? "MagFocussdm" : "MagFocus", s));
            focusLabel[i]->SetFocusFrame(focus[i]);
            a[i] = Named(new CSection(tab), QStringLiteral("MagA%1_%2").arg(QLatin1String(suffix)).arg(s));
            b[i] = Named(new CSection(tab), QStringLiteral("MagB%1_%2").arg(QLatin1String(suffix)).arg(s));
            for (CSection* c : {a[i], b[i]})
                c->SetRestoreQuestion([this](QWidget* parent, const QString& text) {
                    return m_shell.Dialog().Ask(parent, text, MessageIcon::Information, QString())
                               ? QMessageBox::Yes
                               : QMessageBox::No;
                });
            // Sections without parameters of their own carry their names anyway.
            if (s >= BoundSections) {
                a[i]->setSectionName(QStringLiteral("%1A").arg(s + 1));
                b[i]->setSectionName(QStringLiteral("%1B").arg(s + 1));
            }
            if (!slow) {
                pic[i]->setCursor(m_hand);
                LblFreq[i] = MakeLabel(tab, Indexed("LblFreq", s), QStringLiteral("--- Hz"));
                LblFreq[i]->setAlignment(Qt::AlignCenter);
            }
        }
        SSTab1->addTab(tab, slow ? QStringLiteral("CURRENTS SLOW") : QStringLiteral("CURRENTS"));
    }
}

void FrmConfig::CreateRampTab(QWidget* tab)
{
    auto header = [tab](const QString& name, const char* text) {
        auto* l = MakeLabel(tab, name, QString::fromLatin1(text));
        l->setAlignment(Qt::AlignCenter);
        QFont bold = l->font();
        bold.setBold(true);
        l->setFont(bold);
        return l;
    };
    Label1 = header(QStringLiteral("Label1"), "T Rise [ms]");
    Label2 = header(QStringLiteral("Label2"), "T.Fall [ms]");
    Label3 = header(QStringLiteral("Label3"), "MODE");
    header(QStringLiteral("Label1B"), "T Rise [ms]");
    header(QStringLiteral("Label2B"), "T.Fall [ms]");

    const auto ask = [this](QWidget* parent, const QString& text) {
        return m_shell.Dialog().Ask(parent, text, MessageIcon::Information, QString());
    };
    for (int s = 0; s < Sections; ++s) {
        const auto i = size_t(s);
        lblRump[i] = MakeLabel(tab, Indexed("lblRump", s), QString());
        lblRump[i]->setFrameShape(QFrame::Panel);
        lblRump[i]->setFrameShadow(QFrame::Sunken);
        for (int side = 0; side < 2; ++side) {
            const int k = 2 * s + side; // ramp of coil k
            const auto ki = size_t(k);
            QGroupBox* frame = Named(new QGroupBox(QStringLiteral("%1%2").arg(s + 1).arg(side ? 'B' : 'A'), tab),
                                     Indexed(side ? "RampB" : "RampA", s));
            (side ? RampB : RampA)[i] = frame;
            TxtTRise[ki] = Named(new QLineEdit(frame), Indexed("TxtTRise", k));
            hscTRise[ki] = Named(new QScrollBar(Qt::Horizontal, frame), Indexed("hscTRise", k));
            TxtTFall[ki] = Named(new QLineEdit(frame), Indexed("TxtTFall", k));
            hscTFall[ki] = Named(new QScrollBar(Qt::Horizontal, frame), Indexed("hscTFall", k));
            (side ? lblUnit2TR : lblUnit1TR)[i] = MakeLabel(frame, Indexed(side ? "lblUnit2TR" : "lblUnit1TR", s),
                                                           QStringLiteral("ms"));
            (side ? lblUnit2TF : lblUnit1TF)[i] = MakeLabel(frame, Indexed(side ? "lblUnit2TF" : "lblUnit1TF", s),
                                                           QStringLiteral("ms"));
            TxtTRise[ki]->setText(QStringLiteral("500"));
            TxtTFall[ki]->setText(QStringLiteral("1000"));
            for (QWidget* w : {static_cast<QWidget*>(TxtTRise[ki]), static_cast<QWidget*>(hscTRise[ki]),
                               static_cast<QWidget*>(TxtTFall[ki]), static_cast<QWidget*>(hscTFall[ki])})
                configui::KeepSystemColours(w);
            TxtTRise[ki]->setAlignment(Qt::AlignRight);
            TxtTFall[ki]->setAlignment(Qt::AlignRight);

            // A ramp time is stored as soon as the text is within the range:
            // download value = the value, no formula.
            for (int fall = 0; fall < 2; ++fall) {
                NumericField::Behaviour b;
                b.RestoreThroughFormula = true;
                b.Accepted = [this, k, fall](int32_t value) {
                    MarkChanged();
                    const int16_t id = fall ? FindQVSLabelTFALL(k) : FindQVSLabelTRISE(k);
                    if (CVarData* r = m_shell.Context().Table.At(id))
                        r->DataS.QvsDownloadValueE2 = value;
                };
                auto* field = new NumericField(fall ? TxtTFall[ki] : TxtTRise[ki], fall ? hscTFall[ki] : hscTRise[ki],
                                               ask, b, this);
                field->SetEnabled(true);
                (fall ? m_fall : m_rise)[ki] = field;
            }
        }
        ChkFull[i] = Named(new QCheckBox(QStringLiteral("FULL"), tab), Indexed("ChkFull", s));
        ChkBreak[i] = Named(new QCheckBox(QStringLiteral("BREAK"), tab), Indexed("ChkBreak", s));
        ChkBreak[i]->setChecked(true); // one of the pair is always set
    }
}

void FrmConfig::FillPinList(QComboBox* list)
{
    QStringList pins;
    for (const char* p : config::PinNames)
        pins << QString::fromLatin1(p);
    RefillList(list, pins);
}

// Every position and size of the page. The system picture occupies the top
// left, the function frames the top right and the current and ramp tabs the
// bottom; the drawing of the system only shows and hides.
void FrmConfig::LayoutPage()
{
    // System picture.
    ImgCED->setGeometry(8, 22, 124, 78);
    CmbDRCType->setGeometry(8, 106, 80, 22);
    CmbDRCSysType->setGeometry(92, 106, 40, 22);
    for (int s = 0; s < Sections; ++s) {
        const auto i = size_t(s);
        const int x = ColumnLeft + s * ColumnStep;
        lblJoyDesc[i]->setGeometry(x, 2, ColumnWidth, 16);
        JoySel[i]->setGeometry(x + (ColumnWidth - 64) / 2, 18, 64, 64);
        lblJoy[i]->setGeometry(x, 86, ColumnWidth, 20);
        LblPin[i]->setGeometry(x + 1, 86, ColumnWidth - 2, 20);
        JoyFocus[i]->setGeometry(x - 2, 84, ColumnWidth + 4, 24);
        Lines[i]->setGeometry(x + ColumnWidth / 2 - 1, 106, 3, 26);
        lblSectionDesc[i]->setGeometry(x, 132, ColumnWidth, 22);
    }
    ValveBlock->setGeometry(ColumnLeft - 5, 127, (Sections - 1) * ColumnStep + ColumnWidth + 10, 32);
    ValveBlock->lower();
    Label6->setGeometry(8, 172, 110, 20);
    CmbAIRange->setGeometry(118, 170, 60, 22);
    Label7->setGeometry(200, 172, 130, 20);
    Cmb2BProp->setGeometry(330, 170, 60, 22);

    // Function frames.
    FrameDMPin->setGeometry(530, 0, 146, 54);
    CmbDMPin->setGeometry(8, 22, 130, 24);
    FrameSlowPin->setGeometry(682, 0, 146, 54);
    CmbSlowPin->setGeometry(8, 22, 130, 24);
    FrameFloat->setGeometry(530, 58, 298, 140);
    SSTab2->setGeometry(6, 18, 286, 116);
    for (int f = 0; f < Sections; ++f) {
        const auto i = size_t(f);
        lblFloatPin[i]->setGeometry(8, 8, 62, 20);
        CmbFloatPin[i]->setGeometry(74, 6, 130, 24);
        lblFloatMgn[i]->setGeometry(8, 36, 62, 20);
        CmbFloatMagnet[i]->setGeometry(74, 34, 130, 24);
        lblFloatCur[i]->setGeometry(8, 64, 62, 20);
        TxtFloatCurrent[i]->setGeometry(74, 62, 60, 24);
        hscFloatCurrent[i]->setGeometry(138, 65, 66, 18);
    }

    // Current and ramp tabs.
    SSTab1->setGeometry(4, TabTop, 824, 300);
    for (int s = 0; s < Sections; ++s) {
        const auto i = size_t(s);
        const int y = RowTop + s * RowStep;
        for (int slow = 0; slow < 2; ++slow) {
            (slow ? lblCurrentsdm : lblCurrent)[i]->setGeometry(4, y, 810, RowStep - 2);
            (slow ? MagSelsdm : MagSel)[i]->setGeometry(12, y + 7, 44, 44);
            (slow ? lblMagsdm : lblMag)[i]->setGeometry(12, y + 7, 44, 44);
            (slow ? MagFocussdm : MagFocus)[i]->setGeometry(9, y + 4, 50, 50);
            (slow ? MagAsdm : MagA)[i]->move(MagALeft, y + 3);
            (slow ? MagBsdm : MagB)[i]->move(MagBLeft, y + 3);
        }
        LblFreq[i]->setGeometry(650, y + 18, 90, 22);

        lblRump[i]->setGeometry(4, y, 810, RowStep - 2);
        for (int side = 0; side < 2; ++side) {
            const auto ki = size_t(2 * s + side);
            QGroupBox* frame = (side ? RampB : RampA)[i];
            frame->setGeometry(12 + side * 338, y + 2, 330, 54);
            TxtTRise[ki]->setGeometry(12, 22, 60, 24);
            hscTRise[ki]->setGeometry(76, 25, 60, 18);
            (side ? lblUnit2TR : lblUnit1TR)[i]->setGeometry(140, 26, 22, 18);
            TxtTFall[ki]->setGeometry(172, 22, 60, 24);
            hscTFall[ki]->setGeometry(236, 25, 60, 18);
            (side ? lblUnit2TF : lblUnit1TF)[i]->setGeometry(300, 26, 22, 18);
        }
        ChkFull[i]->setGeometry(700, y + 8, 90, 20);
        ChkBreak[i]->setGeometry(700, y + 30, 90, 20);
    }
    QWidget* ramps = SSTab1->widget(2);
    Label1->setGeometry(12 + 12, 2, 110, 16);
    Label2->setGeometry(12 + 172, 2, 110, 16);
    ramps->findChild<QLabel*>(QStringLiteral("Label1B"))->setGeometry(350 + 12, 2, 110, 16);
    ramps->findChild<QLabel*>(QStringLiteral("Label2B"))->setGeometry(350 + 172, 2, 110, 16);
    Label3->setGeometry(700, 2, 90, 16);
    for (QLabel* l : ramps->findChildren<QLabel*>(QRegularExpression(QStringLiteral("^Label[12]B?$"))))
        l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    // Stacking: bands under their rows, focus proxies under their pictures.
    for (int s = 0; s < Sections; ++s) {
        const auto i = size_t(s);
        lblJoy[i]->lower();
        lblMag[i]->stackUnder(MagSel[i]);
        lblMagsdm[i]->stackUnder(MagSelsdm[i]);
        lblCurrent[i]->lower();
        lblCurrentsdm[i]->lower();
        lblRump[i]->lower();
    }
}

void FrmConfig::ConnectHandlers()
{
    connect(CmbDMPin, &QComboBox::currentIndexChanged, this, [this](int L) { Guarded([&] { DMPinSelected(L); }); });
    connect(CmbSlowPin, &QComboBox::currentIndexChanged, this,
            [this](int L) { Guarded([&] { SlowPinSelected(L); }); });
    connect(CmbDRCSysType, &QComboBox::currentIndexChanged, this,
            [this](int L) { Guarded([&] { SysTypeSelected(L); }); });
    connect(CmbDRCType, &QComboBox::currentIndexChanged, this,
            [this](int L) { Guarded([&] { DRCTypeSelected(L); }); });
    for (int s = 0; s < Sections; ++s) {
        const auto i = size_t(s);
        connect(CmbFloatPin[i], &QComboBox::currentIndexChanged, this,
                [this, s](int L) { Guarded([&] { FloatPinSelected(s, L); }); });
        connect(CmbFloatMagnet[i], &QComboBox::currentIndexChanged, this,
                [this, s](int L) { Guarded([&] { FloatMagnetSelected(s, L); }); });
        connect(ChkBreak[i], &QCheckBox::toggled, this, [this, s] { Guarded([&] { BreakToggled(s); }); });
        connect(ChkFull[i], &QCheckBox::toggled, this, [this, s] { Guarded([&] { FullToggled(s); }); });
        connect(JoySel[i], &PictureBox::clicked, this, [this, s] { Guarded([&] { JoySelClicked(s); }); });
        connect(lblJoy[i], &FocusLabel::activated, this, [this, s] { Guarded([&] { JoySelClicked(s); }); });
        connect(MagSel[i], &PictureBox::clicked, this, [this, s] { Guarded([&] { MagSelClicked(s); }); });
        connect(lblMag[i], &FocusLabel::activated, this, [this, s] { Guarded([&] { MagSelClicked(s); }); });
        for (CSection* c : {MagA[i], MagB[i], MagAsdm[i], MagBsdm[i]}) {
            connect(c, &CSection::VarMinChange, this, [this, c] { Guarded([&] { SectionChanged(c, true); }); });
            connect(c, &CSection::VarMaxChange, this, [this, c] { Guarded([&] { SectionChanged(c, false); }); });
        }
    }
}

// ---------------------------------------------------------------------------
// Page protocol

const DrawBarProfile& FrmConfig::Profile() const
{
    static const DrawBarProfile profile{.HandlesConnected = true,
                                        .PollingState = 0,
                                        .ResetWhenConnected = true,
                                        .ReadWhenConnected = true,
                                        .WriteWhenConnected = true,
                                        .LoginByAssistance = false};
    return profile;
}

void FrmConfig::DrawBar(StatusBarView& statusBar, QProgressBar& progressBar, const QString& text)
{
    Page::DrawBar(statusBar, progressBar, text);
    statusBar.SetPanelText(3, DrawText::ApplicationVersionText());
    Draw::ShowParameterStatus(m_shell, m_shell.TxtPar());
}

QString FrmConfig::CheckDataToWrite()
{
    QString text = QString::fromStdString(config::CheckDataToWrite(config::PinConfigurationOf(m_shell.Context().Table)));
    // A ramp keeps the last in-range value typed on the way to a text that
    // was refused (600 on the way to 6000): writing it would send a value
    // nobody chose.
    for (const auto* fields : {&m_rise, &m_fall})
        for (const NumericField* f : *fields)
            if (f)
                text += f->InvalidEntryLine();
    for (const NumericField* f : m_floatCurrent)
        if (f)
            text += f->InvalidEntryLine();
    return text;
}

QString FrmConfig::CheckFloatPinToWrite()
{
    return QString::fromStdString(config::CheckFloatPinToWrite(config::PinConfigurationOf(m_shell.Context().Table)));
}

bool FrmConfig::QueryUnload() { return m_shell.ExitProcedure(); }

void FrmConfig::RefreshObject()
{
    RefreshConfiguration();
    RefreshData();
    RefreshName();
    RefreshColour();
}

void FrmConfig::RefreshConfiguration()
{
    Guarded([&] { ConfigDrawMag(); });
    Guarded([&] { DrawDRCSystem(); });
    Guarded([&] { ConfigDrawJoy(); });
    Guarded([&] { ConfigDrawFloat(); });
    Guarded([&] { ConfigDrawSlow(); });
}

void FrmConfig::RefreshData()
{
    IDData& table = m_shell.Context().Table;

    // 1. Current limits: the section controls share the records.
    const auto loadSection = [&](CSection* control, CurrentKeys keys) {
        CVarData* lo = table.Record(keys.Min);
        CVarData* hi = table.Record(keys.Max);
        control->setEnabled(lo && hi);
        if (!lo || !hi)
            return;
        control->setMin(Clamp16(std::min(lo->DataS.CedValE2Min, hi->DataS.CedValE2Min)));
        control->setMax(Clamp16(std::max(lo->DataS.CedValE2Max, hi->DataS.CedValE2Max)));
        Guarded([&] { control->setCaricaMin(lo->DataS); });
        Guarded([&] { control->setCaricaMax(hi->DataS); });
    };
    for (int s = 0; s < BoundSections; ++s) {
        const auto i = size_t(s);
        loadSection(MagA[i], MagAKeys[s]);
        loadSection(MagB[i], MagBKeys[s]);
        loadSection(MagAsdm[i], MagAsdmKeys[s]);
        loadSection(MagBsdm[i], MagBsdmKeys[s]);
    }
    for (int s = BoundSections; s < Sections; ++s)
        for (CSection* c : {MagA[size_t(s)], MagB[size_t(s)], MagAsdm[size_t(s)], MagBsdm[size_t(s)]})
            c->setEnabled(false);

    // 2. System type.
    if (const CVarData* r = Record(Key::QVS_SYSTEM_TYPE)) {
        if (r->DataS.QvsDisplayValueE2 == 1)
            CmbDRCSysType->setCurrentIndex(0);
        else if (r->DataS.QvsDisplayValueE2 == 0)
            CmbDRCSysType->setCurrentIndex(1);
    }

    // 3, 4. Float functions: side "OFF" when no side bit is set, the current.
    for (int f = 0; f < BoundSections; ++f) {
        const auto i = size_t(f);
        if (config::Nibble(Display(Key::QVS_FLOAT_SLOW_CONFIG), config::FloatSideMask[f]) == 0)
            SelectEntry(CmbFloatMagnet[i], 0);
        CVarData* r = Record(FloatCurrentKeys[f]);
        m_floatCurrent[i]->Load(r ? &r->DataS : nullptr, r ? r->DataS.QvsDisplayValueE2 : 0);
        CmbFloatMagnet[i]->setEnabled(true);
    }

    // 5. Ramps: the value a write sends (after a read, the controller's).
    for (int k = 0; k < 2 * Sections; ++k) {
        const auto ki = size_t(k);
        CVarData* rise = k < 4 ? Record(RiseKeys[k]) : nullptr;
        CVarData* fall = k < 4 ? Record(FallKeys[k]) : nullptr;
        m_rise[ki]->Load(rise ? &rise->DataS : nullptr, rise ? rise->DataS.QvsDownloadValueE2 : 0);
        m_fall[ki]->Load(fall ? &fall->DataS : nullptr, fall ? fall->DataS.QvsDownloadValueE2 : 0);
    }

    // 6. Ramp modes.
    for (int s = 0; s < BoundSections; ++s) {
        const CVarData* r = Record(ModeKeys[s]);
        if (!r)
            continue;
        const bool brk = r->DataS.QvsDownloadValueE2 == config::Code170;
        ChkBreak[size_t(s)]->setChecked(brk);
        ChkFull[size_t(s)]->setChecked(!brk);
    }

    // 7. Pin lists, refilled with nothing selected.
    for (QComboBox* list : {CmbDMPin, CmbSlowPin, CmbFloatPin[0], CmbFloatPin[1]})
        FillPinList(list);

    // 8. Selections; each runs its handler, which writes the value back.
    const int32_t floatSlow = Display(Key::QVS_FLOAT_SLOW_CONFIG);
    SelectEntry(CmbDMPin, config::PinIndexFromCode(Display(Key::QVS_DEAD_MAN_CFG) & 0xF));
    SelectEntry(CmbFloatPin[0], config::PinIndexFromCode(config::Nibble(floatSlow, config::FloatPinMask[0])));
    SelectEntry(CmbFloatPin[1], config::PinIndexFromCode(config::Nibble(floatSlow, config::FloatPinMask[1])));
    SelectEntry(CmbSlowPin, config::PinIndexFromCode(config::Nibble(floatSlow, config::SlowPinMask)));

    // 9. Input pins.
    DrawJoyPinLabel(LblPin[0], 1);
    DrawJoyPinLabel(LblPin[1], 2);
}

void FrmConfig::RefreshName()
{
    const char* names[2][2] = {{"1A", "1B"}, {"2A", "2B"}};
    for (int s = 0; s < BoundSections; ++s) {
        const auto i = size_t(s);
        MagA[i]->setSectionName(QLatin1String(names[s][0]));
        MagB[i]->setSectionName(QLatin1String(names[s][1]));
        MagAsdm[i]->setSectionName(QLatin1String(names[s][0]));
        MagBsdm[i]->setSectionName(QLatin1String(names[s][1]));
    }
}

void FrmConfig::RefreshColour()
{
    const PaletteColours& palette = m_shell.Context().Palette;
    using configui::SetBackColour;
    using configui::SetTextColour;
    for (int s = 0; s < Sections; ++s) {
        const auto i = size_t(s);
        const int32_t back = palette.Back[i];
        const int32_t text = palette.Text[i];
        for (CSection* c : {MagA[i], MagB[i], MagAsdm[i], MagBsdm[i]}) {
            c->setBackColor(back);
            c->setFontColor(text);
        }
        for (QWidget* w : {static_cast<QWidget*>(lblCurrentsdm[i]), static_cast<QWidget*>(lblJoy[i]),
                           static_cast<QWidget*>(lblCurrent[i]), static_cast<QWidget*>(lblRump[i]),
                           static_cast<QWidget*>(RampA[i]), static_cast<QWidget*>(RampB[i]),
                           static_cast<QWidget*>(ChkFull[i]), static_cast<QWidget*>(ChkBreak[i]),
                           static_cast<QWidget*>(LblFreq[i])})
            SetBackColour(w, back);
        for (QWidget* w : {static_cast<QWidget*>(RampA[i]), static_cast<QWidget*>(RampB[i]),
                           static_cast<QWidget*>(ChkFull[i]), static_cast<QWidget*>(ChkBreak[i]),
                           static_cast<QWidget*>(lblUnit1TR[i]), static_cast<QWidget*>(lblUnit1TF[i]),
                           static_cast<QWidget*>(lblUnit2TR[i]), static_cast<QWidget*>(lblUnit2TF[i]),
                           static_cast<QWidget*>(LblFreq[i]), static_cast<QWidget*>(LblPin[i])})
            SetTextColour(w, text);
    }
    // The lines of the picture take their section's background colour.
    for (QFrame* line : Lines) {
        const QString name = line->objectName();
        const int s = name.mid(4).toInt();
        if (s >= 0 && s < Sections)
            SetBackColour(line, palette.Back[size_t(s)]);
    }
}

// ---------------------------------------------------------------------------
// Drawing

void FrmConfig::ConfigDrawMag()
{
    const int32_t type = Display(Key::QVS_SOL_TYPE);
    if (type == 0 || type == 1) {
        for (int s = 0; s < Sections; ++s)
            for (PictureBox* p : {MagSel[size_t(s)], MagSelsdm[size_t(s)]}) {
                p->SetPicture(m_solenoidPicture);
                p->setToolTip(QStringLiteral("Dither Settings"));
                p->setEnabled(true);
            }
    } else if (type == 2) {
        // The second solenoid type has no picture and no name.
        for (int s = 0; s < Sections; ++s)
            for (PictureBox* p : {MagSel[size_t(s)], MagSelsdm[size_t(s)]}) {
                p->SetPicture(QPixmap());
                p->setToolTip(QString());
            }
    }
    DrawDither();
    if (auto* monitor = qobject_cast<FrmMonitor*>(m_shell.PageByTag(QStringLiteral("A2"))))
        monitor->DrawMagMonitorEventObj = 1;
}

int FrmConfig::SectionCount() const
{
    const CVarData* r = Record(Key::QVS_NUM_PROP_REG);
    if (!r)
        return BoundSections;
    return std::clamp<int32_t>(r->DataS.QvsDisplayValueE2, 1, Sections);
}

// Shows the model: the columns, rows and tabs of the sections that exist.
void FrmConfig::DrawDRCSystem()
{
    const CVarData* model = Record(Key::QVS_NUM_PROP_REG);
    const int32_t rawN = model ? model->DataS.QvsDisplayValueE2 : BoundSections;
    const int n = SectionCount();
    const bool typeP = Display(Key::QVS_SYSTEM_TYPE, 1) == 1;

    ImgCED->SetPicture(m_valvePicture);
    const QStringList& models = m_shell.SectionModelNames();
    const int nameIndex = typeP ? n - 1 : n + 3;
    if (nameIndex >= 0 && nameIndex < models.size())
        ImgCED->setToolTip(models[nameIndex]);
    Guarded([&] { CmbDRCSysType->setCurrentIndex(typeP ? 0 : 1); });
    // The block holds one slice per section, under the section columns.
    ValveBlock->resize((n - 1) * ColumnStep + ColumnWidth + 10, ValveBlock->height());
    ValveBlock->setToolTip(ImgCED->toolTip());

    for (int s = 0; s < Sections; ++s) {
        const auto i = size_t(s);
        const bool shown = s < n;
        for (QWidget* w : {static_cast<QWidget*>(lblJoyDesc[i]), static_cast<QWidget*>(JoySel[i]),
                           static_cast<QWidget*>(lblJoy[i]), static_cast<QWidget*>(LblPin[i]),
                           static_cast<QWidget*>(lblSectionDesc[i]), static_cast<QWidget*>(Lines[i]),
                           static_cast<QWidget*>(MagA[i]), static_cast<QWidget*>(MagB[i]),
                           static_cast<QWidget*>(MagAsdm[i]), static_cast<QWidget*>(MagBsdm[i]),
                           static_cast<QWidget*>(MagSel[i]), static_cast<QWidget*>(MagSelsdm[i]),
                           static_cast<QWidget*>(lblMag[i]), static_cast<QWidget*>(lblMagsdm[i]),
                           static_cast<QWidget*>(LblFreq[i]), static_cast<QWidget*>(lblCurrent[i]),
                           static_cast<QWidget*>(lblCurrentsdm[i]), static_cast<QWidget*>(lblRump[i]),
                           static_cast<QWidget*>(RampA[i]), static_cast<QWidget*>(RampB[i]),
                           static_cast<QWidget*>(ChkBreak[i]), static_cast<QWidget*>(ChkFull[i])})
            w->setVisible(shown);
        if (!shown) {
            JoyFocus[i]->hide();
            MagFocus[i]->hide();
            MagFocussdm[i]->hide();
        }
    }
    if (rawN == 1)
        Guarded([&] { CmbDRCType->setCurrentIndex(0); });
    else if (rawN == 2)
        Guarded([&] { CmbDRCType->setCurrentIndex(1); });
    CmbDRCType->hide();
    CmbDRCSysType->hide();

    SSTab2->setTabEnabled(2, false);
    SSTab2->setTabEnabled(3, false);
    if (n == 1) {
        SSTab2->setTabEnabled(0, true);
        SSTab2->setTabEnabled(1, false);
    } else if (n == 2) {
        SSTab2->setTabEnabled(0, true);
        SSTab2->setTabEnabled(1, true);
    }

    ConfigDrawFloat();
    ConfigDrawSlow();
}

void FrmConfig::ConfigDrawJoy()
{
    const config::JoyCatalogue& catalogue = m_joySel->Catalogue();
    const auto multiAxis = [&](int position) {
        const CJoyData* e = catalogue.At(position);
        return e && e->SectionNum >= 2 && e->SectionNum <= 4;
    };
    const std::array<int, 2> p =
        config::FindJoyID(catalogue.Entries, Display(Key::QVS_JOY_0_ID), Display(Key::QVS_JOY_1_ID));
    if (p[0] != m_joyCache[0]) {
        // Input 2's picture may have been the second axis of input 1's
        // joystick (old or new): it is drawn again.
        if (multiAxis(p[0]) || multiAxis(m_joyCache[0]))
            m_joyCache[1] = -1;
        DrawJoyPicture(p[0], 0);
    }
    if (p[1] != m_joyCache[1])
        DrawJoyPicture(p[1], 1);
    Draw2AxisJoystick(p[0], p[1]);
    m_joyCache = p;

    if (auto* monitor = qobject_cast<FrmMonitor*>(m_shell.PageByTag(QStringLiteral("A2"))))
        monitor->DrawJoyMonitorEventObj = 1;
    DrawJoyPinLabel(LblPin[0], 1);
    DrawJoyPinLabel(LblPin[1], 2);
}

void FrmConfig::DrawJoyPicture(int position, int j)
{
    if (j < 0 || j >= BoundSections)
        return;
    ++m_joyPictureDraws;
    PictureBox* box = JoySel[size_t(j)];
    const CJoyData* e = m_joySel->Catalogue().At(position);
    const JoyEntryPictures* pictures = m_joySel->Pictures().Entry(position);
    if (!e || !pictures) {
        // No catalogue (or no such entry): an empty input picture.
        box->SetPicture(QPixmap());
        box->setToolTip(QStringLiteral("Select Joystick %1").arg(j));
    } else {
        // One axis: its own picture, or its X picture for an entry that is
        // one axis of a larger handle; several axes: the X picture.
        const bool oneAxis = e->SectionNum < 2 || e->SectionNum > 4;
        box->SetPicture(oneAxis && e->DrcTypeID <= 1 ? pictures->Pic : pictures->PicX);
        box->setToolTip(QString::fromStdString(e->Code));
    }
    JoySel[0]->setEnabled(true);
    JoySel[1]->setEnabled(true);
}

void FrmConfig::Draw2AxisJoystick(int p0, int p1)
{
    const CJoyData* e = m_joySel->Catalogue().At(p0);
    const JoyEntryPictures* pictures = m_joySel->Pictures().Entry(p0);
    if (p0 != p1 || !e || !pictures || e->SectionNum < 2 || e->SectionNum > 4)
        return;
    JoySel[0]->SetPicture(pictures->PicX);
    JoySel[1]->SetPicture(pictures->PicY);
}

// The side lists of the float functions for the model, selected from the
// side bits; their handlers then enable the current fields.
void FrmConfig::ConfigDrawFloat()
{
    const int n = SectionCount();
    for (int f = 0; f < n && f < Sections; ++f) {
        QStringList entries{QStringLiteral("OFF")};
        if (n <= 2 && f < n)
            entries << QStringLiteral("Float - %1A").arg(f + 1) << QStringLiteral("Float - %1B").arg(f + 1);
        RefillList(CmbFloatMagnet[size_t(f)], entries);
    }
    const int32_t v = Display(Key::QVS_FLOAT_SLOW_CONFIG);
    const int32_t side0 = v & config::FloatSideMask[0];
    const int32_t side1 = (v & config::FloatSideMask[1]) / 4;
    SelectEntry(CmbFloatMagnet[0], side0 == 0 ? 0 : config::PinIndexFromCode(side0));
    SelectEntry(CmbFloatMagnet[1], side1 == 0 ? 0 : config::PinIndexFromCode(side1));
}

void FrmConfig::DrawJoyPinLabel(QLabel* label, int input)
{
    if (!label || (input != 1 && input != 2))
        return;
    const bool first = input == 1;
    const config::PinLabelText text =
        config::JoyPinLabel(Display(first ? Key::QVS_JOY_0_CONFIG : Key::QVS_JOY_1_CONFIG),
                            Display(first ? Key::QVS_JOY0_AN_INPUT : Key::QVS_JOY1_AN_INPUT),
                            Display(first ? Key::QVS_JOY0_DGT_INPUT : Key::QVS_JOY1_DGT_INPUT));
    label->setText(QString::fromStdString(text.Caption));
    label->setToolTip(QString::fromStdString(text.ToolTip));
}

QString FrmConfig::UpdateDitherFreq() const
{
    const CVarData* r = Record(Key::QVS_DITHER_FREQ);
    if (!r)
        return QStringLiteral("---");
    return QString::fromLatin1(config::DitherFrequencies[size_t(config::DitherIndexFromCode(r->DataS.QvsDownloadValueE2))]);
}

void FrmConfig::DrawDither()
{
    LblFreq[0]->setText(UpdateDitherFreq() + QStringLiteral(" Hz"));
    for (int s = 1; s < Sections; ++s)
        LblFreq[size_t(s)]->setText(LblFreq[0]->text());
}

int16_t FrmConfig::FindQVSLabelTRISE(int k) const
{
    return k >= 0 && k < 4 ? m_shell.Context().Table.Index(RiseKeys[k]) : int16_t(0);
}

int16_t FrmConfig::FindQVSLabelTFALL(int k) const
{
    return k >= 0 && k < 4 ? m_shell.Context().Table.Index(FallKeys[k]) : int16_t(0);
}

// ---------------------------------------------------------------------------
// Handlers

CVarData* FrmConfig::Record(Key k) const { return m_shell.Context().Table.Record(k); }

int32_t FrmConfig::Display(Key k, int32_t fallback) const
{
    const CVarData* r = Record(k);
    return r ? r->DataS.QvsDisplayValueE2 : fallback;
}

void FrmConfig::MarkChanged() { m_shell.Context().Shell.SetParamsUnchanged(false); }

void FrmConfig::DMPinSelected(int index)
{
    if (index < 0)
        return;
    if (CVarData* r = Record(Key::QVS_DEAD_MAN_CFG))
        r->QVSSetVar(config::PinCodeFromIndex(index));
}

void FrmConfig::FloatPinSelected(int function, int index)
{
    if (index < 0)
        return;
    CVarData* r = function < BoundSections ? Record(Key::QVS_FLOAT_SLOW_CONFIG) : nullptr;
    if (r)
        r->QVSSetVar(config::WithFloatPin(r->DataS.QvsDisplayValueE2, function, index));
    QComboBox* side = CmbFloatMagnet[size_t(function)];
    if (index > 0) {
        side->setEnabled(true);
    } else {
        SelectEntry(side, 0);
        side->setEnabled(false);
    }
}

void FrmConfig::FloatMagnetSelected(int function, int index)
{
    if (index < 0)
        return;
    m_floatCurrent[size_t(function)]->SetEnabled(index >= 1);
    CVarData* r = function < BoundSections ? Record(Key::QVS_FLOAT_SLOW_CONFIG) : nullptr;
    if (r)
        r->QVSSetVar(config::WithFloatSide(r->DataS.QvsDisplayValueE2, function, index));
}

void FrmConfig::SlowPinSelected(int index)
{
    if (index < 0)
        return;
    SSTab1->setTabEnabled(1, index >= 1);
    if (CVarData* r = Record(Key::QVS_FLOAT_SLOW_CONFIG))
        r->QVSSetVar(config::WithSlowPin(r->DataS.QvsDisplayValueE2, index));
}

void FrmConfig::SysTypeSelected(int index)
{
    if (index < 0)
        return;
    if (CVarData* r = Record(Key::QVS_SYSTEM_TYPE))
        Guarded([&] { r->QVSSetVar(index == 0 ? 1 : 0); });
    Guarded([&] { DrawDRCSystem(); });
    MagA[0]->setFocus();
}

void FrmConfig::DRCTypeSelected(int index)
{
    if (index < 0)
        return;
    if (CVarData* r = Record(Key::QVS_NUM_PROP_REG))
        Guarded([&] { r->QVSSetVar(index + 1); });
    Guarded([&] { DrawDRCSystem(); });
    MagA[0]->setFocus();
}

void FrmConfig::SetRampMode(int section, int32_t code)
{
    if (section < 0 || section >= BoundSections)
        return;
    if (CVarData* r = Record(ModeKeys[section]))
        r->DataS.QvsDownloadValueE2 = code;
}

void FrmConfig::BreakToggled(int section) { RampModeBoxToggled(section, true); }

void FrmConfig::FullToggled(int section) { RampModeBoxToggled(section, false); }

// BREAK (170) and FULL (85) exclude each other: the other box takes the
// opposite state, and the mode follows the box that was toggled.
void FrmConfig::RampModeBoxToggled(int section, bool breakBox)
{
    MarkChanged();
    const auto i = size_t(section);
    QCheckBox* toggled = breakBox ? ChkBreak[i] : ChkFull[i];
    QCheckBox* other = breakBox ? ChkFull[i] : ChkBreak[i];
    const bool checked = toggled->isChecked();
    other->setChecked(!checked);
    SetRampMode(section, checked == breakBox ? config::Code170 : config::Code85);
}

void FrmConfig::JoySelClicked(int input)
{
    if (ShowJoySel && input >= 0 && input < BoundSections)
        ShowJoySel(input);
}

void FrmConfig::MagSelClicked(int)
{
    if (Display(Key::QVS_DITHER_EDIT) != config::Code170)
        return;
    m_magSel->show();
    m_magSel->raise();
    m_magSel->activateWindow();
}

void FrmConfig::SectionChanged(CSection* control, bool minimum)
{
    MarkChanged();
    // The control edits the table's own record; a control that was handed
    // another record gets it copied back into the table.
    CVarDataS* record = minimum ? control->CaricaMin() : control->CaricaMax();
    if (!record)
        return;
    const int16_t id = minimum ? control->VarMinID() : control->VarMaxID();
    if (CVarData* slot = m_shell.Context().Table.At(id); slot && &slot->DataS != record)
        slot->DataS = *record;
}
