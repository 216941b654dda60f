#pragma once
// Input monitor control: one live value of the controller with its name, the
// value formatted with its unit, an optional bar and a check box that switches
// the polling of the value on or off. A value whose display formula holds "&"
// (a bit field) is shown as "ON"/"OFF".
//
// The host loads a record it owns (setCarica), sets range, bands and format,
// and pushes each value read with UpdateDisplay. The check box writes the
// record's MonitorEnable.
#include "controls/CVarDataS.h"
#include "controls/RsvExport.h"

#include <QString>
#include <QWidget>

#include <cstdint>

class QCheckBox;
class QLabel;
class QProgressBar;
namespace rsv {
class Frame;
class Shape;
}

class RSV_EXPORT JoyMonitor : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool ActiveProgressBar READ ActiveProgressBar WRITE setActiveProgressBar)
    Q_PROPERTY(qint32 ForeColor READ ForeColor WRITE setForeColor)
    Q_PROPERTY(qint32 BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(qint16 ThMax READ ThMax WRITE setThMax)
    Q_PROPERTY(QString DataFormat READ DataFormat WRITE setDataFormat)
    Q_PROPERTY(qint16 ThMin READ ThMin WRITE setThMin)
    Q_PROPERTY(qint16 Max READ Max WRITE setMax)
    Q_PROPERTY(qint16 Min READ Min WRITE setMin)
    Q_PROPERTY(bool MonitorEnable READ MonitorEnable WRITE setMonitorEnable)

public:
    explicit JoyMonitor(QWidget* parent = nullptr);
    ~JoyMonitor() override;

    // Interface _JoyMonitor, in its order. Colours are 0x00BBGGRR or 0x800000nn.
    void setCarica(CVarDataS& record); // name, hint, unit, then shows QvsDisplayValueRAM
    bool ActiveProgressBar() const;
    void setActiveProgressBar(bool visible);
    qint32 ForeColor() const;
    void setForeColor(qint32 colour); // name, value and unit texts and the focus mark
    qint32 BackColor() const;
    void setBackColor(qint32 colour); // control, check box and frame
    CVarDataS* Carica() const;        // nullptr until loaded
    // The shown value read as a 16-bit integer (half to even); throws
    // TypeMismatch while "ON"/"OFF" is shown, Overflow beyond 16 bits.
    int16_t Value() const;
    int16_t VarID() const; // throws ObjectNotSet before setCarica
    int16_t ThMax() const;
    void setThMax(int16_t value); // at most 500
    QString DataFormat() const;
    void setDataFormat(const QString& format);
    int16_t ThMin() const;
    void setThMin(int16_t value);
    int16_t Max() const;
    void setMax(int16_t value); // at most 32000; also the bar maximum
    int16_t Min() const;
    void setMin(int16_t value); // also the bar minimum
    void setMonitorEnable(bool enable); // checks or unchecks ChkInputEnable
    bool MonitorEnable() const;
    // Shows a value: below Min + ThMin as Min, above Max + ThMax as Max,
    // formatted with DataFormat; the bar follows within its range. Nothing
    // happens while the box is unchecked.
    void UpdateDisplay(double& value);
    void UpdateDisplay(double&& value) { UpdateDisplay(value); }

signals:
    // Interface __JoyMonitor. Arguments are references the host may read and
    // change (connect with Qt::DirectConnection).
    void CheckEnabled(int16_t& Value); // check box state: 1 checked, 0 unchecked
    void UpdateValue(int16_t& Value);  // the shown value after a numeric update

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CheckBoxChanged(bool checked);
    void SetBarValue(int v);

    rsv::Frame* FrmeInput = nullptr;
    QLabel* lblInputName = nullptr;
    QCheckBox* ChkInputEnable = nullptr;
    rsv::Shape* ShpChkInputEnable = nullptr;
    QLabel* lblInputValue = nullptr;
    QLabel* lblInputUnit = nullptr;
    QProgressBar* ProgressBar = nullptr;

    CVarDataS* m_record = nullptr;
    int16_t m_max = 32000;
    int16_t m_min = 0;
    int16_t m_thMax = 0;
    int16_t m_thMin = 0;
    QString m_dataFormat = QStringLiteral("##,##0.0");
    qint32 m_foreColor;
    qint32 m_backColor;
};
