#include "platform/rtl/Threads.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <stdexcept>
#include <vector>

namespace {

using namespace std::chrono_literals;

// A worker whose Execute is a function given by the test.
class TTestThread : public TThread {
public:
    explicit TTestThread(std::function<void(TTestThread&)> body, bool createSuspended = false)
        : TThread(createSuspended), body_(std::move(body))
    {
        AfterConstruction();
    }
    ~TTestThread() override { TerminateAndJoin(); }

    using TThread::ReturnValue;
    using TThread::SleepOrTerminated;
    using TThread::SuspendPoint;

protected:
    void Execute() override { body_(*this); }

private:
    std::function<void(TTestThread&)> body_;
};

// Keeps serving the main-thread queue until done() holds or the time is up.
template <class Done> bool ServeUntil(Done done, std::chrono::milliseconds limit = 5s)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        rtl::CheckSynchronize(10);
    }
    return true;
}

class ThreadsTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        rtl::SetMainThreadWakeup(nullptr);
        while (rtl::CheckSynchronize(0)) {
        }
    }
};

} // namespace

TEST_F(ThreadsTest, SynchronizeRunsOnTheMainThreadWhileItWaitsInWaitFor)
{
    std::vector<int> ranOnMain;
    TTestThread worker([&](TTestThread& self) {
        for (int i = 0; i < 20; ++i)
            self.Synchronize([&, i] { ranOnMain.push_back(rtl::IsMainThread() ? i : -1); });
        self.ReturnValue = 42;
    });
    EXPECT_EQ(worker.WaitFor(), 42);
    ASSERT_EQ(ranOnMain.size(), 20u);
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(ranOnMain[static_cast<size_t>(i)], i);
}

TEST_F(ThreadsTest, SynchronizedExceptionReachesTheWorker)
{
    std::string caught;
    TTestThread worker([&](TTestThread& self) {
        try {
            self.Synchronize([] { throw EConvertError("bad value"); });
        } catch (const EConvertError& e) {
            caught = e.Message;
        }
    });
    worker.WaitFor();
    EXPECT_EQ(caught, "bad value");
    EXPECT_FALSE(worker.FatalException());
}

TEST_F(ThreadsTest, ExceptionInExecuteIsCapturedNotRaised)
{
    TTestThread worker([](TTestThread&) { throw EInOutError("disk gone"); });
    EXPECT_NO_THROW(worker.WaitFor());
    ASSERT_TRUE(worker.FatalException());
    EXPECT_THROW(std::rethrow_exception(worker.FatalException()), EInOutError);
}

TEST_F(ThreadsTest, SynchronizeAndQueueOnTheMainThread)
{
    bool inline_ = false;
    TThread::Synchronize(nullptr, [&] { inline_ = true; });
    EXPECT_TRUE(inline_);

    int wakeups = 0;
    rtl::SetMainThreadWakeup([&] { ++wakeups; });
    int queued = 0;
    TThread::Queue(nullptr, [&] { ++queued; });
    EXPECT_EQ(queued, 0); // posted, not run
    EXPECT_EQ(wakeups, 1);
    EXPECT_TRUE(rtl::CheckSynchronize(0));
    EXPECT_EQ(queued, 1);
    EXPECT_FALSE(rtl::CheckSynchronize(0));
}

TEST_F(ThreadsTest, QueuedCallThatQueuesAgainRunsOnTheNextCheck)
{
    int runs = 0;
    bool keepGoing = true;
    std::function<void()> again = [&] {
        ++runs;
        if (keepGoing)
            TThread::Queue(nullptr, again);
    };
    TThread::Queue(nullptr, again);
    rtl::CheckSynchronize(0);
    EXPECT_EQ(runs, 1);
    keepGoing = false;
    rtl::CheckSynchronize(0);
    EXPECT_EQ(runs, 2);
    EXPECT_FALSE(rtl::CheckSynchronize(0));
}

TEST_F(ThreadsTest, QueuedExceptionReachesTheMainThreadAndKeepsTheRest)
{
    bool laterRan = false;
    TThread::Queue(nullptr, [] { throw EAbort("stop"); });
    TThread::Queue(nullptr, [&] { laterRan = true; });
    EXPECT_THROW(rtl::CheckSynchronize(0), EAbort);
    EXPECT_FALSE(laterRan);
    rtl::CheckSynchronize(0);
    EXPECT_TRUE(laterRan);
}

TEST_F(ThreadsTest, CheckSynchronizeBelongsToTheMainThread)
{
    std::atomic<bool> refused = false;
    TTestThread worker([&](TTestThread&) {
        try {
            rtl::CheckSynchronize(0);
        } catch (const EInvalidOperation&) {
            refused = true;
        }
    });
    worker.WaitFor();
    EXPECT_TRUE(refused);
}

TEST_F(ThreadsTest, FreeOnTerminateThreadFreesItself)
{
    std::promise<bool> freed;
    class TSelfFreeing : public TThread {
    public:
        explicit TSelfFreeing(std::promise<bool>& freed) : TThread(true), freed_(freed) { FreeOnTerminate = true; }
        ~TSelfFreeing() override { freed_.set_value(!rtl::IsMainThread()); }

    protected:
        void Execute() override { }

    private:
        std::promise<bool>& freed_;
    };
    auto* thread = new TSelfFreeing(freed);
    EXPECT_THROW(thread->WaitFor(), EInvalidOperation);
    std::future<bool> done = freed.get_future();
    thread->Resume();
    ASSERT_EQ(done.wait_for(5s), std::future_status::ready);
    EXPECT_TRUE(done.get()); // freed by the worker itself
}

TEST_F(ThreadsTest, OnTerminateFiresOnTheMainThread)
{
    std::atomic<bool> onMain = false;
    TTestThread worker([](TTestThread&) {}, true);
    worker.OnTerminate = [&](TObject* sender) { onMain = rtl::IsMainThread() && sender == &worker; };
    worker.Resume();
    worker.WaitFor();
    EXPECT_TRUE(onMain);
}

TEST_F(ThreadsTest, SuspendedThreadStartsAtTheLastResume)
{
    std::atomic<bool> ran = false;
    TTestThread worker([&](TTestThread&) { ran = true; }, true);
    EXPECT_THROW(worker.WaitFor(), EInvalidOperation); // never started
    worker.Suspend();
    worker.Resume();
    std::this_thread::sleep_for(20ms);
    EXPECT_TRUE(worker.Suspended());
    EXPECT_FALSE(ran);
    worker.SetSuspended(false);
    EXPECT_FALSE(worker.Suspended());
    worker.WaitFor();
    EXPECT_TRUE(ran);
}

TEST_F(ThreadsTest, RunningThreadPausesAtItsSuspendPoint)
{
    std::atomic<int> cycles = 0;
    TTestThread worker([&](TTestThread& self) {
        while (!self.Terminated()) {
            self.SuspendPoint();
            ++cycles;
            std::this_thread::sleep_for(1ms);
        }
    });
    ASSERT_TRUE(ServeUntil([&] { return cycles > 0; }));
    worker.Suspend();
    const int atSuspend = cycles;
    std::this_thread::sleep_for(50ms);
    EXPECT_LE(cycles - atSuspend, 1); // one cycle may have passed its point already
    const int paused = cycles;
    worker.Resume();
    EXPECT_TRUE(ServeUntil([&] { return cycles > paused + 2; }));
}

TEST_F(ThreadsTest, DestroyingAThreadBlockedInSynchronizeDoesNotDeadlock)
{
    std::atomic<int> calls = 0;
    std::atomic<bool> ended = false;
    auto worker = std::make_unique<TTestThread>([&](TTestThread& self) {
        while (!self.Terminated())
            self.Synchronize([&] { ++calls; });
        ended = true;
    });
    ASSERT_TRUE(ServeUntil([&] { return calls > 3; }));
    worker.reset(); // terminates and joins, serving the queue meanwhile
    EXPECT_TRUE(ended);
}

TEST_F(ThreadsTest, TerminateWakesAnInterruptibleSleep)
{
    std::atomic<bool> woken = false;
    TTestThread worker([&](TTestThread& self) { woken = self.SleepOrTerminated(60'000); });
    const auto start = std::chrono::steady_clock::now();
    worker.Terminate();
    worker.WaitFor();
    EXPECT_TRUE(woken);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
}

TEST_F(ThreadsTest, WorkerWaitingForAnotherWorkerNeedsNoMainThread)
{
    TTestThread inner([](TTestThread& self) { self.ReturnValue = 7; });
    std::atomic<int> seen = 0;
    TTestThread outer([&](TTestThread&) { seen = inner.WaitFor(); });
    outer.WaitFor();
    EXPECT_EQ(seen, 7);
}
