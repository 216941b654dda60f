#pragma once
// The main window's status bar: nine sunken panels side by side. Panel 2
// ("PStatus") is the wide one; the main window puts the indicator boxes and
// the failure text into it. A progress bar can be laid over one panel.
#include <QFrame>
#include <QIcon>
#include <QString>

#include <array>

class QHBoxLayout;
class QLabel;
class QProgressBar;

class StatusBarView : public QFrame {
    Q_OBJECT
public:
    static constexpr int PanelCount = 9;

    explicit StatusBarView(QWidget* parent = nullptr);

    // Panels are numbered 1..9.
    QFrame* Panel(int i) const;
    QLabel* PanelLabel(int i) const;
    QHBoxLayout* PanelLayout(int i) const;
    QString PanelText(int i) const;
    void SetPanelText(int i, const QString& text);
    void SetPanelIcon(int i, const QIcon& icon);
    // The icon last set on a panel (null when none).
    QIcon PanelIcon(int i) const;
    void SetPanelToolTip(int i, const QString& tip);
    // The key of a panel ("PStatus", "FirmVer", "CommPort", "BitRate" or "").
    static QString PanelKey(int i);

    // Lays the progress bar over panel i, flat and borderless, inset by the
    // panel border; it follows the panel when the bar is laid out again.
    void AddProgBar(QProgressBar* bar, int panel);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void PlaceProgressBar();

    std::array<QFrame*, PanelCount> m_panels{};
    std::array<QLabel*, PanelCount> m_labels{};
    std::array<QIcon, PanelCount> m_icons{};
    QProgressBar* m_bar = nullptr;
    int m_barPanel = 0;
};
