#pragma once
// qvs-cli as a function: parses the command line, opens what the command
// needs and runs it. Returns the exit code (CliExit). A QCoreApplication must
// exist.
#include <QStringList>

#include <functional>
#include <memory>

class DrcController;
class QTextStream;

struct CliRunOptions {
    // stderr is a terminal: transfers show a progress line there.
    bool ErrIsTerminal = false;
    // Called with the in-process simulated controller (--bus sim) as soon as
    // it exists, before any request: lets an embedding program or a test set
    // its state and look at it afterwards.
    std::function<void(const std::shared_ptr<DrcController>&)> SimulatorReady;
};

int RunCli(const QStringList& arguments, QTextStream& out, QTextStream& err, const CliRunOptions& options = {});
// The text of qvs-cli --help.
QString CliHelpText();
