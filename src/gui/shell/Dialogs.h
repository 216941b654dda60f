#pragma once
// Every message box and file dialog of the shell goes through this one small
// layer, so that tests can answer them. The default shows QMessageBox and
// QFileDialog; a cancelled file dialog returns no path and the caller takes
// its cancel path.
#include "core/state/Host.h"

#include <QColor>
#include <QString>

#include <optional>

class QWidget;

class Dialogs {
public:
    // Title of every box that is given no title of its own.
    static constexpr const char* ApplicationTitle = "QvsStudio";

    virtual ~Dialogs() = default;
    // An OK box. Texts may break lines with CR.
    virtual void Message(QWidget* parent, const QString& text, MessageIcon icon = MessageIcon::None,
                         const QString& title = QString()) = 0;
    // A Yes/No question; true for Yes.
    virtual bool Ask(QWidget* parent, const QString& text, MessageIcon icon = MessageIcon::Warning,
                     const QString& title = QString()) = 0;
    // Filters are "description|pattern" pairs joined by "|" ("*.txt|*.txt").
    // nullopt when the user cancels.
    virtual std::optional<QString> OpenFile(QWidget* parent, const QString& title, const QString& filter,
                                            const QString& folder) = 0;
    // The dialog does not ask about overwriting: the caller does.
    virtual std::optional<QString> SaveFile(QWidget* parent, const QString& title, const QString& filter,
                                            const QString& folder, const QString& proposedName) = 0;
    // The colour chooser with its custom colours, starting at initial;
    // nullopt when the user cancels (the default here: a layer that does not
    // answer colour questions cancels them).
    virtual std::optional<QColor> ChooseColour(QWidget* parent, const QColor& initial)
    {
        (void)parent;
        (void)initial;
        return std::nullopt;
    }
};

// QMessageBox and QFileDialog.
class WidgetDialogs : public Dialogs {
public:
    void Message(QWidget* parent, const QString& text, MessageIcon icon, const QString& title) override;
    bool Ask(QWidget* parent, const QString& text, MessageIcon icon, const QString& title) override;
    std::optional<QString> OpenFile(QWidget* parent, const QString& title, const QString& filter,
                                    const QString& folder) override;
    std::optional<QString> SaveFile(QWidget* parent, const QString& title, const QString& filter,
                                    const QString& folder, const QString& proposedName) override;
    // QColorDialog; the custom colours chosen stay for the rest of the run.
    std::optional<QColor> ChooseColour(QWidget* parent, const QColor& initial) override;

    // "*.txt|*.txt" as a Qt name filter list ("*.txt (*.txt)").
    static QString QtFilter(const QString& filter);
    // CR, LF and CR LF as the line breaks a message box shows.
    static QString DisplayText(const QString& text);
};
