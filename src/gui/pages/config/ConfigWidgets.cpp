#include "gui/pages/config/ConfigWidgets.h"

#include "controls/RsvColor.h"

#include <QApplication>
#include <QFocusEvent>
#include <QIcon>
#include <QImageReader>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>

namespace configui {

PictureBox::PictureBox(QWidget* parent) : QLabel(parent)
{
    setAlignment(Qt::AlignCenter);
    setFrameShape(QFrame::NoFrame);
}

void PictureBox::SetPicture(const QPixmap& picture)
{
    m_picture = picture;
    ShowScaled();
}

void PictureBox::ShowScaled()
{
    if (m_picture.isNull()) {
        clear();
        return;
    }
    const QSize room = contentsRect().size();
    if (room.isEmpty())
        return;
    setPixmap(m_picture.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}

void PictureBox::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    ShowScaled();
}

FocusFrame::FocusFrame(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    hide();
}

void FocusFrame::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    QPen pen(palette().color(QPalette::WindowText));
    pen.setStyle(Qt::DotLine);
    p.setPen(pen);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

FocusLabel::FocusLabel(QWidget* parent) : QLabel(parent) { setFocusPolicy(Qt::StrongFocus); }

void FocusLabel::SetFocusFrame(FocusFrame* frame) { m_frame = frame; }

void FocusLabel::focusInEvent(QFocusEvent* event)
{
    if (m_frame) {
        m_frame->show();
        m_frame->raise();
    }
    QLabel::focusInEvent(event);
}

void FocusLabel::focusOutEvent(QFocusEvent* event)
{
    if (m_frame)
        m_frame->hide();
    QLabel::focusOutEvent(event);
}

void FocusLabel::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        emit activated();
        event->accept();
        return;
    }
    QLabel::keyPressEvent(event);
}

void SetBackColour(QWidget* w, int32_t colour)
{
    QPalette p = w->palette();
    const QColor c = RsvColorFromOle(colour);
    // Buttons (check boxes) paint their background in the button role.
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        p.setColor(group, QPalette::Window, c);
        p.setColor(group, w->backgroundRole(), c);
    }
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

void SetTextColour(QWidget* w, int32_t colour)
{
    QPalette p = w->palette();
    const QColor c = RsvColorFromOle(colour);
    // The disabled look stays the style's own.
    for (auto group : {QPalette::Active, QPalette::Inactive}) {
        p.setColor(group, QPalette::WindowText, c);
        p.setColor(group, QPalette::ButtonText, c);
    }
    w->setPalette(p);
}

QColor BackColour(const QWidget* w) { return w->palette().color(QPalette::Active, w->backgroundRole()); }

QColor TextColour(const QWidget* w) { return w->palette().color(QPalette::Active, QPalette::WindowText); }

void KeepSystemColours(QWidget* w)
{
    const QPalette app = QApplication::palette();
    QPalette p = w->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        for (auto role : {QPalette::Window, QPalette::WindowText, QPalette::Button, QPalette::ButtonText,
                          QPalette::Base, QPalette::Text})
            p.setColor(group, role, app.color(group, role));
    w->setPalette(p);
}

QPixmap LoadPicture(const QString& path)
{
    QImageReader reader(path);
    const QImage image = reader.read();
    return image.isNull() ? QPixmap() : QPixmap::fromImage(image);
}

QCursor HandCursor(const QString& iconPath)
{
    const QIcon icon(iconPath);
    const QPixmap pixmap = icon.isNull() ? QPixmap() : icon.pixmap(QSize(32, 32));
    if (pixmap.isNull())
        return QCursor(Qt::PointingHandCursor);
    return QCursor(pixmap, 12, 1);
}

} // namespace configui
