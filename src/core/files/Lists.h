#pragma once
// The joystick list, the diagnostic list and the palette file.
#include <QString>

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

// A list line with a field that does not convert; what() says which.
class ListError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One entry of the joystick list JoylistNew.ini.
class CJoyData {
public:
    int16_t id = 0;
    std::string JoyFileName;
    std::string Code;
    std::string DescrLine1, DescrLine2, DescrLine3, DescrLine4;
    int16_t DrcTypeID = 0;
    int16_t SectionNum = 0;
    int32_t JConfig_0 = 0, RConfig_0 = 0;
    int32_t JConfig_1 = 0, RConfig_1 = 0;
    int32_t JConfig_2 = 0, RConfig_2 = 0;
    int32_t JConfig_3 = 0, RConfig_3 = 0;
    // Picture files of the entry (empty when the file does not exist): the
    // widgets load them. Set by the list loader of the input selection.
    QString JoyPic, JoyPicD, JoyPicX, JoyPicY, JoyPicZ, JoyPicW;

    // Fills the entry from one list line; throws ListError for a bad number.
    void Load(const std::string& line);
};

// One entry of the diagnostic list DiagnosticList.ini.
class CDiagnosticData {
public:
    int32_t address = 0;
    int16_t VarID = 0;
    std::string PageDescr;
    std::string VarKey;
    std::string Message0, Message1, Message2;

    // Fills the texts from the rest of a list line after its first three fields.
    void Load(std::string auxString);
};

// A diagnostic list line split into group, bit, address and the entry.
struct DiagnosticLine {
    int16_t group = 0;
    int16_t bit = 0;
    CDiagnosticData entry;
};
// Parses one diagnostic list line; throws ListError for a bad number.
DiagnosticLine ParseDiagnosticLine(const std::string& line);

// The lines of a list file after its header line (Windows-1252, any line
// ends). Throws ListError when the file cannot be read.
std::vector<std::string> ReadListFile(const QString& path);

// The section colours: 0x00BBGGRR values, 0x800000nn for system colours.
struct PaletteColours {
    std::array<int32_t, 4> Back{};
    std::array<int32_t, 4> Text{};
};

// Reads colour.ini: 8 lines, each one 32-bit decimal number. Throws ListError
// when the file cannot be read, has fewer than 8 lines or a line is not a number.
PaletteColours ReadPaletteFile(const QString& path);
// The file text: one blank before each non-negative number, CR LF line ends.
QByteArray PaletteFileText(const PaletteColours& colours);
// Writes colour.ini atomically; throws ListError when it cannot be written.
void WritePaletteFile(const QString& path, const PaletteColours& colours);
