#include "sim/DrcSimOptions.h"

#include "sim/NumberArgument.h"

#include <QCommandLineParser>

namespace {

bool ParsePreset(const QString& text, QPair<int, int>& out)
{
    const qsizetype eq = text.indexOf(QLatin1Char('='));
    if (eq <= 0)
        return false;
    const auto address = ParseWordArgument(text.left(eq));
    const auto value = ParseWordArgument(text.mid(eq + 1));
    if (!address || !value)
        return false;
    out = {*address, *value};
    return true;
}

} // namespace

DrcSimParse ParseDrcSimOptions(const QStringList& args, DrcSimOptions& o, QString& text)
{
    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral(
        "Simulated DRC controller on a CAN bus. Answers the tool's E2 and RAM requests on identifier 220 with "
        "replies on 221, from memories seeded with the catalogue defaults, with live RAM values and optional "
        "faults.\n\nWhile it runs it reads operator commands on standard input (type 'help').\n"
        "It prints \"drc-sim: listening on BUS\" once the bus is connected."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Show the program version."));
    const QCommandLineOption bus(QStringLiteral("bus"),
                                 QStringLiteral("CAN bus plugin:interface to serve, e.g. virtualcan:can0, "
                                                "virtualcan:tcp://127.0.0.1:35468/can0, socketcan:can0 "
                                                "(default %1). On virtualcan drc-sim must start first: it "
                                                "hosts the virtual bus.")
                                     .arg(QString::fromLatin1(DrcSimOptions::DefaultBus)),
                                 QStringLiteral("NAME"));
    const QCommandLineOption home(QStringLiteral("home"),
                                  QStringLiteral("Program folder holding res/ (default: QVS_HOME, else the "
                                                 "executable's folder if it holds res/, else "
                                                 "../share/qvsstudio)."),
                                  QStringLiteral("DIR"));
    const QCommandLineOption catalogue(QStringLiteral("catalogue"),
                                       QStringLiteral("Catalogue file to load instead of "
                                                      "<home>/res/ini/Ramlist.ini."),
                                       QStringLiteral("FILE"));
    const QCommandLineOption bitrate(QStringLiteral("bitrate"),
                                     QStringLiteral("Bit rate in kbit/s for real adapters (default 250)."),
                                     QStringLiteral("KBIT"));
    const QCommandLineOption latency(QStringLiteral("latency"),
                                     QStringLiteral("Delay every reply by MS milliseconds."), QStringLiteral("MS"));
    const QCommandLineOption busModel(QStringLiteral("bus-model"),
                                      QStringLiteral("Pace every reply by the time a CAN bus at RATE needs for the "
                                                     "request and the reply, worst-case bit stuffing included "
                                                     "(%1; default: replies are immediate).")
                                          .arg(BusTimeModel::Choices()),
                                      QStringLiteral("RATE"));
    const QCommandLineOption dropEvery(QStringLiteral("drop-every"),
                                       QStringLiteral("Lose every Nth reply (the request still takes effect)."),
                                       QStringLiteral("N"));
    const QCommandLineOption corruptEvery(QStringLiteral("corrupt-every"),
                                          QStringLiteral("Garble every Nth reply (see --corrupt-kind)."),
                                          QStringLiteral("N"));
    const QCommandLineOption corruptKind(QStringLiteral("corrupt-kind"),
                                         QStringLiteral("How a garbled reply is wrong: 'command' (byte 0 names "
                                                        "another command, the default) or 'address' (wrong "
                                                        "address echo)."),
                                         QStringLiteral("KIND"));
    const QCommandLineOption silentAfter(QStringLiteral("silent-after"),
                                         QStringLiteral("Answer only the first N requests, then nothing "
                                                        "(0 = never answer)."),
                                         QStringLiteral("N"));
    const QCommandLineOption demoErrors(QStringLiteral("demo-errors"),
                                        QStringLiteral("Let a few error bits come and go on a slow cycle."));
    const QCommandLineOption seed(QStringLiteral("seed"),
                                  QStringLiteral("Seed of the measurement noise (default 1), for repeatable "
                                                 "runs."),
                                  QStringLiteral("N"));
    const QCommandLineOption powerCycle(QStringLiteral("power-cycle-on-start"),
                                        QStringLiteral("Power-cycle once before serving: a restore signature "
                                                       "preset with --e2 is applied."));
    const QCommandLineOption versionWord(QStringLiteral("version-word"),
                                         QStringLiteral("Software version word in RAM at QVS_PROG_VERS "
                                                        "(default: the catalogue default of that entry, else 0x0100)."),
                                         QStringLiteral("WORD"));
    const QCommandLineOption tick(QStringLiteral("tick"),
                                  QStringLiteral("Update the live values every MS milliseconds (default 20; 0 "
                                                 "freezes them)."),
                                  QStringLiteral("MS"));
    const QCommandLineOption e2(QStringLiteral("e2"),
                                QStringLiteral("Set an E2 word before start (repeatable), e.g. --e2 250=82."),
                                QStringLiteral("ADDR=VALUE"));
    const QCommandLineOption ram(QStringLiteral("ram"),
                                 QStringLiteral("Set a RAM word after start (repeatable)."),
                                 QStringLiteral("ADDR=VALUE"));
    const QCommandLineOption trace(QStringLiteral("trace"),
                                   QStringLiteral("Print every request taken and reply sent on stderr."));
    const QCommandLineOption noConsole(QStringLiteral("no-console"),
                                       QStringLiteral("Do not read operator commands on standard input."));

    p.addOptions({help, version, bus, home, catalogue, bitrate, latency, busModel, dropEvery, corruptEvery, corruptKind,
                  silentAfter, demoErrors, seed, powerCycle, versionWord, tick, e2, ram, trace, noConsole});

    if (!p.parse(args)) {
        text = p.errorText();
        return DrcSimParse::Error;
    }
    if (p.isSet(help)) {
        text = p.helpText();
        text += QStringLiteral(
            "\nNumbers may be decimal or 0x-hexadecimal.\n"
            "\nOperator commands on standard input:\n"
            "  power-cycle                  switch off and on (applies a pending restore)\n"
            "  raise WORD BIT | clear WORD BIT   set or clear an error bit; WORD is main, 0..3\n"
            "                               (QVS_ERROR_CODE_n) or a QVS_ key\n"
            "  clear-errors                 clear every raised error bit\n"
            "  demo-errors on|off           the slow error cycle\n"
            "  latency MS | drop-every N | corrupt-every N [command|address] | silent-after N\n"
            "  adapter present|absent       (in-process use only)\n"
            "  bus ok|warning|passive|off   bus state; off: nothing is answered\n"
            "  e2 ADDR [VALUE] | ram ADDR [VALUE]   read or set a word\n"
            "  status | help | quit\n");
        return DrcSimParse::Help;
    }
    if (p.isSet(version)) {
        text = QStringLiteral("drc-sim %1.%2.%3").arg(QVS_VERSION_MAJOR).arg(QVS_VERSION_MINOR).arg(QVS_VERSION_PATCH);
        return DrcSimParse::Version;
    }
    if (!p.positionalArguments().isEmpty()) {
        text = QStringLiteral("unexpected argument '%1'").arg(p.positionalArguments().first());
        return DrcSimParse::Error;
    }

    const auto number = [&](const QCommandLineOption& opt, long long min, long long max, auto& target) {
        if (!p.isSet(opt))
            return true;
        const auto v = ParseNumberArgument(p.value(opt), min, max);
        if (!v) {
            text = QStringLiteral("--%1: '%2' is not a number in %3..%4")
                       .arg(opt.names().first(), p.value(opt))
                       .arg(min)
                       .arg(max);
            return false;
        }
        target = static_cast<std::remove_reference_t<decltype(target)>>(*v);
        return true;
    };

    if (p.isSet(bus))
        o.Bus = p.value(bus);
    if (o.Bus.isEmpty() || o.Bus == QLatin1String("sim") || !o.Bus.contains(QLatin1Char(':'))) {
        text = QStringLiteral("--bus: '%1' is not a CAN bus of the form plugin:interface").arg(o.Bus);
        return DrcSimParse::Error;
    }
    o.Home = p.value(home);
    o.Catalogue = p.value(catalogue);
    if (!number(bitrate, 1, 1000, o.BitRateKbit) || !number(latency, 0, 60000, o.Faults.LatencyMs) ||
        !number(dropEvery, 0, 1000000, o.Faults.DropEvery) ||
        !number(corruptEvery, 0, 1000000, o.Faults.CorruptEvery) ||
        !number(silentAfter, 0, 1000000000, o.Faults.SilentAfter) || !number(seed, 0, 0xFFFFFFFFLL, o.Seed) ||
        !number(versionWord, 0, 65535, o.SoftwareVersion) || !number(tick, 0, 10000, o.TickMs))
        return DrcSimParse::Error;
    if (p.isSet(busModel)) {
        o.BusModel = BusTimeModel::FromText(p.value(busModel));
        if (!o.BusModel) {
            text = QStringLiteral("--bus-model: '%1' is not one of %2").arg(p.value(busModel), BusTimeModel::Choices());
            return DrcSimParse::Error;
        }
    }
    if (p.isSet(corruptKind)) {
        const auto kind = CorruptKindFromText(p.value(corruptKind).toStdString());
        if (!kind) {
            text = QStringLiteral("--corrupt-kind: '%1' is neither 'command' nor 'address'").arg(p.value(corruptKind));
            return DrcSimParse::Error;
        }
        o.Faults.CorruptAs = *kind;
    }
    o.DemoErrors = p.isSet(demoErrors);
    o.PowerCycleOnStart = p.isSet(powerCycle);
    o.Trace = p.isSet(trace);
    o.Console = !p.isSet(noConsole);
    const auto presets = [&](const QCommandLineOption& opt, QList<QPair<int, int>>& target) {
        for (const QString& v : p.values(opt)) {
            QPair<int, int> entry;
            if (!ParsePreset(v, entry)) {
                text = QStringLiteral("--%1: '%2' is not ADDR=VALUE with both in 0..65535").arg(opt.names().first(), v);
                return false;
            }
            target.append(entry);
        }
        return true;
    };
    if (!presets(e2, o.E2Presets) || !presets(ram, o.RamPresets))
        return DrcSimParse::Error;
    return DrcSimParse::Run;
}
