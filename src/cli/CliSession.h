#pragma once
// What one qvs-cli run talks through: the program's context (catalogue, shell
// state, page keys, device layer, link) on the chosen bus, which is a Qt CAN
// bus device or the in-process simulated controller.
#include "core/state/PageRegistry.h"
#include "core/transport/LinkTiming.h"
#include "sim/BusFactory.h"

#include <QString>

#include <array>
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
    // Called with the in-process simulated controller once it exists.
    std::function<void(const std::shared_ptr<DrcController>&)> SimulatorReady;
};

class CliSession {
public:
    using Sink = std::function<void(const QString& line)>;

    // The five pages of the program by their keys: Configure, Monitor,
    // Diagnostic, Debugger, Info.
    enum PageIndex { ConfigurePage, MonitorPage, DiagnosticPage, DebuggerPage, InfoPage, PageCount };

    // trace receives the frame lines of --trace.
    CliSession(CliSettings settings, Sink trace);
    ~CliSession();
    CliSession(const CliSession&) = delete;
    CliSession& operator=(const CliSession&) = delete;

    // Resolves the bus and creates the context; with openDevice also opens
    // the CAN channel (the controller commands leave that to Connect).
    // "" or why it could not.
    QString Open(bool openDevice = true);
    // A context without any bus (file commands).
    void OpenOffline();
    void Close();
    bool IsOpen() const { return m_context != nullptr; }

    // Registers the page keys and loads the catalogue of the program folder
    // (counting the pages' parameters); "" or the failure with its reason.
    QString LoadCatalogue();

    CoreContext& Context() { return *m_context; }
    WordLink& Link();
    const PageKeys& Page(PageIndex p) const { return m_pages[static_cast<size_t>(p)]; }
    // The in-process controller of --bus sim, else nullptr.
    DrcController* Simulator() const { return m_bus.Simulator.get(); }
    const BusChoice& Bus() const { return m_bus.Choice; }
    const CliSettings& Settings() const { return m_settings; }
    // "Unable to initialize CAN USB inteface" with the adapter's reason.
    QString OpenFailureText() const;

private:
    void CreateContext(CoreContext::AdapterFactory factory);

    CliSettings m_settings;
    Sink m_trace;
    BusSetup m_bus;
    std::array<PageKeys, PageCount> m_pages{};
    std::unique_ptr<CoreContext> m_context;
    CanAdapter* m_lastAdapter = nullptr; // owned by the device layer's channel
};
