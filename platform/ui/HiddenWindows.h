#pragma once

// Hidden message windows and the system timers attached to windows.
//
// A hidden window is a handle without anything on screen whose messages go
// to an object's method; timers set on a window arrive there as WM_TIMER
// (wParam = the timer id) on the main thread, whenever the event loop turns.
// Timers follow rtl::GetTickCount, so tests that run the fake clock fire them
// without real waiting.

#include <cstdint>
#include <optional>

#include "platform/ui/Messages.h"

using TIMERPROC = void (*)(HWND wnd, UINT msg, std::uintptr_t idEvent, DWORD time);

namespace ui {

// A window whose every message goes to `method`; messages the method leaves
// alone should be passed to DefWindowProc by it.
HWND AllocateHWnd(TWndMethod method);
void DeallocateHWnd(HWND wnd);

// Starts (or restarts, for an id already set on the window) a timer of
// `elapseMs` (at least 1 ms). With a callback the WM_TIMER dispatch calls it
// instead of the window procedure. Returns the id, 0 when the window is
// unknown. A thread timer (wnd nullptr) gets a fresh id.
std::uintptr_t SetTimer(HWND wnd, std::uintptr_t idEvent, UINT elapseMs, TIMERPROC callback = nullptr);
bool KillTimer(HWND wnd, std::uintptr_t idEvent);

// The loop's side: milliseconds until the next timer is due (0 when one is
// due now), nothing when no timer runs.
std::optional<std::uint32_t> MillisecondsToNextTimer();
// Takes the first due timer whose window and message match the filter and
// gives its WM_TIMER message; the timer's next period starts now.
bool TakeDueTimer(TMsg& msg, HWND wnd, UINT filterMin, UINT filterMax);
// Forgets every timer of a window (its window goes away).
void KillTimersOf(HWND wnd);

} // namespace ui
