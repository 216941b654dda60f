#include "core/config/ConfigModel.h"

#include "core/files/Lists.h"
#include "core/link/IDData.h"
#include "core/link/StringEval.h"

#include <cmath>
#include <stdexcept>

namespace config {

int PinIndexFromCode(int32_t code)
{
    if (code <= 0)
        return 0;
    return static_cast<int>(std::nearbyint(std::log2(static_cast<double>(code)))) + 1;
}

int32_t PinCodeFromIndex(int index)
{
    return static_cast<int32_t>(std::nearbyint(std::pow(2.0, index - 1)));
}

std::string PinName(int index)
{
    if (index < 0 || index >= static_cast<int>(PinNames.size()))
        return {};
    return PinNames[static_cast<size_t>(index)];
}

int32_t Nibble(int32_t value, int32_t mask)
{
    int32_t divisor = 1;
    while (divisor < mask && (mask & divisor) == 0)
        divisor <<= 1;
    return (value & mask) / divisor;
}

int32_t WithFloatPin(int32_t value, int function, int listIndex)
{
    int32_t v = value & ~FloatPinMask[function & 1];
    if (listIndex > 0)
        v += static_cast<int32_t>(std::pow(2.0, 4 * (function & 1) + listIndex + 3));
    return v;
}

int32_t WithFloatSide(int32_t value, int function, int listIndex)
{
    int32_t v = value & ~FloatSideMask[function & 1];
    if (listIndex >= 1)
        v += static_cast<int32_t>(std::pow(2.0, listIndex - 1) * std::pow(4.0, function & 1));
    return v;
}

int32_t WithSlowPin(int32_t value, int listIndex)
{
    int32_t v = value & 0x0FFF;
    if (listIndex >= 1)
        v += static_cast<int32_t>(std::pow(2.0, listIndex + 11));
    return v;
}

PinConfiguration PinConfigurationOf(const IDData& table)
{
    const auto display = [&](Key k, int32_t fallback) {
        const CVarData* r = table.Record(k);
        return r ? r->DataS.QvsDisplayValueE2 : fallback;
    };
    PinConfiguration c;
    c.JoyConfig[0] = display(Key::QVS_JOY_0_CONFIG, 0);
    c.JoyConfig[1] = display(Key::QVS_JOY_1_CONFIG, 0);
    c.JoyAnalog[0] = display(Key::QVS_JOY0_AN_INPUT, 0);
    c.JoyAnalog[1] = display(Key::QVS_JOY1_AN_INPUT, 0);
    c.JoyDigital[0] = display(Key::QVS_JOY0_DGT_INPUT, 0);
    c.JoyDigital[1] = display(Key::QVS_JOY1_DGT_INPUT, 0);
    c.JoyId[0] = display(Key::QVS_JOY_0_ID, NoJoystick);
    c.JoyId[1] = display(Key::QVS_JOY_1_ID, NoJoystick);
    c.DeadMan = display(Key::QVS_DEAD_MAN_CFG, 0);
    c.FloatSlow = display(Key::QVS_FLOAT_SLOW_CONFIG, 0);
    return c;
}

std::string CheckDataToWrite(const PinConfiguration& c)
{
    const int32_t p[10] = {
        c.JoyAnalog[0] & 0xF, c.JoyDigital[0] & 0xF, (c.JoyDigital[0] & 0xF0) / 16,
        c.JoyAnalog[1] & 0xF, c.JoyDigital[1] & 0xF, (c.JoyDigital[1] & 0xF0) / 16,
        c.DeadMan & 0xF, Nibble(c.FloatSlow, FloatPinMask[0]), Nibble(c.FloatSlow, FloatPinMask[1]),
        Nibble(c.FloatSlow, SlowPinMask)};
    int uses[16] = {};
    for (int32_t code : p) {
        const int idx = PinIndexFromCode(code);
        if (idx >= 0 && idx < 16)
            ++uses[idx];
    }
    std::string text;
    for (int j = 1; j <= 4; ++j)
        if (uses[j] > 1)
            text += PinName(j) + PinAlreadyUsed + "\r";

    const int f1 = p[7] > 0 ? PinIndexFromCode(p[7]) : -1;
    const int f2 = p[8] > 0 ? PinIndexFromCode(p[8]) : -1;
    int tally = 0;
    for (int j = 1; j <= 4; ++j) {
        if (uses[j] < 2)
            continue;
        if (f1 == j && f2 == j) {
            tally += 32;
            if (uses[j] < 3)
                continue;
        }
        tally += 1;
    }
    if (tally == 32)
        text.clear();

    for (int n = 0; n < 2; ++n)
        if (c.JoyId[n] != NoJoystick && c.JoyConfig[n] == InputAnalog && (c.JoyAnalog[n] & 0xF) == 0)
            text += "JOY_" + std::to_string(n + 1) + PinNotConnected + "\r";
    for (int n = 0; n < 2; ++n)
        if (c.JoyConfig[n] == InputDigital && (c.JoyDigital[n] & 0xF) == 0 && (c.JoyDigital[n] & 0xF0) == 0)
            text += "JOY_" + std::to_string(n + 1) + PinNotConnected + "\r";
    return text;
}

std::string CheckFloatPinToWrite(const PinConfiguration& c)
{
    const int32_t p7 = Nibble(c.FloatSlow, FloatPinMask[0]);
    const int32_t p8 = Nibble(c.FloatSlow, FloatPinMask[1]);
    if (p7 > 0 && p8 > 0 && p7 == p8)
        return PinName(PinIndexFromCode(p7)) + SameFloatPin + "\r";
    return {};
}

std::array<int, 2> FindJoyID(const std::vector<CJoyData>& list, int32_t joy0Id, int32_t joy1Id)
{
    constexpr int NotFound = 100;
    int defaultId = -1;
    for (const CJoyData& j : list)
        if (j.JoyFileName == "NOTUSED")
            defaultId = j.id;
    std::array<int, 2> pos = {NotFound, NotFound};
    int defaultPos = 0;
    for (size_t i = 0; i < list.size(); ++i) {
        if (list[i].id == joy0Id)
            pos[0] = static_cast<int>(i);
        if (list[i].id == joy1Id)
            pos[1] = static_cast<int>(i);
        if (defaultId >= 0 && list[i].id == defaultId) {
            defaultPos = static_cast<int>(i);
        }
    }
    for (int& p : pos)
        if (p == NotFound)
            p = defaultPos;
    return pos;
}

int DitherIndexFromCode(int32_t code)
{
    if (code >= 1 && code <= 8)
        return code + 8;
    if (code >= 9 && code <= 16)
        return code - 9;
    return 8;
}

int32_t DitherCodeFromIndex(int index)
{
    if (index >= 0 && index <= 7)
        return index + 9;
    if (index >= 9 && index <= 16)
        return index - 8;
    return 0;
}

std::string DitherFrequencyText(int32_t code)
{
    return DitherFrequencies[static_cast<size_t>(DitherIndexFromCode(code))];
}

int32_t WholeNumber(double r)
{
    if (!std::isfinite(r))
        throw std::overflow_error("value outside the 32-bit range");
    const double f = std::trunc(r);
    const double whole = r - f >= 0.5 ? f + 1 : f;
    // Checked after the rounding: 2147483647.5 rounds to 2^31, no int32.
    if (whole > 2147483647.0 || whole < -2147483648.0)
        throw std::overflow_error("value outside the 32-bit range");
    return static_cast<int32_t>(whole);
}

int32_t EntryDownloadValue(const CVarDataS& record, int32_t display)
{
    if (record.F_DisplayToDownload.empty())
        return display;
    return WholeNumber(EvaluateFormula(record.F_DisplayToDownload, display));
}

int32_t RestoreValue(const CVarDataS& record, bool throughFormula)
{
    if (!throughFormula || record.F_DownloadToDisplay.empty())
        return record.CedValueE2;
    const double v = EvaluateFormula(record.F_DownloadToDisplay, record.CedValueE2);
    if (!std::isfinite(v) || v >= 2147483647.5 || v <= -2147483648.5)
        throw std::overflow_error("value outside the 32-bit range");
    return static_cast<int32_t>(std::nearbyint(v));
}

namespace {

// The list name of a pin code; "" when the code names no entry.
std::string PinNameOfCode(int32_t code) { return PinName(PinIndexFromCode(code)); }

} // namespace

PinLabelText JoyPinLabel(int32_t inputType, int32_t analogPin, int32_t digitalPins)
{
    constexpr const char* NotConnectedShort = "N.C.";
    constexpr const char* Unknown = "---";
    PinLabelText label;
    if ((inputType & 0xF) != 0) {
        const std::string name = PinNameOfCode(analogPin);
        label.Caption = analogPin == 0 ? NotConnectedShort : name.empty() ? Unknown : name;
        label.ToolTip = name.empty() ? "Pin code " + std::to_string(analogPin) : name;
        return label;
    }
    if ((inputType & 0x10) != 0) {
        const int32_t codes[2] = {digitalPins & 0xF, (digitalPins & 0xF0) / 16};
        std::string caption[2], tip[2];
        for (int i = 0; i < 2; ++i) {
            const std::string name = PinNameOfCode(codes[i]);
            caption[i] = codes[i] == 0 ? NotConnectedShort : name.empty() ? Unknown : name.substr(0, 5);
            tip[i] = name.empty() ? "Pin code " + std::to_string(codes[i]) : name;
        }
        label.Caption = caption[0] + " " + caption[1];
        label.ToolTip = tip[0] + " " + tip[1];
        return label;
    }
    label.Caption = NotConnectedShort;
    label.ToolTip = PinNames[0];
    return label;
}

} // namespace config
