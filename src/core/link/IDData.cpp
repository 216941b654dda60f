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

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_detail = "cannot open " + path.toStdString() + ": " + file.errorString().toStdString();
        return LoadFailureText;
    }
    const std::vector<std::string> lines = SplitLines(DecodeCp1252(file.readAll()));
    if (file.error() != QFileDevice::NoError) {
        m_detail = "cannot read " + path.toStdString();
        return LoadFailureText;
    }
    if (lines.empty()) {
        m_detail = "the file is empty (no header line)";
        return LoadFailureText;
    }

    const size_t records = lines.size() - 1;
    for (size_t n = 1; n <= records; ++n) {
        if (n > static_cast<size_t>(MaxRecords)) {
            m_detail = "more than " + std::to_string(MaxRecords) + " parameter lines";
            return LoadFailureText;
        }
        auto record = std::make_unique<CVarData>(m_shell);
        record->DataS.VarID = static_cast<int16_t>(n);
        CVarData* r = record.get();
        VarTable[n] = std::move(record);
        try {
            r->Load(lines[n], *this);
            r->ReadE2FromCED(r->DataS.CedValueDefault);
        } catch (const std::exception& e) {
            m_detail = "line " + std::to_string(n + 1) + ": " + e.what();
            return LoadFailureText;
        }
    }
    VarTableEnd = static_cast<int16_t>(records + 1);
    return {};
}
