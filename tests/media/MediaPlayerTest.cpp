#include "platform/media/MediaPlayer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <functional>
#include <thread>

#include "media/TestSounds.h"
#include "platform/media/AudioOutput.h"
#include "platform/media/MidiSource.h"
#include "platform/rtl/Threads.h"

namespace {

using namespace testsounds;

// Serves the main-thread queue until `done` holds or `ms` real
// milliseconds have passed.
bool ServeUntil(const std::function<bool()>& done, int ms = 3000)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        rtl::CheckSynchronize(5);
    }
    return true;
}

class MediaPlayerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        UseDummyAudioUnlessChosen();
        folder_ = TempFolder();
        player_.OnNotify = [this](TObject*) { notifications_.push_back(player_.NotifyValue); };
    }
    void TearDown() override
    {
        player_.Close();
        ServeUntil([] { return !rtl::CheckSynchronize(0); }, 200);
        RemoveFolder(folder_);
    }

    void OpenSine(int ms)
    {
        player_.FileName = SineWav(folder_, "sine.wav", ms);
        player_.Open();
    }

    std::string folder_;
    TMediaPlayer player_{nullptr};
    std::vector<TMPNotifyValues> notifications_;
};

TEST_F(MediaPlayerTest, PlaysToTheEndAndNotifiesOnce)
{
    EXPECT_EQ(player_.Mode(), mpNotReady);
    OpenSine(200);
    EXPECT_EQ(player_.Mode(), mpStopped);
    EXPECT_EQ(player_.Length(), 200);
    player_.Notify = true;
    player_.Play();
    EXPECT_EQ(player_.Mode(), mpPlaying);
    EXPECT_FALSE(player_.Notify); // a one-shot request
    ASSERT_TRUE(ServeUntil([&] { return !notifications_.empty(); }));
    EXPECT_EQ(notifications_, std::vector<TMPNotifyValues>{nvSuccessful});
    EXPECT_EQ(player_.Mode(), mpStopped);
    EXPECT_GE(player_.Position(), 200);
}

TEST_F(MediaPlayerTest, PauseHoldsThePositionAndPlayGoesOn)
{
    OpenSine(300);
    player_.Play();
    ASSERT_TRUE(ServeUntil([&] { return player_.Position() >= 60; }));
    player_.Pause();
    EXPECT_EQ(player_.Mode(), mpPaused);
    const int64_t held = player_.Position();
    std::this_thread::sleep_for(std::chrono::milliseconds(80));
    EXPECT_EQ(player_.Position(), held);
    player_.Play();
    EXPECT_EQ(player_.Mode(), mpPlaying);
    ASSERT_TRUE(ServeUntil([&] { return player_.Mode() == mpStopped; }));
    EXPECT_GE(player_.Position(), 300);
}

TEST_F(MediaPlayerTest, StopKeepsThePositionAndRewindGoesBack)
{
    OpenSine(300);
    player_.Play();
    ASSERT_TRUE(ServeUntil([&] { return player_.Position() >= 60; }));
    player_.Stop();
    EXPECT_EQ(player_.Mode(), mpStopped);
    EXPECT_GE(player_.Position(), 60);
    player_.Rewind();
    EXPECT_EQ(player_.Position(), 0);
    EXPECT_EQ(player_.Mode(), mpStopped);
}

TEST_F(MediaPlayerTest, PlayAtTheEndStartsAgainFromTheBeginning)
{
    OpenSine(150);
    player_.Play();
    ASSERT_TRUE(ServeUntil([&] { return player_.Mode() == mpStopped; }));
    player_.Notify = true;
    player_.Play();
    EXPECT_EQ(player_.Mode(), mpPlaying);
    EXPECT_LT(player_.Position(), 150);
    ASSERT_TRUE(ServeUntil([&] { return !notifications_.empty(); }));
    EXPECT_EQ(notifications_, std::vector<TMPNotifyValues>{nvSuccessful});
}

TEST_F(MediaPlayerTest, ACommandSupersedesThePendingPlayNotification)
{
    OpenSine(300);
    player_.Notify = true;
    player_.Play();
    player_.Stop();
    ASSERT_TRUE(ServeUntil([&] { return !notifications_.empty(); }));
    ServeUntil([] { return false; }, 400); // the sound's end must not report any more
    EXPECT_EQ(notifications_, std::vector<TMPNotifyValues>{nvSuperseded});
}

TEST_F(MediaPlayerTest, RefusesWhatNoDeviceCanPlay)
{
    const std::string text = folder_ + "note.txt";
    WriteFile(text, {'h', 'e', 'l', 'l', 'o'});
    const std::string wav = SineWav(folder_, "s.wav", 50);
    const struct {
        std::string file;
        TMPDeviceTypes type;
    } cases[] = {{folder_ + "missing.wav", dtAutoSelect}, {text, dtAutoSelect}, {wav, dtSequencer}, {wav, dtCDAudio}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        player_.FileName = c.file;
        player_.DeviceType = c.type;
        EXPECT_THROW(player_.Open(), EMCIDeviceError);
        EXPECT_EQ(player_.Mode(), mpNotReady);
    }
    EXPECT_THROW(player_.Play(), EMCIDeviceError);
}

TEST_F(MediaPlayerTest, PlaysMpegAudio)
{
    player_.FileName = FixtureDir() + "tone.mp3";
    player_.Open();
    EXPECT_NEAR(static_cast<double>(player_.Length()), 300.0, 60.0);
    player_.Play();
    ASSERT_TRUE(ServeUntil([&] { return player_.Mode() == mpStopped; }));
    EXPECT_GE(player_.Position(), player_.Length());
}

TEST(MidiSourceTest, LengthFollowsTheTempoMapAndTheSynthesiserSounds)
{
    const std::vector<uint8_t> midi = TwoNoteMidi();
    EXPECT_EQ(media::MidiFileDurationMs(midi.data(), midi.size()), 1500);
    const std::string folder = TempFolder();
    WriteFile(folder + "two.mid", midi);
    media::MidiSource source(folder + "two.mid");
    EXPECT_EQ(source.LengthFrames(), 1500 * 44100 / 1000);
    std::vector<float> buffer(2 * 22050);
    ASSERT_EQ(source.Read(buffer.data(), 22050), 22050u);
    float peak = 0;
    for (float s : buffer)
        peak = std::max(peak, std::fabs(s));
    EXPECT_GT(peak, 0.01f);
    RemoveFolder(folder);
}

TEST(MidiSourceTest, RejectsDamagedFiles)
{
    std::vector<uint8_t> midi = TwoNoteMidi();
    midi.resize(midi.size() - 6); // the track's length runs past the end
    EXPECT_THROW(media::MidiFileDurationMs(midi.data(), midi.size()), EMediaError);
    std::vector<uint8_t> noHeader = TwoNoteMidi();
    noHeader[0] = 'X';
    EXPECT_THROW(media::MidiFileDurationMs(noHeader.data(), noHeader.size()), EMediaError);
}

// SDL's disk driver writes what is played as fast as it is fed.
class DiskOutputTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = TempFolder();
        disk_ = std::make_unique<DiskAudio>(folder_);
    }
    void TearDown() override
    {
        media::SetOutputVolume(0xFFFFFFFF);
        disk_.reset();
        RemoveFolder(folder_);
    }

    // The frames the device wrote: float stereo.
    std::vector<float> Output() const
    {
        const std::vector<uint8_t> raw = ReadFile(folder_ + "out.raw");
        std::vector<float> samples(raw.size() / sizeof(float));
        std::memcpy(samples.data(), raw.data(), samples.size() * sizeof(float));
        return samples;
    }

    std::string folder_;
    std::unique_ptr<DiskAudio> disk_;
};

TEST_F(DiskOutputTest, TheSoundReachesTheDeviceWholeAndThroughTheVolume)
{
    media::SetOutputVolume(0xFFFF0000); // left silent, right full
    {
        TMediaPlayer player(nullptr);
        player.FileName = SineWav(folder_, "sine.wav", 300);
        player.Open();
        player.Wait = true;
        player.Play();
        EXPECT_EQ(player.Mode(), mpStopped);
    } // closing the last sound closes the device, which flushes the file
    const std::vector<float> out = Output();
    size_t first = out.size(), last = 0;
    float leftPeak = 0, rightPeak = 0;
    for (size_t i = 0; i + 1 < out.size(); i += 2) {
        leftPeak = std::max(leftPeak, std::fabs(out[i]));
        rightPeak = std::max(rightPeak, std::fabs(out[i + 1]));
        if (std::fabs(out[i + 1]) > 0.01f) {
            first = std::min(first, i / 2);
            last = i / 2;
        }
    }
    EXPECT_EQ(leftPeak, 0.0f);
    EXPECT_NEAR(rightPeak, 12000.0 / 32768.0, 0.02);
    ASSERT_LT(first, last);
    EXPECT_NEAR(static_cast<double>(last - first), 0.3 * 44100, 200.0);
}

} // namespace
