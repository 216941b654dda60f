#include "core/config/ConfigModel.h"
#include "core/files/Lists.h"
#include "controls/CVarDataS.h"

#include <gtest/gtest.h>

using namespace config;

TEST(PinCodes, IndexFromCodeRoundsHalfToEven)
{
    EXPECT_EQ(PinIndexFromCode(0), 0);
    EXPECT_EQ(PinIndexFromCode(1), 1);
    EXPECT_EQ(PinIndexFromCode(2), 2);
    EXPECT_EQ(PinIndexFromCode(4), 3);
    EXPECT_EQ(PinIndexFromCode(8), 4);
    EXPECT_EQ(PinIndexFromCode(3), 3);
    EXPECT_EQ(PinIndexFromCode(12), 5);
    EXPECT_EQ(PinCodeFromIndex(0), 0);
    EXPECT_EQ(PinCodeFromIndex(1), 1);
    EXPECT_EQ(PinCodeFromIndex(4), 8);
}

TEST(FloatSlowWord, SelectionsSetTheirBits)
{
    EXPECT_EQ(WithFloatPin(0, 1, 4), 0x0800);
    EXPECT_EQ(WithFloatPin(0x0FFF, 0, 0), 0x0F0F);
    EXPECT_EQ(WithFloatPin(0, 0, 1), 0x0010);
    EXPECT_EQ(WithSlowPin(0, 1), 0x1000);
    EXPECT_EQ(WithSlowPin(0xFFFF, 0), 0x0FFF);
    EXPECT_EQ(WithFloatSide(0, 1, 2), 0x0008);
    EXPECT_EQ(WithFloatSide(0x000F, 0, 0), 0x000C);
    EXPECT_EQ(WithFloatSide(0, 0, 1), 0x0001);
    EXPECT_EQ(Nibble(0x4321, SlowPinMask), 4);
    EXPECT_EQ(Nibble(0x4321, FloatPinMask[1]), 3);
    EXPECT_EQ(Nibble(0x4321, FloatSideMask[1]), 0);
}

TEST(WriteChecks, SharedPinsAreReported)
{
    PinConfiguration c;
    c.DeadMan = 2;
    c.JoyAnalog[0] = 2;
    EXPECT_EQ(CheckDataToWrite(c), "C2.03 (AI_2) : PIN ALREADY USED\r");
    c.DeadMan = 0;
    EXPECT_EQ(CheckDataToWrite(c), "");
}

TEST(WriteChecks, FloatFunctionsMayShareAPinWithEachOtherOnly)
{
    PinConfiguration c;
    c.FloatSlow = 0x0440; // both float functions on pin code 4
    EXPECT_EQ(CheckDataToWrite(c), "");
    EXPECT_EQ(CheckFloatPinToWrite(c), "C2.04 (AI_3) : SAME PIN USED FOR MORE FLOAT FUNCTIONS \r");

    c.FloatSlow = 0x1110; // and the slow input too: three users
    EXPECT_EQ(CheckDataToWrite(c), "C2.02 (AI_1) : PIN ALREADY USED\r");

    c.FloatSlow = 0x0440;
    c.DeadMan = 1;
    c.JoyAnalog[1] = 1; // another shared pin keeps the whole text
    EXPECT_EQ(CheckDataToWrite(c), "C2.02 (AI_1) : PIN ALREADY USED\rC2.04 (AI_3) : PIN ALREADY USED\r");
}

TEST(WriteChecks, MissingPinsOfUsedInputs)
{
    PinConfiguration c;
    c.JoyConfig[1] = InputAnalog;
    c.JoyId[1] = NoJoystick;
    EXPECT_EQ(CheckDataToWrite(c), "");
    c.JoyId[1] = 3;
    EXPECT_EQ(CheckDataToWrite(c), "JOY_2 : PIN NOT CONNECTED\r");
    c.JoyConfig[1] = 1; // analog with 5 V reference does not count
    EXPECT_EQ(CheckDataToWrite(c), "");

    PinConfiguration d;
    d.JoyConfig[0] = InputDigital;
    EXPECT_EQ(CheckDataToWrite(d), "JOY_1 : PIN NOT CONNECTED\r");
    d.JoyDigital[0] = 0x10;
    EXPECT_EQ(CheckDataToWrite(d), "");
}

TEST(Dither, CodeTableBothWays)
{
    EXPECT_EQ(DitherIndexFromCode(0), 8);
    EXPECT_EQ(DitherIndexFromCode(9), 0);
    EXPECT_EQ(DitherIndexFromCode(16), 7);
    EXPECT_EQ(DitherIndexFromCode(1), 9);
    EXPECT_EQ(DitherIndexFromCode(8), 16);
    EXPECT_EQ(DitherIndexFromCode(17), 8);
    EXPECT_EQ(DitherIndexFromCode(-1), 8);
    EXPECT_EQ(DitherCodeFromIndex(0), 9);
    EXPECT_EQ(DitherCodeFromIndex(16), 8);
    EXPECT_EQ(DitherCodeFromIndex(8), 0);
    for (int i = 0; i < 17; ++i)
        EXPECT_EQ(DitherIndexFromCode(DitherCodeFromIndex(i)), i);
    EXPECT_EQ(DitherFrequencyText(0), "150");
    EXPECT_EQ(DitherFrequencyText(9), "70");
}

TEST(WholeNumber, TruncatesThenRoundsUpFromAHalf)
{
    EXPECT_EQ(WholeNumber(12.5), 13);
    EXPECT_EQ(WholeNumber(12.49), 12);
    EXPECT_EQ(WholeNumber(-3.7), -3);
    EXPECT_THROW(WholeNumber(1e12), std::overflow_error);
    // The range is that of the result: the largest 32-bit value and no more.
    EXPECT_EQ(WholeNumber(2147483647.4), 2147483647);
    EXPECT_THROW(WholeNumber(2147483647.5), std::overflow_error);
    EXPECT_EQ(WholeNumber(-2147483648.9), -2147483647 - 1);
}

TEST(FindJoyID, LastMatchWinsAndUnknownGetsTheNotUsedEntry)
{
    std::vector<CJoyData> list(4);
    list[0].JoyFileName = "NOTUSED";
    list[0].id = 255;
    list[1].id = 1;
    list[2].id = 20;
    list[3].id = 20;
    EXPECT_EQ(FindJoyID(list, 20, 1), (std::array<int, 2>{3, 1}));
    EXPECT_EQ(FindJoyID(list, 99, 255), (std::array<int, 2>{0, 0}));
    list[0].JoyFileName = "OTHER";
    EXPECT_EQ(FindJoyID(list, 99, 1), (std::array<int, 2>{0, 1}));
}

TEST(PinLabel, AnalogDigitalAndUnused)
{
    EXPECT_EQ(JoyPinLabel(1, 2, 0).Caption, "C2.03 (AI_2)");
    EXPECT_EQ(JoyPinLabel(15, 0, 0).Caption, "N.C.");
    EXPECT_EQ(JoyPinLabel(15, 0, 0).ToolTip, "Not Connected");
    EXPECT_EQ(JoyPinLabel(16, 0, 0x81).Caption, "C2.02 C2.05");
    EXPECT_EQ(JoyPinLabel(16, 0, 0x81).ToolTip, "C2.02 (AI_1) C2.05 (AI_4)");
    EXPECT_EQ(JoyPinLabel(16, 0, 0x01).Caption, "C2.02 N.C.");
    EXPECT_EQ(JoyPinLabel(0, 4, 0x11).Caption, "N.C.");
    // A code that names no pin (index 5) is not shown as a pin.
    EXPECT_EQ(JoyPinLabel(1, 12, 0).Caption, "---");
    EXPECT_EQ(JoyPinLabel(16, 0, 0xC1).Caption, "C2.02 ---");
}

TEST(EntryValues, FormulasGiveWholeNumbersAndFailuresRaise)
{
    CVarDataS r;
    EXPECT_EQ(EntryDownloadValue(r, 300), 300);
    r.F_DisplayToDownload = "X/8";
    EXPECT_EQ(EntryDownloadValue(r, 100), 13); // 12.5
    EXPECT_EQ(EntryDownloadValue(r, 99), 12);  // 12.375
    r.F_DisplayToDownload = "X*100000000";
    EXPECT_THROW(EntryDownloadValue(r, 2000), std::overflow_error);

    r.CedValueE2 = 1002;
    EXPECT_EQ(RestoreValue(r, true), 1002);
    r.F_DownloadToDisplay = "X/4";
    EXPECT_EQ(RestoreValue(r, true), 250); // 250.5, half to even
    EXPECT_EQ(RestoreValue(r, false), 1002);
}
