// The solenoid and dither dialog and the page's frequency labels.
#include "ConfigTestSupport.h"

#include "gui/pages/config/FrmMagSel.h"
#include "gui/pages/config/NumericField.h"
#include "gui/shell/ManualViewer.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

namespace {

class FrmMagSelTest : public ConfigPageFixture {
protected:
    FrmMagSel* Open()
    {
        QTest::mouseClick(page->MagSel[0], Qt::LeftButton);
        FrmMagSel* d = page->MagSelDialog();
        return d->isVisible() ? d : nullptr;
    }
    CVarDataS& Freq() { return Rec(Key::QVS_DITHER_FREQ); }
    QStringList Labels() const
    {
        QStringList l;
        for (QLabel* f : page->LblFreq)
            l << f->text();
        return l;
    }
};

TEST_F(FrmMagSelTest, OpensOnlyWhenDitherEditingIsAllowed)
{
    Read(Key::QVS_DITHER_EDIT, 0);
    EXPECT_EQ(Open(), nullptr);
    page->lblMag[0]->setFocus();
    QTest::keyClick(page->lblMag[0], Qt::Key_Return);
    EXPECT_FALSE(page->MagSelDialog()->isVisible());

    Read(Key::QVS_DITHER_EDIT, 170);
    FrmMagSel* d = Open();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->windowTitle(), "Dither Settings");
    EXPECT_FALSE(d->isModal());
    EXPECT_FALSE(d->ImgMag[0]->Picture().isNull());
    EXPECT_FALSE(d->TxtDitherAmp->isEnabled());
    // Clicking a slow-mode solenoid does nothing.
    d->hide();
    page->SSTab1->setTabEnabled(1, true);
    page->SSTab1->setCurrentIndex(1);
    QTest::mouseClick(page->MagSelsdm[0], Qt::LeftButton);
    EXPECT_FALSE(d->isVisible());
}

TEST_F(FrmMagSelTest, TheListStoresTheFrequencyCode)
{
    Read(Key::QVS_DITHER_FREQ, 0);
    page->RefreshObject();
    EXPECT_EQ(Labels(), QStringList({"150 Hz", "150 Hz", "150 Hz", "150 Hz"}));
    FrmMagSel* d = Open();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->cmbDither->count(), 17);
    EXPECT_EQ(d->cmbDither->currentText(), "150");
    EXPECT_EQ(d->hscDitherFreq->maximum(), Freq().CedValE2Max);
    EXPECT_EQ(d->TxtDitherFreq->toolTip(), QString::fromStdString(Freq().TooltipDecription));

    d->cmbDither->setCurrentIndex(0);
    EXPECT_EQ(Freq().QvsDownloadValueE2, 9);
    EXPECT_EQ(d->TxtDitherFreq->text(), "9");
    d->cmbDither->setCurrentIndex(16);
    EXPECT_EQ(Freq().QvsDownloadValueE2, 8);
    d->cmbDither->setCurrentIndex(8);
    EXPECT_EQ(Freq().QvsDownloadValueE2, 0);

    // A code typed within the range is stored; the list follows it.
    context->Shell.SetParamsUnchanged(true);
    d->TxtDitherFreq->setFocus();
    d->TxtDitherFreq->selectAll();
    QTest::keyClicks(d->TxtDitherFreq, "3");
    EXPECT_EQ(Freq().QvsDownloadValueE2, 3);
    EXPECT_EQ(d->cmbDither->currentText(), "180");
    EXPECT_TRUE(Unchanged()); // only OK marks the edit

    QTest::mouseClick(d->CmdOk, Qt::LeftButton);
    EXPECT_FALSE(d->isVisible());
    EXPECT_FALSE(Unchanged());
    EXPECT_EQ(Labels(), QStringList({"180 Hz", "180 Hz", "180 Hz", "180 Hz"}));
    EXPECT_EQ(Freq().QvsDownloadValueE2, 3);
}

TEST_F(FrmMagSelTest, CancelRestoresTheCodeOfTheShowing)
{
    Read(Key::QVS_DITHER_FREQ, 2); // 170 Hz
    page->RefreshObject();
    FrmMagSel* d = Open();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->RememberedCode(), 2);
    d->cmbDither->setCurrentIndex(13); // "200"
    EXPECT_EQ(Freq().QvsDownloadValueE2, 5);
    QTest::mouseClick(d->CmdCancel, Qt::LeftButton);
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(Freq().QvsDownloadValueE2, 2);
    EXPECT_EQ(Labels(), QStringList({"170 Hz", "170 Hz", "170 Hz", "170 Hz"}));

    // Escape (or closing the window) is Cancel too.
    d = Open();
    ASSERT_NE(d, nullptr);
    d->cmbDither->setCurrentIndex(0);
    QTest::keyClick(d, Qt::Key_Escape);
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(Freq().QvsDownloadValueE2, 2);

    // The dialog is not modal: a Read while it is open brings the
    // controller's code, and Cancel does not put the old one back over it.
    d = Open();
    ASSERT_NE(d, nullptr);
    d->cmbDither->setCurrentIndex(13);
    Read(Key::QVS_DITHER_FREQ, 7);
    QTest::mouseClick(d->CmdCancel, Qt::LeftButton);
    EXPECT_EQ(Freq().QvsDownloadValueE2, 7);
}

TEST_F(FrmMagSelTest, CodesOutsideTheTableAndBadTexts)
{
    // A code outside the table shows as 150 Hz; opening the dialog changes nothing.
    Freq().QvsDownloadValueE2 = 17;
    page->RefreshObject();
    EXPECT_EQ(page->LblFreq[0]->text(), "150 Hz");
    FrmMagSel* d = Open();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->cmbDither->currentText(), "150");
    EXPECT_EQ(d->TxtDitherFreq->text(), "17");
    EXPECT_TRUE(d->DitherField()->IsInvalid());
    EXPECT_EQ(Freq().QvsDownloadValueE2, 17);

    // Enter on a code out of range asks with the controller value, no formula.
    Freq().CedValueE2 = 4;
    Freq().F_DownloadToDisplay = "X*10";
    d->TxtDitherFreq->setFocus();
    dialogs.Answers = {true};
    QTest::keyClick(d->TxtDitherFreq, Qt::Key_Return);
    ASSERT_FALSE(dialogs.Boxes.empty());
    EXPECT_EQ(dialogs.Boxes.back().Text, "Value Not Correct : Restore With '4' ?");
    EXPECT_EQ(d->TxtDitherFreq->text(), "4");
    EXPECT_EQ(Freq().QvsDownloadValueE2, 4);

    // A lone "." stores nothing and does not stop the dialog.
    d->TxtDitherFreq->selectAll();
    QTest::keyClicks(d->TxtDitherFreq, ".");
    EXPECT_EQ(d->DitherField()->CurrentState(), NumericField::State::NotANumber);
    EXPECT_EQ(Freq().QvsDownloadValueE2, 4);
    QTest::mouseClick(d->CmdCancel, Qt::LeftButton);
    EXPECT_EQ(Freq().QvsDownloadValueE2, 17);
}

TEST_F(FrmMagSelTest, F1OpensTheManualAtPage18)
{
    FrmMagSel* d = Open();
    ASSERT_NE(d, nullptr);
    d->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(d));
    ManualKey key([this](int p) { shell->OpenManual(p); });
    qApp->installEventFilter(&key);
    d->cmbDither->setFocus();
    QTest::keyClick(d->cmbDither, Qt::Key_F1);
    qApp->removeEventFilter(&key);
    EXPECT_EQ(shell->ManualPages, std::vector<int>{18});
}

} // namespace
