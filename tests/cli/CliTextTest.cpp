// The texts qvs-cli prints: display numbers, tables, message line breaks.
#include "cli/CliHost.h"
#include "cli/CliText.h"

#include <gtest/gtest.h>

using namespace clitext;

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
