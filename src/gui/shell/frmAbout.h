#pragma once
// The about box: the program's title and version, the maker, and a button
// that starts the desktop's system information program.
#include <QDialog>
#include <QStringList>

#include <array>
#include <functional>

class QFrame;
class QLabel;
class QPushButton;
class Shell;

class frmAbout : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* CaptionSuffix = "-[Info]";
    static constexpr const char* VersionPrefix = "Version : ";
    static constexpr const char* Company = "Corvane";
    static constexpr const char* Unavailable = "System Information Is Unavailable At This Time";

    explicit frmAbout(Shell& shell, QWidget* parent = nullptr);

    // The Software Info command: a new about box over the main window,
    // modal to it without blocking the caller; it deletes itself on close.
    static frmAbout* ShowAbout(Shell& shell);

    // "Version : " + major.minor.revision of this program.
    static QString VersionText();
    // The maker's address and contact lines.
    static QString DescriptionText();

    // Known system information programs, in the order they are tried.
    static const QStringList& SysInfoPrograms();
    // The first of them found on PATH, "" when none is.
    static QString FindSysInfoProgram();
    // Starts the system information program, or says it is unavailable.
    void StartSysInfo();

    QLabel* picIcon = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* LblFactory = nullptr;
    QLabel* lblDescription = nullptr;
    std::array<QFrame*, 2> Line1{};
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdSysInfo = nullptr;

    // Starts a program detached; true when it started (tests replace it).
    std::function<bool(const QString& program)> Starter;

private:
    Shell& m_shell;
};
