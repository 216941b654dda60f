#include "gui/shell/FrmWait.h"

#include <QCoreApplication>
#include <QProgressBar>
#include <QVBoxLayout>

#include <algorithm>

FrmWait::FrmWait(QWidget* parent) : QWidget(parent, Qt::Tool | Qt::WindowTitleHint | Qt::CustomizeWindowHint)
{
    setObjectName(QStringLiteral("FrmWait"));
    setWindowTitle(QStringLiteral("Reading..."));
    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(12, 12, 12, 12);
    ProgressBar = new QProgressBar(this);
    ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    ProgressBar->setRange(0, 100);
    ProgressBar->setValue(0);
    lay->addWidget(ProgressBar);
    setFixedSize(300, 60);
}

void FrmWait::DrawWaitBar(int percent, const QString& text)
{
    if (!isVisible())
        show();
    if (windowTitle() != text)
        setWindowTitle(text);
    ProgressBar->setValue(std::clamp(percent, 0, 100));
    QCoreApplication::processEvents();
    if (percent > 99)
        close();
}
