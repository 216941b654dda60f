// qvs-cli: the headless tool (read and write controller words from a shell).
#include "cli/CliApp.h"
#include "core/transport/BusSelection.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("qvs-cli"));
    QuietCanBusPluginLogging();
    QTextStream out(stdout);
    QTextStream err(stderr);
    return RunCli(QCoreApplication::arguments(), out, err);
}
