#pragma once
// Waiting on the one thread without freezing it and without burning it: the
// wait dispatches whatever events arrive (timers, sockets, clicks) and sleeps
// in the event dispatcher while none do.
#include <cstdint>

// Dispatches the pending events, then, if there were none, sleeps until the
// next event arrives or maxMs milliseconds have passed, whichever is first.
// Returns after one such round; callers loop on their own condition and
// deadline. maxMs <= 0 only dispatches what is pending.
void WaitForEvents(int64_t maxMs);

// Keeps dispatching events until ms milliseconds (monotonic clock) have
// passed since the call.
void DispatchEventsFor(int64_t ms);
