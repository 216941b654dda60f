#include "core/config/JoyList.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace config {

const CJoyData* JoyCatalogue::At(int position) const
{
    if (position < 0 || position >= Size())
        return nullptr;
    return &Entries[static_cast<size_t>(position)];
}

QString JoyPictureFile(const QString& folder, const std::string& base, const char* suffix)
{
    const QString path = QDir(folder).filePath(QString::fromStdString(base) + QLatin1String(suffix));
    return QFileInfo(path).isFile() ? path : QString();
}

JoyCatalogue LoadJoyCatalogue(const QString& resFolder)
{
    JoyCatalogue c;
    const QDir res(resFolder);
    const QString pictures = res.filePath(QStringLiteral("bmp/joy"));
    c.UnknownPicture = JoyPictureFile(pictures, "Unknow", ".jpg");
    c.NotUsedPicture = JoyPictureFile(pictures, "NOTUSED", ".jpg");
    c.CustomPicture = JoyPictureFile(pictures, "CUSTOM", ".jpg");

    std::vector<std::string> lines;
    try {
        lines = ReadListFile(res.filePath(QStringLiteral("ini/JoylistNew.ini")));
    } catch (const ListError& e) {
        c.Error = e.what();
        return c;
    }

    std::vector<CJoyData> entries;
    int16_t notUsed = 0;
    int lineNumber = 1; // the header
    for (const std::string& line : lines) {
        ++lineNumber;
        if (line.find_first_not_of(" \t") == std::string::npos)
            continue;
        if (static_cast<int>(entries.size()) >= JoyCatalogue::MaxEntries) {
            ++c.Ignored;
            continue;
        }
        CJoyData entry;
        try {
            entry.Load(line);
        } catch (const ListError& e) {
            c.Error = "line " + std::to_string(lineNumber) + ": " + e.what();
            return c;
        }
        if (entry.JoyFileName == JoyCatalogue::NotUsedName)
            notUsed = entry.id;
        entry.JoyPic = JoyPictureFile(pictures, entry.JoyFileName, ".jpg");
        entry.JoyPicX = JoyPictureFile(pictures, entry.JoyFileName, "_X.jpg");
        entry.JoyPicY = JoyPictureFile(pictures, entry.JoyFileName, "_Y.jpg");
        entry.JoyPicZ = JoyPictureFile(pictures, entry.JoyFileName, "_Z.jpg");
        entry.JoyPicW = JoyPictureFile(pictures, entry.JoyFileName, "_W.jpg");
        entry.JoyPicD = JoyPictureFile(pictures, entry.JoyFileName, "_D.jpg");
        entries.push_back(std::move(entry));
    }
    // The catalogue counts only once the whole file has been read.
    c.Entries = std::move(entries);
    c.NotUsedId = notUsed;
    return c;
}

} // namespace config
