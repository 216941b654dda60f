// The texts qvs-cli prints: version and model as the status bar shows them,
// display numbers, tables, message line breaks.
#include "cli/CliHost.h"
#include "cli/CliText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace clitext;

TEST(CliText, VersionAsTheStatusBarShowsIt)
{
    EXPECT_EQ(VersionText(0x1234), "v012.34");
    EXPECT_EQ(VersionText(1), "v000.01");
    EXPECT_EQ(VersionText(0x1A2B3), "v1A2.B3");
    EXPECT_EQ(VersionText(0x123456), "v1234.56") << "more than five digits are all shown";
    EXPECT_EQ(VersionText(291.5), "v001.24") << "rounded half to even first: 292";
    EXPECT_EQ(VersionText(290.5), "v001.22") << "290.5 rounds to 290 (0x122)";
    for (double nothing : {0.0, -5.0, std::numeric_limits<double>::quiet_NaN(), 1e300})
        EXPECT_EQ(VersionText(nothing), "----") << nothing;
}

TEST(CliText, ModelFromSectionsAndSystemType)
{
    EXPECT_EQ(ModelText(1, 1), "DRC 100 P");
    EXPECT_EQ(ModelText(2, 0), "DRC 200 F");
    EXPECT_EQ(ModelText(4, 0), "DRC 400 F");
    EXPECT_EQ(ModelText(0, 1), "---");
    EXPECT_EQ(ModelText(5, 1), "---");
    EXPECT_EQ(ModelText(3, 2), "---");
}

TEST(CliText, DisplayNumbersAndTables)
{
    EXPECT_EQ(DisplayNumber(511 * 100.0 / 1023), "49.95");
    EXPECT_EQ(DisplayNumber(13.5), "13.5");
    EXPECT_EQ(DisplayNumber(1200), "1200");
    EXPECT_EQ(DisplayNumber(-0.001), "0");
    EXPECT_EQ(DisplayNumber(-0.25), "-0.25");

    EXPECT_EQ(Table({"Name", "Address", "Unit"}, {{"Current 1A Max", "65", "mA"}, {"DRC Model", "1", ""}}),
              "Name            Address  Unit\n"
              "Current 1A Max  65       mA\n"
              "DRC Model       1\n");

    EXPECT_EQ(CliHost::Lines("READ FAULT:\r - A\r - B\r"), "READ FAULT:\n - A\n - B");
    EXPECT_EQ(CliHost::Lines("one\r\ntwo\r\n"), "one\ntwo");
}
