#pragma once

// Worker threads and the queue of calls they hand to the main thread.
//
// The main thread is the thread that loaded this library (the program's
// initial thread). It runs the calls of Synchronize and Queue when it calls
// rtl::CheckSynchronize; the UI loop does so whenever the wake-up it
// registered with rtl::SetMainThreadWakeup fires. A main thread that waits
// for a worker (WaitFor, or destroying the thread object) keeps serving the
// queue meanwhile, so a worker blocked in Synchronize never deadlocks a join.

#include "platform/rtl/Classes.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

enum TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

class TThread : public TObject {
    DECLARE_CLASS(TThread, TObject)
public:
    // A base class cannot start Execute while a derived constructor is still
    // running, so the thread starts in two steps: the most-derived class
    // calls AfterConstruction() as the last statement of its constructor,
    // which starts a thread created running. A thread created suspended
    // starts at the Resume that brings its suspend count to zero.
    explicit TThread(bool CreateSuspended);
    // Terminates the thread and waits for it (serving the main-thread queue
    // when called on the main thread). Members of a derived class are gone
    // by then: a class whose Execute uses them calls TerminateAndJoin() in
    // its own destructor.
    ~TThread() override;
    TThread(const TThread&) = delete;
    TThread& operator=(const TThread&) = delete;

    void AfterConstruction();

    // Asks Execute to stop; Execute polls Terminated.
    void Terminate();
    bool Terminated() const { return terminated_; }

    // Waits for Execute to end and returns ReturnValue. Not allowed on a
    // FreeOnTerminate thread (it frees itself), from the thread itself or on
    // a thread that was never started (it would wait forever):
    // EInvalidOperation.
    int WaitFor();

    // Suspend counts up, Resume counts down; at zero a thread that was never
    // started starts, and a running one passes its next SuspendPoint. A
    // running thread cannot be stopped from outside: it pauses at the
    // SuspendPoint calls of its Execute.
    void Suspend();
    void Resume();
    bool Suspended() const;
    void SetSuspended(bool Value);

    // Accepted and kept; the scheduler's policy is left alone.
    TThreadPriority Priority() const { return priority_; }
    void SetPriority(TThreadPriority Value) { priority_ = Value; }

    // The thread frees its own object when Execute has ended. Set it before
    // the thread starts.
    bool FreeOnTerminate = false;
    // Fired on the main thread (through Synchronize) after Execute.
    TNotifyEvent OnTerminate;

    // The exception that ended Execute, if any: it is caught, not rethrown.
    std::exception_ptr FatalException() const;
    bool Finished() const;
    std::thread::id ThreadID() const;

    // Runs fn on the main thread and waits for it; an exception raised by fn
    // is raised again in the caller. On the main thread fn runs at once.
    void Synchronize(const std::function<void()>& fn);
    static void Synchronize(TThread* AThread, const std::function<void()>& fn);
    // Posts fn to the main thread without waiting.
    void Queue(std::function<void()> fn);
    static void Queue(TThread* AThread, std::function<void()> fn);

protected:
    virtual void Execute() = 0;
    // Fires OnTerminate on the main thread.
    virtual void DoTerminate();
    // Terminate, then wait for Execute to end; does nothing on a thread that
    // never started or that is freeing itself.
    void TerminateAndJoin();
    // Blocks while the thread is suspended and not terminated.
    void SuspendPoint();
    // Waits ms milliseconds or until Terminate; true when terminated.
    bool SleepOrTerminated(uint32_t ms);

    int ReturnValue = 0;

private:
    void Start();
    void Run();
    void Join();
    void WaitUntilFinished();

    std::thread thread_;
    std::thread::id threadId_;
    mutable std::mutex lock_;
    std::condition_variable changed_;
    std::atomic<bool> terminated_{false};
    bool started_ = false;
    std::atomic<bool> finished_{false};
    int suspendCount_ = 0;
    TThreadPriority priority_ = tpNormal;
    std::exception_ptr fatalException_;
};

namespace rtl {

// True on the main thread.
bool IsMainThread();

// Runs the calls queued for the main thread; waits up to timeoutMs for the
// first one when none is queued. Returns true when it ran at least one. An
// exception of a queued call (not of a synchronised one, whose caller gets
// it) propagates after that call; the rest stay queued. Raises
// EInvalidOperation off the main thread.
bool CheckSynchronize(int timeoutMs = 0);

// Registers the function that wakes the main thread's event loop; it is
// called (from the posting thread) whenever a call is queued.
void SetMainThreadWakeup(std::function<void()> wakeup);

} // namespace rtl
