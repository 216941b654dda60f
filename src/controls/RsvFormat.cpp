#include "controls/RsvFormat.h"

#include "controls/FormulaEngine.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

enum class Kind { Zero, Hash, Point, Comma, Percent, Literal };

struct Token {
    Kind kind;
    QString text; // literal text
};

bool IsPlaceholder(const Token& t) { return t.kind == Kind::Zero || t.kind == Kind::Hash; }

// Splits a format at ";" outside quotes and escapes.
std::vector<QString> Sections(const QString& pattern)
{
    std::vector<QString> out(1);
    bool quoted = false;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (!quoted && c == u'\\' && i + 1 < pattern.size()) {
            out.back() += c;
            out.back() += pattern[++i];
            continue;
        }
        if (c == u'"')
            quoted = !quoted;
        if (c == u';' && !quoted) {
            out.emplace_back();
            continue;
        }
        out.back() += c;
    }
    return out;
}

std::vector<Token> Tokens(const QString& section)
{
    std::vector<Token> out;
    bool point = false;
    for (qsizetype i = 0; i < section.size(); ++i) {
        const QChar c = section[i];
        if (c == u'\\') {
            if (i + 1 < section.size())
                out.push_back({Kind::Literal, QString(section[++i])});
        } else if (c == u'"') {
            QString lit;
            while (++i < section.size() && section[i] != u'"')
                lit += section[i];
            out.push_back({Kind::Literal, lit});
        } else if (c == u'0') {
            out.push_back({Kind::Zero, {}});
        } else if (c == u'#') {
            out.push_back({Kind::Hash, {}});
        } else if (c == u'.' && !point) {
            point = true;
            out.push_back({Kind::Point, {}});
        } else if (c == u',') {
            out.push_back({Kind::Comma, {}});
        } else if (c == u'%') {
            out.push_back({Kind::Percent, QStringLiteral("%")});
        } else {
            out.push_back({Kind::Literal, QString(c)});
        }
    }
    return out;
}

// The decimal digits of x >= 0 rounded half away from zero to `decimals`
// places: the integer digits without leading zeros ("" for 0) and exactly
// `decimals` fraction digits.
void DecimalDigits(double x, int decimals, std::string& intDigits, std::string& fracDigits)
{
    intDigits.clear();
    fracDigits.assign(size_t(decimals), '0');
    if (x == 0)
        return;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", x); // d.dddddddddddddde+XX
    std::string digits;
    const char* p = buf;
    for (; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9')
            digits += *p;
    int pointPos = std::atoi(p + 1) + 1; // integer digits in `digits`

    const int keep = pointPos + decimals;
    if (keep < 0)
        return;
    if (keep < int(digits.size())) {
        const bool up = digits[size_t(keep)] >= '5';
        digits.resize(size_t(keep));
        if (up) {
            int i = keep - 1;
            for (; i >= 0 && digits[size_t(i)] == '9'; --i)
                digits[size_t(i)] = '0';
            if (i >= 0) {
                ++digits[size_t(i)];
            } else {
                digits.insert(digits.begin(), '1');
                ++pointPos;
            }
        }
    }
    if (pointPos > 0) {
        if (int(digits.size()) < pointPos)
            digits.append(size_t(pointPos) - digits.size(), '0');
        intDigits = digits.substr(0, size_t(pointPos));
        std::string frac = digits.substr(size_t(pointPos));
        frac.resize(size_t(decimals), '0');
        fracDigits = frac;
    } else {
        std::string frac = std::string(size_t(-pointPos), '0') + digits;
        frac.resize(size_t(decimals), '0');
        fracDigits = frac;
    }
    const size_t nz = intDigits.find_first_not_of('0');
    intDigits = nz == std::string::npos ? std::string() : intDigits.substr(nz);
}

QString FormatSection(double value, const std::vector<Token>& tokens, bool showSign)
{
    const auto pointIt = std::find_if(tokens.begin(), tokens.end(),
                                      [](const Token& t) { return t.kind == Kind::Point; });
    const int pointIdx = int(pointIt - tokens.begin()); // == size when there is no point

    // Grouping and scaling commas, percent signs, placeholder counts.
    bool grouping = false;
    int firstIntPlaceholder = -1, lastIntPlaceholder = -1;
    for (int i = 0; i < pointIdx; ++i)
        if (IsPlaceholder(tokens[size_t(i)])) {
            if (firstIntPlaceholder < 0)
                firstIntPlaceholder = i;
            lastIntPlaceholder = i;
        }
    for (int i = 0; i < pointIdx; ++i) {
        if (tokens[size_t(i)].kind != Kind::Comma || firstIntPlaceholder < 0)
            continue;
        if (i > firstIntPlaceholder && i < lastIntPlaceholder)
            grouping = true;
        else if (i > lastIntPlaceholder)
            value /= 1000;
    }
    int decimals = 0, lastZeroDecimal = -1;
    for (size_t i = size_t(pointIdx) + 1; i < tokens.size(); ++i)
        if (IsPlaceholder(tokens[i])) {
            if (tokens[i].kind == Kind::Zero)
                lastZeroDecimal = decimals;
            ++decimals;
        }
    for (const Token& t : tokens)
        if (t.kind == Kind::Percent)
            value *= 100;

    std::string intDigits, fracDigits;
    DecimalDigits(std::fabs(value), decimals, intDigits, fracDigits);
    const bool zero = intDigits.empty() && fracDigits.find_first_not_of('0') == std::string::npos;

    // Integer digits padded to the leftmost "0" placeholder.
    int placeholders = 0, firstZero = -1;
    for (int i = 0; i < pointIdx; ++i)
        if (IsPlaceholder(tokens[size_t(i)])) {
            if (tokens[size_t(i)].kind == Kind::Zero && firstZero < 0)
                firstZero = placeholders;
            ++placeholders;
        }
    const int minDigits = firstZero < 0 ? 0 : placeholders - firstZero;
    if (int(intDigits.size()) < minDigits)
        intDigits.insert(0, size_t(minDigits) - intDigits.size(), '0');

    // Integer part, filled from the right; digits beyond the placeholders go
    // in at the leftmost one.
    QString intPart;
    int emitted = 0;
    int di = int(intDigits.size());
    const auto emitDigit = [&](char c) {
        if (grouping && emitted > 0 && emitted % 3 == 0)
            intPart.prepend(u',');
        intPart.prepend(QChar(c));
        ++emitted;
    };
    if (firstIntPlaceholder < 0) {
        while (di > 0)
            emitDigit(intDigits[size_t(--di)]);
    }
    for (int i = pointIdx - 1; i >= 0; --i) {
        const Token& t = tokens[size_t(i)];
        if (IsPlaceholder(t)) {
            if (di > 0)
                emitDigit(intDigits[size_t(--di)]);
            if (i == firstIntPlaceholder)
                while (di > 0)
                    emitDigit(intDigits[size_t(--di)]);
        } else if (t.kind == Kind::Literal || t.kind == Kind::Percent) {
            intPart.prepend(t.text);
        }
    }

    // Fraction part: trailing zeros beyond the last "0" placeholder dropped.
    QString fracPart;
    if (pointIdx < int(tokens.size())) {
        int keep = decimals;
        while (keep > lastZeroDecimal + 1 && fracDigits[size_t(keep - 1)] == '0')
            --keep;
        fracPart += u'.';
        int d = 0;
        for (size_t i = size_t(pointIdx) + 1; i < tokens.size(); ++i) {
            const Token& t = tokens[i];
            if (IsPlaceholder(t)) {
                if (d < keep)
                    fracPart += QChar(fracDigits[size_t(d)]);
                ++d;
            } else if (t.kind == Kind::Literal || t.kind == Kind::Percent) {
                fracPart += t.text;
            }
        }
    }

    QString out = intPart + fracPart;
    if (showSign && value < 0 && !zero)
        out.prepend(u'-');
    return out;
}

} // namespace

QString FormatNumber(double value, const QString& pattern)
{
    if (!std::isfinite(value) || pattern.isEmpty())
        return QString::fromStdString(formula::NumberText(value));

    const std::vector<QString> sections = Sections(pattern);
    if (value < 0 && sections.size() >= 2 && !sections[1].isEmpty())
        return FormatSection(-value, Tokens(sections[1]), false);
    if (value == 0 && sections.size() >= 3 && !sections[2].isEmpty())
        return FormatSection(value, Tokens(sections[2]), false);
    return FormatSection(value, Tokens(sections[0]), true);
}
