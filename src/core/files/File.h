#pragma once
// The configuration file: the raw values of the catalogue parameters with an
// information block (author, date, revision, company, comments).
//
// Byte layout: every line ends with CR, the line breaks inside the comments
// are CR LF, and one CR LF follows the last line. Reading accepts CR, LF and
// CR LF. Saving is atomic; loading applies nothing unless the whole file parsed.
#include <QString>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

class IDData;
class PageRegistry;

// A file that cannot be read, written or parsed. what() is the reason.
class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The information block the Info page edits. Comments use CR LF line breaks.
struct InfoBlock {
    QString Author;
    QString Date;
    QString Revision;
    QString Company;
    QString Comments;
    QString FileName; // bare name of the file last loaded or saved
};

// What a load found besides the values it applied.
struct LoadReport {
    // Addresses of parameter lines that match no catalogue record (ignored).
    std::vector<int32_t> UnknownAddresses;
    // Table indices of records whose loaded value lies outside their limits
    // (loaded unchanged).
    std::vector<int> OutOfRange;
    int Applied = 0;
};

namespace ConfigFile {

inline constexpr const char* LoadFailedText = "Error Loading File!";
inline constexpr const char* SaveFailedText = "Configuration NOT SAVED!";
inline constexpr const char* LoadSucceededText = " SUCCESS : Configuration Loaded ";
inline constexpr const char* SaveSucceededText = " Configuration SAVED ";
inline constexpr const char* OverwriteQuestion = "File Already Exist : Overwrite ?";
inline constexpr const char* VariableNotFoundText = "Variable Not Found";

// ";" followed by 43 hyphens.
QString Separator();

// The information block, lines 1 to the second separator inclusive.
QString BuildInfoStr(const InfoBlock& info);
// Fills info from the text collected from a file's information section.
void ExtractInfo(const QString& collected, const QString& bareName, InfoBlock& info);

// One parameter line including its CR.
QString FormatParameterLine(const IDData& table, int index);
// The value a file holds for record index: its download value, or for the
// software version its RAM display value rounded (0 when that is no finite
// number within 32 bits); 0 for an index outside the table.
int64_t FileValueOf(const IDData& table, int index);
// Whether record index is written to a file: it belongs to a loaded page and
// its section exists (by the download value of the section count).
bool IsSaved(const IDData& table, int16_t allPagesReadKey, int index);

// The whole file content (8-bit text).
QByteArray BuildFile(const IDData& table, const PageRegistry& pages, const InfoBlock& info);
// Writes the file atomically; throws FileError. On success info.FileName is
// set to the bare name.
void SaveConfiguration(const QString& path, const IDData& table, const PageRegistry& pages,
                       InfoBlock& info);

// Reads path and, only when the whole file parsed and sets at least one
// parameter of the catalogue, applies its values to the table and its
// information block to info. Throws FileError otherwise, and then nothing
// has changed.
LoadReport LoadConfiguration(const QString& path, const QString& bareName, IDData& table,
                             InfoBlock& info);
// The same over bytes already read.
LoadReport LoadConfigurationBytes(const QByteArray& bytes, const QString& bareName, IDData& table,
                                  InfoBlock& info);

bool FileExistsFs(const QString& path);
bool PathExists(const QString& path);

} // namespace ConfigFile
