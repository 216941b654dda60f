#pragma once
// The parameter catalogue: the variable table of one record per catalogue
// line, and the 96 keys bound to table indices.
#include "core/link/CVarData.h"
#include "core/link/CatalogueKeys.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <memory>
#include <string>

class ShellState;

class IDData {
public:
    static constexpr int MaxRecords = 250;
    static constexpr const char* LoadFailureText = "'Ramlist.ini' file NOT FOUND or CORRUPTED";
    // A catalogue of 250 lines is a few tens of kilobytes; anything this large
    // is not a catalogue and is refused before it is read into memory.
    static constexpr qint64 MaxFileBytes = 4 * 1024 * 1024;

    explicit IDData(ShellState* shell = nullptr) : m_shell(shell) {}

    // Slots 0..250; slot 0 is never used, records occupy 1..VarTableEnd-1.
    std::array<std::unique_ptr<CVarData>, MaxRecords + 1> VarTable;
    // n + 1 after a successful load of n records; 0 before and after a failed one.
    int16_t VarTableEnd = 0;

    // Frees the old table and loads the catalogue at path. Returns "" on
    // success, otherwise LoadFailureText; LastLoadDetail() then says why.
    // After a failure VarTableEnd is 0 and every key is unbound; the records
    // read before the failing line stay in their slots but are unreachable
    // through At() and Record().
    std::string LoadCatalogue(const QString& path);
    // The same over the bytes of a catalogue already read.
    std::string LoadCatalogueBytes(const QByteArray& bytes);
    const std::string& LastLoadDetail() const { return m_detail; }

    // Binds a key text to a table index; empty and unknown keys do nothing.
    void ParameterIdFromName(const std::string& key, int16_t index);
    void FreeVarTable();

    // The table index bound to a key, 0 when the catalogue has no such line.
    int16_t Index(Key k) const { return m_keyIndex[static_cast<size_t>(k)]; }
    // The record of a key, nullptr when the key is not in the loaded catalogue.
    CVarData* Record(Key k) const { return At(Index(k)); }
    // The record at a table index, nullptr outside 1..VarTableEnd-1.
    CVarData* At(int index) const
    {
        if (index < 1 || index >= VarTableEnd)
            return nullptr;
        return VarTable[static_cast<size_t>(index)].get();
    }
    // Whether table index i is the one bound to key k (false when unbound).
    bool IsKey(int index, Key k) const { return index > 0 && Index(k) == index; }
    // The number of records (VarTableEnd - 1, or 0).
    int Count() const { return VarTableEnd > 0 ? VarTableEnd - 1 : 0; }

    ShellState* Shell() const { return m_shell; }

private:
    ShellState* m_shell;
    std::array<int16_t, KeyCount> m_keyIndex{};
    std::string m_detail;
};
