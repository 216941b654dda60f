#pragma once
// The Debugger page: single E2 and RAM words of the controller, read and
// written by catalogue address, continuous polling of one RAM word, the
// dither frequency in RAM and the restore of the default setting. Usable only
// with the assistance login. Tab "A4", no parameters of its own.
#include "gui/pages/Page.h"

#include <QString>
#include <QTimer>

#include <array>
#include <cstdint>
#include <optional>

class CVarData;
class CoreContext;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;

class frmDebug : public Page {
    Q_OBJECT
public:
    static constexpr int ManualPageNumber = 33;
    static constexpr int PollIntervalMs = 20;
    static constexpr int DitherRows = 3;
    static constexpr int DitherRow = 2; // the row bound to QVS_DITHER_FREQ
    static constexpr const char* NoItem = "-------";
    static constexpr const char* NoUnit = "---";
    static constexpr const char* WaitMark = "..Wait..";
    static constexpr const char* InvalidAddress = "Invalid Address";
    // After the typed address: no record of the catalogue has it.
    static constexpr const char* NoVariableAtAddress = "No Variable At Address ";
    static constexpr const char* OperationFailed = "Operation Failed :";
    static constexpr const char* ResetFailed = "Operation Failed!";
    static constexpr const char* PowerResetNotice =
        "POWER RESET Needed For Default Parameters Configuration To Be Effective !!!";
    static constexpr const char* StatusIdle = "Debug...";
    static constexpr const char* StatusReading = "Debug: Reading...";
    static constexpr const char* StatusDisplaying = "Debug: Displaying...";
    static constexpr const char* StatusWriting = "Debug: Writing...";
    static constexpr const char* StatusSetting = "Debug: Setting...";
    static constexpr const char* StatusMonitoring = "Debug: Monitoring...";
    // The value box takes a whole controller word.
    static constexpr int32_t WordMax = 65535;
    // Background of a dither box being edited (red 192, green 192, blue 0).
    static constexpr int32_t EditingColour = 0x00C0C0;

    explicit frmDebug(Shell& shell, QWidget* parent = nullptr);
    ~frmDebug() override;

    int ManualPage() const override { return ManualPageNumber; }
    // Every control follows the assistance login; polling stops.
    void RefreshObject() override;
    // Nothing to check: the page has no parameters of its own.
    QString CheckDataToWrite() override { return {}; }
    // Polling stops (at once, or after the request in flight); the saved
    // indicator value is forgotten (0).
    void DisableTimer() override;
    bool StatusTimerForm() const override;
    void Activated() override;
    void Deactivated() override;

    // 1 when the text is a number of at most 5 characters without "." or
    // ","; otherwise 0.
    static int16_t TextStringIsInteger(const QString& text);
    // The value box as a controller word: a whole number 0..65535, blanks
    // around it allowed; nullopt for anything else.
    static std::optional<int32_t> WordFromText(const QString& text);

    // Enter in txtAddress: selects the first record with the address typed,
    // the first record when no record has it.
    void CmbUpdate();
    // Selects list item k (0 = "-------", k = table index) and shows it.
    void SelectItem(int k);

    // The commands.
    void ReadCommand();
    void WriteCommand();
    void DisplayCommand();
    void SetCommand();
    void MonitorCommand();
    void ResetCommand();
    void CanProbeCommand() {}
    void DitherReadCommand();
    void DitherUpdateCommand();
    // Enter in TxtDataD(i) (also after moving hscData(i)).
    void DitherEnter(int row);

    // The polling timer's tick.
    void PollTick();
    bool Polling() const { return tmrDebug.isActive(); }
    int PollCounter() const { return m_pollCounter; }
    // The ConnectionState the page puts back when it is left.
    int16_t SavedConnectionState() const { return m_savedState; }

    // --- Controls by design name ------------------------------------------
    QComboBox* cmbVariablesList = nullptr;
    QGroupBox* fraGeneral = nullptr;
    QLabel* LblAddress = nullptr;
    QLabel* LblTooltip = nullptr;
    QLabel* LblMonitorName = nullptr;
    QLabel* LblUnit = nullptr;
    QGroupBox* fraCommand = nullptr;
    QLineEdit* txtAddress = nullptr;
    QLineEdit* TxtData = nullptr;
    QPushButton* cmdRead = nullptr;
    QPushButton* cmdWrite = nullptr;
    QPushButton* cmdDisplay = nullptr;
    QPushButton* cmdSet = nullptr;
    QPushButton* cmdMonitor = nullptr;
    QPushButton* cmdReset = nullptr;
    QPushButton* CmdCANProbe = nullptr;
    QGroupBox* fraCedView = nullptr;
    QLabel* lblName = nullptr;
    QLabel* lblE2Data = nullptr;
    QLabel* lblRAMData = nullptr;
    QLabel* LblDisplayE2 = nullptr;
    QLabel* LblDisplayRAM = nullptr;
    QLabel* LblUnitE2 = nullptr;
    QLabel* LblUnitRam = nullptr;
    QGroupBox* fraDither = nullptr;
    std::array<QLabel*, DitherRows> LblData{};
    std::array<QScrollBar*, DitherRows> hscData{};
    std::array<QLineEdit*, DitherRows> TxtDataD{};
    QPushButton* CmdDitherRead = nullptr;
    QPushButton* CmdUpdate = nullptr;
    QTimer tmrDebug;

protected:
    const DrawBarProfile& Profile() const override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CoreContext& Ctx() const;
    // The CAN device is open (a request can be made at all).
    bool LinkOpen() const;
    // The working address (LblAddress) when it is a word address.
    std::optional<int64_t> WorkingAddress() const;
    CVarData* SelectedRecord() const;
    CVarData* DitherRecord() const;
    void ShowSelection(int k);
    void BindDither();
    void ShowDitherValue(int row, int32_t value);
    void SetEditing(QLineEdit& box, bool editing);

    // Every control enabled by the login, the locked ones off while polling.
    void ApplyEnabled();
    // The page is about to set ConnectionState 5: remember the state to put
    // back.
    void EnterDebugState(const char* status);
    // The page's own state ends: Connected after a request that went
    // through, else the remembered state.
    void LeaveDebugState(bool succeeded);
    void RedrawProgress();
    void FinishProgress();
    void ShowFailure(const std::string& error);
    // READ, WRITE, DISPLAY, SET: one word at the working address.
    enum class WordOp { ReadE2, WriteE2, ReadRAM, WriteRAM };
    void RunWordCommand(WordOp op);
    void ShowDisplayValues(const CVarData& r, bool e2, bool ram);
    // Stops the timer and ends polling (flags, state, controls, progress).
    void StopPolling();
    // Polling ends now when no request is waiting, else when it returns.
    void RequestStop();

    // Guards one request of this page at a time (the link's waits dispatch
    // events, so clicks and ticks arrive while a request waits).
    class RequestMark;
    QWidget* m_body = nullptr;
    bool m_requestRunning = false;
    int16_t m_savedState = 0;
    int m_pollCounter = 0;
    bool m_appliedLogin = false;
    bool m_adjustingDither = false;
};
