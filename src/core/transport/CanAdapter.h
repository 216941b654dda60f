#pragma once
// The six calls through which the CAN channel talks to an adapter. Every
// result is 0 for success; a successful Read delivers exactly one frame;
// Reset empties both the receive and the transmit queue.
#include <array>
#include <cstdint>

struct CanMsg {
    uint32_t ID = 0;
    uint8_t MSGTYPE = 0; // 0 = standard 11-bit identifier, 2 = extended 29-bit
    uint8_t LEN = 0;
    std::array<uint8_t, 8> DATA{};
};

enum CanResult : int {
    CanOk = 0,
    CanQueueEmpty = 0x20,   // Read: nothing received
    CanNotInitialized = 0x4000,
    CanHardwareError = 0x1400,
    CanBusOff = 0x10,
    CanTransmitFailed = 0x1,
    CanBusWarning = 0x4,    // GetStatus: error counters past the warning limit
    CanBusPassive = 0x8,    // GetStatus: error passive
    CanIllegalParameter = 0x8000, // a bit-timing code or identifier the adapter cannot use
};

class CanAdapter {
public:
    virtual ~CanAdapter() = default;
    // Opens the channel at a bit-timing code (0x011C = 250 kbit/s, ...).
    virtual int Initialize(int bitTimingCode) = 0;
    virtual int Uninitialize() = 0;
    virtual int Reset() = 0;
    virtual int Read(CanMsg& msg) = 0;
    virtual int Write(const CanMsg& msg) = 0;
    virtual int GetStatus() = 0;
};
