#include "core/SoundPlayerUnit.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>

#include "media/TestSounds.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/Threads.h"
#include "platform/ui/EventLoop.h"
#include "platform/ui/Forms.h"

namespace {

using namespace testsounds;

// Two sound players sharing one decoder player on the real module, with the
// fake clock driving their polling timers; the sounds themselves play in
// real time on SDL's dummy driver, so they are short.
class SoundPlayerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        UseDummyAudioUnlessChosen();
        ui::EnsurePlatform();
        rtl::SetClockForTests(1000);
        folder_ = TempFolder();
        decoder_.PathToDLL = VISTELO_ELAMP_MODULE;
        decoder_.Init();
        music_ = std::make_unique<TSoundPlayer>(&musicMedia_, &decoder_, &musicTimer_);
        slide_ = std::make_unique<TSoundPlayer>(&slideMedia_, &decoder_, &slideTimer_);
        music_->OnFinished = [this](TObject*, bool& repeat) {
            ++finished_;
            if (clearRepeat_)
                repeat = false;
        };
        SoundPlayerUnit::DontRestartMusic = false;
    }

    void TearDown() override
    {
        slide_.reset();
        music_.reset();
        SoundPlayerUnit::DontRestartMusic = false;
        rtl::ResetClock();
        RemoveFolder(folder_);
    }

    // Lets 100 ms of timer time pass per turn, serving the loop, until
    // `done` or `ms` real milliseconds.
    bool RunUntil(const std::function<bool()>& done, int ms = 3000)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (!done() && std::chrono::steady_clock::now() < deadline) {
            rtl::AdvanceClockForTests(100);
            Application->ProcessMessages();
            rtl::CheckSynchronize(10);
        }
        return done();
    }

    std::string Mp3() const { return FixtureDir() + "tone.mp3"; }
    std::string CopyOfMp3(const std::string& name) const
    {
        WriteFile(folder_ + name, ReadFile(Mp3()));
        return folder_ + name;
    }

    std::string folder_;
    TMediaPlayer musicMedia_{nullptr};
    TMediaPlayer slideMedia_{nullptr};
    TSoundPlayerTimer musicTimer_{nullptr};
    TSoundPlayerTimer slideTimer_{nullptr};
    TmyElPlayer decoder_;
    std::unique_ptr<TSoundPlayer> music_;
    std::unique_ptr<TSoundPlayer> slide_;
    int finished_ = 0;
    bool clearRepeat_ = false;
};

TEST(SoundPlayerUnitTest, MpegExtensions)
{
    for (const char* ext : {"MP3", ".mp3", "..Mp2", "mp1", ".MPEG3", "mpeg2", "Mpeg1"})
        EXPECT_TRUE(SoundPlayerUnit::IsMPEGExtension(ext)) << ext;
    for (const char* ext : {"", ".", ".wav", "mp4", "mpeg", ".mp3x", "mid"})
        EXPECT_FALSE(SoundPlayerUnit::IsMPEGExtension(ext)) << ext;
}

TEST_F(SoundPlayerTest, ChoosesTheDeviceByFileAndForceDecoder)
{
    EXPECT_TRUE(music_->LoadFromFile(Mp3(), false, false));
    EXPECT_EQ(music_->Device, spdMediaPlayer); // the media player is asked first
    EXPECT_FALSE(decoder_.InUse);
    EXPECT_TRUE(music_->LoadFromFile(Mp3(), false, true));
    EXPECT_EQ(music_->Device, spdMPEGPlayer);
    EXPECT_EQ(musicMedia_.Mode(), mpNotReady); // never reached the media player
    EXPECT_TRUE(decoder_.InUse);
    const std::string wav = SineWav(folder_, "s.wav", 100);
    EXPECT_TRUE(music_->LoadFromFile(wav, false, true)); // forcing applies to MPEG files only
    EXPECT_EQ(music_->Device, spdMediaPlayer);
    EXPECT_FALSE(decoder_.InUse);
    EXPECT_FALSE(music_->LoadFromFile(folder_ + "missing.mp3", false, true));
    EXPECT_EQ(music_->Device, spdNone);
}

TEST_F(SoundPlayerTest, TwoPlayersShareTheDecoderOneAtATime)
{
    ASSERT_TRUE(music_->LoadFromFile(Mp3(), false, true));
    EXPECT_FALSE(slide_->LoadFromFile(CopyOfMp3("other.mp3"), false, true));
    EXPECT_EQ(slide_->Device, spdNone);
    music_->ClearSound();
    EXPECT_FALSE(decoder_.InUse);
    EXPECT_TRUE(slide_->LoadFromFile(CopyOfMp3("other.mp3"), false, true));
    // A player that goes away gives the decoder free.
    slide_.reset();
    EXPECT_FALSE(decoder_.InUse);
    EXPECT_TRUE(music_->LoadFromFile(Mp3(), false, true));
}

TEST_F(SoundPlayerTest, TheDecoderReportsItsEndOnceAndRepeatsOnRequest)
{
    ASSERT_TRUE(music_->LoadFromFile(Mp3(), false, true));
    music_->Play();
    EXPECT_TRUE(music_->Playing());
    ASSERT_TRUE(RunUntil([&] { return finished_ == 1; }));
    RunUntil([&] { return finished_ > 1; }, 300);
    EXPECT_EQ(finished_, 1);
    EXPECT_FALSE(musicTimer_.Enabled());

    ASSERT_TRUE(music_->LoadFromFile(Mp3(), true, true));
    finished_ = 0;
    music_->Play();
    ASSERT_TRUE(RunUntil([&] { return finished_ == 2; }));
    EXPECT_TRUE(music_->Playing()); // started again after each end
}

TEST_F(SoundPlayerTest, TheMediaPlayerRepeatsAndReportsEveryTickOnceStopped)
{
    ASSERT_TRUE(music_->LoadFromFile(SineWav(folder_, "s.wav", 150), true, false));
    music_->Play();
    ASSERT_TRUE(RunUntil([&] { return finished_ == 2; }));
    EXPECT_TRUE(music_->Playing());

    clearRepeat_ = true; // the handler ends the repeat: the finished sound stays open
    const int before = finished_;
    ASSERT_TRUE(RunUntil([&] { return finished_ >= before + 3; }));
    EXPECT_FALSE(music_->Playing());
    EXPECT_TRUE(musicTimer_.Enabled());
}

TEST_F(SoundPlayerTest, DontRestartMusicAndMutingSuppressTheRepeat)
{
    const std::string wav = SineWav(folder_, "s.wav", 150);
    ASSERT_TRUE(music_->LoadFromFile(wav, true, false));
    SoundPlayerUnit::DontRestartMusic = true;
    music_->Play();
    ASSERT_TRUE(RunUntil([&] { return finished_ >= 1; }));
    EXPECT_FALSE(music_->Playing());

    SoundPlayerUnit::DontRestartMusic = false;
    ASSERT_TRUE(music_->LoadFromFile(wav, true, false));
    music_->Muted = true;
    music_->Play();
    EXPECT_FALSE(music_->Playing()); // muted: Play does nothing
    music_->Muted = false;
    music_->Play();
    music_->Muted = true;
    finished_ = 0;
    ASSERT_TRUE(RunUntil([&] { return finished_ >= 2; }));
    EXPECT_FALSE(music_->Playing()); // the repeat stayed silent
}

TEST_F(SoundPlayerTest, PauseAndResumeOnBothDevices)
{
    ASSERT_TRUE(music_->LoadFromFile(Mp3(), false, true));
    ASSERT_TRUE(slide_->LoadFromFile(SineWav(folder_, "s.wav", 300), false, false));
    for (TSoundPlayer* player : {music_.get(), slide_.get()}) {
        player->Play();
        EXPECT_TRUE(player->Playing());
        player->Pause();
        EXPECT_FALSE(player->Playing());
        player->Play();
        EXPECT_TRUE(player->Playing());
        player->Stop();
        EXPECT_FALSE(player->Playing());
    }
    EXPECT_EQ(decoder_.GetPlayerMode(), pmStopped);
}

// Each player asks only the device that holds its sound: the slide sound on
// the media player plays on while the music's decoder has stopped, and a
// cleared player reports nothing.
TEST_F(SoundPlayerTest, EndDetectionAsksOnlyTheDeviceThatHoldsTheSound)
{
    int slideFinished = 0;
    slide_->OnFinished = [&](TObject*, bool&) { ++slideFinished; };
    ASSERT_TRUE(music_->LoadFromFile(Mp3(), false, true));
    ASSERT_TRUE(slide_->LoadFromFile(SineWav(folder_, "long.wav", 2000), false, false));
    music_->Play();
    slide_->Play();
    ASSERT_TRUE(RunUntil([&] { return finished_ == 1; }));
    EXPECT_EQ(slideFinished, 0);
    EXPECT_TRUE(slide_->Playing());

    slide_->ClearSound();
    EXPECT_EQ(slide_->Device, spdNone);
    RunUntil([&] { return slideFinished > 0; }, 300);
    EXPECT_EQ(slideFinished, 0);
}

} // namespace
