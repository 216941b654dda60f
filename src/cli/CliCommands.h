#pragma once
// The commands of qvs-cli, one table: each command parses its own arguments
// before any bus is opened (usage errors never touch the controller), then
// runs and opens what it needs (the bus, the catalogue) through CliContext.
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class CliContext;
class QCommandLineParser;

// Exit codes of qvs-cli.
enum CliExit : int {
    ExitOk = 0,
    ExitFailed = 1,   // the controller, the link or the program's resources failed
    ExitUsage = 2,    // the command line is wrong
    ExitFile = 3,     // a configuration file could not be loaded or saved
    ExitBlocked = 4,  // the write checks (or a pending restore) refuse the write
    ExitDiffers = 5,  // diff: the controller differs from the file
};

class CliCommand {
public:
    virtual ~CliCommand() = default;
    // args are the positional arguments after the command name; the parser
    // holds the options. "" when usable, else the usage message.
    virtual QString Parse(const QCommandLineParser& parser, const QStringList& args) = 0;
    virtual int Run(CliContext& context) = 0;
};

// An option that belongs to one or more commands.
struct CliOptionInfo {
    const char* Name;
    const char* ValueName; // nullptr for a flag
    const char* Description;
};

struct CliCommandInfo {
    const char* Name;
    const char* Synopsis; // arguments and options, as shown by --help
    const char* Summary;
    std::vector<const char*> Options; // names of the command options it takes
    std::unique_ptr<CliCommand> (*Create)();
};

const std::vector<CliCommandInfo>& CliCommandTable();
const CliCommandInfo* FindCliCommand(const QString& name);
// Every command option of every command (each name once).
const std::vector<CliOptionInfo>& CliCommandOptions();

// The failure line of every controller operation.
inline QString OperationFailedText(const std::string& linkText)
{
    return QStringLiteral("Operation Failed :") + QString::fromStdString(linkText);
}

// The commands defined outside CliCommands.cpp.
std::unique_ptr<CliCommand> MakeInfoCommand();
std::unique_ptr<CliCommand> MakeReadCommand();
std::unique_ptr<CliCommand> MakeWriteCommand();
std::unique_ptr<CliCommand> MakeCheckCommand();
std::unique_ptr<CliCommand> MakeDiffCommand();
std::unique_ptr<CliCommand> MakeResetCommand();
std::unique_ptr<CliCommand> MakeMonitorCommand();
