#pragma once
// The command line of drc-sim.
#include "sim/BusTimeModel.h"
#include "sim/DrcFaults.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

struct DrcSimOptions {
    static constexpr const char* DefaultBus = "virtualcan:can0";

    QString Bus = QString::fromLatin1(DefaultBus);
    QString Home;      // program folder; empty = QVS_HOME, the executable's folder, ../share/qvsstudio
    QString Catalogue; // catalogue file; empty = <program folder>/res/ini/Ramlist.ini
    int BitRateKbit = 250;
    DrcFaults Faults;
    std::optional<BusTimeModel> BusModel; // --bus-model: replies paced by the bus time
    bool DemoErrors = false;
    uint32_t Seed = 1;
    bool PowerCycleOnStart = false;
    int SoftwareVersion = -1; // -1 = the built-in version word
    int TickMs = 20;          // live value update interval; 0 = frozen values
    bool Trace = false;
    bool Console = true;      // operator commands on standard input
    QList<QPair<int, int>> E2Presets;  // ADDR=VALUE words set in E2 before start
    QList<QPair<int, int>> RamPresets; // ADDR=VALUE words set in RAM after start
};

enum class DrcSimParse { Run, Help, Version, Error };

// Parses the arguments (args[0] is the program). On Help the help text, on
// Error the message (one line, without the usage) is put into text.
DrcSimParse ParseDrcSimOptions(const QStringList& args, DrcSimOptions& options, QString& text);
