#include "gui/shell/StatusBarView.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>

namespace {
// Panel widths in pixels; 0 = takes the remaining width.
constexpr std::array<int, StatusBarView::PanelCount> PanelWidths = {24, 0, 58, 60, 40, 60, 58, 50, 40};
} // namespace

StatusBarView::StatusBarView(QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("StatusBar"));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(2, 2, 2, 2);
    row->setSpacing(2);
    for (int i = 0; i < PanelCount; ++i) {
        auto* panel = new QFrame(this);
        panel->setObjectName(QStringLiteral("StatusBar_Panel%1").arg(i + 1));
        panel->setFrameShape(QFrame::StyledPanel);
        panel->setFrameShadow(QFrame::Sunken);
        auto* lay = new QHBoxLayout(panel);
        lay->setContentsMargins(3, 1, 3, 1);
        lay->setSpacing(3);
        auto* label = new QLabel(panel);
        label->setObjectName(QStringLiteral("StatusBar_Text%1").arg(i + 1));
        label->setAlignment(i == 0 ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter);
        lay->addWidget(label, 1);
        if (PanelWidths[i] > 0)
            panel->setFixedWidth(PanelWidths[i]);
        row->addWidget(panel, PanelWidths[i] > 0 ? 0 : 1);
        m_panels[i] = panel;
        m_labels[i] = label;
    }
    setFixedHeight(30);
}

QString StatusBarView::PanelKey(int i)
{
    switch (i) {
    case 2:
        return QStringLiteral("PStatus");
    case 6:
        return QStringLiteral("FirmVer");
    case 8:
        return QStringLiteral("CommPort");
    case 9:
        return QStringLiteral("BitRate");
    default:
        return {};
    }
}

QFrame* StatusBarView::Panel(int i) const { return (i >= 1 && i <= PanelCount) ? m_panels[i - 1] : nullptr; }
QLabel* StatusBarView::PanelLabel(int i) const { return (i >= 1 && i <= PanelCount) ? m_labels[i - 1] : nullptr; }

QHBoxLayout* StatusBarView::PanelLayout(int i) const
{
    QFrame* p = Panel(i);
    return p ? static_cast<QHBoxLayout*>(p->layout()) : nullptr;
}

QString StatusBarView::PanelText(int i) const
{
    QLabel* l = PanelLabel(i);
    return l ? l->text() : QString();
}

void StatusBarView::SetPanelText(int i, const QString& text)
{
    if (QLabel* l = PanelLabel(i); l && l->text() != text)
        l->setText(text);
}

void StatusBarView::SetPanelIcon(int i, const QIcon& icon)
{
    QLabel* l = PanelLabel(i);
    if (!l)
        return;
    if (icon.cacheKey() == m_icons[i - 1].cacheKey() && !icon.isNull())
        return;
    m_icons[i - 1] = icon;
    l->setPixmap(icon.isNull() ? QPixmap() : icon.pixmap(16, 16));
}

QIcon StatusBarView::PanelIcon(int i) const { return (i >= 1 && i <= PanelCount) ? m_icons[i - 1] : QIcon(); }

void StatusBarView::SetPanelToolTip(int i, const QString& tip)
{
    if (QFrame* p = Panel(i))
        p->setToolTip(tip);
}

void StatusBarView::AddProgBar(QProgressBar* bar, int panel)
{
    if (!bar || !Panel(panel))
        return;
    m_bar = bar;
    m_barPanel = panel;
    bar->setParent(this);
    bar->setTextVisible(false);
    bar->setStyleSheet(QStringLiteral("QProgressBar { border: none; background: transparent; }"
                                      "QProgressBar::chunk { background: #0a64c8; }"));
    Panel(panel)->installEventFilter(this);
    bar->raise();
    bar->show();
    PlaceProgressBar();
}

bool StatusBarView::eventFilter(QObject* watched, QEvent* event)
{
    if (m_bar && watched == Panel(m_barPanel) && (event->type() == QEvent::Move || event->type() == QEvent::Resize))
        PlaceProgressBar();
    return QFrame::eventFilter(watched, event);
}

void StatusBarView::PlaceProgressBar()
{
    if (!m_bar)
        return;
    // Inset 25 twips from the left, 45 twips narrower, 45 twips below the bar's
    // top and 75 twips lower than the bar: at 15 twips a pixel.
    const QRect p = Panel(m_barPanel)->geometry();
    m_bar->setGeometry(p.left() + 2, 3, p.width() - 3, height() - 5);
    m_bar->raise();
}
