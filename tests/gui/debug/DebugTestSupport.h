#pragma once
// A main window on the in-process simulated controller, with its Debugger
// page shown and the assistance login on.
#include "GuiTestSupport.h"

#include "core/link/IDData.h"
#include "gui/pages/frmDebug.h"
#include "sim/BusFactory.h"
#include "sim/DrcController.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

class DebugFixture : public ::testing::Test {
protected:
    static constexpr int DebuggerTab = 3;

    void SetUp() override
    {
        TestApp();
        const QDir ini(QStringLiteral(QVS_SOURCE_DIR "/res/ini"));
        for (const QString& name : ini.entryList(QDir::Files))
            QFile::copy(ini.filePath(name), folder.File(QStringLiteral("res/ini/") + name));
        setup = MakeBusSetup(QStringLiteral("sim"), folder.Path(), /*liveSimulation=*/false);
        ASSERT_TRUE(setup.Simulator);
        context = std::make_unique<CoreContext>(folder.Path(), setup.Factory);
        context->BusName = QStringLiteral("sim");
        window = std::make_unique<frmMain>(*context, &dialogs);
        window->EndProgram = [] {};
        window->ManualOpener = [this](const QString&, int page, const QString&) { manualPage = page; };
        page = qobject_cast<frmDebug*>(window->PageByTag(QStringLiteral("A4")));
        ASSERT_NE(page, nullptr);
        window->show();
        dialogs.Boxes.clear();
    }
    void TearDown() override
    {
        window.reset();
        context.reset();
        QDir::setCurrent(QStringLiteral(QVS_BIN_DIR));
    }

    ShellState& State() { return context->Shell; }
    DrcController& Sim() { return *setup.Simulator; }

    void Connect()
    {
        window->ConnectCommand();
        ASSERT_EQ(State().ConnectionState(), Connected) << dialogs.Texts().join('|').toStdString();
        dialogs.Boxes.clear();
    }
    void ShowDebugger(bool loggedIn = true)
    {
        State().SetAssistanceLoggedIn(loggedIn);
        window->SelectTab(DebuggerTab);
        ASSERT_EQ(window->ActivePage(), page);
    }
    // Selects the record of a key in the list, as the user does.
    CVarData& Select(Key k)
    {
        const int index = context->Table.Index(k);
        EXPECT_GT(index, 0) << KeyText(k);
        page->cmbVariablesList->setCurrentIndex(index);
        return *context->Table.At(index);
    }
    void Click(QPushButton* b) { QTest::mouseClick(b, Qt::LeftButton); }
    void TypeValue(const QString& text)
    {
        page->TxtData->setText(text);
    }
    // The controls of the page that the login switches.
    std::vector<QWidget*> Controls() const
    {
        return {page->cmbVariablesList, page->txtAddress, page->TxtData, page->cmdRead, page->cmdWrite,
                page->cmdDisplay, page->cmdSet, page->cmdMonitor, page->cmdReset, page->CmdCANProbe,
                page->CmdDitherRead, page->CmdUpdate, page->hscData[2], page->TxtDataD[2]};
    }

    TestProgramFolder folder;
    ScriptedDialogs dialogs;
    BusSetup setup;
    std::unique_ptr<CoreContext> context;
    std::unique_ptr<frmMain> window;
    frmDebug* page = nullptr;
    int manualPage = 0;
};
