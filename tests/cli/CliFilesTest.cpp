// qvs-cli with configuration files: save, check, write, diff, and the file
// errors, against the in-process simulated controller.
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

const QString Read = QStringLiteral("read"), Out = QStringLiteral("--out"), Force = QStringLiteral("--force");

class CliFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        const CliRun r = Cli({Read, Out, files.Path("base.txt"), QStringLiteral("--author"), QStringLiteral("Line 3"),
                           QStringLiteral("--comment"), QStringLiteral("first\\nsecond")});
        ASSERT_EQ(r.Code, ExitOk) << r.Err.toStdString();
        base = files.Read("base.txt");
        ASSERT_FALSE(base.isEmpty());
    }
    // base.txt with changed values, as name.
    QString Variant(const QString& name, const std::vector<std::pair<const char*, int>>& values)
    {
        files.Write(name, base);
        for (const auto& [key, value] : values)
            EXPECT_TRUE(files.SetValue(name, AddressOf(key), value)) << key;
        return files.Path(name);
    }

    Files files;
    QByteArray base;
};

} // namespace

TEST_F(CliFiles, ReadOutWritesTheFileFormatAndNeverOverwritesUnasked)
{
    EXPECT_TRUE(base.startsWith(";-------------------------------------------\rAuthor:\tLine 3\t\r"));
    EXPECT_TRUE(base.contains("Additional Comments:\t\r\tfirst\r\n\tsecond\r"));
    EXPECT_TRUE(base.contains("\t65\t01200\r"));
    EXPECT_TRUE(base.endsWith("\r\r\n"));

    files.Write("base.txt", "keep me");
    CliRun r = Cli({Read, Out, files.Path("base.txt")});
    EXPECT_EQ(r.Code, ExitFile);
    EXPECT_TRUE(r.Err.startsWith("Configuration NOT SAVED!\n")) << r.Err.toStdString();
    EXPECT_TRUE(r.Err.contains("File Already Exist : Overwrite ?"));
    EXPECT_EQ(files.Read("base.txt"), "keep me");
    ASSERT_FALSE(r.Sim) << "refused before the bus was opened";

    r = Cli({Read, Out, files.Path("base.txt"), Force});
    EXPECT_EQ(r.Code, ExitOk) << r.Err.toStdString();
    EXPECT_TRUE(files.Read("base.txt").contains("\t65\t01200\r"));

    r = Cli({Read, Out, files.Path("no/such/folder/x.txt")});
    EXPECT_EQ(r.Code, ExitFile);
    const QStringList err = r.Err.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(err.size(), 2) << r.Err.toStdString();
    EXPECT_EQ(err[0], "Configuration NOT SAVED!");
    EXPECT_TRUE(err[1].contains("x.txt")) << "the reason names the file";

    r = Cli({QStringLiteral("--json"), Read, Out, files.Path("j.txt")});
    EXPECT_EQ(QJsonDocument::fromJson(r.Out.toUtf8()).object()["parameters"].toInt(), 69);
}

TEST_F(CliFiles, WriteSendsTheFileAndDiffThenFindsNoDifference)
{
    const QString changed = Variant("changed.txt", {{"QVS_I0_MAX", 1300}, {"QVS_RAMP_TRISE_0", 750}});
    CliRun r = Cli({QStringLiteral("diff"), changed});
    EXPECT_EQ(r.Code, ExitDiffers) << r.Err.toStdString();
    EXPECT_TRUE(r.Out.contains(QRegularExpression("Current 1A Max\\s+65\\s+1300\\s+1200\\n"))) << r.Out.toStdString();
    EXPECT_TRUE(r.Out.contains("2 of 69 parameters differ"));

    r = Cli({QStringLiteral("write"), changed});
    ASSERT_EQ(r.Code, ExitOk) << r.Err.toStdString();
    EXPECT_TRUE(r.Out.contains("Configuration written: 65 parameters")) << r.Out.toStdString();
    ASSERT_TRUE(r.Sim);
    EXPECT_EQ(r.Sim->E2(AddressOf("QVS_I0_MAX")), 1300);
    EXPECT_EQ(r.Sim->E2(AddressOf("QVS_RAMP_TRISE_0")), 750);

    // The same values in the controller: no difference (JSON form).
    r = Cli({QStringLiteral("--json"), QStringLiteral("diff"), changed}, [](DrcController& sim) {
        sim.SetE2(AddressOf("QVS_I0_MAX"), 1300);
        sim.SetE2(AddressOf("QVS_RAMP_TRISE_0"), 750);
    });
    EXPECT_EQ(r.Code, ExitOk) << r.Err.toStdString();
    const QJsonObject o = QJsonDocument::fromJson(r.Out.toUtf8()).object();
    EXPECT_TRUE(o["equal"].toBool());
    EXPECT_EQ(o["compared"].toInt(), 69);
    EXPECT_TRUE(o["differences"].toArray().isEmpty());

    // A file of another model is written (the checks pass) with a warning.
    const QString other = Variant("other.txt", {{"QVS_SYSTEM_TYPE", 0}});
    r = Cli({QStringLiteral("write"), other});
    EXPECT_EQ(r.Code, ExitOk) << r.Err.toStdString();
    EXPECT_TRUE(r.Err.contains("qvs-cli: warning: the file is for a DRC 200 F, the controller is a DRC 200 P"))
        << r.Err.toStdString();
    EXPECT_EQ(r.Sim->E2(AddressOf("QVS_SYSTEM_TYPE")), 1) << "the system type is not written";
}

TEST_F(CliFiles, PinConflictBlocksUnlessForcedAndAWarningDoesNot)
{
    // Input 2 on the pin of input 1.
    const QString conflict = Variant("conflict.txt", {{"QVS_JOY1_AN_INPUT", 1}, {"QVS_I0_MAX", 1500}});
    CliRun r = Cli({QStringLiteral("check"), conflict});
    EXPECT_EQ(r.Code, ExitBlocked);
    EXPECT_TRUE(r.Out.contains("CONFIGURATION ERROR: C2.02 (AI_1) : PIN ALREADY USED\n")) << r.Out.toStdString();
    EXPECT_FALSE(r.Sim) << "check needs no controller";

    r = Cli({QStringLiteral("write"), conflict});
    EXPECT_EQ(r.Code, ExitBlocked);
    EXPECT_TRUE(r.Err.contains("CONFIGURATION ERROR:\nC2.02 (AI_1) : PIN ALREADY USED")) << r.Err.toStdString();
    ASSERT_TRUE(r.Sim);
    EXPECT_EQ(r.Sim->E2(AddressOf("QVS_I0_MAX")), 1200) << "nothing written";

    r = Cli({QStringLiteral("write"), conflict, Force});
    EXPECT_EQ(r.Code, ExitOk) << r.Err.toStdString();
    EXPECT_TRUE(r.Err.contains("CONTINUE ANYWAY ? yes (--force)")) << r.Err.toStdString();
    EXPECT_EQ(r.Sim->E2(AddressOf("QVS_I0_MAX")), 1500);
    EXPECT_EQ(r.Sim->E2(AddressOf("QVS_JOY1_AN_INPUT")), 1);

    // Both float functions on pin C2.05: a warning. Plus a line the
    // catalogue does not know (a warning) and a value above its limit, which
    // is never sent unless forced.
    const QString warned = Variant("warned.txt", {{"QVS_FLOAT_SLOW_CONFIG", 0x0880}, {"QVS_I0_MAX", 2500}});
    files.Write("warned.txt", files.Read("warned.txt").replace("Value\r", "Value\rGhost\t999\t00001\r"));
    r = Cli({QStringLiteral("check"), warned});
    EXPECT_EQ(r.Code, ExitBlocked);
    EXPECT_TRUE(r.Out.contains("CONFIGURATION WARNING: C2.05 (AI_4) : SAME PIN USED FOR MORE FLOAT FUNCTIONS"));
    EXPECT_TRUE(r.Out.contains("warning: address 999: Variable Not Found"));
    EXPECT_TRUE(r.Out.contains("CONFIGURATION ERROR: Current 1A Max : VALUE 2500 OUTSIDE 200..2000")) << r.Out.toStdString();
    EXPECT_TRUE(r.Out.contains("1 error, 2 warnings")) << r.Out.toStdString();

    r = Cli({QStringLiteral("write"), warned});
    EXPECT_EQ(r.Code, ExitBlocked) << r.Err.toStdString();
    EXPECT_TRUE(r.Err.contains("Current 1A Max : VALUE 2500 OUTSIDE 200..2000")) << r.Err.toStdString();
    EXPECT_EQ(r.Sim->E2(AddressOf("QVS_I0_MAX")), 1200) << "nothing written";
    EXPECT_EQ(r.Sim->E2(AddressOf("QVS_FLOAT_SLOW_CONFIG")), 0);

    r = Cli({QStringLiteral("--json"), QStringLiteral("write"), warned, Force});
    EXPECT_EQ(r.Code, ExitOk) << r.Err.toStdString();
    EXPECT_TRUE(r.Err.contains("SAME PIN USED FOR MORE FLOAT FUNCTIONS"));
    EXPECT_TRUE(r.Err.contains("qvs-cli: warning: address 999: Variable Not Found"));
    const QJsonObject o = QJsonDocument::fromJson(r.Out.toUtf8()).object();
    EXPECT_EQ(o["written"].toInt(), 65);
    EXPECT_EQ(o["unknownAddresses"].toArray().first().toInt(), 999);
    EXPECT_EQ(o["outOfRange"].toArray().first().toObject()["max"].toInt(), 2000);
    EXPECT_EQ(r.Sim->E2(AddressOf("QVS_FLOAT_SLOW_CONFIG")), 0x0880);
    EXPECT_EQ(r.Sim->E2(AddressOf("QVS_I0_MAX")), 2500);
}

TEST_F(CliFiles, PendingRestoreRefusesTheWriteUnlessForced)
{
    const QString changed = Variant("changed.txt", {{"QVS_I0_MAX", 1300}});
    const auto pending = [](DrcController& sim) {
        for (int k = 0; k < 5; ++k)
            sim.SetE2(E2Image::ResetAddress + k, E2Image::ResetSignature[k]);
    };
    CliRun r = Cli({QStringLiteral("write"), changed}, pending);
    EXPECT_EQ(r.Code, ExitBlocked);
    EXPECT_TRUE(r.Err.contains("Missing POWER RESET After A 'RESET' Command : Continue Anyway? no"))
        << r.Err.toStdString();
    EXPECT_EQ(r.Sim->E2(AddressOf("QVS_I0_MAX")), 1200);

    r = Cli({QStringLiteral("write"), changed, Force}, pending);
    EXPECT_EQ(r.Code, ExitOk) << r.Err.toStdString();
    EXPECT_EQ(r.Sim->E2(AddressOf("QVS_I0_MAX")), 1300);
}

TEST_F(CliFiles, FileErrorsExitThreeWithTheTextAndTheReason)
{
    files.Write("empty.txt", "");
    files.Write("noheader.txt", ";-------------------------------------------\rAuthor:\t\t\r"
                                ";-------------------------------------------\r");
    files.Write("huge.txt", QByteArray(base).replace("\t65\t01200\r", "\t65\t99999999999\r"));
    files.Write("prose.txt", "This is not a configuration file.\nIt has no separator.\n");
    const struct {
        QString File;
        const char* Reason;
    } cases[] = {
        {files.Path("missing.txt"), "No such file"},
        {files.Path("empty.txt"), "empty"},
        {files.Path("noheader.txt"), "no parameter header"},
        {files.Path("huge.txt"), "32-bit"},
        {files.Path("prose.txt"), "no line of the file sets a parameter"},
        {files.Path(""), "not a regular file"},
    };
    for (const auto& c : cases) {
        for (const char* command : {"check", "write", "diff"}) {
            const CliRun r = Cli({QLatin1String(command), c.File});
            EXPECT_EQ(r.Code, ExitFile) << command << " " << c.File.toStdString() << "\n" << r.Err.toStdString();
            const QStringList err = r.Err.split('\n', Qt::SkipEmptyParts);
            ASSERT_EQ(err.size(), 2) << r.Err.toStdString();
            EXPECT_EQ(err[0], "Error Loading File!");
            EXPECT_TRUE(err[1].contains(QLatin1String(c.Reason))) << err[1].toStdString();
            EXPECT_TRUE(r.Out.isEmpty());
            if (r.Sim) {
                EXPECT_EQ(r.Sim->RequestCount(), 0) << "a bad file is found before the controller is asked";
            }
        }
    }
}
