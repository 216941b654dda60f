#include "SimTestSupport.h"
#include "sim/CanBusServer.h"
#include "sim/DrcSimOptions.h"
#include "sim/NumberArgument.h"
#include "sim/SimConsole.h"

#include <gtest/gtest.h>

using namespace simtest;

TEST(NumberArgument, DecimalAndHexWithinRange)
{
    EXPECT_EQ(ParseWordArgument(QStringLiteral("0")), 0);
    EXPECT_EQ(ParseWordArgument(QStringLiteral("65535")), 65535);
    EXPECT_EQ(ParseWordArgument(QStringLiteral("0x1234")), 0x1234);
    EXPECT_EQ(ParseWordArgument(QStringLiteral("0XFFFF")), 0xFFFF);
    EXPECT_EQ(ParseWordArgument(QStringLiteral(" 12 ")), 12);
    for (const char* bad : {"", "65536", "0x10000", "-1", "+5", "0x", "0x-1", "12abc", "1.5", "1e3", "0b101",
                            "99999999999999999999"})
        EXPECT_FALSE(ParseWordArgument(QString::fromLatin1(bad))) << bad;
    EXPECT_EQ(ParseNumberArgument(QStringLiteral("-1"), -1, 10), -1);
    EXPECT_FALSE(ParseNumberArgument(QStringLiteral("-2"), -1, 10));
}

TEST(DrcSimOptions, DefaultsAndEveryFault)
{
    DrcSimOptions o;
    QString text;
    ASSERT_EQ(ParseDrcSimOptions({QStringLiteral("drc-sim")}, o, text), DrcSimParse::Run) << text.toStdString();
    EXPECT_EQ(o.Bus, QStringLiteral("virtualcan:can0"));
    EXPECT_EQ(o.Faults.SilentAfter, -1);
    EXPECT_EQ(o.Faults.DropEvery, 0);

    DrcSimOptions f;
    ASSERT_EQ(ParseDrcSimOptions({QStringLiteral("drc-sim"), QStringLiteral("--bus"),
                                  QStringLiteral("virtualcan:tcp://127.0.0.1:4000/can0"), QStringLiteral("--latency"),
                                  QStringLiteral("30"), QStringLiteral("--drop-every"), QStringLiteral("4"),
                                  QStringLiteral("--corrupt-every"), QStringLiteral("0x5"),
                                  QStringLiteral("--corrupt-kind"), QStringLiteral("address"),
                                  QStringLiteral("--silent-after"), QStringLiteral("0"), QStringLiteral("--demo-errors"),
                                  QStringLiteral("--seed"), QStringLiteral("99"), QStringLiteral("--power-cycle-on-start"),
                                  QStringLiteral("--e2"), QStringLiteral("250=82"), QStringLiteral("--e2"),
                                  QStringLiteral("0xFB=0x45"), QStringLiteral("--home"), QStringLiteral("/opt/q")},
                                 f, text),
              DrcSimParse::Run)
        << text.toStdString();
    EXPECT_EQ(f.Bus, QStringLiteral("virtualcan:tcp://127.0.0.1:4000/can0"));
    EXPECT_EQ(f.Faults.LatencyMs, 30);
    EXPECT_EQ(f.Faults.DropEvery, 4);
    EXPECT_EQ(f.Faults.CorruptEvery, 5);
    EXPECT_EQ(f.Faults.CorruptAs, CorruptKind::Address);
    EXPECT_EQ(f.Faults.SilentAfter, 0);
    EXPECT_TRUE(f.DemoErrors);
    EXPECT_EQ(f.Seed, 99u);
    EXPECT_TRUE(f.PowerCycleOnStart);
    EXPECT_EQ(f.E2Presets, (QList<QPair<int, int>>{{250, 82}, {251, 69}}));
    EXPECT_EQ(f.Home, QStringLiteral("/opt/q"));
}

TEST(DrcSimOptions, BadValuesAreUsageErrors)
{
    const QList<QStringList> bad{
        {QStringLiteral("--latency"), QStringLiteral("-5")},
        {QStringLiteral("--drop-every"), QStringLiteral("many")},
        {QStringLiteral("--corrupt-kind"), QStringLiteral("bits")},
        {QStringLiteral("--bus"), QStringLiteral("sim")},
        {QStringLiteral("--bus"), QStringLiteral("can0")},
        {QStringLiteral("--e2"), QStringLiteral("70000=1")},
        {QStringLiteral("--e2"), QStringLiteral("5")},
        {QStringLiteral("--unknown")},
        {QStringLiteral("stray")},
    };
    for (const QStringList& args : bad) {
        DrcSimOptions o;
        QString text;
        EXPECT_EQ(ParseDrcSimOptions(QStringList{QStringLiteral("drc-sim")} + args, o, text), DrcSimParse::Error)
            << args.join(' ').toStdString();
        EXPECT_FALSE(text.isEmpty());
    }
    DrcSimOptions o;
    QString help;
    ASSERT_EQ(ParseDrcSimOptions({QStringLiteral("drc-sim"), QStringLiteral("--help")}, o, help), DrcSimParse::Help);
    for (const char* option : {"--bus", "--home", "--latency", "--drop-every", "--corrupt-every", "--corrupt-kind",
                               "--silent-after", "--demo-errors", "--seed", "--power-cycle-on-start"})
        EXPECT_TRUE(help.contains(QLatin1String(option))) << option;
}

TEST(SimConsole, CommandsActOnTheController)
{
    CatalogueFile catalogue;
    DrcController drc;
    ASSERT_EQ(drc.LoadCatalogue(catalogue.Path()), "");
    SimConsole console(drc);

    EXPECT_EQ(console.Execute(QStringLiteral("e2 0x41")), QStringLiteral("1200"));
    EXPECT_EQ(console.Execute(QStringLiteral("e2 65 1500")), QStringLiteral("1500"));
    for (int i = 0; i < 5; ++i)
        console.Execute(QStringLiteral("e2 %1 %2").arg(250 + i).arg(int(DrcController::RestoreSignature[i])));
    EXPECT_EQ(console.Execute(QStringLiteral("power-cycle")), QStringLiteral("power cycled: factory defaults restored"));
    EXPECT_EQ(drc.E2(65), 1200);

    EXPECT_EQ(console.Execute(QStringLiteral("raise 0 4")), QStringLiteral("ok: RAM 1033 = 16"));
    EXPECT_EQ(console.Execute(QStringLiteral("raise QVS_MAIN_ERROR 1")), QStringLiteral("ok: RAM 1032 = 2"));
    EXPECT_EQ(console.Execute(QStringLiteral("clear 0 4")), QStringLiteral("ok: RAM 1033 = 0"));
    EXPECT_TRUE(console.Execute(QStringLiteral("raise 3 1")).startsWith(QStringLiteral("error:")))
        << "QVS_ERROR_CODE_3 is not in this catalogue";
    EXPECT_TRUE(console.Execute(QStringLiteral("raise 0 16")).startsWith(QStringLiteral("error:")));

    EXPECT_EQ(console.Execute(QStringLiteral("silent-after 0")), QStringLiteral("ok"));
    EXPECT_EQ(drc.Faults().SilentAfter, 0);
    EXPECT_EQ(console.Execute(QStringLiteral("corrupt-every 3 address")), QStringLiteral("ok"));
    EXPECT_EQ(drc.Faults().CorruptAs, CorruptKind::Address);
    EXPECT_EQ(console.Execute(QStringLiteral("adapter absent")), QStringLiteral("ok"));
    EXPECT_FALSE(drc.AdapterPresent());
    EXPECT_EQ(console.Execute(QStringLiteral("bus off")), QStringLiteral("ok"));
    EXPECT_EQ(drc.BusStatus(), CanBusOff);
    EXPECT_TRUE(console.Execute(QStringLiteral("bus sideways")).startsWith(QStringLiteral("error:")));
    EXPECT_EQ(console.Execute(QStringLiteral("status")),
              QStringLiteral("uptime 0 ms, requests 0, replies 0, restore none, latency 0 ms, drop-every 0, "
                             "corrupt-every 3 (address), silent-after 0, adapter absent, bus off"));
    EXPECT_TRUE(console.Execute(QStringLiteral("latency x")).startsWith(QStringLiteral("error:")));
    EXPECT_TRUE(console.Execute(QStringLiteral("frobnicate")).startsWith(QStringLiteral("error: unknown command")));
    EXPECT_EQ(console.Execute(QStringLiteral("   ")), QString());

    bool quit = false;
    QObject::connect(&console, &SimConsole::quitRequested, [&] { quit = true; });
    console.Execute(QStringLiteral("quit"));
    EXPECT_TRUE(quit);
}

TEST(CanBusServer, RefusesTheBusNamesTheProgramsRefuse)
{
    QString plugin, iface, why;
    ASSERT_TRUE(CanBusServer::SplitBusName(QStringLiteral("virtualcan:tcp://127.0.0.1:4711/can0"), plugin, iface));
    EXPECT_EQ(plugin, "virtualcan");
    EXPECT_EQ(iface, "tcp://127.0.0.1:4711/can0");
    ASSERT_TRUE(CanBusServer::SplitBusName(QStringLiteral("socketcan:can0"), plugin, iface));
    EXPECT_EQ(iface, "can0");

    // A virtual channel the tool cannot join would leave the simulator
    // serving a bus nobody reaches.
    EXPECT_FALSE(CanBusServer::SplitBusName(QStringLiteral("virtualcan:can7"), plugin, iface, &why));
    EXPECT_TRUE(why.contains("not understood")) << why.toStdString();
    EXPECT_FALSE(CanBusServer::SplitBusName(QStringLiteral("can0"), plugin, iface, &why));

    EnsureApplication();
    DrcController drc;
    CanBusServer server(drc);
    QString error;
    EXPECT_FALSE(server.Open(QStringLiteral("virtualcan:tcp://127.0.0.1:4711/bus"), 0, &error));
    EXPECT_TRUE(error.contains("use can0, can1 or tcp://HOST:PORT/can0")) << error.toStdString();
}
