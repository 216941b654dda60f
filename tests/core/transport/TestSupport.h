#pragma once
// Shared pieces of the transport and link tests: the application object,
// a private virtual-bus port per test process, a scripted adapter, and a
// small stand-in for the controller that answers the word requests.
#include "core/transport/CanAdapter.h"
#include "core/transport/SimulatedBus.h"

#include <QCoreApplication>

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

// The process's application object (created on first use).
QCoreApplication& TestApp();

// A TCP port nobody listens on right now.
int FreeTcpPort();
// "virtualcan:tcp://127.0.0.1:<port>/can0" with one port per test process.
// Qt's virtual bus starts its server once per process, on the first port
// used, so every virtual-bus test of a process shares this one; CTest runs
// each test in a process of its own, so tests never meet on a port.
std::string VirtualBusName();

// Dispatches events until pred() holds or timeoutMs passed; returns pred().
bool WaitUntil(const std::function<bool()>& pred, int timeoutMs = 1000);

CanMsg MakeMsg(uint32_t id, std::vector<uint8_t> data, uint8_t msgType = 0);

// An adapter that plays back what the test queues and records what is sent.
class ScriptedAdapter : public CanAdapter {
public:
    struct Log {
        std::vector<std::string> Calls; // "Initialize 0x11C", "Reset", ...
        std::vector<CanMsg> Written;
    };
    explicit ScriptedAdapter(Log& log) : m_log(log) {}

    int Initialize(int code) override;
    int Uninitialize() override;
    int Reset() override;
    int Read(CanMsg& msg) override;
    int Write(const CanMsg& msg) override;
    int GetStatus() override;

    std::deque<CanMsg> RxQueue;
    int InitializeResult = CanOk;
    int WriteResult = CanOk;
    int StatusResult = CanOk;

private:
    Log& m_log;
};

// A stand-in for the controller: E2 and RAM word memories answering the
// requests on 220 with replies on 221, plus knobs for the tests.
class Responder : public SimulatedPeer {
public:
    std::map<uint16_t, uint16_t> E2;
    std::map<uint16_t, uint16_t> RAM;
    std::vector<CanMsg> Received; // every frame the tool sent
    int DelayMs = 0;              // latency of every reply
    bool Silent = false;          // receives, never answers
    bool Present = true;          // the adapter is plugged in
    int Status = CanOk;           // bus status the adapter reports
    int Opened = 0;               // OnBusOpened calls
    // When set, runs instead of the normal answer.
    std::function<void(const CanMsg&, SimulatedBus&)> Script;

    void OnFrame(const CanMsg& frame, SimulatedBus& bus) override;
    bool AdapterPresent() const override { return Present; }
    void OnBusOpened() override { ++Opened; }
    int BusStatus() const override { return Status; }

    // The reply the controller gives to a request.
    static CanMsg Reply(uint8_t command, uint16_t address, uint16_t value);
};
