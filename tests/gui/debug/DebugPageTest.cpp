// The Debugger page against the simulated controller: single words, polling,
// restore of the default setting, the login.
#include "DebugTestSupport.h"

#include "core/transport/modCANDevice.h"

namespace {

class DebugPageTest : public DebugFixture {};

TEST_F(DebugPageTest, TheListHoldsTheCatalogueInTableOrder)
{
    ShowDebugger();
    const IDData& table = context->Table;
    ASSERT_EQ(page->cmbVariablesList->count(), table.VarTableEnd);
    EXPECT_EQ(page->cmbVariablesList->itemText(0), "-------");
    for (int k = 1; k < table.VarTableEnd; ++k)
        EXPECT_EQ(page->cmbVariablesList->itemText(k).toStdString(), table.At(k)->DataS.Name);
    EXPECT_EQ(page->windowTitle(), "Debug");
    EXPECT_EQ(page->LblAddress->text(), "-------");
    EXPECT_EQ(page->LblUnit->text(), "---");

    CVarData& r = Select(Key::QVS_I0_MAX);
    EXPECT_EQ(page->txtAddress->text(), QString::number(r.DataS.Address));
    EXPECT_EQ(page->LblAddress->text(), page->txtAddress->text());
    EXPECT_EQ(page->lblName->text().toStdString(), r.DataS.Name);
    EXPECT_EQ(page->LblTooltip->text().toStdString(), r.DataS.TooltipDecription);
    EXPECT_EQ(page->LblMonitorName->text().toStdString(), r.DataS.MonitorName);
    EXPECT_EQ(page->LblUnit->text(), "mA");
    EXPECT_EQ(page->LblUnitE2->text(), "mA");
    EXPECT_EQ(page->LblDisplayE2->text(), "0");
    EXPECT_EQ(page->txtAddress->selectedText(), page->txtAddress->text().left(1));

    Select(Key::QVS_SOL_TYPE); // no unit: no display values
    EXPECT_EQ(page->LblDisplayE2->text(), "");
    page->cmbVariablesList->setCurrentIndex(0);
    EXPECT_EQ(page->txtAddress->text(), "0");
    EXPECT_EQ(page->lblName->text(), "");
    EXPECT_EQ(page->LblTooltip->text(), "-------");
}

TEST_F(DebugPageTest, EnterInTheAddressBoxSelectsItsRecordOrKeepsTheSelection)
{
    ShowDebugger();
    const CVarData& vbb = *context->Table.Record(Key::QVS_VBB_400);
    page->txtAddress->setText(QString::number(vbb.DataS.Address));
    QTest::keyClick(page->txtAddress, Qt::Key_Return);
    const int vbbIndex = context->Table.Index(Key::QVS_VBB_400);
    EXPECT_EQ(page->cmbVariablesList->currentIndex(), vbbIndex);
    EXPECT_EQ(page->LblUnit->text(), "V");

    // An address no record has is said, and the next WRITE still goes where
    // the user chose last, not to the first record.
    for (const char* typed : {"9999", "abc", ""}) {
        dialogs.Boxes.clear();
        page->txtAddress->setText(QString::fromLatin1(typed));
        QTest::keyClick(page->txtAddress, Qt::Key_Return);
        EXPECT_EQ(dialogs.Texts(), QStringList({QStringLiteral("No Variable At Address ") + typed})) << typed;
        EXPECT_EQ(page->cmbVariablesList->currentIndex(), vbbIndex) << typed;
        EXPECT_EQ(page->LblAddress->text(), QString::number(vbb.DataS.Address)) << typed;
        EXPECT_EQ(page->txtAddress->text(), page->LblAddress->text());
    }
}

TEST_F(DebugPageTest, ReadsAndWritesE2AndRamWordsWithAndWithoutAUnit)
{
    Connect();
    ShowDebugger();
    CVarData& current = Select(Key::QVS_I0_MAX);
    const int address = current.DataS.Address;

    Sim().SetE2(address, 700);
    Click(page->cmdRead);
    EXPECT_TRUE(dialogs.Boxes.empty()) << dialogs.Texts().join('|').toStdString();
    EXPECT_EQ(page->lblE2Data->text(), "700");
    EXPECT_EQ(current.DataS.CedValueE2, 700);
    EXPECT_EQ(page->LblDisplayE2->text(), QString::number(current.DataS.QvsDisplayValueE2));
    EXPECT_EQ(State().ConnectionState(), Connected);
    EXPECT_EQ(State().ProgressPercent(), 0);

    TypeValue("65535");
    Click(page->cmdWrite);
    EXPECT_TRUE(dialogs.Boxes.empty());
    EXPECT_EQ(Sim().E2(address), 65535);
    EXPECT_EQ(current.DataS.CedValueE2, 65535);
    EXPECT_EQ(page->lblE2Data->text(), "65535");
    EXPECT_EQ(page->lblRAMData->text(), "65535");

    Sim().SetRam(address, 42);
    Click(page->cmdDisplay);
    EXPECT_EQ(page->lblRAMData->text(), "42");
    EXPECT_EQ(page->LblDisplayRAM->text(), "42");

    TypeValue("40000");
    Click(page->cmdSet);
    EXPECT_EQ(Sim().Ram(address), 40000);
    EXPECT_EQ(page->lblRAMData->text(), "40000");
    EXPECT_EQ(Sim().E2(address), 65535); // SET leaves the E2 word alone

    // A converted RAM value: the supply voltage in volts.
    Select(Key::QVS_VBB_400);
    Sim().SetRam(context->Table.Record(Key::QVS_VBB_400)->DataS.Address, 12345);
    Click(page->cmdDisplay);
    EXPECT_EQ(page->lblRAMData->text(), "12345");
    EXPECT_EQ(page->LblDisplayRAM->text(), "12.345");

    // No unit: no display value.
    CVarData& sol = Select(Key::QVS_SOL_TYPE);
    Sim().SetE2(sol.DataS.Address, 2);
    Click(page->cmdRead);
    EXPECT_EQ(page->lblE2Data->text(), "2");
    EXPECT_EQ(page->LblDisplayE2->text(), "");
    EXPECT_TRUE(dialogs.Boxes.empty());
}

TEST_F(DebugPageTest, ValuesThatAreNotAControllerWordAreRefusedAndNothingIsSent)
{
    Connect();
    ShowDebugger();
    CVarData& r = Select(Key::QVS_I0_MAX);
    const uint16_t before = Sim().E2(r.DataS.Address);
    const int requests = Sim().RequestCount();
    for (const char* text : {"abc", "70000", "-1", "12.5", "65536", ""}) {
        dialogs.Boxes.clear();
        TypeValue(QString::fromLatin1(text));
        Click(page->cmdWrite);
        ASSERT_EQ(dialogs.Boxes.size(), 1u) << text;
        EXPECT_TRUE(dialogs.Boxes[0].Text.startsWith("Value Not Correct : '")) << text;
        EXPECT_TRUE(dialogs.Boxes[0].Text.contains("0 to 65535"));
        dialogs.Boxes.clear();
        Click(page->cmdSet);
        EXPECT_EQ(dialogs.Boxes.size(), 1u) << text;
    }
    EXPECT_EQ(Sim().RequestCount(), requests);
    EXPECT_EQ(Sim().E2(r.DataS.Address), before);
    EXPECT_EQ(page->lblE2Data->text(), "0");
    EXPECT_EQ(State().ConnectionState(), Connected);
}

TEST_F(DebugPageTest, NoRecordSelectedGivesInvalidAddress)
{
    Connect();
    ShowDebugger();
    page->cmbVariablesList->setCurrentIndex(0);
    const int requests = Sim().RequestCount();
    for (QPushButton* b : {page->cmdRead, page->cmdWrite, page->cmdDisplay, page->cmdSet, page->cmdMonitor}) {
        dialogs.Boxes.clear();
        Click(b);
        ASSERT_EQ(dialogs.Boxes.size(), 1u) << b->objectName().toStdString();
        EXPECT_EQ(dialogs.Boxes[0].Text, "Invalid Address");
        EXPECT_EQ(dialogs.Boxes[0].Icon, MessageIcon::Critical);
        EXPECT_EQ(dialogs.Boxes[0].Title, ""); // the application title
    }
    EXPECT_EQ(Sim().RequestCount(), requests);
    EXPECT_FALSE(page->Polling());
}

TEST_F(DebugPageTest, NotConnectedEveryCommandDoesNothing)
{
    auto check = [&](const char* when) {
        Select(Key::QVS_I0_MAX);
        const int requests = Sim().RequestCount();
        for (QPushButton* b : {page->cmdRead, page->cmdWrite, page->cmdDisplay, page->cmdSet, page->cmdMonitor,
                               page->cmdReset, page->CmdCANProbe, page->CmdDitherRead, page->CmdUpdate})
            Click(b);
        EXPECT_TRUE(dialogs.Boxes.empty()) << when << ": " << dialogs.Texts().join('|').toStdString();
        EXPECT_EQ(Sim().RequestCount(), requests) << when;
        EXPECT_EQ(page->lblE2Data->text(), "0") << when;
        EXPECT_FALSE(page->Polling()) << when;
        EXPECT_EQ(State().ConnectionState(), Disconnected) << when;
    };
    ShowDebugger();
    check("never connected");
    Connect();
    window->ConnectCommand(); // disconnect: the device flag stays, the channel goes
    ASSERT_EQ(State().ConnectionState(), Disconnected);
    ASSERT_TRUE(context->Device().CanConnected);
    check("after a disconnect");
}

TEST_F(DebugPageTest, MonitorPollsWithProgressInTenthsAndLocksTheEntry)
{
    Connect();
    ShowDebugger();
    CVarData& r = Select(Key::QVS_I0_MAX);
    Click(page->cmdMonitor);
    ASSERT_TRUE(page->Polling());
    EXPECT_EQ(State().ConnectionState(), DebuggerPolling);
    EXPECT_EQ(State().StatusMessage(), "Debug...");
    for (QWidget* w : std::initializer_list<QWidget*>{page->cmbVariablesList, page->txtAddress, page->TxtData,
                                                      page->cmdRead, page->cmdWrite, page->cmdSet, page->cmdDisplay})
        EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
    EXPECT_TRUE(page->cmdMonitor->isEnabled());

    std::vector<int> progress;
    for (int i = 0; i < 12; ++i) {
        Sim().SetRam(r.DataS.Address, 100 + i);
        page->PollTick();
        progress.push_back(State().ProgressPercent());
        EXPECT_EQ(page->lblRAMData->text(), QString::number(100 + i));
    }
    EXPECT_EQ(progress, std::vector<int>({10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 10, 20}));
    EXPECT_EQ(State().StatusMessage(), "Debug: Monitoring...");
    EXPECT_TRUE(context->Polling.DebugPollingActive);
    EXPECT_TRUE(page->StatusTimerForm());

    // The 20 ms timer polls by itself.
    Sim().SetRam(r.DataS.Address, 4321);
    EXPECT_TRUE(QTest::qWaitFor([&] { return page->lblRAMData->text() == "4321"; }, 3000));

    Click(page->cmdMonitor); // stop
    EXPECT_FALSE(page->Polling());
    EXPECT_FALSE(page->StatusTimerForm());
    EXPECT_EQ(State().ConnectionState(), Connected);
    EXPECT_EQ(State().ProgressPercent(), 0);
    EXPECT_TRUE(page->cmdRead->isEnabled());
    EXPECT_TRUE(dialogs.Boxes.empty());
}

TEST_F(DebugPageTest, AFailingPollStopsPollingAndSaysSoOnce)
{
    Connect();
    ShowDebugger();
    Select(Key::QVS_I0_MAX);
    Click(page->cmdMonitor);
    ASSERT_TRUE(QTest::qWaitFor([&] { return State().ProgressPercent() >= 20; }, 3000));
    Sim().SetSilentAfter(Sim().RequestCount());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialogs.Boxes.empty(); }, 5000));
    QTest::qWait(300); // more ticks would have come by now
    ASSERT_EQ(dialogs.Boxes.size(), 1u);
    EXPECT_TRUE(dialogs.Boxes[0].Text.startsWith("Operation Failed :")) << dialogs.Boxes[0].Text.toStdString();
    EXPECT_FALSE(page->Polling());
    EXPECT_FALSE(context->Polling.DebugPollingActive);
    EXPECT_EQ(State().ConnectionState(), Disconnected);
    EXPECT_EQ(page->SavedConnectionState(), Disconnected);
    EXPECT_EQ(page->lblRAMData->text(), "0");
    EXPECT_EQ(State().LastFailure(), dialogs.Boxes[0].Text.mid(QString("Operation Failed :").size()));
    EXPECT_TRUE(page->cmdRead->isEnabled());
}

TEST_F(DebugPageTest, ASingleReadThatFailsSaysSoAndKeepsTheLabel)
{
    Connect();
    ShowDebugger();
    Select(Key::QVS_I0_MAX);
    Sim().SetSilentAfter(Sim().RequestCount());
    Click(page->cmdRead);
    ASSERT_EQ(dialogs.Boxes.size(), 1u);
    EXPECT_TRUE(dialogs.Boxes[0].Text.startsWith("Operation Failed :"));
    EXPECT_EQ(page->lblE2Data->text(), "0");
    EXPECT_EQ(State().ConnectionState(), Connected); // as before the command
}

TEST_F(DebugPageTest, ResetGivesThePowerNoticeOrOperationFailed)
{
    Connect();
    ShowDebugger();
    Click(page->cmdReset);
    ASSERT_EQ(dialogs.Boxes.size(), 1u);
    EXPECT_EQ(dialogs.Boxes[0].Text, "POWER RESET Needed For Default Parameters Configuration To Be Effective !!!");
    EXPECT_EQ(dialogs.Boxes[0].Icon, MessageIcon::Information);
    EXPECT_TRUE(Sim().RestorePending());
    EXPECT_TRUE(window->isEnabled());
    EXPECT_EQ(State().ConnectionState(), Connected);

    dialogs.Boxes.clear();
    Sim().SetSilentAfter(Sim().RequestCount());
    Click(page->cmdReset);
    ASSERT_EQ(dialogs.Boxes.size(), 1u);
    EXPECT_EQ(dialogs.Boxes[0].Text, "Operation Failed!");
    EXPECT_TRUE(window->isEnabled());
}

TEST_F(DebugPageTest, EveryControlFollowsTheLoginAndLogoutStopsPolling)
{
    ShowDebugger(false);
    for (QWidget* w : Controls())
        EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
    Connect();
    ShowDebugger(true);
    for (QWidget* w : Controls())
        EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();

    Select(Key::QVS_I0_MAX);
    Click(page->cmdMonitor);
    ASSERT_TRUE(QTest::qWaitFor([&] { return context->Polling.DebugPollingActive; }, 3000));
    window->LogoutCommand();
    for (QWidget* w : Controls())
        EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
    EXPECT_FALSE(page->Polling());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !context->Polling.DebugPollingActive; }, 3000));
    EXPECT_EQ(State().ConnectionState(), Connected);
    EXPECT_TRUE(dialogs.Boxes.empty());
}

TEST_F(DebugPageTest, LeavingThePagePutsTheStateBackAndEndsPolling)
{
    Connect();
    ShowDebugger();
    EXPECT_EQ(page->SavedConnectionState(), Connected);
    Select(Key::QVS_I0_MAX);
    Click(page->cmdMonitor);
    ASSERT_TRUE(QTest::qWaitFor([&] { return State().ProgressPercent() >= 10; }, 3000));
    window->SelectTab(4); // the Info page
    EXPECT_NE(State().ConnectionState(), DebuggerPolling);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !page->StatusTimerForm(); }, 3000));
    EXPECT_FALSE(page->Polling());
    EXPECT_EQ(State().ConnectionState(), Connected);

    // Disconnecting on the page forgets the saved value.
    window->SelectTab(DebuggerTab);
    page->DisableTimer();
    EXPECT_EQ(page->SavedConnectionState(), Disconnected);
}

TEST_F(DebugPageTest, F1OpensTheManualAtPage33)
{
    folder.Write(QStringLiteral("QVSMANUAL.pdf"), "%PDF-1.4\n");
    ShowDebugger();
    window->activateWindow();
    page->TxtData->setFocus();
    QTest::keyClick(page->TxtData, Qt::Key_F1);
    EXPECT_EQ(manualPage, 33);
}

} // namespace
