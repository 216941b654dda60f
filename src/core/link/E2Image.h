#pragma once
// Moves the parameter image, or the part of it that belongs to a set of pages,
// between the variable table and the controller's E2, one word per request;
// the restore-default command and its pending check; page counts and range
// checks.
#include <cstdint>
#include <string>

class CVarData;
struct CVarDataS;
class Host;
class IDData;
class PageRegistry;
class ShellState;
class WordLink;

class E2Image {
public:
    static constexpr int ResetAddress = 250;
    static constexpr int ResetSignature[5] = {82, 69, 83, 69, 84}; // R E S E T
    static constexpr int ResetAttempts = 6;

    E2Image(IDData& table, WordLink& link, ShellState& shell, PageRegistry& pages, Host& host)
        : m_table(table), m_link(link), m_shell(shell), m_pages(pages), m_host(host)
    {
    }

    // Reads every record of mask m from E2 (QVS_PROG_VERS and QVS_DITHER_EDIT
    // from RAM). Stops at the first link error and returns it; a failed read
    // leaves its record as it was. Out-of-range values are reset to their
    // defaults and listed under "READ FAULT:".
    std::string ReadParameters(int16_t mask);
    // Writes every writable record of mask m. Stops at the first link error; a
    // failed write does not mark the record as written. A value that is no
    // 16-bit word stops it before anything is sent (NotAWordText).
    std::string WriteParameters(int16_t mask);
    // Whether a write of mask sends record index: its page takes part, its
    // section exists, and the dither frequency only while editing it is
    // allowed.
    bool WillWrite(int index, int16_t mask) const;
    // One line per record a write of mask would send whose value lies outside
    // its limits, "NAME : VALUE v OUTSIDE min..max" + CR; "" when none.
    std::string CheckLimitsToWrite(int16_t mask) const;
    static std::string OutsideLimitsLine(const CVarDataS& record);
    static constexpr const char* OutsideLimitsText = " OUTSIDE ";
    static constexpr const char* NotAWordText = " IS NOT A 16-BIT WORD: NOTHING WRITTEN";
    // Writes the restore signature into E2 words 250..254.
    std::string RestoreDefaultSetting();
    // Reads words 250..254 (up to 6 attempts); pending = signature present.
    std::string CheckResetPending(bool& pending);

    std::string CheckParameterRange(int index);
    std::string CheckPageRanges(int16_t mask);
    void CountPageParameters();
    int16_t AllPagesReadKey() const;
    int16_t PageParameterTotal(int16_t mask) const;

    static bool TakesPartInRead(int16_t mask, int16_t domain) { return (mask & domain) != 0; }
    static bool TakesPartInWrite(int16_t mask, int16_t domain)
    {
        return (domain & 1) != 0 && (mask & domain) == domain;
    }
    // Whether the record's section exists on the controller (by the E2 value
    // of the section count QVS_NUM_PROP_REG).
    bool PassesSectionGate(const CVarData& record) const;

private:
    void StepProgress(int done, int total, const char* status);
    void AddProgress(int step, const char* status);

    IDData& m_table;
    WordLink& m_link;
    ShellState& m_shell;
    PageRegistry& m_pages;
    Host& m_host;
};
