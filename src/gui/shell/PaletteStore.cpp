#include "gui/shell/PaletteStore.h"

#include "core/state/CoreContext.h"
#include "core/state/ProgramFolder.h"
#include "gui/shell/Shell.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QWidget>

PaletteStore::PaletteStore(const QString& programFolder, const QString& userFolder, QObject* parent)
    : QObject(parent), m_programFolder(programFolder),
      m_userFolder(userFolder.isEmpty() ? DefaultUserFolder() : userFolder)
{
    setObjectName(QStringLiteral("PaletteStore"));
}

PaletteStore& PaletteStore::Of(Shell& shell)
{
    QWidget* window = shell.Window();
    if (auto* store = window->findChild<PaletteStore*>(QStringLiteral("PaletteStore"), Qt::FindDirectChildrenOnly))
        return *store;
    return *new PaletteStore(shell.Context().ProgramFolder, QString(), window);
}

QString PaletteStore::DefaultUserFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
}

QString PaletteStore::ProgramFile() const
{
    return QDir(m_programFolder).filePath(QStringLiteral("res/ini/") + QLatin1String(FileName));
}

QString PaletteStore::UserFile() const { return QDir(m_userFolder).filePath(QLatin1String(FileName)); }

bool PaletteStore::ProgramFolderWritable() const
{
    const QString folder = QFileInfo(ProgramFile()).absolutePath();
    const bool folderOk = FolderWritable ? FolderWritable(folder) : ::FolderWritable(folder);
    if (!folderOk)
        return false;
    // A palette file made read-only on purpose is left alone as well.
    const QFileInfo file(ProgramFile());
    return !file.exists() || (file.isFile() && file.isWritable());
}

QString PaletteStore::WritePath() const { return ProgramFolderWritable() ? ProgramFile() : UserFile(); }

QStringList PaletteStore::ReadPaths() const
{
    if (ProgramFolderWritable())
        return {ProgramFile()};
    return {UserFile(), ProgramFile()};
}

PaletteStore::LoadResult PaletteStore::Load(PaletteColours& colours)
{
    for (const QString& path : ReadPaths()) {
        if (!QFileInfo::exists(path))
            continue;
        try {
            colours = ReadPaletteFile(path);
            return LoadResult::Loaded;
        } catch (const ListError& e) {
            m_problem = QString::fromStdString(e.what());
            m_problemPath = path;
            m_damagePending = true;
            return LoadResult::Damaged;
        }
    }
    return LoadResult::Missing;
}

QString PaletteStore::Save(const PaletteColours& colours)
{
    const QString path = WritePath();
    m_problemPath = path;
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder)) {
        m_problem = QStringLiteral("the folder %1 cannot be created").arg(QDir::toNativeSeparators(folder));
        return m_problem;
    }
    try {
        WritePaletteFile(path, colours);
    } catch (const ListError& e) {
        m_problem = QString::fromStdString(e.what());
        return m_problem;
    }
    m_problem.clear();
    return {};
}

bool PaletteStore::TakeDamageReport()
{
    if (!m_damagePending || m_damageReported)
        return false;
    m_damageReported = true;
    m_damagePending = false;
    return true;
}
