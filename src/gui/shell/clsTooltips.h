#pragma once
// A rich tooltip for one control: standard or balloon shape, an optional
// bold title with an information, warning or error icon, own colours and
// several lines of text. The tip appears when the mouse rests on the control
// and goes when the mouse leaves it, a button is pressed or the control hides.
//
// Like a tooltip window of the desktop, the tip window exists only between a
// create (CreateBalloon, CreateTip, or any property change once a control is
// set) and Remove; Active decides whether an existing tip window shows.
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <cstdint>

class QLabel;
class QWidget;
class TipWindow;

class clsTooltips : public QObject {
    Q_OBJECT
public:
    enum TipStyle : int32_t { StandardStyle = 0, BalloonStyle = 1 };
    enum TipIcon : int32_t { NoIcon = 0, InfoIcon = 1, WarningIcon = 2, ErrorIcon = 3 };
    // A shown tip goes away by itself after this long.
    static constexpr int AutoPopMs = 10000;

    explicit clsTooltips(QObject* parent = nullptr);
    ~clsTooltips() override;
    clsTooltips(const clsTooltips&) = delete;
    clsTooltips& operator=(const clsTooltips&) = delete;

    // A balloon tip for control; true when a tip window was created.
    bool CreateBalloon(QWidget* control, const QString& text, const QString& title = QString(), int32_t icon = NoIcon);
    // A standard tip; the information icon (1) and unknown icons give none.
    bool CreateTip(QWidget* control, const QString& text, const QString& title = QString(), int32_t icon = NoIcon);

    bool Active() const { return m_active; }
    void SetActive(bool active);
    // The control the tip belongs to (its handle on this desktop: the widget).
    QWidget* ParentControl() const { return m_parent; }
    void SetParentControl(QWidget* control);
    int32_t Style() const { return m_style; }
    void SetStyle(int32_t style);
    bool Centered() const { return m_centered; }
    void SetCentered(bool centered);
    int32_t Icon() const { return m_icon; }
    void SetIcon(int32_t icon);
    // 0x00BBGGRR or a system colour; 0 = the desktop's tooltip colour.
    int32_t ForeColor() const { return m_foreColor; }
    void SetForeColor(int32_t colour);
    QString Title() const { return m_title; }
    void SetTitle(const QString& title);
    int32_t BackColor() const { return m_backColor; }
    void SetBackColor(int32_t colour);
    // CR LF (or a lone CR or LF) starts a new line.
    QString TipText() const { return m_tipText; }
    void SetTipText(const QString& text);
    // The tip window, nullptr when none exists.
    QWidget* hWnd() const;
    // Destroys the tip window; returns false.
    bool Remove();

    // What a mouse rest at globalPos over the control does; true when the
    // tip is now shown.
    bool ShowTipAt(const QPoint& globalPos);
    void HideTip();
    bool TipShown() const;

    // The parts of the tip window, for tests and for the dialogs that host it.
    QLabel* IconLabel() const;
    QLabel* TitleLabel() const;
    QLabel* TextLabel() const;

    // The text as the tip shows it: every CR LF, CR and LF a line break.
    static QString DisplayText(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Create();
    void Recreate();
    void Destroy();

    QPointer<QWidget> m_parent;
    QPointer<TipWindow> m_tip;
    int32_t m_style = StandardStyle;
    bool m_centered = false;
    int32_t m_icon = NoIcon;
    int32_t m_foreColor = 0;
    int32_t m_backColor = 0;
    QString m_title;
    QString m_tipText;
    bool m_active = false;
    QTimer m_autoPop;
    QMetaObject::Connection m_parentGone;
};
