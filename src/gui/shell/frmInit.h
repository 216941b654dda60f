#pragma once
// The splash window of the start-up: the valve picture and a progress bar
// that a 2 ms timer fills while the main window is built.
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

class CoreContext;
class Dialogs;
class QLabel;
class QProgressBar;
class frmMain;

class frmInit : public QWidget {
    Q_OBJECT
public:
    explicit frmInit(CoreContext& context, QWidget* parent = nullptr);

    // The whole start-up: show the splash, build the main window, keep the
    // splash for at least PrgInit's maximum of timer ticks, then close it and
    // show the main window on the Configure page. dialogs (optional) answers
    // the main window's boxes.
    std::unique_ptr<frmMain> Run(Dialogs* dialogs = nullptr);

    // Timer ticks counted since the start-up began.
    int Ticks() const { return m_ticks; }
    // Whether the splash picture was found.
    bool HasPicture() const { return m_hasPicture; }

    QLabel* imgPhoto = nullptr;
    QLabel* imgApplication = nullptr;
    QLabel* imgLogo = nullptr;
    QProgressBar* PrgInit = nullptr;
    QTimer TmrInit;

    // Longest the splash waits for its ticks, whatever the timer does.
    static constexpr int MaxSplashMs = 5000;

private:
    void InitFormReset();
    void Tick();
    void ResetFlags();

    CoreContext& m_ctx;
    int m_ticks = 0;
    bool m_hasPicture = false;
};
