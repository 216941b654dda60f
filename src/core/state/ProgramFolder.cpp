#include "core/state/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString FindProgramFolder(const QString& homeOption, const QString& executableDir)
{
    if (!homeOption.isEmpty())
        return QDir::cleanPath(homeOption);
    const QString env = qEnvironmentVariable("QVS_HOME");
    if (!env.isEmpty())
        return QDir::cleanPath(env);
    const QDir exe(executableDir);
    if (QFileInfo(exe.filePath(QStringLiteral("res"))).isDir())
        return QDir::cleanPath(executableDir);
    return QDir::cleanPath(exe.filePath(QStringLiteral("../share/qvsstudio")));
}

QString ProgramFolder(const QString& homeOption)
{
    return FindProgramFolder(homeOption, QCoreApplication::applicationDirPath());
}

QString CataloguePath(const QString& programFolder)
{
    return QDir(programFolder).filePath(QStringLiteral("res/ini/Ramlist.ini"));
}
