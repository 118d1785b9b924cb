#include "platform/media/AudioIO.h"

#include <gtest/gtest.h>

#include <chrono>
#include <deque>

#include "media/TestSounds.h"
#include "platform/media/WAVTools.h"
#include "platform/rtl/Threads.h"

namespace {

using namespace testsounds;

TEST(AudioIOGeometry, SizesAndFormatAreKeptWithinTheirRanges)
{
    TAudioIO audio(nullptr);
    EXPECT_EQ(audio.BufferSize(), 8192);
    EXPECT_EQ(audio.NumBuffers(), 4);
    EXPECT_EQ(audio.FrameRate(), 22050);
    EXPECT_EQ(audio.Quantization(), 16);
    EXPECT_FALSE(audio.Stereo());

    audio.SetBufferSize(100);
    EXPECT_EQ(audio.BufferSize(), 512);
    audio.SetStereo(true);
    audio.SetBufferSize(1001);
    EXPECT_EQ(audio.RoundedBufferSize(), 1000);
    EXPECT_EQ(audio.BlockAlign(), 4);
    EXPECT_EQ(audio.FramesPerBuffer(), 250);
    EXPECT_EQ(audio.AvgBytesPerSec(), 88200);

    audio.SetNumBuffers(1);
    EXPECT_EQ(audio.NumBuffers(), 2);
    audio.SetNumBuffers(10);
    EXPECT_EQ(audio.NumBuffers(), 4);
    audio.SetQuantization(12);
    EXPECT_EQ(audio.Quantization(), 16);
    audio.SetQuantization(4);
    EXPECT_EQ(audio.Quantization(), 8);
    audio.SetStereo(false);
    audio.SetBufferSize(1001);
    EXPECT_EQ(audio.RoundedBufferSize(), 1001) << "8-bit mono frames are single bytes";
}

// A device that fills its queued buffers when the test says so and reports
// at once, as the main-thread queue would deliver the reports.
class FakeDevice : public media::WaveInDevice {
public:
    struct Log {
        std::vector<std::string> Calls;
        std::deque<std::pair<uint8_t*, size_t>> Queue;
        bool RefuseStart = false;
        int RefuseAddAfter = -1;
    };
    explicit FakeDevice(Log& log) : log_(log) { }

    bool Open(int Device, const media::WaveInFormat& Format) override
    {
        log_.Calls.push_back("open " + std::to_string(Device) + " " + std::to_string(Format.SampleRate) + " " +
                             std::to_string(Format.Channels) + "x" + std::to_string(Format.BitsPerSample));
        open_ = true;
        if (OnOpen)
            OnOpen();
        return true;
    }
    bool AddBuffer(uint8_t* Data, size_t Size) override
    {
        if (log_.RefuseAddAfter == 0) {
            ErrorText = "no buffer";
            return false;
        }
        --log_.RefuseAddAfter;
        log_.Queue.emplace_back(Data, Size);
        return true;
    }
    bool Start() override
    {
        log_.Calls.push_back("start");
        ErrorText = "device busy";
        return !log_.RefuseStart;
    }
    void Reset() override
    {
        log_.Calls.push_back("reset");
        log_.Queue.clear();
    }
    void Close() override
    {
        log_.Calls.push_back("close");
        open_ = false;
        if (OnClose)
            OnClose();
    }
    bool IsOpen() const override { return open_; }

    // The device fills the oldest queued buffer with one value.
    void Fill(uint8_t value)
    {
        auto [data, size] = log_.Queue.front();
        log_.Queue.pop_front();
        std::fill(data, data + size, value);
        OnData(data, size);
    }

private:
    Log& log_;
    bool open_ = false;
};

class AudioInRing : public ::testing::Test {
protected:
    AudioInRing()
    {
        auto device = std::make_unique<FakeDevice>(log_);
        device_ = device.get();
        audio_ = std::make_unique<TAudioIn>(nullptr, std::move(device));
        audio_->SetBufferSize(1024);
        audio_->OnStart = [this](TObject*) { events_.push_back("start"); };
        audio_->OnStop = [this](TObject*) { events_.push_back("stop"); };
        audio_->OnBufferFilled = [this](uint8_t* buffer, int size) {
            received_.push_back(buffer[0]);
            EXPECT_EQ(size, 1024);
            return keepRecording_;
        };
    }

    FakeDevice::Log log_;
    FakeDevice* device_;
    std::unique_ptr<TAudioIn> audio_;
    std::vector<std::string> events_;
    std::vector<int> received_;
    bool keepRecording_ = true;
};

TEST_F(AudioInRing, QueuesEveryBufferAndRequeuesEachFilledOne)
{
    audio_->SetFrameRate(11025);
    ASSERT_TRUE(audio_->Start(TAudioIO::WaveMapper));
    EXPECT_EQ(log_.Calls, (std::vector<std::string>{"open -1 11025 1x16", "start"}));
    EXPECT_EQ(events_, std::vector<std::string>{"start"});
    EXPECT_EQ(audio_->QueuedBuffers(), 4);
    EXPECT_TRUE(audio_->Active());

    for (uint8_t v = 1; v <= 6; ++v)
        device_->Fill(v);
    EXPECT_EQ(received_, (std::vector<int>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(audio_->ProcessedBuffers(), 6);
    EXPECT_EQ(audio_->FilledBuffers(), 6);
    EXPECT_EQ(audio_->QueuedBuffers(), 4);
    EXPECT_EQ(log_.Queue.size(), 4u);
    EXPECT_TRUE(audio_->IsOpen());

    EXPECT_FALSE(audio_->Start(TAudioIO::WaveMapper));
    EXPECT_EQ(audio_->ErrorText, "Wave Input device is already open");
}

TEST_F(AudioInRing, AGracefulStopDropsTheQueuedBuffersAndClosesWhenTheyHaveArrived)
{
    ASSERT_TRUE(audio_->Start(TAudioIO::WaveMapper));
    device_->Fill(1);
    audio_->StopGracefully();
    EXPECT_TRUE(audio_->IsOpen());
    device_->Fill(2);
    device_->Fill(3);
    device_->Fill(4);
    EXPECT_TRUE(audio_->IsOpen());
    EXPECT_EQ(audio_->QueuedBuffers(), 1);
    device_->Fill(5);
    EXPECT_FALSE(audio_->IsOpen());
    EXPECT_EQ(received_, std::vector<int>{1}) << "buffers after the stop are not handed on";
    EXPECT_EQ(audio_->FilledBuffers(), 1);
    EXPECT_EQ(audio_->ProcessedBuffers(), 5);
    EXPECT_EQ(events_, (std::vector<std::string>{"start", "stop"}));
}

TEST_F(AudioInRing, AStopAtOnceResetsAndClosesTheDevice)
{
    ASSERT_TRUE(audio_->Start(TAudioIO::WaveMapper));
    device_->Fill(1);
    audio_->StopAtOnce();
    EXPECT_FALSE(audio_->IsOpen());
    EXPECT_FALSE(audio_->Active());
    EXPECT_EQ(log_.Calls, (std::vector<std::string>{"open -1 22050 1x16", "start", "reset", "reset", "close"}));
    EXPECT_EQ(events_, (std::vector<std::string>{"start", "stop"}));
    audio_->StopAtOnce(); // closed already: nothing more
    EXPECT_EQ(log_.Calls.size(), 5u);

    // A new recording starts with fresh counters.
    ASSERT_TRUE(audio_->Start(2));
    EXPECT_EQ(audio_->ProcessedBuffers(), 0);
    EXPECT_EQ(audio_->QueuedBuffers(), 4);
    EXPECT_EQ(log_.Calls[5], "open 2 22050 1x16");
}

TEST_F(AudioInRing, ABufferItsOwnerRefusesEndsTheRecording)
{
    audio_->SetNumBuffers(2);
    ASSERT_TRUE(audio_->Start(TAudioIO::WaveMapper));
    keepRecording_ = false;
    device_->Fill(7);
    EXPECT_FALSE(audio_->Active());
    EXPECT_EQ(audio_->FilledBuffers(), 0);
    device_->Fill(8);
    EXPECT_FALSE(audio_->IsOpen());
    EXPECT_EQ(received_, std::vector<int>{7});
}

TEST_F(AudioInRing, ADeviceThatFailsLeavesItClosedWithTheReason)
{
    log_.RefuseStart = true;
    EXPECT_FALSE(audio_->Start(TAudioIO::WaveMapper));
    EXPECT_EQ(audio_->ErrorText, "Error starting wave record: device busy");
    EXPECT_FALSE(audio_->IsOpen());

    log_.RefuseStart = false;
    log_.RefuseAddAfter = 2;
    EXPECT_FALSE(audio_->Start(TAudioIO::WaveMapper));
    EXPECT_EQ(audio_->ErrorText, "no buffer");
    EXPECT_FALSE(audio_->IsOpen());
}

// A real recording through SDL's disk driver, which "records" a known PCM
// file, written as the sound assistant writes it.
TEST(AudioInRecording, RecordsTheCapturedSamplesIntoAWAVFile)
{
    const std::string folder = TempFolder();
    {
        // Paced as a sound card delivers (a period of 1024 frames at 22050 Hz
        // every 46 ms): faster, a busy machine can hold up the main thread
        // longer than the ring's buffers last, and the device drops samples.
        DiskAudio disk(folder, 46);
        std::vector<uint8_t> pcm;
        for (int i = 0; i < 12000; ++i) {
            rtl::AppendLE16(pcm, static_cast<uint16_t>(i * 3));
            rtl::AppendLE16(pcm, static_cast<uint16_t>(-i));
        }
        WriteFile(folder + "in.raw", pcm);

        TAudioIn audio(nullptr);
        audio.SetStereo(true);
        audio.SetFrameRate(22050);
        std::unique_ptr<WAVTools::TWAVFileWriter> writer;
        bool stopped = false;
        audio.OnStart = [&](TObject*) { writer = std::make_unique<WAVTools::TWAVFileWriter>(folder + "take.wav"); };
        audio.OnBufferFilled = [&](uint8_t* buffer, int size) {
            writer->Append(buffer, size);
            return true;
        };
        audio.OnStop = [&](TObject*) {
            writer->Finish({-1, 22050, 16, true});
            stopped = true;
        };
        ASSERT_TRUE(audio.Start(TAudioIO::WaveMapper)) << audio.ErrorText;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while ((!writer || writer->DataSize() < static_cast<int64_t>(pcm.size())) &&
               std::chrono::steady_clock::now() < deadline)
            rtl::CheckSynchronize(5);
        audio.StopAtOnce();
        while (!stopped && std::chrono::steady_clock::now() < deadline)
            rtl::CheckSynchronize(5);
        ASSERT_TRUE(stopped);

        const std::vector<uint8_t> file = ReadFile(folder + "take.wav");
        ASSERT_GE(file.size(), 44 + pcm.size());
        const uint32_t dataSize = rtl::GetLE32(&file[40]);
        EXPECT_EQ(dataSize, file.size() - 44);
        EXPECT_EQ(rtl::GetLE32(&file[4]), file.size() - 8);
        EXPECT_EQ(dataSize % audio.RoundedBufferSize(), 0u) << "whole buffers only";
        EXPECT_TRUE(std::equal(pcm.begin(), pcm.end(), file.begin() + 44)) << "the samples as captured, in order";
        TWAVInfo info;
        WAVTools::ReadWAVHeader(folder + "take.wav", info);
        EXPECT_EQ(info.Format.Channels, 2);
        EXPECT_EQ(info.Format.AvgBytesPerSec, 88200u);
    }
    RemoveFolder(folder);
}

} // namespace
