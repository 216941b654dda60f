#include "core/link/CVarData.h"

#include "core/link/IDData.h"
#include "core/link/NumberText.h"
#include "core/link/StringEval.h"
#include "core/state/ShellState.h"

int32_t CVarData::E2DisplayOf(int32_t raw) const
{
    if (DataS.F_DownloadToDisplay.empty())
        return raw;
    return formula::RoundToInt32(EvaluateFormula(DataS.F_DownloadToDisplay, raw));
}

double CVarData::RAMDisplayOf(int32_t raw) const
{
    if (DataS.F_DownloadToDisplay.empty())
        return raw;
    const std::string variant = SelectFormulaVariant(DataS.F_DownloadToDisplay, DataS.CurrentDRCSystem);
    return EvaluateFormula(variant, raw);
}

void CVarData::ReadE2FromCED(int32_t e2Data)
{
    DataS.CedValueE2 = e2Data;
    DataS.QvsDownloadValueE2 = e2Data;
    DataS.QvsDisplayValueE2 = E2DisplayOf(e2Data);
}

void CVarData::ReadRAMFromCED(int32_t ramData)
{
    DataS.CedValueRAM = ramData;
    DataS.QvsDownloadValueRAM = ramData;
    DataS.QvsDisplayValueRAM = RAMDisplayOf(ramData);
}

void CVarData::WriteE2inCED() { DataS.CedValueE2 = DataS.QvsDownloadValueE2; }

void CVarData::WriteRAMinCED() { DataS.CedValueRAM = DataS.QvsDownloadValueRAM; }

void CVarData::LoadFromFile(int32_t value)
{
    DataS.QvsDownloadValueE2 = value;
    DataS.QvsDisplayValueE2 = E2DisplayOf(value);
}

void CVarData::QVSSetVar(int32_t value)
{
    if (m_shell)
        m_shell->SetParamsUnchanged(false);
    // The raw value is worked out before anything is stored: a formula that
    // fails leaves display and download value as they were, so the record
    // never shows a value that a write would not send.
    const int32_t download = DataS.F_DisplayToDownload.empty()
        ? value
        : formula::RoundToInt32(EvaluateFormula(DataS.F_DisplayToDownload, value));
    DataS.QvsDisplayValueE2 = value;
    DataS.QvsDownloadValueE2 = download;
}

void CVarData::Load(const std::string& line, IDData& table)
{
    DataS.CedValueE2 = 0;
    DataS.CedValueDefault = 0;
    DataS.CedValueRAM = 0;
    DataS.QvsDisplayValueE2 = 0;
    DataS.QvsDisplayValueRAM = 0;
    DataS.QvsDownloadValueE2 = 0;
    DataS.QvsDownloadValueRAM = 0;
    DataS.MonitorEnable = true;
    DataS.CurrentDRCSystem = 2;

    std::string rest = line;
    // An empty field leaves the record's default in place.
    const auto text = [&](std::string& target) {
        std::string f = NextField(rest);
        if (!f.empty())
            target = f;
    };
    const auto int16 = [&](int16_t& target) {
        std::string f = NextField(rest);
        if (!f.empty())
            target = TextToInt16(f);
    };
    const auto int32 = [&](int32_t& target) {
        std::string f = NextField(rest);
        if (!f.empty())
            target = TextToInt32(f);
    };

    text(DataS.Name);
    int16_t address = static_cast<int16_t>(DataS.Address);
    int16(address);
    DataS.Address = address;
    const std::string key = NextField(rest);
    table.ParameterIdFromName(key, DataS.VarID);
    text(DataS.TooltipDecription);
    int32(DataS.CedValueDefault);
    int16(DataS.DrcTypeID);
    int16(DataS.QVSPageDomain);
    int32(DataS.CedValE2Min);
    int32(DataS.CedValE2Max);
    if (!rest.empty()) {
        text(DataS.Unit);
        text(DataS.MonitorName);
        if (!rest.empty()) {
            text(DataS.F_DownloadToDisplay);
            text(DataS.F_DisplayToDownload);
        }
    }
}
