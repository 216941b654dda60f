#include "gui/shell/frmInit.h"

#include "core/state/CoreContext.h"
#include "gui/shell/frmMain.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QLabel>
#include <QPixmap>
#include <QProgressBar>
#include <QVBoxLayout>

frmInit::frmInit(CoreContext& context, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint), m_ctx(context)
{
    setObjectName(QStringLiteral("frmInit"));
    setFixedSize(520, 380);
    setStyleSheet(QStringLiteral("frmInit { background: white; border: 1px solid #7a8a99; }"));
    setAttribute(Qt::WA_StyledBackground, true);

    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(10, 10, 10, 10);
    lay->setSpacing(8);
    imgPhoto = new QLabel(this);
    imgPhoto->setObjectName(QStringLiteral("imgPhoto"));
    imgPhoto->setToolTip(QStringLiteral("Typical valve configuration"));
    imgPhoto->setAlignment(Qt::AlignCenter);
    imgPhoto->setScaledContents(true);
    // The application and logo areas are left empty.
    imgApplication = new QLabel(this);
    imgApplication->setObjectName(QStringLiteral("imgApplication"));
    imgApplication->hide();
    imgLogo = new QLabel(this);
    imgLogo->setObjectName(QStringLiteral("imgLogo"));
    imgLogo->hide();
    PrgInit = new QProgressBar(this);
    PrgInit->setObjectName(QStringLiteral("PrgInit"));
    PrgInit->setTextVisible(false);
    PrgInit->setFixedHeight(14);
    lay->addWidget(imgPhoto, 1);
    lay->addWidget(PrgInit);

    TmrInit.setObjectName(QStringLiteral("TmrInit"));
    TmrInit.setInterval(2);
    TmrInit.setTimerType(Qt::PreciseTimer);
    connect(&TmrInit, &QTimer::timeout, this, &frmInit::Tick);
}

void frmInit::ResetFlags()
{
    ShellState& st = m_ctx.Shell;
    st.SetParamsUnchanged(true);
    st.SetFileState(0);
    st.SetInfoChanged(false);
    st.SetParamsDiffer(false);
}

void frmInit::InitFormReset()
{
    PrgInit->setMaximum(100);
    PrgInit->setMinimum(0);
    PrgInit->setValue(0);
    QCoreApplication::processEvents();
}

void frmInit::Tick()
{
    ++m_ticks;
    if (PrgInit->value() < PrgInit->maximum())
        PrgInit->setValue(PrgInit->value() + 1);
    else
        PrgInit->setValue(PrgInit->maximum());
}

std::unique_ptr<frmMain> frmInit::Run(Dialogs* dialogs)
{
    ResetFlags();
    // A missing picture leaves the area empty; the start-up goes on.
    const QPixmap photo(m_ctx.ResourcePath(QStringLiteral("bmp/Init.jpg")));
    m_hasPicture = !photo.isNull();
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    imgPhoto->setPixmap(photo);
    imgApplication->clear();
    imgLogo->clear();

    show();
    setFocus();

    m_ticks = 0;
    TmrInit.start();
    InitFormReset();

    auto main = std::make_unique<frmMain>(m_ctx, dialogs);
    ResetFlags();

    const QDeadlineTimer deadline(MaxSplashMs);
    while (PrgInit->value() < PrgInit->maximum() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents); // TmrInit wakes it
    if (PrgInit->value() < PrgInit->maximum())
        PrgInit->setValue(PrgInit->maximum());

    TmrInit.stop();
    close();
    main->show();
    main->SelectTab(0);
    main->InitPalette();
    ResetFlags();
    return main;
}
