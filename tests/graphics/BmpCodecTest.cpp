// BMP reading against ImageMagick's own reading of the files it writes, the
// variants it cannot write made by hand, writing round trips and damaged files.

#include "platform/graphics/BmpCodec.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/graphics/Bitmap.h"
#include "platform/rtl/ByteOrder.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Streams.h"
#include "tests/graphics/ToolOutput.h"

namespace {

using tooltest::ReadBytes;
using tooltest::ScratchFolder;
using tooltest::Shell;

std::uint32_t U32(const std::vector<std::uint8_t>& b, size_t at) { return rtl::GetLE32(&b[at]); }

void Load(const std::vector<std::uint8_t>& bytes, TBitmap& bitmap)
{
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    stream.SetPosition(0);
    bitmap.LoadFromStream(stream);
}

std::uint32_t PixelAt(TBitmap& bitmap, int x, int y) { return gfx::ReadPixel(bitmap.PixelBuffer(), x, y); }

void ExpectSamePixels(TBitmap& bitmap, const tooltest::RgbImage& reference, const std::string& what)
{
    ASSERT_EQ(bitmap.Width(), reference.Width) << what;
    ASSERT_EQ(bitmap.Height(), reference.Height) << what;
    for (int y = 0; y < reference.Height; ++y)
        for (int x = 0; x < reference.Width; ++x) {
            const std::uint8_t* rgb = reference.At(x, y);
            const std::uint32_t expected = (rgb[0] << 16) | (rgb[1] << 8) | rgb[2];
            ASSERT_EQ(PixelAt(bitmap, x, y), expected) << what << " at " << x << "," << y;
        }
}

class BmpCodecTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // A small picture of odd width (rows need padding) with three colours,
        // and a gradient with many colours for the 8-bit and 16-bit variants.
        Shell("convert -size 7x5 xc:red -fill blue -draw 'point 1,1' -fill 'rgb(10,200,30)' "
              "-draw 'rectangle 3,2 5,4' " +
              folder_.File("few.ppm"));
        Shell("convert -size 37x23 gradient:'rgb(250,20,3)'-'rgb(5,90,240)' -colors 60 " + folder_.File("many.ppm"));
    }
    ScratchFolder folder_;
};

struct Variant {
    const char* Name;
    const char* Options;
    const char* Source;
    std::uint32_t HeaderSize;
    int BitsPerPixel;
    std::uint32_t Compression;
};

TEST_F(BmpCodecTest, ReadsEveryVariantImageMagickWritesLikeImageMagick)
{
    const Variant variants[] = {
        {"24-bit", "BMP3:", "few", 40, 24, 0},
        {"OS/2 24-bit", "BMP2:", "few", 12, 24, 0},
        {"OS/2 palette", "-type Palette BMP2:", "few", 12, 4, 0},
        {"4-bit palette", "-type Palette BMP3:", "few", 40, 4, 0},
        {"8-bit palette", "-type Palette -compress None BMP3:", "many", 40, 8, 0},
        {"RLE8", "-type Palette -compress RLE BMP3:", "many", 40, 8, 1},
        {"1-bit", "-type Bilevel BMP3:", "few", 40, 1, 0},
        {"long header", "-define bmp:format=bmp4 BMP:", "few", 124, 24, 0},
        {"RGB565", "-define bmp:subtype=RGB565 BMP:", "many", 124, 16, 3},
        {"RGB555", "-define bmp:subtype=RGB555 BMP:", "many", 124, 16, 3},
        {"32-bit", "-alpha set -define bmp3:alpha=true BMP3:", "many", 40, 32, 0},
        {"32-bit bit fields", "-alpha set BMP:", "many", 124, 32, 3},
    };
    for (const Variant& v : variants) {
        const std::string bmp = folder_.File("v.bmp"), ppm = folder_.File("v.ppm");
        Shell(std::string("convert ") + folder_.File(std::string(v.Source) + ".ppm") + " " + v.Options + bmp);
        Shell("convert " + bmp + " -depth 8 " + ppm);
        const std::vector<std::uint8_t> bytes = ReadBytes(bmp);
        ASSERT_GT(bytes.size(), 54u) << v.Name;
        // The file must be the variant the row names, or the row tests nothing new.
        ASSERT_EQ(U32(bytes, 14), v.HeaderSize) << v.Name;
        const int bpp = v.HeaderSize == 12 ? rtl::GetLE16(&bytes[24]) : rtl::GetLE16(&bytes[28]);
        ASSERT_EQ(bpp, v.BitsPerPixel) << v.Name;
        if (v.HeaderSize > 12) {
            ASSERT_EQ(U32(bytes, 30), v.Compression) << v.Name;
        }

        TBitmap bitmap;
        Load(bytes, bitmap);
        ExpectSamePixels(bitmap, tooltest::ReadNetpbm(ppm), v.Name);
    }
}

TEST_F(BmpCodecTest, KeepsTheFileDepthAsPixelFormat)
{
    const struct {
        const char* Options;
        const char* Source;
        TPixelFormat Format;
    } cases[] = {{"-type Bilevel BMP3:", "few", pf1bit},
                 {"-type Palette BMP3:", "few", pf4bit},
                 {"-type Palette -compress None BMP3:", "many", pf8bit},
                 {"-define bmp:subtype=RGB555 BMP:", "few", pf15bit},
                 {"-define bmp:subtype=RGB565 BMP:", "few", pf16bit},
                 {"BMP3:", "few", pf24bit},
                 {"-alpha set -define bmp3:alpha=true BMP3:", "few", pf32bit}};
    for (const auto& c : cases) {
        const std::string bmp = folder_.File("d.bmp");
        Shell(std::string("convert ") + folder_.File(std::string(c.Source) + ".ppm") + " " + c.Options + bmp);
        TBitmap bitmap;
        Load(ReadBytes(bmp), bitmap);
        EXPECT_EQ(bitmap.PixelFormat(), c.Format) << c.Options;
    }
}

// File header, 40-byte info header and palette for hand-made files.
std::vector<std::uint8_t> HandMade(int width, int height, int bpp, std::uint32_t compression,
                                   const std::vector<std::uint32_t>& palette, const std::vector<std::uint8_t>& pixels)
{
    std::vector<std::uint8_t> out;
    auto u16 = [&](std::uint16_t v) { rtl::AppendLE16(out, v); };
    auto u32 = [&](std::uint32_t v) { rtl::AppendLE32(out, v); };
    const std::uint32_t offset = 14 + 40 + 4 * static_cast<std::uint32_t>(palette.size());
    out.push_back('B');
    out.push_back('M');
    u32(offset + static_cast<std::uint32_t>(pixels.size()));
    u32(0);
    u32(offset);
    u32(40);
    u32(static_cast<std::uint32_t>(width));
    u32(static_cast<std::uint32_t>(height));
    u16(1);
    u16(static_cast<std::uint32_t>(bpp));
    u32(compression);
    u32(static_cast<std::uint32_t>(pixels.size()));
    u32(0);
    u32(0);
    u32(static_cast<std::uint32_t>(palette.size()));
    u32(0);
    for (std::uint32_t c : palette)
        u32(c);
    out.insert(out.end(), pixels.begin(), pixels.end());
    return out;
}

std::vector<std::uint32_t> GreyPalette16()
{
    std::vector<std::uint32_t> p;
    for (std::uint32_t i = 0; i < 16; ++i)
        p.push_back(i * 0x101010u);
    return p;
}

TEST(BmpCodecHandMade, DecodesRle4RunsLiteralsDeltasAndLineEnds)
{
    const std::vector<std::uint8_t> rle = {0x01, 0x10,                         // bottom row: run 1
                                           0x00, 0x05, 0x23, 0x45, 0x60, 0x00, // literal 2,3,4,5,6 padded to a word
                                           0x00, 0x00,                         // end of line
                                           0x00, 0x02, 0x02, 0x00,             // move right by 2
                                           0x02, 0x55,                         // run 5,5
                                           0x00, 0x02, 0x00, 0x01,             // move up a row, staying at x = 4
                                           0x02, 0xAB,                         // run 10,11
                                           0x00, 0x01};                        // end of picture
    TBitmap bitmap;
    Load(HandMade(6, 3, 4, 2, GreyPalette16(), rle), bitmap);
    ASSERT_EQ(bitmap.PixelFormat(), pf4bit);
    const int expected[3][6] = {{0, 0, 0, 0, 10, 11}, {0, 0, 5, 5, 0, 0}, {1, 2, 3, 4, 5, 6}};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(PixelAt(bitmap, x, y), expected[y][x] * 0x101010u) << x << "," << y;
}

TEST(BmpCodecHandMade, ReadsTopDownRows)
{
    // 2 x 2, 24-bit, height -2: the first row in the file is the top row.
    std::vector<std::uint8_t> pixels = {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0};
    std::vector<std::uint8_t> file = HandMade(2, 2, 24, 0, {}, pixels);
    const std::uint32_t minusTwo = static_cast<std::uint32_t>(-2);
    std::memcpy(file.data() + 22, &minusTwo, 4);
    TBitmap bitmap;
    Load(file, bitmap);
    EXPECT_EQ(PixelAt(bitmap, 0, 0), 0x030201u);
    EXPECT_EQ(PixelAt(bitmap, 1, 0), 0x060504u);
    EXPECT_EQ(PixelAt(bitmap, 0, 1), 0x090807u);
    EXPECT_EQ(PixelAt(bitmap, 1, 1), 0x0C0B0Au);
}

TEST_F(BmpCodecTest, WritesWhatItReadsAndWhatImageMagickReads)
{
    const TPixelFormat formats[] = {pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfDevice};
    for (TPixelFormat format : formats) {
        TBitmap original(9, 4, format);
        // Colours every format holds exactly: black, white and (for the deeper
        // formats) the corners of the 5-bit colour cube.
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 9; ++x) {
                const std::uint32_t rgb = format == pf1bit ? ((x + y) % 2 ? 0xFFFFFF : 0)
                    : format == pf4bit                     ? ((x * y) % 3 == 0 ? 0xFF0000 : 0x00FFFF)
                                                           : ((x * 37 + y * 11) % 2 ? 0xFF00FF : 0x00FF00);
                gfx::WritePixel(original.PixelBuffer(), x, y, rgb);
            }
        TMemoryStream stream;
        original.SaveToStream(stream);
        const std::string path = folder_.File("w.bmp");
        stream.SaveToFile(path);
        stream.SetPosition(0);
        TBitmap copy;
        copy.LoadFromStream(stream);
        EXPECT_EQ(copy.BitsPerPixel(), original.BitsPerPixel()) << format;
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 9; ++x)
                ASSERT_EQ(PixelAt(copy, x, y), PixelAt(original, x, y)) << format;
        Shell("convert " + path + " -depth 8 " + folder_.File("w.ppm"));
        ExpectSamePixels(original, tooltest::ReadNetpbm(folder_.File("w.ppm")),
                         "written format " + std::to_string(format));
    }
}

TEST_F(BmpCodecTest, DamagedFilesRaiseInvalidGraphic)
{
    Shell("convert " + folder_.File("many.ppm") + " -type Palette -compress RLE BMP3:" + folder_.File("r.bmp"));
    Shell("convert " + folder_.File("few.ppm") + " BMP3:" + folder_.File("t.bmp"));
    // Every cut of a compressed and a plain file either loads or reports the
    // picture error; none may crash or read beyond the data.
    for (const char* name : {"r.bmp", "t.bmp"}) {
        const std::vector<std::uint8_t> whole = ReadBytes(folder_.File(name));
        for (size_t length = 0; length < whole.size(); ++length) {
            TBitmap bitmap;
            try {
                Load({whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length)}, bitmap);
            } catch (const EInvalidGraphic&) {
            }
        }
    }
    const std::vector<std::uint8_t> good = ReadBytes(folder_.File("t.bmp"));
    auto patched = [&](size_t at, std::uint32_t value, int bytes) {
        std::vector<std::uint8_t> b = good;
        std::memcpy(b.data() + at, &value, bytes);
        return b;
    };
    const std::vector<std::vector<std::uint8_t>> broken = {
        patched(0, 'X', 1),                                                    // signature
        patched(14, 7, 4),                                                     // header size
        patched(28, 7, 2),                                                     // depth
        patched(30, 9, 4),                                                     // compression
        patched(18, 0x7FFFFFFF, 4),                                            // width beyond any picture
        patched(22, 60000, 4),                                                 // rows the file does not hold
        patched(30, 1, 4),                                                     // run-length coding on 24 bits
        HandMade(60000, 60000, 8, 1, std::vector<std::uint32_t>(256), {0, 1}), // tiny data, huge picture
    };
    for (size_t i = 0; i < broken.size(); ++i) {
        TBitmap bitmap;
        EXPECT_THROW(Load(broken[i], bitmap), EInvalidGraphic) << "case " << i;
    }
}

TEST(BmpCodecDib, DecodesAnIconImageWithoutItsMask)
{
    // An icon's picture: height counts picture and mask; 2 x 1 at 24 bits.
    std::vector<std::uint8_t> dib(40, 0);
    const std::uint32_t fields[] = {40, 2, 2};
    std::memcpy(dib.data(), fields, sizeof fields);
    dib[12] = 1;
    dib[14] = 24;
    const std::uint8_t rows[] = {1, 2, 3, 4, 5, 6, 0, 0, /* mask */ 0, 0, 0, 0};
    dib.insert(dib.end(), std::begin(rows), std::end(rows));
    TBitmap bitmap;
    const gfx::DibLayout layout = gfx::DecodeDib(dib.data(), dib.size(), bitmap, true);
    EXPECT_EQ(bitmap.Width(), 2);
    EXPECT_EQ(bitmap.Height(), 1);
    EXPECT_EQ(layout.PixelsEnd, 48u);
    EXPECT_EQ(PixelAt(bitmap, 1, 0), 0x060504u);
}

} // namespace
