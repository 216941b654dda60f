#include "controls/RsvColor.h"
#include "controls/RsvFormat.h"

#include <QApplication>
#include <QPalette>

#include <gtest/gtest.h>

namespace {
QString F(double v, const char* pattern) { return FormatNumber(v, QString::fromLatin1(pattern)); }
} // namespace

TEST(FormatNumber, MonitorFormatsRoundHalfAwayFromZero)
{
    EXPECT_EQ(F(150, "####0"), "150");
    EXPECT_EQ(F(-3, "####0"), "-3");
    EXPECT_EQ(F(2.5, "####0"), "3");
    EXPECT_EQ(F(-2.5, "####0"), "-3");
    EXPECT_EQ(F(0.4, "####0"), "0");
    EXPECT_EQ(F(123456, "####0"), "123456"); // more digits than placeholders
    EXPECT_EQ(F(1530, "###0"), "1530");
    EXPECT_EQ(F(0, "###0"), "0");
    EXPECT_EQ(F(2.25, "####0.0"), "2.3");
    EXPECT_EQ(F(24.3, "####0.0"), "24.3");
    EXPECT_EQ(F(7, "####0.0"), "7.0");
}

TEST(FormatNumber, GroupingFormat)
{
    EXPECT_EQ(F(1500, "##,##0.0"), "1,500.0");
    EXPECT_EQ(F(1234567.89, "##,##0.0"), "1,234,567.9");
    EXPECT_EQ(F(999.95, "##,##0.0"), "1,000.0");
    EXPECT_EQ(F(-32000, "##,##0.0"), "-32,000.0");
    EXPECT_EQ(F(0, "##,##0.0"), "0.0");
    EXPECT_EQ(F(0.05, "##,##0.0"), "0.1");
    EXPECT_EQ(F(-0.04, "##,##0.0"), "0.0"); // rounds to zero: no sign
}

TEST(FormatNumber, RoundsTheDecimalFormNotTheBinaryOne)
{
    // 1.005 and 2.675 are just below the tie in binary.
    EXPECT_EQ(F(1.005, "0.00"), "1.01");
    EXPECT_EQ(F(2.675, "0.00"), "2.68");
    EXPECT_EQ(F(0.1 + 0.2, "0.0000000000"), "0.3000000000");
}

TEST(FormatNumber, GeneralPlaceholderLanguage)
{
    EXPECT_EQ(F(0, "#"), "");
    EXPECT_EQ(F(5, "000"), "005");
    EXPECT_EQ(F(5, "#0#"), "05");
    EXPECT_EQ(F(1.5, "0.##"), "1.5");
    EXPECT_EQ(F(2, "0.##"), "2.");
    EXPECT_EQ(F(1.25, "0.0#"), "1.25");
    EXPECT_EQ(F(0.5, "#.00"), ".50");
    EXPECT_EQ(F(1234, "#,##0"), "1,234");
    EXPECT_EQ(F(12345, "0,"), "12");
    EXPECT_EQ(F(0.256, "0%"), "26%");
    EXPECT_EQ(F(12.5, "0.0 \\m\\A"), "12.5 mA");
    EXPECT_EQ(F(12.5, "\"U=\"0.0"), "U=12.5");
    EXPECT_EQ(F(1234, "00-00"), "12-34");
    EXPECT_EQ(F(12.5, ""), "12.5");
}

TEST(FormatNumber, Sections)
{
    const char* p = "0.0;(0.0);zero";
    EXPECT_EQ(F(1.25, p), "1.3");
    EXPECT_EQ(F(-1.25, p), "(1.3)");
    EXPECT_EQ(F(0, p), "zero");
    EXPECT_EQ(F(-4, "0;"), "-4"); // empty negative section: the first one with a sign
}

TEST(RsvColor, PlainAndSystemColours)
{
    EXPECT_EQ(RsvColorFromOle(0x0000FF), QColor(255, 0, 0));
    EXPECT_EQ(RsvColorFromOle(0xFF0000), QColor(0, 0, 255));
    EXPECT_EQ(RsvColorFromOle(0x123456), QColor(0x56, 0x34, 0x12));
    const QPalette p = QApplication::palette();
    EXPECT_EQ(RsvColorFromOle(RsvSystemColor::WindowBackground), p.color(QPalette::Base));
    EXPECT_EQ(RsvColorFromOle(RsvSystemColor::WindowText), p.color(QPalette::Text));
    EXPECT_EQ(RsvColorFromOle(RsvSystemColor::ButtonFace), p.color(QPalette::Button));
    EXPECT_EQ(RsvOleFromColor(QColor(0x56, 0x34, 0x12)), 0x123456);
}
