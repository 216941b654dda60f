#pragma once
// The palette dialog: the background and text colour of each of the four
// valve sections, chosen from six preset palettes or one by one with the
// colour chooser. Changes show on the pages at once; OK keeps them in the
// palette file, Cancel puts back the colours the dialog was opened with.
#include "core/files/Lists.h"

#include <QDialog>

#include <array>
#include <cstdint>

class QLabel;
class QPushButton;
class QRadioButton;
class Shell;

class frmSectionColour : public QDialog {
    Q_OBJECT
public:
    static constexpr int Sections = 4;
    static constexpr int PresetCount = 6;
    static constexpr int ManualPage = 36;
    static constexpr const char* CaptionSuffix = " - Palette";

    // Preset palettes: background and text of sections 1..4, 0x00BBGGRR or
    // a system colour.
    struct Preset {
        std::array<int32_t, Sections> Back;
        std::array<int32_t, Sections> Text;
    };
    static const std::array<Preset, PresetCount> Presets;
    static PaletteColours PresetColours(int k);

    // Loads the palette from the palette file (preset 0 when there is none
    // or it is damaged; a damaged file is reported once per run) and lets
    // every page repaint.
    static void frmSectionColourInit(Shell& shell);
    // Every page repaints its sections from the shared palette.
    static void RefreshPages(Shell& shell);

    // The dialog of a main window, created (and loaded) on first use; it is
    // only hidden afterwards.
    static frmSectionColour& Instance(Shell& shell);
    // The Palette command: shows the dialog without blocking and clears the
    // selection of the preset buttons.
    void ShowPalette();

    frmSectionColour(Shell& shell, QWidget* parent);

    // Clicking preset k.
    void ApplyPreset(int k);
    // SecBack(i) / SecText(i): the colour chooser for section i + 1.
    void SetBackColour(int i);
    void SetTextColour(int i);
    // CmdOk / CmdCancel.
    void Ok();
    void Cancel();

    // The undo copy taken when the dialog was opened.
    const PaletteColours& UndoCopy() const { return m_undo; }

    std::array<QLabel*, Sections> lblSec{};
    std::array<QPushButton*, Sections> SecBack{};
    std::array<QPushButton*, Sections> SecText{};
    std::array<QRadioButton*, PresetCount> optSectionColour{};
    std::array<QLabel*, PresetCount> lblSectionColour1{};
    std::array<QLabel*, PresetCount> lblSectionColour2{};
    std::array<QLabel*, PresetCount> lblSectionColour3{};
    std::array<QLabel*, PresetCount> lblSectionColour4{};
    QPushButton* CmdOk = nullptr;
    QPushButton* CmdCancel = nullptr;

public slots:
    void reject() override; // Esc: as Cancel

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // lblSec(0..3) take the shared palette.
    void ShowPaletteLabels();
    void ClearPresetSelection();
    void ChooseColour(int i, bool background);
    std::array<QLabel*, Sections> SampleLabels(int k) const;

    Shell& m_shell;
    PaletteColours m_undo;
};

// Paints a label with an interface colour pair (system colours from the
// application palette).
void PaintSectionLabel(QLabel& label, int32_t back, int32_t text);
