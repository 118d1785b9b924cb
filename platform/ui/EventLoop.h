#pragma once

// The event loop under the message queue: the window system's events (which
// become window messages), the calls worker threads hand to the main thread,
// and the wait for whichever comes first, a window event, a posted message or
// the next timer.

#include <cstdint>
#include <functional>

namespace ui {

// Makes sure the window system is up (QT_QPA_PLATFORM=offscreen in tests).
void EnsurePlatform();
// Handles the window system's pending events and the main-thread calls of
// worker threads; never waits. True when a worker's call ran: that call may
// be what a waiting loop waits for, and its wake-up is used up by now.
bool PumpPlatformEvents();
// Waits until there is something to do: a window event, a posted message, a
// main-thread call or a due timer (at most maxMs milliseconds).
void WaitForEvents(std::uint32_t maxMs = 0xFFFFFFFF);

// For tests on the fake clock (rtl::SetClockForTests): an idle loop that
// would wait for the next timer moves the fake clock to it instead, so
// timer-driven loops run in no real time. Off by default.
void SetVirtualTimeForTests(bool on);

// Told when the application as a whole becomes active or inactive.
void SetApplicationStateHandler(std::function<void(bool active)> handler);

} // namespace ui
