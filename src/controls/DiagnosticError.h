#pragma once
// Diagnostic error control: the low eight bits of one controller error word
// as a column of lamps (bit 0 at the top), each with its text, and a check box
// that switches the word off. Every change of the word is reported with the
// bits that changed; switching off reports all eight bits as cleared.
#include "controls/CVarDataS.h"
#include "controls/RsvExport.h"

#include <QString>
#include <QWidget>

#include <array>
#include <cstdint>

class QCheckBox;
class QLabel;
namespace rsv {
class Frame;
class Shape;
}

class RSV_EXPORT DiagnosticError : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool LongVar READ LongVar WRITE setLongVar)
    Q_PROPERTY(qint16 MsgID READ MsgID WRITE setMsgID)
    Q_PROPERTY(bool Enable READ Enable WRITE setEnable)

public:
    explicit DiagnosticError(QWidget* parent = nullptr);
    ~DiagnosticError() override;

    // Interface _DiagnosticError, in its order.
    void setCarica(CVarDataS& record); // keeps the record; frame caption := MonitorName
    int16_t VarID() const;             // throws ObjectNotSet before setCarica
    void setLongVar(bool value);       // the word's bits are in its high byte
    bool LongVar() const;
    void setMsgID(int16_t value); // group number of the host, stored only
    int16_t MsgID() const;
    // Text of bit BitNumber (0..7); throws ElementDoesNotExist otherwise.
    void SetDecripion(int16_t BitNumber, const QString& TextDescription);
    bool Enable() const;
    void setEnable(bool enable); // checks or unchecks ChkEnable
    // Shows a word. With LongVar the word is divided by 256 first and the
    // caller's variable receives the divided value. Nothing happens while
    // switched off.
    void UpdateDisplay(int32_t& value);
    void UpdateDisplay(int32_t&& value) { UpdateDisplay(value); }

signals:
    // Interface __DiagnosticError: the shown word changed (Value, the bits
    // that changed) or was switched off (0, 255). Arguments are references
    // the host may read and change (connect with Qt::DirectConnection). A word
    // beyond 16 bits is reported with its low 16 bits as a signed number.
    void UpdateErrorMessage(int16_t& Value, int32_t& ChangedBitMask);

private:
    void CheckBoxChanged(bool checked);
    void SetLamps(const QColor& colour);

    QCheckBox* ChkEnable = nullptr;
    rsv::Frame* FrameDiagnostic = nullptr;
    std::array<rsv::Shape*, 8> shpBit{};
    std::array<QLabel*, 8> lblErrorBit{};

    CVarDataS* m_record = nullptr;
    int32_t m_lastValue = 0;
    bool m_longVar = false;
    int16_t m_msgID = 0;
};
