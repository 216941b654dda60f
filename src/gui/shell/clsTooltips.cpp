#include "gui/shell/clsTooltips.h"

#include "controls/RsvColor.h"

#include <QApplication>
#include <QEvent>
#include <QFont>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QStyle>
#include <QToolTip>
#include <QVBoxLayout>
#include <QWidget>

#include <algorithm>

// The popup itself: a frameless tool window that paints its own outline (a
// rectangle, or a rounded balloon with a tail pointing at the control).
class TipWindow : public QWidget {
public:
    static constexpr int Tail = 10;    // height of the balloon's tail
    static constexpr int Radius = 7;   // corner radius of the balloon
    static constexpr int TailHalf = 8; // half the width of the tail at its base

    TipWindow(bool balloon, const QColor& back, const QColor& text, QWidget* owner)
        : QWidget(owner, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                             Qt::WindowDoesNotAcceptFocus),
          m_balloon(balloon), m_back(back), m_text(text)
    {
        setObjectName(QStringLiteral("clsTooltipsWindow"));
        setAttribute(Qt::WA_ShowWithoutActivating);
        setAttribute(Qt::WA_TranslucentBackground, balloon);
        setFocusPolicy(Qt::NoFocus);
        QPalette pal = palette();
        pal.setColor(QPalette::Window, back);
        pal.setColor(QPalette::WindowText, text);
        setPalette(pal);

        auto* col = new QVBoxLayout(this);
        col->setSpacing(3);
        auto* head = new QHBoxLayout;
        head->setSpacing(5);
        Icon = new QLabel(this);
        Icon->setObjectName(QStringLiteral("TipIcon"));
        Title = new QLabel(this);
        Title->setObjectName(QStringLiteral("TipTitle"));
        Title->setTextFormat(Qt::PlainText);
        QFont bold = Title->font();
        bold.setBold(true);
        Title->setFont(bold);
        head->addWidget(Icon);
        head->addWidget(Title, 1);
        col->addLayout(head);
        Text = new QLabel(this);
        Text->setObjectName(QStringLiteral("TipText"));
        Text->setTextFormat(Qt::PlainText);
        Text->setWordWrap(false); // the text's own line breaks, no wrapping width
        col->addWidget(Text);
        SetTailAtTop(true);
    }

    // The balloon's tail points up (tip under the control) or down.
    void SetTailAtTop(bool top)
    {
        m_tailTop = top;
        if (m_balloon)
            layout()->setContentsMargins(9, top ? Tail + 6 : 6, 9, top ? 6 : Tail + 6);
        else
            layout()->setContentsMargins(5, 3, 5, 3);
    }
    // Horizontal position of the tail's point, in window coordinates.
    void SetTailX(int x) { m_tailX = x; }
    bool Balloon() const { return m_balloon; }

    QLabel* Icon = nullptr;
    QLabel* Title = nullptr;
    QLabel* Text = nullptr;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing, m_balloon);
        const QColor border = m_text;
        if (!m_balloon) {
            p.fillRect(rect(), m_back);
            p.setPen(border);
            p.drawRect(rect().adjusted(0, 0, -1, -1));
            return;
        }
        const QRectF body = QRectF(rect()).adjusted(0.5, m_tailTop ? Tail + 0.5 : 0.5, -0.5,
                                                    m_tailTop ? -0.5 : -Tail - 0.5);
        QPainterPath path;
        path.addRoundedRect(body, Radius, Radius);
        const qreal x = std::clamp<qreal>(m_tailX, Radius + TailHalf, width() - Radius - TailHalf);
        QPainterPath tail;
        if (m_tailTop) {
            tail.moveTo(x - TailHalf, body.top() + 1);
            tail.lineTo(x, 0.5);
            tail.lineTo(x + TailHalf, body.top() + 1);
        } else {
            tail.moveTo(x - TailHalf, body.bottom() - 1);
            tail.lineTo(x, height() - 0.5);
            tail.lineTo(x + TailHalf, body.bottom() - 1);
        }
        tail.closeSubpath();
        path = path.united(tail);
        p.fillPath(path, m_back);
        p.setPen(QPen(border, 1));
        p.drawPath(path);
    }

private:
    bool m_balloon;
    QColor m_back;
    QColor m_text;
    bool m_tailTop = true;
    int m_tailX = 20;
};

namespace {

QPixmap IconPixmap(int32_t icon)
{
    QStyle::StandardPixmap sp;
    switch (icon) {
    case clsTooltips::InfoIcon:
        sp = QStyle::SP_MessageBoxInformation;
        break;
    case clsTooltips::WarningIcon:
        sp = QStyle::SP_MessageBoxWarning;
        break;
    case clsTooltips::ErrorIcon:
        sp = QStyle::SP_MessageBoxCritical;
        break;
    default:
        return {};
    }
    return QApplication::style()->standardIcon(sp).pixmap(16, 16);
}

} // namespace

clsTooltips::clsTooltips(QObject* parent) : QObject(parent)
{
    m_autoPop.setSingleShot(true);
    m_autoPop.setInterval(AutoPopMs);
    connect(&m_autoPop, &QTimer::timeout, this, &clsTooltips::HideTip);
}

clsTooltips::~clsTooltips() { Destroy(); }

QString clsTooltips::DisplayText(const QString& text)
{
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return t;
}

bool clsTooltips::CreateBalloon(QWidget* control, const QString& text, const QString& title, int32_t icon)
{
    m_style = BalloonStyle;
    m_parent = control;
    m_tipText = text;
    m_title = title;
    m_icon = icon;
    Create();
    SetActive(true);
    return m_tip != nullptr;
}

bool clsTooltips::CreateTip(QWidget* control, const QString& text, const QString& title, int32_t icon)
{
    m_style = StandardStyle;
    m_parent = control;
    m_tipText = text;
    m_title = title;
    // A standard tip shows the warning and error icons only.
    m_icon = (icon == InfoIcon || icon > ErrorIcon || icon < NoIcon) ? NoIcon : icon;
    Create();
    SetActive(true);
    return m_tip != nullptr;
}

void clsTooltips::SetActive(bool active)
{
    m_active = active;
    if (!active)
        HideTip();
}

void clsTooltips::SetParentControl(QWidget* control)
{
    m_parent = control;
    Recreate();
}

void clsTooltips::SetStyle(int32_t style)
{
    m_style = style;
    Recreate();
}

void clsTooltips::SetCentered(bool centered)
{
    m_centered = centered;
    Recreate();
}

void clsTooltips::SetIcon(int32_t icon)
{
    m_icon = icon;
    Recreate();
}

void clsTooltips::SetForeColor(int32_t colour)
{
    m_foreColor = colour;
    Recreate();
}

void clsTooltips::SetTitle(const QString& title)
{
    m_title = title;
    Recreate();
}

void clsTooltips::SetBackColor(int32_t colour)
{
    m_backColor = colour;
    Recreate();
}

void clsTooltips::SetTipText(const QString& text)
{
    m_tipText = text;
    Recreate();
}

QWidget* clsTooltips::hWnd() const { return m_tip.data(); }

QLabel* clsTooltips::IconLabel() const { return m_tip ? m_tip->Icon : nullptr; }
QLabel* clsTooltips::TitleLabel() const { return m_tip ? m_tip->Title : nullptr; }
QLabel* clsTooltips::TextLabel() const { return m_tip ? m_tip->Text : nullptr; }

bool clsTooltips::Remove()
{
    Destroy();
    return false;
}

void clsTooltips::Destroy()
{
    m_autoPop.stop();
    QObject::disconnect(m_parentGone);
    if (m_parent)
        m_parent->removeEventFilter(this);
    delete m_tip.data();
    m_tip = nullptr;
}

void clsTooltips::Recreate()
{
    const bool active = m_active;
    Create();
    SetActive(active);
}

void clsTooltips::Create()
{
    Destroy();
    if (!m_parent)
        return;
    const QPalette tipPalette = QToolTip::palette();
    const QColor back = m_backColor != 0 ? RsvColorFromOle(m_backColor) : tipPalette.color(QPalette::ToolTipBase);
    const QColor text = m_foreColor != 0 ? RsvColorFromOle(m_foreColor) : tipPalette.color(QPalette::ToolTipText);
    // The tip belongs to the control's window, so it goes with it.
    auto* tip = new TipWindow(m_style == BalloonStyle, back, text, m_parent->window());
    tip->Text->setText(DisplayText(m_tipText));
    // The title line carries the icon; an empty title shows neither.
    const QPixmap icon = IconPixmap(m_icon);
    tip->Title->setText(m_title);
    tip->Title->setVisible(!m_title.isEmpty());
    tip->Icon->setPixmap(icon);
    tip->Icon->setVisible(!m_title.isEmpty() && !icon.isNull());
    QPalette labels = tip->palette();
    labels.setColor(QPalette::WindowText, text);
    for (QLabel* l : {tip->Icon, tip->Title, tip->Text})
        l->setPalette(labels);
    tip->hide();
    m_tip = tip;
    m_parent->installEventFilter(this);
    // The tip goes with its control.
    m_parentGone = connect(m_parent, &QObject::destroyed, this, [this] {
        m_autoPop.stop();
        delete m_tip.data();
    });
}

bool clsTooltips::ShowTipAt(const QPoint& globalPos)
{
    if (!m_tip || !m_active || !m_parent || !m_parent->isVisible())
        return false;
    TipWindow& tip = *m_tip;
    tip.SetTailAtTop(true);
    tip.adjustSize();
    const QSize size = tip.sizeHint().expandedTo(tip.minimumSizeHint());
    tip.resize(size);

    // Where the tip points: the middle of the control's lower edge when
    // centred, else the mouse. A centred tip hangs symmetrically under its
    // point, a balloon's tail sits near its left end, a standard tip starts
    // at the mouse below the cursor.
    QPoint anchor;
    int x = 0;
    if (m_centered) {
        anchor = m_parent->mapToGlobal(QPoint(m_parent->width() / 2, m_parent->height()));
        x = anchor.x() - size.width() / 2;
    } else if (tip.Balloon()) {
        anchor = globalPos + QPoint(0, 4);
        x = anchor.x() - 20;
    } else {
        anchor = globalPos + QPoint(0, 20);
        x = anchor.x();
    }
    int y = anchor.y() + 2;

    const QScreen* screen = QApplication::screenAt(anchor);
    if (!screen)
        screen = m_parent->screen();
    if (screen) {
        const QRect area = screen->availableGeometry();
        x = std::clamp(x, area.left(), std::max(area.left(), area.right() - size.width()));
        if (y + size.height() > area.bottom()) {
            // No room below: above the control, the tail pointing down.
            tip.SetTailAtTop(false);
            tip.adjustSize();
            const int top = m_centered ? m_parent->mapToGlobal(QPoint(0, 0)).y() : globalPos.y();
            y = std::max(area.top(), top - size.height() - 2);
        }
    }
    tip.SetTailX(anchor.x() - x);
    tip.move(x, y);
    tip.show();
    tip.raise();
    tip.update();
    m_autoPop.start();
    return true;
}

void clsTooltips::HideTip()
{
    m_autoPop.stop();
    if (m_tip)
        m_tip->hide();
}

bool clsTooltips::TipShown() const { return m_tip && m_tip->isVisible(); }

bool clsTooltips::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_parent.data()) {
        switch (event->type()) {
        case QEvent::ToolTip:
            if (m_tip) {
                // The mouse rests on the control: this tip instead of the
                // control's plain tooltip.
                if (m_active)
                    ShowTipAt(static_cast<QHelpEvent*>(event)->globalPos());
                return true;
            }
            break;
        case QEvent::Leave:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::Hide:
        case QEvent::WindowDeactivate:
        case QEvent::FocusOut:
            HideTip();
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}
