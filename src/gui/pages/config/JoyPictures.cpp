#include "gui/pages/config/JoyPictures.h"

#include "gui/pages/config/ConfigWidgets.h"

QPixmap JoyPictures::Read(const QString& path)
{
    if (path.isEmpty())
        return QPixmap();
    ++m_filesRead;
    return configui::LoadPicture(path);
}

void JoyPictures::Load(const config::JoyCatalogue& catalogue)
{
    Unknown = Read(catalogue.UnknownPicture);
    NotUsed = Read(catalogue.NotUsedPicture);
    Custom = Read(catalogue.CustomPicture);
    m_entries.clear();
    m_entries.reserve(catalogue.Entries.size());
    for (const CJoyData& e : catalogue.Entries)
        m_entries.push_back({Read(e.JoyPic), Read(e.JoyPicD), Read(e.JoyPicX), Read(e.JoyPicY), Read(e.JoyPicZ),
                             Read(e.JoyPicW)});
}

const JoyEntryPictures* JoyPictures::Entry(int position) const
{
    if (position < 0 || position >= static_cast<int>(m_entries.size()))
        return nullptr;
    return &m_entries[static_cast<size_t>(position)];
}
