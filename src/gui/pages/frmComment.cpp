#include "gui/pages/frmComment.h"

#include "core/state/CoreContext.h"
#include "gui/shell/Shell.h"

#include <QFont>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace {

QLabel* AddLabel(QWidget* parent, const char* name, const char* caption)
{
    auto* l = new QLabel(QString::fromLatin1(caption), parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

QLineEdit* AddBox(QWidget* parent, const char* name)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    return e;
}

void SetIfDifferent(QLineEdit* box, const QString& text)
{
    if (box->text() != text)
        box->setText(text);
}

} // namespace

frmComment::frmComment(Shell& shell, QWidget* parent) : Page(shell, PageReadKey, PageWriteKey, parent)
{
    setObjectName(QStringLiteral("frmComment"));
    setWindowTitle(QStringLiteral("Info"));

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(24, 20, 24, 20);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(8);

    QLabel* lblAutor = AddLabel(this, "lblAutor", "Author:");
    txtAutor = AddBox(this, "txtAutor");
    QLabel* lblData = AddLabel(this, "lblData", "Date:");
    txtDate = AddBox(this, "txtDate");
    QLabel* lblRevision = AddLabel(this, "LblRevision", "Revision:");
    TxtRevision = AddBox(this, "TxtRevision");
    QLabel* lblCompany = AddLabel(this, "LblCompany", "Company:");
    TxtCompany = AddBox(this, "TxtCompany");
    QLabel* lblInfo = AddLabel(this, "LblInfo", "Additional Comments:");
    TxtInfo = new QPlainTextEdit(this);
    TxtInfo->setObjectName(QStringLiteral("TxtInfo"));
    TxtInfo->setTabChangesFocus(true);
    QLabel* label2 = AddLabel(this, "Label2", "File Name:");
    lblName = AddLabel(this, "lblName", "");
    QFont bold = lblName->font();
    bold.setBold(true);
    lblName->setFont(bold);

    grid->addWidget(lblAutor, 0, 0);
    grid->addWidget(txtAutor, 0, 1);
    grid->addWidget(lblData, 1, 0);
    grid->addWidget(txtDate, 1, 1);
    grid->addWidget(lblRevision, 2, 0);
    grid->addWidget(TxtRevision, 2, 1);
    grid->addWidget(lblCompany, 3, 0);
    grid->addWidget(TxtCompany, 3, 1);
    grid->addWidget(lblInfo, 4, 0, Qt::AlignTop);
    grid->addWidget(TxtInfo, 4, 1);
    grid->addWidget(label2, 5, 0);
    grid->addWidget(lblName, 5, 1);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(4, 1);

    for (QLineEdit* box : {txtAutor, txtDate, TxtRevision, TxtCompany})
        connect(box, &QLineEdit::textChanged, this, &frmComment::Edited);
    connect(TxtInfo, &QPlainTextEdit::textChanged, this, &frmComment::Edited);

    RefreshObject();
}

const DrawBarProfile& frmComment::Profile() const
{
    static const DrawBarProfile profile{.HandlesConnected = true,
                                        .PollingState = 0,
                                        .ResetWhenConnected = true,
                                        .ReadWhenConnected = true,
                                        .WriteWhenConnected = false,
                                        .LoginByAssistance = false};
    return profile;
}

QString frmComment::ToBoxText(const QString& comments)
{
    QString t = comments;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return t;
}

QString frmComment::FromBoxText(const QString& boxText)
{
    QString t = boxText;
    t.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return t;
}

void frmComment::RefreshObject()
{
    const InfoBlock& info = m_shell.Context().Info;
    // Filling the boxes from the block is not an edit of the block; the
    // commands that change the block (load, save) settle InfoChanged.
    m_filling = true;
    SetIfDifferent(txtAutor, info.Author);
    SetIfDifferent(txtDate, info.Date);
    SetIfDifferent(TxtRevision, info.Revision);
    SetIfDifferent(TxtCompany, info.Company);
    const QString box = ToBoxText(info.Comments);
    if (TxtInfo->toPlainText() != box)
        TxtInfo->setPlainText(box);
    m_filling = false;
    if (lblName->text() != info.FileName)
        lblName->setText(info.FileName);
}

void frmComment::Edited()
{
    if (m_filling)
        return;
    InfoBlock& info = m_shell.Context().Info;
    info.Author = txtAutor->text();
    info.Date = txtDate->text();
    info.Revision = TxtRevision->text();
    info.Company = TxtCompany->text();
    info.Comments = FromBoxText(TxtInfo->toPlainText());
    m_shell.Context().Shell.SetInfoChanged(true);
}
