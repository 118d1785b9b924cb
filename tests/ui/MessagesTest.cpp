// The message queue, raw window procedures and hidden-window timers.

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "UiFixture.h"
#include "platform/rtl/Threads.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/HiddenWindows.h"

namespace {

class MessagesTest : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        wnd_ = ui::AllocateHWnd([this](TMessage& m) {
            received_.push_back(m.Msg);
            if (m.Msg == WM_TIMER)
                timerIds_.push_back(m.WParam);
        });
    }
    void TearDown() override
    {
        ui::DeallocateHWnd(wnd_);
        UiTest::TearDown();
    }

    int CountQueued(UINT first, UINT last)
    {
        int n = 0;
        std::vector<TMsg> all;
        TMsg m;
        while (ui::PeekMessage(m, nullptr, 0, 0, PM_REMOVE))
            all.push_back(m);
        for (const TMsg& msg : all) {
            if (msg.message >= first && msg.message <= last)
                ++n;
            ui::PostMessage(msg.hwnd, msg.message, msg.wParam, msg.lParam);
        }
        return n;
    }

    HWND wnd_ = nullptr;
    std::vector<UINT> received_;
    std::vector<std::uintptr_t> timerIds_;
};

TEST_F(MessagesTest, PeekTakesTheFirstMessageInTheRangeAndLeavesTheRest)
{
    HWND other = ui::AllocateHWnd([](TMessage&) {});
    ui::PostMessage(wnd_, WM_MOUSEMOVE, 0, 0);
    ui::PostMessage(wnd_, WM_LBUTTONDOWN, 1, 0);
    ui::PostMessage(other, WM_LBUTTONDOWN, 2, 0);
    ui::PostMessage(wnd_, WM_KEYDOWN, VK_SPACE, 0);

    TMsg m;
    // Without removal the message stays.
    ASSERT_TRUE(ui::PeekMessage(m, wnd_, WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, PM_NOREMOVE));
    EXPECT_EQ(ui::QueuedMessageCount(), 4);
    // The range and the window filter both apply.
    ASSERT_TRUE(ui::PeekMessage(m, wnd_, WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, PM_REMOVE));
    EXPECT_EQ(m.wParam, 1u);
    EXPECT_FALSE(ui::PeekMessage(m, wnd_, WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, PM_REMOVE));
    EXPECT_EQ(CountQueued(WM_MOUSEFIRST, WM_MOUSELAST), 2);
    EXPECT_EQ(CountQueued(WM_KEYFIRST, WM_KEYLAST), 1);

    // Destroying a window drops what was queued for it.
    ui::DeallocateHWnd(other);
    EXPECT_EQ(CountQueued(WM_MOUSEFIRST, WM_MOUSELAST), 1);
    EXPECT_FALSE(ui::PostMessage(other, WM_USER, 0, 0));
}

TEST_F(MessagesTest, DispatchedMessagesReachTheWindowInOrder)
{
    ui::PostMessage(wnd_, WM_USER + 1, 0, 0);
    ui::PostMessage(wnd_, WM_USER + 2, 0, 0);
    Turn();
    EXPECT_EQ(received_, (std::vector<UINT>{WM_USER + 1, WM_USER + 2}));
}

TEST_F(MessagesTest, TranslateMessagePostsTheCharacterNext)
{
    TMsg key{wnd_, WM_KEYDOWN, 'A', 1, 0, {}, U'ä', 0};
    EXPECT_TRUE(ui::TranslateMessage(key));
    TMsg noChar{wnd_, WM_KEYDOWN, VK_LEFT, 1, 0, {}, 0, 0};
    EXPECT_FALSE(ui::TranslateMessage(noChar));
    TMsg m;
    ASSERT_TRUE(ui::PeekMessage(m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, WM_CHAR);
    EXPECT_EQ(m.wParam, static_cast<WPARAM>(U'ä'));
}

TEST_F(MessagesTest, SubclassedWindowPassesMessagesToThePreviousProcedure)
{
    std::vector<std::string> calls;
    WNDPROC previous;
    WNDPROC hook = ui::MakeWindowProc([&](HWND w, UINT msg, WPARAM wp, LPARAM lp) -> LRESULT {
        calls.push_back("hook");
        if (msg == WM_USER + 7)
            return 42; // handled here, not passed on
        return ui::CallWindowProc(previous, w, msg, wp, lp);
    });
    previous = ui::SetWindowProc(wnd_, hook);
    ASSERT_TRUE(previous);
    EXPECT_EQ(ui::GetWindowProc(wnd_), hook);

    EXPECT_EQ(ui::SendMessage(wnd_, WM_USER + 7, 0, 0), 42);
    ui::SendMessage(wnd_, WM_USER + 8, 0, 0);
    EXPECT_EQ(calls.size(), 2u);
    EXPECT_EQ(received_, (std::vector<UINT>{WM_USER + 8}));

    // Putting the old procedure back ends the hook.
    ui::SetWindowProc(wnd_, previous);
    ui::SendMessage(wnd_, WM_USER + 9, 0, 0);
    EXPECT_EQ(calls.size(), 2u);
}

TEST_F(MessagesTest, TimersFireWhenDueOnTheFakeClock)
{
    rtl::SetClockForTests(1000);
    ui::SetTimer(wnd_, 1, 100);
    ui::SetTimer(wnd_, 2, 250);
    rtl::AdvanceClockForTests(99);
    Turn();
    EXPECT_TRUE(timerIds_.empty());

    rtl::AdvanceClockForTests(1);
    Turn();
    EXPECT_EQ(timerIds_, (std::vector<std::uintptr_t>{1}));

    // Only one WM_TIMER per timer however late the loop turns.
    timerIds_.clear();
    rtl::AdvanceClockForTests(400);
    Turn();
    std::sort(timerIds_.begin(), timerIds_.end());
    EXPECT_EQ(timerIds_, (std::vector<std::uintptr_t>{1, 2}));

    EXPECT_TRUE(ui::KillTimer(wnd_, 1));
    EXPECT_FALSE(ui::KillTimer(wnd_, 1));
    timerIds_.clear();
    rtl::AdvanceClockForTests(1000);
    Turn();
    EXPECT_EQ(timerIds_, (std::vector<std::uintptr_t>{2}));
}

TEST_F(MessagesTest, TimerOfADestroyedWindowIsGone)
{
    rtl::SetClockForTests(0);
    HWND other = ui::AllocateHWnd([](TMessage& m) {
        if (m.Msg == WM_TIMER)
            ADD_FAILURE() << "timer of a destroyed window fired";
    });
    ui::SetTimer(other, 5, 10);
    ui::DeallocateHWnd(other);
    rtl::AdvanceClockForTests(20);
    Turn();
    EXPECT_FALSE(ui::MillisecondsToNextTimer().has_value());
    EXPECT_EQ(ui::SetTimer(other, 5, 10), 0u);
}

TEST_F(MessagesTest, TimerComponentFiresOnTheMainThreadWhileEnabled)
{
    rtl::SetClockForTests(0);
    TTimer timer(nullptr);
    int ticks = 0;
    timer.SetInterval(100);
    timer.OnTimer = [&](TObject* sender) {
        EXPECT_EQ(sender, &timer);
        ++ticks;
    };
    rtl::AdvanceClockForTests(100);
    Turn();
    EXPECT_EQ(ticks, 1);

    timer.SetEnabled(false);
    rtl::AdvanceClockForTests(300);
    Turn();
    EXPECT_EQ(ticks, 1);

    // A new interval starts a new period.
    timer.SetEnabled(true);
    timer.SetInterval(50);
    rtl::AdvanceClockForTests(50);
    Turn();
    EXPECT_EQ(ticks, 2);
}

TEST_F(MessagesTest, ExceptionInATimerGoesToTheApplicationsMessageBox)
{
    rtl::SetClockForTests(0);
    TTimer timer(nullptr);
    timer.SetInterval(10);
    timer.OnTimer = [](TObject*) { throw EInvalidOperation("Datei fehlt"); };
    rtl::AdvanceClockForTests(10);
    Turn();
    ASSERT_EQ(ui::RecordedDialogs().size(), 1u);
    EXPECT_EQ(ui::RecordedDialogs()[0].Request.Text, "Datei fehlt.");
    EXPECT_EQ(ui::RecordedDialogs()[0].Request.Buttons.size(), 1u);
}

TEST_F(MessagesTest, WorkerThreadCallsRunWhenTheLoopWaits)
{
    class Worker : public TThread {
    public:
        Worker() : TThread(false) { AfterConstruction(); }
        ~Worker() override { TerminateAndJoin(); }
        bool ran = false;
        bool ranOnMainThread = false;

    protected:
        void Execute() override
        {
            Synchronize([this] {
                ranOnMainThread = rtl::IsMainThread();
                ran = true;
            });
        }
    };
    Worker worker;
    // The wait returns as soon as the worker queues its call.
    for (int i = 0; i < 100 && !worker.ran; ++i)
        Application->HandleMessage();
    worker.WaitFor();
    EXPECT_TRUE(worker.ranOnMainThread);
}

} // namespace
