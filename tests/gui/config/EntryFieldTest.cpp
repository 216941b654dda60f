// The entry fields of the Configure page: ramp times and float currents
// (text box and scroll bar together, the key filter, the restore question,
// texts that cannot be taken) and the ramp mode pairs.
#include "ConfigTestSupport.h"

#include "gui/pages/config/NumericField.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QScrollBar>
#include <QTabWidget>

namespace {

class EntryFieldTest : public ConfigPageFixture {
protected:
    void SetUp() override
    {
        ConfigPageFixture::SetUp();
        page->SSTab1->setCurrentIndex(2); // RAMPS
    }
    // Replaces the whole text of a box by typing.
    static void Type(QLineEdit* box, const char* text)
    {
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, QString::fromLatin1(text));
    }
    QStringList Questions() const
    {
        QStringList q;
        for (const auto& b : dialogs.Boxes)
            if (b.Question)
                q << b.Text;
        return q;
    }
};

TEST_F(EntryFieldTest, RampTextWithinTheRangeIsStoredAtOnce)
{
    CVarDataS& rise2 = Rec(Key::QVS_RAMP_TRISE_2);
    QLineEdit* box = page->TxtTRise[2];
    EXPECT_EQ(box->text(), QString::number(rise2.QvsDownloadValueE2));
    EXPECT_EQ(page->hscTRise[2]->maximum(), rise2.CedValE2Max);

    // Emptying the box gives a selected "0", which is within 0..5000.
    box->setFocus();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Backspace);
    EXPECT_EQ(box->text(), "0");
    EXPECT_EQ(box->selectedText(), "0");
    EXPECT_EQ(rise2.QvsDownloadValueE2, 0);
    EXPECT_FALSE(Unchanged());

    QTest::keyClicks(box, "750"); // the selected "0" is replaced
    EXPECT_EQ(box->text(), "750");
    EXPECT_EQ(page->hscTRise[2]->value(), 750);
    EXPECT_EQ(rise2.QvsDownloadValueE2, 750);
    EXPECT_EQ(rise2.QvsDisplayValueE2, 500); // ramps store the download value only

    // Keys other than digits, "." and Backspace never reach the text.
    QTest::keyClicks(box, "a-, e");
    EXPECT_EQ(box->text(), "750");
    EXPECT_TRUE(Questions().isEmpty());
}

TEST_F(EntryFieldTest, OutOfRangeRampAsksToRestoreTheControllerValue)
{
    CVarDataS& rise2 = Rec(Key::QVS_RAMP_TRISE_2);
    rise2.CedValueE2 = 700;
    QLineEdit* box = page->TxtTRise[2];
    Type(box, "6000"); // range 0..5000: "6", "60", "600" were stored on the way
    EXPECT_EQ(rise2.QvsDownloadValueE2, 600);
    EXPECT_TRUE(page->RiseField(2)->IsInvalid());
    EXPECT_TRUE(box->toolTip().startsWith("Outside the range 0 to 5000"));

    // Enter, "No": the text stays, nothing is stored, the box keeps the focus.
    dialogs.Answers = {false};
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(Questions(), QStringList({"Value Not Correct : Restore With '700' ?"}));
    EXPECT_EQ(dialogs.Boxes.back().Icon, MessageIcon::Information);
    EXPECT_EQ(box->text(), "6000");
    EXPECT_EQ(rise2.QvsDownloadValueE2, 600);

    // Enter, "Yes": the controller value comes back and is stored.
    dialogs.Answers = {true};
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(box->text(), "700");
    EXPECT_EQ(rise2.QvsDownloadValueE2, 700);
    EXPECT_FALSE(page->RiseField(2)->IsInvalid());

    // Leaving the box asks the same; "No" puts the focus back.
    Type(box, "9999");
    dialogs.Boxes.clear();
    dialogs.Answers = {false};
    page->TxtTFall[2]->setFocus();
    EXPECT_EQ(Questions().size(), 1);
    QTest::qWait(1);
    EXPECT_TRUE(box->hasFocus());
    dialogs.Answers = {true};
    page->TxtTFall[2]->setFocus();
    EXPECT_EQ(box->text(), "700");
    EXPECT_EQ(rise2.QvsDownloadValueE2, 700);
}

TEST_F(EntryFieldTest, TheScrollBarStoresWithoutAQuestion)
{
    page->hscTFall[0]->setValue(250);
    EXPECT_EQ(page->TxtTFall[0]->text(), "250");
    EXPECT_EQ(Rec(Key::QVS_RAMP_TFALL_0).QvsDownloadValueE2, 250);
    // A click on the scroll bar's right arrow.
    QScrollBar* bar = page->hscTFall[0];
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() - 4, bar->height() / 2));
    EXPECT_EQ(page->TxtTFall[0]->text(), "251");
    EXPECT_EQ(Rec(Key::QVS_RAMP_TFALL_0).QvsDownloadValueE2, 251);
    EXPECT_TRUE(dialogs.Boxes.empty());
}

TEST_F(EntryFieldTest, TextsThatAreNoNumberStoreNothing)
{
    CVarDataS& fall1 = Rec(Key::QVS_RAMP_TFALL_1);
    const int32_t before = fall1.QvsDownloadValueE2;
    QLineEdit* box = page->TxtTFall[1];
    Type(box, ".");
    EXPECT_EQ(box->text(), ".");
    EXPECT_EQ(page->FallField(1)->CurrentState(), NumericField::State::NotANumber);
    EXPECT_TRUE(box->toolTip().startsWith("Not a number"));
    EXPECT_TRUE(box->property("invalid").toBool());
    QTest::keyClicks(box, ".");
    EXPECT_EQ(box->text(), "..");
    EXPECT_EQ(fall1.QvsDownloadValueE2, before);

    // Enter offers the restore; "No" keeps the text and stores nothing.
    dialogs.Answers = {false};
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(Questions().size(), 1);
    EXPECT_EQ(fall1.QvsDownloadValueE2, before);

    // Beyond 16 bits and beyond 32 bits (pasted): nothing stored either.
    box->setText(QStringLiteral("70000"));
    EXPECT_EQ(page->FallField(1)->CurrentState(), NumericField::State::OutOfRange);
    box->setText(QStringLiteral("99999999999"));
    EXPECT_EQ(page->FallField(1)->CurrentState(), NumericField::State::NotANumber);
    EXPECT_EQ(fall1.QvsDownloadValueE2, before);

    // Corrected: valid again and stored.
    Type(box, "42");
    EXPECT_FALSE(box->property("invalid").toBool());
    EXPECT_EQ(fall1.QvsDownloadValueE2, 42);
}

TEST_F(EntryFieldTest, FloatCurrentIsStoredWhenConfirmed)
{
    Read(Key::QVS_FLOAT_SLOW_CONFIG, 0x0011); // float 1 on AI_1, side A: its current is usable
    page->RefreshObject();
    CVarDataS& cur = Rec(Key::QVS_FLOAT_0_CURRENT);
    QLineEdit* box = page->TxtFloatCurrent[0];
    ASSERT_TRUE(box->isEnabled());
    EXPECT_EQ(box->text(), QString::number(cur.QvsDisplayValueE2));
    EXPECT_EQ(page->hscFloatCurrent[0]->minimum(), cur.CedValE2Min);

    Type(box, "300");
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(cur.QvsDisplayValueE2, 300);
    EXPECT_EQ(cur.QvsDownloadValueE2, 300);

    // Through the record's formula: whole number of the result.
    cur.F_DisplayToDownload = "X/8";
    Type(box, "100");
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(cur.QvsDisplayValueE2, 100);
    EXPECT_EQ(cur.QvsDownloadValueE2, 13); // 12.5

    // A result beyond 32 bits stores nothing and marks the box.
    cur.F_DisplayToDownload = "X*100000000";
    Type(box, "2000");
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(cur.QvsDisplayValueE2, 100);
    EXPECT_EQ(cur.QvsDownloadValueE2, 13);
    EXPECT_EQ(page->FloatCurrentField(0)->CurrentState(), NumericField::State::NotConvertible);

    // Out of range and "No": the typed value is not stored (nor are the
    // values passed on the way, "500" here).
    cur.F_DisplayToDownload.clear();
    cur.CedValueE2 = 900;
    Type(box, "5000");
    dialogs.Answers = {false};
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(Questions().back(), "Value Not Correct : Restore With '900' ?");
    EXPECT_EQ(cur.QvsDisplayValueE2, 100);
    // Leaving with "Yes": the controller value is shown and stored.
    dialogs.Answers = {true};
    page->CmbDMPin->setFocus();
    EXPECT_EQ(box->text(), "900");
    EXPECT_EQ(cur.QvsDisplayValueE2, 900);
    EXPECT_EQ(cur.QvsDownloadValueE2, 900);
}

TEST_F(EntryFieldTest, RampModesAlwaysKeepExactlyOneBoxSet)
{
    CVarDataS& mode0 = Rec(Key::QVS_RAMP_INV_MODE_0);
    Read(Key::QVS_RAMP_INV_MODE_0, 170);
    Read(Key::QVS_RAMP_INV_MODE_1, 85);
    page->RefreshObject();
    EXPECT_TRUE(page->ChkBreak[0]->isChecked());
    EXPECT_FALSE(page->ChkFull[0]->isChecked());
    EXPECT_TRUE(page->ChkFull[1]->isChecked());
    EXPECT_FALSE(page->ChkBreak[1]->isChecked());
    context->Shell.SetParamsUnchanged(true);

    QTest::mouseClick(page->ChkBreak[0], Qt::LeftButton); // a set BREAK is cleared
    EXPECT_FALSE(page->ChkBreak[0]->isChecked());
    EXPECT_TRUE(page->ChkFull[0]->isChecked());
    EXPECT_EQ(mode0.QvsDownloadValueE2, 85);
    EXPECT_FALSE(Unchanged());

    QTest::mouseClick(page->ChkFull[0], Qt::LeftButton);
    EXPECT_TRUE(page->ChkBreak[0]->isChecked());
    EXPECT_FALSE(page->ChkFull[0]->isChecked());
    EXPECT_EQ(mode0.QvsDownloadValueE2, 170);

    QTest::mouseClick(page->ChkBreak[1], Qt::LeftButton);
    EXPECT_TRUE(page->ChkBreak[1]->isChecked());
    EXPECT_FALSE(page->ChkFull[1]->isChecked());
    EXPECT_EQ(Rec(Key::QVS_RAMP_INV_MODE_1).QvsDownloadValueE2, 170);
}

TEST_F(EntryFieldTest, RefreshShowsTheValuesAWriteSends)
{
    // A value loaded from a file differs from the controller's: the page shows
    // the file's and a refresh does not put the controller's back.
    CVarData* rise0 = context->Table.Record(Key::QVS_RAMP_TRISE_0);
    rise0->ReadE2FromCED(400);
    rise0->LoadFromFile(1200);
    CVarData* mode1 = context->Table.Record(Key::QVS_RAMP_INV_MODE_1);
    mode1->ReadE2FromCED(170);
    mode1->LoadFromFile(85);
    page->RefreshObject();
    EXPECT_EQ(page->TxtTRise[0]->text(), "1200");
    EXPECT_EQ(rise0->DataS.QvsDownloadValueE2, 1200);
    EXPECT_TRUE(page->ChkFull[1]->isChecked());
    EXPECT_EQ(mode1->DataS.QvsDownloadValueE2, 85);

    // A stored value outside the range is shown marked and is not changed.
    rise0->LoadFromFile(6000);
    page->RefreshObject();
    EXPECT_EQ(page->TxtTRise[0]->text(), "6000");
    EXPECT_TRUE(page->RiseField(0)->IsInvalid());
    EXPECT_EQ(rise0->DataS.QvsDownloadValueE2, 6000);
    EXPECT_TRUE(dialogs.Boxes.empty()); // a refresh asks nothing
}

TEST_F(EntryFieldTest, ARefusedEntryBlocksTheWriteOfThePage)
{
    CVarDataS& rise2 = Rec(Key::QVS_RAMP_TRISE_2);
    rise2.CedValueE2 = 700;
    EXPECT_FALSE(page->CheckDataToWrite().contains("ENTRY"));
    Type(page->TxtTRise[2], "6000"); // 600 was stored on the way
    dialogs.Answers = {false};
    QTest::keyClick(page->TxtTRise[2], Qt::Key_Return);
    EXPECT_EQ(rise2.QvsDownloadValueE2, 600);
    EXPECT_TRUE(page->CheckDataToWrite().contains(QString::fromStdString(rise2.Name) + " : ENTRY '6000' NOT VALID\r"))
        << page->CheckDataToWrite().toStdString();
    dialogs.Answers = {true};
    QTest::keyClick(page->TxtTRise[2], Qt::Key_Return);
    EXPECT_FALSE(page->CheckDataToWrite().contains("ENTRY"));
}

} // namespace
