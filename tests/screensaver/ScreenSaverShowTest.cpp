// The screen saver's window: the placeholder show for a show that does not
// load, the settings forced on every show, and the input that ends it, as
// rules and on the window itself.

#include "core/PictureAhead.h"
#include "core/VisteloNPics.h"
#include "editor/app/PicInfoUnit.h"
#include "platform/graphics/Bitmap.h"
#include "platform/ui/Forms.h"
#include "platform/ui/TestDriver.h"
#include "rtl/StorageTestSupport.h"
#include "screensaver/ScreenSaverInput.h"
#include "screensaver/ScreenSaverSetup.h"
#include "screensaver/Show.h"
#include "tests/support/QuadrantPattern.h"
#include "tests/support/ScopedEnvironment.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <set>
#include <string>

namespace {

TEST(ScreenSaverShow, ThePlaceholderShowHasTenRedCommentsOnRandomBackgrounds)
{
    TVistelo show;
    Show::FillPlaceholderShow(show);
    ASSERT_EQ(show.Count, 10);
    std::set<TColor> backgrounds;
    for (int i = 0; i < show.Count; ++i) {
        const TPicInfoObject& pic = *show.GetPicInfo(i);
        EXPECT_TRUE(pic.FileName.empty());
        EXPECT_EQ(pic.Comments, "Keine Vistelo angegeben.\rBitte prüfen Sie die Einstellungen.");
        ASSERT_TRUE(pic.CommentFont);
        EXPECT_EQ(pic.CommentFont->Color(), TColor(255));
        EXPECT_EQ(pic.CommentEffects, ceBorder);
        EXPECT_EQ(pic.EffectColor1, TColor(0));
        EXPECT_EQ(pic.CommentAlignment, caCenter);
        EXPECT_EQ(pic.CommentPlacement, cpPictureMiddle);
        EXPECT_LE(pic.BackgroundColor, TColor(0xFFFFFE));
        backgrounds.insert(pic.BackgroundColor);
    }
    // Drawn afresh for each slide: ten equal colours would mean one draw.
    EXPECT_GT(backgrounds.size(), 1u);
}

TEST(ScreenSaverShow, EveryShowRepeatsWithoutBarFullScreenAndMuteSilencesIt)
{
    for (const bool mute : {false, true}) {
        TVistelo show;
        show.EndAction = deExitImmediately;
        show.PlayMusic = true;
        show.AutoStartMusic = true;
        show.AutoStartSound = true;
        show.ShowNavigationBar = true;
        show.StartFullScreen = false;
        show.StartImmediately = false;
        Show::ForceScreenSaverSettings(show, mute);
        EXPECT_EQ(show.EndAction, deAutoRepeat);
        EXPECT_EQ(show.PlayMusic, !mute);
        EXPECT_EQ(show.AutoStartMusic, !mute);
        EXPECT_EQ(show.AutoStartSound, !mute);
        EXPECT_FALSE(show.ShowNavigationBar);
        EXPECT_TRUE(show.StartFullScreen);
        EXPECT_TRUE(show.StartImmediately);
    }
}

// A run reads the configured show, and starts its first picture for the
// screen, before the toolkit starts; what it cannot read is left to the run.
TEST(ScreenSaverShow, ARunIsPreparedFromTheConfiguredShowBeforeTheToolkitStarts)
{
    TempFolder temp;
    const testenv::TScopedVariable hive("VISTELO_REGISTRY", temp.File("hive.reg"));
    TBitmap(64, 48, pf24bit).SaveToFile(temp.File("Bild.bmp"));
    TConfigVistelo written;
    pattern::MakeOneSlideShow(written, "Bild.bmp");
    written.StartFullScreen = false;
    ASSERT_TRUE(written.SaveToFile(temp.File("Schau.vsf")));

    struct Case {
        const char* show;
        std::optional<TSize> screen;
        bool read;
        bool picture;
    };
    const Case cases[] = {
        {"Schau.vsf", TSize{1280, 720}, true, true},
        {"Schau.vsf", std::nullopt, true, false},
        {"Fehlt.vsf", TSize{1280, 720}, false, false},
    };
    for (const Case& c : cases) {
        ScreenSaverSetup::Filename = temp.File(c.show);
        ScreenSaverSetup::Mute = false;
        ScreenSaverSetup::WriteScreenSaverSettings();
        ScreenSaverSetup::Filename.clear();
        const std::unique_ptr<TShowStartAhead> start = Show::PrepareScreenSaverRun(c.screen);
        ASSERT_EQ(start->Show != nullptr, c.read) << c.show;
        EXPECT_EQ(start->FirstPicture != nullptr, c.picture) << c.show;
        if (start->Show) {
            EXPECT_TRUE(start->Show->StartFullScreen) << "read as the saver plays it";
        }
        if (start->FirstPicture) {
            EXPECT_TRUE(start->FirstPicture->IsFor(0, temp.File("Bild.bmp")));
        }
    }
}

TEST(ScreenSaverInputRules, RunModeEndsOnInputAndPreviewOnlyOnClose)
{
    struct Case {
        bool preview;
        bool ignoreOthers;
        UINT message;
        WPARAM wParam;
        TInputReaction reaction;
    };
    const Case cases[] = {
        {false, false, WM_KEYDOWN, 'A', irClose},
        {false, false, WM_KEYUP, 'A', irClose},
        {false, false, WM_SYSKEYDOWN, 0, irClose},
        {false, false, WM_SYSKEYUP, 0, irClose},
        {false, false, WM_LBUTTONDOWN, 0, irClose},
        {false, false, WM_RBUTTONUP, 0, irClose},
        {false, false, WM_MBUTTONDOWN, 0, irClose},
        {false, false, WM_CLOSE, 0, irClose},
        {false, false, WM_ACTIVATE, WA_INACTIVE, irClose},
        {false, false, WM_ACTIVATEAPP, 0, irClose},
        {false, false, WM_NCACTIVATE, 0, irClose},
        {false, false, WM_ACTIVATE, WA_ACTIVE, irHandled},
        {false, true, WM_ACTIVATE, WA_INACTIVE, irHandled},
        {false, true, WM_NCACTIVATE, 0, irHandled},
        {false, true, WM_KEYDOWN, 'A', irClose},
        {false, false, WM_SYSCOMMAND, SC_SCREENSAVE, irHandled},
        {false, false, WM_SYSCOMMAND, SC_CLOSE, irHandled},
        {false, false, WM_SYSCOMMAND, SC_MINIMIZE, irPass},
        {false, false, WM_PAINT, 0, irPass},
        {true, false, WM_KEYDOWN, 'A', irPass},
        {true, false, WM_LBUTTONDOWN, 0, irPass},
        {true, false, WM_ACTIVATE, WA_INACTIVE, irPass},
        {true, false, WM_MOUSEMOVE, 0, irPass},
        {true, false, WM_CLOSE, 0, irClose},
    };
    for (const Case& c : cases) {
        TScreenSaverInput input;
        input.Preview = c.preview;
        input.IgnoreOtherApplications = c.ignoreOthers;
        EXPECT_EQ(input.React(c.message, c.wParam, TPoint{10, 10}), c.reaction)
            << std::hex << c.message << " " << c.wParam << " preview " << c.preview << " ignore " << c.ignoreOthers;
    }
}

TEST(ScreenSaverInputRules, ThePointerMayTravelFivePixelsFromTheFirstPositionSeen)
{
    struct Case {
        TPoint to;
        TInputReaction reaction;
    };
    const Case cases[] = {
        {{105, 200}, irHandled}, {{95, 200}, irHandled}, {{100, 205}, irHandled}, {{105, 195}, irHandled},
        {{106, 200}, irClose},   {{94, 200}, irClose},   {{100, 206}, irClose},   {{100, 194}, irClose},
    };
    for (const Case& c : cases) {
        TScreenSaverInput input;
        EXPECT_EQ(input.React(WM_MOUSEMOVE, 0, TPoint{100, 200}), irHandled);
        EXPECT_EQ(input.Origin.X, 100);
        EXPECT_EQ(input.React(WM_MOUSEMOVE, 0, c.to), c.reaction) << c.to.X << "," << c.to.Y;
    }
    // A new origin (after the password check) counts from the position seen next.
    TScreenSaverInput input;
    input.React(WM_MOUSEMOVE, 0, TPoint{100, 200});
    input.Origin = TPoint{-1, -1};
    EXPECT_EQ(input.React(WM_MOUSEMOVE, 0, TPoint{300, 300}), irHandled);
    EXPECT_EQ(input.React(WM_MOUSEMOVE, 0, TPoint{304, 300}), irHandled);
}

// The window itself, fed input as the window system delivers it.
class ScreenSaverWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        Application->Initialize();
        Show::FillPlaceholderShow(show_);
        Show::ForceScreenSaverSettings(show_, true);
        show_.Pause = 60000;
    }
    void TearDown() override { delete form_; }

    TShowForm& Start(bool preview, bool ignoreOthers)
    {
        form_ = new TShowForm(nullptr, preview);
        form_->Input.IgnoreOtherApplications = ignoreOthers;
        form_->InitVistelo(&show_);
        form_->Show();
        ui::test::ActivateWindow(form_);
        Turn();
        return *form_;
    }
    void Turn()
    {
        for (int i = 0; i < 5; ++i)
            Application->ProcessMessages();
    }
    bool Ended() const { return form_->ModalResult != mrNone; }

    TVistelo show_;
    TShowForm* form_ = nullptr;
};

TEST_F(ScreenSaverWindow, AKeyEndsTheRunButNotThePreview)
{
    for (const bool preview : {false, true}) {
        TShowForm& form = Start(preview, false);
        ASSERT_FALSE(Ended());
        ui::test::SendKey(&form, ui::test::TKeyAction::Press, ui::test::Letter('A'));
        Turn();
        EXPECT_EQ(Ended(), !preview) << "preview " << preview;
        delete form_;
        form_ = nullptr;
    }
}

TEST_F(ScreenSaverWindow, APointerMoveOfSixPixelsEndsTheRunAndFiveDoNot)
{
    TShowForm& form = Start(false, false);
    ui::test::MoveMouse(&form, TPoint{100, 100});
    Turn();
    ui::test::MoveMouse(&form, TPoint{105, 100});
    Turn();
    ui::test::MoveMouse(&form, TPoint{100, 95});
    Turn();
    EXPECT_FALSE(Ended());
    ui::test::MoveMouse(&form, TPoint{106, 100});
    Turn();
    EXPECT_TRUE(Ended());
}

TEST_F(ScreenSaverWindow, LosingTheActivationEndsTheRunUnlessOtherApplicationsAreIgnored)
{
    for (const bool ignore : {false, true}) {
        Start(false, ignore);
        ui::test::DeactivateWindow(form_);
        Turn();
        EXPECT_EQ(Ended(), !ignore) << "ignore " << ignore;
        delete form_;
        form_ = nullptr;
    }
}

// The first slide comes at once; then the window sleeps until its pause
// (a minute here) has passed instead of waking every few milliseconds.
TEST_F(ScreenSaverWindow, TheFirstSlideIsDrawnAtOnceAndStandsWithoutPolling)
{
    TShowForm& form = Start(false, false);
    for (int i = 0; i < 50 && form.Display->FirstSlide; ++i)
        Turn();
    EXPECT_FALSE(form.Display->FirstSlide);
    EXPECT_EQ(form.Stepper.PictureOnScreen(), 0);
    EXPECT_FALSE(form.Stepper.Paused());
    EXPECT_TRUE(form.DiaTimer->Enabled());
    EXPECT_GT(form.DiaTimer->Interval(), 50000u);
    EXPECT_LE(form.DiaTimer->Interval(), 60000u);
}

} // namespace
