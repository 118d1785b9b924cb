// The Autodesk reader on hand-made files (no tool on this system writes or
// reads the format).
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "imageformats/AutodeskGraphic.h"
#include "platform/rtl/ByteOrder.h"
#include "platform/rtl/Streams.h"

namespace {

std::vector<std::uint8_t> File(int width, int height, int bits = 8, int compression = 0)
{
    std::vector<std::uint8_t> f(32, 0);
    f[0] = 0x19;
    f[1] = 0x91;
    rtl::PutLE16(&f[2], static_cast<std::uint16_t>(width));
    rtl::PutLE16(&f[4], static_cast<std::uint16_t>(height));
    f[10] = static_cast<std::uint8_t>(bits);
    f[11] = static_cast<std::uint8_t>(compression);
    for (int i = 0; i < 256; ++i) {
        f.push_back(static_cast<std::uint8_t>(i % 64));
        f.push_back(63);
        f.push_back(0);
    }
    return f;
}

std::unique_ptr<TAutodeskGraphic> Load(std::vector<std::uint8_t> bytes, std::initializer_list<int> rows)
{
    for (int b : rows)
        bytes.push_back(static_cast<std::uint8_t>(b));
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    stream.SetPosition(0);
    EXPECT_EQ(TAutodeskGraphic::CanLoad(stream), bytes[10] == 8 && bytes[11] == 0);
    auto graphic = std::make_unique<TAutodeskGraphic>();
    graphic->LoadFromStream(stream);
    return graphic;
}

TEST(AutodeskReader, RowsTopFirstAndSixBitPaletteTimesFour)
{
    auto cel = Load(File(3, 2), {1, 2, 3, 63, 5, 6});
    ASSERT_EQ(cel->PixelFormat(), pf8bit);
    EXPECT_EQ(cel->ScanLine(0)[0], 1);
    EXPECT_EQ(cel->ScanLine(1)[0], 63);
    EXPECT_EQ(cel->Palette()[63], 0xFCFC00u); // 63 -> 252
    EXPECT_EQ(cel->Palette()[1], 0x04FC00u);
}

TEST(AutodeskReader, DamagedFilesRaiseThePictureError)
{
    EXPECT_THROW(Load(File(3, 2), {1, 2, 3, 4}), EInvalidGraphic);             // rows missing
    EXPECT_THROW(Load(File(3, 2, 16), {1, 2, 3, 4, 5, 6}), EInvalidGraphic);   // 16 bits
    EXPECT_THROW(Load(File(3, 2, 8, 1), {1, 2, 3, 4, 5, 6}), EInvalidGraphic); // compressed
    EXPECT_THROW(Load(File(60000, 60000), {1}), EInvalidGraphic);              // huge, tiny data
}

} // namespace
