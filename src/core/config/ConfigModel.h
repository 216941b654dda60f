#pragma once
// The configuration model of the Configure page without any widget: input
// pin codes, the bit fields packed into the float/slow word, the values each
// selection stores, the two write checks, the dither code table and the
// whole-number rule of the entry fields.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

class IDData;
class CJoyData;
struct CVarDataS;

namespace config {

// The five entries of every pin list, index 0..4.
inline constexpr std::array<const char*, 5> PinNames = {
    "Not Connected", "C2.02 (AI_1)", "C2.03 (AI_2)", "C2.04 (AI_3)", "C2.05 (AI_4)"};

// 0 gives 0; any other code gives log2(code) rounded half to even, plus 1
// (1, 2, 4, 8 give 1..4; 3 gives 3; 12 gives 5). Codes below 0 give 0.
int PinIndexFromCode(int32_t code);
// 2^(index-1) rounded half to even; index 0 gives 0.
int32_t PinCodeFromIndex(int index);
// The pin name of a list index, "" outside 0..4.
std::string PinName(int index);

// Masks of the float/slow configuration word.
inline constexpr int32_t FloatSideMask[2] = {0x0003, 0x000C};
inline constexpr int32_t FloatPinMask[2] = {0x00F0, 0x0F00};
inline constexpr int32_t SlowPinMask = 0xF000;

// A nibble of a value: (value AND mask) / divisor of the mask.
int32_t Nibble(int32_t value, int32_t mask);

// The float/slow word after a selection (index L of the list).
int32_t WithFloatPin(int32_t value, int function, int listIndex);
int32_t WithFloatSide(int32_t value, int function, int listIndex);
int32_t WithSlowPin(int32_t value, int listIndex);

// Ramp mode codes and other two-state codes.
inline constexpr int32_t Code170 = 170; // BREAK, B coil, neutral not required, dither editable
inline constexpr int32_t Code85 = 85;   // FULL, A coil, neutral required
inline constexpr int32_t NoJoystick = 255;

inline constexpr int32_t InputNotUsed = 0;
inline constexpr int32_t InputAnalog = 15;
inline constexpr int32_t InputDigital = 16;

inline constexpr const char* PinAlreadyUsed = " : PIN ALREADY USED";
inline constexpr const char* PinNotConnected = " : PIN NOT CONNECTED";
// After "NAME : ENTRY 'text'": a box of the page holds a text that was not
// taken, so the table still holds the value before it.
inline constexpr const char* EntryNotValid = " NOT VALID";
inline constexpr const char* SameFloatPin = " : SAME PIN USED FOR MORE FLOAT FUNCTIONS ";

// The inputs of the write checks (display values of the parameters).
struct PinConfiguration {
    int32_t JoyConfig[2] = {0, 0};   // QVS_JOY_0_CONFIG, QVS_JOY_1_CONFIG
    int32_t JoyAnalog[2] = {0, 0};   // QVS_JOY0_AN_INPUT, QVS_JOY1_AN_INPUT
    int32_t JoyDigital[2] = {0, 0};  // QVS_JOY0_DGT_INPUT, QVS_JOY1_DGT_INPUT
    int32_t JoyId[2] = {NoJoystick, NoJoystick};
    int32_t DeadMan = 0;             // QVS_DEAD_MAN_CFG
    int32_t FloatSlow = 0;           // QVS_FLOAT_SLOW_CONFIG
};

// Reads the display values of the parameters above (unbound keys read 0, an
// unbound joystick identifier reads as "no joystick").
PinConfiguration PinConfigurationOf(const IDData& table);

// Pin conflicts and missing pins, one line per problem ended by CR; "" when
// the pins are consistent.
std::string CheckDataToWrite(const PinConfiguration& c);
// The one warning: both float functions on the same pin.
std::string CheckFloatPinToWrite(const PinConfiguration& c);

// The joystick-list positions of the joysticks of input 1 and 2: the last
// entry whose id matches; an id found nowhere gets the position of the
// "NOTUSED" entry's id (0 when there is none).
std::array<int, 2> FindJoyID(const std::vector<CJoyData>& list, int32_t joy0Id, int32_t joy1Id);

// The 17 dither frequencies, index 0..16 (70..230 Hz).
inline constexpr std::array<const char*, 17> DitherFrequencies = {
    "70", "80", "90", "100", "110", "120", "130", "140", "150",
    "160", "170", "180", "190", "200", "210", "220", "230"};
int DitherIndexFromCode(int32_t code);
int32_t DitherCodeFromIndex(int index);
// The frequency text of a code ("150" for codes outside the table).
std::string DitherFrequencyText(int32_t code);

// Whole number of an entry formula result: truncated toward zero, plus one
// when the fraction is 0.5 or more (so negative values are truncated).
int32_t WholeNumber(double r);

// The download value of a display value typed into an entry field: the
// whole number of the record's display-to-download formula for it, or the
// value itself when the record has no formula. Throws FormulaError when the
// formula cannot be evaluated and std::overflow_error outside 32 bits.
int32_t EntryDownloadValue(const CVarDataS& record, int32_t display);

// The value a restore question offers: the controller value (CedValueE2),
// through the record's download-to-display formula (rounded half to even)
// when throughFormula is set and the record has one. Throws like
// EntryDownloadValue.
int32_t RestoreValue(const CVarDataS& record, bool throughFormula);

// The caption and tooltip of an input's pin label, from the input type, its
// analog pin code and its two digital pin codes (bits 0-3 and 4-7). An analog
// input shows its pin name, a digital one the first five characters of both
// names; "N.C." stands for code 0. A code that names no pin shows "---".
struct PinLabelText {
    std::string Caption;
    std::string ToolTip;
};
PinLabelText JoyPinLabel(int32_t inputType, int32_t analogPin, int32_t digitalPins);

} // namespace config
