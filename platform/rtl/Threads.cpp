#include "platform/rtl/Threads.h"

#include <chrono>
#include <deque>
#include <memory>

namespace {

// The program's initial thread loads this library before main runs.
const std::thread::id mainThreadId = std::this_thread::get_id();

struct MainCall {
    std::function<void()> fn;
    bool synchronous = false;
    bool done = false;        // guarded by MainQueue::lock
    std::exception_ptr error; // synchronous calls only
};

// The calls waiting for the main thread. `changed` is signalled when a call
// is queued, when a synchronous call is done and when a worker finishes, so
// a main thread waiting for a worker can serve calls at the same time.
struct MainQueue {
    std::mutex lock;
    std::condition_variable changed;
    std::deque<std::shared_ptr<MainCall>> calls;
    std::function<void()> wakeup;
};

MainQueue& MainCalls()
{
    // Never destroyed: detached workers may still post while the process exits.
    static auto* queue = new MainQueue;
    return *queue;
}

void Post(const std::shared_ptr<MainCall>& call)
{
    MainQueue& q = MainCalls();
    std::function<void()> wakeup;
    {
        std::lock_guard guard(q.lock);
        q.calls.push_back(call);
        wakeup = q.wakeup;
    }
    q.changed.notify_all();
    if (wakeup)
        wakeup();
}

void RunSynchronous(const std::function<void()>& fn)
{
    auto call = std::make_shared<MainCall>();
    call->fn = fn;
    call->synchronous = true;
    Post(call);
    MainQueue& q = MainCalls();
    std::exception_ptr error;
    {
        std::unique_lock lock(q.lock);
        q.changed.wait(lock, [&] { return call->done; });
        // Taken over here, so the exception dies on this thread.
        error = std::move(call->error);
    }
    if (error)
        std::rethrow_exception(error);
}

void RunOnMainThread(MainCall& call)
{
    if (!call.synchronous) {
        call.fn(); // its exception belongs to whoever drains the queue
        return;
    }
    try {
        call.fn();
    } catch (...) {
        call.error = std::current_exception();
    }
    MainQueue& q = MainCalls();
    {
        std::lock_guard guard(q.lock);
        call.done = true;
    }
    q.changed.notify_all();
}

void SignalMainThread()
{
    MainQueue& q = MainCalls();
    {
        std::lock_guard guard(q.lock);
    }
    q.changed.notify_all();
}

} // namespace

namespace rtl {

bool IsMainThread() { return std::this_thread::get_id() == mainThreadId; }

bool CheckSynchronize(int timeoutMs)
{
    if (!IsMainThread())
        throw EInvalidOperation("CheckSynchronize called from a thread that is not the main thread");
    MainQueue& q = MainCalls();
    size_t pending;
    {
        std::unique_lock lock(q.lock);
        if (q.calls.empty() && timeoutMs > 0)
            q.changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return !q.calls.empty(); });
        pending = q.calls.size();
    }
    // Only the calls present now: a call that queues another one must not
    // keep this loop busy forever.
    bool ran = false;
    for (; pending > 0; --pending) {
        std::shared_ptr<MainCall> call;
        {
            std::lock_guard guard(q.lock);
            if (q.calls.empty())
                break;
            call = q.calls.front();
            q.calls.pop_front();
        }
        ran = true;
        RunOnMainThread(*call);
    }
    return ran;
}

void SetMainThreadWakeup(std::function<void()> wakeup)
{
    MainQueue& q = MainCalls();
    std::lock_guard guard(q.lock);
    q.wakeup = std::move(wakeup);
}

} // namespace rtl

IMPLEMENT_CLASS(TThread)

TThread::TThread(bool CreateSuspended) : suspendCount_(CreateSuspended ? 1 : 0) { }

TThread::~TThread() { TerminateAndJoin(); }

void TThread::AfterConstruction()
{
    std::lock_guard guard(lock_);
    if (suspendCount_ == 0 && !started_)
        Start();
}

void TThread::Start()
{
    // Called with lock_ held; Run takes lock_ first, so thread_ is assigned
    // before the new thread can touch it.
    started_ = true;
    thread_ = std::thread(&TThread::Run, this);
    threadId_ = thread_.get_id();
}

void TThread::Run()
{
    {
        std::lock_guard guard(lock_);
    }
    std::exception_ptr fatal;
    try {
        Execute();
    } catch (...) {
        fatal = std::current_exception();
    }
    try {
        DoTerminate();
    } catch (...) {
        if (!fatal)
            fatal = std::current_exception();
    }
    const bool freeSelf = FreeOnTerminate;
    {
        std::lock_guard guard(lock_);
        fatalException_ = fatal;
        finished_ = true;
    }
    changed_.notify_all();
    SignalMainThread();
    if (freeSelf) {
        thread_.detach();
        delete this;
    }
}

void TThread::DoTerminate()
{
    if (OnTerminate)
        Synchronize([this] { OnTerminate(this); });
}

void TThread::Terminate()
{
    {
        std::lock_guard guard(lock_);
        terminated_ = true;
    }
    changed_.notify_all();
}

void TThread::TerminateAndJoin()
{
    Terminate();
    {
        std::lock_guard guard(lock_);
        // A thread that never started has nothing to join; a detached one
        // is freeing itself right now.
        if (!started_ || !thread_.joinable())
            return;
    }
    WaitUntilFinished();
    Join();
}

int TThread::WaitFor()
{
    {
        std::lock_guard guard(lock_);
        if (FreeOnTerminate)
            throw EInvalidOperation("Cannot call WaitFor on a FreeOnTerminate thread");
        if (!started_)
            throw EInvalidOperation("Cannot call WaitFor on a thread that was never started");
    }
    if (std::this_thread::get_id() == ThreadID())
        throw EInvalidOperation("A thread cannot wait for itself");
    WaitUntilFinished();
    Join();
    return ReturnValue;
}

void TThread::WaitUntilFinished()
{
    if (!rtl::IsMainThread()) {
        std::unique_lock lock(lock_);
        changed_.wait(lock, [&] { return finished_.load(); });
        return;
    }
    // The main thread keeps serving the queue: the worker may be blocked in
    // Synchronize, waiting for exactly that.
    MainQueue& q = MainCalls();
    while (!finished_) {
        {
            std::unique_lock lock(q.lock);
            q.changed.wait(lock, [&] { return finished_ || !q.calls.empty(); });
        }
        rtl::CheckSynchronize(0);
    }
}

void TThread::Join()
{
    std::lock_guard guard(lock_);
    if (thread_.joinable())
        thread_.join();
}

void TThread::Suspend()
{
    std::lock_guard guard(lock_);
    ++suspendCount_;
}

void TThread::Resume()
{
    {
        std::lock_guard guard(lock_);
        if (suspendCount_ == 0)
            return;
        if (--suspendCount_ > 0)
            return;
        if (!started_) {
            Start();
            return;
        }
    }
    changed_.notify_all();
}

bool TThread::Suspended() const
{
    std::lock_guard guard(lock_);
    return suspendCount_ > 0;
}

void TThread::SetSuspended(bool Value)
{
    if (Value)
        Suspend();
    else
        Resume();
}

void TThread::SuspendPoint()
{
    std::unique_lock lock(lock_);
    changed_.wait(lock, [&] { return suspendCount_ == 0 || terminated_; });
}

bool TThread::SleepOrTerminated(uint32_t ms)
{
    std::unique_lock lock(lock_);
    return changed_.wait_for(lock, std::chrono::milliseconds(ms), [&] { return terminated_.load(); });
}

std::exception_ptr TThread::FatalException() const
{
    std::lock_guard guard(lock_);
    return fatalException_;
}

bool TThread::Finished() const { return finished_; }

std::thread::id TThread::ThreadID() const
{
    std::lock_guard guard(lock_);
    return threadId_;
}

void TThread::Synchronize(const std::function<void()>& fn) { Synchronize(this, fn); }

void TThread::Synchronize(TThread*, const std::function<void()>& fn)
{
    if (rtl::IsMainThread())
        fn();
    else
        RunSynchronous(fn);
}

void TThread::Queue(std::function<void()> fn) { Queue(this, std::move(fn)); }

void TThread::Queue(TThread*, std::function<void()> fn)
{
    auto call = std::make_shared<MainCall>();
    call->fn = std::move(fn);
    Post(call);
}
