// The Dr. Halo reader on hand-made pictures, with and without the palette
// file beside them.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "ImageTools.h"
#include "imageformats/CUTGraphic.h"
#include "platform/rtl/ByteOrder.h"
#include "platform/rtl/Streams.h"

using namespace imagetest;

namespace {

// 5 x 2: row 0 = literal 1, 2, 200 then a run of two 7s; row 1 = a run of
// five 255s.
const std::vector<std::uint8_t> kPicture = {5, 0, 2, 0, 0, 0, 7, 0, 3, 1, 2, 200, 0x82, 7, 0, 3, 0, 0x85, 255, 0};

// A palette file with `entries` colours: entry i = (i, 255 - i, i / 2),
// stored as 16-bit values, continuing in the next 512-byte block when an
// entry would start beyond offset 506.
std::vector<std::uint8_t> PaletteFile(int entries, int highestIndex)
{
    std::vector<std::uint8_t> file(512, 0);
    rtl::PutLE16(&file[12], static_cast<std::uint16_t>(highestIndex));
    std::size_t at = 40;
    for (int i = 0; i < entries; ++i) {
        if (at % 512 > 506) {
            at = (at / 512 + 1) * 512;
        }
        if (file.size() < at + 6)
            file.resize((at / 512 + 1) * 512, 0);
        const int rgb[3] = {i, 255 - i, i / 2};
        for (int c = 0; c < 3; ++c)
            file[at + 2 * c] = static_cast<std::uint8_t>(rgb[c]);
        at += 6;
    }
    return file;
}

TEST(CUTReader, DecodesRowsAndTakesThePaletteFileAcrossBlocks)
{
    ScratchDir dir;
    WriteFileBytes(dir / "bild.cut", kPicture);
    WriteFileBytes(dir / "bild.pal", PaletteFile(256, 255));
    TCUTGraphic cut;
    cut.LoadFromFile(dir / "bild.cut");
    ASSERT_EQ(cut.Width(), 5);
    ASSERT_EQ(cut.Height(), 2);
    ASSERT_EQ(cut.PixelFormat(), pf8bit);
    const std::uint8_t row0[5] = {1, 2, 200, 7, 7};
    for (int x = 0; x < 5; ++x)
        EXPECT_EQ(cut.ScanLine(0)[x], row0[x]) << x;
    for (int x = 0; x < 5; ++x)
        EXPECT_EQ(cut.ScanLine(1)[x], 255) << x;
    // Entries 77 and 78 end the first block and start the second.
    for (std::uint32_t i : {0u, 77u, 78u, 200u, 255u})
        EXPECT_EQ(cut.Palette()[i], i << 16 | (255 - i) << 8 | i / 2) << i;
}

TEST(CUTReader, WithoutAPaletteFileTheColoursAreAGreyRamp)
{
    ScratchDir dir;
    WriteFileBytes(dir / "bild.cut", kPicture);
    TCUTGraphic fromFile;
    fromFile.LoadFromFile(dir / "bild.cut");
    EXPECT_EQ(fromFile.Palette()[200], 0xC8C8C8u);

    // A bare stream never looks for the palette file.
    WriteFileBytes(dir / "bild.pal", PaletteFile(256, 255));
    TMemoryStream stream;
    stream.WriteBuffer(kPicture.data(), static_cast<std::int64_t>(kPicture.size()));
    stream.SetPosition(0);
    TCUTGraphic fromStream;
    fromStream.LoadFromStream(stream);
    EXPECT_EQ(fromStream.Palette()[200], 0xC8C8C8u);
    EXPECT_FALSE(TCUTGraphic::CanLoad(stream));
}

TEST(CUTReader, DamagedFilesAndPalettesRaiseThePictureError)
{
    ScratchDir dir;
    WriteFileBytes(dir / "bild.cut", kPicture);
    WriteFileBytes(dir / "bild.pal", PaletteFile(4, 256));
    TCUTGraphic cut;
    EXPECT_THROW(cut.LoadFromFile(dir / "bild.cut"), EInvalidGraphic);

    const std::vector<std::vector<std::uint8_t>> damaged = {
        {5, 0, 2, 0, 0, 0, 7, 0, 3, 1, 2, 200, 0x82, 7, 0}, // second row missing
        {0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 3, 0, 0xFF, 1, 0},   // huge picture, tiny data
        {5, 0},                                             // no header
    };
    for (std::size_t i = 0; i < damaged.size(); ++i) {
        TMemoryStream stream;
        stream.WriteBuffer(damaged[i].data(), static_cast<std::int64_t>(damaged[i].size()));
        stream.SetPosition(0);
        TCUTGraphic graphic;
        EXPECT_THROW(graphic.LoadFromStream(stream), EInvalidGraphic) << i;
    }
}

} // namespace
