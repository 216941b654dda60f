#include "core/transport/EventWait.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <chrono>
#include <thread>

void WaitForEvents(int64_t maxMs)
{
    if (!QCoreApplication::instance()) {
        // No event dispatcher to sleep in: plain sleep, so that a loop around
        // this call still does not spin.
        if (maxMs > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(std::min<int64_t>(maxMs, 1)));
        return;
    }
    if (maxMs <= 0) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        return;
    }
    // The guard timer is itself an event source: it ends the sleep at the
    // deadline if nothing else happens first.
    QTimer guard;
    guard.setSingleShot(true);
    guard.setTimerType(Qt::PreciseTimer);
    guard.start(static_cast<int>(std::min<int64_t>(maxMs, 60000)));
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void DispatchEventsFor(int64_t ms)
{
    QElapsedTimer clock;
    clock.start();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    for (int64_t left = ms - clock.elapsed(); left > 0; left = ms - clock.elapsed())
        WaitForEvents(left);
}
