#pragma once
// Shared pieces of the widget tests: one QApplication for the executable, a
// dialog layer answered by the test, and a main window over a temporary
// program folder holding the shipped catalogue.
#include "core/state/CoreContext.h"
#include "core/transport/CanAdapter.h"
#include "gui/shell/Dialogs.h"
#include "gui/shell/frmMain.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <optional>
#include <vector>

// The QApplication every widget test needs (created once, before the tests).
QApplication& TestApp();

// Records every box; questions and file dialogs take their answers from
// queues (a question without a queued answer is answered No, a file dialog
// without one is cancelled), so a test can never block on a dialog.
class ScriptedDialogs : public Dialogs {
public:
    struct Box {
        QString Text;
        MessageIcon Icon;
        QString Title;
        bool Question;
    };
    std::vector<Box> Boxes;
    std::deque<bool> Answers;
    // File dialog answers: a path, or an empty text for Cancel.
    std::deque<QString> Files;
    struct FileDialog {
        QString Title, Filter, Folder, Proposed;
        bool Save;
    };
    std::vector<FileDialog> FileDialogs;

    void Message(QWidget*, const QString& text, MessageIcon icon, const QString& title) override
    {
        Boxes.push_back({text, icon, title, false});
    }
    bool Ask(QWidget*, const QString& text, MessageIcon icon, const QString& title) override
    {
        Boxes.push_back({text, icon, title, true});
        if (Answers.empty())
            return false;
        const bool a = Answers.front();
        Answers.pop_front();
        return a;
    }
    std::optional<QString> OpenFile(QWidget*, const QString& title, const QString& filter,
                                    const QString& folder) override
    {
        FileDialogs.push_back({title, filter, folder, QString(), false});
        return Next();
    }
    std::optional<QString> SaveFile(QWidget*, const QString& title, const QString& filter, const QString& folder,
                                    const QString& proposed) override
    {
        FileDialogs.push_back({title, filter, folder, proposed, true});
        return Next();
    }

    QStringList Texts() const
    {
        QStringList t;
        for (const Box& b : Boxes)
            t << b.Text;
        return t;
    }

private:
    std::optional<QString> Next()
    {
        if (Files.empty())
            return std::nullopt;
        const QString f = Files.front();
        Files.pop_front();
        if (f.isEmpty())
            return std::nullopt;
        return std::optional<QString>(f);
    }
};

// A program folder in a temporary directory: res/ini/Ramlist.ini,
// DiagnosticList.ini and JoylistNew.ini from the source tree, an empty res/txt, and optionally the manual.
class TestProgramFolder {
public:
    TestProgramFolder()
    {
        QDir root(dir.path());
        root.mkpath(QStringLiteral("res/ini"));
        root.mkpath(QStringLiteral("res/txt"));
        for (const char* list : {"Ramlist.ini", "JoylistNew.ini"})
            QFile::copy(QStringLiteral(QVS_SOURCE_DIR "/res/ini/") + QLatin1String(list),
                        root.filePath(QStringLiteral("res/ini/") + QLatin1String(list)));
        QFile::copy(QStringLiteral(QVS_SOURCE_DIR "/res/ini/DiagnosticList.ini"),
                    root.filePath(QStringLiteral("res/ini/DiagnosticList.ini")));
    }
    QString Path() const { return dir.path(); }
    QString File(const QString& relative) const { return QDir(dir.path()).filePath(relative); }
    void Write(const QString& relative, const QByteArray& bytes) const
    {
        QFile f(File(relative));
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
    }

private:
    QTemporaryDir dir;
};

// An adapter factory that never opens: every connect is refused.
inline CoreContext::AdapterFactory NoAdapter()
{
    return [] { return std::unique_ptr<CanAdapter>(); };
}

// A main window over a fresh context; the program's end is recorded, not run.
class MainWindowFixture : public ::testing::Test {
protected:
    void SetUp() override { Create(NoAdapter()); }
    void TearDown() override
    {
        window.reset();
        context.reset();
        QDir::setCurrent(QStringLiteral(QVS_BIN_DIR));
    }
    void Create(CoreContext::AdapterFactory factory, const QString& bus = QString())
    {
        TestApp();
        window.reset();
        context = std::make_unique<CoreContext>(folder.Path(), std::move(factory));
        context->BusName = bus;
        window = std::make_unique<frmMain>(*context, &dialogs);
        window->EndProgram = [this] { ++ended; };
        window->ManualOpener = [this](const QString& path, int page, const QString& p) {
            manualPath = path;
            manualPage = page;
            manualParameters = p;
        };
        window->UrlOpener = [this](const QUrl& url) {
            openedUrl = url;
            return true;
        };
        window->SelectTab(0);
        // As the start-up does once the window is shown.
        ShellState& st = context->Shell;
        st.SetParamsUnchanged(true);
        st.SetFileState(0);
        st.SetInfoChanged(false);
        st.SetParamsDiffer(false);
    }
    ShellState& State() { return context->Shell; }

    TestProgramFolder folder;
    ScriptedDialogs dialogs;
    std::unique_ptr<CoreContext> context;
    std::unique_ptr<frmMain> window;
    int ended = 0;
    QString manualPath;
    int manualPage = 0;
    QString manualParameters;
    QUrl openedUrl;
};
