#include "platform/media/WavReader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "media/TestSounds.h"
#include "platform/rtl/ByteOrder.h"

namespace {

using namespace testsounds;

class WavReaderTest : public ::testing::Test {
protected:
    void SetUp() override { folder_ = TempFolder(); }
    void TearDown() override { RemoveFolder(folder_); }

    // Decodes every frame of a WAV file's bytes.
    static std::vector<float> DecodeAll(std::vector<uint8_t> bytes, int& channels)
    {
        media::WavSource source(std::move(bytes));
        channels = source.Format().Channels;
        std::vector<float> all;
        std::vector<float> chunk(333 * static_cast<size_t>(channels)); // not a block multiple on purpose
        while (size_t frames = source.Read(chunk.data(), 333))
            all.insert(all.end(), chunk.begin(), chunk.begin() + static_cast<long>(frames * channels));
        EXPECT_EQ(static_cast<int64_t>(all.size() / channels), source.LengthFrames());
        return all;
    }

    std::string folder_;
};

struct Encoding {
    const char* name;
    const char* soxOptions;
    float tolerance;
};

// Each kind the reader knows, written by sox and compared with sox's own
// decoding of the same file.
TEST_F(WavReaderTest, DecodesWhatSoxWritesAsSoxDecodesIt)
{
    const Encoding encodings[] = {
        {"u8", "-e unsigned-integer -b 8", 1e-6f},
        {"s16", "-e signed-integer -b 16", 1e-6f},
        {"s24", "-e signed-integer -b 24", 1e-6f},
        {"s32", "-e signed-integer -b 32", 1e-6f},
        {"f32", "-e floating-point -b 32", 1e-6f},
        {"f64", "-e floating-point -b 64", 1e-6f},
        {"alaw", "-e a-law", 1e-6f},
        {"ulaw", "-e u-law", 1e-6f},
        {"ima", "-e ima-adpcm", 1e-4f},
        {"msadpcm", "-e ms-adpcm", 1e-4f},
    };
    std::vector<int16_t> stereo;
    for (int16_t s : Sine(8000, 230, 300))
        stereo.insert(stereo.end(), {s, static_cast<int16_t>(-s / 2)});
    WriteFile(folder_ + "source.wav", Pcm16Wav(8000, 2, stereo));
    for (const Encoding& e : encodings) {
        SCOPED_TRACE(e.name);
        const std::string file = folder_ + e.name + ".wav";
        const std::string reference = folder_ + e.name + ".raw";
        ASSERT_EQ(std::system(("sox -q '" + folder_ + "source.wav' " + e.soxOptions + " '" + file + "'").c_str()), 0);
        ASSERT_EQ(std::system(("sox -q '" + file + "' -t raw -e floating-point -b 32 '" + reference + "'").c_str()), 0);
        int channels = 0;
        const std::vector<float> ours = DecodeAll(ReadFile(file), channels);
        const std::vector<uint8_t> raw = ReadFile(reference);
        std::vector<float> theirs(raw.size() / sizeof(float));
        std::memcpy(theirs.data(), raw.data(), theirs.size() * sizeof(float));
        EXPECT_EQ(channels, 2);
        ASSERT_EQ(ours.size(), theirs.size());
        float worst = 0;
        for (size_t i = 0; i < ours.size(); ++i)
            worst = std::max(worst, std::fabs(ours[i] - theirs[i]));
        EXPECT_LE(worst, e.tolerance);
    }
}

// A valid 16-bit file to damage: header fields at their usual offsets.
std::vector<uint8_t> ValidFile() { return Pcm16Wav(8000, 1, Sine(8000, 20)); }

void Put16(std::vector<uint8_t>& b, size_t at, uint16_t v) { rtl::PutLE16(&b[at], v); }
void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) { rtl::PutLE32(&b[at], v); }

TEST_F(WavReaderTest, RejectsDamagedHeaders)
{
    struct Case {
        const char* name;
        void (*damage)(std::vector<uint8_t>&);
    };
    const Case cases[] = {
        {"RIFX", [](std::vector<uint8_t>& b) { b[3] = 'X'; }},
        {"not WAVE", [](std::vector<uint8_t>& b) { b[8] = 'A'; }},
        {"too short", [](std::vector<uint8_t>& b) { b.resize(10); }},
        {"fmt past the end", [](std::vector<uint8_t>& b) { Put32(b, 16, 0x7FFFFFF0); }},
        {"fmt too short", [](std::vector<uint8_t>& b) { Put32(b, 16, 8); }},
        {"no channels", [](std::vector<uint8_t>& b) { Put16(b, 22, 0); }},
        {"too many channels", [](std::vector<uint8_t>& b) { Put16(b, 22, 200); }},
        {"rate 0", [](std::vector<uint8_t>& b) { Put32(b, 24, 0); }},
        {"block align off", [](std::vector<uint8_t>& b) { Put16(b, 32, 3); }},
        {"12 bits", [](std::vector<uint8_t>& b) { Put16(b, 34, 12); }},
        {"unknown tag", [](std::vector<uint8_t>& b) { Put16(b, 20, 0x55); }},
        {"IMA block without room",
         [](std::vector<uint8_t>& b) { Put16(b, 20, 0x11), Put16(b, 34, 4), Put16(b, 32, 4); }},
        {"MS ADPCM without coefficients",
         [](std::vector<uint8_t>& b) { Put16(b, 20, 2), Put16(b, 34, 4), Put16(b, 32, 256); }},
        {"no data chunk",
         [](std::vector<uint8_t>& b) {
             b[36] = 'x';
             Put32(b, 40, static_cast<uint32_t>(b.size() - 44));
         }},
        {"data before fmt", [](std::vector<uint8_t>& b) { std::memcpy(&b[12], "data", 4); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> bytes = ValidFile();
        c.damage(bytes);
        EXPECT_THROW(media::ParseWav(bytes.data(), bytes.size()), EMediaError);
    }
}

TEST_F(WavReaderTest, CutRecordingPlaysTheWholeFramesItHolds)
{
    std::vector<uint8_t> bytes = ValidFile();
    bytes.resize(bytes.size() - 3); // one and a half samples missing
    const media::WavInfo info = media::ParseWav(bytes.data(), bytes.size());
    EXPECT_EQ(info.FrameCount, 160 - 2);
}

TEST_F(WavReaderTest, SkipsOtherChunksWithTheirPadByte)
{
    const std::vector<uint8_t> valid = ValidFile();
    std::vector<uint8_t> bytes(valid.begin(), valid.begin() + 12);
    const uint8_t list[] = {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0};
    bytes.insert(bytes.end(), std::begin(list), std::end(list));
    bytes.insert(bytes.end(), valid.begin() + 12, valid.end());
    const media::WavInfo info = media::ParseWav(bytes.data(), bytes.size());
    EXPECT_EQ(info.FrameCount, 160);
    EXPECT_EQ(info.DataOffset, 44u + sizeof list);
}

} // namespace
