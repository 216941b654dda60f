#pragma once
// Section control: edits the minimum/maximum pair of one valve section (on
// the configuration page the minimum and maximum coil current). Each value has
// a text box with a small spinner; the minimum is kept below the maximum, a
// committed value is converted into the controller value with the record's
// formula, and an entry outside the spinner range offers to restore the last
// confirmed value.
//
// The host hands over two records it owns (setCaricaMin, then setCaricaMax);
// the control keeps references only and writes into them. VarMinChange and
// VarMaxChange follow every commit.
#include "controls/CVarDataS.h"
#include "controls/RsvExport.h"

#include <QMessageBox>
#include <QString>
#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>

class QLabel;
class QLineEdit;
class QScrollBar;
namespace rsv {
class Frame;
}

class RSV_EXPORT CSection : public QWidget {
    Q_OBJECT
    Q_PROPERTY(qint32 FontColor READ FontColor WRITE setFontColor)
    Q_PROPERTY(qint32 BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(QString SectionName READ SectionName WRITE setSectionName)
    Q_PROPERTY(qint16 Max READ Max WRITE setMax)
    Q_PROPERTY(qint16 Min READ Min WRITE setMin)

public:
    // The restore question: shown with the text "Value Not Correct : Restore
    // With '...' ?", answered Yes or No. The default is a message box with the
    // information icon and the application title; tests and hosts may replace
    // it for every instance or for one.
    using RestoreQuestion =
        std::function<QMessageBox::StandardButton(QWidget* parent, const QString& text)>;
    static void SetDefaultRestoreQuestion(RestoreQuestion question);
    void SetRestoreQuestion(RestoreQuestion question);

    explicit CSection(QWidget* parent = nullptr);
    ~CSection() override;

    // Interface _CSection, in its order. Colours are 0x00BBGGRR or 0x800000nn.
    qint32 FontColor() const;
    void setFontColor(qint32 colour);         // frame caption, then both unit labels
    qint32 BackColor() const;
    void setBackColor(qint32 colour);         // frame and control background
    QString SectionName() const;              // empty until set
    void setSectionName(const QString& name); // also the frame caption
    int16_t VarMinID() const;                 // throws ObjectNotSet before setCaricaMin
    int16_t VarMaxID() const;                 // throws ObjectNotSet before setCaricaMax
    int16_t Max() const;                      // upper bound of the minimum spinner
    void setMax(int16_t value);               // upper bound of both spinners
    int16_t Min() const;                      // lower bound of the minimum spinner
    void setMin(int16_t value);               // lower bound of both (negative -> 0)
    // Loads the record and shows it; a value that does not fit 16 bits throws
    // Overflow, one outside the spinner range InvalidPropertyValue (the text
    // box has been set by then).
    void setCaricaMin(CVarDataS& record);
    CVarDataS* CaricaMin() const; // nullptr until loaded
    void setCaricaMax(CVarDataS& record);
    CVarDataS* CaricaMax() const;

signals:
    // Interface __CSection: a minimum or maximum value has been committed.
    void VarMinChange();
    void VarMaxChange();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum Side { MinSide = 0, MaxSide = 1 };
    struct Entry {
        QScrollBar* hsc = nullptr;
        QLineEdit* txt = nullptr;
        CVarDataS* record = nullptr;
        int16_t value = 0;        // last value set through the change path
        QString lastNumberText;   // last text that read as a number
        bool checking = false;    // CheckEntry running
        int setting = 0;          // SetValue calls in progress
    };

    void TextChanged(Side side);
    void ScrollChanged(Side side);
    void SetValue(Side side, int16_t value);
    void CommitValue(Side side);
    void CheckEntry(Side side);
    void ConfirmRestore(Side side);
    void ApplyColours();

    QMessageBox::StandardButton Ask(const QString& text);

    rsv::Frame* FrameSection = nullptr;
    QScrollBar* hscTMin = nullptr;
    QLineEdit* txtTMin = nullptr;
    QScrollBar* hscTMax = nullptr;
    QLineEdit* txtTMax = nullptr;
    std::array<QLabel*, 2> lblUnit{};

    std::array<Entry, 2> m_entry;
    QString m_sectionName;
    qint32 m_fontColor;
    qint32 m_backColor;
    RestoreQuestion m_question;
};
