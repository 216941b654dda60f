#pragma once
// Where the section palette is kept between runs and how it is read back.
//
// The palette file colour.ini lives in res/ini under the program folder when
// that folder can be written. An installation whose program folder is
// read-only keeps it in the user's configuration folder instead; that copy is
// then read first, the one in the program folder being the installed default.
#include "core/files/Lists.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class Shell;

class PaletteStore : public QObject {
    Q_OBJECT
public:
    static constexpr const char* FileName = "colour.ini";

    // programFolder holds res/; userFolder is the user's configuration folder
    // (empty: the application's QStandardPaths::AppConfigLocation).
    explicit PaletteStore(const QString& programFolder, const QString& userFolder = QString(),
                          QObject* parent = nullptr);

    // The store of a main window: one per window, created on first use as a
    // child of the window so that start-up and the palette dialog share it.
    static PaletteStore& Of(Shell& shell);

    static QString DefaultUserFolder();

    QString ProgramFile() const; // <program folder>/res/ini/colour.ini
    QString UserFile() const;    // <user folder>/colour.ini
    // Whether the program folder's res/ini can take the file.
    bool ProgramFolderWritable() const;
    // The file the next save writes.
    QString WritePath() const;
    // The files a load tries, in order; the first that exists is read.
    QStringList ReadPaths() const;

    enum class LoadResult {
        Loaded,  // a file existed and held a palette
        Missing, // no file: the caller uses its default
        Damaged, // a file existed but is not a palette (Problem() says why)
    };
    // Reads the first existing file into colours; colours is only changed
    // when the result is Loaded.
    LoadResult Load(PaletteColours& colours);
    // Writes the palette to WritePath(); "" on success, else the reason.
    // The user folder is created when it is needed.
    QString Save(const PaletteColours& colours);

    // Why the last load found a damaged file, or the last save failed.
    QString Problem() const { return m_problem; }
    QString ProblemPath() const { return m_problemPath; }

    // A damaged file is reported once per run: the first caller that gets
    // true here shows the message.
    bool TakeDamageReport();

    // Decides whether a folder can be written (tests replace it; the default
    // asks the file system).
    std::function<bool(const QString& folder)> FolderWritable;

private:
    QString m_programFolder;
    QString m_userFolder;
    QString m_problem;
    QString m_problemPath;
    bool m_damageReported = false;
    bool m_damagePending = false;
};
