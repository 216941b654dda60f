#include "core/link/E2Image.h"
#include "core/link/IDData.h"
#include "core/state/Host.h"
#include "core/state/PageRegistry.h"
#include "core/state/ShellState.h"
#include "../../support/FakeWordLink.h"
#include "../../support/TestCatalogue.h"

#include <gtest/gtest.h>

namespace {

class RecordingHost : public NullHost {
public:
    void ShowProgress() override { progress.push_back(shell->ProgressPercent()); }
    void ShowMessage(const QString& text, MessageIcon, const QString&) override { messages << text; }
    void RefreshActivePage() override { ++refreshes; }
    ShellState* shell = nullptr;
    std::vector<int> progress;
    QStringList messages;
    int refreshes = 0;
};

class E2ImageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        host.shell = &shell;
        ASSERT_EQ(LoadTestCatalogue(table,
                                    {
                                        CatalogueLine({"Sections", "100", "QVS_NUM_PROP_REG", "", "2", "0", "11", "1", "4"}),
                                        CatalogueLine({"Ramp A", "110", "", "", "250", "0", "11", "0", "5000"}),
                                        CatalogueLine({"Ramp B", "111", "", "", "250", "1", "11", "0", "5000"}),
                                        CatalogueLine({"Ramp C", "112", "", "", "250", "2", "11", "0", "5000"}),
                                        CatalogueLine({"Model", "113", "", "", "3", "0", "10", "0", "65535"}),
                                        CatalogueLine({"Version", "120", "QVS_PROG_VERS", "", "0", "0", "10", "0", "65535"}),
                                        CatalogueLine({"Dither", "121", "QVS_DITHER_FREQ", "", "5", "0", "11", "0", "16"}),
                                        CatalogueLine({"Edit", "122", "QVS_DITHER_EDIT", "", "170", "0", "10", "0", "255"}),
                                        CatalogueLine({"Author", "130", "", "", "0", "0", "10001", "0", "65535"}),
                                        CatalogueLine({"Live", "140", "QVS_VBB_400", "", "0", "0", "0", "0", "65535"}),
                                    }),
                  "");
        configure.ReadKey = 10;
        configure.WriteKey = 11;
        info.ReadKey = 10000;
        info.WriteKey = 10001;
        pages.Add(&configure);
        pages.Add(&monitor);
        pages.Add(&info);
        image.CountPageParameters();
    }

    ShellState shell;
    IDData table{&shell};
    PageRegistry pages;
    PageKeys configure, monitor, info;
    FakeWordLink link;
    RecordingHost host;
    E2Image image{table, link, shell, pages, host};
};

TEST_F(E2ImageTest, PageCountsAndMembership)
{
    EXPECT_EQ(configure.PageVarNum, 8);
    EXPECT_EQ(info.PageVarNum, 1);
    EXPECT_EQ(monitor.PageVarNum, 0);
    EXPECT_EQ(image.AllPagesReadKey(), 10 | 10000);
    EXPECT_TRUE(E2Image::TakesPartInRead(10, 11));
    EXPECT_FALSE(E2Image::TakesPartInRead(10, 0));
    EXPECT_TRUE(E2Image::TakesPartInWrite(11, 11));
    EXPECT_FALSE(E2Image::TakesPartInWrite(11, 10));  // read only
    EXPECT_FALSE(E2Image::TakesPartInWrite(11, 15));  // not all bits of the domain in the mask
}

TEST_F(E2ImageTest, MaskZeroSendsNothing)
{
    EXPECT_EQ(image.ReadParameters(0), "");
    EXPECT_EQ(image.WriteParameters(0), "");
    EXPECT_EQ(link.requests, 0);
}

TEST_F(E2ImageTest, ReadGatesSectionsAndReadsVersionFromRam)
{
    link.e2 = {{100, 2}, {110, 11}, {111, 22}, {112, 33}, {113, 4}, {121, 7}};
    link.ram = {{120, 0x1234}, {122, 85}};
    EXPECT_EQ(image.ReadParameters(10), "");
    EXPECT_EQ(table.At(2)->DataS.CedValueE2, 11);
    EXPECT_EQ(table.At(3)->DataS.CedValueE2, 22);
    EXPECT_EQ(table.At(4)->DataS.CedValueE2, 250); // section 3 does not exist: untouched
    EXPECT_EQ(table.Record(Key::QVS_PROG_VERS)->DataS.QvsDisplayValueRAM, 0x1234);
    EXPECT_EQ(table.Record(Key::QVS_DITHER_EDIT)->DataS.CedValueE2, 85);
    EXPECT_EQ(link.requests, 7);
    // Every page record counts for progress, gated or not; the bar ends at 100.
    ASSERT_EQ(host.progress.size(), 8u);
    EXPECT_EQ(host.progress.front(), 12); // 100/8 = 12.5, half to even
    EXPECT_EQ(host.progress.back(), 100);
    EXPECT_EQ(host.refreshes, 1);
    EXPECT_TRUE(host.messages.isEmpty());
}

TEST_F(E2ImageTest, InvalidSectionCountIsResetBeforeItGatesAndIsReported)
{
    link.e2 = {{100, 9}, {110, 6000}, {111, 22}, {112, 33}, {113, 70000}};
    EXPECT_EQ(image.ReadParameters(10), "");
    EXPECT_EQ(table.Record(Key::QVS_NUM_PROP_REG)->DataS.CedValueE2, 2);
    EXPECT_EQ(table.At(3)->DataS.CedValueE2, 22);
    EXPECT_EQ(table.At(4)->DataS.CedValueE2, 250);
    EXPECT_EQ(table.At(2)->DataS.CedValueE2, 250); // out of range: back to default
    EXPECT_EQ(table.At(5)->DataS.CedValueE2, 3);   // max 65535: reset silently
    ASSERT_EQ(host.messages.size(), 1);
    EXPECT_EQ(host.messages[0], " - Sections\rREAD FAULT:\r - Ramp A\r");
}

TEST_F(E2ImageTest, FailedReadStopsAndLeavesTheRecordAsItWas)
{
    link.e2 = {{100, 2}, {110, 11}, {111, 22}};
    link.failAt = 2;
    link.failText = "Comunication Error";
    EXPECT_EQ(image.ReadParameters(10), "Comunication Error");
    EXPECT_EQ(table.At(2)->DataS.CedValueE2, 11);
    EXPECT_EQ(table.At(3)->DataS.CedValueE2, 250);
    EXPECT_EQ(link.requests, 3);
    EXPECT_EQ(host.refreshes, 0);
    EXPECT_TRUE(host.messages.isEmpty());
}

TEST_F(E2ImageTest, WriteSendsWritableRecordsAndTheDitherRule)
{
    table.At(2)->DataS.QvsDownloadValueE2 = 77;
    table.Record(Key::QVS_DITHER_EDIT)->DataS.CedValueE2 = 169;
    EXPECT_EQ(image.WriteParameters(11), "");
    EXPECT_EQ(link.written, (std::vector<int64_t>{100, 110, 111}));
    EXPECT_EQ(table.At(2)->DataS.CedValueE2, 77);
    EXPECT_EQ(shell.ProgressPercent(), 100);

    link.written.clear();
    table.Record(Key::QVS_DITHER_EDIT)->DataS.CedValueE2 = 170;
    EXPECT_EQ(image.WriteParameters(11), "");
    EXPECT_EQ(link.written, (std::vector<int64_t>{100, 110, 111, 121}));
}

TEST_F(E2ImageTest, FailedWriteDoesNotMarkTheRecordWritten)
{
    table.At(2)->DataS.QvsDownloadValueE2 = 77;
    link.failAt = 1;
    EXPECT_EQ(image.WriteParameters(11), "Communication TIME OUT ");
    EXPECT_EQ(table.At(2)->DataS.CedValueE2, 250);
    EXPECT_EQ(table.At(2)->DataS.QvsDownloadValueE2, 77);
}

TEST_F(E2ImageTest, RestoreWritesTheSignatureAndThePendingCheckReadsIt)
{
    shell.SetProgressPercent(0);
    EXPECT_EQ(image.RestoreDefaultSetting(), "");
    EXPECT_EQ(link.written, (std::vector<int64_t>{250, 251, 252, 253, 254}));
    EXPECT_EQ(shell.ProgressPercent(), 100);
    bool pending = false;
    EXPECT_EQ(image.CheckResetPending(pending), "");
    EXPECT_TRUE(pending);
    link.e2[254] = 0;
    EXPECT_EQ(image.CheckResetPending(pending), "");
    EXPECT_FALSE(pending);
}

TEST_F(E2ImageTest, PendingCheckRetriesSixTimes)
{
    link.failAt = -2; // every request fails
    bool pending = true;
    EXPECT_EQ(image.CheckResetPending(pending), "Communication TIME OUT ");
    EXPECT_TRUE(pending);
    EXPECT_EQ(link.requests, 6);

    FakeWordLink late;
    E2Image second{table, late, shell, pages, host};
    late.failAt = 0; // the first attempt fails at its first word, the second succeeds
    EXPECT_EQ(second.CheckResetPending(pending), "");
    EXPECT_FALSE(pending);
}

TEST(E2ImageNoPages, TransferWithoutPageCountsEndsAtHundredPercent)
{
    ShellState shell;
    IDData table{&shell};
    ASSERT_EQ(LoadTestCatalogue(table, {CatalogueLine({"A", "1", "", "", "0", "0", "11", "0", "10"})}), "");
    PageRegistry pages;
    FakeWordLink link;
    NullHost host;
    E2Image image{table, link, shell, pages, host};
    EXPECT_EQ(image.ReadParameters(11), "");
    EXPECT_EQ(shell.ProgressPercent(), 100);
}

} // namespace
