// Arbitrary reply traffic on the bus while the link reads or writes one
// word: whatever frames arrive (wrong command, wrong address, other
// identifiers, extended frames, floods, late frames, stale frames from an
// earlier exchange), an exchange never crashes, ends within its time-out and
// never reports success unless a fresh, matching reply arrived, whose value
// it then returns.
//
// Input: op (bits 0-1 command, bit 4 an address or value that is not a
// word; upper nibble 0xA: no closing matching reply), address, value, then
// frames of 10 bytes: flags, length, data 0..7. Flags: bits 0-1 identifier
// (221, 221 extended, 220, 0x100 + data 1), bit 2 stale (sent during an
// earlier exchange), bit 3 one millisecond later, bit 4 remote frame, bits
// 5-7 repeat 2^n times (7: a flood of 5000).
#include "FuzzSupport.h"

#include "core/link/CANLink.h"
#include "core/transport/SimulatedAdapter.h"
#include "core/transport/modCANDevice.h"

#include <QElapsedTimer>

#include <memory>
#include <set>
#include <vector>

namespace {

constexpr size_t MaxFrames = 6000;

struct Planned {
    CanMsg Msg;
    int DelayMs = 0;
};

class ScriptedPeer : public SimulatedPeer {
public:
    std::vector<Planned> Stale, Fresh;
    std::vector<CanMsg> Requests;

    void OnFrame(const CanMsg& frame, SimulatedBus& bus) override
    {
        Requests.push_back(frame);
        const std::vector<Planned>& plan = Requests.size() == 1 ? Stale : Fresh;
        for (const Planned& p : plan)
            bus.Deliver(p.Msg, p.DelayMs);
    }
};

CanMsg Reply(uint8_t command, uint16_t address, uint16_t value)
{
    CanMsg m;
    m.ID = CANLink::ReplyId;
    m.LEN = 8;
    m.DATA = {static_cast<uint8_t>(command + 0x80), 0, static_cast<uint8_t>(address >> 8),
              static_cast<uint8_t>(address & 0xFF), static_cast<uint8_t>(value >> 8),
              static_cast<uint8_t>(value & 0xFF), 0xFF, 0xFF};
    return m;
}

bool Matches(const CanMsg& m, uint8_t command, uint16_t address)
{
    return m.ID == CANLink::ReplyId && (m.MSGTYPE & 2) == 0 && m.DATA[0] == command + 0x80 &&
           m.DATA[2] == address >> 8 && m.DATA[3] == (address & 0xFF);
}

std::string Exchange(CANLink& link, uint8_t command, int64_t address, int32_t value, int32_t& out)
{
    switch (command) {
    case CANLink::CmdReadE2: return link.ReadE2Word(address, out);
    case CANLink::CmdWriteE2: return link.WriteE2Word(address, value);
    case CANLink::CmdReadRAM: return link.ReadRAMWord(address, out);
    default: return link.WriteRAMWord(address, value);
    }
}

// Milliseconds this thread has spent waiting for a processor while it was
// ready to run (the scheduler's run delay); -1 when the system does not say.
double RunDelayMs()
{
    std::FILE* f = std::fopen("/proc/thread-self/schedstat", "r");
    if (!f)
        return -1;
    unsigned long long running = 0, waiting = 0;
    const int n = std::fscanf(f, "%llu %llu", &running, &waiting);
    std::fclose(f);
    return n == 2 ? waiting / 1e6 : -1;
}

// The link keeps wall-clock time: on a machine so loaded that this process
// does not get a processor for much of the 200 ms, an exchange times out for
// want of time, not for a fault. A time check that fails while the thread
// was kept waiting for the processor that long makes the run inconclusive
// (false, the input is tried again); failing without that wait it aborts.
constexpr double StarvedMs = 50;

bool Starved(double delayBefore)
{
    const double now = RunDelayMs();
    return delayBefore >= 0 && now >= 0 && now - delayBefore >= StarvedMs;
}

bool Attempt(const uint8_t* data, size_t size, std::string& slow)
{
    fuzz::Bytes in(data, size);
    const uint8_t op = in.U8();
    static constexpr uint8_t Commands[4] = {CANLink::CmdReadE2, CANLink::CmdWriteE2, CANLink::CmdReadRAM,
                                            CANLink::CmdWriteRAM};
    const uint8_t command = Commands[op & 3];
    const bool read = command == CANLink::CmdReadE2 || command == CANLink::CmdReadRAM;
    const uint16_t address = in.U16();
    const uint16_t value = in.U16();
    const bool notAWord = (op & 0x10) != 0;
    const bool closingReply = (op >> 4) != 0xA;

    ScriptedPeer peer;
    int maxDelay = 0;
    while (in.Left() >= 2) {
        const uint8_t flags = in.U8();
        Planned p;
        p.Msg.LEN = in.U8();
        for (uint8_t& b : p.Msg.DATA)
            b = in.U8();
        switch (flags & 3) {
        case 0: p.Msg.ID = CANLink::ReplyId; break;
        case 1: p.Msg.ID = CANLink::ReplyId; p.Msg.MSGTYPE = 2; break;
        case 2: p.Msg.ID = CANLink::RequestId; break;
        default: p.Msg.ID = 0x100u + p.Msg.DATA[1]; break;
        }
        if (flags & 0x10)
            p.Msg.MSGTYPE |= 1;
        const bool stale = (flags & 4) != 0;
        p.DelayMs = (!stale && (flags & 8)) ? 1 : 0;
        maxDelay = std::max(maxDelay, p.DelayMs);
        const int shift = flags >> 5;
        const int repeat = shift == 7 ? 5000 : 1 << shift;
        // Bounded so that one input cannot take the run's memory.
        for (int n = 0; n < repeat && peer.Stale.size() + peer.Fresh.size() < MaxFrames; ++n)
            (stale ? peer.Stale : peer.Fresh).push_back(p);
    }
    // The earlier exchange is the same request; its own reply closes it and
    // stays in the receive table as a perfect, but stale, match.
    peer.Stale.push_back({Reply(command, address, static_cast<uint16_t>(~value)), 0});
    if (closingReply)
        peer.Fresh.push_back({Reply(command, address, value), maxDelay});

    std::set<int32_t> acceptable;
    bool anyMatch = false;
    for (const Planned& p : peer.Fresh) {
        if (Matches(p.Msg, command, address)) {
            anyMatch = true;
            acceptable.insert(read ? p.Msg.DATA[4] * 256 + p.Msg.DATA[5] : 0);
        }
    }

    modCANDevice device([&peer] { return std::make_unique<SimulatedAdapter>(peer); });
    FUZZ_CHECK(device.OpenCanDevice(device.BitRateIndex), "the simulated adapter opens");
    CANLink link(device);
    int32_t out = -7;
    double delay = RunDelayMs();
    const std::string first = Exchange(link, command, address, value, out);
    if (!first.empty()) {
        slow = "the earlier exchange did not end on its own reply: " + first;
        if (Starved(delay))
            return false;
        fuzz::Fail(__FILE__, __LINE__, slow);
    }
    FUZZ_CHECK(peer.Requests.size() == 1, "one request per exchange");

    const int64_t requestAddress = notAWord ? (address & 1 ? -1 - int64_t(address) : 65536 + int64_t(address))
                                            : int64_t(address);
    const int32_t requestValue = notAWord && !read && (op & 0x20) ? 65536 + value : value;
    const bool refused = (requestAddress < 0 || requestAddress > 0xFFFF) ||
                         (!read && (requestValue < 0 || requestValue > 0xFFFF));

    const int32_t sentinel = -12345;
    out = sentinel;
    QElapsedTimer clock;
    clock.start();
    delay = RunDelayMs();
    const std::string result = Exchange(link, command, requestAddress, requestValue, out);
    const qint64 took = clock.elapsed();

    FUZZ_CHECK(result.empty() || result == CANLink::CommunicationError || result == CANLink::CommunicationTimeOut,
               "unknown result text '" + result + "'");
    if (took >= 2000) {
        slow = "the exchange took " + std::to_string(took) + " ms";
        if (Starved(delay))
            return false;
        fuzz::Fail(__FILE__, __LINE__, slow);
    }
    if (refused) {
        FUZZ_CHECK(result == CANLink::CommunicationError, "an out-of-range request: " + result);
        FUZZ_CHECK(peer.Requests.size() == 1, "an out-of-range request was sent");
        FUZZ_CHECK(out == sentinel, "an out-of-range read changed its output");
        return true;
    }
    FUZZ_CHECK(peer.Requests.size() == 2, "one request per exchange");
    const CanMsg& sent = peer.Requests[1];
    FUZZ_CHECK(sent.ID == CANLink::RequestId && sent.MSGTYPE == 0 && sent.LEN == 8, "request frame");
    FUZZ_CHECK(sent.DATA[0] == command && sent.DATA[1] == 0 && sent.DATA[2] == address >> 8 &&
                   sent.DATA[3] == (address & 0xFF) && sent.DATA[6] == 0xFF && sent.DATA[7] == 0xFF,
               "request bytes");
    if (!read)
        FUZZ_CHECK(sent.DATA[4] == value >> 8 && sent.DATA[5] == (value & 0xFF), "write value bytes");

    if (result.empty()) {
        FUZZ_CHECK(anyMatch, "success without a fresh matching reply");
        if (read)
            FUZZ_CHECK(acceptable.count(out) == 1, "the value " + std::to_string(out) + " came from no matching reply");
    } else if (read) {
        // A time-out leaves the output alone; a reply that did not match sets 0xFFFF.
        if (result == CANLink::CommunicationTimeOut)
            FUZZ_CHECK(out == sentinel, "a time-out changed the output");
        else
            FUZZ_CHECK(out == CANLink::FailureValue, "a mismatch gives 0xFFFF, not " + std::to_string(out));
    }
    if (result == CANLink::CommunicationTimeOut)
        FUZZ_CHECK(took >= CANLink::ReplyTimeoutMs - 5, "a time-out before the reply time-out");
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::EnsureApplication();
    std::string slow;
    for (int attempt = 0; attempt < 3; ++attempt)
        if (Attempt(data, size, slow))
            return 0;
    // Starved three times: nothing can be said about this input here.
    static int inconclusive = 0;
    if (++inconclusive <= 10)
        std::fprintf(stderr, "link fuzz: inconclusive (processor starved): %s\n", slow.c_str());
    return 0;
}
