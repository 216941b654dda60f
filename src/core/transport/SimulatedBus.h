#pragma once
// The in-process bus between the simulated adapter and a simulated
// controller: no sockets, no threads. The adapter hands every frame it sends
// to the peer; the peer answers through Deliver, optionally after a delay in
// milliseconds (the adapter queues it until that time has passed).
#include "core/transport/CanAdapter.h"

#include <chrono>

class SimulatedBus {
public:
    virtual ~SimulatedBus() = default;
    virtual void Deliver(const CanMsg& frame, int delayMs = 0) = 0;
    // The same with a delay finer than a millisecond (a bus-time model's
    // frame times); a bus without that resolution rounds it up.
    virtual void DeliverAfter(const CanMsg& frame, std::chrono::nanoseconds delay)
    {
        const auto ms = std::chrono::ceil<std::chrono::milliseconds>(delay).count();
        Deliver(frame, static_cast<int>(ms));
    }
};

class SimulatedPeer {
public:
    virtual ~SimulatedPeer() = default;
    // A frame sent on the bus by the tool.
    virtual void OnFrame(const CanMsg& frame, SimulatedBus& bus) = 0;
    // False while the simulated adapter is "unplugged": every adapter call
    // then fails as a real adapter would.
    virtual bool AdapterPresent() const { return true; }
    // The simulated controller is powered and joins the bus at Initialize.
    virtual void OnBusOpened() {}
    // What the adapter's GetStatus reports while it is present (CanOk, or
    // CanBusOff, CanBusPassive, CanBusWarning). While it is CanBusOff every
    // Write fails with CanBusOff and nothing reaches the peer.
    virtual int BusStatus() const { return CanOk; }
};
