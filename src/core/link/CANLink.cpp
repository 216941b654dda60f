#include "core/link/CANLink.h"

#include "core/transport/EventWait.h"
#include "core/transport/modCANDevice.h"

#include <QElapsedTimer>

namespace {

// Reception is stopped on every way out of an exchange, faults included.
class RxBracket {
public:
    explicit RxBracket(modCANDevice& device) : m_device(device) { m_device.StartCanRx(); }
    ~RxBracket()
    {
        try {
            m_device.StopCanRx();
        } catch (const std::exception&) {
            // The channel is gone (closed during the wait); closing it
            // already stopped the poll.
            if (QTimer* t = m_device.tmrRxCAN())
                t->stop();
        }
    }
    RxBracket(const RxBracket&) = delete;
    RxBracket& operator=(const RxBracket&) = delete;

private:
    modCANDevice& m_device;
};

bool IsWord(int64_t v)
{
    return v >= 0 && v <= 0xFFFF;
}

} // namespace

CANLink::CANLink(modCANDevice& device, LinkTiming timing) : m_device(device), m_timing(timing) {}

std::string CANLink::ReadE2Word(int64_t Address, int32_t& Value)
{
    return Exchange(CmdReadE2, Address, 0, &Value);
}

std::string CANLink::WriteE2Word(int64_t Address, int32_t Value)
{
    return Exchange(CmdWriteE2, Address, Value, nullptr);
}

std::string CANLink::ReadRAMWord(int64_t Address, int32_t& Value)
{
    return Exchange(CmdReadRAM, Address, 0, &Value);
}

std::string CANLink::WriteRAMWord(int64_t Address, int32_t Value)
{
    return Exchange(CmdWriteRAM, Address, Value, nullptr);
}

void CANLink::DelayMs(int64_t Ms)
{
    DispatchEventsFor(Ms);
}

CanFrame CANLink::Request(uint8_t command, uint16_t address, uint16_t value)
{
    CanFrame f;
    f.MsgType = 0;
    f.ID = RequestId;
    f.LEN = 8;
    f.DATA = {command,
              0x00,
              static_cast<uint8_t>(address / 256),
              static_cast<uint8_t>(address % 256),
              static_cast<uint8_t>(value / 256),
              static_cast<uint8_t>(value % 256),
              0xFF,
              0xFF};
    return f;
}

std::string CANLink::Exchange(uint8_t command, int64_t address, int64_t value, int32_t* readValue)
{
    // Nothing sent is nothing done: without a connection no exchange can
    // succeed, so a write is never counted as taken.
    if (!m_device.CanConnected)
        return CommunicationError;
    QElapsedTimer exchangeClock;
    exchangeClock.start();
    bool sendAttempted = false;
    std::string result;
    try {
        RxBracket reception(m_device);
        if (!IsWord(address) || !IsWord(value))
            return CommunicationError;
        const CanFrame request = Request(command, static_cast<uint16_t>(address),
                                         static_cast<uint16_t>(value));
        // Whatever has arrived so far is no answer to this request.
        m_device.PollCanRx();
        const uint64_t sentAfter = m_device.CanRxSequence();
        sendAttempted = true;
        if (!m_device.SendCanMsg(request))
            result = CommunicationError;
        else
            result = AwaitReply(command, static_cast<uint16_t>(address), sentAfter, readValue);
    } catch (const std::exception&) {
        // The channel vanished (a disconnect while waiting) or refused an
        // operation: the exchange failed, the output stays as it was.
        result = CommunicationError;
    }
    if (sendAttempted && m_timing == LinkTiming::Legacy)
        DelayMs(LegacyExchangeMs - exchangeClock.elapsed());
    return result;
}

std::string CANLink::AwaitReply(uint8_t command, uint16_t address, uint64_t sentAfter,
                                int32_t* readValue)
{
    const uint8_t expected = static_cast<uint8_t>(command + 0x80);
    QElapsedTimer sinceSend;
    sinceSend.start();
    uint64_t seen = sentAfter;
    bool mismatch = false;
    for (;;) {
        // Drain the adapter here rather than waiting for the receive poll.
        // A drain takes a bounded number of frames; when it took that many,
        // more may be waiting in the adapter, and the reply among them.
        const uint64_t drainedFrom = m_device.CanRxSequence();
        m_device.PollCanRx();
        const bool backlog = m_device.CanRxSequence() - drainedFrom >= ClsCAN_PEAK::MaxFramesPerDrain;
        CanFrame reply;
        uint64_t sequence = 0;
        if (m_device.GetFreshCanMsg(ReplyId, seen, reply, sequence)) {
            seen = sequence;
            // The reply is a standard (11-bit) frame: a 29-bit frame with
            // the same number is another node's traffic.
            if (reply.MsgType == 0 && reply.DATA[0] == expected && reply.DATA[2] == address / 256
                && reply.DATA[3] == address % 256) {
                if (readValue)
                    *readValue = reply.DATA[4] * 256 + reply.DATA[5];
                return std::string();
            }
            mismatch = true; // a better reply may still come
        }
        const int64_t left = ReplyTimeoutMs - sinceSend.elapsed();
        if (left <= 0)
            break;
        // With a backlog: only dispatch what is pending, then drain again.
        WaitForEvents(backlog ? 0 : left);
    }
    if (mismatch) {
        if (readValue)
            *readValue = FailureValue;
        return CommunicationError;
    }
    return CommunicationTimeOut;
}
