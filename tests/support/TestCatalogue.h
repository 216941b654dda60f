#pragma once
// Builds small catalogues for tests from lines of text.
#include "core/link/IDData.h"

#include <QFile>
#include <QTemporaryDir>

#include <string>
#include <vector>

// A catalogue line from its 13 columns (trailing empty columns may be left off).
inline std::string CatalogueLine(const std::vector<std::string>& columns)
{
    std::string line;
    for (size_t i = 0; i < columns.size(); ++i) {
        if (i)
            line += '\t';
        line += columns[i];
    }
    return line;
}

// Writes the lines (after a header) to a temporary file and loads them.
inline std::string LoadTestCatalogue(IDData& table, const std::vector<std::string>& lines)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Ramlist.ini");
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write("Name\tAddress\tKey\tDescription\tDefault\tDrcTypeID\tDomain\tMin\tMax\tUnit\tMonitor\tToDisplay\tToRaw\r\n");
    for (const std::string& l : lines) {
        f.write(l.c_str());
        f.write("\r\n");
    }
    f.close();
    return table.LoadCatalogue(path);
}
