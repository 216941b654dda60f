#include "gui/pages/config/FrmJoySel.h"

#include "core/config/ConfigModel.h"
#include "core/link/StringEval.h"
#include "core/state/Commands.h"
#include "core/state/CoreContext.h"
#include "gui/pages/config/ConfigWidgets.h"
#include "gui/shell/Dialogs.h"
#include "gui/shell/Shell.h"
#include "gui/shell/clsTooltips.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QShowEvent>
#include <QSignalBlocker>

using configui::FocusFrame;
using configui::PictureBox;

namespace {

constexpr const char* CrLf = "\r\n";

template <typename W> W* Named(W* w, const QString& name)
{
    w->setObjectName(name);
    return w;
}

QString Indexed(const char* name, int i) { return QString::fromLatin1(name) + QLatin1Char('_') + QString::number(i); }

QStringList Entries(const auto& names)
{
    QStringList l;
    for (const char* n : names)
        l << QString::fromLatin1(n);
    return l;
}

QStringList RangeEntries()
{
    QStringList l;
    for (const config::SignalRange& r : config::SignalRanges)
        l << QString::fromLatin1(r.Name);
    return l;
}

// Shows a list entry without running the list's handler (-1: none).
void ShowEntry(QComboBox* list, int index)
{
    const QSignalBlocker block(list);
    list->setCurrentIndex(index >= 0 && index < list->count() ? index : -1);
}

void ShowCheck(QCheckBox* box, bool on)
{
    const QSignalBlocker block(box);
    box->setChecked(on);
}

// A colour of the application palette as the widget background.
void PaintBackground(QWidget* w, QPalette::ColorRole role)
{
    QPalette p = w->palette();
    const QColor c = QApplication::palette().color(role);
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        p.setColor(group, QPalette::Window, c);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

// Gallery geometry (pixels).
constexpr int SlotWidth = 100;
constexpr int SlotHeight = 120;
constexpr int SlotStep = 104;
constexpr int SlotRowStep = 124;
constexpr int Picture = 92;

} // namespace

// ---------------------------------------------------------------------------
// Gallery slot

JoySlot::JoySlot(QWidget* parent) : QFrame(parent)
{
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
    setFocusPolicy(Qt::StrongFocus);
}

void JoySlot::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit chosen();
    QFrame::mouseReleaseEvent(event);
}

void JoySlot::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        emit chosen();
        event->accept();
        return;
    }
    QFrame::keyPressEvent(event);
}

void JoySlot::focusInEvent(QFocusEvent* event)
{
    if (m_frame) {
        m_frame->show();
        m_frame->raise();
    }
    QFrame::focusInEvent(event);
}

void JoySlot::focusOutEvent(QFocusEvent* event)
{
    if (m_frame)
        m_frame->hide();
    QFrame::focusOutEvent(event);
}

// ---------------------------------------------------------------------------
// Creation

FrmJoySel::FrmJoySel(Shell& shell, std::function<void()> drawJoy, QWidget* parent)
    : QDialog(parent), m_shell(shell), m_drawJoy(std::move(drawJoy))
{
    setObjectName(QStringLiteral("FrmJoySel"));
    setWindowTitle(QStringLiteral("Select a Joystick"));
    setProperty("ManualPage", ManualPageNumber);
    setModal(false);
    setFixedSize(884, 646);

    LoadCatalogue();
    m_selection = std::make_unique<config::JoySelection>(m_catalogue);
    m_hand = configui::HandCursor(m_shell.Context().ResourcePath(QStringLiteral("ico/HandIE.ico")));
    CreateControls();
    CreateTooltips();
    ConnectHandlers();
    PrepareGallery();
}

FrmJoySel::~FrmJoySel() = default;

void FrmJoySel::LoadCatalogue()
{
    m_catalogue = config::LoadJoyCatalogue(m_shell.Context().ResourcePath(QString()));
    m_pictures.Load(m_catalogue);
    if (!m_catalogue.Error.empty())
        m_shell.Dialog().Message(m_shell.Window(), QString::fromLatin1(ListFailure), MessageIcon::None, QString());
    else if (m_catalogue.Ignored > 0)
        m_shell.Dialog().Message(m_shell.Window(), QString::fromLatin1(ListTooLong), MessageIcon::Warning, QString());
}

void FrmJoySel::CreateControls()
{
    // Gallery.
    FrameJoy = Named(new QGroupBox(QStringLiteral("Joystick"), this), QStringLiteral("FrameJoy"));
    FrameJoy->setGeometry(8, 10, 12 + GalleryColumns * SlotStep, 26 + 3 * SlotRowStep);
    FrameJoy->setCursor(Qt::ArrowCursor);
    for (int k = 0; k < GallerySlots; ++k) {
        const auto i = size_t(k);
        auto* slot = Named(new JoySlot(FrameJoy), Indexed("PicJoy", k));
        slot->setGeometry(10 + (k % GalleryColumns) * SlotStep, 22 + (k / GalleryColumns) * SlotRowStep, SlotWidth,
                          SlotHeight);
        PicJoy[i] = slot;
        ImgJoy[i] = Named(new PictureBox(slot), Indexed("ImgJoy", k));
        ImgJoy[i]->setGeometry((SlotWidth - Picture) / 2, 4, Picture, Picture);
        ImgJoy[i]->setAttribute(Qt::WA_TransparentForMouseEvents);
        lblJoy[i] = Named(new QLabel(slot), Indexed("lblJoy", k));
        lblJoy[i]->setGeometry(2, Picture + 6, SlotWidth - 4, 16);
        lblJoy[i]->setAlignment(Qt::AlignCenter);
        lblJoy[i]->setAttribute(Qt::WA_TransparentForMouseEvents);
        FocusJoy[i] = Named(new FocusFrame(slot), Indexed("FocusJoy", k));
        FocusJoy[i]->setGeometry(2, 2, SlotWidth - 4, SlotHeight - 4);
        slot->SetFocusFrame(FocusJoy[i]);
    }

    // The current choice.
    const int right = 24 + GalleryColumns * SlotStep;
    const int rightWidth = width() - right - 8;
    LblAxisNum = Named(new QLabel(QStringLiteral("X Axis"), this), QStringLiteral("LblAxisNum"));
    LblAxisNum->setGeometry(right, 12, rightWidth, 28);
    LblAxisNum->setAlignment(Qt::AlignCenter);
    QFont big = LblAxisNum->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.5);
    LblAxisNum->setFont(big);
    ImgJoyDetail = Named(new PictureBox(this), QStringLiteral("ImgJoyDetail"));
    ImgJoyDetail->setFrameShape(QFrame::StyledPanel);
    ImgJoyDetail->setGeometry(right + (rightWidth - 150) / 2, 48, 150, 150);
    LblJoyCode = Named(new QLabel(QStringLiteral("Joystick "), this), QStringLiteral("LblJoyCode"));
    LblJoyCode->setGeometry(right, 204, rightWidth, 22);
    LblJoyCode->setAlignment(Qt::AlignCenter);
    QFont bold = LblJoyCode->font();
    bold.setBold(true);
    LblJoyCode->setFont(bold);

    // Input description.
    const int top = FrameJoy->geometry().bottom() + 12;
    const auto label = [this](const char* name, const char* text, QRect g) {
        auto* l = Named(new QLabel(QString::fromLatin1(text), this), QLatin1String(name));
        l->setGeometry(g);
        return l;
    };
    const auto list = [](QWidget* parent, const char* name, const QStringList& entries, QRect g) {
        auto* c = Named(new QComboBox(parent), QLatin1String(name));
        c->addItems(entries);
        c->setCurrentIndex(-1);
        c->setGeometry(g);
        return c;
    };
    LblInputType = label("LblInputType", "Input Type", QRect(16, top + 4, 120, 20));
    JInputType = list(this, "JInputType", Entries(config::InputTypeNames), QRect(140, top, 196, 24));
    LblVoltageRange = label("LblVoltageRange", "Analog Reference ", QRect(16, top + 36, 120, 20));
    JVoltageRange = list(this, "JVoltageRange", Entries(config::VoltageRangeNames), QRect(140, top + 32, 196, 24));
    LblCar = label("LblCar", "Analog Range ", QRect(16, top + 68, 120, 20));
    JCar = list(this, "JCar", RangeEntries(), QRect(140, top + 64, 196, 24));
    CmbJoyInversion = list(this, "CmbJoyInversion", Entries(config::InversionNames), QRect(140, top + 96, 196, 24));

    FramePin = Named(new QGroupBox(QStringLiteral("Hardware input pin"), this), QStringLiteral("FramePin"));
    FramePin->setGeometry(356, top - 6, 290, 96);
    const QStringList pins = Entries(config::PinNames);
    LblSideA = Named(new QLabel(QStringLiteral("Side A"), FramePin), QStringLiteral("LblSideA"));
    LblSideA->setGeometry(10, 28, 56, 20);
    CmbPinL = list(FramePin, "CmbPinL", pins, QRect(70, 26, 206, 24));
    LblSideB = Named(new QLabel(QStringLiteral("Side B"), FramePin), QStringLiteral("LblSideB"));
    LblSideB->setGeometry(10, 60, 56, 20);
    CmbPinH = list(FramePin, "CmbPinH", pins, QRect(70, 58, 206, 24));

    // Options: a check box with its explaining text.
    const int opt = top + 136;
    ChkUpEn = Named(new QCheckBox(QStringLiteral("Dead man enable"), this), QStringLiteral("ChkUpEn"));
    ChkUpEn->setGeometry(16, opt, 150, 24);
    TxtDM = label("TxtDM", "Section enabled with Man Present Switch", QRect(170, opt, 476, 24));
    ChkUpJoyNeutral = Named(new QCheckBox(this), QStringLiteral("ChkUpJoyNeutral"));
    ChkUpJoyNeutral->setGeometry(16, opt + 30, 24, 24);
    TxtRealtime =
        label("TxtRealtime", "Triggers Man Present only with joystick in neutral", QRect(44, opt + 30, 602, 24));
    ChkNeutralNeed = Named(new QCheckBox(this), QStringLiteral("ChkNeutralNeed"));
    ChkNeutralNeed->setGeometry(16, opt + 60, 24, 24);
    TxtStartUp = label("TxtStartUp", "Wait for joystick neutral at start utp", QRect(44, opt + 60, 602, 24));
    for (QLabel* t : {TxtDM, TxtRealtime, TxtStartUp}) {
        t->setIndent(6);
        t->setFrameShape(QFrame::StyledPanel);
        PaintBackground(t, QPalette::Button);
    }

    CmdOk = Named(new QPushButton(QStringLiteral("OK"), this), QStringLiteral("CmdOk"));
    CmdOk->setGeometry(width() - 208, height() - 44, 96, 32);
    CmdOk->setAutoDefault(false);
    CmdCancel = Named(new QPushButton(QStringLiteral("Cancel"), this), QStringLiteral("CmdCancel"));
    CmdCancel->setGeometry(width() - 104, height() - 44, 96, 32);
    CmdCancel->setAutoDefault(false);
    CmdCancel->setCursor(Qt::ArrowCursor);
}

void FrmJoySel::CreateTooltips()
{
    const auto balloon = [this](QWidget* control, const QString& text, const QString& title) {
        auto tip = std::make_unique<clsTooltips>(this);
        tip->CreateBalloon(control, text, title, clsTooltips::InfoIcon);
        m_balloons.push_back(std::move(tip));
    };
    const QString crlf = QString::fromLatin1(CrLf);
    for (int k = 0; k < m_catalogue.Size() && k < GallerySlots; ++k) {
        const CJoyData& e = m_catalogue.Entries[size_t(k)];
        const auto line = [](const std::string& s) { return QString::fromStdString(s); };
        balloon(PicJoy[size_t(k)],
                crlf + line(e.DescrLine1) + crlf + line(e.DescrLine2) + crlf + line(e.DescrLine3) + crlf +
                    line(e.DescrLine4),
                QString::fromStdString(e.Code));
    }
    balloon(TxtStartUp,
            crlf + QStringLiteral("At start up, in order to enable the output,") + crlf +
                QStringLiteral(" the corresponding input signal must be in neutral.") + crlf,
            QStringLiteral("Joy neutral at start up"));
    balloon(TxtRealtime,
            crlf +
                QStringLiteral("During run time, if man present switch is released while input signal is out of "
                               "neutral,") +
                crlf +
                QStringLiteral(" in order to reactivate the output is requested to return the corresponding input "
                               "signal in neutral.") +
                crlf,
            QStringLiteral("Joy neutral at run time"));
}

clsTooltips* FrmJoySel::Balloon(const QWidget* control) const
{
    for (const auto& t : m_balloons)
        if (t->ParentControl() == control)
            return t.get();
    return nullptr;
}

QString FrmJoySel::SlotTag(int k) const
{
    return k >= 0 && k < GallerySlots ? m_slotTag[size_t(k)] : QString();
}

// Every user action: the working copy's handler, then the widgets follow.
// A failure leaves the dialog as it is and never reaches the event loop.
template <typename F> void FrmJoySel::Handle(F&& action)
{
    if (m_syncing)
        return;
    try {
        action();
    } catch (...) {
    }
    ShowControls();
}

void FrmJoySel::ConnectHandlers()
{
    config::JoySelection& s = *m_selection;
    connect(JInputType, &QComboBox::currentIndexChanged, this,
            [this, &s](int i) { Handle([&] { s.SelectInputType(i); }); });
    connect(JVoltageRange, &QComboBox::currentIndexChanged, this,
            [this, &s](int i) { Handle([&] { s.SelectVoltageRange(i); }); });
    connect(JCar, &QComboBox::currentIndexChanged, this, [this, &s](int i) { Handle([&] { s.SelectRange(i); }); });
    connect(CmbPinL, &QComboBox::currentIndexChanged, this, [this, &s](int i) { Handle([&] { s.SelectPinL(i); }); });
    connect(CmbPinH, &QComboBox::currentIndexChanged, this, [this, &s](int i) { Handle([&] { s.SelectPinH(i); }); });
    connect(CmbJoyInversion, &QComboBox::currentIndexChanged, this,
            [this, &s](int i) { Handle([&] { s.SelectInversion(i); }); });
    connect(ChkUpEn, &QCheckBox::toggled, this, [this, &s](bool on) { Handle([&] { s.SetDeadManEnable(on); }); });
    connect(ChkUpJoyNeutral, &QCheckBox::toggled, this,
            [this, &s](bool on) { Handle([&] { s.SetNeutralOnlyTrigger(on); }); });
    connect(ChkNeutralNeed, &QCheckBox::toggled, this, [this, &s](bool on) { Handle([&] { s.SetNeutralNeed(on); }); });
    for (int k = 0; k < GallerySlots; ++k)
        connect(PicJoy[size_t(k)], &JoySlot::chosen, this, [this, k] { SlotChosen(k); });
    connect(CmdOk, &QPushButton::clicked, this, [this] { Ok(); });
    connect(CmdCancel, &QPushButton::clicked, this, [this] { Cancel(); });
}

// ---------------------------------------------------------------------------
// Showing

void FrmJoySel::Open(int input)
{
    if (input != 0 && input != 1)
        return; // only the two inputs have parameters
    SetTag(QString::number(input));
    if (isVisible())
        Prepare();
    show();
    raise();
    activateWindow();
}

void FrmJoySel::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Shown from hidden: a fresh working copy. A spontaneous show (the
    // window coming back from minimised) keeps the edit.
    if (!event->spontaneous())
        Prepare();
}

void FrmJoySel::PrepareGallery()
{
    for (int k = 0; k < GallerySlots; ++k) {
        const auto i = size_t(k);
        m_slotTag[i] = QStringLiteral("False");
        PicJoy[i]->setEnabled(false);
        PicJoy[i]->setCursor(Qt::ForbiddenCursor);
        PaintBackground(PicJoy[i], QPalette::Button);
        const CJoyData* e = m_catalogue.At(k);
        const JoyEntryPictures* pictures = m_pictures.Entry(k);
        if (!e || !pictures) {
            ImgJoy[i]->SetPicture(QPixmap());
            lblJoy[i]->clear();
            continue;
        }
        if (config::JoySelection::Pickable(*e)) {
            ImgJoy[i]->SetPicture(pictures->Pic);
            m_slotTag[i] = QStringLiteral("True");
            PicJoy[i]->setEnabled(true);
            PicJoy[i]->setCursor(m_hand);
            PaintBackground(PicJoy[i], QPalette::ToolTipBase);
        } else {
            ImgJoy[i]->SetPicture(pictures->PicD);
        }
        lblJoy[i]->setText(QString::fromStdString(e->Code));
    }
}

void FrmJoySel::Prepare()
{
    // The input number: the first field of the tag.
    std::string tag = m_tag.toStdString();
    const int input = QString::fromStdString(NextField(tag)).trimmed().toInt() == 1 ? 1 : 0;
    PrepareGallery();
    m_selection->Show(input, config::JoyParametersOf(m_shell.Context().Table, input));
    LblAxisNum->setText(input == 0 ? QStringLiteral("JOY 1") : QStringLiteral("JOY 2"));
    ShowControls();
}

void FrmJoySel::ShowControls()
{
    m_syncing = true;
    const config::JoyControls& c = m_selection->Controls();
    ShowEntry(JInputType, c.InputType);
    ShowEntry(JVoltageRange, c.VoltageRange);
    ShowEntry(JCar, c.Range);
    ShowEntry(CmbPinL, c.PinL);
    ShowEntry(CmbPinH, c.PinH);
    ShowEntry(CmbJoyInversion, c.Inversion);
    JVoltageRange->setEnabled(c.VoltageRangeEnabled);
    JCar->setEnabled(c.RangeEnabled);
    // Without side B the one pin list takes the whole frame.
    CmbPinL->setGeometry(c.DigitalPinsShown ? QRect(70, 26, 206, 24) : QRect(10, 26, 266, 24));
    LblSideA->setVisible(c.DigitalPinsShown);
    LblSideB->setVisible(c.DigitalPinsShown);
    CmbPinH->setVisible(c.DigitalPinsShown);
    ShowCheck(ChkUpEn, c.DeadManEnable);
    ShowCheck(ChkUpJoyNeutral, c.NeutralOnlyTrigger);
    ShowCheck(ChkNeutralNeed, c.NeutralNeed);

    QPixmap detail;
    switch (c.Detail.Kind) {
    case config::DetailKind::Entry:
        if (const JoyEntryPictures* p = m_pictures.Entry(c.Detail.Position))
            detail = p->Pic;
        break;
    case config::DetailKind::NotUsed:
        detail = m_pictures.NotUsed;
        break;
    case config::DetailKind::Custom:
        detail = m_pictures.Custom;
        break;
    case config::DetailKind::None:
        detail = m_pictures.Unknown;
        break;
    }
    ImgJoyDetail->SetPicture(detail);
    LblJoyCode->setText(QString::fromStdString(c.Detail.Code));
    m_syncing = false;
}

void FrmJoySel::SlotChosen(int k)
{
    // Only a slot whose entry can be picked answers.
    if (SlotTag(k) != QLatin1String("True"))
        return;
    Handle([&] { m_selection->PickEntry(k); });
}

// ---------------------------------------------------------------------------
// Check, OK and Cancel

QString FrmJoySel::JoyCheckData() const { return QString::fromStdString(m_selection->CheckData()); }

void FrmJoySel::Ok()
{
    CoreContext& ctx = m_shell.Context();
    ctx.Shell.SetParamsUnchanged(false);
    const QString error = JoyCheckData();
    if (!error.isEmpty()) {
        const QString title = QString::fromLatin1(CommandText::ConfigurationError);
        if (!ctx.Shell.AssistanceLoggedIn()) {
            m_shell.Dialog().Message(this, error, MessageIcon::Critical, title);
            return;
        }
        if (!m_shell.Dialog().Ask(this, error + QLatin1Char('\r') + QString::fromLatin1(CommandText::ContinueAnyway),
                                  MessageIcon::Warning, title))
            return;
    }
    const config::JoyWorkingCopy values = m_selection->Collect();
    const auto keys = config::JoyParameterKeys(m_selection->Input());
    const auto stored = values.InStoreOrder();
    // All fourteen or none: when a conversion fails, the values stored so
    // far are put back and the dialog stays open.
    std::array<std::pair<int32_t, int32_t>, config::JoyWorkingCopy::Count> before{};
    for (size_t i = 0; i < keys.size(); ++i) {
        CVarData* r = ctx.Table.Record(keys[i]);
        if (!r)
            continue;
        before[i] = {r->DataS.QvsDisplayValueE2, r->DataS.QvsDownloadValueE2};
        try {
            r->QVSSetVar(stored[i]);
        } catch (const std::exception& e) {
            for (size_t j = 0; j < i; ++j)
                if (CVarData* done = ctx.Table.Record(keys[j])) {
                    done->DataS.QvsDisplayValueE2 = before[j].first;
                    done->DataS.QvsDownloadValueE2 = before[j].second;
                }
            const std::string_view key = KeyText(keys[i]);
            m_shell.Dialog().Message(this,
                                     QString::fromLatin1(key.data(), qsizetype(key.size())) + QStringLiteral(" : ") +
                                         QString::fromLocal8Bit(e.what()),
                                     MessageIcon::Critical, QString::fromLatin1(CommandText::ConfigurationError));
            return;
        }
    }
    if (m_drawJoy)
        m_drawJoy();
    hide();
}

void FrmJoySel::Cancel() { hide(); }

void FrmJoySel::reject() { Cancel(); }
