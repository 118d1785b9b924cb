// The playback window's input and sound: the music list, slide sounds and
// their synchronisation with the step loop, the mute buttons, the comments
// box, the catalog round trip and the hidden cursor.

#include "ShowFixture.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "media/TestSounds.h"
#include "platform/ui/Messages.h"
#include "platform/ui/StdCtrls.h"
#include "player/CommentsBox.h"
#include "player/PlayerAbout.h"

using namespace showtest;

namespace {

class ShowInput : public ShowFixture {
protected:
    void SetUp() override
    {
        testsounds::UseDummyAudioUnlessChosen();
        ShowFixture::SetUp();
    }

    std::string Wav(const std::string& name, int ms) { return testsounds::SineWav(folder_.string() + "/", name, ms); }
};

TEST_F(ShowInput, TheMusicListPlaysInOrderAndRewindsOnlyWhenAsked)
{
    struct Case {
        int lines;
        bool rewind;
        // Five calls: the name, "-" for the empty name that ends the list,
        // "!" for a call that finds the list finished.
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {1, true, {"m0", "m0", "m0", "m0", "m0"}},
        {1, false, {"m0", "-", "!", "!", "!"}},
        {3, true, {"m0", "m1", "m2", "m0", "m1"}},
        {3, false, {"m0", "m1", "m2", "-", "!"}},
    };
    for (const Case& c : cases) {
        TVistelo& show = NewShow(1);
        for (int i = 0; i < c.lines; ++i)
            show.MusicFileNames += "m" + std::to_string(i) + "\r\n";
        show.AutoRewind = c.rewind;
        TShowForm& form = Start();
        ASSERT_EQ(form.Sounds->MusicIndex, -1);
        std::vector<std::string> names;
        for (int call = 0; call < 5; ++call) {
            std::string name = "x";
            const bool found = form.Sounds->NextMusicFilename(name);
            names.push_back(!found ? (name.empty() ? "!" : "?") : name.empty() ? "-" : name);
        }
        EXPECT_EQ(names, c.names) << c.lines << " " << c.rewind;
        delete ShowForm;
        ShowForm = nullptr;
    }
}

TEST_F(ShowInput, MusicThatDoesNotLoadIsSkippedAndAutoStartDecidesTheFirstFile)
{
    struct Case {
        std::vector<std::string> files;
        bool autoStart;
        bool enabled;
        bool down;
        bool playing;
    };
    const std::string tone = Wav("tone.wav", 3000);
    const Case cases[] = {
        {{"missing1.wav", "missing2.mid"}, true, false, false, false},
        {{"missing1.wav", tone}, true, true, true, true},
        {{tone}, false, true, false, false},
    };
    for (const Case& c : cases) {
        TVistelo& show = NewShow(1);
        show.PlayMusic = true;
        show.AutoStartMusic = c.autoStart;
        for (const std::string& file : c.files)
            show.MusicFileNames += file + "\r\n";
        TShowForm& form = Start();
        EXPECT_EQ(form.EnableMusicButton->Enabled(), c.enabled) << c.files.size();
        EXPECT_EQ(form.EnableMusicButton->Down(), c.down) << c.files.size();
        EXPECT_EQ(form.Sounds->MusicPlayer->Playing(), c.playing) << c.files.size();
        if (c.enabled) {
            EXPECT_EQ(form.Sounds->MusicIndex, static_cast<int>(c.files.size()) - 1);
        }
        delete ShowForm;
        ShowForm = nullptr;
    }
}

TEST_F(ShowInput, MPressedWhileMusicPlaysStopsItAndItsRestart)
{
    TVistelo& show = NewShow(1);
    show.PlayMusic = true;
    show.MusicFileNames = Wav("tone.wav", 3000) + "\r\n";
    TShowForm& form = Start();
    ASSERT_TRUE(form.Sounds->MusicPlayer->Playing());
    char32_t m = U'm';
    form.Input->FormKeyPress(m);
    EXPECT_FALSE(form.Sounds->MusicPlayer->Playing());
    EXPECT_TRUE(SoundPlayerUnit::DontRestartMusic);
    EXPECT_FALSE(form.EnableMusicButton->Down());
    bool repeat = true;
    form.Sounds->MusicPlayerFinished(repeat);
    EXPECT_FALSE(repeat);
    form.Input->FormKeyPress(m);
    EXPECT_TRUE(form.Sounds->MusicPlayer->Playing());
    EXPECT_FALSE(SoundPlayerUnit::DontRestartMusic);
    EXPECT_TRUE(form.EnableMusicButton->Down());
}

TEST_F(ShowInput, SlideSoundsHoldTheStepByTheirSynchronisation)
{
    // A long sound plays on while the fake clock runs; its end is reported
    // at 3000 ms as the sound player reports it.
    struct Case {
        TSoundSync sync;
        std::uint32_t stepAt; // when the second slide comes
        bool stepInsideEnd;   // the step runs from the end report itself
        bool repeatAfterEnd;  // a repeating sound goes on
    };
    const Case cases[] = {
        {ssNoSync, 1000, false, true},
        {ssSync, 3000, false, true},
        {ssSyncExact, 3000, true, false},
    };
    const std::string sound = Wav("long.wav", 30000);
    for (const Case& c : cases) {
        steps_.clear();
        TVistelo& show = NewShow(2, 1000);
        show.Pictures[0]->Sound = sound;
        show.Pictures[0]->SynchronizeWithSound = c.sync;
        show.Pictures[0]->RepeatSound = true;
        TShowForm& form = Start();
        bool playing = false;
        bool ended = false;
        bool stepInsideEnd = false;
        bool repeat = true;
        Run([&] { return Positions().size() >= 2; }, 10000,
            [&] {
                if (Positions().size() == 1 && !playing) {
                    // The device starts in real time: wait for it, off the fake clock.
                    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(3);
                    while (!(playing = form.Sounds->SoundPlayer->Playing()) && std::chrono::steady_clock::now() < until)
                        std::this_thread::sleep_for(std::chrono::milliseconds(5));
                }
                if (Positions().size() == 1 && !ended && Elapsed() >= 3000) {
                    ended = true;
                    form.Sounds->SoundPlayerFinished(repeat);
                    stepInsideEnd = form.Stepper.Show->CurrentIndex == 1;
                }
            });
        if (!playing)
            GTEST_SKIP() << "the audio device did not play the sound";
        const std::vector<TStep> shown(
            std::find_if(steps_.begin(), steps_.end(), [](const TStep& s) { return s.Position == 1; }), steps_.end());
        ASSERT_FALSE(shown.empty()) << int(c.sync);
        EXPECT_NEAR(static_cast<double>(shown.front().At), c.stepAt, 15) << int(c.sync);
        EXPECT_EQ(stepInsideEnd, c.stepInsideEnd) << int(c.sync);
        if (ended) {
            EXPECT_EQ(repeat, c.repeatAfterEnd) << int(c.sync);
        }
        delete ShowForm;
        ShowForm = nullptr;
    }
}

TEST_F(ShowInput, MutedSlideSoundsStayMutedForTheFollowingSlides)
{
    TVistelo& show = NewShow(3, 500);
    const std::string sound = Wav("s.wav", 2000);
    for (auto& picture : show.Pictures) {
        picture->Sound = sound;
        picture->SynchronizeWithSound = ssNoSync;
    }
    TShowForm& form = Start();
    std::vector<bool> playing;
    bool muted = false;
    Run([&] { return Positions().size() >= 3; }, 20000,
        [&] {
            if (!muted && !Positions().empty()) {
                EXPECT_TRUE(form.Sounds->SoundPlayer->Playing());
                char32_t s = U'S';
                form.Input->FormKeyPress(s);
                muted = true;
            }
            if (playing.size() < Positions().size())
                playing.push_back(form.Sounds->SoundPlayer->Playing());
        });
    EXPECT_TRUE(form.Sounds->SoundPlayer->Muted);
    EXPECT_FALSE(form.EnableSoundButton->Down());
    EXPECT_EQ(playing, (std::vector<bool>{false, false, false}));
}

TEST_F(ShowInput, KTogglesTheCommentsBoxWithTheSlidesComment)
{
    TVistelo& show = NewShow(2, 500);
    show.Pictures[0]->Comments = "Erstes";
    show.Pictures[1]->Comments = "Zweites";
    TShowForm& form = Start();
    std::vector<std::string> memo;
    char32_t k = U'k';
    Run([&] { return memo.size() >= 3; }, 5000,
        [&] {
            if (memo.empty() && Positions().size() == 1) {
                form.Input->FormKeyPress(k);
                ASSERT_NE(form.CommentsBox, nullptr);
                EXPECT_TRUE(form.CommentsBoxWanted);
                EXPECT_TRUE(form.CommentsBoxToggled);
                memo.push_back(form.CommentsBox->CommentsMemo->Text());
            } else if (memo.size() == 1 && Positions().size() == 2) {
                ASSERT_NE(form.CommentsBox, nullptr);
                memo.push_back(form.CommentsBox->CommentsMemo->Text());
                form.Input->FormKeyPress(k);
                EXPECT_EQ(form.CommentsBox, nullptr);
                EXPECT_FALSE(form.CommentsBoxWanted);
                memo.push_back("closed");
            }
        });
    EXPECT_EQ(memo, (std::vector<std::string>{"Erstes", "Zweites", "closed"}));
}

TEST_F(ShowInput, IOpensTheAboutBoxAlsoWithoutTheInfoButton)
{
    const bool saved = Setup::DontShowInfoBtn;
    for (bool hidden : {false, true}) {
        Setup::DontShowInfoBtn = hidden;
        TVistelo& show = NewShow(1);
        show.AboutText = "Über diese Vistelo";
        TShowForm& form = Start();
        EXPECT_EQ(form.InfoBtn == nullptr, hidden);
        EXPECT_EQ(form.FithSeparator == nullptr, hidden);
        int boxes = 0;
        std::string text;
        Application->OnIdle = [&](TObject*, bool&) {
            if (auto* about = ModalForm<TPlayerAboutForm>()) {
                ++boxes;
                text = about->AboutText;
                about->OKButton->Click();
            }
        };
        char32_t i = U'i';
        form.Input->FormKeyPress(i);
        Application->OnIdle = nullptr;
        EXPECT_EQ(boxes, 1) << hidden;
        EXPECT_EQ(text, show.AboutText) << hidden;
        delete ShowForm;
        ShowForm = nullptr;
    }
    Setup::DontShowInfoBtn = saved;
}

TEST_F(ShowInput, TheCatalogRoundTripResumesOrJumps)
{
    struct Case {
        bool pausedBefore;
        TCatalogStopMode askedMode; // csmNone: closed without a command
        std::int32_t choice;
        bool pausedAfter;
        std::int32_t positionAfter;
    };
    const Case cases[] = {
        {false, csmNone, -1, false, 0},   {true, csmNone, -1, true, 0},
        {true, csmRunning, -1, false, 0}, {false, csmNone, 0, false, 0}, // the picture on screen: no jump
        {false, csmNone, 2, false, 2},    {true, csmNone, 2, true, 2},
    };
    for (const Case& c : cases) {
        steps_.clear();
        NewShow(3, 1000);
        TShowForm& form = Start();
        Run([&] { return !Positions().empty(); });
        if (c.pausedBefore)
            form.Stepper.Pause();
        else
            form.Stepper.Start();
        TCatalogStopMode modeInside = csmNone;
        TShowForm::RunCatalog = [&](TShowForm& shown) {
            modeInside = shown.CatalogStopMode;
            EXPECT_TRUE(shown.Stepper.Paused());
            if (c.askedMode != csmNone)
                shown.CatalogStopMode = c.askedMode;
            shown.CatalogChoice = c.choice;
        };
        char32_t a = U'A';
        form.Input->FormKeyPress(a);
        TShowForm::RunCatalog = nullptr;
        EXPECT_EQ(modeInside, c.pausedBefore ? csmPauseMode : csmCatalogPause);
        EXPECT_EQ(form.Stepper.Paused(), c.pausedAfter) << c.pausedBefore << " " << c.choice;
        EXPECT_EQ(form.Stepper.Show->CurrentIndex, c.positionAfter) << c.pausedBefore << " " << c.choice;
        EXPECT_EQ(form.CatalogChoice, -1);
        delete ShowForm;
        ShowForm = nullptr;
    }
}

TEST_F(ShowInput, WithoutACatalogTheKeyAndTheButtonSaySoAndTheShowGoesOn)
{
    for (bool byKey : {true, false}) {
        steps_.clear();
        NewShow(3, 1000);
        TShowForm& form = Start();
        Run([&] { return !Positions().empty(); });
        ui::ClearRecordedDialogs();
        if (byKey) {
            char32_t a = U'a';
            form.Input->FormKeyPress(a);
        } else {
            form.SpeedButton5->Click();
        }
        ASSERT_EQ(ui::RecordedDialogs().size(), 1u) << byKey;
        EXPECT_EQ(ui::RecordedDialogs()[0].Request.Text, "Der Katalog ist noch nicht verfügbar.");
        EXPECT_FALSE(form.Stepper.Paused()) << byKey;
        EXPECT_EQ(form.Stepper.Show->CurrentIndex, 0) << byKey;
        delete ShowForm;
        ShowForm = nullptr;
    }
}

TEST_F(ShowInput, TheCursorHidesAfterThreeStillSecondsOverThePictureAndComesBack)
{
    NewShow(1, 100000);
    TShowForm& form = Start();
    std::uint32_t hiddenAt = 0;
    bool moved = false;
    bool focused = false;
    Run([&] { return moved && form.Input->CursorVisible; }, 20000,
        [&] {
            focused = focused || form.Active();
            if (Elapsed() < 50) {
                const TPoint centre = form.DiaScrollBox->ClientToScreen(
                    TPoint{form.DiaScrollBox->ClientWidth() / 2, form.DiaScrollBox->ClientHeight() / 2});
                ui::SetCursorPos(centre.X, centre.Y);
            }
            if (!form.Input->CursorVisible && hiddenAt == 0) {
                hiddenAt = Elapsed();
                TPoint now;
                ui::GetCursorPos(now);
                ui::SetCursorPos(now.X + 5, now.Y);
                moved = true;
            }
        });
    if (!focused)
        GTEST_SKIP() << "the offscreen platform gave the window no focus";
    EXPECT_GE(hiddenAt, 3000u);
    EXPECT_LE(hiddenAt, 3500u);
    EXPECT_TRUE(form.Input->CursorVisible);
}

} // namespace
