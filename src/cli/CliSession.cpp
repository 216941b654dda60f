#include "cli/CliSession.h"

#include "cli/TracingAdapter.h"
#include "core/state/CoreContext.h"
#include "core/transport/QtCanBusAdapter.h"
#include "core/transport/modCANDevice.h"

CliSession::CliSession(CliSettings settings, Sink trace) : m_settings(std::move(settings)), m_trace(std::move(trace))
{
}

CliSession::~CliSession() { Close(); }

QString CliSession::Open()
{
    Close();
    m_bus = MakeBusSetup(m_settings.Bus, m_settings.ProgramFolder);
    if (!m_bus.Error.isEmpty()) {
        if (m_bus.Choice.IsSimulator())
            return QStringLiteral("simulated controller: %1").arg(m_bus.Error);
        return m_bus.Error;
    }
    CoreContext::AdapterFactory factory = [this, base = m_bus.Factory]() -> std::unique_ptr<CanAdapter> {
        std::unique_ptr<CanAdapter> adapter = base();
        m_lastAdapter = adapter.get();
        if (adapter && m_settings.Trace)
            adapter = std::make_unique<TracingAdapter>(std::move(adapter), m_trace);
        return adapter;
    };
    m_context = std::make_unique<CoreContext>(m_settings.ProgramFolder, factory, m_settings.Timing);
    m_context->BusName = QString::fromStdString(m_bus.Choice.Name);
    modCANDevice& device = m_context->Device();
    if (!device.OpenCanDevice(device.BitRateIndex)) {
        QString why = QStringLiteral("Unable to initialize CAN USB inteface");
        if (const auto* qt = dynamic_cast<const QtCanBusAdapter*>(m_lastAdapter); qt && !qt->LastError().empty())
            why += QStringLiteral(" (%1)").arg(QString::fromStdString(qt->LastError()));
        return why;
    }
    return {};
}

void CliSession::Close()
{
    m_context.reset(); // closes the channel
    m_lastAdapter = nullptr;
    m_bus = BusSetup();
}

WordLink& CliSession::Link() { return m_context->Words(); }
