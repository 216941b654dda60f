#pragma once
// The program's wrapper of one parameter record: fills it from a catalogue
// line and converts between the controller's raw words and display values.
#include "controls/CVarDataS.h"

#include <cstdint>
#include <string>

class IDData;
class ShellState;

class CVarData {
public:
    explicit CVarData(ShellState* shell = nullptr) : m_shell(shell) {}

    CVarDataS DataS;

    // A value came from the controller's E2: Ced and download values take it,
    // the display value is its conversion (rounded, ties to even).
    void ReadE2FromCED(int32_t e2Data);
    // A value came from RAM: the display value is the "|" variant of the
    // formula for CurrentDRCSystem, kept as a double.
    void ReadRAMFromCED(int32_t ramData);
    void WriteE2inCED();
    void WriteRAMinCED();
    // A value came from a configuration file; CedValueE2 is left unchanged.
    void LoadFromFile(int32_t value);
    // The user entered a display value: clears ParamsUnchanged, then converts
    // it to the raw value to write. A formula that fails raises FormulaError
    // and leaves both values unchanged.
    void QVSSetVar(int32_t value);
    // Parses one catalogue line into DataS (defaults first) and binds its key
    // in the table at index VarID. Raises ConversionError for a bad field.
    void Load(const std::string& line, IDData& table);

    // The E2 display conversion of a raw value (no side effects).
    int32_t E2DisplayOf(int32_t raw) const;
    // The RAM display conversion of a raw value (no side effects).
    double RAMDisplayOf(int32_t raw) const;

private:
    ShellState* m_shell;
};
