// QvsStudio: the service tool's window program.
#include "core/state/CoreContext.h"
#include "core/state/ProgramFolder.h"
#include "core/transport/BusList.h"
#include "core/transport/BusSelection.h"
#include "gui/shell/CanInterfaceMenu.h"
#include "gui/shell/frmInit.h"
#include "gui/shell/frmMain.h"
#include "sim/BusFactory.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTimer>

#include <cstdio>

int main(int argc, char* argv[])
{
    QElapsedTimer startClock;
    startClock.start();
    {
        // Answered without a window system, so it works over ssh as well.
        QStringList arguments;
        for (int i = 0; i < argc; ++i)
            arguments << QString::fromLocal8Bit(argv[i]);
        if (ListBusesRequested(arguments)) {
            QCoreApplication core(argc, argv);
            std::fputs(SystemBusListText().toLocal8Bit().constData(), stdout);
            return 0;
        }
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("QvsStudio"));
    QApplication::setApplicationVersion(
        QStringLiteral("%1.%2.%3").arg(QVS_VERSION_MAJOR).arg(QVS_VERSION_MINOR).arg(QVS_VERSION_PATCH));
    QGuiApplication::setDesktopFileName(QStringLiteral("qvsstudio"));
    QuietCanBusPluginLogging();

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Service tool for the DRC family of valve controllers."));
    parser.addHelpOption();
    parser.addVersionOption();
    AddBusOptions(parser); // --bus NAME, --simulate, --link-timing fast|legacy
    AddListBusesOption(parser);
    const QCommandLineOption homeOption(QStringLiteral("home"),
                                        QStringLiteral("Program folder holding res/ (default: $QVS_HOME, else "
                                                       "the executable's folder, else ../share/qvsstudio)."),
                                        QStringLiteral("dir"));
    parser.addOption(homeOption);
    parser.process(app);

    const BusSettings settings = BusSettingsFromParser(parser, qEnvironmentVariable("QVS_BUS"));
    if (!settings.Error.empty()) {
        std::fprintf(stderr, "QvsStudio: %s\n", settings.Error.c_str());
        return 2;
    }
    const QString folder = ProgramFolder(parser.value(homeOption));
    if (!QFileInfo(folder + QStringLiteral("/res")).isDir())
        std::fprintf(stderr, "QvsStudio: no res/ folder in %s (use --home or QVS_HOME)\n", qPrintable(folder));

    BusSetup bus = MakeBusSetup(QString::fromStdString(settings.Bus), folder);
    CoreContext context(folder, bus.Factory, settings.Timing);
    context.BusName = bus.Choice.IsSimulator() ? QStringLiteral("sim") : QString::fromStdString(bus.Choice.Name);
    if (!bus.Error.isEmpty()) {
        // The program starts all the same; connecting is refused, and the
        // reason stays in the status bar until the first command.
        std::fprintf(stderr, "QvsStudio: bus %s: %s\n", settings.Bus.c_str(), qPrintable(bus.Error));
        context.Shell.SetLastFailure(bus.Error);
    }

    std::unique_ptr<frmMain> window;
    {
        frmInit splash(context);
        window = splash.Run();
    }
    // The Set menu's CAN interface list can switch to the simulator, and
    // "auto" looks for an adapter again at every Connect.
    window->mnuSet_CANInterface->SimulatorMaker = [folder](QString* error) {
        BusSetup sim = MakeBusSetup(QStringLiteral("sim"), folder);
        if (error)
            *error = sim.Error;
        return sim.Factory;
    };
    window->mnuSet_CANInterface->Adopt(QString::fromStdString(settings.Bus));
    // Start-up measurement: once the shown window's first events are
    // through, say how long the start took and end.
    if (qEnvironmentVariableIsSet("QVS_EXIT_WHEN_SHOWN"))
        QTimer::singleShot(0, &app, [&startClock] {
            std::printf("QvsStudio: main window shown after %lld ms\n", static_cast<long long>(startClock.elapsed()));
            std::fflush(stdout);
            QCoreApplication::quit();
        });
    const int rc = app.exec();
    window.reset();
    return rc;
}
