#pragma once
// The solenoid and dither dialog "Dither Settings": the one dither frequency
// of the controller, chosen from the list of frequencies or typed as its code.
// The configuration page shows it (not modal) when dither editing is allowed;
// every showing re-reads the parameter and remembers its value, "Cancel"
// (and closing the window) puts that value back, "OK" keeps the edit. Both
// redraw the page's frequency labels.
#include <QDialog>
#include <QPixmap>

#include <array>
#include <cstdint>
#include <functional>

class CVarData;
class NumericField;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;
class Shell;
namespace configui {
class FocusFrame;
class PictureBox;
}

class FrmMagSel : public QDialog {
    Q_OBJECT
public:
    static constexpr int ManualPageNumber = 18;

    // drawDither redraws the page's frequency labels; solenoid is the
    // standard solenoid picture the page loaded.
    FrmMagSel(Shell& shell, std::function<void()> drawDither, const QPixmap& solenoid, QWidget* parent = nullptr);
    ~FrmMagSel() override;

    // The download value remembered when the dialog was shown.
    int32_t RememberedCode() const { return m_remembered; }

    // "OK" and "Cancel".
    void Ok();
    void Cancel();

    QComboBox* cmbDither = nullptr;
    QLineEdit* TxtDitherFreq = nullptr;
    QScrollBar* hscDitherFreq = nullptr;
    QLabel* LblDitherFreq = nullptr;
    QLineEdit* TxtDitherAmp = nullptr;
    QScrollBar* hscDitherAmp = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* TxtDitherAmpPerc = nullptr;
    QScrollBar* hscDitherAmpPerc = nullptr;
    QLabel* Label2 = nullptr;
    std::array<QWidget*, 1> PicMag{};
    std::array<configui::PictureBox*, 1> ImgMag{};
    std::array<QLabel*, 1> LblMag{};
    std::array<configui::FocusFrame*, 1> FocusMag{};
    std::array<QLabel*, 1> lblMagDesc{};
    QPushButton* CmdOk = nullptr;
    QPushButton* CmdCancel = nullptr;

    NumericField* DitherField() const { return m_field; }

    // Escape and the window's close button run Cancel.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Prepare();
    void DitherSelected(int index);
    CVarData* Record() const;

    Shell& m_shell;
    std::function<void()> m_drawDither;
    NumericField* m_field = nullptr;
    int32_t m_remembered = 0;
    // The code the dialog itself stored last: Cancel puts the remembered code
    // back only over that, not over a value a Read or Load brought meanwhile
    // (the dialog is not modal).
    int32_t m_lastStored = 0;
    bool m_syncing = false;
};
