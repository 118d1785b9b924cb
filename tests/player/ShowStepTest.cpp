// The playback window's step loop: when slides come, which ones, pausing,
// positions set from outside, and shows that have nothing to show.

#include "ShowFixture.h"

#include "platform/ui/Messages.h"
#include "platform/ui/StdCtrls.h"
#include "player/AskRepeat.h"

using namespace showtest;

namespace {

using ShowStep = ShowFixture;

constexpr std::uint32_t Tick = 15; // the step check runs every 10 ms

TEST_F(ShowStep, SlidesWaitTheirOwnPauseOrTheShows)
{
    TVistelo& show = NewShow(3, 1000);
    show.Pictures[1]->Pause = 2500;
    Start();
    Run([&] { return Positions().size() >= 5; });
    ASSERT_GE(steps_.size(), 5u);
    // The pause runs from the start of a step, before its slide is drawn.
    const std::vector<std::pair<std::uint32_t, std::int32_t>> expected = {
        {0, 0}, {1000, 1}, {3500, 2}, {4500, 0}, {5500, 1}};
    std::vector<TStep> shown;
    for (const TStep& step : steps_)
        if (step.Position >= 0)
            shown.push_back(step);
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_NEAR(static_cast<double>(shown[i].At), expected[i].first, Tick) << i;
        EXPECT_EQ(shown[i].Position, expected[i].second) << i;
    }
}

TEST_F(ShowStep, WithoutStartImmediatelyTheFirstSlideWaitsForSpace)
{
    TVistelo& show = NewShow(2, 1000);
    show.StartImmediately = false;
    TShowForm& form = Start();
    bool pressed = false;
    std::uint32_t pressedAt = 0;
    Run([&] { return Positions().size() >= 2; }, 20000,
        [&] {
            if (!pressed && Elapsed() >= 5000) {
                EXPECT_EQ(Positions(), std::vector<std::int32_t>{0});
                EXPECT_TRUE(form.Stepper.Paused());
                EXPECT_TRUE(form.ShowStartBtn->Enabled());
                EXPECT_FALSE(form.ShowPauseBtn->Enabled());
                WORD space = VK_SPACE;
                form.Input->FormKeyUp(space, {});
                pressed = true;
                pressedAt = Elapsed();
            }
        });
    ASSERT_TRUE(pressed);
    EXPECT_EQ(Positions(), (std::vector<std::int32_t>{0, 1}));
    // Started again, the slide gets its full pause.
    EXPECT_NEAR(static_cast<double>(steps_.back().At), pressedAt + 1000.0, Tick);
    EXPECT_FALSE(form.Stepper.Paused());
}

TEST_F(ShowStep, SpacePausesARunningShowAndArrowsStepByHand)
{
    NewShow(3, 1000);
    TShowForm& form = Start();
    int stage = 0;
    Run([&] { return stage == 3; }, 30000,
        [&] {
            if (stage == 0 && Elapsed() >= 200) {
                WORD space = VK_SPACE;
                form.Input->FormKeyUp(space, {});
                EXPECT_TRUE(form.Stepper.Paused());
                ++stage;
            } else if (stage == 1 && Elapsed() >= 5000) {
                EXPECT_EQ(form.Stepper.Show->CurrentIndex, 0); // paused: no step for 5 s
                WORD right = VK_RIGHT;
                form.Input->FormKeyUp(right, {});
                EXPECT_EQ(form.Stepper.Show->CurrentIndex, 1);
                WORD left = VK_LEFT;
                form.Input->FormKeyUp(left, {});
                form.Input->FormKeyUp(left, {});
                EXPECT_EQ(form.Stepper.Show->CurrentIndex, 2); // wrapped backwards
                EXPECT_EQ(SlideColour(), Colour(2));
                ++stage;
            } else if (stage == 2) {
                ++stage;
            }
        });
    EXPECT_TRUE(form.Stepper.Paused());
}

TEST_F(ShowStep, HiddenSlidesAreSkippedAndTheShowWraps)
{
    struct Case {
        std::vector<bool> shown;
        std::vector<std::int32_t> expected;
    };
    const Case cases[] = {
        {{true, false, true, false}, {0, 2, 0, 2}},
        {{false, true, true}, {1, 2, 1, 2}},
        {{true, false, false}, {0}}, // the one visible slide stays on
    };
    for (const Case& c : cases) {
        steps_.clear();
        TVistelo& show = NewShow(static_cast<int>(c.shown.size()), 500);
        for (size_t i = 0; i < c.shown.size(); ++i)
            show.Pictures[i]->ShowImage = c.shown[i];
        Start();
        Run({}, 1900);
        EXPECT_EQ(Positions(), c.expected);
        delete ShowForm;
        ShowForm = nullptr;
    }
}

TEST_F(ShowStep, AShowWithNothingToShowClosesWithoutDrawing)
{
    for (int count : {0, 2}) {
        TVistelo& show = NewShow(count);
        for (auto& picture : show.Pictures)
            picture->ShowImage = false;
        for (TWhatToDoWhenVisteloEnds action : {deAutoRepeat, deExitImmediately}) {
            show.EndAction = action;
            TShowForm& form = Start();
            Run({}, 5000);
            EXPECT_LT(Elapsed(), 100u) << count << " " << int(action); // closed by itself
            EXPECT_EQ(form.Display->SlideBitmap->Width(), 0) << count; // nothing drawn
            delete ShowForm;
            ShowForm = nullptr;
        }
    }
}

TEST_F(ShowStep, SetVisteloPosShowsThePictureWithoutAdvancing)
{
    TVistelo& show = NewShow(4, 1000);
    TShowForm& form = Start();
    form.Stepper.SetVisteloPos(-1, false);
    EXPECT_EQ(show.CurrentIndex, -1);
    EXPECT_FALSE(form.Stepper.PositionSet);
    form.Stepper.SetVisteloPos(2, false);
    EXPECT_TRUE(form.Stepper.PositionSet);
    Run([&] { return !form.Stepper.PositionSet; }); // shown by the first step
    EXPECT_EQ(Positions().front(), 2);
    EXPECT_EQ(SlideColour(), Colour(2));

    // On a shuffled show the picture is found through the play order.
    show.RandomOrder = true;
    show.Order = {3, 1, 0, 2};
    form.Stepper.SetVisteloPos(0, true);
    EXPECT_EQ(show.CurrentIndex, 2);
    EXPECT_EQ(SlideColour(), Colour(0));
}

TEST_F(ShowStep, AMissingPictureIsSkippedOrShownAsAnErrorForItsPause)
{
    for (bool showError : {false, true}) {
        steps_.clear();
        TVistelo& show = NewShow(3, 1000);
        show.Pictures[1]->FileName = (folder_ / "missing.bmp").string();
        Setup::ShowErrorInShow = showError;
        Start();
        TColor duringError = clNone;
        Run([&] { return Positions().size() >= 3; }, 20000,
            [&] {
                if (ShowForm->Stepper.Show->CurrentIndex == 1 && duringError == clNone)
                    duringError = SlideColour();
            });
        std::vector<TStep> shown;
        for (const TStep& step : steps_)
            if (step.Position >= 0)
                shown.push_back(step);
        ASSERT_GE(shown.size(), 3u);
        EXPECT_EQ(shown[2].Position, 2);
        if (showError) {
            EXPECT_NEAR(static_cast<double>(shown[2].At), 2000, Tick);
            EXPECT_NE(duringError, Colour(0)); // the placeholder, not the slide before
        } else {
            EXPECT_NEAR(static_cast<double>(shown[2].At), 1000, Tick); // moved on at once
        }
        delete ShowForm;
        ShowForm = nullptr;
    }
}

TEST_F(ShowStep, AShowNoneOfWhosePicturesLoadSaysSoOnceAndEndsAsEscWould)
{
    struct Case {
        std::vector<bool> missing;
        std::vector<bool> shown;
        bool manualExitToo; // Esc asks first: the stopped question, answered "Nein, beenden"
        int firstMissing;   // -1: the show plays on
        size_t positions;   // play positions seen (at most)
    };
    const Case cases[] = {
        {{true, true, true}, {true, true, true}, false, 0, 3},
        {{true, true, true}, {false, true, true}, false, 1, 2}, // hidden slides are no part of the pass
        {{true}, {true}, false, 0, 1},
        {{true, true, true}, {true, true, true}, true, 0, 3},
        {{true, false, true}, {true, true, true}, false, -1, 20}, // one picture loads: skipped as before
    };
    for (const Case& c : cases) {
        steps_.clear();
        ui::ClearRecordedDialogs();
        TVistelo& show = NewShow(static_cast<int>(c.missing.size()), 500);
        show.ManualExitToo = c.manualExitToo;
        show.EndAction = c.manualExitToo ? deRepeatVistelo : deAutoRepeat;
        for (size_t i = 0; i < c.missing.size(); ++i) {
            if (c.missing[i])
                show.Pictures[i]->FileName = (folder_ / ("fehlt" + std::to_string(i) + ".bmp")).string();
            show.Pictures[i]->ShowImage = c.shown[i];
        }
        TShowForm& form = Start();
        int questions = 0;
        std::string wording;
        Run({}, 5000, [&] {
            if (auto* question = ModalForm<TAskRepeatForm>()) {
                ++questions;
                wording = question->QuestionLabel->Caption();
                question->EndButton->Click();
            }
        });
        std::vector<std::string> messages;
        for (const ui::TDialogRecord& dialog : ui::RecordedDialogs())
            messages.push_back(dialog.Request.Text);
        if (c.firstMissing < 0) {
            EXPECT_TRUE(messages.empty());
            EXPECT_FALSE(form.Stepper.ExitRequested);
            EXPECT_GE(Elapsed(), 5000u); // stepped on until the run's end closed it
        } else {
            ASSERT_EQ(messages.size(), 1u) << c.missing.size();
            EXPECT_NE(messages[0].find("Keines der Bilder dieser Vistelo wurde gefunden."), std::string::npos);
            const std::string first = (folder_ / ("fehlt" + std::to_string(c.firstMissing) + ".bmp")).string();
            EXPECT_NE(messages[0].find(first), std::string::npos) << messages[0];
            EXPECT_TRUE(form.Stepper.ExitRequested);
            EXPECT_LT(Elapsed(), 500u); // one pass, then the end, before a pause could pass
            EXPECT_LE(Positions().size(), c.positions);
            EXPECT_EQ(questions, c.manualExitToo ? 1 : 0);
            if (c.manualExitToo) {
                EXPECT_NE(wording.find("Die Vistelo wurde gestoppt."), std::string::npos);
            }
        }
        delete ShowForm;
        ShowForm = nullptr;
    }
}

TEST_F(ShowStep, ScreenSaverRequestsAreSwallowedOtherMessagesPassOn)
{
    std::vector<UINT> seen;
    Application->OnMessage = [&](TMsg& msg, bool&) { seen.push_back(msg.message); };
    NewShow(1);
    Start();
    struct Case {
        UINT message;
        WPARAM wParam;
        bool swallowed;
    };
    const Case cases[] = {
        {WM_SYSCOMMAND, SC_SCREENSAVE, true},
        {WM_SYSCOMMAND, SC_MONITORPOWER, true},
        {WM_SYSCOMMAND, SC_SCREENSAVE + 1, false},
        {WM_KEYDOWN, SC_SCREENSAVE, false},
    };
    for (const Case& c : cases) {
        seen.clear();
        TMsg msg;
        msg.message = c.message;
        msg.wParam = c.wParam;
        bool handled = false;
        Application->OnMessage(msg, handled);
        EXPECT_EQ(handled, c.swallowed) << c.message << " " << c.wParam;
        EXPECT_EQ(seen.empty(), c.swallowed) << c.message << " " << c.wParam;
    }
    delete ShowForm;
    ShowForm = nullptr;
    EXPECT_TRUE(Application->OnMessage); // the hook before is back
    seen.clear();
    TMsg msg;
    msg.message = WM_SYSCOMMAND;
    msg.wParam = SC_SCREENSAVE;
    bool handled = false;
    Application->OnMessage(msg, handled);
    EXPECT_EQ(seen.size(), 1u);
    Application->OnMessage = nullptr;
}

} // namespace
