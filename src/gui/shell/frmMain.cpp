#include "gui/shell/frmMain.h"

#include "core/config/JoySelection.h"
#include "core/files/File.h"
#include "core/link/ControllerText.h"
#include "core/link/E2Image.h"
#include "core/state/CoreContext.h"
#include "core/state/ProgramFolder.h"
#include "gui/pages/FrmMonitor.h"
#include "gui/pages/Page.h"
#include "gui/pages/config/FrmConfig.h"
#include "gui/pages/frmComment.h"
#include "gui/pages/frmDebug.h"
#include "gui/pages/frmDiagnostic.h"
#include "gui/shell/CanInterfaceMenu.h"
#include "gui/shell/DeviceSettings.h"
#include "gui/shell/Draw.h"
#include "gui/shell/DrawText.h"
#include "gui/shell/FrmPwd.h"
#include "gui/shell/FrmWait.h"
#include "gui/shell/ManualViewer.h"
#include "gui/shell/frmAbout.h"
#include "gui/shell/frmSectionColour.h"
#include "gui/shell/StatusBarView.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <QProgressBar>
#include <QStackedWidget>
#include <QTabBar>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

namespace {

struct TabSpec {
    const char* Key;
    const char* Caption;
    const char* ToolTip;
};
constexpr TabSpec Tabs[frmMain::TabCount] = {
    {"A1", "Configure", "System Configuration Parameters"},
    {"A2", "Monitor", "On Line System Monitor"},
    {"A3", "Diagnostic", "On Line System Diagnostic"},
    {"A4", "Debugger", "Electronic Debugger"},
    {"A5", "Info", "Additional Info"},
};

struct ButtonSpec {
    const char* Key;     // nullptr: a separator
    const char* ToolTip;
    const char* Picture; // file res/ico/toolbar/<Picture>.ico
};
constexpr ButtonSpec ButtonSpecs[frmMain::ButtonCount] = {
    {"Load Configuration", "Load From File", "Load"},
    {"Save Configuration", "Save To File", "Save"},
    {nullptr, nullptr, nullptr},
    {"Read All", "Read All From Electronic", "ReadAll"},
    {"Write All", "Write All To Electronic", "WriteAll"},
    {nullptr, nullptr, nullptr},
    {"Reset", "Reset Electronic", "Reset"},
    {nullptr, nullptr, nullptr},
    {"Read", "Read From Electronic", "read"},
    {"Write", "Write To Electronic", "Write"},
    {nullptr, nullptr, nullptr},
    {"Login", "Assistance Login", "Login"},
    {"Logout", "Assistance Logout", "Logout"},
    {nullptr, nullptr, nullptr},
    {"Help", "Help Topics", "Help"},
    {"Info", "Software Info", "Info"},
    {nullptr, nullptr, nullptr},
    {nullptr, nullptr, nullptr},
    {"Connect", "Connect", "Conncect"},
};

QLineEdit* IndicatorBox(QWidget* parent, const char* name, const char* text, const char* tip)
{
    auto* box = new QLineEdit(QString::fromLatin1(text), parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::NoFocus);
    box->setToolTip(QString::fromLatin1(tip));
    box->setAlignment(Qt::AlignCenter);
    box->setFixedWidth(106);
    QFont f = box->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 0.9);
    box->setFont(f);
    return box;
}

} // namespace

frmMain::frmMain(CoreContext& context, Dialogs* dialogs, QWidget* parent)
    : QMainWindow(parent), m_ctx(context), m_dialogs(dialogs ? dialogs : &m_widgetDialogs),
      m_commands(context, *this)
{
    setObjectName(QStringLiteral("frmMain"));
    setProperty("ManualPage", 1);
    setWindowTitle(CanInterfaceMenu::WindowCaption(m_ctx.BusName));
    setWindowIcon(LoadIcon(QStringLiteral("ico/QvsStudio.ico")));

    CreateMenus();
    CreateToolBar();
    CreateCentralArea();
    CreateStatusBar();
    // The joystick reference check of Write looks at the stored parameters
    // of both inputs (not at an edit the input selection may have dropped).
    JoyCheckData = [this] { return QString::fromStdString(config::StoredJoyCheckData(m_ctx.Table)); };

    // Window creation.
    m_ctx.Shell.SetConnectionState(Disconnected);
    AddProgBar(m_progressBar, m_statusBar, 4);
    TmrDraw.setObjectName(QStringLiteral("TmrDraw"));
    TmrDraw.setInterval(500);
    connect(&TmrDraw, &QTimer::timeout, this, &frmMain::MainTick);
    TmrDraw.start();
    tmrRxCAN.setObjectName(QStringLiteral("tmrRxCAN"));
    tmrRxCAN.setInterval(100);
    DeviceSettings::AttachReceivePoll(m_ctx, tmrRxCAN);
    Draw::ApplyInitialCommandState(*this);
    DeviceSettings::SetUsbPortIndex(m_ctx, 1);
    DeviceSettings::SetBitRateIndex(m_ctx, 3);

    m_ctx.SetHost(this);
    connect(&m_ctx.Shell, &ShellState::disconnected, this, [this] {
        if (FrmMonitor* monitor = MonitorPage()) {
            monitor->DrawJoyMonitorEventObj = 1;
            monitor->DrawMagMonitorEventObj = 1;
        }
    });

    m_manualKey = new ManualKey([this](int page) { OpenManual(page); }, this);
    qApp->installEventFilter(m_manualKey);

    LoadWindow();
}

frmMain::~frmMain()
{
    TmrDraw.stop();
    tmrRxCAN.stop();
    qApp->removeEventFilter(m_manualKey);
    m_ctx.SetHost(nullptr);
    // The pages unregister their keys from the context as they go.
    m_pages.clear();
    for (Page* p : m_builtPages)
        delete p;
    m_builtPages.clear();
    m_activePage = nullptr;
    delete m_manual;
    delete m_pwd;
    delete m_wait;
}

// ---------------------------------------------------------------------------
// Window construction

void frmMain::CreateMenus()
{
    auto add = [this](QMenu* menu, const char* name, const char* caption) {
        QAction* a = menu->addAction(QString::fromLatin1(caption));
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };
    auto menu = [this](const char* name, const char* caption) {
        QMenu* m = menuBar()->addMenu(QString::fromLatin1(caption));
        m->setObjectName(QString::fromLatin1(name));
        return m;
    };

    mnuFile = menu("mnuFile", "&File");
    mnuFile_Load = add(mnuFile, "mnuFile_Load", "&Load Configuration");
    mnuFile_Save = add(mnuFile, "mnuFile_Save", "&Save Configuration");
    mnuFile->addSeparator();
    mnuFile_Exit = add(mnuFile, "mnuFile_Exit", "&Exit");

    mnuView = menu("mnuView", "&View");
    mnuView_Page = add(mnuView, "mnuView_Page", "&Show next Page");
    mnuView_Page->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_W));

    mnuHw = menu("mnuHw", "H&ardware");
    mnuHW_Connect = add(mnuHw, "mnuHW_Connect", "&Connect");
    mnuHW_WriteAll = add(mnuHw, "mnuHW_WriteAll", "Writ&e All");
    mnuHW_ReadAll = add(mnuHw, "mnuHW_ReadAll", "Rea&d All");
    mnuHw->addSeparator();
    mnuHW_Write = add(mnuHw, "mnuHW_Write", "&Write");
    mnuHw_Read = add(mnuHw, "mnuHw_Read", "&Read");
    mnuHw->addSeparator();
    mnuHw_Reset = add(mnuHw, "mnuHw_Reset", "Re&set");

    mnuSet = menu("mnuSet", "&Set");
    mnuSet_ComID = mnuSet->addMenu(QStringLiteral("Set &USB Port"));
    mnuSet_ComID->setObjectName(QStringLiteral("mnuSet_ComID"));
    mnuSet_ComID->menuAction()->setObjectName(QStringLiteral("mnuSet_ComID"));
    const char* ports[5] = {"None", "PCAN USB &1", "PCAN USB &2", "PCAN USB &3", "PCAN USB &4"};
    for (int i = 0; i < 5; ++i) {
        QAction* a = mnuSet_ComID->addAction(QString::fromLatin1(ports[i]));
        a->setObjectName(QStringLiteral("mnuSet_Com_%1").arg(i));
        a->setCheckable(true);
        a->setChecked(i == 1);
        connect(a, &QAction::triggered, this, [this, i] { PortCommand(i); });
        mnuSet_Com[static_cast<size_t>(i)] = a;
    }
    mnuSet_Com[0]->setEnabled(false); // never offered to the user
    mnuSet_CANBaudRate = mnuSet->addMenu(QStringLiteral("Set CAN  &Bit Rate"));
    mnuSet_CANBaudRate->setObjectName(QStringLiteral("mnuSet_CANBaudRate"));
    mnuSet_CANBaudRate->menuAction()->setObjectName(QStringLiteral("mnuSet_CANBaudRate"));
    const char* rates[9] = {"None", "10", "20", "50", "125", "250", "500", "800", "1000"};
    for (int i = 0; i < 9; ++i) {
        QAction* a = mnuSet_CANBaudRate->addAction(QString::fromLatin1(rates[i]));
        a->setObjectName(QStringLiteral("mnuSet_CANBitRate_%1").arg(i));
        a->setCheckable(true);
        a->setChecked(i == 5);
        connect(a, &QAction::triggered, this, [this, i] { BitRateCommand(i); });
        mnuSet_CANBitRate[static_cast<size_t>(i)] = a;
    }
    mnuSet_CANInterface = new CanInterfaceMenu(m_ctx, this, mnuSet);
    mnuSet->addMenu(mnuSet_CANInterface);
    mnuSet->addSeparator();
    mnuSet_Palette = add(mnuSet, "mnuSet_Palette", "&Palette");
    mnuSet->addSeparator();
    mnuSet_Login = add(mnuSet, "mnuSet_Login", "&Login");
    mnuSet_Logout = add(mnuSet, "mnuSet_Logout", "Log&out");

    mnuHelp = menu("mnuHelp", "&Help");
    mnuHelp_Help = add(mnuHelp, "mnuHelp_Help", "&Help Topics");
    mnuHelp->addSeparator();
    mnuHelp_Site = add(mnuHelp, "mnuHelp_Site", "&Corvane Web Site");
    mnuHelp_Info = add(mnuHelp, "mnuHelp_Info", "&Software Info");

    connect(mnuFile_Load, &QAction::triggered, this, &frmMain::LoadConfiguration);
    connect(mnuFile_Save, &QAction::triggered, this, &frmMain::SaveConfiguration);
    connect(mnuFile_Exit, &QAction::triggered, this, [this] { ExitProcedure(); });
    connect(mnuView_Page, &QAction::triggered, this, &frmMain::ShowNextPage);
    connect(mnuHW_Connect, &QAction::triggered, this, &frmMain::ConnectCommand);
    connect(mnuHW_WriteAll, &QAction::triggered, this, &frmMain::WriteAllCommand);
    connect(mnuHW_ReadAll, &QAction::triggered, this, &frmMain::ReadAllCommand);
    connect(mnuHW_Write, &QAction::triggered, this, &frmMain::WriteCommand);
    connect(mnuHw_Read, &QAction::triggered, this, &frmMain::ReadCommand);
    connect(mnuHw_Reset, &QAction::triggered, this, &frmMain::ResetCommand);
    connect(mnuSet_Palette, &QAction::triggered, this, &frmMain::PaletteCommand);
    connect(mnuSet_Login, &QAction::triggered, this, &frmMain::LoginCommand);
    connect(mnuSet_Logout, &QAction::triggered, this, &frmMain::LogoutCommand);
    connect(mnuHelp_Help, &QAction::triggered, this, &frmMain::HelpCommand);
    connect(mnuHelp_Site, &QAction::triggered, this, &frmMain::SiteCommand);
    connect(mnuHelp_Info, &QAction::triggered, this, &frmMain::InfoCommand);
}

void frmMain::CreateToolBar()
{
    tbToolBar = new QToolBar(this);
    tbToolBar->setObjectName(QStringLiteral("tbToolBar"));
    tbToolBar->setMovable(false);
    tbToolBar->setFloatable(false);
    tbToolBar->setIconSize(QSize(24, 24));
    tbToolBar->toggleViewAction()->setEnabled(false);
    addToolBar(Qt::TopToolBarArea, tbToolBar);
    setContextMenuPolicy(Qt::NoContextMenu);

    for (int i = 1; i <= ButtonCount; ++i) {
        const ButtonSpec& button = ButtonSpecs[i - 1];
        QAction* a = nullptr;
        if (!button.Key) {
            a = tbToolBar->addSeparator();
        } else {
            a = tbToolBar->addAction(LoadIcon(QStringLiteral("ico/toolbar/%1.ico").arg(QLatin1String(button.Picture))),
                                     QString::fromLatin1(button.Key));
            a->setToolTip(QString::fromLatin1(button.ToolTip));
            a->setData(QString::fromLatin1(button.Key));
        }
        a->setObjectName(QStringLiteral("tbToolBar_%1").arg(i));
        Buttons[static_cast<size_t>(i)] = a;
    }
    Buttons[19]->setCheckable(true);
    connect(tbToolBar, &QToolBar::actionTriggered, this, [this](QAction* a) {
        // A checkable button toggles itself on a click; the drawing decides.
        if (a == Buttons[19])
            a->setChecked(!a->isChecked());
        ToolbarClick(a->data().toString());
    });

    m_targets.Bind(Command::ReadAll, mnuHW_ReadAll, Buttons[4]);
    m_targets.Bind(Command::WriteAll, mnuHW_WriteAll, Buttons[5]);
    m_targets.Bind(Command::Reset, mnuHw_Reset, Buttons[7]);
    m_targets.Bind(Command::Read, mnuHw_Read, Buttons[9]);
    m_targets.Bind(Command::Write, mnuHW_Write, Buttons[10]);
    m_targets.Bind(Command::Login, mnuSet_Login, Buttons[12]);
    m_targets.Bind(Command::Logout, mnuSet_Logout, Buttons[13]);
    m_targets.Bind(Command::Help, mnuHelp_Help, Buttons[15]);
    m_targets.Bind(Command::Info, mnuHelp_Info, Buttons[16]);
    m_targets.BindConnect(mnuHW_Connect, Buttons[19]);
    m_targets.BindMenus(mnuSet_ComID, mnuSet_CANBaudRate);
}

void frmMain::CreateCentralArea()
{
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("CentralArea"));
    auto* lay = new QVBoxLayout(central);
    lay->setContentsMargins(0, 2, 0, 0);
    lay->setSpacing(0);

    TabMain = new QTabBar(central);
    TabMain->setObjectName(QStringLiteral("TabMain"));
    TabMain->setExpanding(false);
    TabMain->setDrawBase(true);
    // 90 twips narrower than the window.
    auto* tabRow = new QHBoxLayout;
    tabRow->setContentsMargins(3, 0, 3, 0);
    tabRow->addWidget(TabMain);
    tabRow->addStretch(1);
    lay->addLayout(tabRow);

    PictureTab1 = new QStackedWidget(central);
    PictureTab1->setObjectName(QStringLiteral("PictureTab1"));
    PictureTab1->setFrameShape(QFrame::StyledPanel);
    lay->addWidget(PictureTab1, 1);

    connect(TabMain, &QTabBar::currentChanged, this, &frmMain::PageSelected);
    setCentralWidget(central);
}

void frmMain::CreateStatusBar()
{
    m_statusBar = new StatusBarView(centralWidget());
    centralWidget()->layout()->addWidget(m_statusBar);

    m_statusBar->SetPanelToolTip(1, QStringLiteral("Connection Status"));
    m_statusBar->SetPanelToolTip(3, QStringLiteral("QVS Version"));
    m_statusBar->SetPanelToolTip(5, QStringLiteral("Connection Operation Progress"));
    m_statusBar->SetPanelToolTip(6, QStringLiteral("DRC System Type"));
    m_statusBar->SetPanelToolTip(7, QStringLiteral("Electronic Software Release"));
    m_statusBar->SetPanelToolTip(8, QStringLiteral("Port Selected"));
    m_statusBar->SetPanelToolTip(9, QStringLiteral("CAN Baud Rate"));
    m_statusBar->SetPanelText(6, QStringLiteral("RSV200"));
    m_statusBar->SetPanelText(7, QStringLiteral("----"));
    m_statusBar->SetPanelText(8, QStringLiteral("----"));
    m_statusBar->SetPanelText(9, QStringLiteral("----"));
    if (!m_ctx.BusName.isEmpty())
        m_statusBar->SetPanelToolTip(8, QStringLiteral("Port Selected (bus %1)").arg(m_ctx.BusName));

    // The wide panel holds the three indicator boxes and the failure text.
    m_txtConnect = IndicatorBox(m_statusBar, "TxtConnect", "Not Connected", "Connection Status");
    m_txtPar = IndicatorBox(m_statusBar, "TxtPar", "Parameter Staus", "Parameter Status");
    txtFileTosave = IndicatorBox(m_statusBar, "txtFileTosave", "Not Connected", "Configuration File Status");
    QHBoxLayout* wide = m_statusBar->PanelLayout(2);
    wide->setContentsMargins(1, 1, 3, 1);
    wide->insertWidget(0, m_txtConnect);
    wide->insertWidget(1, m_txtPar);
    wide->insertWidget(2, txtFileTosave);
    QLabel* failure = m_statusBar->PanelLabel(2);
    failure->setObjectName(QStringLiteral("PStatus"));
    failure->setMinimumWidth(10);
    failure->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

    m_progressBar = new QProgressBar(m_statusBar);
    m_progressBar->setObjectName(QStringLiteral("ProgressBar"));
    m_progressBar->setRange(0, 100);
    m_progressBar->setValue(0);
}

void frmMain::AddProgBar(QProgressBar* bar, StatusBarView* statusBar, int panel)
{
    statusBar->AddProgBar(bar, panel);
}

QIcon frmMain::LoadIcon(const QString& relative) const
{
    // A missing picture leaves an empty icon: the program runs without it.
    const QString path = m_ctx.ResourcePath(relative);
    return QFileInfo::exists(path) ? QIcon(path) : QIcon();
}

void frmMain::LoadWindow()
{
    // No maximise button; the size is fixed.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(WidthPx, HeightPx);

    m_greenIcon = LoadIcon(QStringLiteral("ico/Green 16.ico"));
    m_whiteIcon = LoadIcon(QStringLiteral("ico/White 16.ico"));
    m_redIcon = LoadIcon(QStringLiteral("ico/Red 16.ico"));
    m_sectionModelNames.clear();
    for (int i = 0; i < 8; ++i)
        m_sectionModelNames << QStringLiteral("RSV200");
    // "DRC 100 P" .. "DRC 400 P", then "DRC 100 F" .. "DRC 400 F".
    m_controllerModelNames.clear();
    for (int systemType : {1, 0})
        for (int sections = 1; sections <= 4; ++sections)
            m_controllerModelNames << ControllerModelText(sections, systemType);
    BuildPages();
}

void frmMain::BuildPages()
{
    TmrDraw.stop();
    m_ctx.Table.FreeVarTable();
    const std::string failure = m_ctx.LoadCatalogue();
    if (!failure.empty())
        ShowMessage(QString::fromLatin1(IDData::LoadFailureText));

    {
        const QSignalBlocker block(TabMain);
        while (TabMain->count() > 0)
            TabMain->removeTab(0);
        for (const TabSpec& t : Tabs) {
            const int i = TabMain->addTab(QString::fromLatin1(t.Caption));
            TabMain->setTabData(i, QString::fromLatin1(t.Key));
            TabMain->setTabToolTip(i, QString::fromLatin1(t.ToolTip));
        }
    }

    // Pages of an earlier build go first.
    m_activePage = nullptr;
    for (Page* p : m_builtPages) {
        p->SetTag(QString());
        p->SetPageVarNum(0);
        RemoveLoadedPage(p);
        delete p;
    }
    m_builtPages.clear();

    QCoreApplication::processEvents();
    auto* config = new FrmConfig(*this, PictureTab1);
    QCoreApplication::processEvents();
    auto* diagnostic = new frmDiagnostic(*this, PictureTab1);
    QCoreApplication::processEvents();
    auto* debug = new frmDebug(*this, PictureTab1);
    QCoreApplication::processEvents();
    auto* monitor = new FrmMonitor(*this, PictureTab1);
    QCoreApplication::processEvents();
    auto* comment = new frmComment(*this, PictureTab1);
    QCoreApplication::processEvents();

    config->SetTag(QStringLiteral("A1"));
    monitor->SetTag(QStringLiteral("A2"));
    diagnostic->SetTag(QStringLiteral("A3"));
    debug->SetTag(QStringLiteral("A4"));
    comment->SetTag(QStringLiteral("A5"));
    m_builtPages = {config, diagnostic, debug, monitor, comment};
    for (Page* p : m_builtPages) {
        AddLoadedPage(p);
        PictureTab1->addWidget(p);
        p->hide();
    }

    m_ctx.Image().CountPageParameters();
    TmrDraw.start();
}

// ---------------------------------------------------------------------------
// Pages

Page* frmMain::PageByTag(const QString& tag) const
{
    for (Page* p : m_pages)
        if (p->Tag() == tag)
            return p;
    return nullptr;
}

FrmMonitor* frmMain::MonitorPage() const { return qobject_cast<FrmMonitor*>(PageByTag(QStringLiteral("A2"))); }
frmComment* frmMain::InfoPage() const { return qobject_cast<frmComment*>(PageByTag(QStringLiteral("A5"))); }

void frmMain::AddLoadedPage(Page* page)
{
    if (page && std::find(m_pages.begin(), m_pages.end(), page) == m_pages.end())
        m_pages.push_back(page);
}

void frmMain::RemoveLoadedPage(Page* page)
{
    m_pages.erase(std::remove(m_pages.begin(), m_pages.end(), page), m_pages.end());
    if (m_activePage == page)
        m_activePage = nullptr;
}

FrmWait* frmMain::WaitWindow() const { return m_wait; }
FrmPwd* frmMain::LoginDialog() const { return m_pwd; }
ManualViewer* frmMain::ManualWindow() const { return m_manual; }

int frmMain::SelectedTab() const { return m_selectedTab; }

void frmMain::SelectTab(int index)
{
    if (index < 0 || index >= TabMain->count())
        return;
    if (TabMain->currentIndex() == index)
        PageSelected(index); // selecting the shown tab again still runs the selection
    else
        TabMain->setCurrentIndex(index);
}

void frmMain::PageSelected(int index)
{
    if (index < 0)
        return;
    m_selectedTab = index;
    m_selectedKey = TabMain->tabData(index).toString();
    Page* next = nullptr;
    for (Page* p : m_pages) {
        if (p->Tag() == m_selectedKey)
            next = p;
        else
            p->hide();
    }
    Page* previous = m_activePage;
    m_activePage = next;
    if (next) {
        PictureTab1->setCurrentWidget(next);
        next->show();
        next->setFocus();
    }
    if (previous != next) {
        if (previous)
            previous->Deactivated();
        if (next)
            next->Activated();
    }
    RefreshStatus(m_ctx.Shell.StatusMessage());
}

void frmMain::ShowNextPage()
{
    // Ctrl+W reaches the window even while it is disabled for a command; the
    // page under a running transfer stays the active one.
    if (m_commandRunning)
        return;
    int index = TabMain->currentIndex() + 1;
    if (index >= TabMain->count())
        index = 0;
    SelectTab(index);
}

// ---------------------------------------------------------------------------
// Drawing and the main tick

void frmMain::RefreshStatus(const QString& text) { Draw::RefreshStatus(*this, *m_statusBar, *m_progressBar, text); }

void frmMain::ShowFileState()
{
    const DrawText::Indicator ind = DrawText::FileIndicator(m_ctx.Shell.FileState());
    Draw::SetIndicator(*txtFileTosave, ind.Text, ind.Colour);
}

void frmMain::MainTick()
{
    ShellState& st = m_ctx.Shell;
    RefreshStatus(st.StatusMessage());
    if (st.ConnectionState() != Busy)
        CloseWaitWindow();
    if (!st.ParamsUnchanged()) {
        st.SetParamsDiffer(true);
        st.SetFileState(1);
    }
    if (st.InfoChanged())
        st.SetFileState(1);
    ShowFileState();
    if (st.ExitRequested())
        ExitProcedure();
}

void frmMain::InitPalette()
{
    if (PaletteInit)
        PaletteInit();
    else
        frmSectionColour::frmSectionColourInit(*this);
}

// ---------------------------------------------------------------------------
// Host / CommandHost

void frmMain::ShowProgress()
{
    const ShellState& st = m_ctx.Shell;
    const int percent = st.ProgressPercent();
    const bool midTransfer = st.ConnectionState() == Busy && percent > 0 && percent < 100 && m_wait &&
                             m_wait->isVisible() && st.StatusMessage() == m_progressText;
    if (midTransfer && m_progressDrawn.isValid() && m_progressDrawn.elapsed() < ProgressDrawMs)
        return;
    m_progressDrawn.start();
    m_progressText = st.StatusMessage();
    RefreshStatus(st.StatusMessage());
    if (st.ConnectionState() == Busy) {
        if (!m_wait)
            m_wait = new FrmWait(this);
        m_wait->DrawWaitBar(st.ProgressPercent(), st.StatusMessage());
    }
}

void frmMain::ShowMessage(const QString& text, MessageIcon icon, const QString& title)
{
    m_dialogs->Message(this, text, icon, title);
}

bool frmMain::Ask(const QString& text, MessageIcon icon, const QString& title)
{
    return m_dialogs->Ask(this, text, icon, title);
}

void frmMain::RefreshActivePage()
{
    if (m_activePage)
        m_activePage->RefreshObject();
}

void frmMain::SetMainWindowEnabled(bool enabled) { setEnabled(enabled); }

void frmMain::CloseWaitWindow()
{
    if (m_wait && m_wait->isVisible())
        m_wait->close();
}

void frmMain::SelectConfigurePage()
{
    SelectTab(0);
    RefreshActivePage();
}

void frmMain::DisableActivePageTimer()
{
    if (m_activePage)
        m_activePage->DisableTimer();
}

void frmMain::ProcessEvents() { QCoreApplication::processEvents(); }

void frmMain::SetPortPanel(const QString& text) { m_statusBar->SetPanelText(8, text); }
void frmMain::SetBitRatePanel(const QString& text) { m_statusBar->SetPanelText(9, text); }

// ---------------------------------------------------------------------------
// Commands

bool frmMain::BeginCommand()
{
    // The window is disabled while a command runs; a click or shortcut that
    // still arrives (events are processed during transfers) is dropped.
    if (m_commandRunning || m_programEnded)
        return false;
    // A toolbar button or a menu takes no focus: an entry still being typed
    // (a float current, a section current) would not be taken before Save,
    // Write or Load. Leaving the box takes it, or asks about it, first.
    if (QWidget* focus = QApplication::focusWidget(); focus && isAncestorOf(focus))
        focus->clearFocus();
    m_commandRunning = true;
    return true;
}

void frmMain::EndCommand()
{
    m_commandRunning = false;
    RefreshStatus(m_ctx.Shell.StatusMessage());
    ShowFileState();
}

void frmMain::ClearFailure() { m_ctx.Shell.SetLastFailure(QString()); }

void frmMain::RestoreCurrentFolder() { QDir::setCurrent(m_ctx.ProgramFolder); }

void frmMain::ToolbarClick(const QString& key)
{
    if (key == QLatin1String("Load Configuration"))
        LoadConfiguration();
    else if (key == QLatin1String("Save Configuration"))
        SaveConfiguration();
    else if (key == QLatin1String("Read All"))
        ReadAllCommand();
    else if (key == QLatin1String("Write All"))
        WriteAllCommand();
    else if (key == QLatin1String("Reset"))
        ResetCommand();
    else if (key == QLatin1String("Read"))
        ReadCommand();
    else if (key == QLatin1String("Write"))
        WriteCommand();
    else if (key == QLatin1String("Login"))
        LoginCommand();
    else if (key == QLatin1String("Logout"))
        LogoutCommand();
    else if (key == QLatin1String("Help"))
        HelpCommand();
    else if (key == QLatin1String("Info"))
        InfoCommand();
    else if (key == QLatin1String("Connect"))
        ConnectCommand();
}

void frmMain::ConnectCommand()
{
    if (!BeginCommand())
        return;
    ClearFailure();
    m_commands.ConnectOrDisconnect();
    EndCommand();
}

void frmMain::ReadCommand()
{
    if (!m_activePage || !BeginCommand())
        return;
    ClearFailure();
    m_commands.Read(m_activePage->ReadKey());
    EndCommand();
}

void frmMain::WriteCommand()
{
    if (!m_activePage || !BeginCommand())
        return;
    ClearFailure();
    WriteFindings findings;
    findings.Errors = m_activePage->CheckDataToWrite();
    findings.JoystickErrors = JoyCheckData ? JoyCheckData() : QString();
    findings.Warnings = m_activePage->CheckFloatPinToWrite();
    m_commands.Write(m_activePage->WriteKey(), findings);
    EndCommand();
}

void frmMain::ReadAllCommand()
{
    if (!BeginCommand())
        return;
    ClearFailure();
    m_commands.Read(m_ctx.Pages.AllPagesReadKey());
    EndCommand();
}

void frmMain::WriteAllCommand()
{
    if (!BeginCommand())
        return;
    ClearFailure();
    // Write All runs no configuration checks.
    m_commands.Write(m_ctx.Pages.AllPagesWriteKey(), WriteFindings{});
    EndCommand();
}

void frmMain::ResetCommand()
{
    if (!BeginCommand())
        return;
    ClearFailure();
    m_commands.Reset();
    EndCommand();
}

void frmMain::LoadConfiguration()
{
    if (!BeginCommand())
        return;
    ShellState& st = m_ctx.Shell;
    const std::optional<QString> path =
        m_dialogs->OpenFile(this, QStringLiteral("Load System Configuration Parameters From ..."),
                            QStringLiteral("*.*|*.*"), ConfigurationFilesFolder(m_ctx.ProgramFolder));
    if (path && !path->isEmpty()) {
        bool loaded = false;
        LoadReport report;
        try {
            report = ConfigFile::LoadConfiguration(*path, QFileInfo(*path).fileName(), m_ctx.Table, m_ctx.Info);
            loaded = true;
        } catch (const std::exception&) {
            loaded = false;
        }
        if (!loaded) {
            ShowMessage(QString::fromLatin1(ConfigFile::LoadFailedText), MessageIcon::Critical);
        } else {
            ShowMessage(QString::fromLatin1(ConfigFile::LoadSucceededText));
            ShowLoadReport(report);
            SelectTab(0);
            RefreshActivePage();
            if (frmComment* info = InfoPage())
                info->RefreshObject();
            st.SetInfoChanged(false);
            st.SetFileState(2);
            st.SetParamsUnchanged(true);
            st.SetParamsDiffer(true);
        }
    }
    RestoreCurrentFolder();
    EndCommand();
}

void frmMain::ShowLoadReport(const LoadReport& report)
{
    if (report.UnknownAddresses.empty() && report.OutOfRange.empty())
        return;
    QString text;
    if (!report.UnknownAddresses.empty()) {
        QStringList addresses;
        for (int32_t a : report.UnknownAddresses)
            addresses << QString::number(a);
        text += QStringLiteral("Lines ignored, their address is not in the catalogue:\r") +
                addresses.join(QStringLiteral(", ")) + QLatin1Char('\r');
    }
    if (!report.OutOfRange.empty()) {
        if (!text.isEmpty())
            text += QLatin1Char('\r');
        text += QStringLiteral("Values outside their limits, loaded unchanged:\r");
        for (int index : report.OutOfRange) {
            const CVarData* r = m_ctx.Table.At(index);
            const QString name = r ? QString::fromStdString(r->DataS.Name) : QStringLiteral("#%1").arg(index);
            text += QStringLiteral(" - ") + name + QLatin1Char('\r');
        }
    }
    ShowMessage(text, MessageIcon::Warning);
}

void frmMain::SaveConfiguration()
{
    if (!BeginCommand())
        return;
    ShellState& st = m_ctx.Shell;
    const std::optional<QString> path =
        m_dialogs->SaveFile(this, QStringLiteral("Save System Configuration Parameters To ..."),
                            QStringLiteral("*.txt|*.txt"), ConfigurationFilesFolder(m_ctx.ProgramFolder),
                            QStringLiteral("MySettings"));
    if (path && !path->isEmpty()) {
        const bool go = !ConfigFile::FileExistsFs(*path) ||
                        Ask(QString::fromLatin1(ConfigFile::OverwriteQuestion), MessageIcon::None);
        if (go) {
            bool saved = false;
            try {
                ConfigFile::SaveConfiguration(*path, m_ctx.Table, m_ctx.Pages, m_ctx.Info);
                saved = true;
            } catch (const std::exception&) {
                saved = false;
            }
            if (!saved) {
                ShowMessage(QString::fromLatin1(ConfigFile::SaveFailedText), MessageIcon::Critical);
            } else {
                st.SetInfoChanged(false);
                st.SetFileState(2);
                st.SetParamsUnchanged(true);
                m_ctx.Info.FileName = QFileInfo(*path).fileName();
                if (frmComment* info = InfoPage())
                    info->lblName->setText(m_ctx.Info.FileName);
                ShowMessage(QString::fromLatin1(ConfigFile::SaveSucceededText));
            }
        }
    }
    RestoreCurrentFolder();
    EndCommand();
}

void frmMain::PortCommand(int index)
{
    if (index < 0 || index >= static_cast<int>(mnuSet_Com.size()))
        return;
    for (QAction* a : mnuSet_Com)
        a->setChecked(false);
    if (index == 0)
        SetPortPanel(QStringLiteral("NONE"));
    DeviceSettings::SetUsbPortIndex(m_ctx, static_cast<int16_t>(index));
    if (DeviceSettings::CanConnected(m_ctx)) {
        mnuSet_Com[static_cast<size_t>(index)]->setChecked(true);
        SetPortPanel(QStringLiteral("USB ") + QString::number(index));
    } else {
        SetPortPanel(QStringLiteral("NONE"));
        mnuSet_Com[0]->setChecked(true);
        DeviceSettings::SetUsbPortIndex(m_ctx, 0);
    }
}

void frmMain::BitRateCommand(int index)
{
    if (index < 0 || index >= static_cast<int>(mnuSet_CANBitRate.size()))
        return;
    for (QAction* a : mnuSet_CANBitRate)
        a->setChecked(false);
    QAction* item = mnuSet_CANBitRate[static_cast<size_t>(index)];
    item->setChecked(true);
    const QString word = item->text().section(QLatin1Char(' '), 0, 0);
    SetBitRatePanel(word);
    DeviceSettings::SetBitRateIndex(m_ctx, DeviceSettings::BitRateIndexFromText(word));
}

void frmMain::LoginCommand()
{
    if (!m_pwd) {
        m_pwd = new FrmPwd(*this, this);
        m_pwd->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_pwd->show();
    m_pwd->raise();
    m_pwd->activateWindow();
    m_pwd->Text1->setFocus();
}

void frmMain::LogoutCommand()
{
    m_ctx.Shell.SetAssistanceLoggedIn(false);
    if (Page* debugger = PageByTag(QStringLiteral("A4")))
        debugger->RefreshObject();
    RefreshStatus(m_ctx.Shell.StatusMessage());
}

void frmMain::HelpCommand() { OpenManual(1); }

void frmMain::SiteCommand()
{
    const QUrl url(QString::fromLatin1(WebSite));
    if (UrlOpener)
        UrlOpener(url);
    else
        QDesktopServices::openUrl(url);
}

void frmMain::InfoCommand()
{
    if (ShowAboutBox) {
        ShowAboutBox();
        return;
    }
    frmAbout::ShowAbout(*this);
}

void frmMain::PaletteCommand()
{
    if (ShowPaletteDialog)
        ShowPaletteDialog();
    else
        frmSectionColour::Instance(*this).ShowPalette();
}

// ---------------------------------------------------------------------------
// Manual

QString frmMain::ManualParameterText(int page, const QString& programFolder)
{
    const QChar q(QLatin1Char('"'));
    return QStringLiteral("/A ") + q + QStringLiteral("page=") + QString::number(page) +
           QStringLiteral("&pagemode=bookmarks&zoom=100") + q + QStringLiteral("  ") + q + programFolder +
           QLatin1Char('/') + QLatin1String(ManualFile);
}

bool frmMain::RunProgram(const QString& program, const QString& parameters)
{
    return QProcess::startDetached(program, QProcess::splitCommand(parameters));
}

void frmMain::OpenManual(int page)
{
    const QString parameters = ManualParameterText(page, m_ctx.ProgramFolder);
    const QString path = QDir(m_ctx.ProgramFolder).filePath(QLatin1String(ManualFile));
    if (!QFileInfo::exists(path)) {
        ShowMessage(QString::fromLatin1(ManualMissing) + QLatin1Char('\r') + m_ctx.ProgramFolder,
                    MessageIcon::Warning);
        return;
    }
    if (ManualOpener) {
        ManualOpener(path, page, parameters);
        return;
    }
    if (HasInAppManualViewer()) {
        if (!m_manual)
            m_manual = new ManualViewer(nullptr);
        if (m_manual->Open(path, page))
            return;
    }
    if (!OpenManualExternally(path))
        ShowMessage(QStringLiteral("The manual could not be opened:\r") + path, MessageIcon::Warning);
}

// ---------------------------------------------------------------------------
// Exit

bool frmMain::ExitProcedure()
{
    if (m_finalUnload)
        return false; // the program is already going: nothing to ask again
    // A retry that falls inside a running command (the tick runs during its
    // waits) waits for the next tick: the command ends first.
    if (m_commandRunning)
        return true;
    ShellState& st = m_ctx.Shell;
    // Once the user has confirmed, the retries of a delayed exit do not ask again.
    if (st.FileState() == 1 && !st.ExitRequested()) {
        if (!Ask(QString::fromLatin1(CommandText::NotSavedQuestion), MessageIcon::Warning))
            return true;
    }
    st.SetExitRequested(true);
    st.SetExitAttempts(static_cast<int16_t>(st.ExitAttempts() + 1));
    if (st.ExitAttempts() > 8) {
        FinalUnload();
        return false;
    }
    for (Page* p : m_pages) {
        p->DisableTimer();
        if (p->StatusTimerForm())
            return true; // busy: the main tick tries again
    }
    FinalUnload();
    return false;
}

void frmMain::FinalUnload()
{
    if (m_programEnded)
        return;
    m_finalUnload = true;
    m_programEnded = true;
    TmrDraw.stop();
    tmrRxCAN.stop();
    if (m_wait)
        m_wait->close();
    if (m_pwd)
        m_pwd->close();
    if (m_manual)
        m_manual->close();
    close();
    emit programEnded();
    if (EndProgram)
        EndProgram();
    else
        QCoreApplication::exit(0);
}

void frmMain::closeEvent(QCloseEvent* event)
{
    if (m_finalUnload) {
        event->accept();
        return;
    }
    // The window is disabled while a command runs, but the window frame's
    // close button still works: the command finishes first.
    if (m_commandRunning) {
        event->ignore();
        return;
    }
    // Closing the window unloads the pages; the Configure page's unload runs
    // the exit procedure. It runs once per close: when it decides to end, the
    // final unload closes the window without asking again.
    bool cancel = false;
    for (Page* p : m_pages) {
        if (p->QueryUnload()) {
            cancel = true;
            break;
        }
        if (m_finalUnload)
            break;
    }
    if (!cancel && !m_finalUnload)
        cancel = ExitProcedure();
    if (cancel)
        event->ignore();
    else
        event->accept();
}

void frmMain::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && (windowState() & Qt::WindowMaximized))
        setWindowState(windowState() & ~Qt::WindowMaximized);
}
