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
        disk_ = std::make_unique<DiskAudio>(folder_);
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

    std::vector<uint8_t> received;
    std::vector<size_t> sizes;
    input_.OnBuffer = [&](const uint8_t* data, size_t size) {
        received.insert(received.end(), data, data + size);
        sizes.push_back(size);
    };
    ASSERT_TRUE(input_.Open("", {22050, 1, 16}, 2000)) << input_.ErrorText;
    EXPECT_FALSE(input_.Open("", {22050, 1, 16}, 2000));
    EXPECT_EQ(input_.ErrorText, "Wave Input device is already open");
    ASSERT_TRUE(input_.Start());
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (received.size() < recorded.size() && std::chrono::steady_clock::now() < deadline)
        rtl::CheckSynchronize(5);
    input_.Stop();
    ASSERT_GE(received.size(), recorded.size());
    EXPECT_TRUE(std::equal(recorded.begin(), recorded.end(), received.begin()));
    for (size_t size : sizes)
        EXPECT_EQ(size, 2000u);
}

TEST_F(WaveInputTest, RefusesFormatsItCannotRecord)
{
    EXPECT_FALSE(input_.Open("", {22050, 3, 16}, 2000));
    EXPECT_FALSE(input_.Open("", {22050, 1, 12}, 2000));
    EXPECT_FALSE(input_.IsOpen());
    EXPECT_FALSE(input_.Start());
}

} // namespace
