// The dither row of the Debugger page.
#include "DebugTestSupport.h"

namespace {

class DebugDitherTest : public DebugFixture {
protected:
    CVarData& Dither() { return *context->Table.Record(Key::QVS_DITHER_FREQ); }
    QLineEdit* Box() { return page->TxtDataD[2]; }
    QScrollBar* Bar() { return page->hscData[2]; }
    void Enter(const QString& text)
    {
        Box()->clear();
        QTest::keyClicks(Box(), text);
        QTest::keyClick(Box(), Qt::Key_Return);
    }
    QColor BoxColour() { return Box()->palette().color(QPalette::Base); }
};

TEST_F(DebugDitherTest, TextStringIsInteger)
{
    EXPECT_EQ(frmDebug::TextStringIsInteger("12"), 1);
    EXPECT_EQ(frmDebug::TextStringIsInteger("99999"), 1);
    EXPECT_EQ(frmDebug::TextStringIsInteger("-5"), 1);
    EXPECT_EQ(frmDebug::TextStringIsInteger("123456"), 0);
    EXPECT_EQ(frmDebug::TextStringIsInteger("1.5"), 0);
    EXPECT_EQ(frmDebug::TextStringIsInteger("1,5"), 0);
    EXPECT_EQ(frmDebug::TextStringIsInteger("abc"), 0);
    EXPECT_EQ(frmDebug::TextStringIsInteger(""), 0);
}

TEST_F(DebugDitherTest, TheRowIsBoundToTheDitherFrequency)
{
    Dither().DataS.CedValueRAM = 5;
    ShowDebugger();
    EXPECT_EQ(page->LblData[2]->text().toStdString(), Dither().DataS.Name);
    EXPECT_EQ(Bar()->minimum(), Dither().DataS.CedValE2Min);
    EXPECT_EQ(Bar()->maximum(), Dither().DataS.CedValE2Max);
    EXPECT_EQ(Bar()->value(), 5);
    EXPECT_EQ(Box()->text(), "5");
    EXPECT_TRUE(page->LblData[0]->isHidden());
    EXPECT_TRUE(page->hscData[1]->isHidden());
}

TEST_F(DebugDitherTest, EnterCorrectsTheTextAndStoresIt)
{
    ShowDebugger();
    Dither().DataS.CedValueE2 = 3;
    Box()->clear();
    QTest::keyClicks(Box(), "9");
    EXPECT_EQ(BoxColour(), QColor(192, 192, 0)); // being edited
    QTest::keyClick(Box(), Qt::Key_Return);
    EXPECT_EQ(BoxColour(), QColor(Qt::white));
    EXPECT_EQ(Dither().DataS.CedValueE2, 9);
    EXPECT_EQ(Bar()->value(), 9);

    Enter("40"); // above the range: the maximum
    EXPECT_EQ(Box()->text(), QString::number(Bar()->maximum()));
    EXPECT_EQ(Dither().DataS.CedValueE2, Bar()->maximum());
    Enter("-3"); // below: the minimum
    EXPECT_EQ(Dither().DataS.CedValueE2, Bar()->minimum());
    Dither().DataS.CedValueE2 = 7;
    Enter("x1"); // not a number: the stored value
    EXPECT_EQ(Box()->text(), "7");
    EXPECT_EQ(Bar()->value(), 7);

    Bar()->setValue(11); // moving the scroll bar
    EXPECT_EQ(Box()->text(), "11");
    EXPECT_EQ(Dither().DataS.CedValueE2, 11);
}

TEST_F(DebugDitherTest, DisplayAndUpdateGoThroughTheControllerRam)
{
    Connect();
    ShowDebugger();
    const int address = Dither().DataS.Address;
    Sim().SetRam(address, 6);
    QTest::mouseClick(page->CmdDitherRead, Qt::LeftButton);
    EXPECT_EQ(Box()->text(), "6");
    EXPECT_EQ(Bar()->value(), 6);
    EXPECT_EQ(Dither().DataS.CedValueE2, 6);

    Enter("12");
    QTest::mouseClick(page->CmdUpdate, Qt::LeftButton);
    EXPECT_EQ(Sim().Ram(address), 12);
    EXPECT_TRUE(dialogs.Boxes.empty());

    // Typed without Enter: UPDATE sends what the box shows, not the value
    // before it.
    Box()->selectAll();
    QTest::keyClicks(Box(), "9");
    QTest::mouseClick(page->CmdUpdate, Qt::LeftButton);
    EXPECT_EQ(Sim().Ram(address), 9);
    EXPECT_EQ(Dither().DataS.CedValueE2, 9);
    Enter("12");
    QTest::mouseClick(page->CmdUpdate, Qt::LeftButton);

    // A failing dither read is reported and changes nothing.
    Sim().SetSilentAfter(Sim().RequestCount());
    QTest::mouseClick(page->CmdDitherRead, Qt::LeftButton);
    ASSERT_EQ(dialogs.Boxes.size(), 1u);
    EXPECT_TRUE(dialogs.Boxes[0].Text.startsWith("Operation Failed :"));
    EXPECT_EQ(Dither().DataS.CedValueE2, 12);
    EXPECT_EQ(Box()->text(), "12");
}

} // namespace
