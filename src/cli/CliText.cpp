#include "cli/CliText.h"

#include "core/link/IDData.h"

#include <algorithm>
#include <cmath>

namespace clitext {

QString VersionText(double version)
{
    if (!std::isfinite(version))
        return QStringLiteral("----");
    const double r = std::nearbyint(version); // ties to even
    if (r <= 0 || r > 9.0e15)
        return QStringLiteral("----");
    QString h = QString::number(static_cast<qint64>(r), 16).toUpper();
    while (h.size() < 5)
        h.prepend(QLatin1Char('0'));
    return QLatin1Char('v') + h.left(h.size() - 2) + QLatin1Char('.') + h.right(2);
}

QString ModelText(int sections, int systemType)
{
    if (sections < 1 || sections > 4 || (systemType != 0 && systemType != 1))
        return QStringLiteral("---");
    return QStringLiteral("DRC ") + QString::number(sections * 100) +
           (systemType == 1 ? QStringLiteral(" P") : QStringLiteral(" F"));
}

QString ModelOf(const IDData& table)
{
    const CVarData* sections = table.Record(Key::QVS_NUM_PROP_REG);
    const CVarData* type = table.Record(Key::QVS_SYSTEM_TYPE);
    if (!sections || !type)
        return QStringLiteral("---");
    return ModelText(sections->DataS.QvsDisplayValueE2, type->DataS.QvsDisplayValueE2);
}

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
