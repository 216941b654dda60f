#pragma once
// The bus a program talks on, ready to use: the resolved choice, the adapter
// factory for the device layer and, for "sim", the in-process simulated
// controller it answers through (loaded from the program folder's catalogue).
#include "core/state/CoreContext.h"
#include "core/transport/BusSelection.h"

#include <QString>

#include <memory>

class DrcController;

struct BusSetup {
    BusChoice Choice;
    // Alive as long as the factory is used (the factory holds it too).
    std::shared_ptr<DrcController> Simulator;
    CoreContext::AdapterFactory Factory;
    QString Error; // why the bus cannot work; the factory then opens nothing
};

// Resolves "sim", "auto" or "plugin:interface". For the simulator, live
// values move on a timer when liveSimulation is true (the demo), and slow
// demo error bits come and go when demoErrors is true. The environment
// variable QVS_BUS_MODEL (125k, 250k, 500k, 1000k) paces the simulator's
// replies by the bus time of request and reply.
BusSetup MakeBusSetup(const QString& busName, const QString& programFolder, bool liveSimulation = true,
                      bool demoErrors = false);

// The same, for callers that need the factory only.
CoreContext::AdapterFactory MakeAdapterFactory(const QString& busName, const QString& programFolder,
                                               QString* error);
// The bus a command-line value asks for: the value itself, else QVS_BUS, else "auto".
QString ResolveBusName(const QString& cliValue);
