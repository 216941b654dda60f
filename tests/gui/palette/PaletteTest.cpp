// The palette dialog, the shared palette and the palette file.
#include "PaletteTestSupport.h"

#include "controls/RsvColor.h"
#include "gui/pages/Page.h"
#include "gui/shell/PaletteStore.h"
#include "gui/shell/frmSectionColour.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {

constexpr int32_t WindowBack = static_cast<int32_t>(0x80000005u);

QByteArray ReadBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

::testing::AssertionResult SamePalette(const PaletteColours& a, const PaletteColours& b)
{
    if (a.Back == b.Back && a.Text == b.Text)
        return ::testing::AssertionSuccess();
    auto text = [](const PaletteColours& c) {
        QStringList l;
        for (int32_t v : c.Back)
            l << QString::number(v, 16);
        for (int32_t v : c.Text)
            l << QString::number(v, 16);
        return l.join(' ').toStdString();
    };
    return ::testing::AssertionFailure() << text(a) << " vs " << text(b);
}

class PaletteTest : public ShellFixture {
protected:
    QString ProgramFile() const { return folder.File(QStringLiteral("res/ini/colour.ini")); }
    void WritePalette(const PaletteColours& c) const
    {
        folder.Write(QStringLiteral("res/ini/colour.ini"), PaletteFileText(c));
    }
    PaletteColours& Palette() { return context->Palette; }
    // The background of a section as the Configure page paints it.
    int32_t ConfigureBack(int i) const
    {
        const QWidget* w = window->PageByTag(QStringLiteral("A1"))->findChild<QWidget*>(QStringLiteral("MagA_%1").arg(i));
        return w ? w->property("BackColor").toInt() : -1;
    }
    frmSectionColour& Open()
    {
        frmSectionColour& dlg = frmSectionColour::Instance(*window);
        dlg.ShowPalette();
        QCoreApplication::processEvents();
        return dlg;
    }
    static QColor Back(const QLabel* l) { return l->palette().color(QPalette::Window); }
    static QColor Text(const QLabel* l) { return l->palette().color(QPalette::WindowText); }
};

TEST_F(PaletteTest, WithoutAFileTheFirstPresetIsUsedAndPaintedOnThePages)
{
    Palette().Back = {1, 2, 3, 4};
    frmSectionColour::frmSectionColourInit(*window);
    EXPECT_TRUE(SamePalette(Palette(), frmSectionColour::PresetColours(0)));
    EXPECT_EQ(Palette().Back[0], 0x80);
    EXPECT_EQ(Palette().Back[1], 0x808080);
    EXPECT_EQ(Palette().Back[2], WindowBack);
    EXPECT_EQ(Palette().Back[3], 0);
    EXPECT_EQ(ConfigureBack(0), 0x80); // the pages repainted
    EXPECT_FALSE(QFile::exists(ProgramFile()));
    EXPECT_TRUE(dialogs.Boxes.empty());

    // The dialog shows it; system colours take the palette roles they name.
    frmSectionColour& dlg = Open();
    EXPECT_EQ(dlg.windowTitle(), "QvsStudio - Palette");
    EXPECT_EQ(Back(dlg.lblSec[0]), QColor(0x80, 0, 0));
    EXPECT_EQ(Back(dlg.lblSec[2]), QApplication::palette().color(QPalette::Base));
    EXPECT_EQ(Text(dlg.lblSec[2]), QApplication::palette().color(QPalette::Text));
    EXPECT_EQ(Text(dlg.lblSec[3]), QApplication::palette().color(QPalette::Base));
    EXPECT_EQ(dlg.lblSec[3]->text(), "SECTION 4");
    EXPECT_EQ(dlg.SecBack[1]->text(), "Set Back Color");
    EXPECT_EQ(dlg.SecText[1]->text(), "Set text Color");
    EXPECT_EQ(dlg.lblSectionColour2[4]->text(), "section 2");
    EXPECT_EQ(Back(dlg.lblSectionColour2[4]), QColor(0, 0xC0, 0));
    for (QRadioButton* opt : dlg.optSectionColour)
        EXPECT_FALSE(opt->isChecked());
}

TEST_F(PaletteTest, PresetThenCancelRestoresThePagesAndLeavesTheFile)
{
    WritePalette(frmSectionColour::PresetColours(2));
    const QByteArray before = ReadBytes(ProgramFile());
    frmSectionColour::frmSectionColourInit(*window);
    ASSERT_TRUE(SamePalette(Palette(), frmSectionColour::PresetColours(2)));

    frmSectionColour& dlg = Open();
    QTest::mouseClick(dlg.optSectionColour[4], Qt::LeftButton, {}, QPoint(6, dlg.optSectionColour[4]->height() / 2));
    EXPECT_TRUE(dlg.optSectionColour[4]->isChecked());
    EXPECT_TRUE(SamePalette(Palette(), frmSectionColour::PresetColours(4)));
    EXPECT_EQ(ConfigureBack(0), 0xFF); // visible on the page at once
    EXPECT_EQ(Back(dlg.lblSec[1]), QColor(0, 0xC0, 0));

    QTest::mouseClick(dlg.CmdCancel, Qt::LeftButton);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_TRUE(SamePalette(Palette(), frmSectionColour::PresetColours(2)));
    EXPECT_EQ(ConfigureBack(0), 0x4080);
    EXPECT_EQ(ReadBytes(ProgramFile()), before);
}

TEST_F(PaletteTest, PresetThenOkWritesTheEightValuesAndTheNextOpeningUndoesFromThere)
{
    frmSectionColour::frmSectionColourInit(*window);
    frmSectionColour& dlg = Open();
    dlg.optSectionColour[4]->click();
    QTest::mouseClick(dlg.CmdOk, Qt::LeftButton);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(ReadBytes(ProgramFile()), QByteArray(" 255\r\n 49152\r\n 12582912\r\n 65535\r\n"
                                                   " 16777215\r\n 16777215\r\n 16777215\r\n 0\r\n"));

    // Opening again clears the preset buttons and takes a new undo copy.
    Open();
    EXPECT_FALSE(dlg.optSectionColour[4]->isChecked());
    EXPECT_TRUE(SamePalette(dlg.UndoCopy(), frmSectionColour::PresetColours(4)));
    dlg.optSectionColour[1]->click();
    dlg.reject(); // Esc
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_TRUE(SamePalette(Palette(), frmSectionColour::PresetColours(4)));

    // The window's close box is Cancel as well.
    Open();
    dlg.optSectionColour[5]->click();
    dlg.close();
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_TRUE(SamePalette(Palette(), frmSectionColour::PresetColours(4)));
}

TEST_F(PaletteTest, TheColourChooserChangesOnlyItsEntry)
{
    frmSectionColour::frmSectionColourInit(*window);
    frmSectionColour& dlg = Open();
    const PaletteColours start = Palette();

    dialogs.Colours.push_back(QColor(1, 2, 3));
    QTest::mouseClick(dlg.SecText[1], Qt::LeftButton);
    ASSERT_EQ(dialogs.Initial.size(), 1u);
    EXPECT_EQ(dialogs.Initial[0], QColor(Qt::white)); // the label's current text colour
    PaletteColours expected = start;
    expected.Text[1] = 0x030201;
    EXPECT_TRUE(SamePalette(Palette(), expected));
    EXPECT_EQ(Text(dlg.lblSec[1]), QColor(1, 2, 3));

    // Cancel in the chooser keeps the colour, a system colour included.
    QTest::mouseClick(dlg.SecBack[2], Qt::LeftButton);
    EXPECT_EQ(dialogs.Initial.back(), QApplication::palette().color(QPalette::Base));
    EXPECT_TRUE(SamePalette(Palette(), expected));

    dialogs.Colours.push_back(QColor(0x10, 0x20, 0x30));
    QTest::mouseClick(dlg.SecBack[0], Qt::LeftButton);
    expected.Back[0] = 0x302010;
    EXPECT_TRUE(SamePalette(Palette(), expected));
    EXPECT_EQ(ConfigureBack(0), 0x302010);
}

TEST_F(PaletteTest, ADamagedFileIsReportedOnceAndTheFirstPresetIsUsed)
{
    folder.Write(QStringLiteral("res/ini/colour.ini"), " 255\r\n 12\r\n 3\r\n");
    frmSectionColour::frmSectionColourInit(*window);
    EXPECT_TRUE(SamePalette(Palette(), frmSectionColour::PresetColours(0)));
    ASSERT_EQ(dialogs.Boxes.size(), 1u);
    EXPECT_TRUE(dialogs.Boxes[0].Text.contains("damaged")) << dialogs.Boxes[0].Text.toStdString();
    EXPECT_TRUE(dialogs.Boxes[0].Text.contains("3 lines")) << dialogs.Boxes[0].Text.toStdString();
    // The dialog's load reads the file again: no second report.
    Open();
    frmSectionColour::frmSectionColourInit(*window);
    EXPECT_EQ(dialogs.Boxes.size(), 1u);
    // OK replaces the damaged file with a good one.
    QTest::mouseClick(frmSectionColour::Instance(*window).CmdOk, Qt::LeftButton);
    EXPECT_NO_THROW(ReadPaletteFile(ProgramFile()));
}

TEST_F(PaletteTest, ALineThatIsNotANumberGivesTheFirstPreset)
{
    folder.Write(QStringLiteral("res/ini/colour.ini"), " 1\r\n 2\r\n 3\r\n 4\r\n 5\r\n red\r\n 7\r\n 8\r\n");
    Palette().Back = {9, 9, 9, 9};
    frmSectionColour::frmSectionColourInit(*window);
    EXPECT_TRUE(SamePalette(Palette(), frmSectionColour::PresetColours(0)));
    ASSERT_EQ(dialogs.Boxes.size(), 1u);
    EXPECT_TRUE(dialogs.Boxes[0].Text.contains("red"));
}

TEST_F(PaletteTest, AReadOnlyProgramFolderKeepsThePaletteInTheUserFolder)
{
    QTemporaryDir user;
    auto* store = new PaletteStore(folder.Path(), user.path(), window.get());
    store->FolderWritable = [](const QString&) { return false; };
    ASSERT_EQ(&PaletteStore::Of(*window), store);
    EXPECT_EQ(store->WritePath(), store->UserFile());
    EXPECT_EQ(store->ReadPaths(), QStringList({store->UserFile(), store->ProgramFile()}));

    // The installed palette is read while the user has none of their own.
    WritePalette(frmSectionColour::PresetColours(1));
    const QByteArray installed = ReadBytes(ProgramFile());
    frmSectionColour::frmSectionColourInit(*window);
    EXPECT_TRUE(SamePalette(Palette(), frmSectionColour::PresetColours(1)));

    frmSectionColour& dlg = Open();
    dlg.optSectionColour[5]->click();
    dlg.Ok();
    EXPECT_TRUE(dialogs.Boxes.empty());
    EXPECT_EQ(ReadBytes(ProgramFile()), installed);
    EXPECT_TRUE(SamePalette(ReadPaletteFile(store->UserFile()), frmSectionColour::PresetColours(5)));

    // The user's copy is read first from now on.
    Palette() = frmSectionColour::PresetColours(0);
    frmSectionColour::frmSectionColourInit(*window);
    EXPECT_TRUE(SamePalette(Palette(), frmSectionColour::PresetColours(5)));
}

TEST_F(PaletteTest, AProgramFolderWithoutResIniIsNotWritable)
{
    QTemporaryDir bare, user;
    PaletteStore store(bare.path(), user.path());
    EXPECT_FALSE(store.ProgramFolderWritable());
    EXPECT_EQ(store.WritePath(), QDir(user.path()).filePath("colour.ini"));
    PaletteStore normal(folder.Path(), user.path());
    EXPECT_TRUE(normal.ProgramFolderWritable());
    EXPECT_EQ(normal.ReadPaths(), QStringList({normal.ProgramFile()}));
}

TEST_F(PaletteTest, APaletteThatCannotBeSavedIsSaidAndStaysForTheRun)
{
    // Neither the program folder nor the user folder (under a file) can take it.
    QTemporaryDir tmp;
    QFile blocker(QDir(tmp.path()).filePath("file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    auto* store = new PaletteStore(folder.Path(), QDir(tmp.path()).filePath("file/config"), window.get());
    store->FolderWritable = [](const QString&) { return false; };

    frmSectionColour::frmSectionColourInit(*window);
    frmSectionColour& dlg = Open();
    dlg.optSectionColour[3]->click();
    QTest::mouseClick(dlg.CmdOk, Qt::LeftButton);
    ASSERT_EQ(dialogs.Boxes.size(), 1u);
    EXPECT_TRUE(dialogs.Boxes[0].Text.startsWith("The palette cannot be saved")) << dialogs.Boxes[0].Text.toStdString();
    EXPECT_EQ(dialogs.Boxes[0].Icon, MessageIcon::Warning);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_TRUE(SamePalette(Palette(), frmSectionColour::PresetColours(3)));
    EXPECT_EQ(ConfigureBack(0), 0x800080);
    EXPECT_FALSE(QFile::exists(ProgramFile()));
}

TEST_F(PaletteTest, TheMainWindowLoadsThePaletteAndOpensTheDialogs)
{
    WritePalette(frmSectionColour::PresetColours(3));
    window->InitPalette(); // start-up, after the splash
    EXPECT_TRUE(SamePalette(Palette(), frmSectionColour::PresetColours(3)));

    window->mnuSet_Palette->trigger();
    frmSectionColour& dlg = frmSectionColour::Instance(*window);
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_FALSE(dlg.isModal());
    dlg.optSectionColour[2]->click();
    dlg.Cancel();
    window->mnuSet_Palette->trigger();
    for (QRadioButton* opt : dlg.optSectionColour)
        EXPECT_FALSE(opt->isChecked());
    EXPECT_EQ(window->findChildren<frmSectionColour*>().size(), 1); // created once, then only shown

    window->mnuHelp_Info->trigger();
    QWidget* about = window->findChild<QWidget*>(QStringLiteral("frmAbout"));
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(about->isVisible());
    EXPECT_EQ(about->windowTitle(), "QvsStudio-[Info]");
    about->close();
}

TEST_F(PaletteTest, F1OnTheDialogOpensTheManualAtPage36)
{
    folder.Write(QStringLiteral("QVSMANUAL.pdf"), "%PDF-1.4\n");
    frmSectionColour& dlg = Open();
    dlg.activateWindow();
    dlg.CmdOk->setFocus();
    QTest::keyClick(dlg.CmdOk, Qt::Key_F1);
    EXPECT_EQ(manualPage, 36);
}

} // namespace
