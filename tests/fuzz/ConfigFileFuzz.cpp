// A damaged or hostile configuration file loaded over the shipped catalogue:
// a load that fails changes nothing; one that succeeds changes only the
// values a file may carry (download, display and E2 value) and the
// information block.
#include "FuzzSupport.h"

#include "core/files/File.h"
#include "core/link/IDData.h"
#include "core/state/PageRegistry.h"

#include <QByteArray>

#include <vector>

namespace {

bool SameFixedFields(const CVarDataS& a, const CVarDataS& b)
{
    return a.Name == b.Name && a.TooltipDecription == b.TooltipDecription && a.Address == b.Address &&
           a.VarID == b.VarID && a.CedValE2Min == b.CedValE2Min && a.CedValE2Max == b.CedValE2Max &&
           a.CedValueDefault == b.CedValueDefault && a.CedValueRAM == b.CedValueRAM &&
           a.QvsDisplayValueRAM == b.QvsDisplayValueRAM && a.QvsDownloadValueRAM == b.QvsDownloadValueRAM &&
           a.F_DownloadToDisplay == b.F_DownloadToDisplay && a.F_DisplayToDownload == b.F_DisplayToDownload &&
           a.Unit == b.Unit && a.MonitorName == b.MonitorName && a.MonitorEnable == b.MonitorEnable &&
           a.CurrentDRCSystem == b.CurrentDRCSystem && a.DrcTypeID == b.DrcTypeID &&
           a.QVSPageDomain == b.QVSPageDomain;
}

bool SameValues(const CVarDataS& a, const CVarDataS& b)
{
    return a.QvsDownloadValueE2 == b.QvsDownloadValueE2 && a.QvsDisplayValueE2 == b.QvsDisplayValueE2 &&
           a.CedValueE2 == b.CedValueE2;
}

bool SameInfo(const InfoBlock& a, const InfoBlock& b)
{
    return a.Author == b.Author && a.Date == b.Date && a.Revision == b.Revision && a.Company == b.Company &&
           a.Comments == b.Comments && a.FileName == b.FileName;
}

IDData& Table()
{
    static IDData* table = [] {
        auto* t = new IDData();
        const std::string r = t->LoadCatalogue(QStringLiteral(QVS_SOURCE_DIR "/res/ini/Ramlist.ini"));
        if (!r.empty())
            fuzz::Fail(__FILE__, __LINE__, "the shipped catalogue does not load: " + t->LastLoadDetail());
        return t;
    }();
    return *table;
}

const std::vector<CVarDataS>& Pristine()
{
    static const std::vector<CVarDataS> records = [] {
        std::vector<CVarDataS> v;
        for (int i = 1; i < Table().VarTableEnd; ++i)
            v.push_back(Table().At(i)->DataS);
        return v;
    }();
    return records;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    IDData& table = Table();
    const std::vector<CVarDataS>& pristine = Pristine();
    for (int i = 1; i < table.VarTableEnd; ++i)
        table.At(i)->DataS = pristine[static_cast<size_t>(i - 1)];
    // Dither frequency lines are taken only when dither editing is allowed:
    // try both ways.
    if (CVarData* dither = table.Record(Key::QVS_DITHER_EDIT))
        dither->DataS.CedValueE2 = (size & 1) ? 170 : 85;
    std::vector<CVarDataS> before;
    for (int i = 1; i < table.VarTableEnd; ++i)
        before.push_back(table.At(i)->DataS);

    InfoBlock info;
    info.Author = QStringLiteral("previous author");
    info.Comments = QStringLiteral("line 1\r\nline 2");
    info.FileName = QStringLiteral("previous.txt");
    const InfoBlock infoBefore = info;

    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    LoadReport report;
    bool loaded = false;
    try {
        report = ConfigFile::LoadConfigurationBytes(bytes, QStringLiteral("fuzz.txt"), table, info);
        loaded = true;
    } catch (const FileError&) {
    }

    int changed = 0;
    for (int i = 1; i < table.VarTableEnd; ++i) {
        const CVarDataS& now = table.At(i)->DataS;
        const CVarDataS& was = before[static_cast<size_t>(i - 1)];
        FUZZ_CHECK(SameFixedFields(now, was), "a load changed a catalogue field of " + now.Name);
        if (!SameValues(now, was))
            ++changed;
    }
    if (!loaded) {
        FUZZ_CHECK(changed == 0, "a failed load changed " + std::to_string(changed) + " records");
        FUZZ_CHECK(SameInfo(info, infoBefore), "a failed load changed the information block");
        return 0;
    }
    FUZZ_CHECK(info.FileName == QStringLiteral("fuzz.txt"), "the loaded file's name");
    FUZZ_CHECK(changed <= report.Applied, "more records changed than values applied");
    for (int index : report.OutOfRange)
        FUZZ_CHECK(index >= 1 && index < table.VarTableEnd, "out-of-range index outside the table");

    // A loaded configuration can be saved again.
    PageKeys configure{10, 11, 0}, infoPage{10000, 10001, 0};
    PageRegistry pages;
    pages.Add(&configure);
    pages.Add(&infoPage);
    const QByteArray saved = ConfigFile::BuildFile(table, pages, info);
    FUZZ_CHECK(!saved.isEmpty(), "an empty saved file");
    return 0;
}
