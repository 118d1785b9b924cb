// The step engine on its own, on the fake clock and without a window: when
// slides come (their pauses, sounds that hold them, pausing and starting),
// which ones (hidden slides, the wrap, positions set from outside, the order
// of a shuffled show), and the step timer it asks for.

#include "core/ShowStepper.h"

#include "core/VisteloNPics.h"
#include "platform/rtl/Clock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

// Which play position was drawn, and when (ms from the take-over).
using TShown = std::vector<std::pair<std::uint32_t, std::int32_t>>;

// A show of plain slides, a stepper bound to it as a window binds one, and
// a step timer that fires as the stepper set it: Interval ms after each
// change, then every Interval ms.
class ShowStepperTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        rtl::SetClockForTests(100000);
        start_ = GetTickCount();
        stepper_.OnTimerChange = [this] { nextTick_ = Now() + stepper_.TimerInterval(); };
        stepper_.OnShowSlide = [this] { shown_.emplace_back(Now(), show_.CurrentIndex); };
        stepper_.OnShowEnd = RepeatAtTheEnd();
        stepper_.SlideSoundPlaying = [this] { return Now() < soundUntil_; };
        stepper_.OnRunningChange = [this] { runningChanges_.push_back(!stepper_.Paused()); };
    }

    void TearDown() override { rtl::ResetClock(); }

    // count slides waiting the show's pause of 1000 ms, all shown.
    TVistelo& MakeShow(int count)
    {
        show_.Pause = 1000;
        show_.StartImmediately = true;
        show_.RandomOrder = false;
        for (int i = 0; i < count; ++i) {
            TPicInfoObject entry;
            entry.FileName = "p" + std::to_string(i) + ".bmp";
            entry.ShowImage = true;
            entry.Pause = -1;
            show_.AddDia(entry);
        }
        return show_;
    }

    // Every end repeats the show from where the position wrapped to, as its
    // plainest end action does; the step skips what is hidden there.
    std::function<bool(bool)> RepeatAtTheEnd()
    {
        return [this](bool Forward) {
            ends_.push_back(Forward);
            return true;
        };
    }

    std::uint32_t Now() const { return GetTickCount() - start_; }

    // Lets the fake time run to ms after the take-over, firing the step
    // timer on the way.
    void RunUntil(std::uint32_t ms)
    {
        while (stepper_.TimerEnabled() && nextTick_ <= ms) {
            rtl::AdvanceClockForTests(nextTick_ - Now());
            nextTick_ += stepper_.TimerInterval();
            stepper_.DiaTimerTimer();
        }
        if (Now() < ms)
            rtl::AdvanceClockForTests(ms - Now());
    }

    std::vector<std::int32_t> ShownPositions() const
    {
        std::vector<std::int32_t> positions;
        for (const auto& step : shown_)
            positions.push_back(step.second);
        return positions;
    }

    TVistelo show_;
    TShowStepper stepper_;
    std::uint32_t start_ = 0;
    std::uint32_t nextTick_ = 0;
    std::uint32_t soundUntil_ = 0; // the slide sound plays until then
    TShown shown_;
    std::vector<bool> ends_;           // Forward of each end of the show
    std::vector<bool> runningChanges_; // running after each change
};

TEST_F(ShowStepperTest, SlidesComeAtTheFirstCheckAfterTheirPause)
{
    constexpr std::uint32_t Never = 0;
    struct Case {
        const char* what;
        std::vector<std::int32_t> pauses; // -1: the show's 1000 ms
        std::string sound;                // of the first slide
        TSoundSync sync;
        std::uint32_t soundUntil;
        bool startImmediately;
        std::uint32_t pauseAt; // the user pauses
        std::uint32_t startAt; // and starts again
        std::uint32_t runUntil;
        TShown expected;
    };
    const Case cases[] = {
        {"the slide's own pause or the show's",
         {-1, 2500, -1},
         "",
         ssSync,
         0,
         true,
         Never,
         Never,
         5000,
         {{1, 0}, {1001, 1}, {3501, 2}, {4501, 0}}},
        {"a pause between two checks waits for the next",
         {1005, -1},
         "",
         ssSync,
         0,
         true,
         Never,
         Never,
         3100,
         {{1, 0}, {1011, 1}, {2011, 0}, {3021, 1}}},
        {"a sound without synchronisation holds nothing",
         {-1, -1},
         "s.wav",
         ssNoSync,
         3000,
         true,
         Never,
         Never,
         1500,
         {{1, 0}, {1001, 1}}},
        {"a synchronised sound holds the slide until it ends",
         {-1, -1},
         "s.wav",
         ssSync,
         3000,
         true,
         Never,
         Never,
         3500,
         {{1, 0}, {3001, 1}}},
        {"exactly synchronised too",
         {-1, -1},
         "s.wav",
         ssSyncExact,
         3000,
         true,
         Never,
         Never,
         3500,
         {{1, 0}, {3001, 1}}},
        {"a sound ending early does not shorten the pause",
         {-1, -1},
         "s.wav",
         ssSync,
         500,
         true,
         Never,
         Never,
         1500,
         {{1, 0}, {1001, 1}}},
        {"a slide without sound is not held by one playing on",
         {-1, -1},
         "",
         ssSync,
         3000,
         true,
         Never,
         Never,
         1500,
         {{1, 0}, {1001, 1}}},
        {"without starting at once the first slide waits for the start",
         {-1, -1},
         "",
         ssSync,
         0,
         false,
         Never,
         5000,
         6500,
         {{1, 0}, {6000, 1}}},
        {"started again, a slide gets its whole pause",
         {-1, -1},
         "",
         ssSync,
         0,
         true,
         500,
         2000,
         3500,
         {{1, 0}, {3000, 1}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        show_.Clear();
        shown_.clear();
        MakeShow(static_cast<int>(c.pauses.size()));
        for (size_t i = 0; i < c.pauses.size(); ++i)
            show_.Pictures[i]->Pause = c.pauses[i];
        show_.Pictures[0]->Sound = c.sound;
        show_.Pictures[0]->SynchronizeWithSound = c.sync;
        show_.StartImmediately = c.startImmediately;
        start_ = GetTickCount();
        soundUntil_ = c.soundUntil;
        stepper_.FirstStepMarker = -1;
        stepper_.TakeOver(&show_, true);
        if (c.pauseAt != Never) {
            RunUntil(c.pauseAt);
            stepper_.Pause();
        }
        if (c.startAt != Never) {
            RunUntil(c.startAt);
            EXPECT_TRUE(stepper_.Paused());
            stepper_.Start();
        }
        RunUntil(c.runUntil);
        EXPECT_EQ(shown_, c.expected);
        EXPECT_FALSE(stepper_.Paused());
    }
}

TEST_F(ShowStepperTest, TheTimerAndTheButtonsFollowTheRunningState)
{
    MakeShow(2);
    stepper_.TakeOver(&show_, false);
    // Taken over paused: nothing is due, whatever the time.
    EXPECT_TRUE(stepper_.Paused());
    EXPECT_FALSE(stepper_.TimerEnabled());
    EXPECT_EQ(stepper_.TimerInterval(), 1u);
    RunUntil(5000);
    EXPECT_TRUE(shown_.empty());

    stepper_.Start();
    EXPECT_TRUE(stepper_.TimerEnabled());
    RunUntil(5001);
    EXPECT_EQ(shown_, (TShown{{5001, 0}}));
    EXPECT_EQ(stepper_.TimerInterval(), TShowStepper::StepInterval);
    stepper_.Pause();
    EXPECT_FALSE(stepper_.TimerEnabled());
    EXPECT_EQ(runningChanges_, (std::vector<bool>{false, true, false}));

    // A step by hand while paused shows the slide and leaves the timer off.
    stepper_.NextDia(true);
    EXPECT_EQ(ShownPositions(), (std::vector<std::int32_t>{0, 1}));
    EXPECT_FALSE(stepper_.TimerEnabled());
    EXPECT_TRUE(stepper_.Paused());
}

TEST_F(ShowStepperTest, HiddenSlidesAreSkippedAndEveryWrapIsAnEnd)
{
    struct Case {
        std::vector<bool> shown;
        bool forward;
        std::vector<std::int32_t> positions; // of four steps
        std::vector<bool> ends;
        std::vector<std::int32_t> order = {}; // empty: as stored
    };
    const Case cases[] = {
        {{true, false, true, false}, true, {0, 2, 0, 2}, {true}},
        // After the wrap the hidden first slide is skipped, not taken for an
        // empty show.
        {{false, true, true}, true, {1, 2, 1, 2}, {true}},
        {{true, false, false}, true, {0, 0, 0, 0}, {true, true, true}},
        // Backwards the wrap goes to the last slide the show may show.
        {{true, false, true}, false, {2, 0, 2, 0}, {false, false}},
        {{false, true, true, false}, false, {2, 1, 2, 1}, {false, false}},
        // A shuffled show whose first position holds a hidden picture.
        {{true, false, true}, true, {1, 2, 1, 2}, {true}, {1, 0, 2}},
    };
    for (const Case& c : cases) {
        show_.Clear();
        shown_.clear();
        ends_.clear();
        MakeShow(static_cast<int>(c.shown.size()));
        for (size_t i = 0; i < c.shown.size(); ++i)
            show_.Pictures[i]->ShowImage = c.shown[i];
        show_.RandomOrder = !c.order.empty();
        if (!c.order.empty())
            show_.Order = c.order;
        stepper_.TakeOver(&show_, true);
        for (int step = 0; step < 4; ++step)
            c.forward ? stepper_.NextDia(true) : stepper_.PrevDia();
        EXPECT_EQ(ShownPositions(), c.positions) << c.shown.size() << c.forward;
        EXPECT_EQ(ends_, c.ends) << c.shown.size() << c.forward;
    }
}

TEST_F(ShowStepperTest, AnEndThatShowsNothingStopsTheShowAndAnEmptyShowEndsAtOnce)
{
    MakeShow(2);
    stepper_.OnShowEnd = [](bool) { return false; };
    int nothingToShow = 0;
    stepper_.OnNothingToShow = [&] { ++nothingToShow; };
    stepper_.TakeOver(&show_, true);
    RunUntil(10000);
    EXPECT_EQ(shown_, (TShown{{1, 0}, {1001, 1}}));
    EXPECT_FALSE(stepper_.TimerEnabled());
    EXPECT_EQ(nothingToShow, 0);

    // Nothing may be shown: the step says so at once and draws nothing.
    stepper_.OnShowEnd = RepeatAtTheEnd();
    for (auto& picture : show_.Pictures)
        picture->ShowImage = false;
    shown_.clear();
    stepper_.TakeOver(&show_, true);
    RunUntil(20000);
    EXPECT_EQ(nothingToShow, 1);
    EXPECT_TRUE(shown_.empty());
    EXPECT_FALSE(stepper_.TimerEnabled());
}

TEST_F(ShowStepperTest, APositionSetFromOutsideIsShownByTheNextStep)
{
    MakeShow(4);
    int jumps = 0;
    stepper_.OnPositionJump = [&] { ++jumps; };
    stepper_.TakeOver(&show_, true);
    stepper_.SetVisteloPos(-1, false);
    EXPECT_EQ(jumps, 0);
    EXPECT_FALSE(stepper_.PositionSet);
    stepper_.SetVisteloPos(2, false);
    EXPECT_EQ(jumps, 1);
    EXPECT_TRUE(stepper_.PositionSet);
    RunUntil(1500);
    EXPECT_EQ(shown_, (TShown{{1, 2}, {1001, 3}}));
    EXPECT_FALSE(stepper_.PositionSet);

    // A shuffled show finds the picture through its order; a step at once
    // gives it its whole pause.
    show_.RandomOrder = true;
    show_.Order = {3, 1, 0, 2};
    shown_.clear();
    stepper_.SetVisteloPos(0, true);
    EXPECT_EQ(show_.CurrentIndex, 2);
    EXPECT_EQ(stepper_.PictureOnScreen(), 0);
    RunUntil(3000);
    EXPECT_EQ(shown_, (TShown{{1500, 2}, {2500, 3}}));
}

TEST_F(ShowStepperTest, TheNextSlideIsFoundWithoutMoving)
{
    struct Case {
        std::vector<bool> shown;
        std::vector<std::int32_t> order; // empty: as stored
        std::int32_t position;
        std::int32_t next; // picture index
    };
    const Case cases[] = {
        {{true, true, true}, {}, 0, 1},         {{true, false, true}, {}, 0, 2},
        {{true, false, false}, {}, 0, 0}, // past the wrap
        {{true, true, true}, {}, 2, 0},         {{true, true, true}, {2, 0, 1}, 0, 0},
        {{false, true, true}, {2, 0, 1}, 0, 1}, // picture 0 is hidden
    };
    for (const Case& c : cases) {
        show_.Clear();
        MakeShow(static_cast<int>(c.shown.size()));
        for (size_t i = 0; i < c.shown.size(); ++i)
            show_.Pictures[i]->ShowImage = c.shown[i];
        if (!c.order.empty()) {
            show_.RandomOrder = true;
            show_.Order = c.order;
        }
        stepper_.Show = &show_;
        show_.CurrentIndex = c.position;
        EXPECT_EQ(stepper_.FindNextPicNr(), c.next) << c.shown.size() << " " << c.position;
        EXPECT_EQ(show_.CurrentIndex, c.position);
    }
}

TEST_F(ShowStepperTest, ASlideThatCannotBeShownIsFollowedAtTheNextCheck)
{
    MakeShow(3);
    stepper_.OnShowSlide = [this] {
        shown_.emplace_back(Now(), show_.CurrentIndex);
        if (show_.CurrentIndex == 1)
            stepper_.NextStepAtOnce(); // as a picture that does not load
    };
    stepper_.TakeOver(&show_, true);
    RunUntil(1500);
    EXPECT_EQ(shown_, (TShown{{1, 0}, {1001, 1}, {1011, 2}}));
}

TEST_F(ShowStepperTest, AHaltedShowStepsNoMoreUntilItGoesOn)
{
    MakeShow(3);
    stepper_.OnShowSlide = [this] {
        shown_.emplace_back(Now(), show_.CurrentIndex);
        if (show_.CurrentIndex == 1)
            stepper_.Halt(); // as a show none of whose pictures load
    };
    stepper_.TakeOver(&show_, true);
    RunUntil(5000);
    EXPECT_EQ(shown_, (TShown{{1, 0}, {1001, 1}}));
    EXPECT_FALSE(stepper_.TimerEnabled());
    EXPECT_TRUE(stepper_.Halted());
    stepper_.DiaTimerTimer(); // a sound's end asking for a check
    EXPECT_EQ(shown_.size(), 2u);

    // Going on after the end of the show gives the slide its whole pause.
    stepper_.ContinueStepping();
    EXPECT_FALSE(stepper_.Halted());
    RunUntil(7000);
    EXPECT_EQ(shown_, (TShown{{1, 0}, {1001, 1}, {6000, 2}, {7000, 0}}));
}

TEST_F(ShowStepperTest, ACheckAskedForDuringTheWaitRunsWhenTheCheckIsDone)
{
    // The sound's end is reported while the wait pumps messages, and asks
    // for a check at once: it runs after the one in progress, not inside it.
    MakeShow(2);
    show_.Pictures[0]->Sound = "s.wav";
    show_.Pictures[0]->SynchronizeWithSound = ssSyncExact;
    soundUntil_ = 100000;
    int depth = 0;
    int deepest = 0;
    stepper_.OnShowSlide = [&] {
        deepest = std::max(deepest, depth);
        shown_.emplace_back(Now(), show_.CurrentIndex);
    };
    stepper_.OnWait = [&] {
        if (Now() >= 2000 && !stepper_.SoundWaitReleased) {
            soundUntil_ = 0;
            stepper_.SoundWaitReleased = true;
            ++depth;
            stepper_.DiaTimerTimer();
            --depth;
        }
    };
    stepper_.TakeOver(&show_, true);
    RunUntil(2500);
    EXPECT_EQ(shown_, (TShown{{1, 0}, {2001, 1}}));
    EXPECT_EQ(deepest, 0);
}

} // namespace
