#include "controls/RsvWidgets.h"

#include <QApplication>
#include <QEvent>
#include <QFontDatabase>
#include <QPainter>
#include <QPalette>

#include <cmath>

namespace rsv {

int Twips(int twips) { return int(std::lround(twips / 15.0)); }

QRect TwipRect(int left, int top, int width, int height)
{
    return QRect(Twips(left), Twips(top), Twips(width), Twips(height));
}

QFont DesignFont(double points, bool bold)
{
    QFont f = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    f.setStyleHint(QFont::SansSerif);
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

void SetTextColour(QWidget* w, const QColor& c)
{
    QPalette p = w->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive}) {
        p.setColor(group, QPalette::WindowText, c);
        p.setColor(group, QPalette::Text, c);
        p.setColor(group, QPalette::ButtonText, c);
    }
    w->setPalette(p);
}

void SetBackColour(QWidget* w, const QColor& c)
{
    QPalette p = w->palette();
    p.setColor(QPalette::Window, c);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

void KeepSystemColours(QWidget* w)
{
    const QPalette app = QApplication::palette();
    QPalette p = w->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        for (auto role : {QPalette::Window, QPalette::WindowText, QPalette::Button,
                          QPalette::ButtonText, QPalette::Base, QPalette::Text})
            p.setColor(group, role, app.color(group, role));
    w->setPalette(p);
}

Frame::Frame(QWidget* parent) : QWidget(parent)
{
    m_text = QApplication::palette().color(QPalette::ButtonText);
    m_back = QApplication::palette().color(QPalette::Button);
}

void Frame::setCaption(const QString& c)
{
    m_caption = c;
    update();
}

void Frame::setTextColor(const QColor& c)
{
    m_text = c;
    update();
}

void Frame::setBackColor(const QColor& c)
{
    m_back = c;
    update();
}

void Frame::changeEvent(QEvent* e)
{
    if (e->type() == QEvent::EnabledChange || e->type() == QEvent::FontChange)
        update();
    QWidget::changeEvent(e);
}

void Frame::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), m_back);

    const QFontMetrics fm(font());
    const int top = m_caption.isEmpty() ? 0 : fm.height() / 2;
    const QRect box = rect().adjusted(0, top, -1, -1);
    const QPalette& pal = QApplication::palette();
    // Etched border: a shadow line with a light line inside it.
    p.setPen(pal.color(QPalette::Dark));
    p.drawRect(box.adjusted(0, 0, -1, -1));
    p.setPen(pal.color(QPalette::Light));
    p.drawRect(box.adjusted(1, 1, 0, 0));

    if (m_caption.isEmpty())
        return;
    const int x = 6;
    const QRect textRect(x, 0, fm.horizontalAdvance(m_caption) + 4, fm.height());
    p.fillRect(textRect, m_back);
    p.setPen(isEnabled() ? m_text : pal.color(QPalette::Disabled, QPalette::WindowText));
    p.drawText(textRect, Qt::AlignCenter | Qt::TextSingleLine, m_caption);
}

Shape::Shape(Border border, bool filled, QWidget* parent)
    : QWidget(parent), m_style(border), m_filled(filled)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    m_fill = QApplication::palette().color(QPalette::Base);
    m_border = QApplication::palette().color(QPalette::Text);
}

void Shape::setFillColor(const QColor& c)
{
    m_fill = c;
    update();
}

void Shape::setBorderColor(const QColor& c)
{
    m_border = c;
    update();
}

void Shape::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect r = rect().adjusted(0, 0, -1, -1);
    if (m_filled)
        p.fillRect(r, m_fill);
    QPen pen(m_border);
    pen.setStyle(m_style == Border::Dotted ? Qt::DotLine : Qt::SolidLine);
    p.setPen(pen);
    p.drawRect(r);
}

} // namespace rsv
