// A damaged or hostile parameter catalogue (Ramlist.ini): the load either
// succeeds with a consistent table or fails leaving nothing reachable, and
// whatever it loaded can be converted, saved and read back without a crash.
#include "FuzzSupport.h"

#include "core/files/File.h"
#include "core/link/IDData.h"
#include "core/link/StringEval.h"
#include "core/link/NumberText.h"
#include "core/state/PageRegistry.h"

#include <QByteArray>

namespace {

void Exercise(CVarData& r)
{
    for (int32_t raw : {0, 1, -1, 255, 65535, r.DataS.CedValE2Min, r.DataS.CedValE2Max}) {
        try {
            (void)r.E2DisplayOf(raw);
        } catch (const formula::FormulaError&) {
        }
        try {
            (void)r.RAMDisplayOf(raw);
        } catch (const formula::FormulaError&) {
        }
        const CVarDataS before = r.DataS;
        try {
            r.QVSSetVar(raw);
        } catch (const formula::FormulaError&) {
            // A failed entry leaves both values as they were.
            FUZZ_CHECK(r.DataS.QvsDisplayValueE2 == before.QvsDisplayValueE2, r.DataS.Name);
            FUZZ_CHECK(r.DataS.QvsDownloadValueE2 == before.QvsDownloadValueE2, r.DataS.Name);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    IDData table;
    const std::string result = table.LoadCatalogueBytes(bytes);
    if (!result.empty()) {
        FUZZ_CHECK(result == IDData::LoadFailureText, result);
        FUZZ_CHECK(!table.LastLoadDetail().empty(), "a failure says why");
        FUZZ_CHECK(table.VarTableEnd == 0 && table.Count() == 0, "a failed load leaves no table");
        for (size_t k = 0; k < KeyCount; ++k)
            FUZZ_CHECK(table.Record(static_cast<Key>(k)) == nullptr, "a failed load binds no key");
        return 0;
    }
    FUZZ_CHECK(table.VarTableEnd >= 1 && table.VarTableEnd <= IDData::MaxRecords + 1, "table size");
    for (int i = 1; i < table.VarTableEnd; ++i) {
        FUZZ_CHECK(table.At(i) != nullptr, "record " + std::to_string(i));
        FUZZ_CHECK(table.At(i)->DataS.VarID == i, "record index");
    }
    for (size_t k = 0; k < KeyCount; ++k) {
        const int16_t index = table.Index(static_cast<Key>(k));
        FUZZ_CHECK(index >= 0 && index < table.VarTableEnd, "key bound outside the table");
    }
    for (int i = 1; i < table.VarTableEnd; ++i)
        Exercise(*table.At(i));

    // What was loaded can be saved, and the saved text read back.
    PageKeys configure{10, 11, 0}, info{10000, 10001, 0};
    PageRegistry pages;
    pages.Add(&configure);
    pages.Add(&info);
    InfoBlock block;
    block.Author = QStringLiteral("fuzz");
    const QByteArray file = ConfigFile::BuildFile(table, pages, block);
    try {
        InfoBlock back;
        ConfigFile::LoadConfigurationBytes(file, QStringLiteral("fuzz.txt"), table, back);
        FUZZ_CHECK(back.Author == block.Author, "information block round trip");
    } catch (const FileError&) {
        // A conversion formula that fails on a value: reported, not applied.
    }
    return 0;
}
