#include "gui/shell/frmAbout.h"

#include "core/state/CoreContext.h"
#include "gui/shell/Dialogs.h"
#include "gui/shell/Shell.h"

#include <QDir>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>

namespace {

QFrame* Separator(QWidget* parent, int i)
{
    auto* line = new QFrame(parent);
    line->setObjectName(QStringLiteral("Line1_%1").arg(i));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

} // namespace

QString frmAbout::VersionText()
{
    return QLatin1String(VersionPrefix) +
           QStringLiteral("%1.%2.%3").arg(QVS_VERSION_MAJOR).arg(QVS_VERSION_MINOR).arg(QVS_VERSION_PATCH);
}

QString frmAbout::DescriptionText()
{
    return QStringLiteral("Electronic controls for hydraulic valves\n"
                          "Via dell'Industria 27, 40100 Valmerano\n"
                          "Phone +00 051 000 0000\n"
                          "service@corvane.example\n"
                          "www.corvane.example");
}

const QStringList& frmAbout::SysInfoPrograms()
{
    static const QStringList programs{
        QStringLiteral("hardinfo2"),           QStringLiteral("hardinfo"),
        QStringLiteral("kinfocenter"),         QStringLiteral("gnome-system-monitor"),
        QStringLiteral("mate-system-monitor"), QStringLiteral("xfce4-taskmanager"),
        QStringLiteral("lshw-gtk"),
    };
    return programs;
}

QString frmAbout::FindSysInfoProgram()
{
    for (const QString& name : SysInfoPrograms()) {
        const QString path = QStandardPaths::findExecutable(name);
        if (!path.isEmpty())
            return path;
    }
    return {};
}

frmAbout::frmAbout(Shell& shell, QWidget* parent) : QDialog(parent), m_shell(shell)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    const QString title = QString::fromLatin1(Dialogs::ApplicationTitle);

    // About box load.
    setWindowTitle(title + QLatin1String(CaptionSuffix));

    picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    const QIcon icon(shell.Context().ResourcePath(QStringLiteral("ico/QvsStudio.ico")));
    picIcon->setPixmap(icon.pixmap(48, 48));
    picIcon->setFixedSize(52, 52);
    picIcon->setAlignment(Qt::AlignCenter);

    lblTitle = new QLabel(title, this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    QFont big = lblTitle->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    lblTitle->setFont(big);

    lblVersion = new QLabel(VersionText(), this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));

    LblFactory = new QLabel(QString::fromLatin1(Company), this);
    LblFactory->setObjectName(QStringLiteral("LblFactory"));
    QFont company = LblFactory->font();
    company.setBold(true);
    LblFactory->setFont(company);

    lblDescription = new QLabel(DescriptionText(), this);
    lblDescription->setObjectName(QStringLiteral("lblDescription"));
    lblDescription->setTextFormat(Qt::PlainText);
    lblDescription->setTextInteractionFlags(Qt::TextSelectableByMouse);

    Line1[0] = Separator(this, 0);
    Line1[1] = Separator(this, 1);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdSysInfo = new QPushButton(QStringLiteral("&System Info..."), this);
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));

    auto* root = new QVBoxLayout(this);
    auto* head = new QGridLayout;
    head->addWidget(picIcon, 0, 0, 2, 1, Qt::AlignTop);
    head->addWidget(lblTitle, 0, 1);
    head->addWidget(lblVersion, 1, 1);
    head->setColumnStretch(1, 1);
    head->setHorizontalSpacing(14);
    root->addLayout(head);
    root->addWidget(Line1[0]);
    root->addWidget(LblFactory);
    root->addWidget(lblDescription);
    root->addWidget(Line1[1]);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdSysInfo);
    root->addLayout(buttons);
    setFixedSize(QSize(380, 300).expandedTo(sizeHint()));

    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::StartSysInfo);
}

frmAbout* frmAbout::ShowAbout(Shell& shell)
{
    auto* box = new frmAbout(shell, shell.Window());
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    box->show();
    box->raise();
    box->activateWindow();
    return box;
}

void frmAbout::StartSysInfo()
{
    const QString program = FindSysInfoProgram();
    bool started = false;
    if (!program.isEmpty())
        started = Starter ? Starter(program) : QProcess::startDetached(program, {});
    if (!started)
        m_shell.Dialog().Message(this, QString::fromLatin1(Unavailable));
}
