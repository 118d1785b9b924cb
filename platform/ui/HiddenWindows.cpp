#include "platform/ui/HiddenWindows.h"

#include <algorithm>
#include <vector>

#include "platform/rtl/Clock.h"

namespace ui {
namespace {

struct TimerRecord {
    HWND wnd = nullptr;
    std::uintptr_t id = 0;
    UINT interval = 1;
    std::uint32_t started = 0; // tick count at the start of the current period
    TIMERPROC callback = nullptr;
};

// Timers live on the main thread only, like the windows they belong to.
std::vector<TimerRecord>& Timers()
{
    static std::vector<TimerRecord>* timers = new std::vector<TimerRecord>;
    return *timers;
}

std::uint32_t Elapsed(const TimerRecord& t, std::uint32_t now) { return now - t.started; }

std::uint32_t Remaining(const TimerRecord& t, std::uint32_t now)
{
    std::uint32_t elapsed = Elapsed(t, now);
    return elapsed >= t.interval ? 0 : t.interval - elapsed;
}

} // namespace

HWND AllocateHWnd(TWndMethod method)
{
    auto proc = MakeWindowProc([method = std::move(method)](HWND wnd, UINT msg, WPARAM w, LPARAM l) -> LRESULT {
        TMessage m{msg, w, l, 0};
        if (method)
            method(m);
        else
            m.Result = DefWindowProc(wnd, msg, w, l);
        return m.Result;
    });
    return CreateRawWindow(std::move(proc));
}

void DeallocateHWnd(HWND wnd) { DestroyRawWindow(wnd); }

std::uintptr_t SetTimer(HWND wnd, std::uintptr_t idEvent, UINT elapseMs, TIMERPROC callback)
{
    if (wnd && !IsWindow(wnd))
        return 0;
    auto& timers = Timers();
    if (!wnd) {
        std::uintptr_t highest = 0;
        for (const TimerRecord& t : timers)
            if (!t.wnd)
                highest = std::max(highest, t.id);
        idEvent = highest + 1;
    }
    TimerRecord record{wnd, idEvent, std::max<UINT>(elapseMs, 1), rtl::GetTickCount(), callback};
    auto it = std::find_if(timers.begin(), timers.end(),
                           [&](const TimerRecord& t) { return t.wnd == wnd && t.id == idEvent; });
    if (it != timers.end())
        *it = record;
    else
        timers.push_back(record);
    return idEvent;
}

bool KillTimer(HWND wnd, std::uintptr_t idEvent)
{
    return std::erase_if(Timers(), [&](const TimerRecord& t) { return t.wnd == wnd && t.id == idEvent; }) != 0;
}

void KillTimersOf(HWND wnd)
{
    std::erase_if(Timers(), [wnd](const TimerRecord& t) { return t.wnd == wnd; });
}

std::optional<std::uint32_t> MillisecondsToNextTimer()
{
    const auto& timers = Timers();
    if (timers.empty())
        return std::nullopt;
    std::uint32_t now = rtl::GetTickCount();
    std::uint32_t best = UINT32_MAX;
    for (const TimerRecord& t : timers)
        best = std::min(best, Remaining(t, now));
    return best;
}

bool TakeDueTimer(TMsg& msg, HWND wnd, UINT filterMin, UINT filterMax)
{
    bool anyId = filterMin == 0 && filterMax == 0;
    if (!anyId && (WM_TIMER < filterMin || WM_TIMER > filterMax))
        return false;
    std::uint32_t now = rtl::GetTickCount();
    auto& timers = Timers();
    // The longest overdue timer goes first, so a short timer cannot starve a long one.
    TimerRecord* due = nullptr;
    for (TimerRecord& t : timers) {
        if ((wnd && t.wnd != wnd) || Remaining(t, now) != 0)
            continue;
        if (!due || Elapsed(t, now) - t.interval > Elapsed(*due, now) - due->interval)
            due = &t;
    }
    if (!due)
        return false;
    due->started = now;
    msg = TMsg{due->wnd, WM_TIMER, due->id, reinterpret_cast<LPARAM>(due->callback), now, GetMessagePos(), 0, 0};
    return true;
}

} // namespace ui
