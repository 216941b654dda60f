#include "sim/BusFactory.h"

#include "core/state/ProgramFolder.h"
#include "core/transport/CanAdapter.h"
#include "sim/DrcController.h"

BusSetup MakeBusSetup(const QString& busName, const QString& programFolder, bool liveSimulation,
                      bool demoErrors)
{
    BusSetup setup;
    setup.Choice = ResolveBus(busName.toStdString());
    if (setup.Choice.Kind == BusKind::None) {
        setup.Error = QString::fromStdString(setup.Choice.Error);
        setup.Factory = [] { return std::unique_ptr<CanAdapter>(); };
        return setup;
    }
    if (setup.Choice.IsSimulator()) {
        auto sim = std::make_shared<DrcController>();
        const std::string error = sim->LoadCatalogue(CataloguePath(programFolder));
        if (!error.empty())
            setup.Error = QString::fromStdString(error);
        sim->SetDemoErrors(demoErrors);
        // QVS_BUS_MODEL=250k paces the simulator's replies by the bus time,
        // as drc-sim --bus-model does.
        if (const QString model = qEnvironmentVariable("QVS_BUS_MODEL"); !model.isEmpty()) {
            if (auto m = BusTimeModel::FromText(model))
                sim->SetBusModel(m);
            else if (setup.Error.isEmpty())
                setup.Error = QStringLiteral("QVS_BUS_MODEL: '%1' is not one of %2").arg(model, BusTimeModel::Choices());
        }
        if (liveSimulation)
            sim->StartLiveTimer();
        setup.Simulator = sim;
        auto factory = ::MakeAdapterFactory(setup.Choice, sim.get());
        // The factory keeps the controller alive.
        setup.Factory = [sim, factory] { return factory(); };
        return setup;
    }
    setup.Factory = ::MakeAdapterFactory(setup.Choice, nullptr);
    return setup;
}

CoreContext::AdapterFactory MakeAdapterFactory(const QString& busName, const QString& programFolder,
                                               QString* error)
{
    BusSetup setup = MakeBusSetup(busName, programFolder);
    if (error)
        *error = setup.Error;
    return setup.Factory;
}

QString ResolveBusName(const QString& cliValue)
{
    if (!cliValue.isEmpty())
        return cliValue;
    const QString env = qEnvironmentVariable("QVS_BUS");
    return env.isEmpty() ? QStringLiteral("auto") : env;
}
