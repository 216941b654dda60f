#include "core/link/ControllerText.h"

#include "core/link/IDData.h"

#include <cmath>

QString VersionWordText(double version)
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

QString ControllerModelText(int sections, int systemType)
{
    if (sections < 1 || sections > 4 || (systemType != 0 && systemType != 1))
        return QStringLiteral("---");
    return QStringLiteral("DRC ") + QString::number(sections * 100) +
           (systemType == 1 ? QStringLiteral(" P") : QStringLiteral(" F"));
}

QString ControllerModelOf(const IDData& table)
{
    const CVarData* sections = table.Record(Key::QVS_NUM_PROP_REG);
    const CVarData* type = table.Record(Key::QVS_SYSTEM_TYPE);
    if (!sections || !type)
        return QStringLiteral("---");
    return ControllerModelText(sections->DataS.QvsDisplayValueE2, type->DataS.QvsDisplayValueE2);
}
