#pragma once
// A main window over a temporary program folder whose dialog layer also
// answers the colour chooser. The user's configuration folder is a temporary
// one too, so nothing reaches the real one.
#include "GuiTestSupport.h"

#include <QColor>
#include <QTemporaryDir>

#include <deque>
#include <optional>
#include <vector>

class ColourDialogs : public ScriptedDialogs {
public:
    // Answers of the colour chooser; none queued: the user cancels.
    std::deque<std::optional<QColor>> Colours;
    std::vector<QColor> Initial;

    std::optional<QColor> ChooseColour(QWidget*, const QColor& initial) override
    {
        Initial.push_back(initial);
        if (Colours.empty())
            return std::nullopt;
        const std::optional<QColor> c = Colours.front();
        Colours.pop_front();
        return c;
    }
};

class ShellFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        TestApp();
        qputenv("XDG_CONFIG_HOME", userHome.path().toUtf8());
        // The shipped lists, so that the pages load without complaints
        // (a palette file is left out: each test decides on it).
        const QDir ini(QStringLiteral(QVS_SOURCE_DIR "/res/ini"));
        for (const QString& name : ini.entryList(QDir::Files))
            if (name != QLatin1String("colour.ini"))
                QFile::copy(ini.filePath(name), folder.File(QStringLiteral("res/ini/") + name));
        context = std::make_unique<CoreContext>(folder.Path(), NoAdapter());
        window = std::make_unique<frmMain>(*context, &dialogs);
        window->EndProgram = [] {};
        dialogs.Boxes.clear();
        window->ManualOpener = [this](const QString&, int page, const QString&) { manualPage = page; };
    }
    void TearDown() override
    {
        window.reset();
        context.reset();
        QDir::setCurrent(QStringLiteral(QVS_BIN_DIR));
    }

    QTemporaryDir userHome;
    TestProgramFolder folder;
    ColourDialogs dialogs;
    std::unique_ptr<CoreContext> context;
    std::unique_ptr<frmMain> window;
    int manualPage = 0;
};
