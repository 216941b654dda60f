#include "core/state/CoreContext.h"

#include "core/link/CANLink.h"
#include "core/link/E2Image.h"
#include "core/state/ProgramFolder.h"
#include "core/transport/CanAdapter.h"
#include "core/transport/modCANDevice.h"

#include <QDir>

namespace {
// Forwards to the host that is set, or to nothing.
class HostProxy final : public Host {
public:
    Host* target = nullptr;
    NullHost none;
    Host& Current() { return target ? *target : none; }
    void ShowProgress() override { Current().ShowProgress(); }
    void ShowMessage(const QString& text, MessageIcon icon, const QString& title) override
    {
        Current().ShowMessage(text, icon, title);
    }
    bool Ask(const QString& text, MessageIcon icon, const QString& title) override
    {
        return Current().Ask(text, icon, title);
    }
    void RefreshActivePage() override { Current().RefreshActivePage(); }
};
} // namespace

struct CoreContext::Impl {
    Impl(CoreContext& ctx, AdapterFactory factory, LinkTiming timing)
        : device(std::move(factory)), link(device, timing), image(ctx.Table, link, ctx.Shell, ctx.Pages, host)
    {
    }
    HostProxy host;
    modCANDevice device;
    CANLink link;
    E2Image image;
};

CoreContext::CoreContext(const QString& programFolder, AdapterFactory factory, LinkTiming timing)
    : ProgramFolder(programFolder), m_impl(std::make_unique<Impl>(*this, std::move(factory), timing))
{
}

CoreContext::~CoreContext()
{
    m_impl->device.CloseCanDevice();
}

modCANDevice& CoreContext::Device() { return m_impl->device; }

void CoreContext::SetBus(AdapterFactory factory, const QString& busName)
{
    m_impl->device.CloseCanDevice();
    m_impl->device.SetAdapterFactory(std::move(factory));
    BusName = busName;
}
CANLink& CoreContext::Link() { return m_impl->link; }
WordLink& CoreContext::Words() { return m_impl->link; }
E2Image& CoreContext::Image() { return m_impl->image; }

void CoreContext::SetHost(Host* host) { m_impl->host.target = host; }
Host& CoreContext::CurrentHost() { return m_impl->host; }

QString CoreContext::CataloguePath() const { return ::CataloguePath(ProgramFolder); }

QString CoreContext::ResourcePath(const QString& relative) const
{
    return QDir(ProgramFolder).filePath(QStringLiteral("res/") + relative);
}

std::string CoreContext::LoadCatalogue()
{
    const std::string error = Table.LoadCatalogue(CataloguePath());
    m_impl->image.CountPageParameters();
    return error;
}

void CoreContext::NoteFailure(const std::string& message)
{
    Shell.SetLastFailure(QString::fromStdString(message));
}
