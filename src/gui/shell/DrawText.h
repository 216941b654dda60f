#pragma once
// The texts of the status drawing, without any widget.
#include <QString>

#include <cstdint>

namespace DrawText {

inline constexpr const char* NoValue = "----";
inline constexpr const char* NotConnected = "Not Connected";
inline constexpr const char* Connected = "Connected";
inline constexpr const char* ConnectCaption = "Connect";
inline constexpr const char* DisconnectCaption = "Disconnect";
inline constexpr const char* ParameterOk = "PARAMETER OK";
inline constexpr const char* ParameterDiff = "PARAMETER DIFF.";
inline constexpr const char* Nothing = "---";
inline constexpr const char* FileToSave = "FILE TO SAVE";
inline constexpr const char* FileOk = "FILE OK";

// Colours 0x00BBGGRR: green for a good state, light yellow for attention,
// the system button face where there is nothing to report.
inline constexpr int32_t Green = 0xC000;
inline constexpr int32_t LightYellow = 0x80FFFF;
inline constexpr int32_t ButtonFace = static_cast<int32_t>(0x8000000Fu);

// Panel 7: the controller software version word as "v" + hex digits with a
// point before the last two ("v012.34" for 0x1234); "----" for 0 (nothing
// read). The value is rounded to a whole number first; a negative value is
// no version either.
QString VersionPanelText(double version);
// Panel 6: "RSV200" for one or two proportional sections, else "---".
QString SectionModelPanelText(int32_t sectionCount);
// Panel 5: the percentage rounded to a whole number, then "%".
QString ProgressPanelText(double percent);
// Panel 3: "v. " + major + "." + minor + "." + revision of this program.
QString ApplicationVersionText();

// The file indicator by FileState: text and colour.
struct Indicator {
    QString Text;
    int32_t Colour;
};
Indicator FileIndicator(int16_t fileState);
// The parameter indicator by ConnectionState and ParamsDiffer.
Indicator ParameterIndicator(int16_t connectionState, bool paramsDiffer);

} // namespace DrawText
