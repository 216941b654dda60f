#include "controls/DiagnosticError.h"

#include "controls/RsvColor.h"
#include "controls/RsvError.h"
#include "controls/RsvWidgets.h"

#include <QCheckBox>
#include <QLabel>

namespace {

const int32_t LampSet = 0x0000FF; // red
const int32_t LampClear = RsvSystemColor::WindowBackground;
const int32_t LampOff = RsvSystemColor::ButtonFace;

} // namespace

DiagnosticError::DiagnosticError(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("DiagnosticError"));
    setFont(rsv::DesignFont(8.25));
    resize(rsv::Twips(1425), rsv::Twips(2475));

    FrameDiagnostic = new rsv::Frame(this);
    FrameDiagnostic->setObjectName(QStringLiteral("FrameDiagnostic"));
    FrameDiagnostic->setGeometry(rsv::TwipRect(0, 255, 1395, 2205));
    FrameDiagnostic->setFont(rsv::DesignFont(8.25, true));
    FrameDiagnostic->setCaption(QStringLiteral("Title"));

    for (int b = 0; b < 8; ++b) {
        auto* lamp = new rsv::Shape(rsv::Shape::Border::Solid, true, FrameDiagnostic);
        lamp->setObjectName(QStringLiteral("shpBit_%1").arg(b));
        lamp->setGeometry(rsv::TwipRect(60, 210 + 240 * b, 135, 255));
        lamp->setFillColor(RsvColorFromOle(LampClear));
        shpBit[size_t(b)] = lamp;

        auto* text = new QLabel(QStringLiteral("------"), FrameDiagnostic);
        text->setObjectName(QStringLiteral("lblErrorBit_%1").arg(b));
        text->setGeometry(rsv::TwipRect(300, 210 + 240 * b, 975, 255));
        text->setFont(rsv::DesignFont(8.25));
        text->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        lblErrorBit[size_t(b)] = text;
    }

    // Created after the frame so that it lies above the frame's top edge.
    ChkEnable = new QCheckBox(QStringLiteral("Enable"), this);
    ChkEnable->setObjectName(QStringLiteral("ChkEnable"));
    ChkEnable->setGeometry(rsv::TwipRect(45, -30, 1155, 315));
    ChkEnable->setChecked(true);
    connect(ChkEnable, &QCheckBox::toggled, this, [this](bool checked) {
        try {
            CheckBoxChanged(checked);
        } catch (...) {
        }
    });
}

DiagnosticError::~DiagnosticError() = default;

void DiagnosticError::setCarica(CVarDataS& record)
{
    m_record = &record;
    FrameDiagnostic->setCaption(QString::fromStdString(record.MonitorName));
}

int16_t DiagnosticError::VarID() const
{
    if (!m_record)
        throw RsvControlError(RsvControlError::ObjectNotSet, "no record loaded");
    return m_record->VarID;
}

void DiagnosticError::setLongVar(bool value) { m_longVar = value; }

bool DiagnosticError::LongVar() const { return m_longVar; }

void DiagnosticError::setMsgID(int16_t value) { m_msgID = value; }

int16_t DiagnosticError::MsgID() const { return m_msgID; }

void DiagnosticError::SetDecripion(int16_t BitNumber, const QString& TextDescription)
{
    if (BitNumber < 0 || BitNumber > 7)
        throw RsvControlError(RsvControlError::ElementDoesNotExist,
                              "no error bit " + std::to_string(BitNumber));
    lblErrorBit[size_t(BitNumber)]->setText(TextDescription);
}

bool DiagnosticError::Enable() const { return ChkEnable->isChecked(); }

void DiagnosticError::setEnable(bool enable) { ChkEnable->setChecked(enable); }

void DiagnosticError::SetLamps(const QColor& colour)
{
    for (rsv::Shape* lamp : shpBit)
        lamp->setFillColor(colour);
}

void DiagnosticError::UpdateDisplay(int32_t& value)
{
    if (!ChkEnable->isChecked())
        return;
    if (m_longVar)
        value /= 256; // truncates toward zero
    const QColor set = RsvColorFromOle(LampSet);
    const QColor clear = RsvColorFromOle(LampClear);
    for (int b = 0; b < 8; ++b)
        shpBit[size_t(b)]->setFillColor((value >> b) & 1 ? set : clear);
    if (value != m_lastValue) {
        int16_t reported = static_cast<int16_t>(static_cast<uint16_t>(value & 0xFFFF));
        int32_t changed = m_lastValue ^ value;
        m_lastValue = value;
        emit UpdateErrorMessage(reported, changed);
        return;
    }
    m_lastValue = value;
}

void DiagnosticError::CheckBoxChanged(bool checked)
{
    FrameDiagnostic->setEnabled(checked);
    if (checked) {
        SetLamps(RsvColorFromOle(LampClear));
        return;
    }
    SetLamps(RsvColorFromOle(LampOff));
    m_lastValue = 0;
    int16_t value = 0;
    int32_t mask = 255;
    emit UpdateErrorMessage(value, mask);
}
