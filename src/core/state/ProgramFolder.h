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

// Whether a folder exists and the user may create files in it.
bool FolderWritable(const QString& folder);
// The folder the Load and Save dialogs of configuration files start in:
// res/txt below the program folder (made when missing) while the user may
// write there, as in the build folder or a copied program folder; else the
// user's documents folder, since an installed program folder is read-only.
// documentsFolder empty: the desktop's documents folder, or home.
QString ConfigurationFilesFolder(const QString& programFolder, const QString& documentsFolder = QString());
