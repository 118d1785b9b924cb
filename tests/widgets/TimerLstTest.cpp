#include "widgets/TimerLst.h"

#include "platform/rtl/Clock.h"
#include "platform/ui/EventLoop.h"
#include "platform/ui/Forms.h"
#include "platform/ui/HiddenWindows.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// A list on the fake clock; Tick moves time on and lets due timers fire.
class TimerListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ui::EnsurePlatform();
        rtl::SetClockForTests(StartTicks);
        owner_ = std::make_unique<TComponent>(nullptr);
        list_ = new TKsTimerList(owner_.get());
        list_->OnFinish = [this](TObject*) { ++finished_; };
    }
    void TearDown() override
    {
        owner_.reset();
        Application->OnException = nullptr;
        rtl::ResetClock();
    }
    void Tick(uint32_t ms)
    {
        rtl::AdvanceClockForTests(ms);
        Application->ProcessMessages();
    }
    TNotifyEvent Counter(int& count)
    {
        return [&count](TObject*) { ++count; };
    }
    bool TimerRuns() const { return ui::MillisecondsToNextTimer().has_value(); }

    static constexpr uint32_t StartTicks = 50000;
    std::unique_ptr<TComponent> owner_;
    TKsTimerList* list_ = nullptr;
    int finished_ = 0;
};

TEST_F(TimerListTest, PeriodDividesEveryInterval)
{
    struct Case {
        std::vector<int32_t> intervals;
        std::vector<bool> enabled;
        int32_t period;
    };
    const Case cases[] = {
        {{1, 200}, {false, true}, 100}, // the disabled 1 ms still lowers 200 to a divisor
        {{1, 200}, {true, true}, 100},
        {{1000, 1500}, {true, true}, 500},
        {{300}, {true}, 300},
        {{50}, {true}, 100}, // never below 100 ms
        {{0}, {true}, 0},    // nothing with a positive interval: no timer
        {{700, 1000}, {true, false}, 100},
        {{-5, 400}, {true, true}, 400}, // negative taken as 0, which divides anything
    };
    for (const Case& c : cases) {
        TKsTimerList list(nullptr);
        for (size_t i = 0; i < c.intervals.size(); ++i) {
            int32_t handle = list.Add(nullptr, c.intervals[i], true);
            list.ItemByHandle(handle)->SetEnabled(c.enabled[i]);
        }
        list.Add(nullptr, 0, true); // recomputes after the last change
        EXPECT_EQ(list.Period(), c.period) << c.intervals.front();
    }
}

TEST_F(TimerListTest, EventsFireOnTheTicksTheyAreDueAndLongerIntervalsFirst)
{
    std::vector<std::string> fired;
    list_->Add([&](TObject*) { fired.push_back("exit"); }, 1, false);
    list_->Add([&](TObject*) { fired.push_back("capture"); }, 200, true);
    list_->Activate();
    ASSERT_EQ(list_->Period(), 100);
    ASSERT_TRUE(TimerRuns());

    Tick(100);
    EXPECT_EQ(fired, std::vector<std::string>({"exit"}));
    // The exit event stopped; the capture event goes on alone.
    EXPECT_TRUE(list_->Active());
    EXPECT_EQ(list_->Period(), 100);
    Tick(100);
    Tick(100);
    Tick(100);
    EXPECT_EQ(fired, std::vector<std::string>({"exit", "capture", "capture"}));

    // Both due in one tick: the longer interval fires first.
    fired.clear();
    list_->Add([&](TObject*) { fired.push_back("short"); }, 100, true);
    Tick(200);
    EXPECT_EQ(fired, std::vector<std::string>({"capture", "short"}));
    EXPECT_EQ(finished_, 0);
}

TEST_F(TimerListTest, AnEventFiresUpTo50MillisecondsEarly)
{
    int fast = 0, slow = 0;
    list_->Add(Counter(fast), 100, true);
    list_->Add(Counter(slow), 300, true);
    list_->Activate();
    Tick(130);
    EXPECT_EQ(slow, 0);
    Tick(119); // 249 ms since activation: too early
    EXPECT_EQ(slow, 0);
    Tick(100); // 349 ms
    EXPECT_EQ(slow, 1);
    EXPECT_EQ(fast, 3);
}

TEST_F(TimerListTest, LastNonCycledEventDeactivatesTheListWithOnFinish)
{
    int count = 0;
    std::vector<int32_t> handles;
    list_->OnTimers = [&](TObject*, int32_t h) { handles.push_back(h); };
    int32_t handle = list_->Add(Counter(count), 500, false);
    EXPECT_EQ(list_->ItemByHandle(handle)->RepeatCount(), 0);
    list_->Activate();
    Tick(500);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(handles, std::vector<int32_t>({handle}));
    EXPECT_FALSE(list_->Active());
    EXPECT_EQ(list_->WindowHandle(), nullptr);
    EXPECT_EQ(finished_, 1);
    EXPECT_FALSE(TimerRuns());
}

TEST_F(TimerListTest, RepeatCountLimitsANonCycledEvent)
{
    int count = 0;
    TKsTimerEvent* event = list_->ItemByHandle(list_->Add(Counter(count), 100, false));
    event->SetRepeatCount(0);
    EXPECT_EQ(event->RepeatCount(), 1); // raised for an event that is not cycled
    event->SetRepeatCount(3);
    list_->Activate();
    for (int i = 0; i < 5; ++i)
        Tick(100);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(event->ExecCount(), 3);
    EXPECT_FALSE(event->Enabled());
    // Lowering the count to what has run already disables at once.
    event->SetEnabled(true);
    list_->Activate();
    Tick(100);
    Tick(100);
    event->SetRepeatCount(2);
    EXPECT_FALSE(event->Enabled());
}

TEST_F(TimerListTest, ZeroIntervalFiresOnEveryTickButRunsNoTimerAlone)
{
    int zero = 0;
    list_->Add(Counter(zero), 0, true);
    list_->Activate();
    EXPECT_TRUE(list_->Active());
    EXPECT_FALSE(TimerRuns());
    int other = 0;
    list_->Add(Counter(other), 200, true);
    Tick(200);
    Tick(200);
    EXPECT_EQ(zero, 2);
    EXPECT_EQ(other, 2);
}

TEST_F(TimerListTest, DisablingKeepsTheTimerAndEnablingArmsIt)
{
    int count = 0;
    TKsTimerEvent* event = list_->ItemByHandle(list_->Add(Counter(count), 100, true));
    event->SetEnabled(false);
    // Active without a timer while nothing is enabled.
    list_->Activate();
    EXPECT_TRUE(list_->Active());
    EXPECT_FALSE(TimerRuns());
    event->SetEnabled(true);
    EXPECT_TRUE(TimerRuns());
    Tick(100);
    EXPECT_EQ(count, 1);
    // Disabling through the property leaves the timer running.
    event->SetEnabled(false);
    EXPECT_TRUE(TimerRuns());
    Tick(100);
    EXPECT_EQ(count, 1);
    EXPECT_TRUE(list_->Active());
}

TEST_F(TimerListTest, HandlesAreNeverReusedAndUnknownDeletesAreIgnored)
{
    int32_t a = list_->Add(nullptr, 100, true);
    int32_t b = list_->Add(nullptr, 100, true);
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 2);
    list_->Delete(a);
    list_->Delete(a);
    list_->Delete(99);
    EXPECT_EQ(list_->Count(), 1);
    EXPECT_EQ(list_->ItemIndexByHandle(b), 0);
    EXPECT_EQ(list_->Add(nullptr, 100, true), 3);
    // Deleted events are freed: the owner holds only the list and the rest.
    EXPECT_EQ(owner_->ComponentCount(), 3);
}

TEST_F(TimerListTest, HandlerExceptionGoesToTheApplicationAndStillStopsTheList)
{
    std::vector<std::string> reported;
    Application->OnException = [&](TObject*, Exception& e) { reported.push_back(e.Message); };
    int other = 0;
    list_->Add(Counter(other), 100, false);
    list_->Add([](TObject*) { throw Exception("Fehler im Ereignis"); }, 100, false); // fires first
    list_->Activate();
    Tick(100);
    // The pass stopped at the raising (later) event.
    EXPECT_EQ(reported, std::vector<std::string>({"Fehler im Ereignis"}));
    EXPECT_EQ(other, 0);
    Tick(100);
    EXPECT_EQ(other, 1);
    EXPECT_FALSE(list_->Active());
    EXPECT_EQ(finished_, 1);

    // The only event raises at its last firing: the list must still stop.
    TKsTimerList alone(nullptr);
    int done = 0;
    alone.OnFinish = [&](TObject*) { ++done; };
    alone.Add([](TObject*) { throw Exception("letzter Lauf"); }, 100, false);
    alone.Activate();
    Tick(100);
    EXPECT_FALSE(alone.Active());
    EXPECT_EQ(done, 1);
    EXPECT_FALSE(TimerRuns());
}

TEST_F(TimerListTest, EventsFreedByTheirOwnerLeaveTheList)
{
    int32_t handle = list_->Add(nullptr, 100, true);
    list_->Activate();
    delete list_->ItemByHandle(handle);
    EXPECT_EQ(list_->Count(), 0);
    Tick(100);
    list_->Clear();

    // A handler that deletes its own event.
    int32_t self = 0;
    self = list_->Add([&](TObject*) { list_->Delete(self); }, 100, true);
    list_->Add(nullptr, 100, true);
    list_->Activate();
    Tick(100);
    EXPECT_EQ(list_->ItemByHandle(self), nullptr);
}

TEST_F(TimerListTest, DestroyingTheListCallsNoOnFinish)
{
    list_->Add(nullptr, 100, true);
    list_->Activate();
    delete list_;
    EXPECT_EQ(finished_, 0);
    EXPECT_FALSE(TimerRuns());
    EXPECT_EQ(owner_->ComponentCount(), 0);
}

TEST_F(TimerListTest, TickCountWrapKeepsTheSchedule)
{
    rtl::SetClockForTests(0xFFFFFFFFu - 150);
    int count = 0;
    list_->Add(Counter(count), 200, true);
    list_->Add(nullptr, 100, true);
    list_->Activate();
    for (int i = 0; i < 4; ++i)
        Tick(100);
    EXPECT_EQ(count, 2);
}

TEST_F(TimerListTest, EventsMoveBetweenListsAsChildren)
{
    TKsTimerList other(nullptr);
    TKsTimerEvent event(nullptr);
    event.SetParentComponent(list_);
    EXPECT_EQ(event.GetParentComponent(), list_);
    event.SetParentComponent(&other);
    EXPECT_EQ(list_->Count(), 0);
    std::vector<TComponent*> children;
    other.GetChildren([&](TComponent* c) { children.push_back(c); });
    EXPECT_EQ(children, std::vector<TComponent*>({&event}));
    EXPECT_EQ(event.Handle(), 1);
    EXPECT_NE(rtl::GetClass("TKsTimerEvent"), nullptr);
}

} // namespace
