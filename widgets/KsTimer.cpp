#include "widgets/KsTimer.h"

#include "platform/rtl/Clock.h"
#include "platform/rtl/Setters.h"
#include "platform/ui/Forms.h"
#include "platform/ui/HiddenWindows.h"
#include "widgets/TimerLst.h"

#include <algorithm>
#include <chrono>

IMPLEMENT_CLASS(TTimerThread)
IMPLEMENT_CLASS(TKsTimer)

namespace {

constexpr std::uintptr_t TimerId = 1;
// The worker looks at the tick count at least this often (real time), so it
// also follows a clock that tests move by hand.
constexpr uint32_t LongestWaitSlice = 20;

bool ApplicationTerminating() { return Application && Application->Terminated(); }

} // namespace

// ---------------------------------------------------------------------------
// TTimerThread

TTimerThread::TTimerThread(TKsTimer* AOwner) : TThread(true), owner_(AOwner) { }

TTimerThread::~TTimerThread()
{
    Stop();
    TerminateAndJoin();
}

void TTimerThread::RestartCycle()
{
    cycleStart_ = rtl::GetTickCount();
    WakeUp();
}

void TTimerThread::Stop()
{
    Terminate();
    WakeUp();
}

void TTimerThread::WakeUp()
{
    {
        std::lock_guard guard(wakeLock_);
    }
    wake_.notify_all();
}

bool TTimerThread::CycleStopped() const { return Terminated() || ApplicationTerminating() || !owner_; }

void TTimerThread::Execute()
{
    while (!Terminated()) {
        SuspendPoint();
        if (CycleStopped())
            break; // also when the application ends: nothing would fire anyway
        if (!WaitInterval() || CycleStopped() || !owner_->enabled_)
            continue;
        if (owner_->syncEvent_) {
            // The next cycle starts when the handler is done, taken on the
            // main thread so that the period is measured from there.
            Synchronize([this] {
                try {
                    owner_->Timer();
                } catch (...) {
                    ui::HandleException(owner_);
                }
                cycleStart_ = rtl::GetTickCount();
            });
        } else {
            FireOnWorker();
            cycleStart_ = rtl::GetTickCount();
        }
    }
}

bool TTimerThread::WaitInterval()
{
    std::unique_lock lock(wakeLock_);
    for (;;) {
        if (Terminated() || Suspended())
            return false;
        uint32_t elapsed = rtl::GetTickCount() - cycleStart_;
        uint32_t interval = Interval;
        if (elapsed >= interval)
            return true;
        uint32_t slice = std::min(interval - elapsed, LongestWaitSlice);
        wake_.wait_for(lock, std::chrono::milliseconds(slice));
    }
}

void TTimerThread::FireOnWorker()
{
    try {
        owner_->Timer();
        LastException = nullptr;
    } catch (const EAbort&) {
        LastException = std::current_exception();
    } catch (const Exception&) {
        // Message boxes belong to the main thread: the report goes there,
        // holding nothing of this timer, which may be gone by then.
        LastException = std::current_exception();
        Queue([error = LastException] {
            try {
                std::rethrow_exception(error);
            } catch (...) {
                ui::HandleException(nullptr);
            }
        });
    }
}

// ---------------------------------------------------------------------------
// TKsTimer

TKsTimer::TKsTimer(TComponent* AOwner) : TComponent(AOwner), timerThread_(std::make_unique<TTimerThread>(this)) { }

TKsTimer::~TKsTimer()
{
    enabled_ = false;
    Destroying();
    {
        std::lock_guard guard(handlerLock_);
        onTimer_ = nullptr;
    }
    // Joins the worker; a call it handed to the main thread meanwhile runs
    // during the join and finds the timer disabled.
    timerThread_.reset();
    FreeWindow();
}

void TKsTimer::SetEnabled(bool Value)
{
    if (rtl::AssignIfChanged(enabled_, Value))
        UpdateTimer();
}

void TKsTimer::SetInterval(uint32_t Value)
{
    if (rtl::AssignIfChanged(interval_, Value))
        UpdateTimer();
}

void TKsTimer::SetThreaded(bool Value)
{
    if (rtl::AssignIfChanged(threaded_, Value))
        UpdateTimer();
}

void TKsTimer::SetThreadPriority(TThreadPriority Value)
{
    if (Value == threadPriority_)
        return;
    threadPriority_ = Value;
    if (threaded_)
        UpdateTimer();
}

TNotifyEvent TKsTimer::OnTimer() const
{
    std::lock_guard guard(handlerLock_);
    return onTimer_;
}

void TKsTimer::SetOnTimer(TNotifyEvent Value)
{
    bool hadHandler = HasHandler();
    {
        std::lock_guard guard(handlerLock_);
        onTimer_ = std::move(Value);
    }
    if (hadHandler != HasHandler())
        UpdateTimer();
}

bool TKsTimer::HasHandler() const
{
    std::lock_guard guard(handlerLock_);
    return static_cast<bool>(onTimer_);
}

void TKsTimer::Synchronize(const std::function<void()>& fn)
{
    if (workerRunning_ && !timerThread_->Terminated())
        timerThread_->Synchronize(fn);
    else
        fn();
}

void TKsTimer::Timer()
{
    if (!enabled_ || (ComponentState() & csDestroying))
        return;
    if (TNotifyEvent handler = OnTimer())
        handler(this);
}

void TKsTimer::SuspendWorker()
{
    if (!workerRunning_)
        return;
    timerThread_->Suspend();
    timerThread_->RestartCycle(); // out of its wait, to the suspend point
    workerRunning_ = false;
}

void TKsTimer::FreeWindow()
{
    if (!windowHandle_)
        return;
    ui::KillTimer(windowHandle_, TimerId);
    ui::DeallocateHWnd(windowHandle_);
    windowHandle_ = nullptr;
}

void TKsTimer::UpdateTimer()
{
    if (ComponentState() & csDestroying)
        return;
    SuspendWorker();
    if (threaded_) {
        FreeWindow();
        timerThread_->Interval = interval_;
        if (!ShouldRun())
            return;
        timerThread_->SetPriority(threadPriority_);
        timerThread_->RestartCycle();
        while (timerThread_->Suspended())
            timerThread_->Resume();
        workerRunning_ = true;
        return;
    }
    if (windowHandle_)
        ui::KillTimer(windowHandle_, TimerId);
    else
        windowHandle_ = ui::AllocateHWnd([this](TMessage& Message) { WndProc(Message); });
    if (ShouldRun() && !ui::SetTimer(windowHandle_, TimerId, interval_))
        throw EOutOfResources(SNoTimers);
}

void TKsTimer::WndProc(TMessage& Message)
{
    if (Message.Msg != WM_TIMER) {
        Message.Result = ui::DefWindowProc(windowHandle_, Message.Msg, Message.WParam, Message.LParam);
        return;
    }
    try {
        Timer();
    } catch (...) {
        ui::HandleException(this);
    }
}
