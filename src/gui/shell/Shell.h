#pragma once
// What the pages and dialogs reach of the main window: the context, the
// status bar and its indicator boxes, the command availability, the status
// icons, the dialogs, the manual and the exit procedure. frmMain implements
// it; pages receive it at construction.
#include <QIcon>
#include <QString>
#include <QStringList>

class CommandTargets;
class CoreContext;
class Dialogs;
class Page;
class QLineEdit;
class QProgressBar;
class QWidget;
class StatusBarView;

class Shell {
public:
    virtual ~Shell() = default;

    virtual CoreContext& Context() = 0;
    // The window dialogs and message boxes are centred on.
    virtual QWidget* Window() = 0;
    virtual Dialogs& Dialog() = 0;

    virtual StatusBarView& StatusBar() = 0;
    virtual QProgressBar& ProgressBar() = 0;
    // The connection and parameter-status indicator boxes.
    virtual QLineEdit& TxtConnect() = 0;
    virtual QLineEdit& TxtPar() = 0;
    // Menu items and toolbar buttons whose availability the drawing sets.
    virtual CommandTargets& Targets() = 0;

    virtual const QIcon& GreenIcon() const = 0;
    virtual const QIcon& WhiteIcon() const = 0;
    virtual const QIcon& RedIcon() const = 0;
    // Index 0..7: "DRC 100 P" .. "DRC 400 F" and the section model of each.
    virtual const QStringList& ControllerModelNames() const = 0;
    virtual const QStringList& SectionModelNames() const = 0;

    virtual Page* ActivePage() const = 0;
    // The loaded page with this tab key ("A1".."A5"), nullptr when none.
    virtual Page* PageByTag(const QString& tag) const = 0;

    // Full status redraw (the polling pages call it with their status text).
    virtual void RefreshStatus(const QString& text) = 0;
    // The manual at a page (F1 of every form, Help).
    virtual void OpenManual(int page) = 0;
    // Returns "cancel": true when the program stays.
    virtual bool ExitProcedure() = 0;
};
