#include "core/files/File.h"
#include "core/link/IDData.h"
#include "core/state/PageRegistry.h"
#include "core/state/ShellState.h"
#include "../../support/TestCatalogue.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class ConfigFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(LoadTestCatalogue(table,
                                    {
                                        CatalogueLine({"Sections", "100", "QVS_NUM_PROP_REG", "Number of sections", "2", "0", "11", "1", "4"}),
                                        CatalogueLine({"Ramp", "112", "", "Ramp time", "250", "0", "11", "0", "5000"}),
                                        CatalogueLine({"Ramp 2", "113", "", "Ramp, section 2", "300", "1", "11", "0", "5000"}),
                                        CatalogueLine({"Ramp 3", "114", "", "Ramp, section 3", "300", "2", "11", "0", "5000"}),
                                        CatalogueLine({"Info", "120", "", "Info only", "7", "0", "0", "0", "65535"}),
                                        CatalogueLine({"Version", "130", "QVS_PROG_VERS", "Software version", "0", "0", "10", "0", "65535"}),
                                        CatalogueLine({"Dither", "140", "QVS_DITHER_FREQ", "Dither frequency", "5", "0", "11", "0", "16"}),
                                        CatalogueLine({"Edit", "141", "QVS_DITHER_EDIT", "Dither edit", "170", "0", "10", "0", "255"}),
                                        CatalogueLine({"Current", "150", "", "Current", "400", "0", "11", "0", "1000", "mA", "", "X*2", "X/2"}),
                                    }),
                  "");
        configure.ReadKey = 10;
        configure.WriteKey = 11;
        pages.Add(&configure);
    }

    QString Save(const InfoBlock& in)
    {
        InfoBlock info = in;
        const QString path = dir.filePath("cfg.txt");
        ConfigFile::SaveConfiguration(path, table, pages, info);
        return path;
    }

    QByteArray Bytes(const QString& path)
    {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }

    ShellState shell;
    IDData table{&shell};
    PageRegistry pages;
    PageKeys configure;
    QTemporaryDir dir;
};

TEST_F(ConfigFileTest, SavedBytesFollowTheLayoutExactly)
{
    InfoBlock info{"Tech", "12/03", "B", "Works", "first line\r\nsecond line", ""};
    table.Record(Key::QVS_PROG_VERS)->DataS.QvsDisplayValueRAM = 4660.4;
    const QByteArray bytes = Bytes(Save(info));
    const QByteArray S = ";" + QByteArray(43, '-');
    const QByteArray expected = S + "\r" + "Author:\tTech\t\r" + "Date:\t12/03\t\r" + "Revision:\tB\t\r" +
                                "Company:\tWorks\t\r" + "Additional Comments:\t\r" +
                                "\tfirst line\r\n\tsecond line\r" + S + "\r" + "Variable Name\tAddress\tValue\r" +
                                "Number of sections\t100\t00002\r" + "Ramp time\t112\t00250\r" +
                                "Ramp, section 2\t113\t00300\r" + "Software version\t130\t04660\r" +
                                "Dither frequency\t140\t00005\r" + "Dither edit\t141\t00170\r" +
                                "Current\t150\t00400\r" + "\r\n";
    EXPECT_EQ(bytes, expected);
}

TEST_F(ConfigFileTest, SectionGateUsesTheDownloadValueOfTheSectionCount)
{
    table.Record(Key::QVS_NUM_PROP_REG)->DataS.QvsDownloadValueE2 = 3;
    EXPECT_TRUE(Bytes(Save({})).contains("Ramp, section 3\t114\t00300\r"));
    table.Record(Key::QVS_NUM_PROP_REG)->DataS.QvsDownloadValueE2 = 1;
    const QByteArray bytes = Bytes(Save({}));
    EXPECT_FALSE(bytes.contains("Ramp, section 2"));
    EXPECT_TRUE(bytes.contains("Ramp time"));
}

TEST_F(ConfigFileTest, NegativeAndLongValuesAreFormatted)
{
    table.At(2)->DataS.QvsDownloadValueE2 = -5;
    table.At(3)->DataS.QvsDownloadValueE2 = 123456;
    const QByteArray bytes = Bytes(Save({}));
    EXPECT_TRUE(bytes.contains("Ramp time\t112\t-00005\r"));
    EXPECT_TRUE(bytes.contains("Ramp, section 2\t113\t123456\r"));
}

TEST_F(ConfigFileTest, InfoBlockRoundTripsWithoutGrowingTheComments)
{
    InfoBlock info{"", "d", "r", "Acme, Inc.", "A\r\nB", ""};
    const QString path = Save(info);
    for (int cycle = 0; cycle < 3; ++cycle) {
        InfoBlock loaded;
        ConfigFile::LoadConfiguration(path, "cfg.txt", table, loaded);
        EXPECT_EQ(loaded.Author, "");
        EXPECT_EQ(loaded.Company, "Acme, Inc.");
        EXPECT_EQ(loaded.Comments, "A\r\nB");
        EXPECT_EQ(loaded.FileName, "cfg.txt");
        ConfigFile::SaveConfiguration(path, table, pages, loaded);
    }
    InfoBlock trailing{"a", "b", "c", "d", "X\r\n", ""};
    Save(trailing);
    InfoBlock loaded;
    ConfigFile::LoadConfiguration(path, "cfg.txt", table, loaded);
    EXPECT_EQ(loaded.Comments, "X\r\n");
}

TEST_F(ConfigFileTest, LoadAppliesValuesAsDownloadAndControllerValue)
{
    const QString path = Save({});
    // Edit the file's values: 00250 -> 12.5 (rounds to 12), current 400 -> 13.5 (14).
    QByteArray bytes = Bytes(path);
    bytes.replace("Ramp time\t112\t00250", "Ramp time\t112\t12.5");
    bytes.replace("Current\t150\t00400", "Something else\t150\t13.5");
    bytes.replace("Ramp, section 2\t113\t00300", "Ramp, section 2\t113\t-00005");
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    f.close();

    table.At(2)->DataS.CedValueE2 = 999;
    InfoBlock info;
    const LoadReport report = ConfigFile::LoadConfiguration(path, "cfg.txt", table, info);
    EXPECT_EQ(table.At(2)->DataS.QvsDownloadValueE2, 12);
    EXPECT_EQ(table.At(2)->DataS.CedValueE2, 12);
    EXPECT_EQ(table.At(3)->DataS.QvsDownloadValueE2, -5);
    // The address alone decides; the display value follows the formula.
    EXPECT_EQ(table.At(9)->DataS.QvsDownloadValueE2, 14);
    EXPECT_EQ(table.At(9)->DataS.QvsDisplayValueE2, 28);
    ASSERT_EQ(report.OutOfRange.size(), 1u);
    EXPECT_EQ(report.OutOfRange[0], 3);
}

TEST_F(ConfigFileTest, LoadReportsUnknownAddressesAndKeepsOtherValues)
{
    const QByteArray S = ";" + QByteArray(43, '-');
    const QString path = dir.filePath("in.txt");
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(S + "\n" + "Author:\tx\t\n" + S + "\n" + "Variable Name\tAddress\tValue\n" + "Nothing\t999\t5\n" +
            "----\t112\t1\n" + "\t112\t2\n" + "Ramp time\t112\t7\n" + "Ramp time\t112\t8\n");
    f.close();
    InfoBlock info;
    const LoadReport report = ConfigFile::LoadConfiguration(path, "in.txt", table, info);
    ASSERT_EQ(report.UnknownAddresses.size(), 1u);
    EXPECT_EQ(report.UnknownAddresses[0], 999);
    EXPECT_EQ(table.At(2)->DataS.QvsDownloadValueE2, 8); // the later line wins
    EXPECT_EQ(table.At(3)->DataS.QvsDownloadValueE2, 300); // no line: unchanged
    EXPECT_EQ(info.Author, "x");
}

TEST_F(ConfigFileTest, DitherFrequencyLoadsOnlyWhileEditingIsAllowed)
{
    const QByteArray S = ";" + QByteArray(43, '-');
    const QString path = dir.filePath("d.txt");
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(S + "\r" + S + "\r" + "Variable Name\tAddress\tValue\r" + "Ramp time\t112\t77\r" +
            "Dither frequency\t140\t9\r");
    f.close();
    InfoBlock info;
    table.Record(Key::QVS_DITHER_EDIT)->DataS.CedValueE2 = 85;
    ConfigFile::LoadConfiguration(path, "d.txt", table, info);
    EXPECT_EQ(table.Record(Key::QVS_DITHER_FREQ)->DataS.QvsDownloadValueE2, 5);
    table.Record(Key::QVS_DITHER_EDIT)->DataS.CedValueE2 = 170;
    ConfigFile::LoadConfiguration(path, "d.txt", table, info);
    EXPECT_EQ(table.Record(Key::QVS_DITHER_FREQ)->DataS.QvsDownloadValueE2, 9);
}

TEST_F(ConfigFileTest, DamagedFilesChangeNothing)
{
    const QByteArray S = ";" + QByteArray(43, '-');
    const auto load = [&](const QByteArray& content) {
        const QString path = dir.filePath("bad.txt");
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(content);
        f.close();
        InfoBlock info{"keep", "", "", "", "", ""};
        EXPECT_THROW(ConfigFile::LoadConfiguration(path, "bad.txt", table, info), FileError);
        EXPECT_EQ(info.Author, "keep");
    };
    load("");
    load(S + "\rAuthor:\tx\t\r" + S + "\r");
    // Text that is no configuration file, and a file of another catalogue
    // whose addresses are all unknown here: nothing to load is no success.
    load("Dear customer,\r\nplease find the settings below.\r\n");
    load(S + "\r" + S + "\rVariable Name\tAddress\tValue\rElsewhere\t4000\t00012\r");
    // An overflow on the second line must not leave the first applied.
    load(S + "\r" + S + "\rVariable Name\tAddress\tValue\rRamp time\t112\t77\rRamp, section 2\t113\t99999999999\r");
    EXPECT_EQ(table.At(2)->DataS.QvsDownloadValueE2, 250);
    InfoBlock info;
    EXPECT_THROW(ConfigFile::LoadConfiguration(dir.filePath("missing.txt"), "m", table, info), FileError);
    // Something far larger than any configuration is refused unread.
    QFile huge(dir.filePath("huge.txt"));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    ASSERT_TRUE(huge.resize(5 * 1024 * 1024));
    huge.close();
    EXPECT_THROW(ConfigFile::LoadConfiguration(huge.fileName(), "huge.txt", table, info), FileError);
}

TEST_F(ConfigFileTest, FailedSaveKeepsThePreviousFile)
{
    const QString path = Save({"first", "", "", "", "", ""});
    const QByteArray before = Bytes(path);
    InfoBlock info{"second", "", "", "", "", ""};
    EXPECT_THROW(ConfigFile::SaveConfiguration(dir.filePath("no/such/folder/x.txt"), table, pages, info),
                 FileError);
    if (QFile::exists("/dev/full")) {
        EXPECT_THROW(ConfigFile::SaveConfiguration("/dev/full", table, pages, info), FileError);
    }
    EXPECT_EQ(Bytes(path), before);
}

} // namespace
