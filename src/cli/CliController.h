#pragma once
// The steps the configuration commands share: connecting the way the
// program's Connect command does, reading a configuration file once and
// loading it onto a table, the write checks of a loaded configuration.
#include "core/files/File.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <memory>

class CliContext;
class CoreContext;
class IDData;

namespace cli {

// Connect (pending-restore check, version read, read of every page) with the
// answers set on the context's host. ExitOk, ExitFailed (the message is on
// stderr) or ExitBlocked (a pending restore was refused).
int ConnectController(CliContext& c);

// A configuration file as read from disk: read once, loaded on any table.
struct ConfigFileBytes {
    QString Path;
    QString BareName;
    QByteArray Bytes;
};
// Reads the file; on failure prints "Error Loading File!" and the reason.
bool ReadConfigFile(CliContext& c, const QString& path, ConfigFileBytes& file);
// Loads the file onto the table (all or nothing); on failure (a file that
// sets no parameter of the catalogue among them) prints "Error Loading
// File!" and the reason and returns false.
bool LoadConfigFile(CliContext& c, const ConfigFileBytes& file, IDData& table, InfoBlock& info,
                    LoadReport& report);
// Prints "Configuration NOT SAVED!" and the reason.
void SaveFailed(CliContext& c, const QString& reason);

// A second variable table from the session's catalogue: every record seeded
// from the same record of seed, or (seed null) from its factory default as a
// fresh controller holds it. Null (with the failure printed) when the
// catalogue does not load again.
std::unique_ptr<IDData> ScratchTable(CliContext& c, const IDData* seed);

// What a loaded configuration would meet at a write.
struct Findings {
    QString Errors;          // CheckDataToWrite: blocks a write
    QString LimitErrors;     // values outside their limits: block a write too
    QString Warnings;        // CheckFloatPinToWrite: shown, does not block
    QStringList FileWarnings; // unknown addresses, values outside their limits
    QJsonArray UnknownAddresses;
    QJsonArray OutOfRange;
};
Findings FindingsOf(const IDData& table, const LoadReport& report);
// The text lines of a check text (CR-separated), without empty ones.
QStringList FindingLines(const QString& text);

// The number of records a write of mask would send from the context's table.
int WriteCount(CoreContext& context, int16_t mask);

// Prints a JSON document on stdout.
void PrintJson(CliContext& c, const QJsonObject& object, bool compact = false);

} // namespace cli
