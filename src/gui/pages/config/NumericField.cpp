#include "gui/pages/config/NumericField.h"

#include "controls/CVarDataS.h"
#include "core/config/ConfigModel.h"
#include "core/link/NumberText.h"

#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTimer>

#include <algorithm>
#include <limits>

namespace {

constexpr const char* InvalidStyle = "QLineEdit { background-color: #ff9c9c; }";

int To16(int32_t v)
{
    return std::clamp<int32_t>(v, std::numeric_limits<int16_t>::min(), std::numeric_limits<int16_t>::max());
}

} // namespace

QString NumericField::RestoreQuestionText(const QString& value)
{
    return QStringLiteral("Value Not Correct : Restore With '") + value + QStringLiteral("' ?");
}

NumericField::NumericField(QLineEdit* text, QScrollBar* scroll, Question ask, Behaviour behaviour, QObject* parent)
    : QObject(parent), m_text(text), m_scroll(scroll), m_ask(std::move(ask)), m_behaviour(std::move(behaviour))
{
    m_text->installEventFilter(this);
    connect(m_text, &QLineEdit::textChanged, this, [this] {
        try {
            TextChanged();
        } catch (...) {
        }
    });
    connect(m_scroll, &QScrollBar::valueChanged, this, [this](int v) {
        try {
            ScrollChanged(v);
        } catch (...) {
        }
    });
    SetEnabled(false);
}

NumericField::~NumericField() { Detach(); }

void NumericField::Detach()
{
    if (m_detached)
        return;
    m_detached = true;
    m_text->removeEventFilter(this);
    disconnect(m_text, nullptr, this, nullptr);
    disconnect(m_scroll, nullptr, this, nullptr);
}

void NumericField::Load(CVarDataS* record, int32_t value)
{
    m_record = record;
    if (!record) {
        m_toolTip.clear();
        m_text->setToolTip(QString());
        {
            const QSignalBlocker block(m_text);
            m_text->clear();
        }
        ShowState(State::Valid);
        SetEnabled(m_wantEnabled);
        return;
    }
    int lo = To16(record->CedValE2Min);
    int hi = To16(record->CedValE2Max);
    if (lo > hi)
        std::swap(lo, hi);
    {
        const QSignalBlocker block(m_scroll);
        m_scroll->setRange(lo, hi);
        m_scroll->setValue(std::clamp(To16(value), lo, hi));
    }
    m_toolTip = QString::fromStdString(record->TooltipDecription);
    SetEnabled(m_wantEnabled);
    const QString text = QString::number(value);
    if (m_text->text() != text)
        m_text->setText(text); // runs the text handling
    else
        Evaluate();            // unchanged text: only its state is worked out again
}

QString NumericField::InvalidEntryLine() const
{
    if (!m_record || !IsInvalid() || !m_text->isEnabled())
        return {};
    return QString::fromStdString(m_record->Name) + QStringLiteral(" : ENTRY '") + m_text->text() +
           QLatin1Char('\'') + QLatin1String(config::EntryNotValid) + QLatin1Char('\r');
}

void NumericField::SetEnabled(bool enabled)
{
    m_wantEnabled = enabled;
    const bool on = enabled && m_record;
    m_text->setEnabled(on);
    m_scroll->setEnabled(on);
}

std::optional<int32_t> NumericField::Value() const
{
    const std::optional<double> d = ParseDecimal(m_text->text().toStdString());
    if (!d)
        return std::nullopt;
    try {
        return RoundToInt32(*d);
    } catch (const ConversionError&) {
        return std::nullopt;
    }
}

bool NumericField::InRange(int32_t v) const { return v >= m_scroll->minimum() && v <= m_scroll->maximum(); }

void NumericField::TextChanged()
{
    if (!m_record || m_detached)
        return;
    if (m_text->text().isEmpty()) {
        // The "0" is selected so that the next key replaces it.
        m_text->setText(QStringLiteral("0"));
        m_text->setSelection(0, 1);
        return;
    }
    const std::optional<int32_t> t = Evaluate();
    if (!t)
        return;
    m_textDriven = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{m_textDriven};
    m_scroll->setValue(*t);
    if (m_behaviour.Accepted)
        m_behaviour.Accepted(*t);
}

std::optional<int32_t> NumericField::Evaluate()
{
    const std::optional<int32_t> t = Value();
    if (!t) {
        ShowState(State::NotANumber);
        return std::nullopt;
    }
    if (!InRange(*t)) {
        ShowState(State::OutOfRange);
        return std::nullopt;
    }
    ShowState(State::Valid);
    return t;
}

void NumericField::ScrollChanged(int value)
{
    // Moved by the text: the text is the entry, confirmed by Enter or by
    // leaving the box, so a value typed on the way is not stored.
    if (!m_record || m_detached || m_textDriven)
        return;
    m_text->setText(QString::number(value));
    CheckEntry();
}

void NumericField::CheckEntry()
{
    if (!m_record || m_checking || m_detached)
        return;
    m_checking = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{m_checking};

    std::optional<int32_t> t = Value();
    if (!t || *t < m_scroll->minimum())
        ConfirmRestore();
    t = Value();
    if (t && m_scroll->maximum() < *t)
        ConfirmRestore();
    t = Value();
    if (!t || !InRange(*t) || !m_behaviour.Confirmed)
        return;
    if (!m_behaviour.Confirmed(*t))
        ShowState(State::NotConvertible);
}

void NumericField::ConfirmRestore()
{
    int32_t restore = 0;
    try {
        restore = config::RestoreValue(*m_record, m_behaviour.RestoreThroughFormula);
    } catch (...) {
        return; // nothing sensible to offer: the box stays marked
    }
    const QString value = QString::number(restore);
    if (m_ask && m_ask(m_text, RestoreQuestionText(value))) {
        m_text->setText(value);
        return;
    }
    // Back into the box once the focus change that led here is over.
    QPointer<QLineEdit> box(m_text);
    QTimer::singleShot(0, m_text, [box] {
        if (box && box->isVisible() && box->isEnabled())
            box->setFocus(Qt::OtherFocusReason);
    });
}

void NumericField::ShowState(State state)
{
    m_state = state;
    QString reason;
    switch (state) {
    case State::Valid:
        break;
    case State::NotANumber:
        reason = QStringLiteral("Not a number: nothing is stored");
        break;
    case State::OutOfRange:
        reason = QStringLiteral("Outside the range %1 to %2: nothing is stored")
                     .arg(m_scroll->minimum())
                     .arg(m_scroll->maximum());
        break;
    case State::NotConvertible:
        reason = QStringLiteral("The value cannot be converted: nothing is stored");
        break;
    }
    m_text->setProperty("invalid", state != State::Valid);
    m_text->setStyleSheet(state == State::Valid ? QString() : QString::fromLatin1(InvalidStyle));
    if (reason.isEmpty())
        m_text->setToolTip(m_toolTip);
    else
        m_text->setToolTip(m_toolTip.isEmpty() ? reason : reason + QLatin1Char('\n') + m_toolTip);
}

bool NumericField::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_text || m_detached)
        return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            try {
                CheckEntry();
            } catch (...) {
            }
            return true; // Enter itself never reaches the text
        }
        if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
            return false; // copy, paste and undo keep working
        const QString t = key->text();
        if (t.isEmpty() || t[0].unicode() < 0x20 || t[0].unicode() == 0x7F)
            return false; // Backspace, Tab, Delete and keys without a character
        const QChar c = t[0];
        if (!((c >= u'0' && c <= u'9') || c == u'.'))
            return true;
        if (m_text->hasSelectedText() && !m_text->isReadOnly()) {
            // A key typed over a selection replaces it in one change, so the
            // text never passes through an empty box (which would become "0"
            // and, for a ramp, be stored on the way).
            QString text = m_text->text();
            const int start = m_text->selectionStart();
            text.replace(start, m_text->selectedText().size(), c);
            m_text->setText(text);
            if (m_text->text() == text)
                m_text->setCursorPosition(start + 1);
            return true;
        }
        return false;
    }
    if (event->type() == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        // Leaving for another control of the form; not a window switch, a
        // popup or the question box, and not a form that is being hidden.
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason && m_text->isVisible()) {
            try {
                CheckEntry();
            } catch (...) {
            }
        }
    }
    return QObject::eventFilter(watched, event);
}
