#include "core/link/E2Image.h"

#include "core/link/IDData.h"
#include "core/link/WordLink.h"
#include "core/state/Host.h"
#include "core/state/PageRegistry.h"
#include "core/state/ShellState.h"

#include <algorithm>
#include <cmath>

namespace {
const char* const kReading = "Reading...";
const char* const kWriting = "Writing...";
const char* const kRestoring = "Restoring default setting...";

// A conversion that cannot be evaluated keeps the display value it had; the
// raw values the controller sent are still taken.
template <typename F> void Convert(F&& f)
{
    try {
        f();
    } catch (const std::exception&) {
    }
}
} // namespace

bool E2Image::PassesSectionGate(const CVarData& record) const
{
    const CVarData* sections = m_table.Record(Key::QVS_NUM_PROP_REG);
    if (!sections)
        return true;
    return record.DataS.DrcTypeID < sections->DataS.CedValueE2;
}

void E2Image::StepProgress(int done, int total, const char* status)
{
    m_shell.SetConnectionState(Busy);
    m_shell.SetStatusMessage(QString::fromLatin1(status));
    // With no page counts there is no meaningful share: show the bar empty
    // while the transfer runs; the caller sets 100 at the end.
    const int percent = total > 0 ? static_cast<int>(std::nearbyint(done * 100.0 / total)) : 0;
    m_shell.SetProgressPercent(static_cast<int16_t>(std::min(percent, 100)));
    m_host.ShowProgress();
}

void E2Image::AddProgress(int step, const char* status)
{
    m_shell.SetStatusMessage(QString::fromLatin1(status));
    m_shell.SetProgressPercent(static_cast<int16_t>(std::min(m_shell.ProgressPercent() + step, 100)));
    m_host.ShowProgress();
}

std::string E2Image::ReadParameters(int16_t mask)
{
    if (mask == 0)
        return {};
    const int total = PageParameterTotal(mask);
    int done = 0;
    std::string rangeMessage;
    for (int i = 1; i < m_table.VarTableEnd; ++i) {
        CVarData* r = m_table.At(i);
        if (!TakesPartInRead(mask, r->DataS.QVSPageDomain))
            continue;
        std::string error;
        if (PassesSectionGate(*r)) {
            int32_t value = 0;
            const bool fromRam = m_table.IsKey(i, Key::QVS_PROG_VERS) || m_table.IsKey(i, Key::QVS_DITHER_EDIT);
            error = fromRam ? m_link.ReadRAMWord(r->DataS.Address, value)
                            : m_link.ReadE2Word(r->DataS.Address, value);
            if (error.empty()) {
                if (fromRam)
                    Convert([&] { r->ReadRAMFromCED(value); });
                Convert([&] { r->ReadE2FromCED(value); });
                if (m_table.IsKey(i, Key::QVS_NUM_PROP_REG))
                    rangeMessage = CheckParameterRange(i);
            }
        }
        ++done;
        StepProgress(done, total, kReading);
        if (!error.empty())
            return error;
    }
    if (total == 0) {
        m_shell.SetProgressPercent(100);
        m_host.ShowProgress();
    }
    rangeMessage += CheckPageRanges(mask);
    if (!rangeMessage.empty())
        m_host.ShowMessage(QString::fromStdString(rangeMessage), MessageIcon::None);
    m_host.RefreshActivePage();
    return {};
}

bool E2Image::WillWrite(int index, int16_t mask) const
{
    const CVarData* r = m_table.At(index);
    if (!r || !TakesPartInWrite(mask, r->DataS.QVSPageDomain) || !PassesSectionGate(*r))
        return false;
    if (!m_table.IsKey(index, Key::QVS_DITHER_FREQ))
        return true;
    const CVarData* ditherEdit = m_table.Record(Key::QVS_DITHER_EDIT);
    return ditherEdit && ditherEdit->DataS.CedValueE2 == 170;
}

std::string E2Image::CheckLimitsToWrite(int16_t mask) const
{
    std::string text;
    for (int i = 1; i < m_table.VarTableEnd; ++i) {
        const CVarDataS& d = m_table.At(i)->DataS;
        if (WillWrite(i, mask) && (d.QvsDownloadValueE2 < d.CedValE2Min || d.QvsDownloadValueE2 > d.CedValE2Max))
            text += OutsideLimitsLine(d) + "\r";
    }
    return text;
}

std::string E2Image::OutsideLimitsLine(const CVarDataS& d)
{
    return d.Name + " : VALUE " + std::to_string(d.QvsDownloadValueE2) + OutsideLimitsText +
           std::to_string(d.CedValE2Min) + ".." + std::to_string(d.CedValE2Max);
}

std::string E2Image::WriteParameters(int16_t mask)
{
    if (mask == 0)
        return {};
    // The controller takes 16-bit words only. One value that is none would
    // stop the write halfway, the records before it written and those after
    // it not: refuse before the first word goes out.
    for (int i = 1; i < m_table.VarTableEnd; ++i) {
        const CVarDataS& d = m_table.At(i)->DataS;
        if (WillWrite(i, mask) && (d.QvsDownloadValueE2 < 0 || d.QvsDownloadValueE2 > 65535))
            return d.Name + " : VALUE " + std::to_string(d.QvsDownloadValueE2) + NotAWordText;
    }
    const int total = PageParameterTotal(mask);
    int done = 0;
    for (int i = 1; i < m_table.VarTableEnd; ++i) {
        CVarData* r = m_table.At(i);
        if (!TakesPartInWrite(mask, r->DataS.QVSPageDomain))
            continue;
        std::string error;
        if (WillWrite(i, mask)) {
            error = m_link.WriteE2Word(r->DataS.Address, r->DataS.QvsDownloadValueE2);
            if (error.empty()) {
                r->WriteE2inCED();
                Convert([&] { r->ReadE2FromCED(r->DataS.QvsDownloadValueE2); });
            }
        }
        ++done;
        StepProgress(done, total, kWriting);
        if (!error.empty())
            return error;
    }
    m_shell.SetProgressPercent(100);
    m_host.ShowProgress();
    m_host.RefreshActivePage();
    return {};
}

std::string E2Image::RestoreDefaultSetting()
{
    m_shell.SetConnectionState(Busy);
    m_shell.SetStatusMessage(QString::fromLatin1(kRestoring));
    for (int k = 0; k < 5; ++k) {
        const std::string error = m_link.WriteE2Word(ResetAddress + k, ResetSignature[k]);
        if (!error.empty())
            return error;
        AddProgress(20, kRestoring);
    }
    return {};
}

std::string E2Image::CheckResetPending(bool& pending)
{
    std::string error;
    for (int attempt = 0; attempt < ResetAttempts; ++attempt) {
        int32_t words[5] = {};
        error.clear();
        for (int k = 0; k < 5 && error.empty(); ++k) {
            error = m_link.ReadE2Word(ResetAddress + k, words[k]);
            if (error.empty())
                AddProgress(20, kReading);
        }
        if (error.empty()) {
            pending = std::equal(std::begin(words), std::end(words), std::begin(ResetSignature));
            return {};
        }
    }
    return error;
}

std::string E2Image::CheckParameterRange(int index)
{
    CVarData* r = m_table.At(index);
    if (!r)
        return {};
    if (r->DataS.CedValE2Min <= r->DataS.CedValueE2 && r->DataS.CedValueE2 <= r->DataS.CedValE2Max)
        return {};
    Convert([&] { r->ReadE2FromCED(r->DataS.CedValueDefault); });
    return " - " + r->DataS.Name + "\r";
}

std::string E2Image::CheckPageRanges(int16_t mask)
{
    std::string result;
    for (int i = 1; i < m_table.VarTableEnd; ++i) {
        CVarData* r = m_table.At(i);
        if (!TakesPartInRead(mask, r->DataS.QVSPageDomain) || !PassesSectionGate(*r))
            continue;
        if (r->DataS.CedValE2Min <= r->DataS.CedValueE2 && r->DataS.CedValueE2 <= r->DataS.CedValE2Max)
            continue;
        if (r->DataS.CedValE2Max != 65535)
            result += " - " + r->DataS.Name + "\r";
        Convert([&] { r->ReadE2FromCED(r->DataS.CedValueDefault); });
    }
    if (!result.empty())
        result = "READ FAULT:\r" + result;
    return result;
}

void E2Image::CountPageParameters()
{
    for (PageKeys* p : m_pages.Pages())
        p->PageVarNum = 0;
    for (int i = 1; i < m_table.VarTableEnd; ++i) {
        const int16_t d = m_table.At(i)->DataS.QVSPageDomain;
        for (PageKeys* p : m_pages.Pages())
            if (p->ReadKey != 0 && (p->ReadKey & d) == p->ReadKey)
                ++p->PageVarNum;
    }
}

int16_t E2Image::AllPagesReadKey() const { return m_pages.AllPagesReadKey(); }

int16_t E2Image::PageParameterTotal(int16_t mask) const
{
    int total = 0;
    for (const PageKeys* p : m_pages.Pages())
        if (p->ReadKey != 0 && (p->ReadKey & mask) == p->ReadKey)
            total += p->PageVarNum;
    return static_cast<int16_t>(total);
}
