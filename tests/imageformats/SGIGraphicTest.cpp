// The SGI reader on hand-made files for the layouts no tool writes (the
// files tools write: ReaderConformanceTest).
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "ImageTools.h"
#include "imageformats/SGIGraphic.h"
#include "platform/rtl/ByteOrder.h"
#include "platform/rtl/Streams.h"

using namespace imagetest;

namespace {

std::vector<std::uint8_t> Header(int storage, int bytesPerChannel, int dimension, int width, int height, int channels)
{
    std::vector<std::uint8_t> h(512, 0);
    const int words[] = {474, 0, dimension, width, height, channels};
    for (int i = 0; i < 6; ++i)
        rtl::PutBE16(&h[2 * i], static_cast<std::uint16_t>(words[i]));
    h[2] = static_cast<std::uint8_t>(storage);
    h[3] = static_cast<std::uint8_t>(bytesPerChannel);
    return h;
}

std::unique_ptr<TSGIGraphic> Load(std::vector<std::uint8_t> bytes, std::initializer_list<int> body)
{
    for (int b : body)
        bytes.push_back(static_cast<std::uint8_t>(b));
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    stream.SetPosition(0);
    auto graphic = std::make_unique<TSGIGraphic>();
    graphic->LoadFromStream(stream);
    return graphic;
}

TEST(SGIReader, SixteenBitGreyIsReducedToItsHighBytesBottomRowFirst)
{
    // 3 x 2 stored: file row 0 (the bottom) = 0x1234, 0xFF00, 0x0001; row 1 = 0x8000...
    auto sgi = Load(Header(0, 2, 2, 3, 2, 1), {0x12, 0x34, 0xFF, 0x00, 0x00, 0x01, 0x80, 0, 0x80, 0, 0x80, 0});
    ASSERT_EQ(sgi->PixelFormat(), pf8bit);
    EXPECT_EQ(sgi->ScanLine(1)[0], 0x12);
    EXPECT_EQ(sgi->ScanLine(1)[1], 0xFF);
    EXPECT_EQ(sgi->ScanLine(1)[2], 0x00);
    EXPECT_EQ(sgi->ScanLine(0)[2], 0x80);
    EXPECT_EQ(sgi->Palette()[0x80], 0x808080u);
}

TEST(SGIReader, DimensionOneIsASingleRow)
{
    auto sgi = Load(Header(0, 1, 1, 4, 9, 3), {1, 2, 3, 4});
    EXPECT_EQ(sgi->Height(), 1);
    EXPECT_EQ(sgi->ScanLine(0)[3], 4);
}

TEST(SGIReader, DamagedFilesRaiseThePictureError)
{
    // 4 x 1 grey, run-length: tables at 512 (offset 520, length 5), then a row.
    std::vector<std::uint8_t> rle = Header(1, 1, 2, 4, 1, 1);
    for (int b : {0, 0, 2, 8, 0, 0, 0, 5})
        rle.push_back(static_cast<std::uint8_t>(b));
    EXPECT_EQ(Load(rle, {0x84, 1, 2, 3, 4})->ScanLine(0)[3], 4);  // complete row, no 0 terminator needed
    EXPECT_THROW(Load(rle, {0x83, 1, 2, 3, 0}), EInvalidGraphic); // row ends 1 sample short
    std::vector<std::uint8_t> pastEnd = rle;
    pastEnd[512 + 7] = 200; // the row's length runs past the file
    EXPECT_THROW(Load(pastEnd, {0x84, 1, 2, 3, 4}), EInvalidGraphic);
    EXPECT_THROW(Load(Header(0, 1, 3, 4, 4, 3), {1, 2, 3}), EInvalidGraphic);                       // planes missing
    EXPECT_THROW(Load(Header(1, 1, 3, 65535, 65535, 4), {0, 0}), EInvalidGraphic);                  // huge, tiny data
    EXPECT_THROW(Load(Header(0, 1, 3, 2, 1, 5), {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}), EInvalidGraphic); // 5 channels
    EXPECT_THROW(Load(Header(0, 3, 2, 2, 1, 1), {1, 2, 3, 4, 5, 6}), EInvalidGraphic);              // 3 bytes a sample
}

} // namespace
