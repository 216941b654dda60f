#pragma once
// The misbehaviours the simulated controller can be told to show, so that the
// tool's handling of a slow, lossy, garbled or dead controller can be tried
// without a broken machine.
#include <optional>
#include <string_view>

enum class CorruptKind {
    Command, // byte 0 of the reply names another command
    Address, // the echoed address differs from the requested one
};

inline std::optional<CorruptKind> CorruptKindFromText(std::string_view text)
{
    if (text == "command")
        return CorruptKind::Command;
    if (text == "address")
        return CorruptKind::Address;
    return std::nullopt;
}

struct DrcFaults {
    // Every reply reaches the bus this many milliseconds after its request.
    int LatencyMs = 0;
    // 0 = never; N = the Nth, 2Nth, ... reply is lost (the request still acts).
    int DropEvery = 0;
    // 0 = never; N = the Nth, 2Nth, ... reply is garbled as CorruptAs says.
    int CorruptEvery = 0;
    CorruptKind CorruptAs = CorruptKind::Command;
    // Negative = never; N = the controller answers its first N requests after
    // power-up and then nothing more (a hung controller).
    int SilentAfter = -1;
};
