#pragma once
// The pictures of the joystick catalogue, read from their files once when
// the catalogue is loaded and kept for the life of the catalogue: the
// gallery, the detail picture and the input pictures of the Configure page
// all show these, so drawing never reads a file again.
#include "core/config/JoyList.h"

#include <QPixmap>

#include <vector>

struct JoyEntryPictures {
    QPixmap Pic, PicD, PicX, PicY, PicZ, PicW;
};

class JoyPictures {
public:
    // Reads every picture file the catalogue names (missing files give null
    // pictures) and the dialog's unknown, not-used and custom pictures.
    void Load(const config::JoyCatalogue& catalogue);

    // The pictures of the entry at a position, nullptr outside the catalogue.
    const JoyEntryPictures* Entry(int position) const;

    QPixmap Unknown, NotUsed, Custom;
    // How many picture files have been read so far.
    int FilesRead() const { return m_filesRead; }

private:
    QPixmap Read(const QString& path);

    std::vector<JoyEntryPictures> m_entries;
    int m_filesRead = 0;
};
