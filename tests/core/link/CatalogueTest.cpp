#include "core/link/IDData.h"
#include "core/link/StringEval.h"
#include "core/state/ShellState.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>

namespace {

const std::string Header = ";Name\tAddress\tKey\tDescription\tDefault\tDrcTypeID\tPageDomain\tMin\tMax\tUnit\tMonitorName\tToDisplay\tToRaw";

class Catalogue : public ::testing::Test {
protected:
    QTemporaryDir dir;
    IDData table;

    QString Write(const QByteArray& bytes, const QString& name = "Ramlist.ini")
    {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
        return path;
    }
    // Header plus the given lines, CR LF after each.
    std::string Load(const std::vector<std::string>& lines)
    {
        std::string text = Header + "\r\n";
        for (const auto& l : lines)
            text += l + "\r\n";
        return table.LoadCatalogue(Write(QByteArray::fromStdString(text)));
    }
    void ExpectEmptyCatalogue()
    {
        EXPECT_EQ(table.VarTableEnd, 0);
        EXPECT_EQ(table.Count(), 0);
        EXPECT_EQ(table.At(1), nullptr);
        for (size_t k = 0; k < KeyCount; ++k) {
            EXPECT_EQ(table.Record(static_cast<Key>(k)), nullptr);
            EXPECT_EQ(table.Index(static_cast<Key>(k)), 0);
        }
    }
};

const std::string Failure = IDData::LoadFailureText;

} // namespace

TEST_F(Catalogue, HeaderOnlyGivesAnEmptyTableWithoutMessage)
{
    EXPECT_EQ(Load({}), "");
    EXPECT_EQ(table.VarTableEnd, 1);
    EXPECT_EQ(table.Count(), 0);
    EXPECT_EQ(table.Record(Key::QVS_VK), nullptr);
}

TEST_F(Catalogue, MissingEmptyOrUnreadableFileFails)
{
    EXPECT_EQ(table.LoadCatalogue(dir.filePath("absent.ini")), Failure);
    ExpectEmptyCatalogue();
    EXPECT_FALSE(table.LastLoadDetail().empty());

    EXPECT_EQ(table.LoadCatalogue(Write("")), Failure) << "no header line";
    ExpectEmptyCatalogue();

    ASSERT_TRUE(QDir(dir.path()).mkdir("sub"));
    EXPECT_EQ(table.LoadCatalogue(dir.filePath("sub")), Failure) << "a folder";
    ExpectEmptyCatalogue();
}

TEST_F(Catalogue, ShortLineKeepsDefaultsAndBindsItsKey)
{
    ASSERT_EQ(Load({"Pump\t120\tQVS_VK"}), "");
    ASSERT_EQ(table.VarTableEnd, 2);
    const CVarData* r = table.Record(Key::QVS_VK);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(table.Index(Key::QVS_VK), 1);
    EXPECT_EQ(r->DataS.VarID, 1);
    EXPECT_EQ(r->DataS.Name, "Pump");
    EXPECT_EQ(r->DataS.Address, 120);
    EXPECT_EQ(r->DataS.TooltipDecription, "");
    EXPECT_EQ(r->DataS.CedValueDefault, 0);
    EXPECT_EQ(r->DataS.CedValE2Min, 0);
    EXPECT_EQ(r->DataS.CedValE2Max, 65535);
    EXPECT_EQ(r->DataS.DrcTypeID, 0);
    EXPECT_EQ(r->DataS.QVSPageDomain, 0);
    EXPECT_EQ(r->DataS.Unit, "");
    EXPECT_EQ(r->DataS.F_DownloadToDisplay, "");
    EXPECT_TRUE(r->DataS.MonitorEnable);
    EXPECT_EQ(r->DataS.CurrentDRCSystem, 2);
    EXPECT_EQ(table.Record(Key::QVS_PID_KA), nullptr) << "an unbound key has no record";
}

TEST_F(Catalogue, FullLineFillsEveryFieldAndStartsAtTheDefault)
{
    ASSERT_EQ(Load({"Valve gain\t33\tQVS_VK\tGain, in %\t51\t1\t11\t0\t255\t%\tVK\tX*100/255\tX*255/100"}), "");
    const CVarDataS& s = table.Record(Key::QVS_VK)->DataS;
    EXPECT_EQ(s.Name, "Valve gain");
    EXPECT_EQ(s.Address, 33);
    EXPECT_EQ(s.TooltipDecription, "Gain, in %");
    EXPECT_EQ(s.CedValueDefault, 51);
    EXPECT_EQ(s.DrcTypeID, 1);
    EXPECT_EQ(s.QVSPageDomain, 11);
    EXPECT_EQ(s.CedValE2Min, 0);
    EXPECT_EQ(s.CedValE2Max, 255);
    EXPECT_EQ(s.Unit, "%");
    EXPECT_EQ(s.MonitorName, "VK");
    EXPECT_EQ(s.F_DownloadToDisplay, "X*100/255");
    EXPECT_EQ(s.F_DisplayToDownload, "X*255/100");
    EXPECT_EQ(s.CedValueE2, 51);
    EXPECT_EQ(s.QvsDownloadValueE2, 51);
    EXPECT_EQ(s.QvsDisplayValueE2, 20);
}

TEST_F(Catalogue, OptionalColumnGroupsAreReadOnlyWhenTextRemains)
{
    ASSERT_EQ(Load({
                  "A\t1\t\t\t\t\t\t\t\t\tMonA\tX*2\tX/2", // empty unit, formulas present
                  "B\t2\t\t\t\t\t\t\t9",                 // stops after column 9
                  "C\t3\t\t\t\t\t\t\t9\t",               // a TAB after column 9 leaves no text
                  "D\t4\t\t\t\t\t\t\t9\tmA\tMonD",       // stops after column 11
                  "E\t5\t\t\t\t\t\t\t9\tmA\tMonE\t\tX/2",  // only column 13
              }),
              "");
    const auto& a = table.At(1)->DataS;
    EXPECT_EQ(a.Unit, "");
    EXPECT_EQ(a.MonitorName, "MonA");
    EXPECT_EQ(a.F_DownloadToDisplay, "X*2");
    EXPECT_EQ(a.F_DisplayToDownload, "X/2");
    EXPECT_EQ(table.At(2)->DataS.CedValE2Max, 9);
    EXPECT_EQ(table.At(2)->DataS.Unit, "");
    EXPECT_EQ(table.At(3)->DataS.MonitorName, "");
    EXPECT_EQ(table.At(4)->DataS.Unit, "mA");
    EXPECT_EQ(table.At(4)->DataS.MonitorName, "MonD");
    EXPECT_EQ(table.At(4)->DataS.F_DownloadToDisplay, "");
    EXPECT_EQ(table.At(5)->DataS.F_DownloadToDisplay, "");
    EXPECT_EQ(table.At(5)->DataS.F_DisplayToDownload, "X/2");
}

TEST_F(Catalogue, NumbersRoundHalfToEven)
{
    ASSERT_EQ(Load({"a\t1\t\t\t2.5\t0.5\t10.5\t-0.5\t100.5", "b\t2\t\t\t3.5\t1.5\t11.5\t1.5\t 7 "}), "");
    const auto& a = table.At(1)->DataS;
    EXPECT_EQ(a.CedValueDefault, 2);
    EXPECT_EQ(a.DrcTypeID, 0);
    EXPECT_EQ(a.QVSPageDomain, 10);
    EXPECT_EQ(a.CedValE2Min, 0);
    EXPECT_EQ(a.CedValE2Max, 100);
    const auto& b = table.At(2)->DataS;
    EXPECT_EQ(b.CedValueDefault, 4);
    EXPECT_EQ(b.DrcTypeID, 2);
    EXPECT_EQ(b.QVSPageDomain, 12);
    EXPECT_EQ(b.CedValE2Min, 2);
    EXPECT_EQ(b.CedValE2Max, 7) << "blanks around a number are allowed";
}

TEST_F(Catalogue, DuplicateKeyLaterLineWinsAndUnknownKeysAreIgnored)
{
    ASSERT_EQ(Load({"first\t1\tQVS_VK", "other\t2\tQVS_NOT_A_KEY", "lower\t3\tqvs_vk", "second\t4\tQVS_VK",
                    "spaced\t5\tQVS_VK "}),
              "");
    EXPECT_EQ(table.Index(Key::QVS_VK), 4);
    EXPECT_EQ(table.Record(Key::QVS_VK)->DataS.Name, "second");
    EXPECT_EQ(table.Count(), 5);
}

TEST_F(Catalogue, EmptyMiddleLineIsADefaultRecord)
{
    ASSERT_EQ(Load({"a\t1\tQVS_VK", "", "c\t3\tQVS_PID_KP"}), "");
    ASSERT_EQ(table.VarTableEnd, 4);
    const auto& empty = table.At(2)->DataS;
    EXPECT_EQ(empty.Name, "");
    EXPECT_EQ(empty.Address, 0);
    EXPECT_EQ(empty.CedValE2Max, 65535);
    EXPECT_EQ(empty.VarID, 2);
    EXPECT_EQ(table.Index(Key::QVS_PID_KP), 3);
}

TEST_F(Catalogue, AtMost250Lines)
{
    std::vector<std::string> lines;
    for (int i = 1; i <= 250; ++i)
        lines.push_back("p" + std::to_string(i) + "\t" + std::to_string(i + 300));
    lines[249] += "\tQVS_VK";
    ASSERT_EQ(Load(lines), "");
    EXPECT_EQ(table.VarTableEnd, 251);
    EXPECT_EQ(table.Index(Key::QVS_VK), 250);
    EXPECT_EQ(table.At(250)->DataS.Address, 550);
    EXPECT_EQ(table.At(251), nullptr);

    lines.push_back("p251\t551");
    EXPECT_EQ(Load(lines), Failure);
    ExpectEmptyCatalogue();
}

TEST_F(Catalogue, AddressMustFitSixteenBitsSigned)
{
    ASSERT_EQ(Load({"top\t32767"}), "");
    EXPECT_EQ(table.At(1)->DataS.Address, 32767);
    EXPECT_EQ(Load({"a\t1\tQVS_VK", "over\t32768"}), Failure);
    ExpectEmptyCatalogue();
    EXPECT_EQ(Load({"huge\t99999999999999999999"}), Failure);
}

TEST_F(Catalogue, TextInANumericColumnFails)
{
    for (const char* line : {"a\tx12", "a\t1\t\t\tabc", "a\t1\t\t\t1\tone", "a\t1\t\t\t1\t0\t1,5", "a\t1\t\t\t\t\t\t1.2.3",
                             "a\t1\t\t\t\t\t\t\t12 34", "a\t1\t\t\t5000000000", "a\t1\t\t\t1\t40000", "a\t1\t\t\t1\t0\t-40000",
                             "a\t0x10"}) {
        EXPECT_EQ(Load({"ok\t1\tQVS_VK", line}), Failure) << line;
        ExpectEmptyCatalogue();
    }
}

TEST_F(Catalogue, DefaultThatItsFormulaCannotConvertFails)
{
    EXPECT_EQ(Load({"bad\t1\tQVS_VK\t\t5\t\t\t\t\t\t\tX/0"}), Failure);
    ExpectEmptyCatalogue();
    EXPECT_EQ(Load({"big\t1\t\t\t60000\t\t\t\t\t\t\tX*X"}), Failure) << "display outside 32 bits";
}

TEST_F(Catalogue, FailedReloadForgetsThePreviousCatalogue)
{
    ASSERT_EQ(Load({"a\t1\tQVS_VK"}), "");
    ASSERT_NE(table.Record(Key::QVS_VK), nullptr);
    EXPECT_EQ(Load({"b\t2\tQVS_VK", "bad\tnot-a-number"}), Failure);
    ExpectEmptyCatalogue();

    ASSERT_EQ(Load({"x\t1\tQVS_PID_KI"}), "");
    EXPECT_EQ(table.Record(Key::QVS_VK), nullptr) << "a reload drops keys the new file does not bind";
    EXPECT_NE(table.Record(Key::QVS_PID_KI), nullptr);
}

TEST_F(Catalogue, LineEndsAndWindows1252Text)
{
    QByteArray bytes = QByteArray::fromStdString(Header);
    bytes += "\nLF\t1\n";
    bytes += "CR\t2\r";
    bytes += "Caf\xe9 \x80\t3\tQVS_VK\t\xb5" "A range\r\n";
    bytes += "last\t4"; // no final line end
    ASSERT_EQ(table.LoadCatalogue(Write(bytes)), "");
    ASSERT_EQ(table.Count(), 4);
    EXPECT_EQ(table.At(1)->DataS.Name, "LF");
    EXPECT_EQ(table.At(2)->DataS.Name, "CR");
    EXPECT_EQ(table.At(3)->DataS.Name, "Caf\u00e9 \u20ac") << "stored as UTF-8";
    EXPECT_EQ(table.At(3)->DataS.TooltipDecription, "\u00b5A range");
    EXPECT_EQ(table.At(4)->DataS.Address, 4);

    ASSERT_EQ(table.LoadCatalogue(Write(QByteArray::fromStdString(Header + "\r\na\t1\r\n"))), "");
    EXPECT_EQ(table.Count(), 1) << "a final line end does not start another record";
}

TEST_F(Catalogue, ShellOfTheTableReachesItsRecords)
{
    ShellState shell;
    IDData withShell(&shell);
    ASSERT_EQ(withShell.LoadCatalogue(Write(QByteArray::fromStdString(Header + "\r\nv\t1\tQVS_VK\r\n"))), "");
    withShell.Record(Key::QVS_VK)->QVSSetVar(5);
    EXPECT_FALSE(shell.ParamsUnchanged());
}

TEST_F(Catalogue, OversizedFileIsRefused)
{
    QByteArray bytes = QByteArray::fromStdString(Header + "\r\n");
    bytes += QByteArray(IDData::MaxFileBytes, 'a');
    EXPECT_EQ(table.LoadCatalogue(Write(bytes)), Failure);
    ExpectEmptyCatalogue();
}

TEST_F(Catalogue, ArbitraryBytesNeverCrash)
{
    std::mt19937 rng(12345);
    const char alphabet[] = "\t\t\t\r\n0123456789.-+ XQVS_K()*/|&^abcdeE\x80\xff";
    for (int round = 0; round < 200; ++round) {
        QByteArray bytes;
        const int n = int(rng() % 600);
        for (int i = 0; i < n; ++i)
            bytes += (rng() % 4 == 0) ? char(rng() % 256) : alphabet[rng() % (sizeof alphabet - 1)];
        const std::string result = table.LoadCatalogue(Write(bytes));
        if (result.empty()) {
            EXPECT_GE(table.VarTableEnd, 1);
        } else {
            EXPECT_EQ(result, Failure);
            EXPECT_EQ(table.VarTableEnd, 0);
        }
    }
}
