#include "core/state/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

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

bool FolderWritable(const QString& folder)
{
    const QFileInfo dir(folder);
    return dir.isDir() && dir.isWritable();
}

QString ConfigurationFilesFolder(const QString& programFolder, const QString& documentsFolder)
{
    const QDir res(QDir(programFolder).filePath(QStringLiteral("res")));
    const QString txt = res.filePath(QStringLiteral("txt"));
    if (FolderWritable(txt))
        return txt;
    if (!QFileInfo::exists(txt) && FolderWritable(res.path()) && res.mkdir(QStringLiteral("txt")))
        return txt;
    if (!documentsFolder.isEmpty())
        return documentsFolder;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (FolderWritable(documents))
        return documents;
    return QDir::homePath();
}
