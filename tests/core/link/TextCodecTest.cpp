#include "core/files/TextCodec.h"

#include <gtest/gtest.h>

TEST(TextCodec, EveryByteSurvivesDecodeAndEncode)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all += char(b);
    const QString text = DecodeCp1252(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(EncodeCp1252(text), all);
    EXPECT_EQ(text[0x80], QChar(0x20AC));
    EXPECT_EQ(text[0x9F], QChar(0x0178));
    EXPECT_EQ(text[0xE9], QChar(0x00E9));
    EXPECT_EQ(text[0x81], QChar(0x0081)) << "unassigned bytes stay as C1 controls";
}

TEST(TextCodec, CharactersOutsideTheCodePageBecomeQuestionMarks)
{
    EXPECT_EQ(EncodeCp1252(QString::fromUtf8("a\u4e2db\u0080c")), QByteArray("a?b?c"));
    EXPECT_EQ(EncodeCp1252(QString::fromUtf8("\u20ac\u00b5")), QByteArray("\x80\xb5"));
}

TEST(TextCodec, SplitLinesOnCrLfAndCrLf)
{
    using V = std::vector<std::string>;
    EXPECT_EQ(SplitLines("a\r\nb\rc\nd"), (V{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitLines("a\r\n"), (V{"a"}));
    EXPECT_EQ(SplitLines("a\r\n\r\n"), (V{"a", ""}));
    EXPECT_EQ(SplitLines("\n\r"), (V{"", ""})) << "LF then CR is two line ends";
    EXPECT_EQ(SplitLines(""), V{});
    EXPECT_EQ(SplitLines(QString::fromUtf8("\u00e9")), (V{"\u00e9"})) << "lines are UTF-8";
}
