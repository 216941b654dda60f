#pragma once
// Pieces of the benchmark harness: a private virtual bus served by drc-sim
// in its own process, and an adapter that counts the requests it puts on
// the wire (the words of a figure).
#include "core/transport/CanAdapter.h"
#include "sim/SimProcess.h"

#include <QString>
#include <QStringList>

#include <memory>

namespace bench {

// An executable of the build, beside the harness.
QString BinaryPath(const QString& name);
// A TCP port on 127.0.0.1 that was free a moment ago, and the private
// virtual bus on it ("virtualcan:tcp://127.0.0.1:PORT/can0").
inline int FreePort() { return sim::FreeLoopbackPort(); }
inline QString PrivateBus(int port) { return sim::PrivateVirtualBus(port); }

// drc-sim of this build serving a bus, without its console; stopped
// (terminate, then kill) when the object goes.
class DrcSimProcess : public sim::DrcSimProcess {
public:
    DrcSimProcess() : sim::DrcSimProcess(BinaryPath(QStringLiteral("drc-sim"))) {}
    bool Start(const QString& bus, const QStringList& extra, int deadlineMs = 5000)
    {
        return sim::DrcSimProcess::Start(bus, QStringList{QStringLiteral("--no-console")} + extra, deadlineMs);
    }
};

// Forwards to another adapter and counts the frames it sends on an identifier.
class CountingAdapter final : public CanAdapter {
public:
    CountingAdapter(std::unique_ptr<CanAdapter> inner, uint32_t countedId, int* counter)
        : m_inner(std::move(inner)), m_id(countedId), m_counter(counter)
    {
    }
    int Initialize(int code) override { return m_inner ? m_inner->Initialize(code) : CanHardwareError; }
    int Uninitialize() override { return m_inner ? m_inner->Uninitialize() : CanHardwareError; }
    int Reset() override { return m_inner ? m_inner->Reset() : CanHardwareError; }
    int Read(CanMsg& msg) override { return m_inner ? m_inner->Read(msg) : CanHardwareError; }
    int Write(const CanMsg& msg) override
    {
        const int r = m_inner ? m_inner->Write(msg) : CanHardwareError;
        if (r == CanOk && msg.ID == m_id && m_counter)
            ++*m_counter;
        return r;
    }
    int GetStatus() override { return m_inner ? m_inner->GetStatus() : CanHardwareError; }

private:
    std::unique_ptr<CanAdapter> m_inner;
    uint32_t m_id;
    int* m_counter;
};

} // namespace bench
