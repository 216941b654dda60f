#pragma once
// Small widgets and colour helpers of the configuration page and its
// dialogs: a picture that can be clicked, the dotted focus mark drawn round
// a control that has the keyboard focus, and the section colours (0x00BBGGRR
// or 0x800000nn system colours) applied to labels, frames and check boxes.
#include <QCursor>
#include <QLabel>
#include <QPixmap>
#include <QWidget>

#include <cstdint>

class QString;

namespace configui {

// A picture box: shows a pixmap scaled into its rectangle (aspect kept) and
// reports a left click.
class PictureBox : public QLabel {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent = nullptr);
    // A null pixmap clears the picture.
    void SetPicture(const QPixmap& picture);
    const QPixmap& Picture() const { return m_picture; }

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void ShowScaled();
    QPixmap m_picture;
};

// A dotted rectangle that marks the keyboard focus of another control; it
// lets the mouse through.
class FocusFrame : public QWidget {
    Q_OBJECT
public:
    explicit FocusFrame(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A label that takes the keyboard focus for a picture: while it has the
// focus its FocusFrame is shown; Enter reports activated().
class FocusLabel : public QLabel {
    Q_OBJECT
public:
    explicit FocusLabel(QWidget* parent = nullptr);
    void SetFocusFrame(FocusFrame* frame);

signals:
    void activated();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    FocusFrame* m_frame = nullptr;
};

// Background (painted by the widget) and text colour of labels, frames and
// check boxes.
void SetBackColour(QWidget* w, int32_t colour);
void SetTextColour(QWidget* w, int32_t colour);
// The colour a widget paints as background / text now.
QColor BackColour(const QWidget* w);
QColor TextColour(const QWidget* w);
// Keeps a widget on the application's colours whatever its parent uses
// (text boxes and scroll bars inside coloured frames).
void KeepSystemColours(QWidget* w);

// The picture of a file, null when the file is missing or unreadable.
QPixmap LoadPicture(const QString& path);
// The hand pointer of clickable pictures: the icon file with its hot spot,
// or the toolkit's pointing hand when the file cannot be read.
QCursor HandCursor(const QString& iconPath);

} // namespace configui
