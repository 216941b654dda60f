#pragma once
// Texts of qvs-cli's output: display values, aligned tables.
#include <QString>
#include <QStringList>

#include <vector>

namespace clitext {

// A display value: whole numbers without a point, others with up to two
// decimals ("49.95", "13.5", "-0.25").
QString DisplayNumber(double v);

// Rows of cells printed as left-aligned columns two blanks apart (the last
// column is not padded).
QString Table(const QStringList& header, const std::vector<QStringList>& rows);

} // namespace clitext
