// The playback window's input and sound: the music list, slide sounds and
// their synchronisation with the step loop, the mute buttons, the comments
// box, the catalog round trip and the hidden cursor.

#include "ShowFixture.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "editor/app/CatalogUnit.h"
#include "editor/app/PicInfoUnit.h"
#include "media/TestSounds.h"
#include "platform/rtl/Files.h"
#include "platform/ui/Messages.h"
#include "platform/ui/StdCtrls.h"
#include "player/CommentsBox.h"
#include "player/PlayerAbout.h"
#include "player/PlayerCatalog.h"
#include "player/SpeedChg.h"
#include "widgets/Spin.h"

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

    // What the slide sound player plays: the file's name, or "-".
    std::string SoundPlaying(TShowForm& form)
    {
        return form.Sounds->SoundPlayer->Playing() ? rtl::ExtractFileName(form.SoundMediaPlayer->FileName) : "-";
    }

    // The release of a mouse button in the middle of the picture.
    static void ClickPicture(TShowForm& form, TMouseButton button)
    {
        form.DiaImage->OnMouseUp(form.DiaImage, button, {}, form.DiaImage->Width() / 2, form.DiaImage->Height() / 2);
    }
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
        TShowForm::RunCatalog = &PlayerCatalog::Run;
        EXPECT_EQ(modeInside, c.pausedBefore ? csmPauseMode : csmCatalogPause);
        EXPECT_EQ(form.Stepper.Paused(), c.pausedAfter) << c.pausedBefore << " " << c.choice;
        EXPECT_EQ(form.Stepper.Show->CurrentIndex, c.positionAfter) << c.pausedBefore << " " << c.choice;
        EXPECT_EQ(form.CatalogChoice, -1);
        delete ShowForm;
        ShowForm = nullptr;
    }
}

TEST_F(ShowInput, TheCatalogListsThePlayingShowAndStartsItAgainOrAtTheMarkedPicture)
{
    const struct {
        bool pausedBefore;
        TCatalogCommand command; // ccAbout: closed without a start command
        bool pausedAfter;
        std::int32_t positionAfter;
    } cases[] = {
        {false, ccStartAtMarked, false, 2},
        {true, ccStartShow, false, 0},
        {true, ccAbout, true, 0},
    };
    for (const auto& c : cases) {
        for (bool byKey : {true, false}) {
            steps_.clear();
            NewShow(3, 1000);
            TShowForm& form = Start();
            Run([&] { return !Positions().empty(); });
            if (c.pausedBefore)
                form.Stepper.Pause();
            int opened = 0;
            PlayerCatalog::OnShown = [&](TCatalogForm& catalog) {
                ++opened;
                EXPECT_EQ(PicInfoUnit::PicInfoAccessMethod, paCatalogVistelo);
                EXPECT_EQ(PicInfoUnit::AccessVistelo, form.Stepper.Show);
                EXPECT_EQ(catalog.PicCount(), 3);
                EXPECT_EQ(catalog.ItemIndex(), 0) << "the picture on screen";
                catalog.DoSelect(2, {}, true);
                if (c.command == ccAbout) {
                    catalog.DeletePicturesClick();
                    EXPECT_EQ(catalog.PicCount(), 3) << "this build changes nothing";
                } else {
                    catalog.RunHostCommand(c.command);
                }
            };
            ui::ClearRecordedDialogs();
            if (byKey) {
                char32_t a = U'a';
                form.Input->FormKeyPress(a);
            } else {
                form.SpeedButton5->Click();
            }
            PlayerCatalog::OnShown = nullptr;
            EXPECT_EQ(opened, 1);
            EXPECT_TRUE(ui::RecordedDialogs().empty());
            EXPECT_EQ(PicInfoUnit::AccessVistelo, nullptr) << "given back";
            EXPECT_EQ(form.Stepper.Paused(), c.pausedAfter) << c.command << " " << byKey;
            EXPECT_EQ(form.Stepper.Show->CurrentIndex, c.positionAfter) << c.command << " " << byKey;
            delete ShowForm;
            ShowForm = nullptr;
        }
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

namespace {

TEST_F(ShowInput, SlideSoundsStartAsTheShowSaysAndAMarkedOneGoesOnIntoSilentSlides)
{
    struct Case {
        bool autoStart;
        bool dontStop;                  // the first slide's sound goes on
        std::vector<std::string> heard; // on each of the three slides
    };
    const Case cases[] = {
        {false, false, {"-", "-", "-"}},
        {true, false, {"lang.wav", "-", "kurz.wav"}},
        {true, true, {"lang.wav", "lang.wav", "kurz.wav"}},
    };
    const std::string longSound = Wav("lang.wav", 30000);
    const std::string shortSound = Wav("kurz.wav", 5000);
    for (const Case& c : cases) {
        steps_.clear();
        TVistelo& show = NewShow(3, 500);
        show.AutoStartSound = c.autoStart;
        show.Pictures[0]->Sound = longSound;
        show.Pictures[0]->DontStopSound = c.dontStop;
        show.Pictures[2]->Sound = shortSound;
        for (auto& picture : show.Pictures)
            picture->SynchronizeWithSound = ssNoSync;
        TShowForm& form = Start();
        std::vector<std::string> heard;
        std::vector<bool> buttonEnabled;
        Run([&] { return heard.size() >= 3; }, 5000,
            [&] {
                if (heard.size() < Positions().size()) {
                    heard.push_back(SoundPlaying(form));
                    buttonEnabled.push_back(form.EnableSoundButton->Enabled());
                }
            });
        EXPECT_EQ(heard, c.heard) << c.autoStart << c.dontStop;
        // The sound button works only while a slide's own sound was started.
        EXPECT_EQ(buttonEnabled, (std::vector<bool>{c.autoStart, false, c.autoStart})) << c.autoStart << c.dontStop;
        delete ShowForm;
        ShowForm = nullptr;
    }
}

TEST_F(ShowInput, StopSoundBeforeBlendingSilencesTheOldSoundBeforeTheTransition)
{
    struct Case {
        bool stopBefore;
        bool dontStop; // the sound playing was marked to go on
        bool playingAtTransition;
    };
    const Case cases[] = {{false, false, true}, {true, false, false}, {true, true, true}};
    const std::string first = Wav("eins.wav", 30000);
    const std::string second = Wav("zwei.wav", 30000);
    for (const Case& c : cases) {
        steps_.clear();
        TVistelo& show = NewShow(2, 500);
        show.StopSoundBeforeBlending = c.stopBefore;
        show.Pictures[0]->Sound = first;
        show.Pictures[0]->DontStopSound = c.dontStop;
        show.Pictures[1]->Sound = second;
        for (auto& picture : show.Pictures)
            picture->SynchronizeWithSound = ssNoSync;
        TShowForm& form = Start();
        std::vector<std::string> atTransition; // the sound heard as each slide's transition begins
        auto before = form.Display->OnBeforeTransition;
        form.Display->OnBeforeTransition = [&, before](const TPicInfoObject& Pic) {
            before(Pic);
            atTransition.push_back(SoundPlaying(form));
        };
        std::string afterwards;
        Run([&] { return !afterwards.empty(); }, 5000,
            [&] {
                if (Positions().size() >= 2 && afterwards.empty())
                    afterwards = SoundPlaying(form);
            });
        ASSERT_EQ(atTransition.size(), 2u);
        EXPECT_EQ(atTransition[1], c.playingAtTransition ? "eins.wav" : "-") << c.stopBefore << c.dontStop;
        EXPECT_EQ(afterwards, "zwei.wav"); // the new slide's sound follows in every case
        delete ShowForm;
        ShowForm = nullptr;
    }
}

TEST_F(ShowInput, DontBreakMusicKeepsTheMusicPlayingIntoTheNextShow)
{
    for (bool dontBreak : {false, true}) {
        auto write = [&](const std::string& name, TColor colour, const std::string& music) {
            TConfigVistelo show;
            show.Pause = 500;
            show.Logo = lNoLogo;
            show.UseBlendings = false;
            show.EndAction = deAutoLoadNextVistelo;
            show.PlayMusic = true;
            show.AutoStartMusic = true;
            show.MusicFileNames = music + "\r\n";
            show.DontBreakMusic = dontBreak;
            show.AddDia(*Entry(Picture(name + ".bmp", colour)));
            const std::string path = (folder_ / (name + ".vsf")).string();
            EXPECT_TRUE(show.SaveToFile(path));
            return path;
        };
        const std::string a = write("a", clRed, Wav("musik_a.wav", 30000));
        const std::string b = write("b", clLime, Wav("musik_b.wav", 30000));
        show_ = std::make_unique<TVistelo>();
        ASSERT_EQ(show_->LoadFromFile(a, false, false), dlrOK);
        Setup::VisteloFilename = a;
        TShowForm& form = Start();
        form.End->ScanDirectory(rtl::ExtractFilePath(a));
        ASSERT_TRUE(form.Sounds->MusicPlayer->Playing());
        std::string musicOfB;
        bool playingIntoB = false;
        Run([&] { return !musicOfB.empty(); }, 5000,
            [&] {
                if (Setup::VisteloFilename == b && musicOfB.empty()) {
                    musicOfB = rtl::ExtractFileName(form.MusicMediaPlayer->FileName);
                    playingIntoB = form.Sounds->MusicPlayer->Playing();
                }
            });
        EXPECT_EQ(musicOfB, dontBreak ? "musik_a.wav" : "musik_b.wav") << dontBreak;
        EXPECT_TRUE(playingIntoB) << dontBreak;
        delete ShowForm;
        ShowForm = nullptr;
    }
}

TEST_F(ShowInput, PChangesThePauseOfTheRunningShow)
{
    struct Case {
        bool ok;
        std::int32_t pause; // the show's pause afterwards
    };
    for (const Case c : {Case{true, 3000}, Case{false, 1000}}) {
        steps_.clear();
        TVistelo& show = NewShow(3, 1000);
        TShowForm& form = Start();
        bool pressed = false;
        int dialogs = 0;
        Run([&] { return Positions().size() >= 3; }, 20000,
            [&] {
                if (auto* dialog = ModalForm<TSpeedChgForm>()) {
                    ++dialogs;
                    dialog->PauseEdit->SetValue(3000);
                    (c.ok ? dialog->OKButton : dialog->CancelButton)->Click();
                } else if (!pressed && Elapsed() >= 200) {
                    pressed = true;
                    char32_t p = U'p';
                    form.Input->FormKeyPress(p);
                }
            });
        EXPECT_EQ(dialogs, 1);
        EXPECT_EQ(show.Pause, c.pause);
        std::vector<TStep> shown;
        for (const TStep& step : steps_)
            if (step.Position >= 0)
                shown.push_back(step);
        ASSERT_EQ(shown.size(), 3u);
        // The slide on screen waits the new pause from its own start.
        EXPECT_NEAR(static_cast<double>(shown[1].At), c.pause, 15) << c.ok;
        EXPECT_NEAR(static_cast<double>(shown[2].At - shown[1].At), c.pause, 15) << c.ok;
        delete ShowForm;
        ShowForm = nullptr;
    }
}

TEST_F(ShowInput, ClicksInThePictureToggleTheNavigationBarAndTheWindowMode)
{
    TVistelo& show = NewShow(1, 100000);
    show.StartFullScreen = true;
    TShowForm& form = Start();
    struct Seen {
        bool bar;
        TWindowState state;
        TFormBorderStyle border;
        int slideHeight;
        int areaHeight;
        int slideWidth;
        int areaWidth;
    };
    std::vector<Seen> seen;
    auto look = [&] {
        seen.push_back({form.NavigationBarPanel->Visible(), form.WindowState(), form.BorderStyle(),
                        form.Display->SlideBitmap->Height(), form.DiaScrollBox->ClientHeight(),
                        form.Display->SlideBitmap->Width(), form.DiaScrollBox->ClientWidth()});
    };
    Run([&] { return seen.size() >= 5; }, 5000,
        [&] {
            if (Positions().empty() || !seen.empty())
                return;
            look();
            for (TMouseButton button : {mbLeft, mbLeft, mbRight, mbRight}) {
                ClickPicture(form, button);
                look();
            }
        });
    ASSERT_EQ(seen.size(), 5u);
    const std::vector<bool> bar = {seen[0].bar, seen[1].bar, seen[2].bar, seen[3].bar, seen[4].bar};
    EXPECT_EQ(bar, (std::vector<bool>{true, false, true, true, true}));
    // The left button gives the bar's height to the picture, which is drawn again to fill it.
    EXPECT_EQ(seen[1].areaHeight, seen[0].areaHeight + 28);
    // The right button makes the full screen a sizeable window and back.
    EXPECT_EQ(seen[0].state, wsMaximized);
    EXPECT_EQ(seen[0].border, bsNone);
    EXPECT_EQ(seen[3].state, wsNormal);
    EXPECT_EQ(seen[3].border, bsSizeable);
    EXPECT_LT(seen[3].areaWidth, seen[2].areaWidth);
    EXPECT_EQ(seen[4].state, wsMaximized);
    EXPECT_EQ(seen[4].border, bsNone);
    EXPECT_EQ(seen[4].areaWidth, seen[2].areaWidth);
    for (size_t i = 0; i < seen.size(); ++i) {
        EXPECT_EQ(seen[i].slideHeight, seen[i].areaHeight) << i;
        EXPECT_EQ(seen[i].slideWidth, seen[i].areaWidth) << i;
    }
}

} // namespace
