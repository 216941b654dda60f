#include "gui/shell/FrmPwd.h"

#include "core/state/CoreContext.h"
#include "gui/pages/Page.h"
#include "gui/shell/Dialogs.h"
#include "gui/shell/Draw.h"
#include "gui/shell/Shell.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

FrmPwd::FrmPwd(Shell& shell, QWidget* parent) : QDialog(parent), m_shell(shell)
{
    setObjectName(QStringLiteral("FrmPwd"));
    setWindowTitle(QStringLiteral("Password Required"));
    setModal(false);

    Label1 = new QLabel(QStringLiteral("Enter Corvane password:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setEchoMode(QLineEdit::Password);
    Text1->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
    CmdOk = new QPushButton(QStringLiteral("&OK"), this);
    CmdOk->setObjectName(QStringLiteral("CmdOk"));
    CmdOk->setDefault(true);
    CmdCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    CmdCancel->setObjectName(QStringLiteral("CmdCancel"));

    auto* lay = new QVBoxLayout(this);
    lay->addWidget(Label1);
    lay->addWidget(Text1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(CmdOk);
    buttons->addWidget(CmdCancel);
    lay->addLayout(buttons);
    setFixedSize(280, 120);

    Text1->installEventFilter(this);
    // A pasted apostrophe is dropped like a typed one.
    connect(Text1, &QLineEdit::textEdited, this, [this](const QString& t) {
        if (t.contains(QLatin1Char('\''))) {
            QString clean = t;
            clean.remove(QLatin1Char('\''));
            Text1->setText(clean);
        }
    });
    connect(CmdOk, &QPushButton::clicked, this, &FrmPwd::Ok);
    connect(CmdCancel, &QPushButton::clicked, this, &FrmPwd::Cancel);
    // Esc on the dialog itself is QDialog's reject: the dialog closes, as Cancel.
}

bool FrmPwd::IsPassword(const QString& typed) { return typed.toUpper() == QLatin1String(Password); }

void FrmPwd::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (QWidget* w = m_shell.Window())
        Draw::CenterOver(*w, *this);
}

bool FrmPwd::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Text1) {
        if (event->type() == QEvent::FocusIn) {
            Draw::SelectAllText(*Text1);
        } else if (event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Escape) {
                Cancel();
                return true;
            }
            if (key->text() == QLatin1String("'"))
                return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void FrmPwd::Ok()
{
    if (IsPassword(Text1->text())) {
        close();
        m_shell.Dialog().Message(m_shell.Window(), QString::fromLatin1(LoginSuccessful));
        m_shell.Context().Shell.SetAssistanceLoggedIn(true);
        if (Page* debugger = m_shell.PageByTag(QStringLiteral("A4")))
            debugger->RefreshObject();
        return;
    }
    m_shell.Dialog().Message(this, QString::fromLatin1(PasswordNotCorrect));
    Text1->clear();
    Text1->setFocus();
}

void FrmPwd::Cancel() { close(); }
