#include "platform/media/WaveInput.h"

#include <gtest/gtest.h>

#include <chrono>

#include "media/TestSounds.h"
#include "platform/rtl/Threads.h"

namespace {

using namespace testsounds;

// The disk driver reads what it "records" from a file, as fast as it is
// asked for.
class WaveInputTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = TempFolder();
        disk_ = std::make_unique<DiskAudio>(folder_, 20);
    }
    void TearDown() override
    {
        input_.Close();
        disk_.reset();
        RemoveFolder(folder_);
    }

    std::string folder_;
    std::unique_ptr<DiskAudio> disk_;
    media::WaveInput input_;
};

TEST_F(WaveInputTest, HandsOverWholeBuffersInTheOrderRecorded)
{
    std::vector<uint8_t> recorded;
    for (int i = 0; i < 6000; ++i)
        rtl::AppendLE16(recorded, static_cast<uint16_t>(i * 7));
    WriteFile(folder_ + "in.raw", recorded);

    // Four buffers, each put back into the queue as it comes home.
    std::vector<std::vector<uint8_t>> ring(4, std::vector<uint8_t>(2000));
    std::vector<uint8_t> received;
    size_t buffersDone = 0;
    std::vector<std::string> reports;
    input_.OnOpen = [&] { reports.push_back("open"); };
    input_.OnClose = [&] { reports.push_back("close"); };
    input_.OnData = [&](uint8_t* data, size_t size) {
        received.insert(received.end(), data, data + size);
        EXPECT_EQ(size, 2000u);
        EXPECT_EQ(data, ring[buffersDone++ % 4].data()) << "in the order queued";
        input_.AddBuffer(data, 2000);
    };
    ASSERT_TRUE(input_.Open(-1, {22050, 1, 16})) << input_.ErrorText;
    EXPECT_FALSE(input_.Open(-1, {22050, 1, 16}));
    EXPECT_EQ(input_.ErrorText, "Wave Input device is already open");
    for (auto& buffer : ring)
        ASSERT_TRUE(input_.AddBuffer(buffer.data(), 2000));
    ASSERT_TRUE(input_.Start());
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (received.size() < recorded.size() && std::chrono::steady_clock::now() < deadline)
        rtl::CheckSynchronize(5);
    input_.Reset();
    input_.Close();
    rtl::CheckSynchronize(5);
    ASSERT_GE(received.size(), recorded.size());
    EXPECT_EQ(received.size() % 2000, 0u);
    EXPECT_TRUE(std::equal(recorded.begin(), recorded.end(), received.begin()));
    EXPECT_EQ(reports.front(), "open");
    EXPECT_EQ(reports.back(), "close");
}

TEST_F(WaveInputTest, RefusesFormatsItCannotRecord)
{
    EXPECT_FALSE(input_.Open(-1, {22050, 3, 16}));
    EXPECT_FALSE(input_.Open(-1, {22050, 1, 12}));
    EXPECT_FALSE(input_.Open(99, {22050, 1, 16}));
    EXPECT_FALSE(input_.IsOpen());
    EXPECT_FALSE(input_.Start());
}

} // namespace
