// drc-sim: the simulated DRC controller on a CAN bus, so that a separate
// QvsStudio or qvs-cli process can talk to it as to a machine.
#include "sim/CanBusServer.h"
#include "sim/DrcController.h"
#include "sim/DrcSimOptions.h"
#include "core/state/ProgramFolder.h"
#include "sim/SimConsole.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>

namespace {

constexpr int ConnectDeadlineMs = 10000;

void PrintLine(std::FILE* to, const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), to);
    std::fputc('\n', to);
    std::fflush(to);
}

QString FrameText(const CanMsg& m)
{
    QString s = QStringLiteral("%1 [%2]").arg(m.ID, 3, 16, QLatin1Char('0')).arg(m.LEN);
    for (int i = 0; i < 8 && i < m.LEN; ++i)
        s += QStringLiteral(" %1").arg(m.DATA[static_cast<size_t>(i)], 2, 16, QLatin1Char('0'));
    return s.toUpper();
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("drc-sim"));

    DrcSimOptions options;
    QString text;
    switch (ParseDrcSimOptions(QCoreApplication::arguments(), options, text)) {
    case DrcSimParse::Help:
    case DrcSimParse::Version: PrintLine(stdout, text); return 0;
    case DrcSimParse::Error:
        PrintLine(stderr, QStringLiteral("drc-sim: ") + text + QStringLiteral("\nTry 'drc-sim --help'."));
        return 2;
    case DrcSimParse::Run: break;
    }

    const QString folder = FindProgramFolder(options.Home, QCoreApplication::applicationDirPath());
    const QString catalogue = options.Catalogue.isEmpty() ? CataloguePath(folder) : options.Catalogue;
    DrcController controller(options.Seed);
    if (const std::string error = controller.LoadCatalogue(catalogue); !error.empty()) {
        PrintLine(stderr, QStringLiteral("drc-sim: %1: %2").arg(catalogue, QString::fromStdString(error)));
        return 1;
    }
    for (const auto& [address, value] : options.E2Presets)
        controller.SetE2(address, static_cast<uint16_t>(value));
    if (options.SoftwareVersion >= 0)
        controller.SetSoftwareVersion(static_cast<uint16_t>(options.SoftwareVersion));
    if (options.PowerCycleOnStart)
        controller.PowerCycle();
    for (const auto& [address, value] : options.RamPresets)
        controller.SetRam(address, static_cast<uint16_t>(value));
    controller.SetFaults(options.Faults);
    controller.SetBusModel(options.BusModel);
    controller.SetDemoErrors(options.DemoErrors);
    if (options.TickMs > 0)
        controller.StartLiveTimer(options.TickMs);
    if (options.Trace)
        controller.SetTrace([](const CanMsg& m, DrcController::Direction d) {
            PrintLine(stderr, (d == DrcController::Direction::Request ? QStringLiteral("drc-sim: rx ")
                                                                       : QStringLiteral("drc-sim: tx ")) +
                                  FrameText(m));
        });

    CanBusServer server(controller);
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &app, [&] {
        PrintLine(stderr, QStringLiteral("drc-sim: %1 did not connect within %2 s")
                              .arg(options.Bus)
                              .arg(ConnectDeadlineMs / 1000));
        QCoreApplication::exit(1);
    });
    QObject::connect(&server, &CanBusServer::ready, &app, [&] {
        deadline.stop();
        PrintLine(stdout, QStringLiteral("drc-sim: listening on %1").arg(options.Bus));
    });
    QObject::connect(&server, &CanBusServer::busError, &app,
                     [](const QString& e) { PrintLine(stderr, QStringLiteral("drc-sim: bus error: ") + e); });
    QObject::connect(&server, &CanBusServer::disconnected, &app, [&] {
        PrintLine(stderr, QStringLiteral("drc-sim: %1 disconnected").arg(options.Bus));
        QCoreApplication::exit(1);
    });

    SimConsole console(controller);
    QObject::connect(&console, &SimConsole::quitRequested, &app, [] { QCoreApplication::exit(0); },
                     Qt::QueuedConnection);
    if (options.Console)
        console.AttachStdin();

    if (!server.Open(options.Bus, options.BitRateKbit * 1000, &text)) {
        PrintLine(stderr, QStringLiteral("drc-sim: ") + text);
        return 1;
    }
    deadline.start(ConnectDeadlineMs);
    return app.exec();
}
