#pragma once
// Conversions of texts to numbers as every reader of the program does them:
// blanks around the number allowed, "." as the decimal separator, rounding
// half to even, and a value outside the target width is an overflow.
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

// A text that is not a number, or a number outside the target range.
class ConversionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The value of a decimal number text ("12", "-3.5", " 7 ", "1e3"); nullopt for
// anything else, including the empty text.
std::optional<double> ParseDecimal(std::string_view text);

// The number at the start of a text (after blanks), 0 when there is none;
// used where a field "without a leading number counts as 0".
double LeadingNumber(std::string_view text);

// Rounds half to even into the range; throws ConversionError outside it.
int32_t RoundToInt32(double v);
int16_t RoundToInt16(double v);

// ParseDecimal + rounding; throws ConversionError for a non-number or overflow.
int32_t TextToInt32(std::string_view text);
int16_t TextToInt16(std::string_view text);
