// The Photoshop reader on hand-made files for the modes ImageMagick does not
// write (the files it writes: ReaderConformanceTest).
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "ImageTools.h"
#include "imageformats/PSDGraphic.h"
#include "platform/rtl/Streams.h"

using namespace imagetest;

namespace {

// A raw file of 2 x 1 pixels with empty sections.
std::vector<std::uint8_t> PsdFile(int mode, int channels, int depth, std::initializer_list<int> planes)
{
    std::vector<std::uint8_t> f = {'8', 'B',
                                   'P', 'S',
                                   0,   1,
                                   0,   0,
                                   0,   0,
                                   0,   0,
                                   0,   static_cast<std::uint8_t>(channels),
                                   0,   0,
                                   0,   1,
                                   0,   0,
                                   0,   2,
                                   0,   static_cast<std::uint8_t>(depth),
                                   0,   static_cast<std::uint8_t>(mode)};
    f.resize(f.size() + 12 + 2, 0); // three empty sections, raw
    for (int b : planes)
        f.push_back(static_cast<std::uint8_t>(b));
    return f;
}

std::unique_ptr<TPSDGraphic> Load(const std::vector<std::uint8_t>& bytes)
{
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    stream.SetPosition(0);
    auto graphic = std::make_unique<TPSDGraphic>();
    graphic->LoadFromStream(stream);
    return graphic;
}

std::uint32_t Pixel24(TBitmap& bitmap, int x)
{
    TBitmap copy;
    copy.Assign(&bitmap);
    copy.SetPixelFormat(pf24bit);
    const std::uint8_t* p = copy.ScanLine(0) + 3 * x;
    return static_cast<std::uint32_t>(p[2] << 16 | p[1] << 8 | p[0]);
}

TEST(PSDReader, ModesNoToolWrites)
{
    // CMYK is stored inverted: 255 is no ink. Pixel 0 pure cyan, pixel 1 no ink.
    auto cmyk = Load(PsdFile(4, 4, 8, {0, 255, 255, 255, 255, 255, 255, 255}));
    EXPECT_EQ(Pixel24(*cmyk, 0), 0x00FFFFu);
    EXPECT_EQ(Pixel24(*cmyk, 1), 0xFFFFFFu);
    // Multichannel with three channels reads as RGB, duotone as grey.
    auto multi = Load(PsdFile(7, 3, 8, {10, 20, 30, 40, 50, 60}));
    EXPECT_EQ(Pixel24(*multi, 0), 0x0A1E32u);
    EXPECT_EQ(Pixel24(*multi, 1), 0x14283Cu);
    auto duotone = Load(PsdFile(8, 1, 8, {7, 200}));
    EXPECT_EQ(Pixel24(*duotone, 1), 0xC8C8C8u);
    // Bitmap mode: 1 is black.
    auto bitmap = Load(PsdFile(0, 1, 1, {0x40}));
    ASSERT_EQ(bitmap->PixelFormat(), pf1bit);
    EXPECT_EQ(Pixel24(*bitmap, 0), 0xFFFFFFu);
    EXPECT_EQ(Pixel24(*bitmap, 1), 0x000000u);
}

TEST(PSDReader, DamagedOrUnsupportedFilesRaiseThePictureError)
{
    EXPECT_THROW(Load(PsdFile(3, 3, 32,
                              {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24})),
                 EInvalidGraphic);                                       // 32 bits a sample
    EXPECT_THROW(Load(PsdFile(3, 3, 8, {1, 2, 3})), EInvalidGraphic);    // planes missing
    EXPECT_THROW(Load(PsdFile(3, 2, 8, {1, 2, 3, 4})), EInvalidGraphic); // RGB with two channels
    EXPECT_THROW(Load(PsdFile(5, 1, 8, {1, 2})), EInvalidGraphic);       // unknown mode
    EXPECT_THROW(Load(PsdFile(2, 1, 8, {1, 2})), EInvalidGraphic);       // indexed without a palette
    std::vector<std::uint8_t> huge = PsdFile(3, 3, 8, {1, 2, 3, 4, 5, 6});
    huge[14] = huge[18] = 0x7F; // a huge picture with six bytes of data
    EXPECT_THROW(Load(huge), EInvalidGraphic);
}

} // namespace
