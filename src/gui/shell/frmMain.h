#pragma once
// The program's main window: menus, toolbar, the tab strip over the five
// pages, the status bar with its indicator boxes, the 500 ms main tick and
// the 100 ms receive poll. It runs every command of the menus and toolbar,
// implements the page's Shell and the core's CommandHost.
#include "core/state/Commands.h"
#include "gui/shell/CommandTargets.h"
#include "gui/shell/Dialogs.h"
#include "gui/shell/Shell.h"

#include <QElapsedTimer>
#include <QIcon>
#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <array>
#include <functional>
#include <memory>
#include <vector>

class CanInterfaceMenu;
class CoreContext;
class FrmMonitor;
class FrmPwd;
class FrmWait;
class ManualKey;
class ManualViewer;
class QAction;
class QLineEdit;
class QMenu;
class QProgressBar;
class QStackedWidget;
class QTabBar;
class QToolBar;
class QUrl;
class StatusBarView;
class frmComment;
struct LoadReport;

class frmMain : public QMainWindow, public Shell, public CommandHost {
    Q_OBJECT
public:
    static constexpr const char* Caption = "QVS Studio for DRC200F";
    static constexpr const char* SimulatorSuffix = " - SIMULATOR";
    static constexpr const char* ManualFile = "QVSMANUAL.pdf";
    static constexpr const char* ManualMissing = "The manual QVSMANUAL.pdf is not installed in the program folder:";
    static constexpr const char* WebSite = "https://www.corvane.example";
    // 12540 x 9500 twips at 15 twips a pixel.
    static constexpr int WidthPx = 836;
    static constexpr int HeightPx = 633;
    static constexpr int TabCount = 5;
    static constexpr int ButtonCount = 19;

    // Creates and loads the window: builds the pages from the catalogue.
    // dialogs answers every box and file dialog (nullptr: the real ones).
    explicit frmMain(CoreContext& context, Dialogs* dialogs = nullptr, QWidget* parent = nullptr);
    ~frmMain() override;

    // --- Shell ---------------------------------------------------------
    CoreContext& Context() override { return m_ctx; }
    QWidget* Window() override { return this; }
    Dialogs& Dialog() override { return *m_dialogs; }
    StatusBarView& StatusBar() override { return *m_statusBar; }
    QProgressBar& ProgressBar() override { return *m_progressBar; }
    QLineEdit& TxtConnect() override { return *m_txtConnect; }
    QLineEdit& TxtPar() override { return *m_txtPar; }
    CommandTargets& Targets() override { return m_targets; }
    const QIcon& GreenIcon() const override { return m_greenIcon; }
    const QIcon& WhiteIcon() const override { return m_whiteIcon; }
    const QIcon& RedIcon() const override { return m_redIcon; }
    const QStringList& ControllerModelNames() const override { return m_controllerModelNames; }
    const QStringList& SectionModelNames() const override { return m_sectionModelNames; }
    Page* ActivePage() const override { return m_activePage; }
    Page* PageByTag(const QString& tag) const override;
    void RefreshStatus(const QString& text) override;
    void OpenManual(int page) override;
    bool ExitProcedure() override;

    // --- CommandHost ---------------------------------------------------
    // Redraws the status bar and the wait window from the progress. Within a
    // transfer the steps come a word apart, about a millisecond on the bus,
    // and drawing both bars costs about as much again: a step that follows
    // the last one drawn by less than ProgressDrawMs is not drawn. The first
    // step, 0 and 100 %, a new status text and every state but Busy are.
    static constexpr int ProgressDrawMs = 20;
    void ShowProgress() override;
    void ShowMessage(const QString& text, MessageIcon icon = MessageIcon::None,
                     const QString& title = QString()) override;
    bool Ask(const QString& text, MessageIcon icon = MessageIcon::Warning, const QString& title = QString()) override;
    void RefreshActivePage() override;
    void SetMainWindowEnabled(bool enabled) override;
    void CloseWaitWindow() override;
    void SelectConfigurePage() override;
    void DisableActivePageTimer() override;
    void ProcessEvents() override;
    void SetPortPanel(const QString& text) override;
    void SetBitRatePanel(const QString& text) override;

    // --- Pages ---------------------------------------------------------
    const std::vector<Page*>& Pages() const { return m_pages; }
    // A page window loaded besides the five of the tab strip: it takes part in
    // the exit and the page-wide calls. The caller keeps ownership.
    void AddLoadedPage(Page* page);
    void RemoveLoadedPage(Page* page);
    // Selects tab index (0-based) and runs the page selection.
    void SelectTab(int index);
    int SelectedTab() const;
    void ShowNextPage();
    FrmMonitor* MonitorPage() const;
    frmComment* InfoPage() const;

    // --- Commands (menu items and toolbar buttons) -----------------------
    void LoadConfiguration();
    void SaveConfiguration();
    void ConnectCommand();
    void ReadCommand();
    void WriteCommand();
    void ReadAllCommand();
    void WriteAllCommand();
    void ResetCommand();
    void PortCommand(int index);
    void BitRateCommand(int index);
    void LoginCommand();
    void LogoutCommand();
    void HelpCommand();
    void SiteCommand();
    void InfoCommand();
    void PaletteCommand();
    // The toolbar's click dispatch by button key.
    void ToolbarClick(const QString& key);

    // The main tick (TmrDraw).
    void MainTick();
    // The palette at start-up.
    void InitPalette();

    // The reader's parameter text for the manual at page.
    static QString ManualParameterText(int page, const QString& programFolder);
    // Starts a program with a parameter text; true when it started.
    bool RunProgram(const QString& program, const QString& parameters);

    // --- Widgets by design name -------------------------------------------
    QMenu* mnuFile = nullptr;
    QMenu* mnuView = nullptr;
    QMenu* mnuHw = nullptr;
    QMenu* mnuSet = nullptr;
    QMenu* mnuHelp = nullptr;
    QMenu* mnuSet_ComID = nullptr;
    QMenu* mnuSet_CANBaudRate = nullptr;
    // "CAN &Interface": the bus of the next Connect, for this run.
    CanInterfaceMenu* mnuSet_CANInterface = nullptr;
    QAction* mnuFile_Load = nullptr;
    QAction* mnuFile_Save = nullptr;
    QAction* mnuFile_Exit = nullptr;
    QAction* mnuView_Page = nullptr;
    QAction* mnuHW_Connect = nullptr;
    QAction* mnuHW_WriteAll = nullptr;
    QAction* mnuHW_ReadAll = nullptr;
    QAction* mnuHW_Write = nullptr;
    QAction* mnuHw_Read = nullptr;
    QAction* mnuHw_Reset = nullptr;
    std::array<QAction*, 5> mnuSet_Com{};
    std::array<QAction*, 9> mnuSet_CANBitRate{};
    QAction* mnuSet_Palette = nullptr;
    QAction* mnuSet_Login = nullptr;
    QAction* mnuSet_Logout = nullptr;
    QAction* mnuHelp_Help = nullptr;
    QAction* mnuHelp_Site = nullptr;
    QAction* mnuHelp_Info = nullptr;
    QToolBar* tbToolBar = nullptr;
    // Toolbar buttons 1..19 (index 0 unused; separators are separator actions).
    std::array<QAction*, ButtonCount + 1> Buttons{};
    QTabBar* TabMain = nullptr;
    QStackedWidget* PictureTab1 = nullptr;
    QLineEdit* txtFileTosave = nullptr;
    QTimer TmrDraw;
    QTimer tmrRxCAN;

    // --- Hooks (tests and later parts replace them) ------------------------
    // Opens the manual file at a page; the default shows the in-app viewer.
    std::function<void(const QString& path, int page, const QString& parameterText)> ManualOpener;
    std::function<bool(const QUrl&)> UrlOpener;
    // Ends the program at once (the exit's last resort and its final unload).
    std::function<void()> EndProgram;
    // The joystick reference check text of Write (set by the window).
    std::function<QString()> JoyCheckData;
    std::function<void()> ShowAboutBox;
    std::function<void()> ShowPaletteDialog;
    std::function<void()> PaletteInit;

    // Whether the program has ended (the exit procedure unloaded it).
    bool ProgramEnded() const { return m_programEnded; }
    FrmWait* WaitWindow() const;
    FrmPwd* LoginDialog() const;
    ManualViewer* ManualWindow() const;

signals:
    void programEnded();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void CreateMenus();
    void CreateToolBar();
    void CreateCentralArea();
    void CreateStatusBar();
    void AddProgBar(QProgressBar* bar, StatusBarView* statusBar, int panel);
    void LoadWindow();
    void BuildPages();
    void PageSelected(int index);
    void ShowFileState();
    void FinalUnload();
    void RestoreCurrentFolder();
    void ClearFailure();
    void ShowLoadReport(const LoadReport& report);
    bool BeginCommand();
    void EndCommand();
    QIcon LoadIcon(const QString& relative) const;

    CoreContext& m_ctx;
    WidgetDialogs m_widgetDialogs;
    Dialogs* m_dialogs;
    Commands m_commands;
    CommandTargets m_targets;

    StatusBarView* m_statusBar = nullptr;
    QProgressBar* m_progressBar = nullptr;
    QLineEdit* m_txtConnect = nullptr;
    QLineEdit* m_txtPar = nullptr;

    QIcon m_greenIcon, m_whiteIcon, m_redIcon;
    QStringList m_controllerModelNames;
    QStringList m_sectionModelNames;

    std::vector<Page*> m_pages;      // every loaded page
    std::vector<Page*> m_builtPages; // the five of the tab strip, owned
    Page* m_activePage = nullptr;
    int m_selectedTab = -1;
    QString m_selectedKey;

    QPointer<FrmWait> m_wait;
    QPointer<FrmPwd> m_pwd;
    QPointer<ManualViewer> m_manual;
    ManualKey* m_manualKey = nullptr;

    bool m_finalUnload = false;
    bool m_programEnded = false;
    bool m_commandRunning = false;
    // The last progress drawn during a transfer (see ShowProgress).
    QElapsedTimer m_progressDrawn;
    QString m_progressText;
};
