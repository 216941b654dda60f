#include "controls/RsvNumbers.h"

#include <cmath>

namespace rsv {

std::optional<double> ReadNumber(const QString& text, bool allowGrouping)
{
    const QString t = text.trimmed();
    qsizetype i = 0;
    QByteArray plain;
    if (i < t.size() && (t[i] == u'+' || t[i] == u'-'))
        plain += char(t[i++].unicode());
    bool digit = false, point = false;
    for (; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c >= u'0' && c <= u'9') {
            plain += char(c.unicode());
            digit = true;
        } else if (c == u'.' && !point) {
            plain += '.';
            point = true;
        } else if (c == u',' && allowGrouping && digit && !point) {
            // a separator between digits only
            if (i + 1 >= t.size() || !t[i + 1].isDigit())
                return std::nullopt;
        } else {
            return std::nullopt;
        }
    }
    if (!digit)
        return std::nullopt;
    return std::strtod(plain.constData(), nullptr);
}

std::optional<int32_t> RoundToInt32(double v)
{
    if (!std::isfinite(v))
        return std::nullopt;
    const double r = std::nearbyint(v);
    if (r < -2147483648.0 || r > 2147483647.0)
        return std::nullopt;
    return static_cast<int32_t>(r);
}

std::optional<int16_t> RoundToInt16(double v)
{
    if (!std::isfinite(v))
        return std::nullopt;
    const double r = std::nearbyint(v);
    if (r < -32768.0 || r > 32767.0)
        return std::nullopt;
    return static_cast<int16_t>(r);
}

std::optional<int32_t> TextToInt32(const QString& text, bool allowGrouping)
{
    const auto v = ReadNumber(text, allowGrouping);
    return v ? RoundToInt32(*v) : std::nullopt;
}

std::optional<int16_t> TextToInt16(const QString& text, bool allowGrouping)
{
    const auto v = ReadNumber(text, allowGrouping);
    return v ? RoundToInt16(*v) : std::nullopt;
}

} // namespace rsv
