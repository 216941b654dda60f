#pragma once
// Reading the texts of the controls' text boxes and labels as numbers. A
// readable number is: blanks, an optional sign, digits with at most one ".",
// blanks; with grouping allowed, "," may separate digits of the integer part
// (the input monitor's captions carry them). Rounding is half to even.
#include <QString>

#include <cstdint>
#include <optional>

namespace rsv {

std::optional<double> ReadNumber(const QString& text, bool allowGrouping = false);

// The whole text rounded to 32 or 16 bits; nullopt when it is not a number or
// does not fit.
std::optional<int32_t> TextToInt32(const QString& text, bool allowGrouping = false);
std::optional<int16_t> TextToInt16(const QString& text, bool allowGrouping = false);

// Half to even; nullopt outside the target range.
std::optional<int32_t> RoundToInt32(double v);
std::optional<int16_t> RoundToInt16(double v);

} // namespace rsv
