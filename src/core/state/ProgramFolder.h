#pragma once
// Where the resources are: the folder that holds res/. An explicit --home
// wins, then the QVS_HOME environment variable, then the executable's folder
// when it holds res/, else ../share/qvsstudio beside the executable.
#include <QString>

QString FindProgramFolder(const QString& homeOption, const QString& executableDir);
// The same for the running executable (QCoreApplication must exist).
QString ProgramFolder(const QString& homeOption = QString());
// The catalogue file below a program folder.
QString CataloguePath(const QString& programFolder);
