#include "platform/media/WAVTools.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/stat.h>

#include "media/TestSounds.h"
#include "platform/rtl/ByteOrder.h"
#include "platform/rtl/Streams.h"

namespace {

using namespace testsounds;

std::vector<uint8_t> Bytes(TMemoryStream& stream) { return {stream.Memory(), stream.Memory() + stream.Size()}; }

std::string Tag(const std::vector<uint8_t>& bytes, size_t at) { return {bytes.begin() + at, bytes.begin() + at + 4}; }

struct HeaderCase {
    uint16_t Bits;
    bool Stereo;
    uint32_t Rate;
    int DataBytes;
};

class WAVHeaderBytes : public ::testing::TestWithParam<HeaderCase> { };

// A recording as the assistant makes it: placeholder, samples, final header.
TEST_P(WAVHeaderBytes, TheFinalHeaderCarriesTheSizesAndTheFormat)
{
    const HeaderCase c = GetParam();
    TMemoryStream file;
    TWAVParams params{-1, c.Rate, c.Bits, c.Stereo};
    WAVTools::WriteWAVHeader(file, params);
    ASSERT_EQ(file.Position(), 44);
    std::vector<uint8_t> placeholder = Bytes(file);
    EXPECT_EQ(rtl::GetLE32(&placeholder[4]), 0xFFFFFFF8u);
    EXPECT_EQ(rtl::GetLE32(&placeholder[40]), 0xFFFFFFFFu);

    std::vector<uint8_t> samples(static_cast<size_t>(c.DataBytes));
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<uint8_t>(i * 13);
    file.WriteBuffer(samples.data(), c.DataBytes);
    WAVTools::WriteWAVHeader(file, params);
    EXPECT_EQ(file.Position(), 44 + c.DataBytes) << "the position is restored";

    const std::vector<uint8_t> bytes = Bytes(file);
    ASSERT_EQ(bytes.size(), 44u + c.DataBytes);
    const uint16_t channels = c.Stereo ? 2 : 1;
    const uint16_t align = static_cast<uint16_t>(channels * c.Bits / 8);
    EXPECT_EQ(Tag(bytes, 0), "RIFF");
    EXPECT_EQ(rtl::GetLE32(&bytes[4]), 36u + c.DataBytes);
    EXPECT_EQ(Tag(bytes, 8), "WAVE");
    EXPECT_EQ(Tag(bytes, 12), "fmt ");
    EXPECT_EQ(rtl::GetLE32(&bytes[16]), 16u);
    EXPECT_EQ(rtl::GetLE16(&bytes[20]), 1);
    EXPECT_EQ(rtl::GetLE16(&bytes[22]), channels);
    EXPECT_EQ(rtl::GetLE32(&bytes[24]), c.Rate);
    EXPECT_EQ(rtl::GetLE32(&bytes[28]), c.Rate * align);
    EXPECT_EQ(rtl::GetLE16(&bytes[32]), align);
    EXPECT_EQ(rtl::GetLE16(&bytes[34]), c.Bits);
    EXPECT_EQ(Tag(bytes, 36), "data");
    EXPECT_EQ(rtl::GetLE32(&bytes[40]), static_cast<uint32_t>(c.DataBytes));
    EXPECT_TRUE(std::equal(samples.begin(), samples.end(), bytes.begin() + 44));
}

INSTANTIATE_TEST_SUITE_P(Formats, WAVHeaderBytes,
                         ::testing::Values(HeaderCase{8, false, 11025, 1001}, HeaderCase{8, true, 22050, 998},
                                           HeaderCase{16, false, 22050, 4410}, HeaderCase{16, true, 44100, 4},
                                           HeaderCase{16, true, 96000, 0}, HeaderCase{8, false, 8000, 1}));

TEST(WAVHeader, AGivenDataSizeIsWrittenAsGiven)
{
    TMemoryStream file;
    std::vector<uint8_t> zeros(100);
    file.WriteBuffer(zeros.data(), 100);
    WAVTools::WriteWAVHeader(file, {12, 22050, 16, false});
    const auto bytes = Bytes(file);
    EXPECT_EQ(rtl::GetLE32(&bytes[40]), 12u);
    EXPECT_EQ(rtl::GetLE32(&bytes[4]), 92u);
}

// --- the reader, against files sox makes ---

class WAVReader : public ::testing::Test {
protected:
    void SetUp() override { folder_ = TempFolder(); }
    void TearDown() override { RemoveFolder(folder_); }

    // A WAV file made by sox from generated sound.
    std::string Sox(const std::string& name, const std::string& options)
    {
        const std::string path = folder_ + name;
        const std::string command = "sox -n -D " + options + " '" + path + "' synth 0.25 sine 440 2>/dev/null";
        if (std::system(command.c_str()) != 0)
            ADD_FAILURE() << "sox failed: " << command;
        return path;
    }
    static int64_t FileSize(const std::string& path)
    {
        struct stat info { };
        stat(path.c_str(), &info);
        return info.st_size;
    }

    std::string folder_;
};

TEST_F(WAVReader, ReadsTheFormatAndDataLengthOfPlainFiles)
{
    struct Case {
        std::string Options;
        uint16_t Channels, Bits;
        uint32_t Rate;
    };
    for (const Case& c :
         {Case{"-r 22050 -c 1 -b 16 -e signed", 1, 16, 22050}, Case{"-r 11025 -c 2 -b 8 -e unsigned", 2, 8, 11025},
          Case{"-r 96000 -c 2 -b 16 -e signed", 2, 16, 96000}}) {
        const std::string path = Sox("plain.wav", c.Options);
        TWAVInfo info;
        WAVTools::ReadWAVHeader(path, info);
        const uint32_t align = c.Channels * c.Bits / 8u;
        EXPECT_EQ(info.Format.FormatTag, 1) << c.Options;
        EXPECT_EQ(info.Format.Channels, c.Channels) << c.Options;
        EXPECT_EQ(info.Format.SamplesPerSec, c.Rate) << c.Options;
        EXPECT_EQ(info.Format.AvgBytesPerSec, c.Rate * align) << c.Options;
        EXPECT_EQ(info.Format.BitsPerSample, c.Bits) << c.Options;
        EXPECT_EQ(info.DataLength, static_cast<int64_t>(c.Rate / 4 * align)) << c.Options;
        EXPECT_EQ(info.FileLength, FileSize(path)) << c.Options;
    }
}

// Files with chunks the recordings never have: a longer format chunk and a
// fact chunk (sox writes both for 24-bit sound), and chunks of odd length
// with their pad byte.
TEST_F(WAVReader, WalksEveryChunkByItsLengthAndPadByte)
{
    const std::string wide = Sox("wide.wav", "-r 48000 -c 2 -b 24 -e signed");
    ASSERT_GT(rtl::GetLE32(ReadFile(wide).data() + 16), 16u) << "sox wrote a longer format chunk";
    TWAVInfo info;
    WAVTools::ReadWAVHeader(wide, info);
    EXPECT_EQ(info.Format.SamplesPerSec, 48000u);
    EXPECT_EQ(info.Format.BitsPerSample, 24);
    EXPECT_EQ(info.DataLength, 12000 * 6);

    // Our own chunks of odd length between the format and the data, each
    // followed by its pad byte.
    std::vector<uint8_t> bytes = ReadFile(Sox("odd.wav", "-r 8000 -c 1 -b 16 -e signed"));
    const size_t dataAt = bytes.size() - 4000 - 8;
    ASSERT_EQ(Tag(bytes, dataAt), "data");
    const std::vector<uint8_t> odd = {'j', 'u', 'n', 'k', 3,   0, 0, 0, 'x', 'y', 'z',
                                      0,   'L', 'I', 'S', 'T', 1, 0, 0, 0,   'q', 0};
    bytes.insert(bytes.begin() + static_cast<long>(dataAt), odd.begin(), odd.end());
    WriteFile(folder_ + "odd.wav", bytes);
    WAVTools::ReadWAVHeader(folder_ + "odd.wav", info);
    EXPECT_EQ(info.Format.SamplesPerSec, 8000u);
    EXPECT_EQ(info.DataLength, 4000);
}

TEST_F(WAVReader, RefusesWhatIsNoRiffWaveFile)
{
    std::vector<uint8_t> wav = ReadFile(Sox("a.wav", "-r 8000 -c 1 -b 8 -e unsigned"));
    std::vector<uint8_t> rifx = wav;
    rifx[3] = 'X';
    std::vector<uint8_t> avi = wav;
    std::copy_n("AVI ", 4, avi.begin() + 8);
    const std::vector<uint8_t> tiny = {'R', 'I', 'F', 'F', 0, 0};
    for (const auto& [name, bytes] :
         {std::pair{"rifx.wav", rifx}, std::pair{"avi.wav", avi}, std::pair{"tiny.wav", tiny}}) {
        const std::string path = folder_ + name;
        WriteFile(path, bytes);
        TWAVInfo info;
        try {
            WAVTools::ReadWAVHeader(path, info);
            ADD_FAILURE() << name << " was read";
        } catch (const EWAVError& e) {
            EXPECT_EQ(e.Message, "\"" + path + "\" Keine WAV-Datei!");
        }
    }
    TWAVInfo info;
    EXPECT_THROW(WAVTools::ReadWAVHeader(folder_ + "missing.wav", info), EFOpenError);
}

TEST_F(WAVReader, AFileWithoutDataChunkOrWithThePlaceholderHasNoDataLength)
{
    std::vector<uint8_t> bytes = ReadFile(Sox("a.wav", "-r 8000 -c 1 -b 8 -e unsigned"));
    TMemoryStream placeholder;
    WAVTools::WriteWAVHeader(placeholder, {-1, 22050, 16, false});
    const std::vector<uint8_t> headerOnly(bytes.begin(), bytes.begin() + 36);
    for (const auto& [name, content] :
         {std::pair{"placeholder.wav", Bytes(placeholder)}, std::pair{"nodata.wav", headerOnly}}) {
        WriteFile(folder_ + name, content);
        TWAVInfo info;
        WAVTools::ReadWAVHeader(folder_ + name, info);
        EXPECT_EQ(info.DataLength, -1) << name;
    }
}

// --- the peak level ---

TEST(SampleLevel, IsThePeakOfEitherSampleKind)
{
    auto le16 = [](std::initializer_list<int> values) {
        std::vector<uint8_t> out;
        for (int v : values)
            rtl::AppendLE16(out, static_cast<uint16_t>(v));
        return out;
    };
    const std::vector<uint8_t> silent8(64, 128);
    EXPECT_EQ(WAVTools::ComputeSampleLevel(silent8.data(), 64, 1, false, false), 0);
    const std::vector<uint8_t> loud8 = {128, 130, 0, 200};
    EXPECT_EQ(WAVTools::ComputeSampleLevel(loud8.data(), 4, 1, false, true), 128);
    const std::vector<uint8_t> signed8 = {0x80, 0x10, 0xF0};
    EXPECT_EQ(WAVTools::ComputeSampleLevel(signed8.data(), 3, 1, true, false), 16 + 128);
    const auto min16 = le16({100, -32768, 5});
    EXPECT_EQ(WAVTools::ComputeSampleLevel(min16.data(), 6, 2, false, false), 32768);
    // The right channel counts like the left.
    const auto right16 = le16({10, -20, 30, 32767});
    EXPECT_EQ(WAVTools::ComputeSampleLevel(right16.data(), 8, 2, false, true), 32767);
    // A trailing odd byte and a buffer of one byte are no sample.
    EXPECT_EQ(WAVTools::ComputeSampleLevel(right16.data(), 3, 2, false, false), 10);
    EXPECT_EQ(WAVTools::ComputeSampleLevel(right16.data(), 1, 2, false, false), 0);
}

// --- the file writer ---

TEST_F(WAVReader, ARecordingReplacesItsTargetOnlyWhenFinished)
{
    const std::string target = folder_ + "take.wav";
    WriteFile(target, {'o', 'l', 'd'});
    {
        WAVTools::TWAVFileWriter writer(target);
        writer.Append("abcd", 4);
        EXPECT_EQ(ReadFile(target).size(), 3u) << "the old file stays while recording";
    } // abandoned
    EXPECT_EQ(ReadFile(target), (std::vector<uint8_t>{'o', 'l', 'd'}));

    WAVTools::TWAVFileWriter writer(target);
    writer.Append("abcd", 4);
    writer.Append("ef", 2);
    writer.Finish({0, 44100, 16, true});
    const auto bytes = ReadFile(target);
    ASSERT_EQ(bytes.size(), 50u);
    EXPECT_EQ(rtl::GetLE32(&bytes[40]), 6u);
    EXPECT_EQ(rtl::GetLE32(&bytes[24]), 44100u);
    EXPECT_EQ(std::system(("test $(ls '" + folder_ + "' | wc -l) -eq 1").c_str()), 0) << "no temporary file is left";
}

TEST_F(WAVReader, ARecordingIntoAFolderThatIsMissingFailsCleanly)
{
    EXPECT_THROW(WAVTools::TWAVFileWriter(folder_ + "nowhere/take.wav"), EFCreateError);
}

} // namespace
