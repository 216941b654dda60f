#include "controls/CSection.h"

#include "controls/EvaluateWholeFormula.h"
#include "controls/RsvColor.h"
#include "controls/RsvError.h"
#include "controls/RsvNumbers.h"
#include "controls/RsvWidgets.h"

#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>

#include <algorithm>

namespace {

CSection::RestoreQuestion& DefaultQuestion()
{
    static CSection::RestoreQuestion question;
    return question;
}

QMessageBox::StandardButton RestoreMessageBox(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::Information, QGuiApplication::applicationDisplayName(), text,
                    QMessageBox::Yes | QMessageBox::No, parent);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

// Runs one of the control's input handlers; a failure inside it leaves the
// control as it is and never reaches the event loop.
template <typename F> void Guarded(F&& f)
{
    try {
        f();
    } catch (...) {
    }
}

QScrollBar* MakeSpinner(QWidget* parent, const char* name, QRect geometry)
{
    auto* s = new QScrollBar(Qt::Horizontal, parent);
    s->setObjectName(QLatin1String(name));
    s->setGeometry(geometry);
    s->setRange(100, 2000);
    s->setValue(100);
    s->setSingleStep(1);
    s->setPageStep(1);
    s->setFocusPolicy(Qt::StrongFocus);
    rsv::KeepSystemColours(s);
    return s;
}

QLineEdit* MakeTextBox(QWidget* parent, const char* name, QRect geometry, const QString& text)
{
    auto* t = new QLineEdit(parent);
    t->setObjectName(QLatin1String(name));
    t->setGeometry(geometry);
    t->setFont(rsv::DesignFont(9.75, true));
    t->setText(text);
    rsv::KeepSystemColours(t);
    return t;
}

} // namespace

void CSection::SetDefaultRestoreQuestion(RestoreQuestion question)
{
    DefaultQuestion() = std::move(question);
}

void CSection::SetRestoreQuestion(RestoreQuestion question) { m_question = std::move(question); }

CSection::CSection(QWidget* parent)
    : QWidget(parent), m_fontColor(RsvSystemColor::WindowText),
      m_backColor(RsvSystemColor::ButtonFace)
{
    setObjectName(QStringLiteral("CSection"));
    setFont(rsv::DesignFont(9.75));
    resize(rsv::Twips(4200), rsv::Twips(795));

    FrameSection = new rsv::Frame(this);
    FrameSection->setObjectName(QStringLiteral("FrameSection"));
    FrameSection->setGeometry(rsv::TwipRect(0, 0, 4125, 705));
    FrameSection->setFont(rsv::DesignFont(9.75, true));
    FrameSection->setCaption(QStringLiteral("1A"));

    hscTMin = MakeSpinner(FrameSection, "hscTMin", rsv::TwipRect(150, 286, 492, 252));
    txtTMin = MakeTextBox(FrameSection, "txtTMin", rsv::TwipRect(712, 210, 855, 360),
                          QStringLiteral("500"));
    hscTMax = MakeSpinner(FrameSection, "hscTMax", rsv::TwipRect(2112, 286, 492, 252));
    txtTMax = MakeTextBox(FrameSection, "txtTMax", rsv::TwipRect(2674, 232, 855, 360),
                          QStringLiteral("1000"));
    txtTMax->setToolTip(QStringLiteral("QVS Value - IMax"));
    const int unitLeft[2] = {1637, 3600};
    for (int i = 0; i < 2; ++i) {
        auto* l = new QLabel(QStringLiteral("mA"), FrameSection);
        l->setObjectName(QStringLiteral("lblUnit_%1").arg(i));
        l->setGeometry(rsv::TwipRect(unitLeft[i], 300, 405, 225));
        l->setFont(rsv::DesignFont(9.75));
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        lblUnit[size_t(i)] = l;
    }

    setTabOrder(hscTMax, txtTMin);
    setTabOrder(txtTMin, txtTMax);
    setTabOrder(txtTMax, hscTMin);

    m_entry[MinSide].hsc = hscTMin;
    m_entry[MinSide].txt = txtTMin;
    m_entry[MinSide].lastNumberText = txtTMin->text();
    m_entry[MaxSide].hsc = hscTMax;
    m_entry[MaxSide].txt = txtTMax;
    m_entry[MaxSide].lastNumberText = txtTMax->text();

    for (Side side : {MinSide, MaxSide}) {
        Entry& e = m_entry[side];
        e.txt->installEventFilter(this);
        connect(e.txt, &QLineEdit::textChanged, this,
                [this, side] { Guarded([&] { TextChanged(side); }); });
        connect(e.hsc, &QScrollBar::valueChanged, this,
                [this, side] { Guarded([&] { ScrollChanged(side); }); });
    }
    ApplyColours();
}

CSection::~CSection() = default;

qint32 CSection::FontColor() const { return m_fontColor; }

void CSection::setFontColor(qint32 colour)
{
    m_fontColor = colour;
    ApplyColours();
}

qint32 CSection::BackColor() const { return m_backColor; }

void CSection::setBackColor(qint32 colour)
{
    m_backColor = colour;
    ApplyColours();
}

void CSection::ApplyColours()
{
    const QColor text = RsvColorFromOle(m_fontColor);
    FrameSection->setTextColor(text);
    for (QLabel* l : lblUnit)
        rsv::SetTextColour(l, text);
    const QColor back = RsvColorFromOle(m_backColor);
    FrameSection->setBackColor(back);
    rsv::SetBackColour(this, back);
}

QString CSection::SectionName() const { return m_sectionName; }

void CSection::setSectionName(const QString& name)
{
    m_sectionName = name;
    FrameSection->setCaption(name);
}

int16_t CSection::VarMinID() const
{
    if (!m_entry[MinSide].record)
        throw RsvControlError(RsvControlError::ObjectNotSet, "no minimum record loaded");
    return m_entry[MinSide].record->VarID;
}

int16_t CSection::VarMaxID() const
{
    if (!m_entry[MaxSide].record)
        throw RsvControlError(RsvControlError::ObjectNotSet, "no maximum record loaded");
    return m_entry[MaxSide].record->VarID;
}

int16_t CSection::Max() const { return int16_t(hscTMin->maximum()); }

void CSection::setMax(int16_t value)
{
    hscTMin->setMaximum(value);
    hscTMax->setMaximum(value);
}

int16_t CSection::Min() const { return int16_t(hscTMin->minimum()); }

void CSection::setMin(int16_t value)
{
    if (value < 0)
        value = 0;
    hscTMin->setMinimum(value);
    hscTMax->setMinimum(value);
}

namespace {

// The spinner value of a record's display value: it must fit 16 bits and the
// spinner's range.
int16_t SpinnerValueOf(const CVarDataS& record, const QScrollBar* hsc)
{
    const int32_t v = record.QvsDisplayValueE2;
    if (v < -32768 || v > 32767)
        throw RsvControlError(RsvControlError::Overflow, "display value does not fit 16 bits");
    if (v < hsc->minimum() || v > hsc->maximum())
        throw RsvControlError(RsvControlError::InvalidPropertyValue,
                              "display value outside the spinner range");
    return int16_t(v);
}

} // namespace

void CSection::setCaricaMin(CVarDataS& record)
{
    m_entry[MinSide].record = &record;
    txtTMin->setText(QString::number(record.QvsDisplayValueE2));
    txtTMin->setToolTip(QString::fromStdString(record.TooltipDecription));
    hscTMin->setValue(SpinnerValueOf(record, hscTMin));
}

CVarDataS* CSection::CaricaMin() const { return m_entry[MinSide].record; }

void CSection::setCaricaMax(CVarDataS& record)
{
    m_entry[MaxSide].record = &record;
    txtTMax->setText(QString::number(record.QvsDisplayValueE2));
    hscTMax->setValue(SpinnerValueOf(record, hscTMax));
    txtTMax->setToolTip(QString::fromStdString(record.TooltipDecription));
    const QString unit = QString::fromStdString(record.Unit);
    lblUnit[0]->setText(unit);
    lblUnit[1]->setText(unit);
}

CVarDataS* CSection::CaricaMax() const { return m_entry[MaxSide].record; }

// A typed or programmatic change of a text box. An empty box becomes "0";
// a text that does not read as a number is refused (the last readable text
// comes back); a number within the spinner range and on the right side of the
// other value is set and committed.
void CSection::TextChanged(Side side)
{
    Entry& e = m_entry[side];
    const Entry& other = m_entry[1 - side];
    const QString text = e.txt->text();
    if (text.isEmpty()) {
        e.txt->setText(QStringLiteral("0"));
        e.txt->setSelection(0, 1);
        return;
    }
    const auto number = rsv::ReadNumber(text);
    const auto v = number ? rsv::RoundToInt32(*number) : std::nullopt;
    if (!v) {
        e.txt->setText(e.lastNumberText);
        return;
    }
    e.lastNumberText = text;
    const auto otherV = rsv::TextToInt32(other.txt->text());
    if (!otherV)
        return;
    const bool rightSide = side == MinSide ? *v < *otherV : *otherV < *v;
    if (*v < e.hsc->minimum() || *v > e.hsc->maximum() || !rightSide)
        return;
    const auto v16 = rsv::RoundToInt16(*number);
    if (!v16)
        return;
    e.value = *v16;
    SetValue(side, *v16);
}

// A spinner step: taken while the minimum spinner stays below the maximum
// spinner, otherwise the spinner snaps back to its text.
void CSection::ScrollChanged(Side side)
{
    Entry& e = m_entry[side];
    if (hscTMin->value() < hscTMax->value()) {
        const int16_t v = int16_t(e.hsc->value());
        ++e.setting; // the text's own change path must not commit: SetValue does
        e.txt->setText(QString::number(v));
        --e.setting;
        SetValue(side, v);
        return;
    }
    const auto t = rsv::TextToInt16(e.txt->text());
    int target = t && *t >= e.hsc->minimum() && *t <= e.hsc->maximum()
                     ? *t
                     : std::clamp(int(e.value), e.hsc->minimum(), e.hsc->maximum());
    e.hsc->setValue(target);
}

// Setting the text and the spinner runs their change handlers, which come
// back here; only the outermost call commits, so one edit gives one event.
void CSection::SetValue(Side side, int16_t value)
{
    Entry& e = m_entry[side];
    e.value = int16_t(std::clamp(int(value), e.hsc->minimum(), e.hsc->maximum()));
    ++e.setting;
    struct Leave {
        int& depth;
        ~Leave() { --depth; }
    } leave{e.setting};
    e.txt->setText(QString::number(e.value));
    e.hsc->setValue(e.value);
    if (e.setting == 1)
        CommitValue(side);
}

// Writes the value into the record: display value and, through the record's
// formula, the controller value. Nothing is written before a record is loaded
// or when the formula cannot be evaluated.
void CSection::CommitValue(Side side)
{
    Entry& e = m_entry[side];
    if (!e.record)
        return;
    int32_t download = e.value;
    if (!e.record->F_DisplayToDownload.empty()) {
        try {
            download = EvaluateWholeFormula(e.record->F_DisplayToDownload, e.value, 0, 0);
        } catch (const formula::FormulaError&) {
            return;
        }
    }
    e.record->QvsDisplayValueE2 = e.value;
    e.record->QvsDownloadValueE2 = download;
    if (side == MinSide)
        emit VarMinChange();
    else
        emit VarMaxChange();
}

// Enter, or leaving the text box: an entry outside the spinner range asks to
// restore the last confirmed value; an entry on the wrong side of the other
// value is moved next to it; the entry is then confirmed into CedValueE2.
void CSection::CheckEntry(Side side)
{
    Entry& e = m_entry[side];
    const Entry& other = m_entry[1 - side];
    if (e.checking || !e.record)
        return;
    e.checking = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{e.checking};

    const auto current = [&e] { return rsv::TextToInt32(e.txt->text()); };
    auto v = current();
    if (!v) {
        e.txt->setText(e.lastNumberText);
        return;
    }
    if (*v < e.hsc->minimum())
        ConfirmRestore(side);
    v = current();
    if (v && e.hsc->maximum() < *v)
        ConfirmRestore(side);

    v = current();
    const auto o = rsv::TextToInt32(other.txt->text());
    if (v && o && (side == MinSide ? *v >= *o : *o >= *v))
        e.txt->setText(QString::number(qint64(*o) + (side == MinSide ? -1 : 1)));

    v = current();
    // A value the user kept outside the range after refusing the restore is
    // not confirmed: CedValueE2 keeps the last confirmed value to offer again.
    if (!v || *v < e.hsc->minimum() || *v > e.hsc->maximum())
        return;
    int32_t confirmed = *v;
    if (!e.record->F_DisplayToDownload.empty())
        confirmed = EvaluateWholeFormula(e.record->F_DisplayToDownload, *v, 0, 0);
    e.record->CedValueE2 = confirmed;
}

void CSection::ConfirmRestore(Side side)
{
    Entry& e = m_entry[side];
    int32_t restore = e.record->CedValueE2;
    if (!e.record->F_DownloadToDisplay.empty())
        restore = EvaluateWholeFormula(e.record->F_DownloadToDisplay, e.record->CedValueE2, 0, 0);
    const QString text =
        QStringLiteral("Value Not Correct : Restore With '%1' ?").arg(restore);
    if (Ask(text) == QMessageBox::Yes)
        e.txt->setText(QString::number(restore));
    else
        e.txt->setFocus(Qt::OtherFocusReason);
}

QMessageBox::StandardButton CSection::Ask(const QString& text)
{
    if (m_question)
        return m_question(this, text);
    if (DefaultQuestion())
        return DefaultQuestion()(this, text);
    return RestoreMessageBox(this, text);
}

bool CSection::eventFilter(QObject* watched, QEvent* event)
{
    for (Side side : {MinSide, MaxSide}) {
        if (watched != m_entry[side].txt)
            continue;
        if (event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                Guarded([&] { CheckEntry(side); });
                return true;
            }
            if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
                return false; // shortcuts (copy, paste, undo) keep working
            const QString t = key->text();
            if (t.isEmpty() || t[0].unicode() < 0x20 || t[0].unicode() == 0x7F)
                return false; // Backspace, Tab and keys without a character
            const QChar c = t[0];
            return !((c >= u'0' && c <= u'9') || c == u'.');
        }
        if (event->type() == QEvent::FocusOut) {
            const auto reason = static_cast<QFocusEvent*>(event)->reason();
            // Leaving the box for another control; not a window switch, a
            // popup menu or the question box itself.
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
                Guarded([&] { CheckEntry(side); });
        }
    }
    return QWidget::eventFilter(watched, event);
}
