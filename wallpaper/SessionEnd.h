#pragma once

// The end of the desktop session: the session manager (or a plain kill)
// asks the program to end with SIGTERM, SIGHUP or SIGINT. The program then
// ends as by its menu, so the settings (the next picture's position among
// them) are saved, but without the quit password: nobody can answer it
// while the session goes.

#include <functional>

namespace SessionEnd {

// Call on the main thread before any other thread starts: the signals are
// blocked for every thread and taken by a thread of their own, which hands
// OnEnd to the main thread once.
void WatchForSessionEnd(std::function<void()> OnEnd);

} // namespace SessionEnd
