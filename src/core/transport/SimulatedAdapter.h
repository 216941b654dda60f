#pragma once
// An adapter whose bus is in the process: every frame written goes straight
// to a SimulatedPeer, and the peer's answers are queued for Read, each
// readable once its delay has passed (monotonic clock). No sockets, no
// threads. While the peer says the adapter is absent every call fails.
#include "core/transport/CanAdapter.h"
#include "core/transport/SimulatedBus.h"

#include <QObject>

#include <chrono>
#include <cstddef>
#include <map>

class SimulatedAdapter final : public CanAdapter, private SimulatedBus {
public:
    explicit SimulatedAdapter(SimulatedPeer& peer);
    ~SimulatedAdapter() override;
    SimulatedAdapter(const SimulatedAdapter&) = delete;
    SimulatedAdapter& operator=(const SimulatedAdapter&) = delete;

    int Initialize(int bitTimingCode) override;
    int Uninitialize() override;
    int Reset() override;
    int Read(CanMsg& msg) override;
    int Write(const CanMsg& msg) override;
    int GetStatus() override;

    bool IsInitialized() const { return m_initialized; }
    int BitTimingCode() const { return m_bitTimingCode; }
    // Frames the peer has sent that Read has not taken yet, due or not.
    std::size_t QueuedFrames() const { return m_queue.size(); }

private:
    using Clock = std::chrono::steady_clock;

    void Deliver(const CanMsg& frame, int delayMs) override;
    void DeliverAfter(const CanMsg& frame, std::chrono::nanoseconds delay) override;
    // The failure every call reports now, or CanOk.
    int Unavailable() const;

    SimulatedPeer& m_peer;
    bool m_initialized = false;
    int m_bitTimingCode = 0;
    // Ordered by the time a frame becomes readable; equal times keep the
    // order of delivery.
    std::multimap<Clock::time_point, CanMsg> m_queue;
    // Context of the wake-up timers of delayed frames (they end with it).
    QObject m_wakeContext;
};
