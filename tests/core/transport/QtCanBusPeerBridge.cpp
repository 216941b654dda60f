#include "QtCanBusPeerBridge.h"

#include <QTimer>

QtCanBusPeerBridge::QtCanBusPeerBridge(SimulatedPeer& peer, std::string busName,
                                       int connectTimeoutMs)
    : m_peer(peer), m_adapter(std::move(busName), connectTimeoutMs)
{
    m_adapter.SetFramesReceivedHandler([this] { Pump(); });
}

QtCanBusPeerBridge::~QtCanBusPeerBridge()
{
    Close();
}

int QtCanBusPeerBridge::Open(int bitTimingCode)
{
    Close();
    const int r = m_adapter.Initialize(bitTimingCode);
    if (r != CanOk)
        return r;
    m_open = true;
    m_peer.OnBusOpened();
    return CanOk;
}

void QtCanBusPeerBridge::Close()
{
    if (!m_open)
        return;
    m_open = false;
    m_adapter.Uninitialize();
}

void QtCanBusPeerBridge::Pump()
{
    CanMsg msg;
    // Bounded, so that a flooding bus cannot hold the thread.
    for (int i = 0; i < 4096 && m_open && m_adapter.Read(msg) == CanOk; ++i)
        m_peer.OnFrame(msg, *this);
}

void QtCanBusPeerBridge::Send(const CanMsg& frame)
{
    if (m_open && m_adapter.Write(frame) != CanOk)
        ++m_failedWrites;
}

void QtCanBusPeerBridge::Deliver(const CanMsg& frame, int delayMs)
{
    if (delayMs <= 0) {
        Send(frame);
        return;
    }
    QTimer::singleShot(delayMs, Qt::PreciseTimer, &m_timerContext, [this, frame] { Send(frame); });
}
