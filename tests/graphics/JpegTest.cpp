#include "platform/graphics/Jpeg.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/graphics/Bitmap.h"
#include "platform/rtl/Streams.h"
#include "tests/graphics/ToolOutput.h"

namespace {

using tooltest::ReadBytes;
using tooltest::Shell;

class JpegTest : public ::testing::Test {
protected:
    // A 101 x 77 colour picture: odd sides show the rounding of scaled sizes.
    std::string MakeSource()
    {
        const std::string ppm = dir.File("source.ppm");
        Shell("convert -size 101x77 gradient:red-blue -fill yellow -draw 'circle 50,38 50,10' " + ppm);
        return ppm;
    }

    std::string Cjpeg(const std::string& options, const std::string& name)
    {
        const std::string jpg = dir.File(name);
        Shell("cjpeg " + options + " -outfile " + jpg + " " + MakeSource());
        return jpg;
    }

    tooltest::RgbImage Djpeg(const std::string& jpg, const std::string& options)
    {
        const std::string out = dir.File("reference.pnm");
        Shell("djpeg -pnm " + options + " -outfile " + out + " " + jpg);
        return tooltest::ReadNetpbm(out);
    }

    static void Load(TJPEGImage& jpeg, const std::vector<std::uint8_t>& bytes)
    {
        TMemoryStream stream;
        stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
        stream.SetPosition(0);
        jpeg.LoadFromStream(stream);
    }

    static std::vector<std::uint8_t> Saved(TJPEGImage& jpeg)
    {
        TMemoryStream stream;
        jpeg.SaveToStream(stream);
        return {stream.Memory(), stream.Memory() + stream.Size()};
    }

    static std::unique_ptr<TBitmap> Decoded(TJPEGImage& jpeg)
    {
        auto bitmap = std::make_unique<TBitmap>();
        bitmap->Assign(&jpeg);
        return bitmap;
    }

    // The largest difference of one channel between our pixels and the tool's.
    static int MaxDifference(TBitmap& ours, const tooltest::RgbImage& reference)
    {
        EXPECT_EQ(ours.Width(), reference.Width);
        EXPECT_EQ(ours.Height(), reference.Height);
        EXPECT_EQ(ours.PixelFormat(), pf24bit);
        int worst = 0;
        for (int y = 0; y < std::min(ours.Height(), reference.Height); ++y) {
            const std::uint8_t* row = ours.ScanLine(y);
            for (int x = 0; x < std::min(ours.Width(), reference.Width); ++x)
                for (int c = 0; c < 3; ++c)
                    worst = std::max(worst, std::abs(row[3 * x + c] - reference.At(x, y)[2 - c]));
        }
        return worst;
    }

    tooltest::ScratchFolder dir;
};

TEST(JpegScaledSize, IsTheSideDividedAndRoundedUp)
{
    struct Case {
        int side;
        TJPEGScale scale;
        int expected;
    };
    const Case cases[] = {{101, jsFullSize, 101}, {101, jsHalf, 51},  {101, jsQuarter, 26}, {101, jsEighth, 13},
                          {77, jsHalf, 39},       {77, jsEighth, 10}, {8, jsEighth, 1},     {1, jsEighth, 1},
                          {4000, jsEighth, 500},  {16, jsHalf, 8}};
    for (const Case& c : cases)
        EXPECT_EQ(gfx::JpegScaledSize(c.side, c.scale), c.expected) << c.side << " / " << c.scale;
}

TEST_F(JpegTest, EveryScaleDecodesLikeTheReferenceDecoder)
{
    const std::string jpg = Cjpeg("-quality 85", "colour.jpg");
    const struct {
        TJPEGScale scale;
        const char* option;
        int width, height;
    } scales[] = {{jsFullSize, "", 101, 77},
                  {jsHalf, "-scale 1/2", 51, 39},
                  {jsQuarter, "-scale 1/4", 26, 20},
                  {jsEighth, "-scale 1/8", 13, 10}};
    TJPEGImage jpeg;
    jpeg.LoadFromFile(jpg);
    for (const auto& s : scales) {
        jpeg.SetScale(s.scale);
        EXPECT_EQ(jpeg.Width(), s.width);
        EXPECT_EQ(jpeg.Height(), s.height);
        EXPECT_LE(MaxDifference(*Decoded(jpeg), Djpeg(jpg, s.option)), 1) << s.option;
    }
}

TEST_F(JpegTest, GreyCmykAndProgressiveDecodeTo24BitLikeTheReferenceDecoder)
{
    const std::string grey = Cjpeg("-grayscale", "grey.jpg");
    const std::string progressive = Cjpeg("-progressive", "progressive.jpg");
    const std::string restarts = Cjpeg("-restart 2", "restart.jpg");
    const std::string cmyk = dir.File("cmyk.jpg");
    Shell("convert " + MakeSource() + " -colorspace CMYK " + cmyk);
    for (const std::string& jpg : {grey, progressive, restarts, cmyk}) {
        TJPEGImage jpeg;
        jpeg.LoadFromFile(jpg);
        EXPECT_LE(MaxDifference(*Decoded(jpeg), Djpeg(jpg, "")), 1) << jpg;
    }
}

TEST_F(JpegTest, GrayscaleDecodesTheLuminanceOfAColourPicture)
{
    const std::string jpg = Cjpeg("", "colour.jpg");
    TJPEGImage jpeg;
    jpeg.LoadFromFile(jpg);
    jpeg.SetGrayscale(true);
    EXPECT_LE(MaxDifference(*Decoded(jpeg), Djpeg(jpg, "-grayscale")), 1);
}

TEST_F(JpegTest, AnEmptyPictureStaysEmptyWhenDrawnOrSaved)
{
    TJPEGImage jpeg;
    jpeg.DIBNeeded();
    EXPECT_TRUE(jpeg.Empty());
    EXPECT_EQ(jpeg.Width(), 0);
    EXPECT_TRUE(Saved(jpeg).empty());
    TBitmap nothing;
    jpeg.Assign(&nothing);
    EXPECT_TRUE(jpeg.Empty());
    EXPECT_TRUE(Saved(jpeg).empty());
}

TEST_F(JpegTest, TheBytesAreWrittenBackUnchanged)
{
    const std::string jpg = Cjpeg("-progressive", "picture.jpg");
    std::vector<std::uint8_t> original = ReadBytes(jpg);
    original.insert(original.end(), {'t', 'r', 'a', 'i', 'l', 'e', 'r'}); // bytes after the image stay too
    TJPEGImage jpeg;
    Load(jpeg, original);
    EXPECT_EQ(Saved(jpeg), original);
    jpeg.SetScale(jsQuarter);
    jpeg.DIBNeeded();
    jpeg.CompressionQuality = 20;
    EXPECT_EQ(Saved(jpeg), original);
}

TEST_F(JpegTest, TheSizeComesFromTheHeaderWithoutDecoding)
{
    std::vector<std::uint8_t> bytes = ReadBytes(Cjpeg("", "picture.jpg"));
    bytes.resize(bytes.size() / 2); // the scan data is cut off, the header is whole
    TJPEGImage jpeg;
    Load(jpeg, bytes);
    EXPECT_EQ(jpeg.Width(), 101);
    EXPECT_EQ(jpeg.Height(), 77);
    EXPECT_THROW(jpeg.DIBNeeded(), EJPEG);
}

TEST_F(JpegTest, DamagedDataRaisesTheJpegError)
{
    const std::vector<std::uint8_t> good = ReadBytes(Cjpeg("", "picture.jpg"));
    std::vector<std::vector<std::uint8_t>> damaged = {
        {0xFF, 0xD8},                               // start of image only
        {0xFF, 0xD8, 0xFF, 0xC0, 0x00, 0x02, 0x12}, // a frame header with a bad length
        std::vector<std::uint8_t>(good.begin(), good.begin() + 30),
        std::vector<std::uint8_t>(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(good.size() / 2)),
        {'n', 'o', ' ', 'j', 'p', 'e', 'g'},
    };
    std::vector<std::uint8_t> lossless = good; // a coding process the decoder does not know
    for (size_t i = 2; i + 1 < lossless.size(); ++i)
        if (lossless[i] == 0xFF && lossless[i + 1] == 0xC0)
            lossless[i + 1] = 0xC3;
    damaged.push_back(lossless);
    for (const auto& bytes : damaged) {
        TJPEGImage jpeg;
        Load(jpeg, bytes);
        EXPECT_FALSE(jpeg.Empty());
        EXPECT_THROW(
            {
                jpeg.Width();
                jpeg.DIBNeeded();
            },
            EJPEG)
            << bytes.size() << " bytes";
        // Assigned to a bitmap, the picture decodes straight into it: a failure
        // leaves it empty, not half decoded.
        TJPEGImage fresh;
        Load(fresh, bytes);
        TBitmap target(5, 5, pf24bit);
        EXPECT_THROW(target.Assign(&fresh), EJPEG) << bytes.size() << " bytes";
        EXPECT_TRUE(target.Empty()) << bytes.size() << " bytes";
    }
}

TEST_F(JpegTest, APictureTooLargeToDecodeIsRefusedBeforeAllocating)
{
    std::vector<std::uint8_t> bytes = ReadBytes(Cjpeg("", "picture.jpg"));
    const std::uint8_t frameMarker[] = {0xFF, 0xC0};
    auto sof = std::search(bytes.begin(), bytes.end(), std::begin(frameMarker), std::end(frameMarker));
    ASSERT_NE(sof, bytes.end());
    const size_t at = static_cast<size_t>(sof - bytes.begin());
    bytes[at + 5] = bytes[at + 7] = 0xEA; // 60000 x 60000
    bytes[at + 6] = bytes[at + 8] = 0x60;
    TJPEGImage jpeg;
    Load(jpeg, bytes);
    EXPECT_EQ(jpeg.Width(), 60000);
    EXPECT_THROW(jpeg.DIBNeeded(), EOutOfMemory);
    jpeg.SetScale(jsEighth); // 7500 x 7500 fits the budget; the scan then ends early
    EXPECT_THROW(jpeg.DIBNeeded(), EJPEG);
}

TEST_F(JpegTest, ABitmapIsCompressedOnDemandAndReadsBack)
{
    TBitmap source(40, 30, pf24bit);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            std::uint8_t* p = source.ScanLine(y) + 3 * x;
            p[0] = static_cast<std::uint8_t>(6 * x);
            p[1] = static_cast<std::uint8_t>(8 * y);
            p[2] = 128;
        }
    struct Case {
        int quality;
        bool progressive;
    };
    for (const Case c : {Case{90, false}, Case{95, true}}) {
        TJPEGImage jpeg;
        jpeg.CompressionQuality = c.quality;
        jpeg.ProgressiveEncoding = c.progressive;
        jpeg.Assign(&source);
        EXPECT_EQ(jpeg.Width(), 40);
        const std::vector<std::uint8_t> bytes = Saved(jpeg);
        ASSERT_GT(bytes.size(), 2u);
        EXPECT_EQ(bytes[0], 0xFF);
        EXPECT_EQ(bytes[1], 0xD8);

        TJPEGImage reread;
        Load(reread, bytes);
        EXPECT_EQ(reread.ProgressiveDisplay(), c.progressive);
        auto backBitmap = Decoded(reread);
        TBitmap& back = *backBitmap;
        ASSERT_EQ(back.Width(), 40);
        ASSERT_EQ(back.Height(), 30);
        int worst = 0;
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 120; ++x)
                worst = std::max(worst, std::abs(back.ScanLine(y)[x] - source.ScanLine(y)[x]));
        EXPECT_LE(worst, 12) << "quality " << c.quality;
    }
}

TEST_F(JpegTest, QualityAndGrayscaleApplyToTheNextCompression)
{
    TJPEGImage original;
    original.LoadFromFile(Cjpeg("-quality 95", "colour.jpg"));
    auto pixels = Decoded(original);
    auto compressed = [&](int quality, bool grey) {
        TJPEGImage jpeg;
        jpeg.CompressionQuality = quality;
        jpeg.SetGrayscale(grey);
        jpeg.Assign(pixels.get());
        return Saved(jpeg);
    };
    EXPECT_LT(compressed(10, false).size(), compressed(95, false).size());

    TJPEGImage grey;
    Load(grey, compressed(90, true));
    auto decodedBitmap = Decoded(grey);
    TBitmap& decoded = *decodedBitmap;
    ASSERT_EQ(decoded.Width(), 101);
    for (int y = 0; y < decoded.Height(); ++y)
        for (int x = 0; x < decoded.Width(); ++x) {
            const std::uint8_t* p = decoded.ScanLine(y) + 3 * x;
            ASSERT_TRUE(p[0] == p[1] && p[1] == p[2]) << x << "," << y;
        }
}

TEST_F(JpegTest, DecodingReportsProgressFromStartToEnd)
{
    TJPEGImage jpeg;
    jpeg.LoadFromFile(Cjpeg("", "colour.jpg"));
    std::vector<std::pair<TProgressStage, int>> reports;
    jpeg.OnProgress = [&](TObject* sender, TProgressStage stage, std::uint8_t percent, bool, const TRect&,
                          const std::string&) {
        EXPECT_EQ(sender, &jpeg);
        reports.emplace_back(stage, percent);
    };
    jpeg.DIBNeeded();
    ASSERT_GE(reports.size(), 3u);
    EXPECT_EQ(reports.front(), std::make_pair(psStarting, 0));
    EXPECT_EQ(reports.back(), std::make_pair(psEnding, 100));
    for (size_t i = 1; i + 1 < reports.size(); ++i) {
        EXPECT_EQ(reports[i].first, psRunning);
        EXPECT_GE(reports[i].second, reports[i - 1].second);
    }
}

// ---- the picture readers' access to libjpeg --------------------------------

// A 24 x 16 JPEG of a colourful picture, as TJPEGImage writes it.
std::vector<std::uint8_t> SmallJpeg(TBitmap& picture)
{
    picture.SetPixelFormat(pf24bit);
    picture.SetSize(24, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 24 * 3; ++x)
            picture.ScanLine(y)[x] = static_cast<std::uint8_t>(x * 7 + y * 11);
    TJPEGImage jpeg;
    jpeg.Assign(&picture);
    return jpeg.Data();
}

TEST(JpegStreamDecoder, DecodesAStreamLikeTheJpegImage)
{
    TBitmap picture;
    const std::vector<std::uint8_t> bytes = SmallJpeg(picture);
    gfx::TJpegStreamDecoder decoder;
    EXPECT_FALSE(decoder.ReadTables(bytes.data(), bytes.size())); // a whole image, not tables only
    const gfx::TJpegStreamDecoder::THeader header = decoder.ReadHeader(bytes.data(), bytes.size());
    EXPECT_EQ(header.Width, 24u);
    EXPECT_EQ(header.Height, 16u);
    EXPECT_EQ(header.Components, 3);
    EXPECT_EQ(header.Precision, 8);
    ASSERT_EQ(header.Sampling.size(), 3u);
    EXPECT_EQ(header.Sampling[1], std::make_pair(1, 1));

    const int stride = 24 * 3;
    std::vector<std::uint8_t> rows(static_cast<std::size_t>(stride) * 16);
    EXPECT_EQ(decoder.ReadRows(gfx::TJpegStreamDecoder::scYCbCr, rows.data(), stride, 16), 16);
    TJPEGImage jpeg;
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    stream.SetPosition(0);
    jpeg.LoadFromStream(stream);
    TBitmap decoded;
    decoded.Assign(&jpeg);
    for (int y = 0; y < 16; ++y)
        EXPECT_TRUE(std::equal(rows.begin() + y * stride, rows.begin() + (y + 1) * stride, decoded.ScanLine(y))) << y;
}

TEST(JpegStreamDecoder, AStreamThatEndsEarlyIsToldAndEndsThere)
{
    TBitmap picture;
    std::vector<std::uint8_t> bytes = SmallJpeg(picture);
    bytes.resize(bytes.size() * 3 / 4);
    gfx::TJpegStreamDecoder decoder;
    int told = 0;
    decoder.OnDataEnd = [&] { ++told; };
    decoder.ReadHeader(bytes.data(), bytes.size());
    std::vector<std::uint8_t> rows(24 * 3 * 16);
    EXPECT_EQ(decoder.ReadRows(gfx::TJpegStreamDecoder::scYCbCr, rows.data(), 24 * 3, 16), 16);
    EXPECT_GT(told, 0);
}

TEST(JpegStreamDecoder, LibraryErrorsCarryTheirCode)
{
    const std::uint8_t notJpeg[] = {'B', 'M', 1, 2, 3, 4, 5, 6};
    gfx::TJpegStreamDecoder decoder;
    try {
        decoder.ReadHeader(notJpeg, sizeof notJpeg);
        ADD_FAILURE() << "read";
    } catch (const EJPEG& e) {
        EXPECT_EQ(e.LibraryCode, 53); // not a JPEG file: starts with 0x42 0x4d
    }
}

} // namespace
