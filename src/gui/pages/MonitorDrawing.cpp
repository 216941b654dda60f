#include "gui/pages/MonitorDrawing.h"

#include "controls/RsvColor.h"

#include <QPainter>
#include <QPalette>

namespace monitor {

void SetBackColour(QWidget* w, int32_t back)
{
    if (!w)
        return;
    w->setProperty("BackColor", back);
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, RsvColorFromOle(back));
    w->setPalette(pal);
    w->setAutoFillBackground(true);
}

void SetTextColour(QWidget* w, int32_t text)
{
    if (!w)
        return;
    w->setProperty("ForeColor", text);
    QPalette pal = w->palette();
    const QColor c = RsvColorFromOle(text);
    pal.setColor(QPalette::WindowText, c);
    pal.setColor(QPalette::Text, c);
    w->setPalette(pal);
}

void SetColours(QWidget* w, int32_t back, int32_t text)
{
    SetBackColour(w, back);
    SetTextColour(w, text);
}

int32_t BackColour(const QWidget* w) { return w ? w->property("BackColor").toInt() : 0; }
int32_t TextColour(const QWidget* w) { return w ? w->property("ForeColor").toInt() : 0; }

QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& caption, const QRect& geometry)
{
    auto* l = new QLabel(caption, parent);
    l->setObjectName(name);
    l->setGeometry(geometry);
    l->setProperty("Tag", 0);
    return l;
}

} // namespace monitor

MonitorShape::MonitorShape(QWidget* parent) : QWidget(parent) {}

void MonitorShape::SetFillColor(qint32 colour)
{
    if (m_fill == colour)
        return;
    m_fill = colour;
    update();
}

void MonitorShape::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setPen(QPen(QColor(0x1d, 0x25, 0x2c), 1));
    p.setBrush(RsvColorFromOle(m_fill));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

MonitorLine::MonitorLine(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void MonitorLine::SetEnds(QPoint from, QPoint to, int width)
{
    m_width = std::max(1, width);
    const int pad = m_width;
    const QRect box = QRect(from, to).normalized().adjusted(-pad, -pad, pad, pad);
    setGeometry(box);
    m_from = from - box.topLeft();
    m_to = to - box.topLeft();
    update();
}

void MonitorLine::SetBorderColor(qint32 colour)
{
    m_colour = colour;
    update();
}

void MonitorLine::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(RsvColorFromOle(m_colour), m_width, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(m_from, m_to);
}

void MonitorRedrawTrigger::SetValue(int16_t v)
{
    m_value = v;
    if (v != 1 || m_running)
        return;
    m_running = true;
    ++m_raised;
    if (Action)
        Action();
    m_running = false;
    m_value = 0;
}
