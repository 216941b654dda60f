#pragma once
// The request/reply protocol with the controller: read or write one 16-bit
// word of its EEPROM ("E2") or RAM. A request goes out on identifier 220,
// the controller answers on 221 with the command + 0x80 and the address
// echoed (and the value, for reads). Each call is one blocking exchange
// that keeps dispatching events while it waits, and returns "" on success
// or the message to show.
//
// A reply counts only if it arrived after this exchange's request was sent;
// the exchange ends as soon as a matching one is in, or after the 200 ms
// reply time-out. With LinkTiming::Legacy every exchange lasts at least
// 200 ms.
#include "core/link/WordLink.h"
#include "core/transport/LinkTiming.h"

#include <cstdint>
#include <string>

class modCANDevice;
struct CanFrame;

class CANLink : public WordLink {
public:
    static constexpr uint16_t RequestId = 220;
    static constexpr uint16_t ReplyId = 221;
    static constexpr int ReplyTimeoutMs = 200;
    static constexpr int LegacyExchangeMs = 200;
    static constexpr uint8_t CmdWriteE2 = 0x01;
    static constexpr uint8_t CmdReadE2 = 0x02;
    static constexpr uint8_t CmdWriteRAM = 0x03;
    static constexpr uint8_t CmdReadRAM = 0x04;
    static constexpr int32_t FailureValue = 0xFFFF;
    static constexpr const char* CommunicationError = "Comunication Error";
    static constexpr const char* CommunicationTimeOut = "Communication TIME OUT ";

    explicit CANLink(modCANDevice& device, LinkTiming timing = LinkTiming::Fast);

    // Not connected: "" and nothing sent, Value untouched. An address or
    // value outside 0..65535: "Comunication Error", nothing sent. A
    // non-matching reply and none better: "Comunication Error" (reads: Value
    // 0xFFFF). No reply: "Communication TIME OUT ".
    std::string ReadE2Word(int64_t Address, int32_t& Value) override;
    std::string WriteE2Word(int64_t Address, int32_t Value) override;
    std::string ReadRAMWord(int64_t Address, int32_t& Value) override;
    std::string WriteRAMWord(int64_t Address, int32_t Value) override;

    // Waits Ms milliseconds (monotonic clock) while dispatching events.
    static void DelayMs(int64_t Ms);

    LinkTiming Timing() const { return m_timing; }
    void SetTiming(LinkTiming timing) { m_timing = timing; }

    // The request frame of a command (exposed for the simulated controller's
    // tests and for tracing).
    static CanFrame Request(uint8_t command, uint16_t address, uint16_t value);

private:
    std::string Exchange(uint8_t command, int64_t address, int64_t value, int32_t* readValue);
    std::string AwaitReply(uint8_t command, uint16_t address, uint64_t sentAfter, int32_t* readValue);

    modCANDevice& m_device;
    LinkTiming m_timing;
};
