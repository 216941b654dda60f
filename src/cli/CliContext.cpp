#include "cli/CliContext.h"

#include "cli/CliHost.h"
#include "cli/CliSession.h"
#include "core/state/CoreContext.h"

#include <QTextStream>

CliContext::CliContext(CliSession& session, QTextStream& out, QTextStream& err, CliOutputMode mode)
    : Session(session), Out(out), Err(err), Mode(mode)
{
}

CliContext::~CliContext()
{
    if (m_host) {
        m_host->EndProgress();
        if (Session.IsOpen())
            Session.Context().SetHost(nullptr);
    }
}

bool CliContext::OpenBus(bool openDevice)
{
    m_host.reset();
    if (const QString e = Session.Open(openDevice); !e.isEmpty()) {
        Error(e);
        return false;
    }
    return true;
}

bool CliContext::OpenOffline()
{
    m_host.reset();
    Session.OpenOffline();
    return true;
}

bool CliContext::LoadCatalogue()
{
    if (const QString e = Session.LoadCatalogue(); !e.isEmpty()) {
        Error(e);
        return false;
    }
    return true;
}

CliHost& CliContext::Host()
{
    if (!m_host) {
        m_host = std::make_unique<CliHost>(Session.Context().Shell, Err, Mode.ProgressLine);
        Session.Context().SetHost(m_host.get());
    }
    return *m_host;
}

void CliContext::Error(const QString& text)
{
    if (m_host)
        m_host->EndProgress();
    Err << "qvs-cli: " << text << Qt::endl;
}

void CliContext::Warning(const QString& text)
{
    if (m_host)
        m_host->EndProgress();
    Err << "qvs-cli: warning: " << text << Qt::endl;
}
