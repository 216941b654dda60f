#include "cli/TracingAdapter.h"

TracingAdapter::TracingAdapter(std::unique_ptr<CanAdapter> inner, Sink sink)
    : m_inner(std::move(inner)), m_sink(std::move(sink))
{
}

QString TracingAdapter::FrameText(const CanMsg& msg)
{
    const bool extended = (msg.MSGTYPE & 2) != 0;
    QString text = QStringLiteral("%1 [%2]").arg(msg.ID, extended ? 8 : 3, 16, QLatin1Char('0')).arg(msg.LEN);
    for (int i = 0; i < msg.LEN && i < 8; ++i)
        text += QStringLiteral(" %1").arg(msg.DATA[static_cast<size_t>(i)], 2, 16, QLatin1Char('0'));
    return text.toUpper();
}

int TracingAdapter::Initialize(int bitTimingCode)
{
    const int r = m_inner->Initialize(bitTimingCode);
    if (r != CanOk)
        m_sink(QStringLiteral("open failed (0x%1)").arg(r, 0, 16));
    return r;
}

int TracingAdapter::Uninitialize() { return m_inner->Uninitialize(); }

int TracingAdapter::Reset() { return m_inner->Reset(); }

int TracingAdapter::Read(CanMsg& msg)
{
    const int r = m_inner->Read(msg);
    if (r == CanOk)
        m_sink(QStringLiteral("rx ") + FrameText(msg));
    return r;
}

int TracingAdapter::Write(const CanMsg& msg)
{
    const int r = m_inner->Write(msg);
    m_sink(QStringLiteral("tx ") + FrameText(msg) +
           (r == CanOk ? QString() : QStringLiteral("  refused (0x%1)").arg(r, 0, 16)));
    return r;
}

int TracingAdapter::GetStatus() { return m_inner->GetStatus(); }
