#pragma once
// Whole numbers typed on a command line: decimal ("4660") or hexadecimal with
// 0x ("0x1234"), no sign, checked against a range.
#include <QString>

#include <optional>

inline std::optional<long long> ParseNumberArgument(const QString& text, long long min, long long max)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    bool ok = false;
    qulonglong v = 0;
    if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        const QString digits = t.mid(2);
        if (digits.isEmpty() || digits.startsWith(QLatin1Char('+')) || digits.startsWith(QLatin1Char('-')))
            return std::nullopt;
        v = digits.toULongLong(&ok, 16);
    } else if (t.startsWith(QLatin1Char('-')) && min < 0) {
        const long long n = t.toLongLong(&ok, 10);
        if (!ok || n < min || n > max)
            return std::nullopt;
        return n;
    } else {
        if (t.startsWith(QLatin1Char('+')) || t.startsWith(QLatin1Char('-')))
            return std::nullopt;
        v = t.toULongLong(&ok, 10);
    }
    if (!ok || v > static_cast<qulonglong>(max) || static_cast<long long>(v) < min)
        return std::nullopt;
    return static_cast<long long>(v);
}

// A 16-bit word or address: 0..65535.
inline std::optional<int> ParseWordArgument(const QString& text)
{
    const auto v = ParseNumberArgument(text, 0, 65535);
    if (!v)
        return std::nullopt;
    return static_cast<int>(*v);
}
