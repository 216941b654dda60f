#pragma once
// The commands of qvs-cli, one table: each command parses its own arguments
// before any bus is opened (usage errors never touch the controller), then
// runs against an open session.
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class CliSession;
class QTextStream;

// Exit codes of qvs-cli.
enum CliExit : int {
    ExitOk = 0,
    ExitFailed = 1, // the controller operation or the connection failed
    ExitUsage = 2,  // the command line is wrong
};

struct CliContext {
    CliSession& Session;
    QTextStream& Out;
    QTextStream& Err;
};

class CliCommand {
public:
    virtual ~CliCommand() = default;
    // "" when the arguments (after the command name) are usable, else the
    // usage message.
    virtual QString Parse(const QStringList& args) = 0;
    virtual int Run(CliContext& context) = 0;
};

struct CliCommandInfo {
    const char* Name;
    const char* Synopsis; // arguments, as shown by --help
    const char* Summary;
    std::unique_ptr<CliCommand> (*Create)();
};

const std::vector<CliCommandInfo>& CliCommandTable();
const CliCommandInfo* FindCliCommand(const QString& name);

// The failure line of every controller operation.
inline QString OperationFailedText(const std::string& linkText)
{
    return QStringLiteral("Operation Failed :") + QString::fromStdString(linkText);
}
