#include "cli/CliText.h"

#include <algorithm>
#include <cmath>

namespace clitext {

QString DisplayNumber(double v)
{
    if (!std::isfinite(v))
        return QString::number(v);
    const double rounded = std::round(v * 100.0) / 100.0;
    QString t = QString::number(rounded, 'f', 2);
    while (t.endsWith(QLatin1Char('0')))
        t.chop(1);
    if (t.endsWith(QLatin1Char('.')))
        t.chop(1);
    if (t == QLatin1String("-0"))
        t = QStringLiteral("0");
    return t;
}

QString Table(const QStringList& header, const std::vector<QStringList>& rows)
{
    std::vector<qsizetype> width(static_cast<size_t>(header.size()), 0);
    const auto measure = [&](const QStringList& row) {
        for (qsizetype i = 0; i < row.size() && i < header.size(); ++i)
            width[static_cast<size_t>(i)] = std::max(width[static_cast<size_t>(i)], row[i].size());
    };
    measure(header);
    for (const QStringList& r : rows)
        measure(r);
    QString text;
    const auto line = [&](const QStringList& row) {
        QString l;
        for (qsizetype i = 0; i < row.size() && i < header.size(); ++i) {
            if (i + 1 < header.size())
                l += row[i].leftJustified(width[static_cast<size_t>(i)] + 2);
            else
                l += row[i];
        }
        // A row shorter than the header, or an empty last cell, leaves
        // padding behind.
        while (l.endsWith(QLatin1Char(' ')))
            l.chop(1);
        text += l + QLatin1Char('\n');
    };
    line(header);
    for (const QStringList& r : rows)
        line(r);
    return text;
}

} // namespace clitext
