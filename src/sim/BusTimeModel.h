#pragma once
// How long frames occupy a CAN bus, so that the simulated controller answers
// no faster than a real bus allows. A frame takes its length in bits at the
// bit rate, with worst-case bit stuffing and the interframe space; the bus is
// shared, so frames serialise: a frame that becomes ready while another is on
// the wire starts when that one ends.
//
// Bits of a data frame with n data bytes (CAN 2.0):
//   stuffed part  SOF, arbitration, control, data, CRC:
//                 34 + 8n (11-bit identifier), 54 + 8n (29-bit identifier)
//   fixed tail    CRC delimiter, ACK slot, ACK delimiter, 7 EOF, 3 IFS = 13
//   stuff bits    at most (stuffed - 1) / 4: after the first five equal bits,
//                 one every four when the stream is least favourable
// An 8-byte standard frame is 111 bits nominal and 135 at worst.
#include "core/transport/CanAdapter.h"

#include <QString>

#include <chrono>
#include <optional>

class BusTimeModel {
public:
    using Clock = std::chrono::steady_clock;

    static constexpr int StandardStuffedBits = 34; // SOF .. CRC without data, 11-bit identifier
    static constexpr int ExtendedStuffedBits = 54; // the same with a 29-bit identifier
    static constexpr int TailBits = 13;            // CRC and ACK delimiters, ACK slot, EOF, IFS

    // bitRate in bit/s (> 0).
    explicit BusTimeModel(int bitRate);

    // "125k", "250k", "500k", "1000k" (also "1m"); nullopt for anything else.
    static std::optional<BusTimeModel> FromText(const QString& text);
    // The accepted names, for help and error texts.
    static QString Choices();

    int BitRate() const { return m_bitRate; }
    // "250k".
    QString Text() const;

    // Bits on the wire of a data frame (LEN above 8 counts as 8).
    static int NominalBits(const CanMsg& frame);
    static int StuffBitsWorstCase(const CanMsg& frame);
    static int WorstCaseBits(const CanMsg& frame) { return NominalBits(frame) + StuffBitsWorstCase(frame); }

    // Time of a number of bits, and of a frame at worst case, at this rate.
    std::chrono::nanoseconds BitsTime(int bits) const;
    std::chrono::nanoseconds FrameTime(const CanMsg& frame) const { return BitsTime(WorstCaseBits(frame)); }
    // Request and reply back to back on an idle bus.
    std::chrono::nanoseconds ExchangeTime(const CanMsg& request, const CanMsg& reply) const
    {
        return FrameTime(request) + FrameTime(reply);
    }

    // The wire: the frame becomes ready at `ready`, starts when the bus is
    // free, and the bus is busy until the returned end of its transmission.
    Clock::time_point Transmit(Clock::time_point ready, const CanMsg& frame);
    Clock::time_point BusyUntil() const { return m_busyUntil; }
    // The bus is idle (a power cycle, a new channel).
    void Clear() { m_busyUntil = Clock::time_point{}; }

private:
    int m_bitRate;
    Clock::time_point m_busyUntil{};
};
