#include "core/link/CVarData.h"
#include "core/link/StringEval.h"
#include "core/state/ShellState.h"

#include <gtest/gtest.h>

namespace {

CVarData Record(const std::string& toDisplay, const std::string& toRaw = "")
{
    CVarData r;
    r.DataS.F_DownloadToDisplay = toDisplay;
    r.DataS.F_DisplayToDownload = toRaw;
    return r;
}

} // namespace

TEST(CVarDataS, FreshRecordHasFullRangeLimits)
{
    const CVarDataS s;
    EXPECT_EQ(s.CedValE2Min, 0);
    EXPECT_EQ(s.CedValE2Max, 65535);
    EXPECT_EQ(s.CedValueE2, 0);
    EXPECT_FALSE(s.MonitorEnable);
}

TEST(CVarData, E2DisplayRoundsHalfToEven)
{
    CVarData r = Record("X/10");
    r.ReadE2FromCED(1000);
    EXPECT_EQ(r.DataS.QvsDisplayValueE2, 100);
    EXPECT_EQ(r.DataS.CedValueE2, 1000);
    EXPECT_EQ(r.DataS.QvsDownloadValueE2, 1000);

    r.DataS.F_DownloadToDisplay = "X/3";
    r.ReadE2FromCED(1000);
    EXPECT_EQ(r.DataS.QvsDisplayValueE2, 333);

    r.DataS.F_DownloadToDisplay = "X/4";
    r.ReadE2FromCED(1002);
    EXPECT_EQ(r.DataS.QvsDisplayValueE2, 250) << "250.5";
    r.ReadE2FromCED(1006);
    EXPECT_EQ(r.DataS.QvsDisplayValueE2, 252) << "251.5";

    r.DataS.F_DownloadToDisplay = "";
    r.ReadE2FromCED(65535);
    EXPECT_EQ(r.DataS.QvsDisplayValueE2, 65535) << "empty formula is the identity";
}

TEST(CVarData, LoadFromFileKeepsTheControllerValue)
{
    CVarData r = Record("X*2");
    r.ReadE2FromCED(7);
    r.LoadFromFile(40);
    EXPECT_EQ(r.DataS.CedValueE2, 7);
    EXPECT_EQ(r.DataS.QvsDownloadValueE2, 40);
    EXPECT_EQ(r.DataS.QvsDisplayValueE2, 80);
    r.WriteE2inCED();
    EXPECT_EQ(r.DataS.CedValueE2, 40);
}

TEST(CVarData, RamDisplayPicksTheVariantOfTheSystemAndKeepsFractions)
{
    CVarData r = Record("X*2|X*3|X*4");
    r.DataS.CurrentDRCSystem = 3;
    r.ReadRAMFromCED(5);
    EXPECT_DOUBLE_EQ(r.DataS.QvsDisplayValueRAM, 20);
    EXPECT_EQ(r.DataS.CedValueRAM, 5);
    EXPECT_EQ(r.DataS.QvsDownloadValueRAM, 5);
    r.DataS.CurrentDRCSystem = 1;
    r.ReadRAMFromCED(5);
    EXPECT_DOUBLE_EQ(r.DataS.QvsDisplayValueRAM, 10);
    r.DataS.CurrentDRCSystem = 0;
    r.ReadRAMFromCED(5);
    EXPECT_DOUBLE_EQ(r.DataS.QvsDisplayValueRAM, 0) << "no variant: empty formula, value 0";
    r.DataS.CurrentDRCSystem = 4;
    r.ReadRAMFromCED(5);
    EXPECT_DOUBLE_EQ(r.DataS.QvsDisplayValueRAM, 0);

    // The E2 conversion never splits: "|" acts as an unknown operator.
    r.ReadE2FromCED(5);
    EXPECT_EQ(r.DataS.QvsDisplayValueE2, 0);

    CVarData plain = Record("X/4");
    plain.DataS.CurrentDRCSystem = 0;
    plain.ReadRAMFromCED(1002);
    EXPECT_DOUBLE_EQ(plain.DataS.QvsDisplayValueRAM, 250.5) << "a formula without | is used whole";
    plain.DataS.F_DownloadToDisplay = "";
    plain.ReadRAMFromCED(9);
    EXPECT_DOUBLE_EQ(plain.DataS.QvsDisplayValueRAM, 9);
    plain.DataS.QvsDownloadValueRAM = 11;
    plain.WriteRAMinCED();
    EXPECT_EQ(plain.DataS.CedValueRAM, 11);
}

TEST(CVarData, FailedDisplayConversionKeepsTheOldDisplayValue)
{
    CVarData r = Record("X/4");
    r.ReadE2FromCED(8);
    r.ReadRAMFromCED(8);
    ASSERT_EQ(r.DataS.QvsDisplayValueE2, 2);

    r.DataS.F_DownloadToDisplay = "X*-1";
    EXPECT_THROW(r.ReadE2FromCED(12), FormulaError);
    EXPECT_EQ(r.DataS.CedValueE2, 12) << "assigned before the conversion";
    EXPECT_EQ(r.DataS.QvsDownloadValueE2, 12);
    EXPECT_EQ(r.DataS.QvsDisplayValueE2, 2);

    EXPECT_THROW(r.ReadRAMFromCED(12), FormulaError);
    EXPECT_EQ(r.DataS.CedValueRAM, 12);
    EXPECT_EQ(r.DataS.QvsDownloadValueRAM, 12);
    EXPECT_DOUBLE_EQ(r.DataS.QvsDisplayValueRAM, 2);

    EXPECT_THROW(r.LoadFromFile(16), FormulaError);
    EXPECT_EQ(r.DataS.QvsDownloadValueE2, 16);
    EXPECT_EQ(r.DataS.QvsDisplayValueE2, 2);
    EXPECT_EQ(r.DataS.CedValueE2, 12);
}

TEST(CVarData, E2DisplayOutside32BitsIsAnOverflow)
{
    CVarData r = Record("X*100000");
    r.ReadE2FromCED(10);
    ASSERT_EQ(r.DataS.QvsDisplayValueE2, 1000000);
    EXPECT_THROW(r.ReadE2FromCED(65535), FormulaError);
    EXPECT_EQ(r.DataS.QvsDisplayValueE2, 1000000);
    r.ReadRAMFromCED(65535);
    EXPECT_DOUBLE_EQ(r.DataS.QvsDisplayValueRAM, 6553500000.0) << "RAM display is a double";
}

TEST(CVarData, SetVarConvertsToRawAndMarksTheParametersChanged)
{
    ShellState shell;
    CVarData r(&shell);
    ASSERT_TRUE(shell.ParamsUnchanged());
    r.QVSSetVar(300);
    EXPECT_FALSE(shell.ParamsUnchanged());
    EXPECT_EQ(r.DataS.QvsDisplayValueE2, 300);
    EXPECT_EQ(r.DataS.QvsDownloadValueE2, 300);
    EXPECT_EQ(r.DataS.CedValueE2, 0) << "nothing reaches the controller value";

    r.DataS.F_DisplayToDownload = "X/4";
    r.QVSSetVar(10);
    EXPECT_EQ(r.DataS.QvsDownloadValueE2, 2) << "2.5 rounds to 2";
    r.QVSSetVar(14);
    EXPECT_EQ(r.DataS.QvsDownloadValueE2, 4) << "3.5 rounds to 4";
    EXPECT_EQ(r.DataS.QvsDisplayValueE2, 14);
}

TEST(CVarData, FailedSetVarChangesNeitherValue)
{
    ShellState shell;
    CVarData r(&shell);
    r.DataS.F_DisplayToDownload = "100*X";
    r.QVSSetVar(3);
    ASSERT_EQ(r.DataS.QvsDownloadValueE2, 300);
    shell.SetParamsUnchanged(true);

    EXPECT_THROW(r.QVSSetVar(-5), FormulaError) << "100*-5";
    EXPECT_EQ(r.DataS.QvsDisplayValueE2, 3);
    EXPECT_EQ(r.DataS.QvsDownloadValueE2, 300);
    EXPECT_FALSE(shell.ParamsUnchanged()) << "the edit was attempted";

    r.DataS.F_DisplayToDownload = "X*X";
    EXPECT_THROW(r.QVSSetVar(1000000), FormulaError) << "raw value outside 32 bits";
    EXPECT_EQ(r.DataS.QvsDownloadValueE2, 300);
}
