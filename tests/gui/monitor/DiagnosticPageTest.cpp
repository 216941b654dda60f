// The Diagnostic page: its list file, the lamps, the report lines.
#include "MonitorTestSupport.h"

#include "gui/shell/StatusBarView.h"

#include <QLabel>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>

namespace {

class DiagnosticPageTest : public PollingPageFixture {
protected:
    void ShowConnected(int sections = 2)
    {
        SetE2(Key::QVS_NUM_PROP_REG, sections);
        Connected();
        window->SelectTab(DiagnosticTab);
        ASSERT_TRUE(diagnostic->TimerDiagnostic().isActive());
    }
    void Tick() { diagnostic->Poller().Tick(); }
    QStringList Lines() const
    {
        QStringList keys;
        for (int i = 0; i < diagnostic->ListView1->topLevelItemCount(); ++i)
            keys << diagnostic->ListView1->topLevelItem(i)->text(0);
        return keys;
    }
    QString BitText(int control, int bit) const
    {
        return diagnostic->DiagnosticError[static_cast<size_t>(control)]
            ->findChild<QLabel*>(QStringLiteral("lblErrorBit_%1").arg(bit))
            ->text();
    }
};

TEST_F(DiagnosticPageTest, ShippedListNamesEveryBitOfTheFiveWords)
{
    EXPECT_TRUE(dialogs.Boxes.empty());
    const DiagnosticList& list = diagnostic->List();
    ASSERT_EQ(list.Groups(), 5);
    const std::array<Key, 5> words = {Key::QVS_MAIN_ERROR, Key::QVS_ERROR_CODE_0, Key::QVS_ERROR_CODE_3,
                                      Key::QVS_ERROR_CODE_1, Key::QVS_ERROR_CODE_2};
    for (int g = 0; g < 5; ++g) {
        const CVarData& word = Rec(words[static_cast<size_t>(g)]);
        EXPECT_EQ(diagnostic->DiagnosticError[static_cast<size_t>(g)]->VarID(), word.DataS.VarID);
        for (int bit = 0; bit < 8; ++bit) {
            const CDiagnosticData* e = list.Entry(bit, g);
            ASSERT_NE(e, nullptr) << g << "/" << bit;
            EXPECT_EQ(e->address, word.DataS.Address) << g << "/" << bit;
            EXPECT_FALSE(e->PageDescr.empty());
            if (!e->VarKey.empty()) {
                EXPECT_EQ(e->VarKey, std::string(KeyText(words[static_cast<size_t>(g)])));
                EXPECT_FALSE(e->Message0.empty());
                EXPECT_FALSE(e->Message1.empty());
            }
            EXPECT_EQ(BitText(g, bit), QString::fromStdString(e->PageDescr));
        }
        EXPECT_EQ(diagnostic->DiagnosticError[static_cast<size_t>(g)]->MsgID(), g);
    }
    // The words' titles come from the catalogue.
    EXPECT_TRUE(diagnostic->DiagnosticError[3]->findChild<QWidget*>(QStringLiteral("FrameDiagnostic"))
                    ->property("Caption")
                    .toString() == QStringLiteral("Section 1 Errors"));
    for (size_t i = 5; i < 11; ++i)
        EXPECT_TRUE(diagnostic->DiagnosticError[i]->isHidden());
    EXPECT_TRUE(diagnostic->DiagnosticError[5]->LongVar());
    EXPECT_TRUE(diagnostic->DiagnosticError[6]->LongVar());
    EXPECT_EQ(diagnostic->ListView1->headerItem()->text(1), QStringLiteral("Error ID"));
    EXPECT_EQ(diagnostic->TabStrip1->tabText(0), QStringLiteral("Message"));
}

TEST_F(DiagnosticPageTest, FiveControlsPollInFifths)
{
    ShowConnected();
    RecordProgress(diagnostic->Poller());
    Tick();
    EXPECT_EQ(progress, (std::vector<int>{20, 40, 60, 80, 100}));
    EXPECT_EQ(State().ConnectionState(), DiagnosticPolling);
    EXPECT_EQ(State().StatusMessage(), QStringLiteral("Diagnostic..."));

    // A word switched off is not read.
    progress.clear();
    diagnostic->DiagnosticError[4]->setEnable(false);
    Tick();
    EXPECT_EQ(progress, (std::vector<int>{25, 50, 75, 100}));
}

TEST_F(DiagnosticPageTest, RisingBitsAddLinesAndFallingBitsRemoveThem)
{
    ShowConnected();
    SetRam(Key::QVS_ERROR_CODE_1, 0x0008); // coil 1B short
    Tick();
    EXPECT_EQ(Lines(), QStringList{QStringLiteral("QVS_ERROR_CODE_1 - 8")});
    QTreeWidgetItem* line = diagnostic->ListView1->topLevelItem(0);
    EXPECT_EQ(line->text(1), QStringLiteral("Coil 1B short circuit: the output is switched off"));
    EXPECT_TRUE(line->text(2).contains(QStringLiteral("C1.05 (OUT_2)")));
    EXPECT_EQ(diagnostic->LastAddedLine(), line);

    Tick(); // unchanged: nothing more
    EXPECT_EQ(Lines().size(), 1);

    SetRam(Key::QVS_ERROR_CODE_1, 0x0009);
    SetRam(Key::QVS_MAIN_ERROR, 0x0002);
    Tick();
    EXPECT_EQ(Lines().size(), 3);

    SetRam(Key::QVS_ERROR_CODE_1, 0x0001);
    Tick();
    EXPECT_FALSE(Lines().contains(QStringLiteral("QVS_ERROR_CODE_1 - 8")));
    EXPECT_TRUE(Lines().contains(QStringLiteral("QVS_ERROR_CODE_1 - 1")));

    // Rising again adds it again.
    SetRam(Key::QVS_ERROR_CODE_1, 0x0009);
    Tick();
    EXPECT_EQ(Lines().count(QStringLiteral("QVS_ERROR_CODE_1 - 8")), 1);
}

TEST_F(DiagnosticPageTest, FallingBitRemovesEveryLineOfItsKey)
{
    diagnostic->UpdateErrorMessage(1, 0x0002, 0x0002);
    diagnostic->UpdateErrorMessage(1, 0x0002, 0x0002);
    diagnostic->UpdateErrorMessage(1, 0x0001, 0x0001);
    ASSERT_EQ(Lines().count(QStringLiteral("QVS_ERROR_CODE_0 - 2")), 2);
    diagnostic->UpdateErrorMessage(1, 0x0000, 0x0002);
    EXPECT_EQ(Lines(), QStringList{QStringLiteral("QVS_ERROR_CODE_0 - 1")});

    // Switching a word off clears all of its lines.
    diagnostic->DiagnosticError[1]->setEnable(false);
    EXPECT_TRUE(Lines().isEmpty());
    EXPECT_EQ(diagnostic->LastAddedLine(), nullptr);
}

TEST_F(DiagnosticPageTest, AnEntryWithoutKeyNeverAddsALine)
{
    ShowConnected();
    ASSERT_TRUE(diagnostic->List().Entry(7, 0)->VarKey.empty());
    SetRam(Key::QVS_MAIN_ERROR, 0x0080);
    Tick();
    EXPECT_TRUE(Lines().isEmpty());
    // A bit the list has no entry for (bit 8 of a word) adds nothing either.
    diagnostic->UpdateErrorMessage(0, 0x0100, 0x0100);
    EXPECT_TRUE(Lines().isEmpty());
}

TEST_F(DiagnosticPageTest, OneSectionOffersOnlyTheFirstOptions)
{
    diagnostic->optSelectCur[1]->setChecked(true);
    SetE2(Key::QVS_NUM_PROP_REG, 1);
    diagnostic->RefreshObject();
    for (auto* pair : {&diagnostic->optSelectjoy, &diagnostic->optSelectCur, &diagnostic->optSelectSP}) {
        EXPECT_TRUE((*pair)[0]->isEnabled());
        EXPECT_FALSE((*pair)[1]->isEnabled());
        EXPECT_TRUE((*pair)[0]->isChecked());
        EXPECT_FALSE((*pair)[1]->isChecked());
    }
    EXPECT_EQ(diagnostic->optSelectSP[1]->text(), QStringLiteral("Setpoint 2"));

    SetE2(Key::QVS_NUM_PROP_REG, 2);
    diagnostic->RefreshObject();
    EXPECT_TRUE(diagnostic->optSelectjoy[1]->isEnabled());
}

TEST_F(DiagnosticPageTest, FailedPollStopsPollingAndSaysWhy)
{
    ShowConnected();
    link.failAt = 2;
    link.failText = "Comunication Error";
    Tick();
    EXPECT_FALSE(diagnostic->TimerDiagnostic().isActive());
    EXPECT_FALSE(diagnostic->StatusTimerForm());
    EXPECT_EQ(State().ConnectionState(), Disconnected);
    window->RefreshStatus(State().StatusMessage());
    EXPECT_EQ(window->StatusBar().PanelText(2), QStringLiteral("Comunication Error"));
}

TEST_F(DiagnosticPageTest, LeavingThePageStopsPollingButKeepsTheLines)
{
    ShowConnected();
    SetRam(Key::QVS_ERROR_CODE_3, 0x0001);
    Tick();
    ASSERT_EQ(Lines().size(), 1);
    window->SelectTab(ConfigureTab);
    EXPECT_EQ(State().ConnectionState(), ::Connected);
    Tick();
    EXPECT_FALSE(diagnostic->TimerDiagnostic().isActive());
    EXPECT_EQ(Lines().size(), 1);
}

TEST_F(DiagnosticPageTest, F1OpensTheManualAtPage29)
{
    folder.Write(QStringLiteral("QVSMANUAL.pdf"), "%PDF-1.4\n");
    window->SelectTab(DiagnosticTab);
    QTest::keyClick(diagnostic->ListView1, Qt::Key_F1);
    EXPECT_EQ(manualPage, 29);
}

// A list whose second data line names group 11.
class CorruptDiagnosticListTest : public DiagnosticPageTest {
protected:
    void InstallList() override
    {
        folder.Write(QStringLiteral("res/ini/DiagnosticList.ini"),
                     "Group\tBit\tAddress\tDescription\tKey\tMessage\tCheck\r\n"
                     "1\t0\t1033\tIn1 low\tIN\tInput 1 low\tCheck input 1\r\n"
                     "11\t0\t1033\tBad\tBAD\tBad\tBad\r\n"
                     "1\t1\t1033\tIn1 high\tIN\tInput 1 high\tCheck input 1\r\n");
    }
};

TEST_F(CorruptDiagnosticListTest, GivesTheMessageAndThePageStillWorks)
{
    ASSERT_EQ(dialogs.Boxes.size(), 1u);
    EXPECT_EQ(dialogs.Boxes[0].Text, QStringLiteral("'Diagnostic.ini' file NOT FOUND or CORRUPTED"));
    EXPECT_FALSE(dialogs.Boxes[0].Question);
    EXPECT_EQ(diagnostic->List().Groups(), 0);
    EXPECT_NE(diagnostic->List().Entry(0, 1), nullptr); // read before the bad line
    EXPECT_EQ(diagnostic->List().Entry(1, 1), nullptr);
    EXPECT_EQ(BitText(1, 0), QStringLiteral("------")); // no names without a complete list

    ShowConnected();
    SetRam(Key::QVS_ERROR_CODE_0, 0x0003);
    Tick();
    EXPECT_EQ(Lines(), QStringList{QStringLiteral("IN - 1")});
    EXPECT_EQ(State().ConnectionState(), DiagnosticPolling);
}

class MissingDiagnosticListTest : public DiagnosticPageTest {
protected:
    void InstallList() override { QFile::remove(folder.File(QStringLiteral("res/ini/DiagnosticList.ini"))); }
};

TEST_F(MissingDiagnosticListTest, GivesTheMessage)
{
    ASSERT_EQ(dialogs.Boxes.size(), 1u);
    EXPECT_EQ(dialogs.Boxes[0].Text, QStringLiteral("'Diagnostic.ini' file NOT FOUND or CORRUPTED"));
    ShowConnected();
    SetRam(Key::QVS_MAIN_ERROR, 0x0001);
    Tick();
    EXPECT_TRUE(Lines().isEmpty());
}

// Lines out of group order, a blank line, a short line.
class UnorderedDiagnosticListTest : public DiagnosticPageTest {
protected:
    void InstallList() override
    {
        folder.Write(QStringLiteral("res/ini/DiagnosticList.ini"),
                     "header\r\n"
                     "4\t0\t1035\t2A open\tS2\tCoil 2A open\tCheck 2A\r\n"
                     "\r\n"
                     "0\t0\t1032\tInput\r\n");
    }
};

TEST_F(UnorderedDiagnosticListTest, CountsEveryGroupRead)
{
    EXPECT_TRUE(dialogs.Boxes.empty());
    EXPECT_EQ(diagnostic->List().Groups(), 5);
    EXPECT_EQ(BitText(4, 0), QStringLiteral("2A open"));
    EXPECT_EQ(BitText(0, 0), QStringLiteral("Input"));
    EXPECT_TRUE(diagnostic->List().Entry(0, 0)->VarKey.empty());
}

} // namespace
