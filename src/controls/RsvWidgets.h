#pragma once
// Building blocks shared by the three controls: the design measures (twips,
// 15 to a pixel), the design font, colour setters that leave the disabled
// look to the style, a frame with an optional caption and a rectangle shape.
#include <QColor>
#include <QRect>
#include <QString>
#include <QWidget>

namespace rsv {

int Twips(int twips);
QRect TwipRect(int left, int top, int width, int height);

// The design font "Tahoma" at `points`: the system sans-serif at that size.
QFont DesignFont(double points, bool bold = false);

// Text colour of a label, check box or similar (enabled states only).
void SetTextColour(QWidget* w, const QColor& c);
// Background of a widget, painted by the widget itself.
void SetBackColour(QWidget* w, const QColor& c);
// Keeps a widget on the application's colours whatever its parent uses.
void KeepSystemColours(QWidget* w);

// A container with an etched border and an optional caption cut into its top
// edge; its background and caption colour are its own. Disabled, the caption
// is drawn grey.
class Frame : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ caption WRITE setCaption)
    Q_PROPERTY(QColor TextColor READ textColor WRITE setTextColor)
    Q_PROPERTY(QColor BackColor READ backColor WRITE setBackColor)
public:
    explicit Frame(QWidget* parent = nullptr);

    QString caption() const { return m_caption; }
    void setCaption(const QString& c);
    QColor textColor() const { return m_text; }
    void setTextColor(const QColor& c);
    QColor backColor() const { return m_back; }
    void setBackColor(const QColor& c);

protected:
    void paintEvent(QPaintEvent*) override;
    void changeEvent(QEvent* e) override;

private:
    QString m_caption;
    QColor m_text;
    QColor m_back;
};

// A rectangle: filled (a lamp) or an outline only (a focus mark).
class Shape : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QColor FillColor READ fillColor WRITE setFillColor)
    Q_PROPERTY(QColor BorderColor READ borderColor WRITE setBorderColor)
public:
    enum class Border { Solid, Dotted };
    Shape(Border border, bool filled, QWidget* parent = nullptr);

    QColor fillColor() const { return m_fill; }
    void setFillColor(const QColor& c);
    QColor borderColor() const { return m_border; }
    void setBorderColor(const QColor& c);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    Border m_style;
    bool m_filled;
    QColor m_fill;
    QColor m_border;
};

} // namespace rsv
