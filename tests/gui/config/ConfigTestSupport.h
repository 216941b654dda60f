#pragma once
// The Configure page over the shipped catalogue, without the main window: a
// small Shell that records what the page asks of it, a dialog layer answered
// by the test, the program folder of the build (catalogue and pictures).
#include "../GuiTestSupport.h"

#include "core/state/CoreContext.h"
#include "gui/pages/config/ConfigWidgets.h"
#include "gui/pages/config/FrmConfig.h"
#include "gui/shell/CommandTargets.h"
#include "gui/shell/Shell.h"
#include "gui/shell/StatusBarView.h"

#include <QComboBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QTest>
#include <QWidget>

#include <memory>
#include <vector>

class FakeShell : public Shell {
public:
    FakeShell(CoreContext& context, Dialogs& dialogs) : m_ctx(context), m_dialogs(dialogs)
    {
        for (int i = 0; i < 8; ++i)
            m_sectionModels << QStringLiteral("RSV200");
        m_controllerModels = {"DRC 100 P", "DRC 200 P", "DRC 300 P", "DRC 400 P",
                              "DRC 100 F", "DRC 200 F", "DRC 300 F", "DRC 400 F"};
    }

    CoreContext& Context() override { return m_ctx; }
    QWidget* Window() override { return &m_window; }
    Dialogs& Dialog() override { return m_dialogs; }
    StatusBarView& StatusBar() override { return m_statusBar; }
    QProgressBar& ProgressBar() override { return m_progress; }
    QLineEdit& TxtConnect() override { return m_txtConnect; }
    QLineEdit& TxtPar() override { return m_txtPar; }
    CommandTargets& Targets() override { return m_targets; }
    const QIcon& GreenIcon() const override { return m_icon; }
    const QIcon& WhiteIcon() const override { return m_icon; }
    const QIcon& RedIcon() const override { return m_icon; }
    const QStringList& ControllerModelNames() const override { return m_controllerModels; }
    const QStringList& SectionModelNames() const override { return m_sectionModels; }
    Page* ActivePage() const override { return nullptr; }
    Page* PageByTag(const QString&) const override { return nullptr; }
    void RefreshStatus(const QString&) override {}
    void OpenManual(int page) override { ManualPages.push_back(page); }
    bool ExitProcedure() override
    {
        ++ExitCalls;
        return ExitCancels;
    }

    std::vector<int> ManualPages;
    int ExitCalls = 0;
    bool ExitCancels = false;

private:
    CoreContext& m_ctx;
    Dialogs& m_dialogs;
    QWidget m_window;
    StatusBarView m_statusBar;
    QProgressBar m_progress;
    QLineEdit m_txtConnect, m_txtPar;
    CommandTargets m_targets;
    QIcon m_icon;
    QStringList m_controllerModels, m_sectionModels;
};

// The page, shown and active, over a fresh context loaded from the shipped
// catalogue in the build's program folder.
class ConfigPageFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        TestApp();
        Open(QStringLiteral(QVS_BIN_DIR));
    }
    void TearDown() override
    {
        page.reset();
        shell.reset();
        context.reset();
    }
    // A new context over programFolder and a page over it.
    void Open(const QString& programFolder)
    {
        page.reset();
        shell.reset();
        context = std::make_unique<CoreContext>(programFolder, NoAdapter());
        catalogueFailure = context->LoadCatalogue();
        shell = std::make_unique<FakeShell>(*context, dialogs);
        CreatePage();
    }
    void CreatePage()
    {
        page.reset();
        page = std::make_unique<FrmConfig>(*shell);
        page->resize(836, 510);
        page->show();
        page->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(page.get()));
        context->Shell.SetParamsUnchanged(true);
    }
    CVarDataS& Rec(Key k)
    {
        CVarData* r = context->Table.Record(k);
        EXPECT_NE(r, nullptr);
        static CVarDataS none;
        return r ? r->DataS : none;
    }
    // A value as it comes from the controller.
    void Read(Key k, int32_t value) { context->Table.Record(k)->ReadE2FromCED(value); }
    bool Unchanged() const { return context->Shell.ParamsUnchanged(); }

    ScriptedDialogs dialogs;
    std::unique_ptr<CoreContext> context;
    std::unique_ptr<FakeShell> shell;
    std::unique_ptr<FrmConfig> page;
    std::string catalogueFailure;
};
