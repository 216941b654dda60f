// qvs-cli's controller commands in this process, against the in-process
// simulated controller: what they print, what they send, their exit codes.
#include "CliTestSupport.h"

#include "cli/CliCommands.h"
#include "core/link/E2Image.h"
#include "sim/DrcController.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

using namespace clitest;

namespace {

const QString Json = QStringLiteral("--json");

QJsonObject ParseJson(const QString& text)
{
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(text.toUtf8(), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString() << "\n"
                                                     << text.toStdString();
    return doc.object();
}

void SetRestorePending(DrcController& sim)
{
    for (int k = 0; k < 5; ++k)
        sim.SetE2(E2Image::ResetAddress + k, E2Image::ResetSignature[k]);
}

} // namespace

TEST(CliCommands, InfoShowsVersionModelAndPendingRestore)
{
    CliRun r = Cli({QStringLiteral("info")}, [](DrcController& sim) {
        sim.SetSoftwareVersion(0x1234);
        sim.SetE2(AddressOf("QVS_SYSTEM_TYPE"), 0);
    });
    ASSERT_EQ(r.Code, ExitOk) << r.Err.toStdString();
    EXPECT_TRUE(r.Out.contains("Software version: v012.34\n")) << r.Out.toStdString();
    EXPECT_TRUE(r.Out.contains("Model: DRC 200 F\n")) << r.Out.toStdString();
    EXPECT_TRUE(r.Out.contains("Restore pending: no\n"));
    EXPECT_TRUE(r.Err.isEmpty()) << r.Err.toStdString();

    r = Cli({Json, QStringLiteral("info")}, [](DrcController& sim) {
        SetRestorePending(sim);
        sim.SetE2(AddressOf("QVS_NUM_PROP_REG"), 4);
    });
    ASSERT_EQ(r.Code, ExitOk) << r.Err.toStdString();
    const QJsonObject o = ParseJson(r.Out);
    EXPECT_EQ(o["model"].toString(), "DRC 400 P");
    EXPECT_EQ(o["version"].toString(), "v001.23") << "the catalogue's version word 291";
    EXPECT_TRUE(o["restorePending"].toBool());
    EXPECT_TRUE(r.Err.contains("Missing POWER RESET After A 'RESET' Command : Continue Anyway? yes"))
        << r.Err.toStdString();
}

TEST(CliCommands, ReadListsTheParametersOfAConfigurationFile)
{
    CliRun r = Cli({QStringLiteral("read")}, [](DrcController& sim) { sim.SetE2(AddressOf("QVS_VK"), 255); });
    ASSERT_EQ(r.Code, ExitOk) << r.Err.toStdString();
    const QStringList lines = r.Out.split('\n', Qt::SkipEmptyParts);
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_TRUE(lines[0].startsWith("Name")) << lines[0].toStdString();
    // 2 sections: the records of sections 3 and 4 and the monitor variables are not listed.
    EXPECT_EQ(lines.size(), 1 + 69);
    EXPECT_FALSE(r.Out.contains("Current 3A Min"));
    EXPECT_FALSE(r.Out.contains("Supply Voltage"));
    const QString gain = lines.filter(QRegularExpression("^Valve Gain ")).value(0);
    EXPECT_EQ(gain.simplified(), "Valve Gain 120 255 100 %") << "raw 255 shows as 100 %";

    r = Cli({Json, QStringLiteral("read")}, SetRestorePending);
    ASSERT_EQ(r.Code, ExitOk);
    const QJsonObject o = ParseJson(r.Out);
    EXPECT_TRUE(o["restorePending"].toBool());
    EXPECT_TRUE(r.Err.contains("Missing POWER RESET")) << "a pending restore is a warning";
    const QJsonArray params = o["parameters"].toArray();
    ASSERT_EQ(params.size(), 69);
    const QJsonObject first = params[0].toObject();
    EXPECT_EQ(first["key"].toString(), "QVS_NUM_PROP_REG");
    EXPECT_EQ(first["address"].toInt(), 1);
    EXPECT_EQ(first["raw"].toInt(), 2);
    EXPECT_FALSE(first["writable"].toBool());
    const QJsonObject version = params[params.size() - 2].toObject();
    EXPECT_EQ(version["display"].toString(), "v001.23");
}

TEST(CliCommands, ReadFaultsAreReportedAndDefaultsTaken)
{
    const CliRun r =
        Cli({QStringLiteral("read")}, [](DrcController& sim) { sim.SetE2(AddressOf("QVS_I0_MAX"), 9999); });
    ASSERT_EQ(r.Code, ExitOk) << r.Err.toStdString();
    EXPECT_TRUE(r.Err.contains("READ FAULT:\n - Current 1A Max")) << r.Err.toStdString();
    EXPECT_EQ(r.Out.split('\n').filter(QRegularExpression("^Current 1A Max ")).value(0).simplified(),
              "Current 1A Max 65 1200 1200 mA");
}

TEST(CliCommands, LinkFailuresExitOneWithTheFailureText)
{
    CliRun r = Cli({QStringLiteral("read")}, [](DrcController& sim) { sim.SetSilentAfter(0); });
    EXPECT_EQ(r.Code, ExitFailed);
    EXPECT_EQ(r.Err, "Operation Failed :Communication TIME OUT \n");
    EXPECT_TRUE(r.Out.isEmpty());

    // The version word is answered, the parameter read is not.
    r = Cli({QStringLiteral("info")}, [](DrcController& sim) { sim.SetSilentAfter(8); });
    EXPECT_EQ(r.Code, ExitFailed);
    EXPECT_EQ(r.Err, "Operation Failed :Communication TIME OUT \n");

    r = Cli({QStringLiteral("monitor"), QStringLiteral("--count"), QStringLiteral("3")},
            [](DrcController& sim) { sim.SetSilentAfter(4); });
    EXPECT_EQ(r.Code, ExitFailed);
    EXPECT_EQ(r.Err, "Operation Failed :Communication TIME OUT \n");

    r = Cli({QStringLiteral("reset")}, [](DrcController& sim) { sim.SetAdapterPresent(false); });
    EXPECT_EQ(r.Code, ExitFailed);
    EXPECT_TRUE(r.Err.startsWith("qvs-cli: Unable to initialize CAN USB inteface")) << r.Err.toStdString();
}

TEST(CliCommands, ResetWritesTheSignatureAndTellsToSwitchPower)
{
    CliRun r = Cli({QStringLiteral("reset")});
    ASSERT_EQ(r.Code, ExitOk) << r.Err.toStdString();
    EXPECT_EQ(r.Out, "Switch OFF and then switch ON power supply!\n");
    EXPECT_TRUE(r.Err.isEmpty());
    ASSERT_TRUE(r.Sim);
    EXPECT_TRUE(r.Sim->RestorePending());

    r = Cli({Json, QStringLiteral("reset")});
    EXPECT_EQ(ParseJson(r.Out)["message"].toString(), "Switch OFF and then switch ON power supply!");
}

TEST(CliCommands, MonitorPrintsOneLinePerCycleWithUnits)
{
    CliRun r = Cli({QStringLiteral("monitor"), QStringLiteral("--count"), QStringLiteral("3"),
                    QStringLiteral("--interval"), QStringLiteral("0")},
                [](DrcController& sim) { sim.RaiseError(Key::QVS_MAIN_ERROR, 4); });
    ASSERT_EQ(r.Code, ExitOk) << r.Err.toStdString();
    const QStringList lines = r.Out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    for (const QString& l : lines) {
        EXPECT_TRUE(l.contains("Main Error 0x0010")) << l.toStdString();
        EXPECT_TRUE(l.contains(QRegularExpression("Supply Voltage 1\\d(\\.\\d+)? V$"))) << l.toStdString();
        EXPECT_TRUE(l.contains(QRegularExpression("Joystick 2 [\\d.]+ %"))) << "two sections: both joysticks";
        EXPECT_TRUE(l.contains(QRegularExpression("Current 1 [\\d.]+ mA")));
    }

    // One section: the second joystick and current do not exist.
    r = Cli({Json, QStringLiteral("monitor"), QStringLiteral("--count"), QStringLiteral("2"),
             QStringLiteral("--interval"), QStringLiteral("10")},
            [](DrcController& sim) { sim.SetE2(AddressOf("QVS_NUM_PROP_REG"), 1); });
    ASSERT_EQ(r.Code, ExitOk) << r.Err.toStdString();
    const QStringList json = r.Out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(json.size(), 2);
    const QJsonObject second = ParseJson(json[1]);
    EXPECT_EQ(second["cycle"].toInt(), 2);
    EXPECT_GE(second["ms"].toInt(), 10);
    const QJsonArray values = second["values"].toArray();
    EXPECT_EQ(values.size(), 6);
    for (const QJsonValue& v : values)
        EXPECT_NE(v.toObject()["name"].toString(), "Joystick 2");
}

TEST(CliCommands, ProgressLineOnlyForATerminal)
{
    const CliRun plain = Cli({QStringLiteral("read")});
    EXPECT_FALSE(plain.Err.contains('\r'));
    const CliRun terminal = Cli({QStringLiteral("read")}, {}, true);
    ASSERT_EQ(terminal.Code, ExitOk);
    EXPECT_TRUE(terminal.Err.contains("\rReading... 100%")) << terminal.Err.toStdString();
    // The line is wiped at the end: the last thing on stderr is a carriage return.
    EXPECT_TRUE(terminal.Err.endsWith('\r'));
    EXPECT_FALSE(terminal.Out.contains('\r'));
    const CliRun traced = Cli({QStringLiteral("--trace"), QStringLiteral("read")},
                              {}, true);
    EXPECT_FALSE(traced.Err.contains('\r')) << "no progress line between the frame lines";
}

TEST(CliUsageErrors, WrongCommandLinesExitTwoBeforeAnyRequest)
{
    const QList<QStringList> bad{
        {QStringLiteral("info"), QStringLiteral("extra")},
        {QStringLiteral("info"), QStringLiteral("--out"), QStringLiteral("x.txt")},
        {QStringLiteral("read"), QStringLiteral("--author"), QStringLiteral("me")},
        {QStringLiteral("read"), QStringLiteral("--force")},
        {QStringLiteral("read"), QStringLiteral("--out")},
        {QStringLiteral("write")},
        {QStringLiteral("write"), QStringLiteral("a"), QStringLiteral("b")},
        {QStringLiteral("check"), QStringLiteral("--force"), QStringLiteral("a")},
        {QStringLiteral("diff")},
        {QStringLiteral("reset"), QStringLiteral("now")},
        {QStringLiteral("monitor"), QStringLiteral("--count"), QStringLiteral("many")},
        {QStringLiteral("monitor"), QStringLiteral("--interval"), QStringLiteral("-5")},
        {QStringLiteral("peek"), QStringLiteral("e2"), QStringLiteral("1"), QStringLiteral("--count"),
         QStringLiteral("2")},
    };
    for (const QStringList& args : bad) {
        int requests = -1;
        const CliRun r = Cli(args, [&](DrcController& sim) { requests = sim.RequestCount(); });
        EXPECT_EQ(r.Code, ExitUsage) << args.join(' ').toStdString() << "\n" << r.Err.toStdString();
        EXPECT_TRUE(r.Err.startsWith("qvs-cli: ")) << r.Err.toStdString();
        EXPECT_EQ(requests, -1) << "no bus was opened for " << args.join(' ').toStdString();
    }
}

TEST(CliUsageErrors, HelpDocumentsEveryCommandOptionAndExitCode)
{
    const CliRun r = Cli({QStringLiteral("--help")});
    EXPECT_EQ(r.Code, ExitOk);
    for (const CliCommandInfo& c : CliCommandTable())
        EXPECT_TRUE(r.Out.contains(QStringLiteral("\n  %1").arg(QLatin1String(c.Name)))) << c.Name;
    for (const CliOptionInfo& o : CliCommandOptions())
        EXPECT_TRUE(r.Out.contains(QStringLiteral("--%1").arg(QLatin1String(o.Name)))) << o.Name;
    for (const char* word : {"--bus", "--simulate", "--home", "--link-timing", "--trace", "--json", "Exit status"})
        EXPECT_TRUE(r.Out.contains(QLatin1String(word))) << word;
    for (int code = 0; code <= 5; ++code)
        EXPECT_TRUE(r.Out.contains(QStringLiteral("\n  %1  ").arg(code))) << code;
}
