#include "cli/CliApp.h"

#include "cli/CliCommands.h"
#include "cli/CliSession.h"
#include "core/transport/BusSelection.h"
#include "core/state/ProgramFolder.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

namespace {

QString CommandList()
{
    QString text = QStringLiteral("\nCommands:\n");
    for (const CliCommandInfo& c : CliCommandTable()) {
        const QString head = QStringLiteral("  %1 %2").arg(QLatin1String(c.Name), QLatin1String(c.Synopsis));
        text += head.leftJustified(28) + QLatin1Char(' ') + QLatin1String(c.Summary) + QLatin1Char('\n');
    }
    text += QStringLiteral(
        "\nADDR and VALUE are 0..65535, decimal or 0x-hexadecimal.\n"
        "Exit status: 0 success, 1 the operation failed (\"Operation Failed :\" and the reason on stderr),\n"
        "2 usage error.\n");
    return text;
}

int Usage(QTextStream& err, const QString& message)
{
    err << "qvs-cli: " << message << Qt::endl << "Try 'qvs-cli --help'." << Qt::endl;
    return ExitUsage;
}

} // namespace

int RunCli(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Headless access to a DRC controller."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Show the program version."));
    parser.addOption(help);
    parser.addOption(version);
    AddBusOptions(parser);
    const QCommandLineOption home(QStringLiteral("home"),
                                  QStringLiteral("Program folder holding res/ (default: QVS_HOME, else the "
                                                 "executable's folder if it holds res/, else "
                                                 "../share/qvsstudio)."),
                                  QStringLiteral("DIR"));
    const QCommandLineOption trace(QStringLiteral("trace"),
                                   QStringLiteral("Print every CAN frame sent and received on stderr."));
    parser.addOption(home);
    parser.addOption(trace);
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("The command to run (see below)."),
                                 QStringLiteral("command [arguments]"));

    if (!parser.parse(arguments))
        return Usage(err, parser.errorText());
    if (parser.isSet(help)) {
        out << parser.helpText() << CommandList();
        out.flush();
        return ExitOk;
    }
    if (parser.isSet(version)) {
        out << "qvs-cli " << QVS_VERSION_MAJOR << '.' << QVS_VERSION_MINOR << '.' << QVS_VERSION_PATCH << Qt::endl;
        return ExitOk;
    }

    QStringList positional = parser.positionalArguments();
    if (positional.isEmpty())
        return Usage(err, QStringLiteral("no command given"));
    const CliCommandInfo* info = FindCliCommand(positional.takeFirst());
    if (!info)
        return Usage(err, QStringLiteral("unknown command '%1'").arg(parser.positionalArguments().first()));
    std::unique_ptr<CliCommand> command = info->Create();
    if (const QString e = command->Parse(positional); !e.isEmpty())
        return Usage(err, e);

    const BusSettings bus = BusSettingsFromParser(parser, qEnvironmentVariable("QVS_BUS"));
    if (!bus.Error.empty())
        return Usage(err, QString::fromStdString(bus.Error));
    if (const BusChoice choice = ResolveBus(bus.Bus); choice.Kind == BusKind::None && bus.Bus != "auto")
        return Usage(err, QString::fromStdString(choice.Error)); // a malformed bus name
    CliSettings settings;
    settings.Bus = QString::fromStdString(bus.Bus);
    settings.Timing = bus.Timing;
    settings.Trace = parser.isSet(trace);
    settings.ProgramFolder = FindProgramFolder(parser.value(home), QCoreApplication::applicationDirPath());

    CliSession session(settings, [&err](const QString& line) { err << line << Qt::endl; });
    if (const QString e = session.Open(); !e.isEmpty()) {
        err << "qvs-cli: " << e << Qt::endl;
        return ExitFailed;
    }
    CliContext context{session, out, err};
    const int code = command->Run(context);
    out.flush();
    err.flush();
    return code;
}
