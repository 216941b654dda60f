// qvs-screenshots: pictures of the program's pages and dialogs for the
// manual. It builds the main window the way the program does, on the
// in-process simulated controller, connects, shows each page and dialog and
// grabs it to a PNG file. Works offscreen (QT_QPA_PLATFORM=offscreen).
//
// A page or dialog that cannot be shown is reported and left out; the manual
// then shows a placeholder. The exit status is 0 unless the command line is
// wrong, so a missing picture never stops the build.
#include "core/link/CatalogueKeys.h"
#include "core/link/IDData.h"
#include "core/state/CoreContext.h"
#include "core/transport/BusSelection.h"
#include "gui/pages/Page.h"
#include "gui/pages/config/ConfigWidgets.h"
#include "gui/pages/config/FrmConfig.h"
#include "gui/shell/Dialogs.h"
#include "gui/shell/FrmPwd.h"
#include "gui/shell/frmMain.h"
#include "sim/BusFactory.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCommandLineParser>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QMessageBox>
#include <QPixmap>
#include <QPointer>
#include <QStatusBar>
#include <QTabWidget>
#include <QTextStream>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <QtTest/QTest>

#include <cstdio>
#include <cstdlib>
#include <functional>

namespace {

// Answers every box without showing it: questions Yes, file dialogs cancel.
class AutoDialogs : public Dialogs {
public:
    QStringList Texts;
    void Message(QWidget*, const QString& text, MessageIcon, const QString&) override { Texts << text; }
    bool Ask(QWidget*, const QString& text, MessageIcon, const QString&) override
    {
        Texts << text;
        return true;
    }
    std::optional<QString> OpenFile(QWidget*, const QString&, const QString&, const QString&) override
    {
        return std::nullopt;
    }
    std::optional<QString> SaveFile(QWidget*, const QString&, const QString&, const QString&, const QString&) override
    {
        return std::nullopt;
    }
};

void Wait(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

bool WaitFor(const std::function<bool()>& done, int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms)
            return false;
        Wait(20);
    }
    return true;
}

// The visible top-level window whose F1 opens the manual at page.
QWidget* WindowForManualPage(int page)
{
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (!w->isVisible())
            continue;
        const QVariant v = w->property("ManualPage");
        if (v.isValid() && v.toInt() == page)
            return w;
    }
    return nullptr;
}

class Shooter {
public:
    Shooter(const QString& folder, QTextStream& log) : m_folder(folder), m_log(log) {}

    void Shot(const QString& name, QWidget* widget, const QString& missing = QString())
    {
        if (!widget) {
            Missing(name, missing.isEmpty() ? QStringLiteral("not available") : missing);
            return;
        }
        // The window may go away while the events run (a dialog that
        // deletes itself when closed).
        const QPointer<QWidget> alive(widget);
        Wait(60);
        if (!alive) {
            Missing(name, QStringLiteral("the window closed before it could be shot"));
            return;
        }
        const QPixmap picture = widget->grab();
        const QString path = QDir(m_folder).filePath(name + QStringLiteral(".png"));
        if (picture.isNull() || !picture.save(path)) {
            Missing(name, QStringLiteral("cannot grab or save"));
            return;
        }
        m_log << "shot    " << name << " " << picture.width() << "x" << picture.height() << "\n";
        ++m_shots;
    }
    void Missing(const QString& name, const QString& why)
    {
        m_log << "missing " << name << ": " << why << "\n";
        std::fprintf(stderr, "qvs-screenshots: %s not shot: %s\n", qPrintable(name), qPrintable(why));
        ++m_missing;
    }
    int Shots() const { return m_shots; }
    int MissingCount() const { return m_missing; }

private:
    QString m_folder;
    QTextStream& m_log;
    int m_shots = 0;
    int m_missing = 0;
};

void CloseTopLevels(QWidget* keep)
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w != keep && w->isVisible() && w->isWindow())
            w->hide();
}

void Run(const QString& folder, const QString& out, QTextStream& log)
{
    Shooter shooter(out, log);
    BusSetup bus = MakeBusSetup(QStringLiteral("sim"), folder, true, true);
    CoreContext context(folder, bus.Factory);
    context.BusName = QStringLiteral("sim");
    AutoDialogs dialogs;
    frmMain window(context, &dialogs);
    window.ManualOpener = [](const QString&, int, const QString&) {};
    window.UrlOpener = [](const QUrl&) { return true; };
    window.EndProgram = [] {};
    window.show();
    window.SelectTab(0);
    window.InitPalette();
    ShellState& st = context.Shell;
    st.SetParamsUnchanged(true);
    st.SetFileState(0);
    st.SetInfoChanged(false);
    st.SetParamsDiffer(false);
    Wait(300);
    window.ConnectCommand();
    if (!WaitFor([&] { return st.ConnectionState() == Connected; }, 20000)) {
        shooter.Missing(QStringLiteral("connected pages"),
                        QStringLiteral("the simulator did not connect: ") + dialogs.Texts.join(QStringLiteral(" / ")));
        return;
    }
    Wait(500);
    shooter.Shot(QStringLiteral("configure"), &window);
    shooter.Shot(QStringLiteral("toolbar"), window.tbToolBar);
    shooter.Shot(QStringLiteral("statusbar"), window.statusBar());

    auto* config = qobject_cast<FrmConfig*>(window.PageByTag(QStringLiteral("A1")));
    if (config && config->SSTab1) {
        config->SSTab1->setCurrentIndex(2);
        shooter.Shot(QStringLiteral("configure-ramps"), config->SSTab1);
        config->SSTab1->setCurrentIndex(0);
    } else {
        shooter.Missing(QStringLiteral("configure-ramps"), QStringLiteral("no ramp tab"));
    }

    // Dialogs of the Configure page, opened by their pictures as a user does.
    if (config) {
        if (CVarData* edit = context.Table.Record(Key::QVS_DITHER_EDIT))
            edit->DataS.QvsDisplayValueE2 = 170; // dither editing allowed, for the picture only
        QWidget* dither = nullptr;
        if (config->MagSel[0]) {
            QTest::mouseClick(config->MagSel[0], Qt::LeftButton);
            WaitFor([&] { return (dither = WindowForManualPage(18)) != nullptr; }, 2000);
        }
        shooter.Shot(QStringLiteral("dither"), dither, QStringLiteral("the dither dialog did not open"));
        CloseTopLevels(&window);

        QWidget* joySel = nullptr;
        if (config->JoySel[0]) {
            QTest::mouseClick(config->JoySel[0], Qt::LeftButton);
            WaitFor([&] { return (joySel = WindowForManualPage(13)) != nullptr; }, 2000);
        }
        shooter.Shot(QStringLiteral("joysel"), joySel, QStringLiteral("the input selection did not open"));
        CloseTopLevels(&window);
    }

    window.SelectTab(1);
    Wait(1200);
    shooter.Shot(QStringLiteral("monitor"), &window);

    window.SelectTab(2);
    if (auto* list = window.findChild<QTreeWidget*>(QStringLiteral("ListView1")))
        WaitFor([&] { return list->topLevelItemCount() >= 1; }, 5000);
    else
        Wait(1500);
    shooter.Shot(QStringLiteral("diagnostic"), &window);

    window.SelectTab(3);
    st.SetAssistanceLoggedIn(true);
    if (Page* debug = window.PageByTag(QStringLiteral("A4"))) {
        debug->RefreshObject();
        // A parameter with a unit, so that the page shows its value in mA.
        const CVarData* shown = context.Table.Record(Key::QVS_I0_MAX);
        if (auto* list = debug->findChild<QComboBox*>(QStringLiteral("cmbVariablesList")))
            for (int i = 1; i < context.Table.VarTableEnd && i < list->count(); ++i)
                if (shown && context.Table.At(i) == shown)
                    list->setCurrentIndex(i);
        for (const char* button : {"cmdRead", "cmdDisplay"})
            if (auto* b = debug->findChild<QAbstractButton*>(QLatin1String(button)); b && b->isEnabled()) {
                b->click();
                WaitFor([&] { return st.ConnectionState() == Connected; }, 3000);
            }
    }
    Wait(300);
    shooter.Shot(QStringLiteral("debugger"), &window);

    window.SelectTab(4);
    if (Page* info = window.PageByTag(QStringLiteral("A5"))) {
        const std::pair<const char*, const char*> fields[] = {
            {"txtAutor", "J. Moreau"}, {"txtDate", "12/03/2025"}, {"TxtRevision", "B"}, {"TxtCompany", "Service team"}};
        for (const auto& [name, text] : fields)
            if (QWidget* w = info->findChild<QWidget*>(QLatin1String(name)))
                w->setProperty("text", QString::fromLatin1(text));
        if (QWidget* w = info->findChild<QWidget*>(QStringLiteral("TxtInfo")))
            w->setProperty("plainText", QStringLiteral("Loader crane, serial 4711\nInput 2 changed to the PLC signal"));
    }
    Wait(600);
    shooter.Shot(QStringLiteral("info"), &window);

    window.SelectTab(0);
    Wait(200);
    window.PaletteCommand();
    QWidget* palette = nullptr;
    WaitFor([&] { return (palette = WindowForManualPage(36)) != nullptr; }, 2000);
    shooter.Shot(QStringLiteral("palette"), palette, QStringLiteral("the palette dialog did not open"));
    CloseTopLevels(&window);

    window.LoginCommand();
    Wait(200);
    shooter.Shot(QStringLiteral("login"), window.LoginDialog(),
                 QStringLiteral("the login dialog did not open"));
    CloseTopLevels(&window);

    window.InfoCommand();
    QWidget* about = nullptr;
    WaitFor(
        [&] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->isVisible() && w->objectName() == QLatin1String("frmAbout"))
                    about = w;
            return about != nullptr;
        },
        2000);
    shooter.Shot(QStringLiteral("about"), about, QStringLiteral("the about box did not open"));
    CloseTopLevels(&window);

    // A message box as the program shows it.
    QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(Dialogs::ApplicationTitle),
                    QStringLiteral("Operation Failed :Communication TIME OUT "), QMessageBox::Ok, &window);
    box.setWindowModality(Qt::NonModal);
    box.show();
    Wait(200);
    shooter.Shot(QStringLiteral("message"), &box);
    box.hide();

    window.ConnectCommand(); // disconnect
    log << shooter.Shots() << " shot, " << shooter.MissingCount() << " missing\n";
    std::printf("qvs-screenshots: %d shot, %d missing\n", shooter.Shots(), shooter.MissingCount());
}

// The offscreen platform warns about every window it cannot raise.
void QuietOffscreenWarnings(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.startsWith(QLatin1String("This plugin does not support")))
        return;
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(QuietOffscreenWarnings);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("QvsStudio"));
    QApplication::setApplicationVersion(
        QStringLiteral("%1.%2.%3").arg(QVS_VERSION_MAJOR).arg(QVS_VERSION_MINOR).arg(QVS_VERSION_PATCH));
    QApplication::setQuitOnLastWindowClosed(false);
    QuietCanBusPluginLogging();

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Screenshots of QvsStudio for the manual."));
    parser.addHelpOption();
    const QCommandLineOption home(QStringLiteral("home"), QStringLiteral("Program folder holding res/."),
                                  QStringLiteral("dir"));
    const QCommandLineOption out(QStringLiteral("out"), QStringLiteral("Folder for the PNG files."),
                                 QStringLiteral("dir"));
    parser.addOptions({home, out});
    parser.process(app);
    if (!parser.isSet(home) || !parser.isSet(out)) {
        std::fprintf(stderr, "qvs-screenshots: --home and --out are required\n");
        return 2;
    }
    const QString folder = parser.value(home);
    QDir dir(parser.value(out));
    if (!dir.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "qvs-screenshots: cannot create %s\n", qPrintable(dir.path()));
        return 2;
    }
    // Old pictures must not stand in for ones that could not be taken now.
    for (const QString& f : dir.entryList({QStringLiteral("*.png")}, QDir::Files))
        dir.remove(f);

    QFile logFile(dir.filePath(QStringLiteral("shots.txt")));
    if (!logFile.open(QIODevice::WriteOnly | QIODevice::Text)) {
        std::fprintf(stderr, "qvs-screenshots: cannot write %s\n", qPrintable(logFile.fileName()));
        return 2;
    }
    QTextStream log(&logFile);

    // Nothing may hang the build: a box that opens by itself is closed, and
    // after the deadline the tool stops with what it has.
    QTimer modalGuard;
    QObject::connect(&modalGuard, &QTimer::timeout, [&log] {
        // Only message boxes: the program's own dialogs may be modal too.
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            log << "closed an unexpected message box: " << box->text() << "\n";
            box->close();
        }
    });
    modalGuard.start(1000);
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, [&log] {
        log << "deadline reached, stopped\n";
        log.flush();
        std::fprintf(stderr, "qvs-screenshots: stopped after 120 s; the pictures taken so far are kept\n");
        std::_Exit(0);
    });
    deadline.start(120000);

    Run(folder, dir.path(), log);
    log.flush();
    return 0;
}
