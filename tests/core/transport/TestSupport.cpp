#include "TestSupport.h"

#include "core/transport/BusSelection.h"
#include "core/transport/EventWait.h"

#include <QElapsedTimer>

#include <cstdio>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

QCoreApplication& TestApp()
{
    static int argc = 1;
    static char name[] = "core_transport_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app = [] {
        QuietCanBusPluginLogging();
        return new QCoreApplication(argc, argv);
    }();
    return *app;
}

int FreeTcpPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        return 0;
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    socklen_t len = sizeof addr;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0
        && ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) == 0)
        port = ntohs(addr.sin_port);
    ::close(fd);
    return port;
}

std::string VirtualBusName()
{
    static const std::string name =
        "virtualcan:tcp://127.0.0.1:" + std::to_string(FreeTcpPort()) + "/can0";
    return name;
}

bool WaitUntil(const std::function<bool()>& pred, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!pred()) {
        const int64_t left = timeoutMs - clock.elapsed();
        if (left <= 0)
            return pred();
        WaitForEvents(left);
    }
    return true;
}

CanMsg MakeMsg(uint32_t id, std::vector<uint8_t> data, uint8_t msgType)
{
    CanMsg m;
    m.ID = id;
    m.MSGTYPE = msgType;
    m.LEN = static_cast<uint8_t>(data.size());
    for (size_t i = 0; i < data.size() && i < 8; ++i)
        m.DATA[i] = data[i];
    return m;
}

int ScriptedAdapter::Initialize(int code)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "Initialize 0x%X", code);
    m_log.Calls.push_back(buf);
    return InitializeResult;
}

int ScriptedAdapter::Uninitialize()
{
    m_log.Calls.push_back("Uninitialize");
    return CanOk;
}

int ScriptedAdapter::Reset()
{
    m_log.Calls.push_back("Reset");
    RxQueue.clear();
    return CanOk;
}

int ScriptedAdapter::Read(CanMsg& msg)
{
    if (RxQueue.empty())
        return CanQueueEmpty;
    msg = RxQueue.front();
    RxQueue.pop_front();
    return CanOk;
}

int ScriptedAdapter::Write(const CanMsg& msg)
{
    m_log.Written.push_back(msg);
    return WriteResult;
}

int ScriptedAdapter::GetStatus()
{
    return StatusResult;
}

CanMsg Responder::Reply(uint8_t command, uint16_t address, uint16_t value)
{
    return MakeMsg(221, {static_cast<uint8_t>(command + 0x80), 0, static_cast<uint8_t>(address >> 8),
                         static_cast<uint8_t>(address & 0xFF), static_cast<uint8_t>(value >> 8),
                         static_cast<uint8_t>(value & 0xFF), 0, 0});
}

void Responder::OnFrame(const CanMsg& frame, SimulatedBus& bus)
{
    Received.push_back(frame);
    if (Script) {
        Script(frame, bus);
        return;
    }
    if (Silent || frame.ID != 220 || frame.LEN != 8)
        return;
    const uint8_t command = frame.DATA[0];
    const uint16_t address = static_cast<uint16_t>(frame.DATA[2] << 8 | frame.DATA[3]);
    const uint16_t value = static_cast<uint16_t>(frame.DATA[4] << 8 | frame.DATA[5]);
    uint16_t answer = 0;
    switch (command) {
    case 0x01: E2[address] = value; break;
    case 0x02: answer = E2[address]; break;
    case 0x03: RAM[address] = value; break;
    case 0x04: answer = RAM[address]; break;
    default: return;
    }
    bus.Deliver(Reply(command, address, answer), DelayMs);
}
