#pragma once
// One controller parameter: a plain record shared by the program and the
// control library. No behaviour and no toolkit types, so any code that knows
// the record layout can read and edit it.
#include <cstdint>
#include <string>

struct CVarDataS {
    std::string Name;               // display name
    std::string TooltipDecription;  // tooltip text (also the configuration-file description)
    int32_t Address = 0;            // word address, the same for E2 and RAM requests
    int16_t VarID = 0;              // index in the variable table (1..250)
    int32_t CedValueE2 = 0;         // value last read from / written to the controller's E2
    int32_t CedValE2Min = 0;        // smallest valid E2 value
    int32_t CedValE2Max = 65535;    // largest valid E2 value; 65535 = out-of-range is reset silently
    int32_t CedValueDefault = 0;    // factory default E2 value
    int32_t CedValueRAM = 0;        // value last read from RAM
    int32_t QvsDisplayValueE2 = 0;  // display value of the E2 parameter
    double QvsDisplayValueRAM = 0;  // display value of the RAM variable
    int32_t QvsDownloadValueE2 = 0; // raw E2 value to be written
    int32_t QvsDownloadValueRAM = 0;// raw RAM value as last read
    std::string F_DownloadToDisplay;// formula raw -> display; empty = identity
    std::string F_DisplayToDownload;// formula display -> raw; empty = identity
    std::string Unit;               // unit shown beside the value
    std::string MonitorName;        // caption used by the monitor page
    bool MonitorEnable = false;     // whether the monitor page polls this variable
    int16_t CurrentDRCSystem = 0;   // picks one "|" variant of the RAM display formula
    int16_t DrcTypeID = 0;          // proportional section this parameter belongs to, from 0
    int16_t QVSPageDomain = 0;      // page membership bit mask; bit 0 = writable
};
