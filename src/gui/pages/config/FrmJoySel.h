#pragma once
// The input selection "Select a Joystick": configures one of the
// controller's two command inputs. A gallery shows the joystick catalogue
// (greyed entries cannot be picked); the lists and boxes below describe the
// input (type, analog reference, signal range, pins, coil assignment,
// neutral and dead-man options). Everything edits a working copy
// (config::JoySelection); "OK" checks it and stores the fourteen parameters
// of the input, "Cancel" drops it. The Configure page opens the dialog (not
// modal) for input 0 or 1 and redraws its inputs after "OK".
//
// The dialog loads the joystick catalogue and its pictures when it is
// created; the Configure page draws its input pictures from them.
#include "core/config/JoyList.h"
#include "core/config/JoySelection.h"
#include "gui/pages/config/JoyPictures.h"

#include <QCursor>
#include <QDialog>
#include <QFrame>

#include <array>
#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class Shell;
class clsTooltips;
namespace configui {
class FocusFrame;
class PictureBox;
}

// One gallery slot: a focusable box holding the picture and the code label.
// A click or Enter reports the slot; while it has the focus its focus frame
// shows. A disabled slot receives neither.
class JoySlot : public QFrame {
    Q_OBJECT
public:
    explicit JoySlot(QWidget* parent = nullptr);
    void SetFocusFrame(configui::FocusFrame* frame) { m_frame = frame; }

signals:
    void chosen();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    configui::FocusFrame* m_frame = nullptr;
};

class FrmJoySel : public QDialog {
    Q_OBJECT
public:
    static constexpr int ManualPageNumber = 13;
    // Gallery slots: at least as many as the catalogue may hold.
    static constexpr int GallerySlots = config::JoyCatalogue::MaxEntries;
    static constexpr int GalleryColumns = 6;
    static constexpr const char* ListFailure = "'JoyList.ini' file NOT FOUND or CORRUPTED";
    static constexpr const char* ListTooLong =
        "'JoyList.ini' holds more than 17 joysticks: only the first 17 are shown";

    // drawJoy redraws the inputs of the Configure page after "OK".
    FrmJoySel(Shell& shell, std::function<void()> drawJoy, QWidget* parent = nullptr);
    ~FrmJoySel() override;

    // The input number as text (its first TAB-separated field counts).
    QString Tag() const { return m_tag; }
    void SetTag(const QString& tag) { m_tag = tag; }
    // Shows the dialog for input 0 or 1 with a fresh working copy (also when
    // it is already open for the other input).
    void Open(int input);

    // The pin and reference check of the controls: "" or the error text.
    QString JoyCheckData() const;
    // "OK" and "Cancel".
    void Ok();
    void Cancel();

    const config::JoyCatalogue& Catalogue() const { return m_catalogue; }
    const JoyPictures& Pictures() const { return m_pictures; }
    const config::JoySelection& Selection() const { return *m_selection; }
    // The gallery slot's tag: "True" when its entry can be picked.
    QString SlotTag(int k) const;
    // The balloon tooltip of a control, nullptr when it has none.
    clsTooltips* Balloon(const QWidget* control) const;
    const QCursor& HandPointer() const { return m_hand; }

    // Controls by design name.
    QGroupBox* FrameJoy = nullptr;
    std::array<JoySlot*, GallerySlots> PicJoy{};
    std::array<configui::PictureBox*, GallerySlots> ImgJoy{};
    std::array<QLabel*, GallerySlots> lblJoy{};
    std::array<configui::FocusFrame*, GallerySlots> FocusJoy{};
    configui::PictureBox* ImgJoyDetail = nullptr;
    QLabel* LblJoyCode = nullptr;
    QLabel* LblAxisNum = nullptr;
    QLabel* LblInputType = nullptr;
    QComboBox* JInputType = nullptr;
    QLabel* LblVoltageRange = nullptr;
    QComboBox* JVoltageRange = nullptr;
    QLabel* LblCar = nullptr;
    QComboBox* JCar = nullptr;
    QGroupBox* FramePin = nullptr;
    QComboBox* CmbPinL = nullptr;
    QComboBox* CmbPinH = nullptr;
    QLabel* LblSideA = nullptr;
    QLabel* LblSideB = nullptr;
    QComboBox* CmbJoyInversion = nullptr;
    QCheckBox* ChkUpEn = nullptr;
    QLabel* TxtDM = nullptr;
    QCheckBox* ChkUpJoyNeutral = nullptr;
    QLabel* TxtRealtime = nullptr;
    QCheckBox* ChkNeutralNeed = nullptr;
    QLabel* TxtStartUp = nullptr;
    QPushButton* CmdOk = nullptr;
    QPushButton* CmdCancel = nullptr;

    // Escape and the window's close button run Cancel.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void LoadCatalogue();
    void CreateControls();
    void CreateTooltips();
    void ConnectHandlers();
    // Each showing: the gallery and the working copy of the tag's input.
    void Prepare();
    void PrepareGallery();
    // The widgets follow the working copy's controls.
    void ShowControls();
    void SlotChosen(int k);
    template <typename F> void Handle(F&& action);

    Shell& m_shell;
    std::function<void()> m_drawJoy;
    config::JoyCatalogue m_catalogue;
    JoyPictures m_pictures;
    std::unique_ptr<config::JoySelection> m_selection;
    std::array<QString, GallerySlots> m_slotTag;
    std::vector<std::unique_ptr<clsTooltips>> m_balloons;
    QString m_tag = QStringLiteral("0");
    QCursor m_hand;
    bool m_syncing = false;
};
