// Load and Save configuration with the file dialogs answered by the test.
#include "GuiTestSupport.h"

#include "core/files/File.h"
#include "gui/pages/config/FrmConfig.h"
#include "gui/pages/frmComment.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

namespace {

class FileCommandTest : public MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        // Start each command from a different current folder, to see it restored.
        QDir::setCurrent(QDir::tempPath());
    }
    CVarData* Ramp() { return context->Table.Record(Key::QVS_RAMP_TRISE_0); }
    QString Current() { return QDir::cleanPath(QDir::currentPath()); }
    QByteArray Read(const QString& path)
    {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }
    // A configuration file saved from the current table with the ramp at value.
    QString FileWithRamp(int32_t value, const QString& name)
    {
        const int32_t old = Ramp()->DataS.QvsDownloadValueE2;
        Ramp()->DataS.QvsDownloadValueE2 = value;
        InfoBlock info;
        info.Author = QStringLiteral("Tech");
        info.Comments = QStringLiteral("one\r\ntwo");
        const QString path = folder.File("res/txt/" + name);
        ConfigFile::SaveConfiguration(path, context->Table, context->Pages, info);
        Ramp()->DataS.QvsDownloadValueE2 = old;
        return path;
    }
};

TEST_F(FileCommandTest, CancelledLoadChangesNothing)
{
    State().SetFileState(1);
    window->mnuFile_Load->trigger();
    ASSERT_EQ(dialogs.FileDialogs.size(), 1u);
    const auto& d = dialogs.FileDialogs[0];
    EXPECT_EQ(d.Title, "Load System Configuration Parameters From ...");
    EXPECT_EQ(d.Filter, "*.*|*.*");
    EXPECT_EQ(QDir::cleanPath(d.Folder), QDir::cleanPath(folder.File("res/txt")));
    EXPECT_TRUE(dialogs.Boxes.empty());
    EXPECT_EQ(State().FileState(), 1);
    EXPECT_EQ(Current(), QDir::cleanPath(folder.Path()));
}

TEST_F(FileCommandTest, SuccessfulLoadAppliesTheFileAndMarksItLoaded)
{
    ASSERT_NE(Ramp(), nullptr);
    const QString path = FileWithRamp(777, QStringLiteral("good.txt"));
    window->SelectTab(2);
    State().SetConnectionState(Connected);
    dialogs.Files.push_back(path);
    window->LoadConfiguration();
    EXPECT_EQ(dialogs.Texts(), QStringList({" SUCCESS : Configuration Loaded "}));
    EXPECT_EQ(Ramp()->DataS.QvsDownloadValueE2, 777);
    EXPECT_EQ(State().FileState(), 2);
    EXPECT_TRUE(State().ParamsDiffer());
    EXPECT_TRUE(State().ParamsUnchanged());
    EXPECT_FALSE(State().InfoChanged());
    EXPECT_EQ(window->ActivePage()->Tag(), "A1");
    EXPECT_EQ(window->TxtPar().text(), "PARAMETER DIFF.");
    EXPECT_EQ(window->txtFileTosave->text(), "FILE OK");
    EXPECT_EQ(window->InfoPage()->txtAutor->text(), "Tech");
    EXPECT_EQ(window->InfoPage()->lblName->text(), "good.txt");
    EXPECT_EQ(Current(), QDir::cleanPath(folder.Path()));
    // The main tick after the load keeps "FILE OK": nothing was edited.
    window->MainTick();
    EXPECT_EQ(window->txtFileTosave->text(), "FILE OK");
}

TEST_F(FileCommandTest, LoadOfAFileThatDoesNotParseChangesNothing)
{
    // An empty file, and prose picked by mistake: it would otherwise load as
    // nothing but comments and be reported as a success.
    folder.Write(QStringLiteral("res/txt/empty.txt"), QByteArray());
    folder.Write(QStringLiteral("res/txt/letter.txt"), QByteArray("Dear customer,\r\nthe settings follow.\r\n"));
    for (const char* name : {"res/txt/empty.txt", "res/txt/letter.txt"}) {
        dialogs.Boxes.clear();
        State().SetFileState(1);
        const int32_t before = Ramp()->DataS.QvsDownloadValueE2;
        const QString comments = context->Info.Comments;
        dialogs.Files.push_back(folder.File(name));
        window->LoadConfiguration();
        ASSERT_EQ(dialogs.Boxes.size(), 1u) << name;
        EXPECT_EQ(dialogs.Boxes[0].Text, "Error Loading File!");
        EXPECT_EQ(dialogs.Boxes[0].Icon, MessageIcon::Critical);
        EXPECT_EQ(State().FileState(), 1);
        EXPECT_EQ(Ramp()->DataS.QvsDownloadValueE2, before);
        EXPECT_EQ(context->Info.Comments, comments) << name;
        EXPECT_EQ(Current(), QDir::cleanPath(folder.Path()));
    }
}

TEST_F(FileCommandTest, LoadTellsAboutUnknownAddressesAndOutOfRangeValues)
{
    QByteArray bytes = Read(FileWithRamp(250, QStringLiteral("odd.txt")));
    // Append a line for an address the catalogue does not have, and put the
    // ramp outside its limits (0..5000).
    bytes.chop(2); // the final CR LF
    bytes += "Unknown\t4000\t00012\r";
    bytes += "Ramp 1A Rise\t96\t09999\r\r\n";
    folder.Write(QStringLiteral("res/txt/odd.txt"), bytes);
    dialogs.Files.push_back(folder.File("res/txt/odd.txt"));
    window->LoadConfiguration();
    ASSERT_EQ(dialogs.Boxes.size(), 2u);
    EXPECT_EQ(dialogs.Boxes[0].Text, " SUCCESS : Configuration Loaded ");
    EXPECT_TRUE(dialogs.Boxes[1].Text.contains("4000"));
    EXPECT_TRUE(dialogs.Boxes[1].Text.contains(" - Ramp 1A Rise"));
    EXPECT_EQ(Ramp()->DataS.QvsDownloadValueE2, 9999); // loaded unchanged
    EXPECT_EQ(State().FileState(), 2);
}

TEST_F(FileCommandTest, SaveProposesMySettingsAndWritesTheFile)
{
    State().SetInfoChanged(true);
    const QString path = folder.File("res/txt/MySettings.txt");
    dialogs.Files.push_back(path);
    window->mnuFile_Save->trigger();
    ASSERT_EQ(dialogs.FileDialogs.size(), 1u);
    const auto& d = dialogs.FileDialogs[0];
    EXPECT_EQ(d.Title, "Save System Configuration Parameters To ...");
    EXPECT_EQ(d.Filter, "*.txt|*.txt");
    EXPECT_EQ(d.Proposed, "MySettings");
    EXPECT_EQ(QDir::cleanPath(d.Folder), QDir::cleanPath(folder.File("res/txt")));
    EXPECT_EQ(dialogs.Texts(), QStringList({" Configuration SAVED "}));
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_EQ(State().FileState(), 2);
    EXPECT_FALSE(State().InfoChanged());
    EXPECT_EQ(window->InfoPage()->lblName->text(), "MySettings.txt");
    EXPECT_EQ(Current(), QDir::cleanPath(folder.Path()));
}

TEST_F(FileCommandTest, SaveTakesTheEntryStillBeingTyped)
{
    // A toolbar button takes no focus: the float current typed but not yet
    // confirmed must be taken before the file is written.
    auto* page = window->findChild<FrmConfig*>();
    ASSERT_NE(page, nullptr);
    CVarData* pins = context->Table.Record(Key::QVS_FLOAT_SLOW_CONFIG);
    CVarData* current = context->Table.Record(Key::QVS_FLOAT_0_CURRENT);
    ASSERT_TRUE(pins && current);
    pins->DataS.QvsDisplayValueE2 = pins->DataS.QvsDownloadValueE2 = 0x0011; // float 1 on AI_1, side A
    page->RefreshObject();
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QLineEdit* box = page->TxtFloatCurrent[0];
    ASSERT_TRUE(box->isEnabled());
    box->setFocus();
    box->selectAll();
    const int32_t typed = current->DataS.CedValE2Min + 7;
    QTest::keyClicks(box, QString::number(typed));
    ASSERT_NE(current->DataS.QvsDownloadValueE2, typed) << "not taken while typing";
    ASSERT_EQ(QApplication::focusWidget(), box);

    const QString path = folder.File("res/txt/Typed.txt");
    dialogs.Files.push_back(path);
    window->mnuFile_Save->trigger();
    EXPECT_EQ(current->DataS.QvsDownloadValueE2, typed);
    const QString line = QStringLiteral("\t%1\t%2\r").arg(current->DataS.Address).arg(typed, 5, 10, QLatin1Char('0'));
    EXPECT_TRUE(QString::fromLatin1(Read(path)).contains(line)) << line.toStdString();
}

TEST_F(FileCommandTest, SaveOverAnExistingFileAsks)
{
    const QString path = folder.File("res/txt/old.txt");
    folder.Write(QStringLiteral("res/txt/old.txt"), "keep me");
    State().SetFileState(1);
    dialogs.Files.push_back(path);
    dialogs.Answers.push_back(false);
    window->SaveConfiguration();
    EXPECT_EQ(dialogs.Texts(), QStringList({"File Already Exist : Overwrite ?"}));
    EXPECT_EQ(Read(path), "keep me");
    EXPECT_EQ(State().FileState(), 1);
    EXPECT_EQ(Current(), QDir::cleanPath(folder.Path()));

    dialogs.Boxes.clear();
    dialogs.Files.push_back(path);
    dialogs.Answers.push_back(true);
    window->SaveConfiguration();
    EXPECT_EQ(dialogs.Texts(), QStringList({"File Already Exist : Overwrite ?", " Configuration SAVED "}));
    EXPECT_TRUE(Read(path).startsWith(";-------"));
}

TEST_F(FileCommandTest, SaveThatFailsKeepsTheFileState)
{
    State().SetFileState(1);
    dialogs.Files.push_back(folder.File("no/such/folder/x.txt"));
    window->SaveConfiguration();
    ASSERT_EQ(dialogs.Boxes.size(), 1u);
    EXPECT_EQ(dialogs.Boxes[0].Text, "Configuration NOT SAVED!");
    EXPECT_EQ(dialogs.Boxes[0].Icon, MessageIcon::Critical);
    EXPECT_EQ(State().FileState(), 1);
}

TEST_F(FileCommandTest, CancelledSaveShowsNothing)
{
    window->SaveConfiguration();
    EXPECT_TRUE(dialogs.Boxes.empty());
    EXPECT_EQ(State().FileState(), 0);
    EXPECT_EQ(Current(), QDir::cleanPath(folder.Path()));
}

TEST_F(FileCommandTest, SaveThenLoadRoundTripsTheInfoPage)
{
    window->SelectTab(4);
    window->InfoPage()->txtAutor->setText(QStringLiteral("Ann"));
    window->InfoPage()->TxtCompany->setText(QStringLiteral("Works"));
    const QString path = folder.File("res/txt/round.txt");
    dialogs.Files.push_back(path);
    window->SaveConfiguration();
    window->InfoPage()->txtAutor->setText(QStringLiteral("changed"));
    dialogs.Files.push_back(path);
    window->LoadConfiguration();
    EXPECT_EQ(window->InfoPage()->txtAutor->text(), "Ann");
    EXPECT_EQ(window->InfoPage()->TxtCompany->text(), "Works");
    EXPECT_FALSE(State().InfoChanged());
}

} // namespace
