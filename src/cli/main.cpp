// qvs-cli: the headless tool (configure a controller from a shell or a script).
#include "cli/CliApp.h"
#include "core/transport/BusSelection.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>
#include <unistd.h>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("qvs-cli"));
    QuietCanBusPluginLogging();
    QTextStream out(stdout);
    QTextStream err(stderr);
    CliRunOptions options;
    options.ErrIsTerminal = ::isatty(STDERR_FILENO) == 1;
    return RunCli(QCoreApplication::arguments(), out, err, options);
}
