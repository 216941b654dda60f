#pragma once
// The diagnostic list of the Diagnostic page: the entries of
// res/ini/DiagnosticList.ini in a grid by bit number (0..8) and group number
// (0..10, the index of the diagnostic error control the entry names a bit of).
#include "core/files/Lists.h"

#include <QString>

#include <array>
#include <optional>
#include <string>

class DiagnosticList {
public:
    static constexpr int BitCount = 9;
    static constexpr int GroupCount = 11;
    static constexpr const char* CorruptText = "'Diagnostic.ini' file NOT FOUND or CORRUPTED";

    // Reads the list file: a header line, then one entry per line (group,
    // bit, address, description, key, two messages, a third message). Blank
    // lines are skipped. Returns "" or why the file was refused; entries read
    // before a bad line stay, but the group count is then 0.
    std::string Load(const QString& path);
    void Clear();

    // The entry of a cell, nullptr when the cell is empty or out of range.
    const CDiagnosticData* Entry(int bit, int group) const;
    // The largest group number read + 1 (1 for a list without entries); 0
    // until a file was read completely.
    int Groups() const { return m_groups; }

    // The text of the report line of an entry's bit: key + " - " + 2^bit.
    static QString LineKey(const CDiagnosticData& entry, int bit);

private:
    std::array<std::array<std::optional<CDiagnosticData>, GroupCount>, BitCount> m_grid;
    int m_groups = 0;
};
