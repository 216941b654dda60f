// The input selection dialog: gallery, showing rules through the widgets,
// "OK" with and without the assistance login, "Cancel", the balloon
// tooltips, the pointers, F1 and the catalogue faults.
#include "JoySelTestSupport.h"

#include "gui/shell/ManualViewer.h"
#include "gui/shell/clsTooltips.h"

#include <QGroupBox>
#include <QTest>

namespace {

class FrmJoySelTest : public JoySelFixture {};

TEST_F(FrmJoySelTest, GalleryShowsTheCatalogueWithGreyedEntries)
{
    ASSERT_TRUE(dialogs.Boxes.empty()) << dialogs.Texts().join('|').toStdString();
    OpenFor(0);
    FrmJoySel* d = Dialog();
    EXPECT_EQ(d->windowTitle(), "Select a Joystick");
    EXPECT_FALSE(d->isModal());
    EXPECT_EQ(d->LblAxisNum->text(), "JOY 1");
    ASSERT_LE(Catalogue().Size(), FrmJoySel::GallerySlots);
    int greyed = 0;
    for (int k = 0; k < FrmJoySel::GallerySlots; ++k) {
        const auto i = size_t(k);
        const CJoyData* e = Catalogue().At(k);
        if (!e) {
            EXPECT_EQ(d->SlotTag(k), "False");
            EXPECT_FALSE(d->PicJoy[i]->isEnabled());
            EXPECT_TRUE(d->ImgJoy[i]->Picture().isNull());
            continue;
        }
        EXPECT_EQ(d->lblJoy[i]->text(), QString::fromStdString(e->Code));
        const JoyEntryPictures& p = *d->Pictures().Entry(k);
        if (e->DrcTypeID < 1) {
            ++greyed;
            EXPECT_EQ(d->SlotTag(k), "False");
            EXPECT_FALSE(d->PicJoy[i]->isEnabled());
            EXPECT_TRUE(Same(d->ImgJoy[i]->Picture(), p.PicD)) << e->Code;
            EXPECT_EQ(d->PicJoy[i]->cursor().shape(), Qt::ForbiddenCursor);
        } else {
            EXPECT_EQ(d->SlotTag(k), "True");
            EXPECT_TRUE(d->PicJoy[i]->isEnabled());
            EXPECT_TRUE(Same(d->ImgJoy[i]->Picture(), p.Pic)) << e->Code;
            EXPECT_EQ(d->PicJoy[i]->cursor().shape(), Qt::BitmapCursor); // the hand icon
            EXPECT_EQ(d->PicJoy[i]->palette().color(QPalette::Window),
                      QApplication::palette().color(QPalette::ToolTipBase));
        }
    }
    EXPECT_GE(greyed, 1);
    EXPECT_EQ(d->CmdCancel->cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(d->FrameJoy->cursor().shape(), Qt::ArrowCursor);
    // The catalogue defaults: the generic joystick.
    EXPECT_EQ(d->LblJoyCode->text(), "JOYSTICK");
    EXPECT_TRUE(Same(d->ImgJoyDetail->Picture(), Pictures(1).Pic));
    EXPECT_EQ(d->JInputType->currentText(), "joystick");
    EXPECT_EQ(d->JVoltageRange->currentText(), "5V  (regulated)");
    EXPECT_EQ(d->JCar->currentText(), "10-90% (50% neutral)");
    EXPECT_EQ(d->CmbPinL->currentText(), "C2.02 (AI_1)");
    EXPECT_FALSE(d->CmbPinH->isVisibleTo(d));
    EXPECT_FALSE(d->LblSideA->isVisibleTo(d));
    EXPECT_EQ(d->CmbJoyInversion->currentText(), "Input HIGH for A coil control");
    EXPECT_TRUE(d->ChkNeutralNeed->isChecked());
}

TEST_F(FrmJoySelTest, GreyedEntryCannotBePickedByClickOrEnter)
{
    OpenFor(0);
    FrmJoySel* d = Dialog();
    const auto greyed = size_t(Pos(4));
    ASSERT_EQ(d->SlotTag(int(greyed)), "False");
    QTest::mouseClick(d->PicJoy[greyed], Qt::LeftButton);
    d->PicJoy[greyed]->setFocus();
    QTest::keyClick(d->PicJoy[greyed], Qt::Key_Return);
    EXPECT_EQ(d->LblJoyCode->text(), "JOYSTICK");
    EXPECT_EQ(d->Selection().Working().Id, 1);

    // An enabled slot answers both, and shows its focus frame.
    const auto twoAxes = size_t(Pos(3));
    QTest::mouseClick(d->PicJoy[twoAxes], Qt::LeftButton);
    EXPECT_EQ(d->LblJoyCode->text(), "JS2-XY");
    EXPECT_EQ(d->Selection().Working().Id, 3);
    const auto pedal = size_t(Pos(8));
    ASSERT_TRUE(DialogActive());
    d->PicJoy[pedal]->setFocus();
    EXPECT_TRUE(d->FocusJoy[pedal]->isVisible());
    QTest::keyClick(d->PicJoy[pedal], Qt::Key_Enter);
    EXPECT_EQ(d->LblJoyCode->text(), "FP-1");
    // A pedal's 0-95 % range shows as PLC with the range locked.
    EXPECT_EQ(d->JInputType->currentText(), "PLC");
    EXPECT_FALSE(d->JCar->isEnabled());
    d->CmdOk->setFocus();
    EXPECT_FALSE(d->FocusJoy[pedal]->isVisible());
    QTest::mouseClick(d->CmdOk, Qt::LeftButton);
    EXPECT_EQ(Display(Key::QVS_JOY_0_ID), 8);
    EXPECT_EQ(Display(Key::QVS_JOY_0_RANGE), 8);
    EXPECT_EQ(Display(Key::QVS_JOY0_NEUTRAL), 25);
}

TEST_F(FrmJoySelTest, OkStoresTheFourteenParametersAndRedrawsThePage)
{
    OpenFor(1);
    FrmJoySel* d = Dialog();
    EXPECT_EQ(d->LblAxisNum->text(), "JOY 2");
    d->JCar->setCurrentIndex(1);
    d->CmbJoyInversion->setCurrentIndex(0);
    d->ChkUpEn->setChecked(true);
    d->ChkUpJoyNeutral->setChecked(true);
    d->ChkNeutralNeed->setChecked(false);
    d->CmbPinL->setCurrentIndex(3);
    // Nothing reaches the parameters before OK.
    EXPECT_EQ(Display(Key::QVS_JOY1_AN_INPUT), 2);
    EXPECT_TRUE(Unchanged());
    QTest::mouseClick(d->CmdOk, Qt::LeftButton);
    EXPECT_FALSE(d->isVisible());
    EXPECT_FALSE(Unchanged());
    const std::array<int32_t, 14> expected = {1, 1, 170, 170, 4, 0, 41, 511, 255, 767, 122, 900, 0x11, 2};
    const auto keys = config::JoyParameterKeys(1);
    for (size_t i = 0; i < keys.size(); ++i) {
        EXPECT_EQ(Rec(keys[i]).QvsDisplayValueE2, expected[i]) << KeyText(keys[i]);
        EXPECT_EQ(Rec(keys[i]).QvsDownloadValueE2, expected[i]) << KeyText(keys[i]);
    }
    // Input 1 is untouched, the page shows input 2's new pin.
    EXPECT_EQ(Display(Key::QVS_JOY0_AN_INPUT), 1);
    EXPECT_EQ(page->LblPin[1]->text(), "C2.04 (AI_3)");
}

TEST_F(FrmJoySelTest, IncompatibleReferenceBlocksOkUnlessTheAssistanceOverrides)
{
    const QString error = "INPUT C2.03 (AI_2) IS NOT COMPATIBLE WITH VOLTAGE RANGE Vbb (battery supply)";
    OpenFor(1);
    FrmJoySel* d = Dialog();
    d->JVoltageRange->setCurrentIndex(1);
    EXPECT_EQ(d->LblJoyCode->text(), "CUSTOM");
    EXPECT_EQ(d->JoyCheckData(), error);
    QTest::mouseClick(d->CmdOk, Qt::LeftButton);
    ASSERT_EQ(dialogs.Boxes.size(), 1u);
    EXPECT_EQ(dialogs.Boxes[0].Text, error);
    EXPECT_EQ(dialogs.Boxes[0].Title, "CONFIGURATION ERROR");
    EXPECT_EQ(dialogs.Boxes[0].Icon, MessageIcon::Critical);
    EXPECT_FALSE(dialogs.Boxes[0].Question);
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(Display(Key::QVS_JOY_1_CONFIG), 1); // nothing stored
    EXPECT_FALSE(Unchanged());

    context->Shell.SetAssistanceLoggedIn(true);
    QTest::mouseClick(d->CmdOk, Qt::LeftButton); // answered No
    ASSERT_EQ(dialogs.Boxes.size(), 2u);
    EXPECT_EQ(dialogs.Boxes[1].Text, error + "\rCONTINUE ANYWAY ?");
    EXPECT_EQ(dialogs.Boxes[1].Title, "CONFIGURATION ERROR");
    EXPECT_EQ(dialogs.Boxes[1].Icon, MessageIcon::Warning);
    EXPECT_TRUE(dialogs.Boxes[1].Question);
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(Display(Key::QVS_JOY_1_CONFIG), 1);

    dialogs.Answers.push_back(true);
    QTest::mouseClick(d->CmdOk, Qt::LeftButton);
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(Display(Key::QVS_JOY_1_CONFIG), 2);
    EXPECT_EQ(Display(Key::QVS_JOY_1_ID), 20);
}

TEST_F(FrmJoySelTest, DigitalInputOnTwoPins)
{
    OpenFor(0);
    FrmJoySel* d = Dialog();
    d->JInputType->setCurrentIndex(3);
    EXPECT_TRUE(d->CmbPinH->isVisible());
    EXPECT_TRUE(d->LblSideA->isVisible());
    EXPECT_EQ(d->LblSideB->text(), "Side B");
    EXPECT_FALSE(d->JCar->isEnabled());
    EXPECT_FALSE(d->JVoltageRange->isEnabled());
    EXPECT_EQ(d->LblJoyCode->text(), "CUSTOM");
    d->CmbPinL->setCurrentIndex(3);
    d->CmbPinH->setCurrentIndex(4);
    QTest::mouseClick(d->CmdOk, Qt::LeftButton);
    EXPECT_EQ(Display(Key::QVS_JOY_0_CONFIG), 16);
    EXPECT_EQ(Display(Key::QVS_JOY0_DGT_INPUT), 0x84);
    EXPECT_EQ(Display(Key::QVS_JOY0_AN_INPUT), 0);
    EXPECT_EQ(page->LblPin[0]->text(), "C2.04 C2.05");

    // Shown again: the stored digital input.
    OpenFor(0);
    EXPECT_EQ(d->JInputType->currentText(), "Digital");
    EXPECT_EQ(d->CmbPinL->currentText(), "C2.04 (AI_3)");
    EXPECT_EQ(d->CmbPinH->currentText(), "C2.05 (AI_4)");
}

TEST_F(FrmJoySelTest, NotConnectedStoresTheNotUsedEntry)
{
    OpenFor(1);
    FrmJoySel* d = Dialog();
    d->JInputType->setCurrentIndex(0);
    EXPECT_EQ(d->LblJoyCode->text(), "NOT USED");
    EXPECT_TRUE(Same(d->ImgJoyDetail->Picture(), d->Pictures().NotUsed));
    EXPECT_FALSE(d->JCar->isEnabled());
    EXPECT_FALSE(d->JVoltageRange->isEnabled());
    QTest::mouseClick(d->CmdOk, Qt::LeftButton);
    EXPECT_EQ(Display(Key::QVS_JOY_1_CONFIG), 0);
    EXPECT_EQ(Display(Key::QVS_JOY_1_ID), Catalogue().NotUsedId);
    EXPECT_EQ(page->JoySel[1]->toolTip(), "NOT USED");
    EXPECT_EQ(page->LblPin[1]->text(), "N.C.");
}

TEST_F(FrmJoySelTest, CancelAndEscapeDropTheWorkingCopy)
{
    OpenFor(0);
    FrmJoySel* d = Dialog();
    d->JCar->setCurrentIndex(2);
    QTest::mouseClick(d->CmdCancel, Qt::LeftButton);
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(Display(Key::QVS_JOY_0_RANGE), 1);
    EXPECT_TRUE(Unchanged());
    OpenFor(0);
    EXPECT_EQ(d->JCar->currentIndex(), 0);
    d->JInputType->setCurrentIndex(0);
    QTest::keyClick(d, Qt::Key_Escape);
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(Display(Key::QVS_JOY_0_CONFIG), 1);

    // Opened for input 2 while open for input 1: input 2's copy.
    OpenFor(0);
    d->JCar->setCurrentIndex(1);
    OpenFor(1);
    EXPECT_EQ(d->LblAxisNum->text(), "JOY 2");
    EXPECT_EQ(d->CmbPinL->currentText(), "C2.03 (AI_2)");
    EXPECT_EQ(d->JCar->currentIndex(), 0);
    EXPECT_EQ(d->Selection().Input(), 1);
}

TEST_F(FrmJoySelTest, BalloonTooltipsAndF1)
{
    FrmJoySel* d = Dialog();
    const int k = Pos(3);
    const CJoyData& e = Catalogue().Entries[size_t(k)];
    clsTooltips* tip = d->Balloon(d->PicJoy[size_t(k)]);
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(tip->Style(), clsTooltips::BalloonStyle);
    EXPECT_EQ(tip->Title(), "JS2-XY");
    EXPECT_EQ(tip->TipText(), QString::fromStdString("\r\n" + e.DescrLine1 + "\r\n" + e.DescrLine2 + "\r\n" +
                                                     e.DescrLine3 + "\r\n" + e.DescrLine4));
    EXPECT_EQ(d->Balloon(d->PicJoy[size_t(Catalogue().Size())]), nullptr); // an empty slot has none

    tip = d->Balloon(d->TxtStartUp);
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(tip->Title(), "Joy neutral at start up");
    EXPECT_EQ(tip->TipText(), "\r\nAt start up, in order to enable the output,\r\n the corresponding input signal must "
                              "be in neutral.\r\n");
    tip = d->Balloon(d->TxtRealtime);
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(tip->Title(), "Joy neutral at run time");
    EXPECT_EQ(tip->TipText(), "\r\nDuring run time, if man present switch is released while input signal is out of "
                              "neutral,\r\n in order to reactivate the output is requested to return the "
                              "corresponding input signal in neutral.\r\n");
    for (QLabel* t : {d->TxtDM, d->TxtRealtime, d->TxtStartUp})
        EXPECT_EQ(t->palette().color(QPalette::Window), QApplication::palette().color(QPalette::Button));
    EXPECT_EQ(d->TxtStartUp->text(), "Wait for joystick neutral at start utp");

    // F1 anywhere in the dialog: manual page 13.
    OpenFor(0);
    EXPECT_EQ(ManualKey::PageFor(d->JCar), 13);
    std::vector<int> pages;
    ManualKey key([&](int p) { pages.push_back(p); });
    qApp->installEventFilter(&key);
    d->JInputType->setFocus();
    QTest::keyClick(d->JInputType, Qt::Key_F1);
    qApp->removeEventFilter(&key);
    EXPECT_EQ(pages, std::vector<int>{13});
}

// Program folders with a missing or an overlong joystick list.
class JoyListFaultTest : public JoySelFixture {
protected:
    void OpenWith(const QByteArray* list)
    {
        // The build's pictures, the shipped catalogue, and the list given.
        QDir().mkpath(folder.File(QStringLiteral("res/bmp/joy")));
        const QString art = QStringLiteral(QVS_BIN_DIR "/res/bmp/joy");
        for (const QString& f : QDir(art).entryList(QDir::Files))
            QFile::copy(art + QLatin1Char('/') + f, folder.File(QStringLiteral("res/bmp/joy/") + f));
        QFile::remove(folder.File(QStringLiteral("res/ini/JoylistNew.ini")));
        if (list)
            folder.Write(QStringLiteral("res/ini/JoylistNew.ini"), *list);
        dialogs.Boxes.clear();
        Open(folder.Path());
    }
    TestProgramFolder folder;
};

TEST_F(JoyListFaultTest, MissingListIsReportedAndTheGalleryIsEmpty)
{
    OpenWith(nullptr);
    EXPECT_EQ(dialogs.Texts(), QStringList({"'JoyList.ini' file NOT FOUND or CORRUPTED"}));
    EXPECT_EQ(Catalogue().Size(), 0);
    OpenFor(0);
    FrmJoySel* d = Dialog();
    for (int k = 0; k < FrmJoySel::GallerySlots; ++k)
        EXPECT_FALSE(d->PicJoy[size_t(k)]->isEnabled());
    EXPECT_TRUE(Same(d->ImgJoyDetail->Picture(), d->Pictures().Unknown));
    // The page draws empty input pictures; OK still stores the input.
    EXPECT_TRUE(page->JoySel[0]->Picture().isNull());
    d->JInputType->setCurrentIndex(0);
    QTest::mouseClick(d->CmdOk, Qt::LeftButton);
    EXPECT_EQ(Display(Key::QVS_JOY_0_CONFIG), 0);
    EXPECT_EQ(Display(Key::QVS_JOY_0_ID), 0); // no not-used entry: identifier 0
    EXPECT_EQ(dialogs.Boxes.size(), 1u);
}

TEST_F(JoyListFaultTest, OverlongListIsReportedOnceAndCutAtSeventeen)
{
    QByteArray list = "header\r\n";
    for (int i = 1; i <= 19; ++i)
        list += "JOY1AX\tJ" + QByteArray::number(i) + "\t\t\t\t\t1\t1\t" + QByteArray::number(i) + "\t257\t0\r\n";
    OpenWith(&list);
    EXPECT_EQ(dialogs.Texts(), QStringList({FrmJoySel::ListTooLong}));
    EXPECT_EQ(Catalogue().Size(), 17);
    OpenFor(0);
    OpenFor(1);
    EXPECT_EQ(dialogs.Boxes.size(), 1u);
    EXPECT_EQ(Dialog()->lblJoy[16]->text(), "J17");
    EXPECT_TRUE(Dialog()->PicJoy[16]->isEnabled());
}

} // namespace
