#pragma once
// The Monitor page: while it is the active page and the controller is
// connected, it polls the controller's error word, power output word and
// digital input word, then the live values of its input monitors, every
// 100 ms, and redraws the READY lamp, the output and input labels, the value
// bars and the picture of the system (valve sections, joysticks with their
// pins, solenoids) in the section colours. It writes nothing to the
// controller. Tab "A2", no parameters of its own.
#include "core/files/Lists.h"
#include "core/link/CatalogueKeys.h"
#include "gui/pages/MonitorDrawing.h"
#include "gui/pages/Page.h"

#include <QPixmap>
#include <QString>

#include <array>
#include <cstdint>
#include <vector>

class CVarData;
class JoyMonitor;
class PollingLoop;
class QGroupBox;
class QLabel;
class QTimer;

class FrmMonitor : public Page {
    Q_OBJECT
public:
    static constexpr const char* StatusText = "Monitor...";
    static constexpr const char* ReadyText = "READY";
    static constexpr const char* NotReadyText = "NOT READY";
    static constexpr const char* UndefinedJoystick = "Undefined Joystick";
    static constexpr const char* NotConnectedShort = "N.C.";

    explicit FrmMonitor(Shell& shell, QWidget* parent = nullptr);
    ~FrmMonitor() override;

    int ManualPage() const override { return 26; }
    void DisableTimer() override;
    bool StatusTimerForm() const override;
    void RefreshObject() override;
    void RefreshColour() override;
    void Activated() override;
    void Deactivated() override;

    // The READY lamp: 0 ready (blue), anything else not ready (red).
    void UpdateErrObj(int32_t value);
    // Bit 2i lights the A labels of section i+1, bit 2i+1 the B labels.
    void UpdateActiveOutput(int32_t value);
    // Lights the input labels whose input number n has bit n-1 set.
    void UpdateActiveDin(int32_t value);
    // One polling cycle: "" or the link's message.
    QString ReadMonitorVar();
    void SetObject();
    void DrawVisibleObject();
    void DrawActualObject(int n, int s);
    void MonitorDrawJoy();
    void MonitorDrawMag();

    // The polling timer and the loop that runs on it.
    QTimer& TmrMonitor();
    PollingLoop& Poller() { return *m_loop; }
    // The joystick list the pictures are looked up in (read at load).
    const std::vector<CJoyData>& JoyList() const { return m_joyList; }
    void SetJoyList(std::vector<CJoyData> list) { m_joyList = std::move(list); }

    // Redraw triggers of the joystick and solenoid pictures: setting one to
    // 1 redraws and returns it to 0. The main window sets both to 1 whenever
    // the connection drops; the Configure page may set them after a change.
    MonitorRedrawTrigger DrawJoyMonitorEventObj;
    MonitorRedrawTrigger DrawMagMonitorEventObj;

    // --- Controls by design name ------------------------------------------
    QGroupBox* FrameDin = nullptr;        // "Digital Inputs"
    std::array<QLabel*, 27> lblDin{};     // elements 0..7, 17, 20..26
    QLabel* LblPinFL11 = nullptr;         // "Floating 1"
    QLabel* LblPinFL21 = nullptr;         // "Floating 2"
    QLabel* LblPinDM1 = nullptr;          // "Man Present"
    QLabel* LblPinSlow1 = nullptr;        // "Slow"
    std::array<QLabel*, 2> LblPinFL{};
    QLabel* LblPinDM = nullptr;
    QLabel* LblPinSlow = nullptr;
    QGroupBox* FramePowerOut = nullptr;   // "Power Outputs"
    std::array<QLabel*, 4> lblHSDA{};
    std::array<QLabel*, 4> lblHSDB{};
    QGroupBox* FrmErr = nullptr;
    MonitorShape* ShpErr = nullptr;
    QLabel* LblErr = nullptr;
    QLabel* ImgCED = nullptr;
    QLabel* lblDRCType = nullptr;
    std::array<QLabel*, 2> JoyDisplay{};
    std::array<QLabel*, 2> lblJoy{};
    std::array<QLabel*, 2> LblPin{};
    std::array<QLabel*, 2> lblDinLJoy{};
    std::array<QLabel*, 2> lblDinHJoy{};
    std::array<QLabel*, 4> MagADisplay{};
    std::array<QLabel*, 4> lblValveA{};
    std::array<QLabel*, 4> lblValveB{};
    std::array<QLabel*, 2> lblCurrent{};
    std::array<MonitorLine*, 4> Line{};   // Line0..Line3
    QLabel* ImgVbb = nullptr;
    std::array<JoyMonitor*, 2> JoyMonitorVal{};
    std::array<JoyMonitor*, 2> JoyMonitorRed{};
    std::array<JoyMonitor*, 2> IMeasure{};
    JoyMonitor* JoyMonitorVbb = nullptr;

protected:
    const DrawBarProfile& Profile() const override;

private:
    void CreateControls();
    std::vector<JoyMonitor*> PollOrder() const;
    CVarData* Rec(Key k) const;
    // Controller values while connected or polling, configuration values otherwise.
    bool ControllerValues() const;
    int32_t ValueOf(Key k) const;
    int32_t DisplayValueOf(Key k) const;
    void SetPinLabels();
    void SetJoystickPins(int j);
    void LayoutSystem(int n);
    void OnJoyMonitorEvent(int i);
    static void SetLit(QLabel* label, bool lit);

    PollingLoop* m_loop = nullptr;
    std::vector<CJoyData> m_joyList;
    QPixmap m_supplyPicture;
    QPixmap m_valvePicture;
    QPixmap m_solenoidPicture;
};
