#pragma once
// Drawing pieces of the Monitor page: labels that carry their colours as
// 0x00BBGGRR values, a filled rectangle, a connecting line, the hidden redraw
// triggers.
#include "core/files/Lists.h"

#include <QLabel>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <vector>

namespace monitor {

// Colours as values 0x00BBGGRR (or 0x800000nn system colours).
inline constexpr int32_t Red = 0x0000FF;
inline constexpr int32_t Blue = 0xFF0000;
inline constexpr int32_t White = 0xFFFFFF;
inline constexpr int32_t WindowText = static_cast<int32_t>(0x80000008u);

// Background and text colour of a label (or any widget); the values are kept
// in the properties "BackColor" and "ForeColor".
void SetColours(QWidget* w, int32_t back, int32_t text);
void SetBackColour(QWidget* w, int32_t back);
void SetTextColour(QWidget* w, int32_t text);
int32_t BackColour(const QWidget* w);
int32_t TextColour(const QWidget* w);

// A label with a tag (the input number a digital-input label shows).
QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& caption, const QRect& geometry);

} // namespace monitor

// A filled rectangle with a border (the READY lamp).
class MonitorShape : public QWidget {
    Q_OBJECT
    Q_PROPERTY(qint32 FillColor READ FillColor WRITE SetFillColor)
public:
    explicit MonitorShape(QWidget* parent = nullptr);
    qint32 FillColor() const { return m_fill; }
    void SetFillColor(qint32 colour);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    qint32 m_fill = monitor::White;
};

// A straight line between two points of its parent, drawn in BorderColor.
class MonitorLine : public QWidget {
    Q_OBJECT
    Q_PROPERTY(qint32 BorderColor READ BorderColor WRITE SetBorderColor)
public:
    explicit MonitorLine(QWidget* parent = nullptr);
    // Places the line between two points (parent coordinates), width in px.
    void SetEnds(QPoint from, QPoint to, int width = 3);
    qint32 BorderColor() const { return m_colour; }
    void SetBorderColor(qint32 colour);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QPoint m_from, m_to;
    int m_width = 3;
    qint32 m_colour = 0;
};

// A hidden value that runs its action when it takes the value 1 and then
// returns to 0. The main window raises the Monitor page's two triggers when
// the connection drops; the Configure page raises them after a change of
// joysticks or solenoids.
class MonitorRedrawTrigger {
public:
    MonitorRedrawTrigger& operator=(int16_t v)
    {
        SetValue(v);
        return *this;
    }
    operator int16_t() const { return m_value; }
    int16_t Value() const { return m_value; }
    void SetValue(int16_t v);
    // How often the trigger was raised (each time its redraw ran).
    int Raised() const { return m_raised; }
    // The redraw; set by the page, dropped when the page goes.
    std::function<void()> Action;

private:
    int16_t m_value = 0;
    int m_raised = 0;
    bool m_running = false;
};
