#include "core/link/IDData.h"

#include "core/files/TextCodec.h"
#include "core/link/NumberText.h"
#include "core/link/StringEval.h"

#include <QFile>

void IDData::ParameterIdFromName(const std::string& key, int16_t index)
{
    if (key.empty())
        return;
    if (const auto k = KeyFromText(key))
        m_keyIndex[static_cast<size_t>(*k)] = index;
}

void IDData::FreeVarTable()
{
    for (auto& slot : VarTable)
        slot.reset();
    VarTableEnd = 0;
    m_keyIndex.fill(0);
}

std::string IDData::LoadCatalogue(const QString& path)
{
    FreeVarTable();
    m_detail.clear();

    // A failed load leaves an empty catalogue: no record is reachable and no
    // key is bound, so nothing can use half of a table.
    const auto fail = [this](std::string detail) {
        m_detail = std::move(detail);
        VarTableEnd = 0;
        m_keyIndex.fill(0);
        return std::string(LoadFailureText);
    };

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail("cannot open " + path.toStdString() + ": " + file.errorString().toStdString());
    if (file.size() > MaxFileBytes)
        return fail("the file is larger than " + std::to_string(MaxFileBytes) + " bytes");
    const QByteArray bytes = file.read(MaxFileBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return fail("cannot read " + path.toStdString() + ": " + file.errorString().toStdString());
    return LoadCatalogueBytes(bytes);
}

std::string IDData::LoadCatalogueBytes(const QByteArray& bytes)
{
    FreeVarTable();
    m_detail.clear();
    const auto fail = [this](std::string detail) {
        m_detail = std::move(detail);
        VarTableEnd = 0;
        m_keyIndex.fill(0);
        return std::string(LoadFailureText);
    };
    if (bytes.size() > MaxFileBytes)
        return fail("the file is larger than " + std::to_string(MaxFileBytes) + " bytes");
    const std::vector<std::string> lines = SplitLines(DecodeCp1252(bytes));
    if (lines.empty())
        return fail("the file is empty (no header line)");

    const size_t records = lines.size() - 1;
    for (size_t n = 1; n <= records; ++n) {
        if (n > static_cast<size_t>(MaxRecords))
            return fail("more than " + std::to_string(MaxRecords) + " parameter lines");
        auto record = std::make_unique<CVarData>(m_shell);
        record->DataS.VarID = static_cast<int16_t>(n);
        CVarData* r = record.get();
        VarTable[n] = std::move(record);
        try {
            r->Load(lines[n], *this);
            r->ReadE2FromCED(r->DataS.CedValueDefault);
        } catch (const std::exception& e) {
            return fail("line " + std::to_string(n + 1) + ": " + e.what());
        }
    }
    VarTableEnd = static_cast<int16_t>(records + 1);
    return {};
}
