#pragma once
// The Configure page: the editable picture of the controlled system. It
// shows the controller with its valve sections, the inputs that drive them
// and their pins, the coil current limits in normal and slow mode, the ramps
// and ramp modes, the float and slow functions, the dead-man pin and the
// dither frequency, and writes every edit into the parameter records (never
// to the controller). The main window asks it for the two write checks
// before a write. Tab "A1", page masks 10 / 11.
//
// Selections made from code run the selection handler only when they change
// the entry (QComboBox::currentIndexChanged, QCheckBox::toggled): the
// refresh relies on it to write the parameters back from what it selected.
#include "core/link/CatalogueKeys.h"
#include "gui/pages/Page.h"

#include <QCursor>
#include <QPixmap>

#include <array>
#include <functional>
#include <vector>

class CSection;
class CVarData;
class FrmJoySel;
class FrmMagSel;
class NumericField;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QScrollBar;
class QTabWidget;
namespace configui {
class FocusFrame;
class FocusLabel;
class PictureBox;
}

class FrmConfig : public Page {
    Q_OBJECT
public:
    static constexpr int16_t PageReadKey = 10;
    static constexpr int16_t PageWriteKey = 11;
    static constexpr int Sections = 4;     // sections the form can show
    static constexpr int BoundSections = 2; // sections the catalogue's parameters cover
    static constexpr int ManualPageNumber = 10;

    explicit FrmConfig(Shell& shell, QWidget* parent = nullptr);
    ~FrmConfig() override;

    // --- Page protocol ----------------------------------------------------
    // Adds the program version (panel 3) and the parameter status (TxtPar).
    void DrawBar(StatusBarView& statusBar, QProgressBar& progressBar, const QString& text) override;
    void RefreshObject() override;
    QString CheckDataToWrite() override;
    QString CheckFloatPinToWrite() override;
    int ManualPage() const override { return ManualPageNumber; }
    void RefreshColour() override;
    // Closing the main window unloads this page, which runs the exit procedure.
    bool QueryUnload() override;
    void DisableTimer() override {}
    bool StatusTimerForm() const override { return false; }

    // --- Refresh operations the main window calls -------------------------
    void RefreshConfiguration();
    void RefreshData();
    void RefreshName();

    // --- Drawing of the system picture ------------------------------------
    void ConfigDrawMag();
    void DrawDRCSystem();
    // The input pictures (from the joystick catalogue of the input
    // selection), the monitor's joystick redraw and the pin labels.
    void ConfigDrawJoy();
    // Input picture j (0 or 1) from the catalogue entry at a position.
    void DrawJoyPicture(int position, int j);
    // One multi-axis joystick on both inputs: its X and Y pictures.
    void Draw2AxisJoystick(int p0, int p1);
    void ConfigDrawFloat();
    void ConfigDrawSlow() {}
    void JoyVarDefaultSet() { ConfigDrawJoy(); }
    void SetJoyVar(int, int) {}
    // The pins of input (1 or 2) in a label.
    void DrawJoyPinLabel(QLabel* label, int input);
    // The frequency text of the dither code ("---" without the parameter).
    QString UpdateDitherFreq() const;
    void DrawDither();
    // The table index of ramp k's rise / fall time (k = 0..3), 0 otherwise.
    int16_t FindQVSLabelTRISE(int k) const;
    int16_t FindQVSLabelTFALL(int k) const;

    // Opens the input selection for input i (JoySel(i) clicked, Enter on
    // lblJoy(i)); the default opens the dialog.
    std::function<void(int input)> ShowJoySel;

    // --- Controls, by design name -----------------------------------------
    QComboBox* CmbDRCType = nullptr;
    QComboBox* CmbDRCSysType = nullptr;
    configui::PictureBox* ImgCED = nullptr;
    std::array<configui::PictureBox*, Sections> JoySel{};
    std::array<configui::FocusLabel*, Sections> lblJoy{};
    std::array<configui::FocusFrame*, Sections> JoyFocus{};
    std::array<QLabel*, Sections> LblPin{};
    std::array<CSection*, Sections> MagA{}, MagB{}, MagAsdm{}, MagBsdm{};
    std::array<configui::PictureBox*, Sections> MagSel{}, MagSelsdm{};
    std::array<configui::FocusLabel*, Sections> lblMag{}, lblMagsdm{};
    std::array<configui::FocusFrame*, Sections> MagFocus{}, MagFocussdm{};
    std::array<QLabel*, Sections> LblFreq{};
    QLabel* LblMin = nullptr;
    QLabel* lblMax = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    std::array<QLabel*, Sections> lblCurrent{}, lblCurrentsdm{};
    QTabWidget* SSTab1 = nullptr;
    std::array<QCheckBox*, Sections> ChkFull{}, ChkBreak{};
    std::array<QGroupBox*, Sections> RampA{}, RampB{};
    // Ramp k of coil k: 0 = 1A, 1 = 1B, 2 = 2A, 3 = 2B, ... (two per section row).
    std::array<QLineEdit*, 2 * Sections> TxtTRise{}, TxtTFall{};
    std::array<QScrollBar*, 2 * Sections> hscTRise{}, hscTFall{};
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    std::array<QLabel*, Sections> lblUnit1TR{}, lblUnit1TF{}, lblUnit2TR{}, lblUnit2TF{};
    std::array<QLabel*, Sections> lblRump{};
    QGroupBox* FrameDMPin = nullptr;
    QComboBox* CmbDMPin = nullptr;
    QGroupBox* FrameSlowPin = nullptr;
    QComboBox* CmbSlowPin = nullptr;
    QGroupBox* FrameFloat = nullptr;
    QTabWidget* SSTab2 = nullptr;
    std::array<QComboBox*, Sections> CmbFloatPin{}, CmbFloatMagnet{};
    std::array<QLabel*, Sections> lblFloatPin{}, lblFloatMgn{}, lblFloatCur{};
    std::array<QLineEdit*, Sections> TxtFloatCurrent{};
    std::array<QScrollBar*, Sections> hscFloatCurrent{};
    QComboBox* CmbAIRange = nullptr;
    QLabel* Label6 = nullptr;
    QComboBox* Cmb2BProp = nullptr;
    QLabel* Label7 = nullptr;
    std::array<QLabel*, Sections> lblSectionDesc{}, lblJoyDesc{};
    // The lines of the system picture, named Line0..Line3 by section (several
    // lines may share a name).
    std::vector<QFrame*> Lines;
    // The valve block behind the section columns; as wide as the model.
    QFrame* ValveBlock = nullptr;

    // The solenoid and dither dialog (created with the page, hidden).
    FrmMagSel* MagSelDialog() const { return m_magSel; }
    // The input selection (created with the page, hidden); it holds the
    // joystick catalogue and its pictures.
    FrmJoySel* JoySelDialog() const { return m_joySel; }
    // The catalogue positions last drawn for input 1 and 2 (-1 before the
    // first drawing), and how many input pictures have been drawn so far.
    std::array<int, 2> JoyPictureCache() const { return m_joyCache; }
    int JoyPictureDraws() const { return m_joyPictureDraws; }
    // The numeric fields of the ramps and float currents.
    NumericField* RiseField(int k) const { return m_rise[size_t(k)]; }
    NumericField* FallField(int k) const { return m_fall[size_t(k)]; }
    NumericField* FloatCurrentField(int i) const { return m_floatCurrent[size_t(i)]; }
    const QCursor& HandPointer() const { return m_hand; }
    const QPixmap& ValvePicture() const { return m_valvePicture; }
    const QPixmap& SolenoidPicture() const { return m_solenoidPicture; }

protected:
    const DrawBarProfile& Profile() const override;

private:
    void CreateControls();
    void CreateSystemPicture();
    void CreateCurrentTabs();
    void CreateRampTab(QWidget* tab);
    void CreateFunctionFrames();
    // Positions every control of the page.
    void LayoutPage();
    void ConnectHandlers();
    void FillPinList(QComboBox* list);

    // Selection handlers.
    void DMPinSelected(int index);
    void FloatPinSelected(int function, int index);
    void FloatMagnetSelected(int function, int index);
    void SlowPinSelected(int index);
    void SysTypeSelected(int index);
    void DRCTypeSelected(int index);
    void BreakToggled(int section);
    void FullToggled(int section);
    void RampModeBoxToggled(int section, bool breakBox);
    void JoySelClicked(int input);
    void MagSelClicked(int section);
    void SectionChanged(CSection* control, bool minimum);

    // The record of a key, nullptr when the catalogue does not have it.
    CVarData* Record(Key k) const;
    int32_t Display(Key k, int32_t fallback = 0) const;
    int SectionCount() const;
    void SetRampMode(int section, int32_t code);
    void MarkChanged();
    QString AppPath(const QString& relative) const;

    std::array<NumericField*, 2 * Sections> m_rise{}, m_fall{};
    std::array<NumericField*, Sections> m_floatCurrent{};
    FrmMagSel* m_magSel = nullptr;
    FrmJoySel* m_joySel = nullptr;
    std::array<int, 2> m_joyCache{-1, -1};
    int m_joyPictureDraws = 0;
    QPixmap m_valvePicture;
    QPixmap m_solenoidPicture;
    QCursor m_hand;
};
