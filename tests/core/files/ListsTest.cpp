#include "core/files/Lists.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

std::string Fields(std::initializer_list<const char*> fields)
{
    std::string line;
    bool first = true;
    for (const char* f : fields) {
        if (!first)
            line += '\t';
        line += f;
        first = false;
    }
    return line;
}

TEST(CJoyData, ConfigurationPairsFollowTheSectionCount)
{
    CJoyData two;
    two.Load(Fields({"JOY2AX", "J2", "a", "b", "c", "d", "1", "2", "20", "10", "11", "12", "13"}));
    EXPECT_EQ(two.JoyFileName, "JOY2AX");
    EXPECT_EQ(two.id, 20);
    EXPECT_EQ(two.JConfig_1, 12);
    EXPECT_EQ(two.RConfig_1, 13);
    EXPECT_EQ(two.JConfig_2, 0);

    CJoyData four;
    EXPECT_THROW(four.Load(Fields({"JOY2AX", "J2", "a", "b", "c", "d", "1", "4", "20", "10", "11", "12", "13"})),
                 ListError);

    CJoyData one;
    one.Load(Fields({"J", "", "", "", "", "", "0", "1", "3", "10", "11", "12", "13", "14", "15", "16", "17"}));
    EXPECT_EQ(one.Code, "");
    EXPECT_EQ(one.RConfig_0, 11);
    EXPECT_EQ(one.JConfig_1, 0);
}

TEST(CJoyData, BadNumbersAreErrors)
{
    CJoyData j;
    EXPECT_THROW(j.Load(Fields({"J", "", "", "", "", "", "x", "1", "3", "10", "11"})), ListError);
    EXPECT_THROW(j.Load(Fields({"J", "", "", "", "", "", "0", "1", "40000", "10", "11"})), ListError);
    EXPECT_THROW(j.Load(Fields({"J", "", "", "", "", ""})), ListError);
    j.Load(Fields({"J", "", "", "", "", "", " 2.5 ", "1", "3", "10", "11"}));
    EXPECT_EQ(j.DrcTypeID, 2);
}

TEST(CDiagnosticData, MissingTrailingFieldsStayEmpty)
{
    const DiagnosticLine d = ParseDiagnosticLine(Fields({"3", "2", "600", "Coil open"}));
    EXPECT_EQ(d.group, 3);
    EXPECT_EQ(d.bit, 2);
    EXPECT_EQ(d.entry.address, 600);
    EXPECT_EQ(d.entry.PageDescr, "Coil open");
    EXPECT_EQ(d.entry.VarKey, "");
    EXPECT_EQ(d.entry.Message0, "");

    const DiagnosticLine full =
        ParseDiagnosticLine(Fields({"0", "1", "600", "Descr", "KEY", "m0", "m1", "m2"}));
    EXPECT_EQ(full.entry.VarKey, "KEY");
    EXPECT_EQ(full.entry.Message2, "m2");
    EXPECT_THROW(ParseDiagnosticLine(Fields({"0", "", "600", "Descr"})), ListError);
}

TEST(Palette, WritesAndReadsEightNumbers)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("colour.ini");
    PaletteColours c;
    c.Back = {16711680, 255, -2147483643, 0};
    c.Text = {0, 1, 2, 3};
    WritePaletteFile(path, c);
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    EXPECT_EQ(f.readAll(), QByteArray(" 16711680\r\n 255\r\n-2147483643\r\n 0\r\n 0\r\n 1\r\n 2\r\n 3\r\n"));
    const PaletteColours back = ReadPaletteFile(path);
    EXPECT_EQ(back.Back, c.Back);
    EXPECT_EQ(back.Text, c.Text);
}

TEST(Palette, ShortOrNonNumericFilesAreErrors)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("colour.ini");
    const auto write = [&](const QByteArray& bytes) {
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
    };
    write(" 1\r\n 2\r\n");
    EXPECT_THROW(ReadPaletteFile(path), ListError);
    write(" 1\r\n 2\r\n 3\r\n red\r\n 5\r\n 6\r\n 7\r\n 8\r\n");
    EXPECT_THROW(ReadPaletteFile(path), ListError);
    EXPECT_THROW(ReadPaletteFile(dir.filePath("none.ini")), ListError);
}

} // namespace
