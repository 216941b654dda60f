#include "cli/CliApp.h"

#include "cli/CliCommands.h"
#include "cli/CliContext.h"
#include "cli/CliSession.h"
#include "core/state/ProgramFolder.h"
#include "core/transport/BusList.h"
#include "core/transport/BusSelection.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

#include <algorithm>

namespace {

struct GlobalOptions {
    QCommandLineOption Help{{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help.")};
    QCommandLineOption Version{{QStringLiteral("v"), QStringLiteral("version")},
                               QStringLiteral("Show the program version.")};
    QCommandLineOption Home{QStringLiteral("home"),
                            QStringLiteral("Program folder holding res/ (default: QVS_HOME, else the executable's "
                                           "folder if it holds res/, else ../share/qvsstudio)."),
                            QStringLiteral("DIR")};
    QCommandLineOption Trace{QStringLiteral("trace"),
                             QStringLiteral("Print every CAN frame sent and received on stderr.")};
    QCommandLineOption Json{QStringLiteral("json"),
                            QStringLiteral("Machine-readable output: stdout carries JSON only (monitor: one JSON "
                                           "object per line); messages stay on stderr.")};
};

// Global options, then every command's options: one parser, so options may
// stand before or after the command.
void Configure(QCommandLineParser& parser, const GlobalOptions& g)
{
    parser.setApplicationDescription(QStringLiteral("Headless access to a DRC controller: read, save, check, "
                                                    "write and compare configurations, monitor, restore defaults."));
    parser.addOption(g.Help);
    parser.addOption(g.Version);
    AddBusOptions(parser);
    AddListBusesOption(parser);
    parser.addOption(g.Home);
    parser.addOption(g.Trace);
    parser.addOption(g.Json);
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("The command to run (see below)."),
                                 QStringLiteral("command [arguments]"));
}

void AddCommandOptions(QCommandLineParser& parser)
{
    for (const CliOptionInfo& o : CliCommandOptions()) {
        if (o.ValueName)
            parser.addOption(QCommandLineOption(QLatin1String(o.Name), QLatin1String(o.Description),
                                                QLatin1String(o.ValueName)));
        else
            parser.addOption(QCommandLineOption(QLatin1String(o.Name), QLatin1String(o.Description)));
    }
}

// text broken into lines of at most width characters, every line after the
// first starting with indent blanks.
QString Wrap(const QString& text, int indent, int width = 100)
{
    QString result, line;
    for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (!line.isEmpty() && line.size() + 1 + word.size() > width - indent) {
            result += line + QLatin1Char('\n') + QString(indent, QLatin1Char(' '));
            line.clear();
        }
        line += (line.isEmpty() ? QString() : QStringLiteral(" ")) + word;
    }
    return result + line;
}

QString CommandsText()
{
    QString text = QStringLiteral("\nCommands:\n");
    for (const CliCommandInfo& c : CliCommandTable()) {
        QString head = QStringLiteral("  ") + QLatin1String(c.Name);
        if (*c.Synopsis)
            head += QLatin1Char(' ') + QLatin1String(c.Synopsis);
        text += head + QLatin1Char('\n');
        text += QStringLiteral("      ") + Wrap(QLatin1String(c.Summary), 6) + QLatin1Char('\n');
    }
    text += QStringLiteral("\nCommand options:\n");
    for (const CliOptionInfo& o : CliCommandOptions()) {
        QString head = QStringLiteral("  --") + QLatin1String(o.Name);
        if (o.ValueName)
            head += QStringLiteral(" <%1>").arg(QLatin1String(o.ValueName));
        text += head.leftJustified(20) + QLatin1Char(' ') + Wrap(QLatin1String(o.Description), 21) + QLatin1Char('\n');
    }
    text += QStringLiteral(
        "\nADDR and VALUE are 0..65535, decimal or 0x-hexadecimal. A restore that awaits a power cycle is a\n"
        "warning for info, read and diff; write refuses it unless --force.\n"
        "\nExit status:\n"
        "  0  success (diff: the controller holds the file's values)\n"
        "  1  the controller, the link or the program's resources failed (\"Operation Failed :\" and the\n"
        "     reason on stderr)\n"
        "  2  usage error\n"
        "  3  file error: \"Error Loading File!\" or \"Configuration NOT SAVED!\" on stderr, the reason on\n"
        "     the next line\n"
        "  4  write refused: the write checks found errors (check: the file has errors), or a restore\n"
        "     awaits a power cycle; --force overrides both for write\n"
        "  5  diff: the controller differs from the file\n");
    return text;
}

int Usage(QTextStream& err, const QString& message)
{
    err << "qvs-cli: " << message << Qt::endl << "Try 'qvs-cli --help'." << Qt::endl;
    return ExitUsage;
}

} // namespace

QString CliHelpText()
{
    QCommandLineParser parser;
    GlobalOptions g;
    Configure(parser, g);
    return parser.helpText() + CommandsText();
}

int RunCli(const QStringList& arguments, QTextStream& out, QTextStream& err, const CliRunOptions& options)
{
    QCommandLineParser parser;
    GlobalOptions g;
    Configure(parser, g);
    AddCommandOptions(parser);

    if (!parser.parse(arguments))
        return Usage(err, parser.errorText());
    if (parser.isSet(g.Help)) {
        out << CliHelpText();
        out.flush();
        return ExitOk;
    }
    if (parser.isSet(g.Version)) {
        out << "qvs-cli " << QVS_VERSION_MAJOR << '.' << QVS_VERSION_MINOR << '.' << QVS_VERSION_PATCH << Qt::endl;
        return ExitOk;
    }
    if (ListBusesRequested(parser)) {
        out << SystemBusListText();
        out.flush();
        return ExitOk;
    }

    QStringList positional = parser.positionalArguments();
    if (positional.isEmpty())
        return Usage(err, QStringLiteral("no command given"));
    const QString name = positional.takeFirst();
    const CliCommandInfo* info = FindCliCommand(name);
    if (!info)
        return Usage(err, QStringLiteral("unknown command '%1'").arg(name));
    for (const CliOptionInfo& o : CliCommandOptions()) {
        const bool accepted = std::find_if(info->Options.begin(), info->Options.end(), [&](const char* n) {
                                  return qstrcmp(n, o.Name) == 0;
                              }) != info->Options.end();
        if (!accepted && parser.isSet(QLatin1String(o.Name)))
            return Usage(err, QStringLiteral("option --%1 does not apply to %2").arg(QLatin1String(o.Name), name));
    }
    std::unique_ptr<CliCommand> command = info->Create();
    if (const QString e = command->Parse(parser, positional); !e.isEmpty())
        return Usage(err, e);

    const BusSettings bus = BusSettingsFromParser(parser, qEnvironmentVariable("QVS_BUS"));
    if (!bus.Error.empty())
        return Usage(err, QString::fromStdString(bus.Error));
    // A malformed bus name is a usage error; "auto" is resolved only when a
    // command opens the bus (it asks the system's CAN plugins).
    if (!IsAutomaticBus(bus.Bus))
        if (const BusChoice choice = ResolveBus(bus.Bus); choice.Kind == BusKind::None)
            return Usage(err, QString::fromStdString(choice.Error));
    CliSettings settings;
    settings.Bus = QString::fromStdString(bus.Bus);
    settings.Timing = bus.Timing;
    settings.Trace = parser.isSet(g.Trace);
    settings.ProgramFolder = FindProgramFolder(parser.value(g.Home), QCoreApplication::applicationDirPath());
    settings.SimulatorReady = options.SimulatorReady;

    CliSession session(settings, [&err](const QString& line) { err << line << Qt::endl; });
    CliOutputMode mode;
    mode.Json = parser.isSet(g.Json);
    // The frame lines of --trace would break into the progress line.
    mode.ProgressLine = options.ErrIsTerminal && !settings.Trace;
    int code = ExitFailed;
    {
        CliContext context(session, out, err, mode);
        code = command->Run(context);
    }
    out.flush();
    err.flush();
    return code;
}
