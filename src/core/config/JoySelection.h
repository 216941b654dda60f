#pragma once
// The working copy of the input selection "Select a Joystick", without any
// widget. While the dialog is open it edits a copy of the fourteen
// parameters of one input and the state of the dialog's lists, check boxes
// and detail picture; nothing reaches the parameter table before "OK".
//
// Lists behave like the dialog's: setting an entry (from the user or from
// code) runs the list's handler only when the entry changes, and a refilled
// list has no entry selected, so its next selection always runs it. The
// dialog mirrors Controls() into its widgets and feeds user actions back.
#include "core/config/JoyList.h"
#include "core/link/CatalogueKeys.h"

#include <array>
#include <cstdint>
#include <string>

class IDData;

namespace config {

// The fourteen parameters of an input in the order "OK" stores them.
struct JoyWorkingCopy {
    int32_t Id = 0;          // QVS_JOY_n_ID: catalogue identifier, 20 custom
    int32_t Type = 0;        // QVS_JOY_n_CONFIG: 0, 1, 2, 3 (dialog only), 15, 16
    int32_t Inversion = 0;   // QVS_JOY_n_INV: 170 B coil, 85 A coil
    int32_t NeutralWait = 0; // QVS_JOYn_WAIT: 85 required, 170 not required
    int32_t AnalogPin = 0;   // QVS_JOYn_AN_INPUT: pin code
    int32_t DigitalPins = 0; // QVS_JOYn_DGT_INPUT: bits 0-3 side A, 4-7 side B
    int32_t DeadBand = 0;
    int32_t Neutral = 0;
    int32_t ThMin = 0, ThMax = 0;
    int32_t ErrThMin = 0, ErrThMax = 0;
    int32_t Options = 0;     // QVS_JOY_n_UP: bit 0 dead man, bit 4 neutral-only trigger
    int32_t Range = 0;       // QVS_JOY_n_RANGE: 1, 2 or 8

    static constexpr int Count = 14;
    std::array<int32_t, Count> InStoreOrder() const;
    static JoyWorkingCopy FromStoreOrder(const std::array<int32_t, Count>& v);
};

// The keys of input n (0 or 1), in store order.
std::array<Key, JoyWorkingCopy::Count> JoyParameterKeys(int input);
// The working copy of input n from the display values (unbound keys read 0).
JoyWorkingCopy JoyParametersOf(const IDData& table, int input);

inline constexpr int32_t CustomJoyId = 20;
inline constexpr int32_t GenericJoystickId = 1;
inline constexpr int32_t PlcJoyId = 7;
inline constexpr int32_t DigitalJoyId = 6;

// The signal ranges of JCar and what "OK" stores for each.
struct SignalRange {
    const char* Name;
    int32_t Code, Neutral, DeadBand, ThMin, ThMax, ErrThMin, ErrThMax;
};
inline constexpr std::array<SignalRange, 3> SignalRanges = {{
    {"10-90% (50% neutral)", 1, 511, 41, 102, 920, 51, 971},
    {"25-75% (50% neutral)", 2, 511, 41, 255, 767, 122, 900},
    {"0-95% (0% neutral)", 8, 25, 26, 0, 971, 0, 1003},
}};
// The JCar entry of a range code, -1 for a code not in the table.
int SignalRangeIndex(int32_t code);

// Entries of the dialog's lists.
enum InputTypeEntry { NotConnectedEntry = 0, JoystickEntry = 1, PlcEntry = 2, DigitalEntry = 3 };
inline constexpr std::array<const char*, 4> InputTypeNames = {"not connected", "joystick", "PLC", "Digital"};
inline constexpr std::array<const char*, 2> VoltageRangeNames = {"5V  (regulated)", "Vbb (battery supply)"};
inline constexpr std::array<const char*, 2> InversionNames = {"Input HIGH for B coil control",
                                                              "Input HIGH for A coil control"};

// What the detail picture and code of the current choice show.
enum class DetailKind { None, Entry, NotUsed, Custom };
struct JoyDetail {
    DetailKind Kind = DetailKind::None;
    int Position = -1; // the catalogue entry, for Kind Entry
    std::string Code;  // LblJoyCode
};

// The state of the dialog's controls; -1 = no entry selected.
struct JoyControls {
    int InputType = -1;    // JInputType
    int VoltageRange = -1; // JVoltageRange
    int Range = -1;        // JCar
    int PinL = -1;         // CmbPinL
    int PinH = -1;         // CmbPinH
    int Inversion = -1;    // CmbJoyInversion
    bool VoltageRangeEnabled = true;
    bool RangeEnabled = true;
    bool DigitalPinsShown = false; // LblSideA, LblSideB, CmbPinH
    bool DeadManEnable = false;      // ChkUpEn
    bool NeutralOnlyTrigger = false; // ChkUpJoyNeutral
    bool NeutralNeed = false;        // ChkNeutralNeed
    JoyDetail Detail;
};

class JoySelection {
public:
    // The catalogue must outlive the selection.
    explicit JoySelection(const JoyCatalogue& catalogue) : m_catalogue(catalogue) {}

    // A gallery entry can be picked when its compatibility number is 1 or more.
    static bool Pickable(const CJoyData& entry) { return entry.DrcTypeID >= 1; }

    // Each showing of the dialog for input n: the lists are refilled, the
    // working copy is the loaded values and the controls show it.
    void Show(int input, const JoyWorkingCopy& loaded);
    // A gallery slot chosen (click or Enter); false, and nothing changes,
    // when there is no such entry or it is greyed.
    bool PickEntry(int position);

    // User actions and selections from code.
    void SelectInputType(int index);
    void SelectVoltageRange(int index);
    void SelectRange(int index);
    void SelectPinL(int index);
    void SelectPinH(int index);
    void SelectInversion(int index);
    void SetDeadManEnable(bool on);
    void SetNeutralOnlyTrigger(bool on);
    void SetNeutralNeed(bool on);

    // The pin and reference check of the controls: "" or the error text.
    std::string CheckData() const;
    // The values "OK" stores, taken from the controls (type, signal range,
    // custom identifier, not-used identifier); they become the working copy.
    JoyWorkingCopy Collect();

    int Input() const { return m_input; }
    const JoyWorkingCopy& Working() const { return m_work; }
    const JoyControls& Controls() const { return m_controls; }
    // The input type of the picked entry (or of the loaded parameters).
    int32_t RememberedType() const { return m_rememberedType; }
    const JoyCatalogue& Catalogue() const { return m_catalogue; }

private:
    void ShowWorkingCopy();
    void ShowPins(int32_t t);
    void FollowInputClass(int32_t previousType);

    void InputTypeChosen(int index);
    void VoltageRangeChosen(int index);
    void RangeChosen(int index);
    void PinLChosen(int index);
    void PinHChosen(int index);
    void InversionChosen(int index);

    const JoyCatalogue& m_catalogue;
    int m_input = 0;
    JoyWorkingCopy m_work;
    JoyControls m_controls;
    int32_t m_rememberedType = 0;
    // Inside a showing or a pick: the controls are being drawn from the copy.
    bool m_drawing = false;
};

// The reference check of the stored parameters of both inputs, for the
// main window's Write: one line per input whose analog pin C2.02 or C2.03
// is set to the battery reference, the lines separated by CR; "" when none.
std::string StoredJoyCheckData(const IDData& table);

// The text of the pin and reference check for a pin list index.
std::string JoyIncompatibilityText(int pinIndex);

} // namespace config
