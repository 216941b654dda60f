// The system picture of the Configure page: the model's sections, the
// input pictures from the joystick catalogue and their cache, the two-axis
// case, the monitor's redraw trigger and the main window's Write check.
#include "JoySelTestSupport.h"

#include "controls/CSection.h"
#include "gui/pages/FrmMonitor.h"

#include <QGroupBox>
#include <QTabWidget>
#include <QTest>

namespace {

class SystemDiagramTest : public JoySelFixture {
protected:
    // The model and system type as read from the controller, then a refresh.
    void Model(int32_t n, int32_t type = 1)
    {
        Read(Key::QVS_NUM_PROP_REG, n);
        Read(Key::QVS_SYSTEM_TYPE, type);
        page->RefreshObject();
    }
    int Shown(const auto& controls) const
    {
        int n = 0;
        for (const QWidget* w : controls)
            n += w->isVisibleTo(page.get()) ? 1 : 0;
        return n;
    }
    QStringList Sides(int f) const
    {
        QStringList l;
        for (int i = 0; i < page->CmbFloatMagnet[size_t(f)]->count(); ++i)
            l << page->CmbFloatMagnet[size_t(f)]->itemText(i);
        return l;
    }
};

TEST_F(SystemDiagramTest, EachModelShowsItsSections)
{
    for (int n = 1; n <= 4; ++n) {
        Model(n);
        EXPECT_EQ(Shown(page->JoySel), n) << n;
        EXPECT_EQ(Shown(page->lblSectionDesc), n) << n;
        EXPECT_EQ(Shown(page->lblJoyDesc), n) << n;
        EXPECT_EQ(Shown(page->Lines), n) << n;
        EXPECT_EQ(Shown(page->MagA), n) << n;
        int slow = 0; // on the slow-current tab, not shown now
        for (const CSection* c : page->MagBsdm)
            slow += c->isHidden() ? 0 : 1;
        EXPECT_EQ(slow, n) << n;
        int rampRows = 0;
        for (int k = 0; k < 4; ++k)
            rampRows += page->RampA[size_t(k)]->isHidden() ? 0 : 1;
        EXPECT_EQ(rampRows, n) << n;
        EXPECT_FALSE(page->CmbDRCType->isVisibleTo(page.get()));
        EXPECT_FALSE(page->SSTab2->isTabEnabled(2));
        EXPECT_FALSE(page->SSTab2->isTabEnabled(3));
        EXPECT_EQ(page->ImgCED->toolTip(), "RSV200");
    }
    Model(1);
    EXPECT_TRUE(page->SSTab2->isTabEnabled(0));
    EXPECT_FALSE(page->SSTab2->isTabEnabled(1));
    EXPECT_EQ(Sides(0), QStringList({"OFF", "Float - 1A", "Float - 1B"}));
    EXPECT_EQ(page->CmbDRCType->currentIndex(), 0);
    EXPECT_EQ(page->CmbDRCSysType->currentText(), "P");
    Model(2, 0);
    EXPECT_TRUE(page->SSTab2->isTabEnabled(1));
    EXPECT_EQ(Sides(1), QStringList({"OFF", "Float - 2A", "Float - 2B"}));
    EXPECT_EQ(page->CmbDRCSysType->currentText(), "F");
    Model(4);
    EXPECT_EQ(Sides(0), QStringList({"OFF"}));
    EXPECT_EQ(Sides(1), QStringList({"OFF"}));
}

TEST_F(SystemDiagramTest, ModelNamesFollowTheSystemTypeAndOddModelsAreClamped)
{
    QStringList names;
    for (int i = 0; i < 8; ++i)
        names << QStringLiteral("M%1").arg(i);
    const_cast<QStringList&>(shell->SectionModelNames()) = names;
    Model(2, 0);
    EXPECT_EQ(page->ImgCED->toolTip(), "M5");
    Model(3, 1);
    EXPECT_EQ(page->ImgCED->toolTip(), "M2");
    // Outside 1..4: the nearest model, nothing written back.
    Model(0, 1);
    EXPECT_EQ(page->ImgCED->toolTip(), "M0");
    EXPECT_EQ(Shown(page->MagA), 1);
    EXPECT_EQ(Display(Key::QVS_NUM_PROP_REG), 0);
    Model(9, 0);
    EXPECT_EQ(page->ImgCED->toolTip(), "M7");
    EXPECT_EQ(Shown(page->JoySel), 4);
    EXPECT_EQ(Display(Key::QVS_NUM_PROP_REG), 9);
    Model(-3, 0);
    EXPECT_EQ(Shown(page->JoySel), 1);
}

TEST_F(SystemDiagramTest, InputPicturesComeFromTheCatalogue)
{
    // The defaults: the generic joystick on both inputs.
    Model(2);
    EXPECT_TRUE(Same(page->JoySel[0]->Picture(), Pictures(1).Pic));
    EXPECT_TRUE(Same(page->JoySel[1]->Picture(), Pictures(1).Pic));
    EXPECT_EQ(page->JoySel[0]->toolTip(), "JOYSTICK");
    EXPECT_TRUE(page->JoySel[1]->isEnabled());

    // One axis of a larger handle shows its X picture; an identifier in no
    // entry shows the not-used entry; a two-axis joystick on one input its X.
    Read(Key::QVS_JOY_0_ID, 11);
    Read(Key::QVS_JOY_1_ID, 77);
    page->RefreshObject();
    EXPECT_TRUE(Same(page->JoySel[0]->Picture(), Pictures(11).PicX));
    EXPECT_TRUE(Same(page->JoySel[1]->Picture(), Pictures(255).Pic));
    EXPECT_EQ(page->JoySel[1]->toolTip(), "NOT USED");
    Read(Key::QVS_JOY_1_ID, 12);
    page->RefreshObject();
    EXPECT_TRUE(Same(page->JoySel[1]->Picture(), Pictures(12).PicX));
    EXPECT_EQ(page->JoyPictureCache(), (std::array<int, 2>{Pos(11), Pos(12)}));
}

TEST_F(SystemDiagramTest, BothInputsOnOneTwoAxisJoystick)
{
    Model(2);
    Read(Key::QVS_JOY_0_ID, 3);
    Read(Key::QVS_JOY_1_ID, 3);
    page->RefreshObject();
    EXPECT_TRUE(Same(page->JoySel[0]->Picture(), Pictures(3).PicX));
    EXPECT_TRUE(Same(page->JoySel[1]->Picture(), Pictures(3).PicY));
    EXPECT_EQ(page->JoySel[1]->toolTip(), "JS2-XY");

    // Input 1 moves to a single-axis joystick: input 2 alone on the
    // two-axis joystick shows its X picture again.
    Read(Key::QVS_JOY_0_ID, 5);
    page->RefreshObject();
    EXPECT_TRUE(Same(page->JoySel[0]->Picture(), Pictures(5).Pic));
    EXPECT_TRUE(Same(page->JoySel[1]->Picture(), Pictures(3).PicX));

    // And back, through the dialog this time.
    page->ShowJoySel(0);
    FrmJoySel* d = Dialog();
    QTest::mouseClick(d->PicJoy[size_t(Pos(3))], Qt::LeftButton);
    QTest::mouseClick(d->CmdOk, Qt::LeftButton);
    EXPECT_EQ(Display(Key::QVS_JOY_0_ID), 3);
    EXPECT_TRUE(Same(page->JoySel[0]->Picture(), Pictures(3).PicX));
    EXPECT_TRUE(Same(page->JoySel[1]->Picture(), Pictures(3).PicY));
}

TEST_F(SystemDiagramTest, DrawingTwiceDoesNotRedrawOrReloadPictures)
{
    Model(2);
    const int draws = page->JoyPictureDraws();
    const int files = Dialog()->Pictures().FilesRead();
    EXPECT_GT(files, 0);
    page->RefreshConfiguration();
    page->RefreshObject();
    EXPECT_EQ(page->JoyPictureDraws(), draws);
    EXPECT_EQ(Dialog()->Pictures().FilesRead(), files);
    // A changed joystick redraws that input only.
    Read(Key::QVS_JOY_1_ID, 5);
    page->ConfigDrawJoy();
    EXPECT_EQ(page->JoyPictureDraws(), draws + 1);
    EXPECT_EQ(Dialog()->Pictures().FilesRead(), files);
}

TEST_F(SystemDiagramTest, ClickingAnInputOpensItsSelection)
{
    Model(2);
    QTest::mouseClick(page->JoySel[1], Qt::LeftButton);
    ASSERT_TRUE(Dialog()->isVisible());
    EXPECT_EQ(Dialog()->Tag(), "1");
    EXPECT_EQ(Dialog()->LblAxisNum->text(), "JOY 2");
    Dialog()->Cancel();
    page->lblJoy[0]->setFocus();
    QTest::keyClick(page->lblJoy[0], Qt::Key_Return);
    EXPECT_EQ(Dialog()->LblAxisNum->text(), "JOY 1");
}

// A shell whose Monitor page exists: the drawing raises its redraw trigger.
class ShellWithMonitor : public FakeShell {
public:
    using FakeShell::FakeShell;
    Page* PageByTag(const QString& tag) const override { return tag == QLatin1String("A2") ? Monitor : nullptr; }
    Page* Monitor = nullptr;
};

TEST_F(SystemDiagramTest, TheMonitorRedrawsItsJoysticks)
{
    page.reset();
    auto withMonitor = std::make_unique<ShellWithMonitor>(*context, dialogs);
    ShellWithMonitor* s = withMonitor.get();
    shell = std::move(withMonitor);
    auto monitor = std::make_unique<FrmMonitor>(*shell);
    s->Monitor = monitor.get();
    CreatePage();
    const int raised = monitor->DrawJoyMonitorEventObj.Raised();
    EXPECT_GE(raised, 1); // the page's first drawing
    page->ConfigDrawJoy();
    EXPECT_EQ(monitor->DrawJoyMonitorEventObj.Raised(), raised + 1);
    EXPECT_EQ(monitor->DrawJoyMonitorEventObj.Value(), 0);
    // The Monitor page reads the same catalogue.
    EXPECT_EQ(monitor->JoyList().size(), Catalogue().Entries.size());
    page.reset();
    s->Monitor = nullptr;
}

// The main window's Write checks the stored references of both inputs.
class WriteCheckTest : public MainWindowFixture {};

TEST_F(WriteCheckTest, StoredBatteryReferenceOnAFiveVoltPinIsReported)
{
    ASSERT_TRUE(window->JoyCheckData);
    EXPECT_EQ(window->JoyCheckData(), "");
    context->Table.Record(Key::QVS_JOY_1_CONFIG)->QVSSetVar(2);
    EXPECT_EQ(window->JoyCheckData(), "INPUT C2.03 (AI_2) IS NOT COMPATIBLE WITH VOLTAGE RANGE Vbb (battery supply)");
    EXPECT_TRUE(dialogs.Boxes.empty()) << dialogs.Texts().join('|').toStdString();
}

} // namespace

namespace {

// Pictures of the page for one, two and four sections and of the dialog, in
// the main window over the build's program folder (QVS_JOYSEL_SCREENSHOTS =
// a folder).
TEST(JoySelScreenshots, PageAndDialog)
{
    const QByteArray dir = qgetenv("QVS_JOYSEL_SCREENSHOTS");
    if (dir.isEmpty())
        GTEST_SKIP() << "set QVS_JOYSEL_SCREENSHOTS to a folder to take them";
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
    context.Palette.Back = {0x80, 0x808080, 0x2080C0, 0x208020};
    context.Palette.Text = {0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF};
    const QString folder = QString::fromLocal8Bit(dir);
    const auto model = [&](int n, int32_t joy0, int32_t joy1) {
        context.Table.Record(Key::QVS_NUM_PROP_REG)->ReadE2FromCED(n);
        context.Table.Record(Key::QVS_JOY_0_ID)->ReadE2FromCED(joy0);
        context.Table.Record(Key::QVS_JOY_1_ID)->ReadE2FromCED(joy1);
        config->RefreshObject();
        QTest::qWait(20);
        EXPECT_TRUE(window.grab().save(folder + QStringLiteral("/config-%1.png").arg(n)));
    };
    model(1, 5, 1);
    model(2, 3, 3);
    model(4, 2, 8);
    config->ShowJoySel(0);
    FrmJoySel* d = config->JoySelDialog();
    ASSERT_TRUE(d->isVisible());
    QTest::qWait(20);
    EXPECT_TRUE(d->grab().save(folder + QStringLiteral("/joysel.png")));
    d->JInputType->setCurrentIndex(3);
    EXPECT_TRUE(d->grab().save(folder + QStringLiteral("/joysel-digital.png")));
    d->Cancel();
}

} // namespace
