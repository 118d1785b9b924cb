// The change on the fake clock: when each picture is set, the position kept
// for the next start, the interval and the pause.

#include "wallpaper/WallPaperShow.h"

#include <gtest/gtest.h>

#include "core/VisteloNPics.h"
#include "platform/rtl/Clock.h"
#include "platform/ui/EventLoop.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"
#include "ui/UiFixture.h"
#include "wallpaper/WallpaperScratch.h"

namespace {

struct TSet {
    std::string File;
    std::uint32_t At;
};

class WallPaperShowTest : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        scratch_ = std::make_unique<TWallpaperScratch>();
        rtl::SetClockForTests(0);
        ui::SetVirtualTimeForTests(true);
        owner_ = std::make_unique<TComponent>(nullptr);
        changer_ = std::make_unique<TWallPaperShow>(owner_.get());
        changer_->SetAsWinBackground = [this](TPicInfoObject* pic) {
            sets_.push_back({pic->FileName, rtl::GetTickCount()});
            return true;
        };
    }
    void TearDown() override
    {
        changer_.reset();
        owner_.reset();
        scratch_.reset();
        UiTest::TearDown();
    }
    // Lets the loop run (on the fake clock) until count pictures were set.
    void RunUntilSet(std::size_t count)
    {
        for (int turn = 0; turn < 10000 && sets_.size() < count; ++turn)
            Application->HandleMessage();
    }
    // Lets the fake clock run for ms.
    void RunFor(std::uint32_t ms)
    {
        const std::uint32_t end = rtl::GetTickCount() + ms;
        TTimer stop(nullptr);
        stop.SetInterval(ms);
        bool stopped = false;
        stop.OnTimer = [&](TObject*) { stopped = true; };
        while (!stopped && rtl::GetTickCount() <= end)
            Application->HandleMessage();
    }

    std::unique_ptr<TWallpaperScratch> scratch_;
    std::unique_ptr<TComponent> owner_; // of the change timer
    std::unique_ptr<TWallPaperShow> changer_;
    std::vector<TSet> sets_;
};

TEST_F(WallPaperShowTest, WithoutAShowNothingStarts)
{
    changer_->StartShow();
    EXPECT_FALSE(changer_->WallPaperTimer->Enabled());
    EXPECT_FALSE(changer_->HasPictures());
    changer_->WallPaperTimerTimer(false);
    EXPECT_TRUE(sets_.empty());
    EXPECT_TRUE(ui::RecordedDialogs().empty());
}

TEST_F(WallPaperShowTest, EachPictureIsSetOneIntervalAfterTheOneBeforeFromTheStoredPosition)
{
    WallPaperSetup::ShowFilename = scratch_->WriteShow("Drei.vsf", {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)});
    WallPaperSetup::UserInterval = 60000;
    WallPaperSetup::ShowPos = 1;
    changer_->StartShow();
    EXPECT_TRUE(changer_->WallPaperTimer->Enabled());
    EXPECT_EQ(changer_->WallPaperTimer->Interval(), 60000u);
    EXPECT_EQ(Setup::VisteloFilename, WallPaperSetup::ShowFilename);
    RunUntilSet(3);
    ASSERT_EQ(sets_.size(), 3u);
    EXPECT_EQ(sets_[0].File, "Bild1.bmp");
    EXPECT_EQ(sets_[0].At, 60000u) << "one full interval after the start";
    EXPECT_EQ(sets_[1].File, "Bild2.bmp");
    EXPECT_EQ(sets_[1].At, 120000u);
    EXPECT_EQ(sets_[2].File, "Bild0.bmp") << "after the last picture the first";
    EXPECT_EQ(WallPaperSetup::ShowPos, 1) << "the picture the next tick sets";
    EXPECT_TRUE(Setup::BackgroundSaveChange);
}

TEST_F(WallPaperShowTest, AStoredPositionBeyondTheShowLeavesTheLoadersPosition)
{
    WallPaperSetup::ShowFilename = scratch_->WriteShow("Zwei.vsf", {RGB(255, 0, 0), RGB(0, 255, 0)});
    WallPaperSetup::ShowPos = 2;
    changer_->StartShow();
    changer_->WallPaperTimerTimer(true);
    changer_->WallPaperTimerTimer(true);
    ASSERT_FALSE(sets_.empty());
    EXPECT_EQ(sets_.back().File, "Bild0.bmp");
    EXPECT_EQ(WallPaperSetup::ShowPos, 1);
}

TEST_F(WallPaperShowTest, TheIntervalIsTheShowsPauseUnlessTheUsersIsChosen)
{
    WallPaperSetup::ShowFilename = scratch_->WriteShow("Pause.vsf", {RGB(1, 2, 3)}, 7000);
    WallPaperSetup::UseUserInterval = false;
    changer_->StartShow();
    EXPECT_EQ(changer_->WallPaperTimer->Interval(), 7000u);
    WallPaperSetup::UseUserInterval = true;
    WallPaperSetup::UserInterval = 90000;
    changer_->SetTimerInterval();
    EXPECT_EQ(changer_->WallPaperTimer->Interval(), 90000u);
    WallPaperSetup::UserInterval = -5;
    changer_->SetTimerInterval();
    EXPECT_EQ(changer_->WallPaperTimer->Interval(), 0u) << "no interval: the timer never fires";
}

TEST_F(WallPaperShowTest, ThePauseStopsTheTimerButNotTheChangeByHand)
{
    WallPaperSetup::ShowFilename = scratch_->WriteShow("Zwei.vsf", {RGB(255, 0, 0), RGB(0, 255, 0)});
    WallPaperSetup::UserInterval = 1000;
    changer_->StartShow();
    changer_->SetPaused(true);
    EXPECT_FALSE(changer_->WallPaperTimer->Enabled());
    RunFor(5000);
    changer_->WallPaperTimerTimer(true); // a tick already queued
    EXPECT_TRUE(sets_.empty());
    changer_->WallPaperTimerTimer(false);
    ASSERT_EQ(sets_.size(), 1u);
    EXPECT_EQ(sets_[0].File, "Bild0.bmp");
    changer_->SetPaused(false);
    EXPECT_TRUE(changer_->WallPaperTimer->Enabled());
    RunUntilSet(2);
    EXPECT_EQ(sets_.back().File, "Bild1.bmp");
}

TEST_F(WallPaperShowTest, AShowThatCannotBeLoadedIsReportedAndLeavesTheTimer)
{
    WallPaperSetup::ShowFilename = scratch_->File("fehlt.vsf");
    changer_->StartShow();
    EXPECT_FALSE(changer_->WallPaperTimer->Enabled());
    ASSERT_EQ(ui::RecordedDialogs().size(), 1u);
    EXPECT_EQ(ui::RecordedDialogs()[0].Request.Text,
              "Vistelo \"" + WallPaperSetup::ShowFilename + "\" konnte nicht geladen werden!");
}

TEST_F(WallPaperShowTest, AnEmptyShowSetsNothing)
{
    WallPaperSetup::ShowFilename = scratch_->WriteShow("Leer.vsf", {});
    changer_->StartShow();
    EXPECT_FALSE(changer_->HasPictures());
    changer_->WallPaperTimerTimer(false);
    EXPECT_TRUE(sets_.empty());
}

} // namespace
