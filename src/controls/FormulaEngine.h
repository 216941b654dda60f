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
#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>

namespace formula {

// Raised for every formula that cannot be evaluated: an empty or malformed
// operand, division by zero, an overflow, an invalid power, an unbalanced ")".
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

// Decimal text of a value with up to 15 significant digits, "." as decimal
// point and a leading "-" when negative.
inline std::string NumberText(double v)
{
    if (v == 0)
        return "0";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15G", v);
    return buf;
}

namespace detail {

inline bool IsNumberChar(char c) { return (c >= '0' && c <= '9') || c == '.'; }

// The value of a run of digits and points; empty text or two points fail.
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
        } else {
            digit = true;
        }
    }
    if (!digit)
        throw FormulaError("not a number");
    return std::strtod(n.c_str(), nullptr);
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
        if (variant == FormulaVariant::Whole)
            return NumberValue(NumberText(r) + n);
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

inline double EvaluateFlat(std::string e, FormulaVariant variant)
{
    for (size_t p; (p = e.find("+-")) != std::string::npos;)
        e.replace(p, 2, "-");
    double r = 0;
    bool started = false;
    std::string n;
    char o = 0;
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
    if (!n.empty())
        r = Apply(r, n, o, variant);
    return r;
}

inline double EvaluateExpression(std::string e, FormulaVariant variant)
{
    std::string s;
    s.reserve(e.size());
    for (char c : e)
        if (c != ' ')
            s += c;
    e = std::move(s);

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
    const auto text = [](int64_t v) { return std::to_string(v); };
    const int64_t yy = variant == FormulaVariant::Whole ? int64_t(y) : std::llabs(int64_t(y));
    const int64_t zz = variant == FormulaVariant::Whole ? int64_t(z) : std::llabs(int64_t(z));
    std::string out;
    out.reserve(formula.size() + 16);
    for (char c : formula) {
        const char u = (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
        if (u == 'X')
            out += text(x);
        else if (u == 'Y')
            out += text(yy);
        else if (u == 'Z')
            out += text(zz);
        else
            out += u;
    }
    return out;
}

} // namespace detail

// Evaluates a formula with X, Y, Z substituted. Standard variant: the double
// result. Whole variant: the result rounded to a 32-bit integer (ties to even).
inline double Evaluate(const std::string& formula, int32_t x, int32_t y, int32_t z,
                       FormulaVariant variant)
{
    const double v = detail::EvaluateExpression(detail::Substitute(formula, x, y, z, variant), variant);
    if (variant == FormulaVariant::Whole)
        return RoundToInt32(v);
    return v;
}

} // namespace formula
