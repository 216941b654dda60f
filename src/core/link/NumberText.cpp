#include "core/link/NumberText.h"

#include <cmath>
#include <cstdlib>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view t)
{
    while (!t.empty() && IsBlank(t.front()))
        t.remove_prefix(1);
    while (!t.empty() && IsBlank(t.back()))
        t.remove_suffix(1);
    return t;
}

// Length of the longest prefix of t that is a decimal number, 0 if none.
size_t NumberPrefix(std::string_view t)
{
    size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-'))
        ++i;
    size_t digits = 0;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') {
        ++i;
        ++digits;
    }
    if (i < t.size() && t[i] == '.') {
        ++i;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9') {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return 0;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        size_t j = i + 1;
        if (j < t.size() && (t[j] == '+' || t[j] == '-'))
            ++j;
        size_t expDigits = 0;
        while (j < t.size() && t[j] >= '0' && t[j] <= '9') {
            ++j;
            ++expDigits;
        }
        if (expDigits > 0)
            i = j;
    }
    return i;
}

} // namespace

std::optional<double> ParseDecimal(std::string_view text)
{
    const std::string_view t = Trim(text);
    const size_t n = NumberPrefix(t);
    if (n == 0 || n != t.size())
        return std::nullopt;
    const double v = std::strtod(std::string(t).c_str(), nullptr);
    if (!std::isfinite(v))
        return std::nullopt;
    return v;
}

double LeadingNumber(std::string_view text)
{
    std::string_view t = text;
    while (!t.empty() && IsBlank(t.front()))
        t.remove_prefix(1);
    const size_t n = NumberPrefix(t);
    if (n == 0)
        return 0;
    const double v = std::strtod(std::string(t.substr(0, n)).c_str(), nullptr);
    return std::isfinite(v) ? v : 0;
}

int32_t RoundToInt32(double v)
{
    const double r = std::nearbyint(v);
    if (!std::isfinite(r) || r < -2147483648.0 || r > 2147483647.0)
        throw ConversionError("overflow");
    return static_cast<int32_t>(r);
}

int16_t RoundToInt16(double v)
{
    const double r = std::nearbyint(v);
    if (!std::isfinite(r) || r < -32768.0 || r > 32767.0)
        throw ConversionError("overflow");
    return static_cast<int16_t>(r);
}

int32_t TextToInt32(std::string_view text)
{
    const auto v = ParseDecimal(text);
    if (!v)
        throw ConversionError("not a number: '" + std::string(text) + "'");
    return RoundToInt32(*v);
}

int16_t TextToInt16(std::string_view text)
{
    const auto v = ParseDecimal(text);
    if (!v)
        throw ConversionError("not a number: '" + std::string(text) + "'");
    return RoundToInt16(*v);
}
