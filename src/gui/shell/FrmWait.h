#pragma once
// The wait window shown while a transfer runs: its caption is the status
// text, its bar the progress.
#include <QWidget>

class QProgressBar;

class FrmWait : public QWidget {
    Q_OBJECT
public:
    explicit FrmWait(QWidget* parent = nullptr);

    // Shows the window without blocking, caption := text, bar := percent,
    // processes pending events; closes the window above 99 %.
    void DrawWaitBar(int percent, const QString& text);

    QProgressBar* ProgressBar = nullptr;
};
