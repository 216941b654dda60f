#pragma once
// The Diagnostic page: while it is the active page and the controller is
// connected, it reads the controller's error words every 100 ms and shows
// the low eight bits of each as lamps named from the diagnostic list. A bit
// that rises adds a line with its key and two messages to the report list; a
// bit that falls removes the lines of its key. Tab "A3", no parameters of
// its own.
#include "gui/pages/DiagnosticList.h"
#include "gui/pages/Page.h"

#include <array>
#include <cstdint>

class DiagnosticError;
class PollingLoop;
class QGroupBox;
class QRadioButton;
class QTabWidget;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

class frmDiagnostic : public Page {
    Q_OBJECT
public:
    static constexpr const char* StatusText = "Diagnostic...";
    static constexpr int ControlCount = 11;
    static constexpr int UsedControls = 5;

    explicit frmDiagnostic(Shell& shell, QWidget* parent = nullptr);
    ~frmDiagnostic() override;

    int ManualPage() const override { return 29; }
    void DisableTimer() override;
    bool StatusTimerForm() const override;
    void RefreshObject() override;
    void Activated() override;
    void Deactivated() override;

    // Reads res/ini/DiagnosticList.ini; a missing or corrupt list is reported
    // with the corruption message and the page works on without it.
    void LoadDiagnosticList();
    void SetDescriptions();
    void DrawOptSelct();
    // One polling cycle: "" or the link's message.
    QString ReadDiagnosticVar();
    // The event of DiagnosticError(index).
    void UpdateErrorMessage(int index, int16_t Value, int32_t ChangedBitMask);

    QTimer& TimerDiagnostic();
    PollingLoop& Poller() { return *m_loop; }
    const DiagnosticList& List() const { return m_list; }
    // The line most recently added to ListView1 (nullptr when none is left).
    QTreeWidgetItem* LastAddedLine() const;

    // --- Controls by design name ------------------------------------------
    std::array<::DiagnosticError*, ControlCount> DiagnosticError{};
    QTabWidget* TabStrip1 = nullptr;
    QTreeWidget* ListView1 = nullptr;
    QGroupBox* FrameJoySel = nullptr;
    QGroupBox* FrameCurSel = nullptr;
    QGroupBox* FrameSptSel = nullptr;
    std::array<QRadioButton*, 2> optSelectjoy{};
    std::array<QRadioButton*, 2> optSelectCur{};
    std::array<QRadioButton*, 2> optSelectSP{};

protected:
    const DrawBarProfile& Profile() const override;
    // The report list takes the height the page has below the lamps.
    void resizeEvent(QResizeEvent* event) override;

private:
    void CreateControls();

    PollingLoop* m_loop = nullptr;
    DiagnosticList m_list;
    QTreeWidgetItem* m_lastAdded = nullptr;
};
