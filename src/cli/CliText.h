#pragma once
// Texts of qvs-cli's output: the controller's version and model as the
// status bar shows them, display values, aligned tables.
#include <QString>
#include <QStringList>

#include <vector>

class IDData;

namespace clitext {

// The software version word as the status bar shows it: "v" + the hex digits
// (at least five) with a point before the last two, "v012.34" for 0x1234;
// "----" for 0, a negative or a non-finite value (nothing read). A fractional
// value is rounded half to even first.
QString VersionText(double version);
// "DRC 100" .. "DRC 400" by the section count 1..4, then " P" for system type
// 1 and " F" for 0: "DRC 200 F". "---" when either is outside those values.
QString ModelText(int sections, int systemType);
// The model of the controller image in a table (the E2 display values of
// QVS_NUM_PROP_REG and QVS_SYSTEM_TYPE); "---" when either is missing.
QString ModelOf(const IDData& table);
// A display value: whole numbers without a point, others with up to two
// decimals ("49.95", "13.5", "-0.25").
QString DisplayNumber(double v);

// Rows of cells printed as left-aligned columns two blanks apart (the last
// column is not padded).
QString Table(const QStringList& header, const std::vector<QStringList>& rows);

} // namespace clitext
