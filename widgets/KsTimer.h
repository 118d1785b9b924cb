#pragma once
// A timer component that keeps its period on a worker thread of its own, so
// that it keeps time while the main thread is busy. Its handler still runs
// on the main thread unless SyncEvent is off; with Threaded off it is an
// ordinary window timer.
//
// Shutting down is safe at any moment: the worker waits on a wake-up instead
// of sleeping blindly, the destructor wakes and joins it, and a call the
// worker handed to the main thread finds the timer disabled and does nothing.

#include "platform/rtl/Classes.h"
#include "platform/rtl/Threads.h"
#include "platform/ui/Messages.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <memory>
#include <mutex>

class TKsTimer;

class TTimerThread : public TThread {
    DECLARE_CLASS(TTimerThread, TThread)
public:
    // Created suspended; the first Resume starts it.
    explicit TTimerThread(TKsTimer* AOwner);
    ~TTimerThread() override;

    std::atomic<uint32_t> Interval{1000};
    // The exception the handler raised in the last cycle on this thread.
    std::exception_ptr LastException;

    // A new cycle starts now (the main thread restarts the timer).
    void RestartCycle();
    // Ends the loop at once, also in the middle of a wait.
    void Stop();

protected:
    void Execute() override;

private:
    bool CycleStopped() const;
    // Waits until the interval has passed since the cycle started; false
    // when the thread is stopped or suspended meanwhile.
    bool WaitInterval();
    void FireOnWorker();
    void WakeUp();

    TKsTimer* owner_;
    std::atomic<uint32_t> cycleStart_{0};
    std::mutex wakeLock_;
    std::condition_variable wake_;
};

class TKsTimer : public TComponent {
    DECLARE_CLASS(TKsTimer, TComponent)
public:
    explicit TKsTimer(TComponent* AOwner);
    ~TKsTimer() override;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool Value);
    uint32_t Interval() const { return interval_; }
    void SetInterval(uint32_t Value);
    bool Threaded() const { return threaded_; }
    void SetThreaded(bool Value);
    TThreadPriority ThreadPriority() const { return threadPriority_; }
    void SetThreadPriority(TThreadPriority Value);
    bool SyncEvent() const { return syncEvent_; }
    void SetSyncEvent(bool Value) { syncEvent_ = Value; }
    TNotifyEvent OnTimer() const;
    // Restarts the timer only when the handler appears or goes away.
    void SetOnTimer(TNotifyEvent Value);

    // The hidden window of the non-threaded mode (nullptr until used).
    HWND WindowHandle() const { return windowHandle_; }
    TTimerThread& TimerThread() const { return *timerThread_; }

    // Runs fn on the main thread through the worker, or directly when the
    // worker does not run.
    void Synchronize(const std::function<void()>& fn);

protected:
    // Calls OnTimer when enabled and not being destroyed.
    virtual void Timer();
    void UpdateTimer();
    void WndProc(TMessage& Message);

private:
    friend class TTimerThread;
    bool HasHandler() const;
    bool ShouldRun() const { return interval_ != 0 && enabled_ && HasHandler(); }
    void SuspendWorker();
    void FreeWindow();

    std::atomic<bool> enabled_{true};
    uint32_t interval_ = 1000;
    mutable std::mutex handlerLock_;
    TNotifyEvent onTimer_;
    HWND windowHandle_ = nullptr;
    std::atomic<bool> syncEvent_{true};
    bool threaded_ = true;
    TThreadPriority threadPriority_ = tpNormal;
    bool workerRunning_ = false;
    std::unique_ptr<TTimerThread> timerThread_;
};
