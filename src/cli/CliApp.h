#pragma once
// qvs-cli as a function: parses the command line, opens the bus and runs one
// command. Returns the exit code (CliExit). A QCoreApplication must exist.
#include <QStringList>

class QTextStream;

int RunCli(const QStringList& arguments, QTextStream& out, QTextStream& err);
