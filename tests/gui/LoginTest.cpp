// The assistance login dialog and the Logout command.
#include "GuiTestSupport.h"

#include "gui/pages/Page.h"
#include "gui/shell/FrmPwd.h"

#include <QAction>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

class LoginTest : public MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        window->show();
        QCoreApplication::processEvents();
        window->SelectTab(3); // the Debugger page offers Login
        window->RefreshStatus(QString());
        ASSERT_TRUE(window->mnuSet_Login->isEnabled());
        window->mnuSet_Login->trigger();
        pwd = window->LoginDialog();
        ASSERT_NE(pwd, nullptr);
        ASSERT_TRUE(pwd->isVisible());
        Activate(pwd);
    }
    // The offscreen platform does not move the activation to a second window
    // by itself.
    static void Activate(QWidget* w)
    {
        QApplication::setActiveWindow(w);
        QCoreApplication::processEvents();
    }
    void Type(const QString& text)
    {
        pwd->Text1->setFocus();
        QTest::keyClicks(pwd->Text1, text);
    }
    // The dialog deletes itself when it closes.
    bool DialogGone()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return window->LoginDialog() == nullptr;
    }
    QWidget* DebuggerBody() { return window->PageByTag("A4")->findChild<QWidget*>("PageBody"); }

    FrmPwd* pwd = nullptr;
};

TEST_F(LoginTest, DialogShowsItsTexts)
{
    EXPECT_EQ(pwd->windowTitle(), "Password Required");
    EXPECT_EQ(pwd->Label1->text(), "Enter Corvane password:");
    EXPECT_EQ(pwd->CmdOk->text(), "&OK");
    EXPECT_EQ(pwd->CmdCancel->text(), "&Cancel");
    EXPECT_EQ(pwd->Text1->echoMode(), QLineEdit::Password);
    EXPECT_FALSE(pwd->isModal());
}

TEST_F(LoginTest, LowerCasePasswordLogsInAndEnablesTheDebugger)
{
    EXPECT_FALSE(DebuggerBody()->isEnabled());
    Type(QStringLiteral("quentar"));
    QTest::mouseClick(pwd->CmdOk, Qt::LeftButton);
    EXPECT_TRUE(State().AssistanceLoggedIn());
    EXPECT_EQ(dialogs.Texts(), QStringList({"Login Successful!"}));
    EXPECT_TRUE(DialogGone());
    EXPECT_TRUE(DebuggerBody()->isEnabled());
    window->RefreshStatus(QString());
    EXPECT_FALSE(window->mnuSet_Login->isEnabled());
    EXPECT_TRUE(window->mnuSet_Logout->isEnabled());

    // Logout on the Debugger page disables its controls at once.
    window->mnuSet_Logout->trigger();
    EXPECT_FALSE(State().AssistanceLoggedIn());
    EXPECT_FALSE(DebuggerBody()->isEnabled());
    EXPECT_TRUE(window->mnuSet_Login->isEnabled());
    EXPECT_FALSE(window->mnuSet_Logout->isEnabled());
}

TEST_F(LoginTest, WrongPasswordEmptiesTheBoxAndKeepsTheDialog)
{
    Type(QStringLiteral("QUENTAR ")); // a trailing blank is not removed
    QTest::keyClick(pwd->Text1, Qt::Key_Return);
    EXPECT_FALSE(State().AssistanceLoggedIn());
    EXPECT_EQ(dialogs.Texts(), QStringList({"Password NOT Correct!"}));
    EXPECT_TRUE(pwd->isVisible());
    EXPECT_EQ(pwd->Text1->text(), "");
    EXPECT_EQ(pwd->focusWidget(), pwd->Text1);
    // And it can be retried.
    Type(QStringLiteral("Quentar"));
    QTest::mouseClick(pwd->CmdOk, Qt::LeftButton);
    EXPECT_TRUE(State().AssistanceLoggedIn());
}

TEST_F(LoginTest, ApostropheIsDiscardedTypedOrPasted)
{
    Type(QStringLiteral("QUEN'TAR"));
    EXPECT_EQ(pwd->Text1->text(), "QUENTAR");
    pwd->Text1->clear();
    QApplication::clipboard()->setText(QStringLiteral("QU'EN"));
    pwd->Text1->paste();
    EXPECT_EQ(pwd->Text1->text(), "QUEN");
}

TEST_F(LoginTest, EscapeCancelsWithoutChange)
{
    Type(QStringLiteral("QUENTAR"));
    QTest::keyClick(pwd->Text1, Qt::Key_Escape);
    EXPECT_FALSE(State().AssistanceLoggedIn());
    EXPECT_TRUE(dialogs.Boxes.empty());
    EXPECT_TRUE(DialogGone());
}

TEST_F(LoginTest, EscapeOnTheDialogAndCancelButtonCancelToo)
{
    QTest::keyClick(pwd, Qt::Key_Escape);
    EXPECT_FALSE(pwd->isVisible());
    window->mnuSet_Login->trigger();
    FrmPwd* again = window->LoginDialog();
    ASSERT_NE(again, nullptr);
    QTest::mouseClick(again->CmdCancel, Qt::LeftButton);
    EXPECT_FALSE(State().AssistanceLoggedIn());
    EXPECT_TRUE(dialogs.Boxes.empty());
}

TEST_F(LoginTest, FocusSelectsTheWholeText)
{
    pwd->Text1->setText(QStringLiteral("abc"));
    pwd->CmdOk->setFocus();
    pwd->Text1->setFocus();
    EXPECT_EQ(pwd->Text1->selectionStart(), 0);
    EXPECT_EQ(pwd->Text1->selectedText().size(), 3);
}

TEST(FrmPwdTest, PasswordComparison)
{
    EXPECT_TRUE(FrmPwd::IsPassword(QStringLiteral("QUENTAR")));
    EXPECT_TRUE(FrmPwd::IsPassword(QStringLiteral("qUeNtAr")));
    EXPECT_FALSE(FrmPwd::IsPassword(QStringLiteral(" QUENTAR")));
    EXPECT_FALSE(FrmPwd::IsPassword(QStringLiteral("QUENTA")));
    EXPECT_FALSE(FrmPwd::IsPassword(QString()));
}

} // namespace
