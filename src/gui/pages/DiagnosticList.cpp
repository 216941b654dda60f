#include "gui/pages/DiagnosticList.h"

#include <algorithm>
#include <cctype>

void DiagnosticList::Clear()
{
    for (auto& row : m_grid)
        for (auto& cell : row)
            cell.reset();
    m_groups = 0;
}

std::string DiagnosticList::Load(const QString& path)
{
    m_groups = 0;
    std::vector<std::string> lines;
    try {
        lines = ReadListFile(path);
    } catch (const ListError& e) {
        return e.what();
    }
    int largest = 0; // a list without entries still has group 0
    int number = 1; // the header is line 1
    for (const std::string& line : lines) {
        ++number;
        if (std::all_of(line.begin(), line.end(), [](unsigned char c) { return std::isspace(c); }))
            continue;
        DiagnosticLine d;
        try {
            d = ParseDiagnosticLine(line);
        } catch (const ListError& e) {
            return "line " + std::to_string(number) + ": " + e.what();
        }
        if (d.group < 0 || d.group >= GroupCount || d.bit < 0 || d.bit >= BitCount)
            return "line " + std::to_string(number) + ": group " + std::to_string(d.group) + ", bit " +
                   std::to_string(d.bit) + " is outside the list";
        m_grid[static_cast<size_t>(d.bit)][static_cast<size_t>(d.group)] = d.entry;
        // The file need not be ordered by group: every group read counts.
        largest = std::max<int>(largest, d.group);
    }
    m_groups = largest + 1;
    return std::string();
}

const CDiagnosticData* DiagnosticList::Entry(int bit, int group) const
{
    if (bit < 0 || bit >= BitCount || group < 0 || group >= GroupCount)
        return nullptr;
    const auto& cell = m_grid[static_cast<size_t>(bit)][static_cast<size_t>(group)];
    return cell ? &*cell : nullptr;
}

QString DiagnosticList::LineKey(const CDiagnosticData& entry, int bit)
{
    return QString::fromStdString(entry.VarKey) + QStringLiteral(" - ") + QString::number(1 << bit);
}
