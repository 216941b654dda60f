#pragma once
// The conversion-formula language shared by the program (double results) and
// the control library (whole-number results). One scanner serves both; the
// four places where the whole-number variant differs are switched by
// FormulaVariant.
//
// Language: decimal numbers, the variables X, Y, Z, the operators + - * / ^ &,
// parentheses; evaluated strictly left to right, without precedence. Any other
// character acts as an operator whose result is 0.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

namespace formula {

// Raised for every formula that cannot be evaluated: an empty or malformed
// operand, division by zero, an overflow, an invalid power, an unbalanced
// bracket.
class FormulaError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class FormulaVariant {
    Standard, // double result; "&" is a bitwise AND; Y and Z enter as |Y|, |Z|
    Whole     // 32-bit result; groups rounded; "&" joins digits; Y, Z keep their sign
};

// Rounds to the nearest integer, ties to even; outside the 32-bit range is an
// overflow error.
inline int32_t RoundToInt32(double v)
{
    if (!std::isfinite(v))
        throw FormulaError("overflow");
    const double r = std::nearbyint(v);
    if (r < -2147483648.0 || r > 2147483647.0)
        throw FormulaError("overflow");
    return static_cast<int32_t>(r);
}

// Decimal text of a value: at most 15 significant digits, "." as decimal point,
// a leading "-" when negative, never an exponent (the text is fed back into
// the scanner, which would read an "E" as an operator). Infinity and NaN,
// which the evaluator never produces, come out as "INF", "-INF", "NAN".
inline std::string NumberText(double v)
{
    char buf[64];
    if (!std::isfinite(v)) {
        std::snprintf(buf, sizeof buf, "%G", v);
        return buf;
    }
    if (v == 0)
        return "0";
    std::snprintf(buf, sizeof buf, "%.14e", v); // [-]d.dddddddddddddde[+-]xx
    const char* p = buf;
    std::string out;
    if (*p == '-') {
        out += '-';
        ++p;
    }
    std::string digits;
    for (; *p && *p != 'e'; ++p)
        if (*p != '.')
            digits += *p;
    const int exponent = std::atoi(p + 1);
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    const int len = static_cast<int>(digits.size());
    if (exponent < 0) {
        out += "0.";
        out.append(static_cast<size_t>(-exponent - 1), '0');
        out += digits;
    } else if (len <= exponent + 1) {
        out += digits;
        out.append(static_cast<size_t>(exponent + 1 - len), '0');
    } else {
        out.append(digits, 0, static_cast<size_t>(exponent + 1));
        out += '.';
        out.append(digits, static_cast<size_t>(exponent + 1), std::string::npos);
    }
    return out;
}

namespace detail {

inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }
inline bool IsNumberChar(char c) { return IsDigit(c) || c == '.'; }

// The value of a run of digits and points; empty text, two points or a
// number too large for a double fail.
inline double NumberValue(const std::string& n)
{
    if (n.empty())
        throw FormulaError("missing operand");
    bool point = false, digit = false;
    for (char c : n) {
        if (c == '.') {
            if (point)
                throw FormulaError("number with two decimal points");
            point = true;
        } else if (IsDigit(c)) {
            digit = true;
        } else {
            throw FormulaError("not a number");
        }
    }
    if (!digit)
        throw FormulaError("not a number");
    const double v = std::strtod(n.c_str(), nullptr);
    if (!std::isfinite(v))
        throw FormulaError("overflow");
    return v;
}

inline double Checked(double v)
{
    if (!std::isfinite(v))
        throw FormulaError("overflow or invalid operation");
    return v;
}

inline double Apply(double r, const std::string& n, char o, FormulaVariant variant)
{
    switch (o) {
    case '+': return Checked(r + NumberValue(n));
    case '-': return Checked(r - NumberValue(n));
    case '*': return Checked(r * NumberValue(n));
    case '/': {
        const double d = NumberValue(n);
        if (d == 0)
            throw FormulaError("division by zero");
        return Checked(r / d);
    }
    case '^': return Checked(std::pow(r, NumberValue(n)));
    case '&': {
        const double d = NumberValue(n);
        if (variant == FormulaVariant::Whole) {
            // The digits of the running value followed by those of the number.
            std::string joined = NumberText(r);
            const bool negative = !joined.empty() && joined[0] == '-';
            if (negative)
                joined.erase(0, 1);
            const double v = NumberValue(joined + NumberText(d));
            return negative ? -v : v;
        }
        return static_cast<double>(RoundToInt32(d) & RoundToInt32(r));
    }
    default:
        return 0; // any other character, or no operator: 0, the operand is not read
    }
}

// A text that is a number, optionally signed, as a whole.
inline bool IsSignedNumber(const std::string& e)
{
    size_t i = (!e.empty() && (e[0] == '-' || e[0] == '+')) ? 1 : 0;
    if (i >= e.size())
        return false;
    for (; i < e.size(); ++i)
        if (!IsNumberChar(e[i]))
            return false;
    return true;
}

inline double SignedNumberValue(const std::string& e)
{
    if (e[0] == '-')
        return -NumberValue(e.substr(1));
    if (e[0] == '+')
        return NumberValue(e.substr(1));
    return NumberValue(e);
}

// Every "+-" becomes "-", in one pass from the left.
inline std::string FoldPlusMinus(const std::string& e)
{
    std::string out;
    out.reserve(e.size());
    for (size_t i = 0; i < e.size(); ++i) {
        if (e[i] == '+' && i + 1 < e.size() && e[i + 1] == '-') {
            out += '-';
            ++i;
        } else {
            out += e[i];
        }
    }
    return out;
}

// An expression without brackets, strictly left to right.
inline double EvaluateFlat(const std::string& text, FormulaVariant variant)
{
    const std::string e = FoldPlusMinus(text);
    double r = 0;
    bool started = false;
    std::string n;
    char o = 0; // no operator yet
    for (char c : e) {
        if (IsNumberChar(c)) {
            n += c;
            continue;
        }
        if (started || n.empty()) {
            r = Apply(r, n, o, variant);
        } else {
            r = NumberValue(n);
            started = true;
        }
        n.clear();
        o = c;
    }
    if (!n.empty()) {
        // A text without any operator is a plain number and stands for itself
        // (so the formula "X" is the identity rather than 0).
        r = (o == 0) ? NumberValue(n) : Apply(r, n, o, variant);
    }
    return r;
}

inline double EvaluateExpression(const std::string& text, FormulaVariant variant)
{
    std::string e;
    e.reserve(text.size());
    for (char c : text)
        if (c != ' ')
            e += c;

    bool replaced = false;
    for (;;) {
        const size_t close = e.find(')');
        const size_t firstOpen = e.find('(');
        if (close != std::string::npos && (firstOpen == std::string::npos || close < firstOpen))
            throw FormulaError("unbalanced ')'");
        if (firstOpen == std::string::npos)
            break;
        if (close == std::string::npos)
            throw FormulaError("unbalanced '('");
        // The last "(" before the first ")" opens an innermost group.
        const size_t open = e.rfind('(', close);
        double v = EvaluateFlat(e.substr(open + 1, close - open - 1), variant);
        if (variant == FormulaVariant::Whole)
            v = RoundToInt32(v);
        e.replace(open, close - open + 1, NumberText(v));
        replaced = true;
    }
    if (replaced && IsSignedNumber(e))
        return SignedNumberValue(e);
    return EvaluateFlat(e, variant);
}

inline std::string Substitute(const std::string& formula, int32_t x, int32_t y, int32_t z,
                              FormulaVariant variant)
{
    const bool whole = variant == FormulaVariant::Whole;
    const std::string xs = std::to_string(int64_t(x));
    const std::string ys = std::to_string(whole ? int64_t(y) : std::llabs(int64_t(y)));
    const std::string zs = std::to_string(whole ? int64_t(z) : std::llabs(int64_t(z)));
    std::string out;
    out.reserve(formula.size() + 16);
    for (char c : formula) {
        const char u = (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
        if (u == 'X')
            out += xs;
        else if (u == 'Y')
            out += ys;
        else if (u == 'Z')
            out += zs;
        else
            out += u;
    }
    return out;
}

} // namespace detail

// Conversion formulas are a few dozen characters; a longer text is refused
// so that a damaged catalogue cannot keep the bracket scan busy for minutes.
inline constexpr std::size_t MaxFormulaLength = 1024;

// Evaluates a formula with X, Y, Z substituted. Standard variant: the double
// result. Whole variant: the result rounded to a 32-bit integer (ties to even).
inline double Evaluate(const std::string& formula, int32_t x, int32_t y, int32_t z,
                       FormulaVariant variant)
{
    if (formula.size() > MaxFormulaLength)
        throw FormulaError("formula longer than " + std::to_string(MaxFormulaLength) + " characters");
    const double v = detail::Checked(
        detail::EvaluateExpression(detail::Substitute(formula, x, y, z, variant), variant));
    if (variant == FormulaVariant::Whole)
        return RoundToInt32(v);
    return v;
}

} // namespace formula
