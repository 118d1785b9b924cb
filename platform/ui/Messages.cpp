#include "platform/ui/Messages.h"

#include <algorithm>
#include <deque>
#include <mutex>
#include <unordered_map>

#include "platform/rtl/Clock.h"
#include "platform/ui/HiddenWindows.h"

namespace ui {
namespace {

struct WindowRecord {
    WNDPROC proc;
};

struct MessageState {
    std::mutex lock;
    std::unordered_map<HWND, WindowRecord> windows;
    std::uintptr_t nextHandle = 0x1000;
    std::deque<TMsg> queue;
    std::function<void()> wakeup;
    TPoint currentPos;
    DWORD currentTime = 0;
    std::uint8_t currentShift = 0;
    TPoint lastCursorPos;
};

MessageState& State()
{
    static MessageState* state = new MessageState; // lives as long as the process
    return *state;
}

bool InFilter(const TMsg& m, HWND wnd, UINT filterMin, UINT filterMax)
{
    if (wnd && m.hwnd != wnd)
        return false;
    if (filterMin == 0 && filterMax == 0)
        return true;
    return m.message >= filterMin && m.message <= filterMax;
}

} // namespace

HWND CreateRawWindow(WNDPROC proc)
{
    MessageState& s = State();
    std::lock_guard guard(s.lock);
    s.nextHandle += 4;
    HWND wnd = reinterpret_cast<HWND>(s.nextHandle);
    s.windows[wnd] = WindowRecord{std::move(proc)};
    return wnd;
}

void DestroyRawWindow(HWND wnd)
{
    if (!IsWindow(wnd))
        return;
    SendMessage(wnd, WM_DESTROY, 0, 0);
    KillTimersOf(wnd);
    MessageState& s = State();
    std::lock_guard guard(s.lock);
    s.windows.erase(wnd);
    std::erase_if(s.queue, [wnd](const TMsg& m) { return m.hwnd == wnd; });
}

bool IsWindow(HWND wnd)
{
    MessageState& s = State();
    std::lock_guard guard(s.lock);
    return wnd && s.windows.count(wnd) != 0;
}

WNDPROC MakeWindowProc(TWindowProcFunction fn) { return std::make_shared<const TWindowProcFunction>(std::move(fn)); }

WNDPROC GetWindowProc(HWND wnd)
{
    MessageState& s = State();
    std::lock_guard guard(s.lock);
    auto it = s.windows.find(wnd);
    return it == s.windows.end() ? nullptr : it->second.proc;
}

WNDPROC SetWindowProc(HWND wnd, WNDPROC proc)
{
    MessageState& s = State();
    std::lock_guard guard(s.lock);
    auto it = s.windows.find(wnd);
    if (it == s.windows.end())
        return nullptr;
    std::swap(it->second.proc, proc);
    return proc;
}

LRESULT CallWindowProc(const WNDPROC& proc, HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (!proc || !*proc)
        return DefWindowProc(wnd, msg, wParam, lParam);
    return (*proc)(wnd, msg, wParam, lParam);
}

LRESULT DefWindowProc(HWND wnd, UINT msg, WPARAM, LPARAM)
{
    switch (msg) {
    case WM_CLOSE: DestroyRawWindow(wnd); return 0;
    case WM_QUERYENDSESSION: return 1;
    case WM_NCHITTEST: return HTCLIENT;
    default: return 0;
    }
}

LRESULT SendMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    WNDPROC proc = GetWindowProc(wnd);
    if (!proc)
        return 0;
    return CallWindowProc(proc, wnd, msg, wParam, lParam);
}

bool PostMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    MessageState& s = State();
    std::function<void()> wakeup;
    {
        std::lock_guard guard(s.lock);
        if (wnd && !s.windows.count(wnd))
            return false;
        s.queue.push_back(TMsg{wnd, msg, wParam, lParam, rtl::GetTickCount(), s.lastCursorPos, 0, 0});
        wakeup = s.wakeup;
    }
    if (wakeup)
        wakeup();
    return true;
}

void PostInputMessage(const TMsg& msg)
{
    MessageState& s = State();
    std::function<void()> wakeup;
    {
        std::lock_guard guard(s.lock);
        s.queue.push_back(msg);
        s.lastCursorPos = msg.pt;
        wakeup = s.wakeup;
    }
    if (wakeup)
        wakeup();
}

void PostQuitMessage(int exitCode) { PostMessage(nullptr, WM_QUIT, static_cast<WPARAM>(exitCode), 0); }

bool PeekMessage(TMsg& msg, HWND wnd, UINT filterMin, UINT filterMax, UINT removeFlags)
{
    MessageState& s = State();
    {
        std::lock_guard guard(s.lock);
        auto it = std::find_if(s.queue.begin(), s.queue.end(),
                               [&](const TMsg& m) { return InFilter(m, wnd, filterMin, filterMax); });
        if (it != s.queue.end()) {
            msg = *it;
            if (removeFlags & PM_REMOVE)
                s.queue.erase(it);
            return true;
        }
    }
    if (!(removeFlags & PM_REMOVE)) {
        // A due timer shows up without being consumed.
        std::optional<std::uint32_t> wait = MillisecondsToNextTimer();
        if (!wait || *wait != 0)
            return false;
    }
    return TakeDueTimer(msg, wnd, filterMin, filterMax);
}

bool TranslateMessage(const TMsg& msg)
{
    if ((msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) || msg.keyChar == 0)
        return false;
    UINT charMsg = msg.message == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR;
    TMsg ch = msg;
    ch.message = charMsg;
    ch.wParam = msg.keyChar;
    ch.keyChar = 0;
    MessageState& s = State();
    std::lock_guard guard(s.lock);
    // The character comes next, before anything posted later.
    s.queue.push_front(ch);
    return true;
}

LRESULT DispatchMessage(const TMsg& msg)
{
    MessageState& s = State();
    {
        std::lock_guard guard(s.lock);
        s.currentPos = msg.pt;
        s.currentTime = msg.time;
        s.currentShift = msg.shiftState;
    }
    if (msg.message == WM_TIMER && msg.lParam != 0) {
        auto callback = reinterpret_cast<TIMERPROC>(msg.lParam);
        callback(msg.hwnd, msg.message, msg.wParam, msg.time);
        return 0;
    }
    return SendMessage(msg.hwnd, msg.message, msg.wParam, msg.lParam);
}

int QueuedMessageCount()
{
    MessageState& s = State();
    std::lock_guard guard(s.lock);
    return static_cast<int>(s.queue.size());
}

TPoint GetMessagePos()
{
    MessageState& s = State();
    std::lock_guard guard(s.lock);
    return s.currentPos;
}

std::uint8_t GetMessageShiftState()
{
    MessageState& s = State();
    std::lock_guard guard(s.lock);
    return s.currentShift;
}

DWORD GetMessageTime()
{
    MessageState& s = State();
    std::lock_guard guard(s.lock);
    return s.currentTime;
}

void SetPostWakeup(std::function<void()> wakeup)
{
    MessageState& s = State();
    std::lock_guard guard(s.lock);
    s.wakeup = std::move(wakeup);
}

} // namespace ui
