#include "cli/CliSession.h"

#include "cli/TracingAdapter.h"
#include "core/state/CoreContext.h"
#include "core/transport/QtCanBusAdapter.h"
#include "core/transport/modCANDevice.h"

CliSession::CliSession(CliSettings settings, Sink trace) : m_settings(std::move(settings)), m_trace(std::move(trace))
{
    m_pages[ConfigurePage] = PageKeys{10, 11, 0};
    m_pages[InfoPage] = PageKeys{10000, 10001, 0};
    // Monitor, Diagnostic and Debugger take part in no bulk transfer.
}

CliSession::~CliSession() { Close(); }

void CliSession::CreateContext(CoreContext::AdapterFactory factory)
{
    m_context = std::make_unique<CoreContext>(m_settings.ProgramFolder, std::move(factory), m_settings.Timing);
    m_context->BusName = QString::fromStdString(m_bus.Choice.Name);
    for (PageKeys& p : m_pages)
        m_context->Pages.Add(&p);
}

QString CliSession::Open(bool openDevice)
{
    Close();
    m_bus = MakeBusSetup(m_settings.Bus, m_settings.ProgramFolder);
    if (!m_bus.Error.isEmpty()) {
        if (m_bus.Choice.IsSimulator())
            return QStringLiteral("simulated controller: %1").arg(m_bus.Error);
        return m_bus.Error;
    }
    if (m_bus.Simulator && m_settings.SimulatorReady)
        m_settings.SimulatorReady(m_bus.Simulator);
    CoreContext::AdapterFactory factory = [this, base = m_bus.Factory]() -> std::unique_ptr<CanAdapter> {
        std::unique_ptr<CanAdapter> adapter = base();
        m_lastAdapter = adapter.get();
        if (adapter && m_settings.Trace)
            adapter = std::make_unique<TracingAdapter>(std::move(adapter), m_trace);
        return adapter;
    };
    CreateContext(factory);
    if (!openDevice)
        return {};
    modCANDevice& device = m_context->Device();
    if (!device.OpenCanDevice(device.BitRateIndex))
        return OpenFailureText();
    return {};
}

void CliSession::OpenOffline()
{
    Close();
    CreateContext({});
}

QString CliSession::OpenFailureText() const
{
    QString why = QStringLiteral("Unable to initialize CAN USB inteface");
    if (const auto* qt = dynamic_cast<const QtCanBusAdapter*>(m_lastAdapter); qt && !qt->LastError().empty())
        why += QStringLiteral(" (%1)").arg(QString::fromStdString(qt->LastError()));
    return why;
}

QString CliSession::LoadCatalogue()
{
    const std::string error = m_context->LoadCatalogue();
    if (error.empty())
        return {};
    QString text = QString::fromStdString(error);
    if (const std::string& detail = m_context->Table.LastLoadDetail(); !detail.empty())
        text += QStringLiteral(" (%1)").arg(QString::fromStdString(detail));
    return text;
}

void CliSession::Close()
{
    m_context.reset(); // closes the channel
    m_lastAdapter = nullptr;
    m_bus = BusSetup();
}

WordLink& CliSession::Link() { return m_context->Words(); }
