// qvs-cli configuring drc-sim over a private virtual CAN bus, process to
// process: read to a file, change it, write it, compare, restore defaults.
#include "E2eSupport.h"

#include "core/link/IDData.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>

using namespace e2e;

namespace {

int AddressOf(Key k)
{
    static IDData table;
    if (table.VarTableEnd == 0)
        table.LoadCatalogue(QStringLiteral(QVS_BIN_DIR "/res/ini/Ramlist.ini"));
    const CVarData* r = table.Record(k);
    return r ? r->DataS.Address : -1;
}

// Sets the value of the parameter line with this address in a saved file.
bool SetFileValue(const QString& path, int address, int value)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    QString text = QString::fromLatin1(f.readAll());
    f.close();
    const QRegularExpression line(QStringLiteral("\\t%1\\t\\d+\\r").arg(address));
    if (!text.contains(line))
        return false;
    text.replace(line, QStringLiteral("\t%1\t%2\r").arg(address).arg(value, 5, 10, QLatin1Char('0')));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return f.write(text.toLatin1()) > 0;
}

class VirtualBusConfig : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureApplication();
        const int port = FreePort();
        ASSERT_GT(port, 0);
        bus = PrivateBus(port);
        ASSERT_TRUE(sim.Start(bus, {}, true)) << sim.Output().toStdString();
        ASSERT_TRUE(dir.isValid());
    }
    CliResult Cli(const QStringList& args) { return RunCliProcess(QStringList{QStringLiteral("--bus"), bus} + args); }

    QString bus;
    DrcSimProcess sim;
    QTemporaryDir dir;
};

} // namespace

TEST_F(VirtualBusConfig, ReadModifyWriteDiffThenResetAndPowerCycle)
{
    const int maxAddress = AddressOf(Key::QVS_I0_MAX);
    ASSERT_GE(maxAddress, 0);
    const QString file = dir.filePath(QStringLiteral("machine.txt"));

    CliResult r = Cli({QStringLiteral("read"), QStringLiteral("--out"), file});
    ASSERT_EQ(r.ExitCode, 0) << r.Err.toStdString();
    ASSERT_TRUE(SetFileValue(file, maxAddress, 1300));

    r = Cli({QStringLiteral("diff"), file});
    EXPECT_EQ(r.ExitCode, 5) << r.Err.toStdString();
    r = Cli({QStringLiteral("write"), file});
    ASSERT_EQ(r.ExitCode, 0) << r.Err.toStdString();
    r = Cli({QStringLiteral("diff"), file});
    EXPECT_EQ(r.ExitCode, 0) << r.Out.toStdString() << r.Err.toStdString();
    EXPECT_TRUE(r.Out.startsWith(QStringLiteral("No differences: 69 parameters compared"))) << r.Out.toStdString();
    EXPECT_EQ(Cli({QStringLiteral("peek"), QStringLiteral("e2"), QString::number(maxAddress)}).Out.trimmed(),
              QStringLiteral("1300"));

    r = Cli({QStringLiteral("reset")});
    EXPECT_EQ(r.ExitCode, 0) << r.Err.toStdString();
    EXPECT_EQ(r.Out, QStringLiteral("Switch OFF and then switch ON power supply!\n"));
    r = Cli({QStringLiteral("info")});
    EXPECT_TRUE(r.Out.contains(QStringLiteral("Restore pending: yes"))) << r.Out.toStdString();
    r = Cli({QStringLiteral("write"), file});
    EXPECT_EQ(r.ExitCode, 4) << "a write before the power cycle is refused";

    EXPECT_EQ(sim.Command(QStringLiteral("power-cycle")), QStringLiteral("power cycled: factory defaults restored"));
    r = Cli({QStringLiteral("diff"), file});
    EXPECT_EQ(r.ExitCode, 5);
    EXPECT_TRUE(r.Out.contains(QRegularExpression(QStringLiteral("Current 1A Max\\s+65\\s+1300\\s+1200\\n"))))
        << r.Out.toStdString();

    r = Cli({QStringLiteral("--json"), QStringLiteral("read")});
    ASSERT_EQ(r.ExitCode, 0) << r.Err.toStdString();
    QJsonParseError error{};
    const QJsonObject o = QJsonDocument::fromJson(r.Out.toUtf8(), &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << r.Out.toStdString();
    EXPECT_FALSE(o[QStringLiteral("restorePending")].toBool());
    bool found = false;
    for (const QJsonValue& p : o[QStringLiteral("parameters")].toArray())
        if (p.toObject()[QStringLiteral("address")].toInt() == maxAddress) {
            found = true;
            EXPECT_EQ(p.toObject()[QStringLiteral("raw")].toInt(), 1200) << "the default is back";
        }
    EXPECT_TRUE(found);
}

TEST_F(VirtualBusConfig, InfoAndMonitorAsJson)
{
    CliResult r = Cli({QStringLiteral("--json"), QStringLiteral("info")});
    ASSERT_EQ(r.ExitCode, 0) << r.Err.toStdString();
    const QJsonObject info = QJsonDocument::fromJson(r.Out.toUtf8()).object();
    EXPECT_EQ(info[QStringLiteral("version")].toString(), QStringLiteral("v001.23"));
    EXPECT_EQ(info[QStringLiteral("model")].toString(), QStringLiteral("DRC 200 P"));

    r = Cli({QStringLiteral("--json"), QStringLiteral("monitor"), QStringLiteral("--count"), QStringLiteral("2"),
             QStringLiteral("--interval"), QStringLiteral("50")});
    ASSERT_EQ(r.ExitCode, 0) << r.Err.toStdString();
    const QStringList lines = r.Out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    for (const QString& l : lines)
        EXPECT_EQ(QJsonDocument::fromJson(l.toUtf8()).object()[QStringLiteral("values")].toArray().size(), 8);
}

// The time of a whole qvs-cli read and the words it reads; legacy timing
// (200 ms per exchange, about 15 s) only when QVS_MEASURE_LEGACY is set.
TEST_F(VirtualBusConfig, ReadTimes)
{
    const auto measure = [&](const QString& busName, const char* timing) {
        const QStringList base{QStringLiteral("--bus"), busName, QStringLiteral("--link-timing"),
                               QLatin1String(timing)};
        const CliResult traced =
            RunCliProcess(base + QStringList{QStringLiteral("--trace"), QStringLiteral("read")}, 60000);
        EXPECT_EQ(traced.ExitCode, 0) << traced.Err.toStdString();
        const QStringList frames = traced.Err.split(QLatin1Char('\n')).filter(QRegularExpression("^tx "));
        const int words = static_cast<int>(frames.size());
        const CliResult timed = RunCliProcess(base + QStringList{QStringLiteral("read")}, 60000);
        EXPECT_EQ(timed.ExitCode, 0) << timed.Err.toStdString();
        std::printf("qvs-cli read, %s, %s timing: %lld ms, %d words\n",
                    busName == QLatin1String("sim") ? "sim" : "virtualcan", timing,
                    static_cast<long long>(timed.ElapsedMs), words);
        EXPECT_EQ(words, 75) << "5 restore words, the version, 69 parameters";
        return timed.ElapsedMs;
    };
    EXPECT_LT(measure(bus, "fast"), 5000);
    EXPECT_LT(measure(QStringLiteral("sim"), "fast"), 5000);
    if (qEnvironmentVariableIsSet("QVS_MEASURE_LEGACY")) {
        EXPECT_GE(measure(bus, "legacy"), 75 * 200);
        EXPECT_GE(measure(QStringLiteral("sim"), "legacy"), 75 * 200);
    }
}
