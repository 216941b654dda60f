#include "core/transport/SimulatedAdapter.h"

#include <QCoreApplication>
#include <QTimer>

#include <thread>

namespace {

// Timers count whole milliseconds: the wake-up comes at the millisecond
// before the due time and waits out the fraction left (under a millisecond),
// or, if the timer came early, sets itself again.
void WakeAt(QObject* context, std::chrono::steady_clock::time_point due)
{
    const auto left = due - std::chrono::steady_clock::now();
    if (left <= std::chrono::steady_clock::duration::zero())
        return;
    if (left < std::chrono::milliseconds(1)) {
        std::this_thread::sleep_until(due);
        return;
    }
    QTimer::singleShot(std::chrono::floor<std::chrono::milliseconds>(left), Qt::PreciseTimer, context,
                       [context, due] { WakeAt(context, due); });
}

} // namespace

SimulatedAdapter::SimulatedAdapter(SimulatedPeer& peer) : m_peer(peer) {}

SimulatedAdapter::~SimulatedAdapter() = default;

int SimulatedAdapter::Unavailable() const
{
    if (!m_peer.AdapterPresent())
        return CanHardwareError;
    if (!m_initialized)
        return CanNotInitialized;
    return CanOk;
}

int SimulatedAdapter::Initialize(int bitTimingCode)
{
    if (!m_peer.AdapterPresent())
        return CanHardwareError;
    m_initialized = true;
    m_bitTimingCode = bitTimingCode;
    m_queue.clear();
    m_peer.OnBusOpened();
    return CanOk;
}

int SimulatedAdapter::Uninitialize()
{
    if (const int r = Unavailable())
        return r;
    m_initialized = false;
    m_queue.clear();
    return CanOk;
}

int SimulatedAdapter::Reset()
{
    if (const int r = Unavailable())
        return r;
    // Frames already received are dropped; frames the peer is still
    // "sending" (their delay has not passed) are on the wire, not in the
    // queue, and arrive later as they would on a real bus.
    const Clock::time_point now = Clock::now();
    m_queue.erase(m_queue.begin(), m_queue.upper_bound(now));
    return CanOk;
}

int SimulatedAdapter::Read(CanMsg& msg)
{
    if (const int r = Unavailable())
        return r;
    if (m_queue.empty() || m_queue.begin()->first > Clock::now())
        return CanQueueEmpty;
    msg = m_queue.begin()->second;
    m_queue.erase(m_queue.begin());
    return CanOk;
}

int SimulatedAdapter::Write(const CanMsg& msg)
{
    if (const int r = Unavailable())
        return r;
    if (m_peer.BusStatus() == CanBusOff)
        return CanBusOff;
    CanMsg frame = msg;
    if (frame.LEN > 8)
        frame.LEN = 8;
    m_peer.OnFrame(frame, *this);
    return CanOk;
}

int SimulatedAdapter::GetStatus()
{
    if (const int r = Unavailable())
        return r;
    return m_peer.BusStatus();
}

void SimulatedAdapter::Deliver(const CanMsg& frame, int delayMs)
{
    DeliverAfter(frame, std::chrono::milliseconds(delayMs > 0 ? delayMs : 0));
}

void SimulatedAdapter::DeliverAfter(const CanMsg& frame, std::chrono::nanoseconds delay)
{
    if (!m_initialized)
        return; // nobody listens on a closed channel
    if (delay < std::chrono::nanoseconds::zero())
        delay = std::chrono::nanoseconds::zero();
    const Clock::time_point due = Clock::now() + std::chrono::duration_cast<Clock::duration>(delay);
    m_queue.emplace(due, frame);
    // A waiting link sleeps in the event dispatcher; a timer at the frame's
    // due time wakes it so the frame is read without delay.
    if (delay > std::chrono::nanoseconds::zero() && QCoreApplication::instance()) {
        QObject* context = &m_wakeContext;
        QTimer::singleShot(std::chrono::floor<std::chrono::milliseconds>(delay), Qt::PreciseTimer, context,
                           [context, due] { WakeAt(context, due); });
    }
}
