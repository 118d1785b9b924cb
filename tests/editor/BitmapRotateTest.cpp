#include "editor/tools/BitmapRotate.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "platform/graphics/Bitmap.h"

using BitmapRotate::RotateBitmapBilinear;
using BitmapRotate::SetRotateFillColor;

namespace {

// Byte c of pixel (x, y) counted from the top, distinct per pixel and
// channel and far apart, so that a pixel off by one row or column shows.
std::uint8_t Value(int x, int y, int c) { return static_cast<std::uint8_t>(16 * (4 * y + x) + 3 + c); }

std::unique_ptr<TBitmap> Numbered(TPixelFormat format = pf24bit)
{
    auto bitmap = std::make_unique<TBitmap>(4, 4, format);
    const int bytes = bitmap->BitsPerPixel() / 8;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            for (int c = 0; c < bytes; ++c)
                bitmap->ScanLine(y)[x * bytes + c] = c < 3 ? Value(x, y, c) : 0xA5;
    return bitmap;
}

std::uint8_t At(TBitmap& bitmap, int x, int y, int c) { return bitmap.ScanLine(y)[x * bitmap.BitsPerPixel() / 8 + c]; }

} // namespace

TEST(BitmapRotateTest, ABitmapCannotBeTurnedIntoItself)
{
    auto bitmap = Numbered();
    EXPECT_FALSE(RotateBitmapBilinear(*bitmap, *bitmap, 2, 2, 1.0));
    EXPECT_EQ(At(*bitmap, 1, 2, 0), Value(1, 2, 0));
}

TEST(BitmapRotateTest, AnAngleOfZeroReproducesTheSource)
{
    for (TPixelFormat format : {pf24bit, pf32bit}) {
        auto source = Numbered(format);
        TBitmap target;
        ASSERT_TRUE(RotateBitmapBilinear(*source, target, 2, 2, 0.0));
        ASSERT_EQ(target.BitsPerPixel(), source->BitsPerPixel());
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                for (int c = 0; c < 3; ++c)
                    EXPECT_EQ(At(target, x, y, c), Value(x, y, c));
    }
}

// Rows count from the bottom: a quarter turn about (2, 2) of a 4 x 4
// picture puts source (X, Y) at (Y + 1, 3 - X) on screen (counter-clockwise)
// and leaves the left column without a source. Counting rows from the top
// would shift the picture by a row.
TEST(BitmapRotateTest, AQuarterTurnMovesPixelsCounterClockwiseAndFillsWhatHasNoSource)
{
    auto source = Numbered();
    TBitmap target;
    SetRotateFillColor(0x11, 0x22, 0x33);
    ASSERT_TRUE(RotateBitmapBilinear(*source, target, 2, 2, std::numbers::pi / 2));
    ASSERT_EQ(target.Width(), 4);
    ASSERT_EQ(target.Height(), 4);
    for (int y = 0; y < 4; ++y) {
        EXPECT_EQ(At(target, 0, y, 0), 0x33) << "blue of the fill, row " << y;
        EXPECT_EQ(At(target, 0, y, 2), 0x11) << "red of the fill, row " << y;
        for (int x = 1; x < 4; ++x)
            for (int c = 0; c < 3; ++c)
                EXPECT_NEAR(At(target, x, y, c), Value(3 - y, x - 1, c), 1) << x << "," << y;
    }
}

TEST(BitmapRotateTest, ThirtyTwoBitPixelsKeepTheirFourthByteAndOtherDepthsTurnAs24Bit)
{
    auto source = Numbered(pf32bit);
    TBitmap target(4, 4, pf32bit);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            target.ScanLine(y)[x * 4 + 3] = 0x5A;
    ASSERT_TRUE(RotateBitmapBilinear(*source, target, 2, 2, std::numbers::pi));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(At(target, x, y, 3), 0x5A);

    TBitmap grey(4, 4, pf8bit);
    TBitmap turned;
    ASSERT_TRUE(RotateBitmapBilinear(grey, turned, 2, 2, 0.5));
    EXPECT_EQ(turned.BitsPerPixel(), 24);
}
