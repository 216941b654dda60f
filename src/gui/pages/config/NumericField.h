#pragma once
// One numeric entry field: a text box and the scroll bar beside it, kept
// together. The scroll bar carries the allowed range (the record's stored
// limits); a text within the range moves the scroll bar and a scroll bar
// move shows its value in the text. Keys other than digits, "." and
// Backspace never reach the text. Enter and leaving the box check the entry:
// a value outside the range, or a text that is not a number, asks whether to
// restore the controller value. A text that cannot be taken (not a number,
// outside the range, or a value the record's formula cannot convert) stores
// nothing and shows the box as invalid until it is corrected.
//
// What differs between the ramps, the float currents and the dither code is
// the Behaviour: what a text within the range does at once, what is stored
// when the entry is confirmed, and whether the restore value goes through the
// record's display formula.
#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

class QLineEdit;
class QScrollBar;
class QWidget;
struct CVarDataS;

class NumericField : public QObject {
    Q_OBJECT
public:
    enum class State { Valid, NotANumber, OutOfRange, NotConvertible };

    struct Behaviour {
        // The restore value is the controller value converted by the record's
        // download-to-display formula (else the controller value itself).
        bool RestoreThroughFormula = true;
        // A text within the range was typed or set (value = the text).
        std::function<void(int32_t value)> Accepted;
        // The entry was confirmed (Enter, leaving the box, a scroll bar move)
        // with a value within the range. Returns false when the value could
        // not be stored (the box is then shown as invalid).
        std::function<bool(int32_t value)> Confirmed;
    };
    // The Yes/No restore question; true for Yes.
    using Question = std::function<bool(QWidget* parent, const QString& text)>;

    // "Value Not Correct : Restore With '" + value + "' ?"
    static QString RestoreQuestionText(const QString& value);

    NumericField(QLineEdit* text, QScrollBar* scroll, Question ask, Behaviour behaviour, QObject* parent = nullptr);
    ~NumericField() override;

    // Binds the record and shows value: the scroll bar takes the record's
    // limits (within 16 bits) and the value without running its change
    // handling, then the text shows the value (which runs the text handling).
    // A null record leaves the field empty and disabled.
    void Load(CVarDataS* record, int32_t value);
    CVarDataS* Record() const { return m_record; }

    // Enables text box and scroll bar together; a field without a record
    // stays disabled (and follows the wish once a record is loaded).
    void SetEnabled(bool enabled);

    // The text as a 32-bit integer (half to even); nullopt when it is not a
    // number or does not fit.
    std::optional<int32_t> Value() const;
    State CurrentState() const { return m_state; }
    bool IsInvalid() const { return m_state != State::Valid; }
    // "NAME : ENTRY 'text' NOT VALID" + CR while the box is usable and holds a
    // text that was not taken; "" otherwise.
    QString InvalidEntryLine() const;

    // The checks of Enter and of leaving the box.
    void CheckEntry();

    // Stops reacting to the widgets (the page is going).
    void Detach();

    QLineEdit* Text() const { return m_text; }
    QScrollBar* Scroll() const { return m_scroll; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void TextChanged();
    // Shows whether the text can be taken; its value when it can.
    std::optional<int32_t> Evaluate();
    void ScrollChanged(int value);
    void ConfirmRestore();
    void ShowState(State state);
    bool InRange(int32_t v) const;

    QLineEdit* m_text;
    QScrollBar* m_scroll;
    Question m_ask;
    Behaviour m_behaviour;
    CVarDataS* m_record = nullptr;
    QString m_toolTip;
    State m_state = State::Valid;
    bool m_textDriven = false; // the scroll bar is being moved by the text
    bool m_checking = false;   // CheckEntry running (its questions move the focus)
    bool m_detached = false;
    bool m_wantEnabled = false;
};
