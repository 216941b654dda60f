// The Configure page: filling from the parameter table, the selection
// handlers and what they store, the write checks, the pin labels, the model
// drawing, the palette, the status share and the page protocol.
#include "ConfigTestSupport.h"

#include "controls/CSection.h"
#include "gui/pages/config/ConfigWidgets.h"
#include "gui/pages/config/FrmMagSel.h"
#include "gui/shell/ManualViewer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTabWidget>


namespace {

class FrmConfigTest : public ConfigPageFixture {};

QStringList Entries(const QComboBox* list)
{
    QStringList e;
    for (int i = 0; i < list->count(); ++i)
        e << list->itemText(i);
    return e;
}

TEST_F(FrmConfigTest, ControlsCarryTheirDesignNames)
{
    ASSERT_TRUE(catalogueFailure.empty());
    for (const char* name : {"CmbDRCType", "CmbDRCSysType", "ImgCED", "JoySel_0", "lblJoy_1", "JoyFocus_0", "LblPin_1",
                             "MagA_0", "MagB_1", "MagAsdm_0", "MagBsdm_1", "MagSel_0", "lblMag_1", "MagFocus_0",
                             "MagSelsdm_1", "LblFreq_3", "LblMin", "lblMax", "Label4", "Label5", "lblCurrent_0",
                             "lblCurrentsdm_1", "SSTab1", "ChkFull_0", "ChkBreak_1", "RampA_0", "RampB_1",
                             "TxtTRise_3", "hscTRise_0", "TxtTFall_2", "hscTFall_1", "Label1", "Label2", "Label3",
                             "lblUnit1TR_0", "lblUnit2TF_1", "CmbDMPin", "CmbSlowPin", "SSTab2", "CmbFloatPin_1",
                             "CmbFloatMagnet_0", "TxtFloatCurrent_1", "hscFloatCurrent_0", "lblFloatCur_0",
                             "CmbAIRange", "Label6", "Cmb2BProp", "Label7", "lblSectionDesc_0", "lblJoyDesc_1",
                             "Line0", "Line1"})
        EXPECT_NE(page->findChild<QWidget*>(QLatin1String(name)), nullptr) << name;

    QStringList tabs;
    for (int i = 0; i < page->SSTab1->count(); ++i)
        tabs << page->SSTab1->tabText(i);
    EXPECT_EQ(tabs, QStringList({"CURRENTS", "CURRENTS SLOW", "RAMPS"}));
    EXPECT_EQ(Entries(page->CmbDMPin),
              QStringList({"Not Connected", "C2.02 (AI_1)", "C2.03 (AI_2)", "C2.04 (AI_3)", "C2.05 (AI_4)"}));
    EXPECT_EQ(Entries(page->CmbAIRange), QStringList({"5V", "10V"}));
    EXPECT_EQ(Entries(page->Cmb2BProp), QStringList({"OFF", "ON"}));
    EXPECT_EQ(page->FrameDMPin->title(), "Man Present Input Pin");
    EXPECT_EQ(page->FrameSlowPin->title(), "Slow Input Pin");
    EXPECT_EQ(page->FrameFloat->title(), "Floating");
    EXPECT_EQ(page->windowTitle(), "Configure");
    EXPECT_EQ(page->ReadKey(), 10);
    EXPECT_EQ(page->WriteKey(), 11);
    EXPECT_EQ(page->MagA[0]->SectionName(), "1A");
    EXPECT_EQ(page->MagBsdm[1]->SectionName(), "2B");
    // The pictures of the build are there and shown.
    EXPECT_FALSE(page->ValvePicture().isNull());
    EXPECT_FALSE(page->SolenoidPicture().isNull());
    EXPECT_EQ(page->MagSel[0]->toolTip(), "Dither Settings");
    EXPECT_EQ(page->ImgCED->toolTip(), "RSV200");
    EXPECT_EQ(page->JoySel[0]->cursor().shape(), Qt::BitmapCursor);
}

TEST_F(FrmConfigTest, RefreshSelectsPinsAndTheHandlersStoreThem)
{
    // The dead-man pin 0x14: entry "C2.04 (AI_3)", and the handler keeps the pin code only.
    Read(Key::QVS_DEAD_MAN_CFG, 0x0014);
    // Float 1 on AI_2, float 2 on AI_4, slow on AI_1, float 1 on side B.
    Read(Key::QVS_FLOAT_SLOW_CONFIG, 0x1822);
    page->RefreshObject();
    EXPECT_EQ(page->CmbDMPin->currentText(), "C2.04 (AI_3)");
    EXPECT_EQ(Rec(Key::QVS_DEAD_MAN_CFG).QvsDisplayValueE2, 4);
    EXPECT_EQ(Rec(Key::QVS_DEAD_MAN_CFG).QvsDownloadValueE2, 4);
    EXPECT_EQ(page->CmbFloatPin[0]->currentText(), "C2.03 (AI_2)");
    EXPECT_EQ(page->CmbFloatPin[1]->currentText(), "C2.05 (AI_4)");
    EXPECT_EQ(page->CmbSlowPin->currentText(), "C2.02 (AI_1)");
    EXPECT_EQ(page->CmbFloatMagnet[0]->currentText(), "Float - 1B");
    EXPECT_EQ(page->CmbFloatMagnet[1]->currentText(), "OFF");
    EXPECT_EQ(Rec(Key::QVS_FLOAT_SLOW_CONFIG).QvsDisplayValueE2, 0x1822);
    EXPECT_FALSE(Unchanged());

    // A code that names no entry selects nothing and is left as it is.
    Read(Key::QVS_DEAD_MAN_CFG, 0x000F);
    page->RefreshObject();
    EXPECT_EQ(page->CmbDMPin->currentIndex(), -1);
    EXPECT_EQ(Rec(Key::QVS_DEAD_MAN_CFG).QvsDisplayValueE2, 0x000F);

    // System type 2 leaves the list where the drawing put it.
    Read(Key::QVS_SYSTEM_TYPE, 1);
    page->RefreshObject();
    EXPECT_EQ(page->CmbDRCSysType->currentText(), "P");
    Rec(Key::QVS_SYSTEM_TYPE).QvsDisplayValueE2 = 2;
    page->RefreshData();
    EXPECT_EQ(page->CmbDRCSysType->currentText(), "P");
}

TEST_F(FrmConfigTest, PinSelectionsSetTheirBits)
{
    CVarDataS& fs = Rec(Key::QVS_FLOAT_SLOW_CONFIG);
    page->CmbDMPin->setCurrentIndex(2);
    EXPECT_EQ(Rec(Key::QVS_DEAD_MAN_CFG).QvsDisplayValueE2, 2);
    EXPECT_FALSE(Unchanged());

    page->CmbFloatPin[1]->setCurrentIndex(4);
    EXPECT_EQ(fs.QvsDisplayValueE2, 0x0800);
    EXPECT_TRUE(page->CmbFloatMagnet[1]->isEnabled());
    page->CmbFloatMagnet[1]->setCurrentIndex(2);
    EXPECT_EQ(fs.QvsDisplayValueE2, 0x0808);
    page->CmbSlowPin->setCurrentIndex(1);
    EXPECT_EQ(fs.QvsDisplayValueE2, 0x1808);
    EXPECT_EQ(fs.QvsDownloadValueE2, 0x1808);

    // "Not Connected" on float 2 turns its side off and locks it.
    page->CmbFloatPin[1]->setCurrentIndex(0);
    EXPECT_EQ(fs.QvsDisplayValueE2, 0x1000);
    EXPECT_EQ(page->CmbFloatMagnet[1]->currentIndex(), 0);
    EXPECT_FALSE(page->CmbFloatMagnet[1]->isEnabled());
    EXPECT_FALSE(page->TxtFloatCurrent[1]->isEnabled());
    EXPECT_FALSE(page->hscFloatCurrent[1]->isEnabled());
}

TEST_F(FrmConfigTest, TheSlowPinUnlocksTheSlowCurrents)
{
    EXPECT_FALSE(page->SSTab1->isTabEnabled(1));
    page->CmbSlowPin->setCurrentIndex(3);
    EXPECT_TRUE(page->SSTab1->isTabEnabled(1));
    page->SSTab1->setCurrentIndex(1);
    EXPECT_TRUE(page->MagAsdm[0]->isVisible());

    page->CmbSlowPin->setCurrentIndex(0);
    EXPECT_FALSE(page->SSTab1->isTabEnabled(1));
    EXPECT_NE(page->SSTab1->currentIndex(), 1);

    // A slow pin already chosen when the page is created: the tab is usable.
    Read(Key::QVS_FLOAT_SLOW_CONFIG, 0x4000);
    CreatePage();
    EXPECT_EQ(page->CmbSlowPin->currentText(), "C2.04 (AI_3)");
    EXPECT_TRUE(page->SSTab1->isTabEnabled(1));
}

TEST_F(FrmConfigTest, FloatSideOffLocksTheCurrentFields)
{
    Read(Key::QVS_FLOAT_SLOW_CONFIG, 0x0011); // float 1 on AI_1, side A
    page->RefreshObject();
    EXPECT_EQ(Entries(page->CmbFloatMagnet[0]), QStringList({"OFF", "Float - 1A", "Float - 1B"}));
    EXPECT_EQ(Entries(page->CmbFloatMagnet[1]), QStringList({"OFF", "Float - 2A", "Float - 2B"}));
    EXPECT_EQ(page->CmbFloatMagnet[0]->currentText(), "Float - 1A");
    EXPECT_TRUE(page->TxtFloatCurrent[0]->isEnabled());
    EXPECT_TRUE(page->hscFloatCurrent[0]->isEnabled());
    EXPECT_FALSE(page->TxtFloatCurrent[1]->isEnabled());

    page->CmbFloatMagnet[0]->setCurrentIndex(0);
    EXPECT_FALSE(page->TxtFloatCurrent[0]->isEnabled());
    EXPECT_FALSE(page->hscFloatCurrent[0]->isEnabled());
    EXPECT_EQ(Rec(Key::QVS_FLOAT_SLOW_CONFIG).QvsDisplayValueE2, 0x0010);

    // Back on side A, then the pin "Not Connected": side OFF and bits 0-1 cleared.
    page->CmbFloatMagnet[0]->setCurrentIndex(1);
    EXPECT_TRUE(page->TxtFloatCurrent[0]->isEnabled());
    page->CmbFloatPin[0]->setCurrentIndex(0);
    EXPECT_EQ(page->CmbFloatMagnet[0]->currentText(), "OFF");
    EXPECT_FALSE(page->CmbFloatMagnet[0]->isEnabled());
    EXPECT_FALSE(page->TxtFloatCurrent[0]->isEnabled());
    EXPECT_EQ(Rec(Key::QVS_FLOAT_SLOW_CONFIG).QvsDisplayValueE2, 0);
}

TEST_F(FrmConfigTest, WriteChecksReportTheDisplayValues)
{
    Rec(Key::QVS_JOY_0_CONFIG).QvsDisplayValueE2 = 1;
    Rec(Key::QVS_JOY0_AN_INPUT).QvsDisplayValueE2 = 2;
    Rec(Key::QVS_JOY1_AN_INPUT).QvsDisplayValueE2 = 1;
    Rec(Key::QVS_DEAD_MAN_CFG).QvsDisplayValueE2 = 2;
    Rec(Key::QVS_FLOAT_SLOW_CONFIG).QvsDisplayValueE2 = 0;
    EXPECT_EQ(page->CheckDataToWrite(), QStringLiteral("C2.03 (AI_2) : PIN ALREADY USED\r"));
    EXPECT_EQ(page->CheckFloatPinToWrite(), QString());

    Rec(Key::QVS_DEAD_MAN_CFG).QvsDisplayValueE2 = 0;
    Rec(Key::QVS_FLOAT_SLOW_CONFIG).QvsDisplayValueE2 = 0x0440; // both floats on AI_3
    EXPECT_EQ(page->CheckDataToWrite(), QString());
    EXPECT_EQ(page->CheckFloatPinToWrite(), QStringLiteral("C2.04 (AI_3) : SAME PIN USED FOR MORE FLOAT FUNCTIONS \r"));
}

TEST_F(FrmConfigTest, PinLabelsShowTheInputsPins)
{
    Rec(Key::QVS_JOY_0_CONFIG).QvsDisplayValueE2 = 16;
    Rec(Key::QVS_JOY0_DGT_INPUT).QvsDisplayValueE2 = 0x81;
    Rec(Key::QVS_JOY_1_CONFIG).QvsDisplayValueE2 = 2;
    Rec(Key::QVS_JOY1_AN_INPUT).QvsDisplayValueE2 = 2;
    page->RefreshObject();
    EXPECT_EQ(page->LblPin[0]->text(), "C2.02 C2.05");
    EXPECT_EQ(page->LblPin[0]->toolTip(), "C2.02 (AI_1) C2.05 (AI_4)");
    EXPECT_EQ(page->LblPin[1]->text(), "C2.03 (AI_2)");

    Rec(Key::QVS_JOY0_DGT_INPUT).QvsDisplayValueE2 = 0x01;
    Rec(Key::QVS_JOY_1_CONFIG).QvsDisplayValueE2 = 0;
    page->DrawJoyPinLabel(page->LblPin[0], 1);
    page->DrawJoyPinLabel(page->LblPin[1], 2);
    EXPECT_EQ(page->LblPin[0]->text(), "C2.02 N.C.");
    EXPECT_EQ(page->LblPin[1]->text(), "N.C.");
    EXPECT_EQ(page->LblPin[1]->toolTip(), "Not Connected");
}

TEST_F(FrmConfigTest, TheModelShowsItsSections)
{
    Read(Key::QVS_NUM_PROP_REG, 1);
    page->RefreshObject();
    EXPECT_TRUE(page->MagA[0]->isVisibleTo(page.get()));
    EXPECT_FALSE(page->MagA[1]->isVisibleTo(page.get()));
    EXPECT_TRUE(page->RampB[1]->isHidden());
    EXPECT_FALSE(page->JoySel[1]->isVisibleTo(page.get()));
    EXPECT_FALSE(page->Lines[1]->isVisibleTo(page.get()));
    EXPECT_TRUE(page->SSTab2->isTabEnabled(0));
    EXPECT_FALSE(page->SSTab2->isTabEnabled(1));
    EXPECT_FALSE(page->CmbDRCType->isVisibleTo(page.get()));
    EXPECT_FALSE(page->CmbDRCSysType->isVisibleTo(page.get()));
    EXPECT_EQ(page->CmbDRCType->currentIndex(), 0);

    Read(Key::QVS_NUM_PROP_REG, 2);
    page->RefreshObject();
    EXPECT_TRUE(page->MagB[1]->isVisibleTo(page.get()));
    EXPECT_FALSE(page->ChkBreak[1]->isHidden()); // on the RAMPS tab, not shown now
    EXPECT_FALSE(page->MagA[2]->isVisibleTo(page.get()));
    EXPECT_TRUE(page->SSTab2->isTabEnabled(1));
    EXPECT_FALSE(page->SSTab2->isTabEnabled(2));

    // Four sections: all columns; the float sides offer "OFF" only.
    Read(Key::QVS_NUM_PROP_REG, 4);
    page->RefreshObject();
    EXPECT_TRUE(page->MagA[3]->isVisibleTo(page.get()));
    EXPECT_FALSE(page->MagA[3]->isEnabled()); // no parameters behind it
    EXPECT_EQ(Entries(page->CmbFloatMagnet[0]), QStringList({"OFF"}));

    // A solenoid of type 2 has no picture and no name.
    Read(Key::QVS_SOL_TYPE, 2);
    page->RefreshObject();
    EXPECT_TRUE(page->MagSel[0]->Picture().isNull());
    EXPECT_EQ(page->MagSel[0]->toolTip(), QString());
}

TEST_F(FrmConfigTest, SectionEditsMarkTheParametersChanged)
{
    auto* min = page->MagA[0]->findChild<QLineEdit*>(QStringLiteral("txtTMin"));
    ASSERT_NE(min, nullptr);
    min->setText(QStringLiteral("450"));
    EXPECT_EQ(Rec(Key::QVS_I0_MIN).QvsDisplayValueE2, 450);
    EXPECT_EQ(Rec(Key::QVS_I0_MIN).QvsDownloadValueE2, 450);
    EXPECT_FALSE(Unchanged());
    EXPECT_EQ(page->MagA[0]->CaricaMin(), &Rec(Key::QVS_I0_MIN));
}

TEST_F(FrmConfigTest, RefreshColourAppliesThePalette)
{
    context->Palette.Back = {0x0000FF, 0x00FF00, static_cast<int32_t>(0x80000005u), 0};
    context->Palette.Text = {0xFFFFFF, 0x000000, static_cast<int32_t>(0x80000008u), 0xFFFFFF};
    page->RefreshColour();
    using configui::BackColour;
    using configui::TextColour;
    EXPECT_EQ(page->MagA[0]->BackColor(), 0x0000FF);
    EXPECT_EQ(page->MagBsdm[1]->FontColor(), 0x000000);
    EXPECT_EQ(BackColour(page->lblCurrent[0]), QColor(255, 0, 0));
    EXPECT_EQ(BackColour(page->lblJoy[1]), QColor(0, 255, 0));
    EXPECT_EQ(BackColour(page->ChkBreak[0]), QColor(255, 0, 0));
    EXPECT_EQ(TextColour(page->LblFreq[0]), QColor(255, 255, 255));
    EXPECT_EQ(TextColour(page->LblPin[1]), QColor(0, 0, 0));
    EXPECT_EQ(BackColour(page->Lines[0]), QColor(255, 0, 0));
    EXPECT_EQ(BackColour(page->Lines[1]), QColor(0, 255, 0));
    // The ramp text boxes inside the coloured frames keep the system colours.
    EXPECT_EQ(page->TxtTRise[0]->palette().color(QPalette::Base), QApplication::palette().color(QPalette::Base));
}

TEST_F(FrmConfigTest, StatusShareF1AndUnload)
{
    page->DrawBar(shell->StatusBar(), shell->ProgressBar(), QString());
    EXPECT_TRUE(shell->StatusBar().PanelText(3).startsWith("v. "));
    EXPECT_EQ(shell->TxtPar().text(), "---");
    context->Shell.SetConnectionState(Connected);
    page->DrawBar(shell->StatusBar(), shell->ProgressBar(), QString());
    EXPECT_EQ(shell->TxtPar().text(), "PARAMETER OK");
    EXPECT_EQ(shell->TxtConnect().text(), "Connected");

    // F1 anywhere on the page: manual page 10.
    ManualKey key([this](int p) { shell->OpenManual(p); });
    qApp->installEventFilter(&key);
    page->CmbDMPin->setFocus();
    QTest::keyClick(page->CmbDMPin, Qt::Key_F1);
    qApp->removeEventFilter(&key);
    EXPECT_EQ(shell->ManualPages, std::vector<int>{10});

    shell->ExitCancels = true;
    EXPECT_TRUE(page->QueryUnload());
    shell->ExitCancels = false;
    EXPECT_FALSE(page->QueryUnload());
    EXPECT_EQ(shell->ExitCalls, 2);
}

TEST_F(FrmConfigTest, EnterOnTheInputLabelOpensTheInputSelection)
{
    std::vector<int> opened;
    page->ShowJoySel = [&](int i) { opened.push_back(i); };
    QTest::mouseClick(page->JoySel[1], Qt::LeftButton);
    page->lblJoy[0]->setFocus();
    EXPECT_TRUE(page->JoyFocus[0]->isVisible());
    QTest::keyClick(page->lblJoy[0], Qt::Key_Return);
    EXPECT_EQ(opened, (std::vector<int>{1, 0}));
    page->CmbDMPin->setFocus();
    EXPECT_FALSE(page->JoyFocus[0]->isVisible());
}

// A catalogue without most of the page's keys: the page still works.
TEST_F(FrmConfigTest, APartialCatalogueNeverStopsThePage)
{
    TestProgramFolder folder;
    QFile full(QStringLiteral(QVS_SOURCE_DIR "/res/ini/Ramlist.ini"));
    ASSERT_TRUE(full.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = full.readAll().split('\n');
    QByteArray partial;
    for (const QByteArray& l : lines)
        if (l.startsWith(';') || l.contains("QVS_NUM_PROP_REG") || l.contains("QVS_I0_MIN") ||
            l.contains("QVS_RAMP_TRISE_0") || l.contains("QVS_DITHER_EDIT"))
            partial += l + '\n';
    folder.Write(QStringLiteral("res/ini/Ramlist.ini"), partial);
    Open(folder.Path());
    ASSERT_TRUE(catalogueFailure.empty());
    ASSERT_EQ(context->Table.Record(Key::QVS_DEAD_MAN_CFG), nullptr);

    page->RefreshObject();
    page->CmbDMPin->setCurrentIndex(3);
    page->CmbFloatPin[0]->setCurrentIndex(2);
    page->CmbFloatMagnet[0]->setCurrentIndex(1);
    page->CmbSlowPin->setCurrentIndex(1);
    page->ChkFull[0]->setChecked(true);
    page->SSTab1->setCurrentIndex(2);
    QTest::keyClicks(page->TxtTFall[0], "123");
    QTest::mouseClick(page->MagSel[0], Qt::LeftButton);
    EXPECT_FALSE(page->MagA[0]->isEnabled()); // the maximum record is missing
    EXPECT_FALSE(page->TxtTFall[0]->isEnabled());
    EXPECT_TRUE(page->TxtTRise[0]->isEnabled());
    EXPECT_EQ(page->UpdateDitherFreq(), "---");
    EXPECT_EQ(page->LblFreq[0]->text(), "--- Hz");
    EXPECT_EQ(page->CheckDataToWrite(), QString());
    page->RefreshColour();
}

// The page inside the real main window: tab "A1", F1 through the window's key.
TEST(ConfigPageInMainWindow, IsTheFirstPage)
{
    TestApp();
    TestProgramFolder folder;
    folder.Write(QStringLiteral("QVSMANUAL.pdf"), "%PDF-1.4\n");
    ScriptedDialogs dialogs;
    CoreContext context(folder.Path(), NoAdapter());
    frmMain window(context, &dialogs);
    int manualPage = 0;
    window.ManualOpener = [&](const QString&, int p, const QString&) { manualPage = p; };
    window.EndProgram = [] {};
    window.SelectTab(0);
    auto* config = qobject_cast<FrmConfig*>(window.ActivePage());
    ASSERT_NE(config, nullptr);
    EXPECT_EQ(config->Tag(), "A1");
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    config->CmbSlowPin->setFocus();
    QTest::keyClick(config->CmbSlowPin, Qt::Key_F1);
    EXPECT_EQ(manualPage, 10);
    // The page fits the window's page area.
    EXPECT_LE(config->SSTab1->geometry().bottom(), config->height() + 2);
}

// With QVS_CONFIG_SCREENSHOT=<file.png>: pictures of the page in the window.
TEST(ConfigPageInMainWindow, Screenshot)
{
    const QByteArray shot = qgetenv("QVS_CONFIG_SCREENSHOT");
    if (shot.isEmpty())
        GTEST_SKIP();
    TestApp();
    ScriptedDialogs dialogs;
    CoreContext context(QStringLiteral(QVS_BIN_DIR), NoAdapter());
    frmMain window(context, &dialogs);
    window.EndProgram = [] {};
    window.SelectTab(0);
    auto* config = qobject_cast<FrmConfig*>(window.ActivePage());
    ASSERT_NE(config, nullptr);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    context.Palette.Back = {0x80, 0x808080, static_cast<int32_t>(0x80000005u), 0};
    context.Palette.Text = {0xFFFFFF, 0xFFFFFF, static_cast<int32_t>(0x80000008u),
                            static_cast<int32_t>(0x80000005u)};
    config->RefreshColour();
    const QString path = QString::fromLocal8Bit(shot);
    EXPECT_TRUE(window.grab().save(path));
    config->SSTab1->setCurrentIndex(2);
    EXPECT_TRUE(window.grab().save(QString(path).replace(QStringLiteral(".png"), QStringLiteral("-ramps.png"))));
    config->SSTab1->setCurrentIndex(0);
    QTest::mouseClick(config->MagSel[0], Qt::LeftButton);
    ASSERT_TRUE(config->MagSelDialog()->isVisible());
    EXPECT_TRUE(config->MagSelDialog()->grab().save(
        QString(path).replace(QStringLiteral(".png"), QStringLiteral("-dither.png"))));
}

} // namespace
