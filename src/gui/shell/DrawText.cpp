#include "gui/shell/DrawText.h"

#include "core/link/ControllerText.h"
#include "core/state/ShellState.h"

#include <cmath>

namespace DrawText {

QString VersionPanelText(double version) { return VersionWordText(version); }

QString SectionModelPanelText(int32_t sectionCount)
{
    return (sectionCount == 1 || sectionCount == 2) ? QStringLiteral("RSV200") : QString::fromLatin1(Nothing);
}

QString ProgressPanelText(double percent)
{
    return QString::number(static_cast<qint64>(std::nearbyint(percent))) + QLatin1Char('%');
}

QString ApplicationVersionText()
{
    return QStringLiteral("v. %1.%2.%3").arg(QVS_VERSION_MAJOR).arg(QVS_VERSION_MINOR).arg(QVS_VERSION_PATCH);
}

Indicator FileIndicator(int16_t fileState)
{
    switch (fileState) {
    case 1:
        return {QString::fromLatin1(FileToSave), LightYellow};
    case 2:
        return {QString::fromLatin1(FileOk), Green};
    default:
        return {QString::fromLatin1(Nothing), ButtonFace};
    }
}

Indicator ParameterIndicator(int16_t connectionState, bool paramsDiffer)
{
    if (connectionState != ConnectionStates::Connected)
        return {QString::fromLatin1(Nothing), ButtonFace};
    if (paramsDiffer)
        return {QString::fromLatin1(ParameterDiff), LightYellow};
    return {QString::fromLatin1(ParameterOk), Green};
}

} // namespace DrawText
