#include "widgets/KsTimer.h"

#include "platform/rtl/Clock.h"
#include "platform/ui/EventLoop.h"
#include "platform/ui/Forms.h"
#include "platform/ui/HiddenWindows.h"
#include "widgets/TimerLst.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

namespace {

class KsTimerTest : public ::testing::Test {
protected:
    void SetUp() override { ui::EnsurePlatform(); }
    void TearDown() override
    {
        Application->OnException = nullptr;
        rtl::ResetClock();
    }
    // Runs what the worker handed to the main thread; true when something ran.
    static bool Serve(int waitMs) { return rtl::CheckSynchronize(waitMs); }
    static bool WindowTimerRuns() { return ui::MillisecondsToNextTimer().has_value(); }
};

TEST_F(KsTimerTest, ThreadedTimerFiresOnTheMainThreadByTheFakeClock)
{
    rtl::SetClockForTests(1000);
    TKsTimer timer(nullptr);
    std::vector<std::thread::id> callers;
    timer.SetOnTimer([&](TObject* sender) {
        EXPECT_EQ(sender, &timer);
        callers.push_back(std::this_thread::get_id());
    });
    EXPECT_FALSE(timer.TimerThread().Suspended());

    rtl::AdvanceClockForTests(999);
    EXPECT_FALSE(Serve(60));
    rtl::AdvanceClockForTests(1);
    EXPECT_TRUE(Serve(2000));
    rtl::AdvanceClockForTests(1000);
    EXPECT_TRUE(Serve(2000));
    ASSERT_EQ(callers.size(), 2u);
    EXPECT_EQ(callers[0], std::this_thread::get_id());

    // Disabled: the worker is suspended and nothing fires.
    timer.SetEnabled(false);
    rtl::AdvanceClockForTests(5000);
    EXPECT_FALSE(Serve(60));
    EXPECT_EQ(callers.size(), 2u);
}

TEST_F(KsTimerTest, NothingRunsWithoutIntervalHandlerOrEnabled)
{
    struct Case {
        uint32_t interval;
        bool handler;
        bool enabled;
    };
    const Case cases[] = {{0, true, true}, {100, false, true}, {100, true, false}};
    for (bool threaded : {true, false})
        for (const Case& c : cases) {
            TKsTimer timer(nullptr);
            timer.SetThreaded(threaded);
            timer.SetInterval(c.interval);
            timer.SetEnabled(c.enabled);
            if (c.handler)
                timer.SetOnTimer([](TObject*) {});
            EXPECT_TRUE(timer.TimerThread().Suspended()) << c.interval << c.handler << c.enabled;
            EXPECT_FALSE(WindowTimerRuns()) << c.interval << c.handler << c.enabled;
        }
}

TEST_F(KsTimerTest, SwitchingModesMovesTheTimerBetweenWorkerAndWindow)
{
    rtl::SetClockForTests(0);
    TKsTimer timer(nullptr);
    timer.SetInterval(200);
    int count = 0;
    timer.SetOnTimer([&](TObject*) { ++count; });
    EXPECT_EQ(timer.WindowHandle(), nullptr);

    timer.SetThreaded(false);
    EXPECT_TRUE(timer.TimerThread().Suspended());
    ASSERT_NE(timer.WindowHandle(), nullptr);
    EXPECT_EQ(ui::MillisecondsToNextTimer(), std::optional<uint32_t>(200));
    rtl::AdvanceClockForTests(200);
    Application->ProcessMessages();
    EXPECT_EQ(count, 1);
    // Priority is only kept while no worker runs.
    timer.SetThreadPriority(tpHigher);
    EXPECT_EQ(timer.TimerThread().Priority(), tpNormal);

    timer.SetThreaded(true);
    EXPECT_EQ(timer.WindowHandle(), nullptr);
    EXPECT_FALSE(WindowTimerRuns());
    EXPECT_FALSE(timer.TimerThread().Suspended());
    EXPECT_EQ(timer.TimerThread().Priority(), tpHigher);
    rtl::AdvanceClockForTests(200);
    EXPECT_TRUE(Serve(2000));
    EXPECT_EQ(count, 2);
}

TEST_F(KsTimerTest, ASecondHandlerDoesNotRestartTheCycle)
{
    rtl::SetClockForTests(0);
    TKsTimer timer(nullptr);
    int first = 0, second = 0;
    timer.SetOnTimer([&](TObject*) { ++first; });
    rtl::AdvanceClockForTests(600);
    timer.SetOnTimer([&](TObject*) { ++second; });
    // A restart would have moved the next firing to 1600.
    rtl::AdvanceClockForTests(400);
    EXPECT_TRUE(Serve(2000));
    EXPECT_EQ(first, 0);
    EXPECT_EQ(second, 1);
}

TEST_F(KsTimerTest, HandlerExceptionsReachTheApplicationExceptAbort)
{
    std::vector<std::string> reported;
    Application->OnException = [&](TObject*, Exception& e) { reported.push_back(e.Message); };

    // On the main thread (window timer and synchronised worker).
    rtl::SetClockForTests(0);
    for (bool threaded : {false, true}) {
        TKsTimer timer(nullptr);
        timer.SetThreaded(threaded);
        timer.SetInterval(100);
        timer.SetOnTimer([](TObject*) { throw Exception("Zeitgeber"); });
        rtl::AdvanceClockForTests(100);
        if (threaded)
            EXPECT_TRUE(Serve(2000));
        else
            Application->ProcessMessages();
    }
    EXPECT_EQ(reported, std::vector<std::string>({"Zeitgeber", "Zeitgeber"}));
    rtl::ResetClock();

    // On the worker: EAbort is dropped, other errors are handed over.
    reported.clear();
    std::atomic<int> calls{0};
    {
        TKsTimer timer(nullptr);
        timer.SetSyncEvent(false);
        timer.SetInterval(5);
        timer.SetOnTimer([&](TObject*) {
            if (++calls == 1)
                throw EAbort("");
            if (calls == 2)
                throw Exception("im Hintergrund");
        });
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (reported.empty() && std::chrono::steady_clock::now() < deadline)
            Serve(20);
    }
    EXPECT_EQ(reported, std::vector<std::string>({"im Hintergrund"}));
}

// Real time, under the sanitizers: the worker fires, and destroying the timer
// at any moment (sleeping, waiting for the main thread, running the handler
// on the worker) neither touches freed memory nor hangs.
TEST_F(KsTimerTest, RealWorkerFiresAndStopsCleanly)
{
    std::atomic<int> fired{0};
    std::thread::id worker;
    {
        TKsTimer timer(nullptr);
        timer.SetSyncEvent(false);
        timer.SetInterval(2);
        timer.SetOnTimer([&](TObject*) {
            worker = std::this_thread::get_id();
            ++fired;
        });
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (fired < 3 && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_GE(fired, 3);
    EXPECT_NE(worker, std::this_thread::get_id());

    std::atomic<int> synced{0};
    for (int round = 0; round < 30; ++round) {
        auto timer = std::make_unique<TKsTimer>(nullptr);
        timer->SetInterval(1 + round % 3);
        timer->SetSyncEvent(round % 2 == 0);
        timer->SetOnTimer([&synced](TObject*) { ++synced; });
        std::this_thread::sleep_for(std::chrono::milliseconds(round % 5));
        if (round % 3 == 0)
            Serve(0);
        timer.reset(); // possibly while the worker waits in Synchronize
    }
    // Nothing of a destroyed timer is left to run.
    int before = synced.load();
    Serve(30);
    EXPECT_EQ(synced, before);

    // Destroyed during a long sleep: ends at once, without firing.
    int late = 0;
    auto start = std::chrono::steady_clock::now();
    {
        TKsTimer timer(nullptr);
        timer.SetInterval(10000);
        timer.SetOnTimer([&](TObject*) { ++late; });
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(late, 0);
}

} // namespace
