#pragma once
// The assistance login dialog: the password turns on the service mode.
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class Shell;

class FrmPwd : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* Password = "QUENTAR";
    static constexpr const char* LoginSuccessful = "Login Successful!";
    static constexpr const char* PasswordNotCorrect = "Password NOT Correct!";

    explicit FrmPwd(Shell& shell, QWidget* parent = nullptr);

    // Whether a typed text is the password: upper-cased, blanks kept.
    static bool IsPassword(const QString& typed);

    QLabel* Label1 = nullptr;
    QLineEdit* Text1 = nullptr;
    QPushButton* CmdOk = nullptr;
    QPushButton* CmdCancel = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void Ok();
    void Cancel();

    Shell& m_shell;
};
