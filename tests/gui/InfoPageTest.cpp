// The Info page: bound to the context's information block.
#include "GuiTestSupport.h"

#include "gui/pages/frmComment.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

namespace {

class InfoPageTest : public MainWindowFixture {
protected:
    frmComment* Info() { return window->InfoPage(); }
};

TEST_F(InfoPageTest, LabelsCarryTheFileKeyTexts)
{
    const std::vector<std::pair<const char*, const char*>> labels = {
        {"lblAutor", "Author:"},     {"lblData", "Date:"},   {"LblRevision", "Revision:"},
        {"LblCompany", "Company:"}, {"LblInfo", "Additional Comments:"}, {"Label2", "File Name:"}};
    for (const auto& [name, text] : labels) {
        auto* l = Info()->findChild<QLabel*>(QString::fromLatin1(name));
        ASSERT_NE(l, nullptr) << name;
        EXPECT_EQ(l->text(), text);
    }
    EXPECT_EQ(Info()->windowTitle(), "Info");
}

TEST_F(InfoPageTest, EditsGoToTheBlockAndSetInfoChanged)
{
    window->show();
    window->SelectTab(4);
    QTest::keyClicks(Info()->txtAutor, QStringLiteral("Tech"));
    EXPECT_TRUE(State().InfoChanged());
    EXPECT_EQ(context->Info.Author, "Tech");
    Info()->TxtInfo->setFocus();
    QTest::keyClicks(Info()->TxtInfo, QStringLiteral("A"));
    QTest::keyClick(Info()->TxtInfo, Qt::Key_Return);
    QTest::keyClicks(Info()->TxtInfo, QStringLiteral("B"));
    EXPECT_EQ(context->Info.Comments, "A\r\nB");
    window->MainTick();
    EXPECT_EQ(window->txtFileTosave->text(), "FILE TO SAVE");
}

TEST_F(InfoPageTest, RefreshShowsTheBlockWithoutCountingAsAnEdit)
{
    context->Info.Company = QStringLiteral("Works");
    context->Info.Comments = QStringLiteral("first\r\nsecond\r\n");
    context->Info.FileName = QStringLiteral("cfg.txt");
    window->SelectTab(4); // activation refreshes
    EXPECT_EQ(Info()->TxtCompany->text(), "Works");
    EXPECT_EQ(Info()->TxtInfo->toPlainText(), "first\nsecond\n");
    EXPECT_EQ(Info()->lblName->text(), "cfg.txt");
    EXPECT_FALSE(State().InfoChanged());
    EXPECT_EQ(context->Info.Comments, "first\r\nsecond\r\n");
}

TEST_F(InfoPageTest, InfoPageDrawBarNeverOffersWrite)
{
    window->SelectTab(4);
    State().SetConnectionState(Connected);
    window->RefreshStatus(QString());
    EXPECT_TRUE(window->mnuHw_Read->isEnabled());
    EXPECT_TRUE(window->mnuHw_Reset->isEnabled());
    EXPECT_FALSE(window->mnuHW_Write->isEnabled());
}

} // namespace
