#pragma once
// The joystick catalogue res/ini/JoylistNew.ini as the program holds it: up
// to MaxEntries entries in file order with the picture files of each, the
// identifier of the "NOTUSED" entry and the three pictures of the input
// selection (unknown, not used, custom). The input selection, the Configure
// page and the Monitor page all read the catalogue through LoadJoyCatalogue.
#include "core/files/Lists.h"

#include <QString>

#include <cstdint>
#include <string>
#include <vector>

namespace config {

struct JoyCatalogue {
    static constexpr int MaxEntries = 17;
    // The base name of the entry that stands for an input not connected.
    static constexpr const char* NotUsedName = "NOTUSED";

    std::vector<CJoyData> Entries;
    // The identifier of the "NOTUSED" entry, 0 when there is none.
    int16_t NotUsedId = 0;
    // Picture files of the dialog; empty when the file does not exist.
    QString UnknownPicture, NotUsedPicture, CustomPicture;
    // Why the list could not be used ("" when it was read); the catalogue is
    // then empty: nothing of a file that is not wholly readable is kept.
    std::string Error;
    // Entries after the first MaxEntries that were left unread.
    int Ignored = 0;

    int Size() const { return static_cast<int>(Entries.size()); }
    // The entry at a position, nullptr outside 0..Size()-1.
    const CJoyData* At(int position) const;
};

// The picture file base + suffix under folder, "" when it does not exist.
QString JoyPictureFile(const QString& folder, const std::string& base, const char* suffix);

// Reads <resFolder>/ini/JoylistNew.ini and finds the pictures under
// <resFolder>/bmp/joy. Never throws: a missing file or a line that does not
// convert gives an empty catalogue with Error set. Blank lines are skipped;
// reading stops after MaxEntries entries, the rest counted in Ignored.
JoyCatalogue LoadJoyCatalogue(const QString& resFolder);

} // namespace config
