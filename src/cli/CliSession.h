#pragma once
// What one qvs-cli run talks through: the program's context (catalogue, shell
// state, device layer, link) on the chosen bus, which is a Qt CAN bus device
// or the in-process simulated controller.
#include "core/transport/LinkTiming.h"
#include "sim/BusFactory.h"

#include <QString>

#include <functional>
#include <memory>

class CanAdapter;
class CoreContext;
class DrcController;
class WordLink;

struct CliSettings {
    QString Bus = QStringLiteral("auto"); // "sim", "auto" or "plugin:interface"
    LinkTiming Timing = LinkTiming::Fast;
    QString ProgramFolder; // holds res/
    bool Trace = false;
};

class CliSession {
public:
    using Sink = std::function<void(const QString& line)>;

    // trace receives the frame lines of --trace.
    CliSession(CliSettings settings, Sink trace);
    ~CliSession();
    CliSession(const CliSession&) = delete;
    CliSession& operator=(const CliSession&) = delete;

    // Connects; "" or why it could not.
    QString Open();
    void Close();

    CoreContext& Context() { return *m_context; }
    WordLink& Link();
    // The in-process controller of --bus sim, else nullptr.
    DrcController* Simulator() const { return m_bus.Simulator.get(); }
    const BusChoice& Bus() const { return m_bus.Choice; }
    const CliSettings& Settings() const { return m_settings; }

private:
    CliSettings m_settings;
    Sink m_trace;
    BusSetup m_bus;
    std::unique_ptr<CoreContext> m_context;
    CanAdapter* m_lastAdapter = nullptr; // owned by the device layer's channel
};
