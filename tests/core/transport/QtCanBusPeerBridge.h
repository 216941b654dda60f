#pragma once
// Serves a SimulatedPeer on a Qt CAN bus: frames received on the bus go to
// the peer, the peer's answers are written to the bus (after their delay).
// This is how a simulated controller sits on a virtual or real bus for
// another process to talk to.
#include "core/transport/QtCanBusAdapter.h"
#include "core/transport/SimulatedBus.h"

#include <QObject>

#include <string>

class QtCanBusPeerBridge final : private SimulatedBus {
public:
    QtCanBusPeerBridge(SimulatedPeer& peer, std::string busName, int connectTimeoutMs = 1000);
    ~QtCanBusPeerBridge() override;

    // Joins the bus; 0 on success, else the adapter's result (see LastError).
    int Open(int bitTimingCode = 0x011C);
    void Close();
    bool IsOpen() const { return m_open; }
    const std::string& LastError() const { return m_adapter.LastError(); }
    // Frames written to the bus that the bus refused.
    int FailedWrites() const { return m_failedWrites; }

private:
    void Deliver(const CanMsg& frame, int delayMs) override;
    void Pump();
    void Send(const CanMsg& frame);

    SimulatedPeer& m_peer;
    QtCanBusAdapter m_adapter;
    bool m_open = false;
    int m_failedWrites = 0;
    QObject m_timerContext; // delayed answers die with the bridge
};
