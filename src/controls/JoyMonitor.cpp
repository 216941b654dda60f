#include "controls/JoyMonitor.h"

#include "controls/RsvColor.h"
#include "controls/RsvError.h"
#include "controls/RsvFormat.h"
#include "controls/RsvNumbers.h"
#include "controls/RsvWidgets.h"

#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QProgressBar>

#include <algorithm>

namespace {

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& caption, QRect geometry,
                  bool bold)
{
    auto* l = new QLabel(caption, parent);
    l->setObjectName(QLatin1String(name));
    l->setGeometry(geometry);
    l->setFont(rsv::DesignFont(9.75, bold));
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return l;
}

} // namespace

JoyMonitor::JoyMonitor(QWidget* parent)
    : QWidget(parent), m_foreColor(RsvSystemColor::ButtonText),
      m_backColor(RsvSystemColor::ButtonFace)
{
    setObjectName(QStringLiteral("JoyMonitor"));
    setFont(rsv::DesignFont(9.75));
    resize(rsv::Twips(2985), rsv::Twips(705));

    FrmeInput = new rsv::Frame(this);
    FrmeInput->setObjectName(QStringLiteral("FrmeInput"));
    FrmeInput->setGeometry(rsv::TwipRect(0, -105, 2955, 750));

    // The frame is the container; positions below are relative to it.
    lblInputName = MakeLabel(FrmeInput, "lblInputName", QStringLiteral("Name"),
                             rsv::TwipRect(405, 165, 2355, 225), true);

    ShpChkInputEnable = new rsv::Shape(rsv::Shape::Border::Dotted, false, FrmeInput);
    ShpChkInputEnable->setObjectName(QStringLiteral("ShpChkInputEnable"));
    ShpChkInputEnable->setGeometry(rsv::TwipRect(67, 255, 300, 315));
    ShpChkInputEnable->hide();

    ChkInputEnable = new QCheckBox(FrmeInput);
    ChkInputEnable->setObjectName(QStringLiteral("ChkInputEnable"));
    ChkInputEnable->setGeometry(rsv::TwipRect(105, 270, 225, 285));
    ChkInputEnable->setChecked(true);
    ChkInputEnable->installEventFilter(this);

    lblInputValue = MakeLabel(FrmeInput, "lblInputValue", QStringLiteral("00.00"),
                              rsv::TwipRect(420, 450, 615, 255), true);
    rsv::SetTextColour(lblInputValue, RsvColorFromOle(0xFF0000));
    lblInputUnit = MakeLabel(FrmeInput, "lblInputUnit", QStringLiteral("mA"),
                             rsv::TwipRect(1020, 450, 345, 225), false);

    ProgressBar = new QProgressBar(FrmeInput);
    ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    ProgressBar->setGeometry(rsv::TwipRect(1380, 450, 1455, 225));
    ProgressBar->setRange(0, 100);
    ProgressBar->setValue(0);
    ProgressBar->setTextVisible(false);
    ProgressBar->setStyleSheet(QStringLiteral(
        "QProgressBar { background-color: #ffffff; border: 1px solid #808080; }"
        "QProgressBar::chunk { background-color: #0000ff; }"));

    setBackColor(m_backColor);
    connect(ChkInputEnable, &QCheckBox::toggled, this, [this](bool checked) {
        try {
            CheckBoxChanged(checked);
        } catch (...) {
        }
    });
}

JoyMonitor::~JoyMonitor() = default;

void JoyMonitor::setCarica(CVarDataS& record)
{
    m_record = &record;
    lblInputName->setToolTip(QString::fromStdString(record.TooltipDecription));
    lblInputName->setText(QString::fromStdString(record.MonitorName));
    lblInputUnit->setText(QString::fromStdString(record.Unit));
    UpdateDisplay(record.QvsDisplayValueRAM);
}

bool JoyMonitor::ActiveProgressBar() const { return !ProgressBar->isHidden(); }

void JoyMonitor::setActiveProgressBar(bool visible) { ProgressBar->setVisible(visible); }

qint32 JoyMonitor::ForeColor() const { return m_foreColor; }

void JoyMonitor::setForeColor(qint32 colour)
{
    m_foreColor = colour;
    const QColor c = RsvColorFromOle(colour);
    rsv::SetTextColour(lblInputName, c);
    rsv::SetTextColour(lblInputValue, c);
    rsv::SetTextColour(lblInputUnit, c);
    ShpChkInputEnable->setBorderColor(c);
}

qint32 JoyMonitor::BackColor() const { return m_backColor; }

void JoyMonitor::setBackColor(qint32 colour)
{
    m_backColor = colour;
    const QColor c = RsvColorFromOle(colour);
    rsv::SetBackColour(this, c);
    rsv::SetBackColour(ChkInputEnable, c);
    FrmeInput->setBackColor(c);
}

CVarDataS* JoyMonitor::Carica() const { return m_record; }

int16_t JoyMonitor::Value() const
{
    const auto v = rsv::ReadNumber(lblInputValue->text(), true);
    if (!v)
        throw RsvControlError(RsvControlError::TypeMismatch, "the shown value is not a number");
    const auto v16 = rsv::RoundToInt16(*v);
    if (!v16)
        throw RsvControlError(RsvControlError::Overflow, "the shown value does not fit 16 bits");
    return *v16;
}

int16_t JoyMonitor::VarID() const
{
    if (!m_record)
        throw RsvControlError(RsvControlError::ObjectNotSet, "no record loaded");
    return m_record->VarID;
}

int16_t JoyMonitor::ThMax() const { return m_thMax; }

void JoyMonitor::setThMax(int16_t value) { m_thMax = std::min<int16_t>(value, 500); }

QString JoyMonitor::DataFormat() const { return m_dataFormat; }

void JoyMonitor::setDataFormat(const QString& format) { m_dataFormat = format; }

int16_t JoyMonitor::ThMin() const { return m_thMin; }

void JoyMonitor::setThMin(int16_t value) { m_thMin = value; }

int16_t JoyMonitor::Max() const { return m_max; }

void JoyMonitor::setMax(int16_t value)
{
    m_max = std::min<int16_t>(value, 32000);
    ProgressBar->setMaximum(m_max);
}

int16_t JoyMonitor::Min() const { return m_min; }

void JoyMonitor::setMin(int16_t value)
{
    m_min = value;
    ProgressBar->setMinimum(m_min);
}

void JoyMonitor::setMonitorEnable(bool enable) { ChkInputEnable->setChecked(enable); }

bool JoyMonitor::MonitorEnable() const { return ChkInputEnable->isChecked(); }

void JoyMonitor::SetBarValue(int v)
{
    ProgressBar->setValue(std::clamp(v, ProgressBar->minimum(), ProgressBar->maximum()));
}

void JoyMonitor::UpdateDisplay(double& value)
{
    if (!ChkInputEnable->isChecked())
        return;
    if (m_record && m_record->F_DownloadToDisplay.find('&') != std::string::npos) {
        const bool on = value > 0;
        lblInputValue->setText(on ? QStringLiteral("ON") : QStringLiteral("OFF"));
        SetBarValue(on ? 100 : 0);
        return;
    }
    // The bands are summed in 32 bits, so extreme limits cannot overflow.
    const int32_t low = int32_t(m_min) + m_thMin;
    const int32_t high = int32_t(m_max) + m_thMax;
    const double shown = value < low ? m_min : value > high ? m_max : value;
    const QString caption = FormatNumber(shown, m_dataFormat);
    lblInputValue->setText(caption);

    int16_t reported = 0;
    if (!caption.isEmpty()) {
        const auto n = rsv::ReadNumber(caption, true);
        const auto v = n ? rsv::RoundToInt32(*n) : std::nullopt;
        if (!v) { // a format with text of its own: nothing to measure
            SetBarValue(0);
            return;
        }
        SetBarValue(*v);
        reported = int16_t(std::clamp<int32_t>(*v, -32768, 32767));
    } else {
        SetBarValue(0);
    }
    emit UpdateValue(reported);
}

void JoyMonitor::CheckBoxChanged(bool checked)
{
    if (checked) {
        if (m_record)
            m_record->MonitorEnable = true;
    } else {
        if (m_record)
            m_record->MonitorEnable = false;
        lblInputValue->setText(QStringLiteral("0"));
        SetBarValue(0);
    }
    int16_t state = checked ? 1 : 0;
    emit CheckEnabled(state);
}

bool JoyMonitor::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ChkInputEnable) {
        if (event->type() == QEvent::FocusIn)
            ShpChkInputEnable->show();
        else if (event->type() == QEvent::FocusOut)
            ShpChkInputEnable->hide();
    }
    return QWidget::eventFilter(watched, event);
}
