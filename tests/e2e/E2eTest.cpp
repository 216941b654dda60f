// qvs-cli and drc-sim as separate processes on a private virtual CAN bus, the
// way the tool talks to a machine; and qvs-cli on the in-process simulator.
#include "E2eSupport.h"

#include "cli/CliApp.h"
#include "cli/CliSession.h"
#include "core/link/IDData.h"
#include "core/link/WordLink.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace e2e;

namespace {

const QString Catalogue = QStringLiteral(QVS_BIN_DIR "/res/ini/Ramlist.ini");

struct Word {
    int Address = -1;
    int Default = 0;
};

Word CatalogueWord(Key k)
{
    static IDData table;
    if (table.VarTableEnd == 0 && !table.LoadCatalogue(Catalogue).empty())
        return {};
    const CVarData* r = table.Record(k);
    return r ? Word{r->DataS.Address, r->DataS.CedValueDefault & 0xFFFF} : Word{};
}

QString N(int v) { return QString::number(v); }

class VirtualBusTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureApplication();
        const int port = FreePort();
        ASSERT_GT(port, 0);
        bus = PrivateBus(port);
        maximum = CatalogueWord(Key::QVS_I0_MAX);
        version = CatalogueWord(Key::QVS_PROG_VERS);
        ASSERT_GE(maximum.Address, 0) << "the shipped catalogue binds QVS_I0_MAX";
        ASSERT_GE(version.Address, 0) << "the shipped catalogue binds QVS_PROG_VERS";
    }
    void StartSim(const QStringList& extra = {}, bool console = false)
    {
        ASSERT_TRUE(sim.Start(bus, extra, console)) << sim.Output().toStdString();
    }
    CliResult Cli(const QStringList& args) { return RunCliProcess(QStringList{QStringLiteral("--bus"), bus} + args); }

    QString bus;
    Word maximum, version;
    DrcSimProcess sim;
};

} // namespace

TEST_F(VirtualBusTest, PeekReadsCatalogueDefaults)
{
    StartSim();
    CliResult r = Cli({QStringLiteral("peek"), QStringLiteral("e2"), N(maximum.Address)});
    ASSERT_TRUE(r.Finished);
    EXPECT_EQ(r.ExitCode, 0) << r.Err.toStdString();
    EXPECT_EQ(r.Out, N(maximum.Default) + QLatin1Char('\n'));

    r = Cli({QStringLiteral("peek"), QStringLiteral("ram"), QStringLiteral("0x%1").arg(version.Address, 0, 16)});
    EXPECT_EQ(r.ExitCode, 0) << r.Err.toStdString();
    EXPECT_EQ(r.Out.trimmed(), N(version.Default)) << "the software version word";
}

TEST_F(VirtualBusTest, PokeThenPeekBothMemories)
{
    StartSim();
    EXPECT_EQ(Cli({QStringLiteral("poke"), QStringLiteral("e2"), QStringLiteral("0x600"), QStringLiteral("0xBEEF")})
                  .ExitCode,
              0);
    EXPECT_EQ(Cli({QStringLiteral("poke"), QStringLiteral("ram"), QStringLiteral("1536"), QStringLiteral("65535")})
                  .ExitCode,
              0);
    EXPECT_EQ(Cli({QStringLiteral("peek"), QStringLiteral("e2"), QStringLiteral("1536")}).Out.trimmed(),
              QStringLiteral("48879"));
    EXPECT_EQ(Cli({QStringLiteral("peek"), QStringLiteral("ram"), QStringLiteral("0x0600")}).Out.trimmed(),
              QStringLiteral("65535"));
}

TEST_F(VirtualBusTest, SilentControllerTimesOutWithinOneSecond)
{
    StartSim({QStringLiteral("--silent-after"), QStringLiteral("0")});
    const CliResult r = Cli({QStringLiteral("peek"), QStringLiteral("e2"), N(maximum.Address)});
    ASSERT_TRUE(r.Finished);
    EXPECT_EQ(r.ExitCode, 1);
    EXPECT_EQ(r.Err, QStringLiteral("Operation Failed :Communication TIME OUT \n"));
    EXPECT_TRUE(r.Out.isEmpty());
    EXPECT_LT(r.ElapsedMs, 1000);
}

TEST_F(VirtualBusTest, GarbledAndLateRepliesAreFailures)
{
    StartSim({QStringLiteral("--corrupt-every"), QStringLiteral("2"), QStringLiteral("--corrupt-kind"),
              QStringLiteral("address"), QStringLiteral("--latency"), QStringLiteral("50")});
    // Replies 1 and 3 are clean, 2 names another address.
    EXPECT_EQ(Cli({QStringLiteral("peek"), QStringLiteral("e2"), N(maximum.Address)}).ExitCode, 0);
    const CliResult bad = Cli({QStringLiteral("poke"), QStringLiteral("e2"), QStringLiteral("0x700"), N(1)});
    EXPECT_EQ(bad.ExitCode, 1);
    EXPECT_EQ(bad.Err, QStringLiteral("Operation Failed :Comunication Error\n"));
    const CliResult late = Cli({QStringLiteral("peek"), QStringLiteral("e2"), QStringLiteral("0x700")});
    EXPECT_EQ(late.ExitCode, 0) << "50 ms is within the reply time-out";
    EXPECT_EQ(late.Out.trimmed(), QStringLiteral("1")) << "the garbled reply's write still took effect";
}

TEST_F(VirtualBusTest, TraceShowsRequestAndReply)
{
    StartSim();
    const CliResult r =
        Cli({QStringLiteral("--trace"), QStringLiteral("peek"), QStringLiteral("e2"), QStringLiteral("0x41")});
    EXPECT_EQ(r.ExitCode, 0);
    EXPECT_TRUE(r.Err.contains(QStringLiteral("tx 0DC [8] 02 00 00 41 00 00 FF FF"))) << r.Err.toStdString();
    EXPECT_TRUE(r.Err.contains(QStringLiteral("rx 0DD [8] 82 00 00 41"))) << r.Err.toStdString();
}

TEST_F(VirtualBusTest, RestoreIsAppliedAtThePowerCycle)
{
    StartSim({}, true);
    EXPECT_EQ(Cli({QStringLiteral("poke"), QStringLiteral("e2"), N(maximum.Address), N(maximum.Default + 7)}).ExitCode,
              0);
    const int signature[] = {82, 69, 83, 69, 84};
    for (int i = 0; i < 5; ++i)
        ASSERT_EQ(Cli({QStringLiteral("poke"), QStringLiteral("e2"), N(250 + i), N(signature[i])}).ExitCode, 0);
    EXPECT_EQ(Cli({QStringLiteral("peek"), QStringLiteral("e2"), QStringLiteral("254")}).Out.trimmed(),
              QStringLiteral("84"))
        << "pending until the power cycle";
    EXPECT_EQ(sim.Command(QStringLiteral("power-cycle")), QStringLiteral("power cycled: factory defaults restored"));
    EXPECT_EQ(Cli({QStringLiteral("peek"), QStringLiteral("e2"), N(maximum.Address)}).Out.trimmed(),
              N(maximum.Default));
    EXPECT_EQ(Cli({QStringLiteral("peek"), QStringLiteral("e2"), QStringLiteral("250")}).Out.trimmed(),
              QStringLiteral("0"));
}

TEST_F(VirtualBusTest, ExchangeTimesOfBothLinkTimings)
{
    StartSim();
    const auto measure = [&](LinkTiming timing, int count) {
        CliSettings settings;
        settings.Bus = bus;
        settings.Timing = timing;
        CliSession session(settings, [](const QString&) {});
        EXPECT_EQ(session.Open(), QString());
        std::vector<qint64> times;
        for (int i = 0; i < count; ++i) {
            int32_t value = -1;
            QElapsedTimer clock;
            clock.start();
            EXPECT_EQ(session.Link().ReadE2Word(maximum.Address, value), "");
            times.push_back(clock.nsecsElapsed() / 1000);
            EXPECT_EQ(value, maximum.Default);
        }
        std::sort(times.begin(), times.end());
        return times[times.size() / 2];
    };
    const qint64 fastUs = measure(LinkTiming::Fast, 25);
    const qint64 legacyUs = measure(LinkTiming::Legacy, 3);
    std::printf("median peek exchange over virtualcan: fast %.2f ms, legacy %.2f ms\n", fastUs / 1000.0,
                legacyUs / 1000.0);
    RecordProperty("fast_exchange_us", static_cast<int>(fastUs));
    EXPECT_LT(fastUs, 100000) << "a fast exchange ends with its reply";
    EXPECT_GE(legacyUs, 200000) << "a legacy exchange lasts at least 200 ms";

    std::vector<qint64> runs;
    for (int i = 0; i < 5; ++i)
        runs.push_back(Cli({QStringLiteral("peek"), QStringLiteral("e2"), N(maximum.Address)}).ElapsedMs);
    std::sort(runs.begin(), runs.end());
    std::printf("median whole qvs-cli peek run: %lld ms\n", static_cast<long long>(runs[runs.size() / 2]));
}

TEST(SimulatorInProcess, QvsCliOnBusSim)
{
    EnsureApplication();
    const Word maximum = CatalogueWord(Key::QVS_I0_MAX), version = CatalogueWord(Key::QVS_PROG_VERS);
    ASSERT_GE(maximum.Address, 0);
    CliResult r = RunCliProcess({QStringLiteral("--bus"), QStringLiteral("sim"), QStringLiteral("peek"),
                                 QStringLiteral("e2"), N(maximum.Address)});
    EXPECT_EQ(r.ExitCode, 0) << r.Err.toStdString();
    EXPECT_EQ(r.Out.trimmed(), N(maximum.Default));
    r = RunCliProcess({QStringLiteral("--simulate"), QStringLiteral("--trace"), QStringLiteral("poke"),
                       QStringLiteral("ram"), QStringLiteral("0x10"), QStringLiteral("0xABCD")});
    EXPECT_EQ(r.ExitCode, 0) << r.Err.toStdString();
    EXPECT_TRUE(r.Err.contains(QStringLiteral("tx 0DC [8] 03 00 00 10 AB CD FF FF"))) << r.Err.toStdString();
    EXPECT_TRUE(r.Err.contains(QStringLiteral("rx 0DD [8] 83 00 00 10"))) << r.Err.toStdString();

    // The same in this process, through the command table.
    QString out, err;
    QTextStream o(&out), e(&err);
    EXPECT_EQ(RunCli({QStringLiteral("qvs-cli"), QStringLiteral("--bus"), QStringLiteral("sim"), QStringLiteral("--home"),
                      QStringLiteral(QVS_BIN_DIR), QStringLiteral("peek"), QStringLiteral("ram"), N(version.Address)},
                     o, e),
              0)
        << err.toStdString();
    EXPECT_EQ(out.trimmed(), N(version.Default));
}

TEST(SimulatorInProcess, MissingCatalogueIsAFailure)
{
    EnsureApplication();
    QString out, err;
    QTextStream o(&out), e(&err);
    EXPECT_EQ(RunCli({QStringLiteral("qvs-cli"), QStringLiteral("--bus"), QStringLiteral("sim"), QStringLiteral("--home"),
                      QStringLiteral("/nonexistent"), QStringLiteral("peek"), QStringLiteral("e2"), QStringLiteral("1")},
                     o, e),
              1);
    EXPECT_TRUE(err.contains(QStringLiteral("'Ramlist.ini' file NOT FOUND or CORRUPTED"))) << err.toStdString();
}

TEST(CliUsage, BadCommandLinesExitWithTwoAndTouchNoBus)
{
    EnsureApplication();
    const QList<QStringList> bad{
        {},
        {QStringLiteral("frobnicate")},
        {QStringLiteral("peek"), QStringLiteral("e2")},
        {QStringLiteral("peek"), QStringLiteral("flash"), QStringLiteral("1")},
        {QStringLiteral("peek"), QStringLiteral("e2"), QStringLiteral("65536")},
        {QStringLiteral("peek"), QStringLiteral("e2"), QStringLiteral("0x10000")},
        {QStringLiteral("peek"), QStringLiteral("ram"), QStringLiteral("12abc")},
        {QStringLiteral("poke"), QStringLiteral("e2"), QStringLiteral("1")},
        {QStringLiteral("poke"), QStringLiteral("e2"), QStringLiteral("1"), QStringLiteral("70000")},
        {QStringLiteral("poke"), QStringLiteral("e2"), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")},
        {QStringLiteral("--link-timing"), QStringLiteral("slow"), QStringLiteral("peek"), QStringLiteral("e2"),
         QStringLiteral("1")},
        {QStringLiteral("--bus"), QStringLiteral("nocolon"), QStringLiteral("peek"), QStringLiteral("e2"),
         QStringLiteral("1")},
        {QStringLiteral("--nonsense")},
    };
    for (const QStringList& args : bad) {
        QString out, err;
        QTextStream o(&out), e(&err);
        EXPECT_EQ(RunCli(QStringList{QStringLiteral("qvs-cli")} + args, o, e), 2) << args.join(' ').toStdString();
        EXPECT_TRUE(err.startsWith(QStringLiteral("qvs-cli: "))) << err.toStdString();
    }
    const CliResult r = RunCliProcess({QStringLiteral("poke"), QStringLiteral("ram"), QStringLiteral("-1"),
                                       QStringLiteral("0")});
    EXPECT_EQ(r.ExitCode, 2) << "the executable too";
    const CliResult help = RunCliProcess({QStringLiteral("--help")});
    EXPECT_EQ(help.ExitCode, 0);
    for (const char* word : {"peek", "poke", "--bus", "--home", "--link-timing", "--trace", "--simulate"})
        EXPECT_TRUE(help.Out.contains(QLatin1String(word))) << word;
}
