// Bitmaps: memory layout, sizes, pixel formats, transparency, assignment.

#include "platform/graphics/Bitmap.h"

#include <gtest/gtest.h>

#include "platform/graphics/Canvas.h"
#include "platform/rtl/Exceptions.h"

namespace {

std::uint32_t Px(TBitmap& b, int x, int y) { return gfx::ReadPixel(b.PixelBuffer(), x, y); }

TEST(BitmapTest, RowsArePaddedToFourBytesInBlueGreenRedOrder)
{
    TBitmap b(5, 3, pf24bit);
    EXPECT_EQ(b.RowStride(), 16);
    EXPECT_EQ(b.ScanLine(1) - b.ScanLine(0), 16);
    b.Canvas().SetPixels(1, 2, RGB(0x11, 0x22, 0x33));
    const std::uint8_t* p = b.ScanLine(2) + 3;
    EXPECT_EQ(p[0], 0x33);
    EXPECT_EQ(p[1], 0x22);
    EXPECT_EQ(p[2], 0x11);
    TBitmap wide(3, 1, pf32bit);
    EXPECT_EQ(wide.RowStride(), 12);
    EXPECT_EQ(TBitmap(9, 1, pf1bit).RowStride(), 4);
    EXPECT_EQ(TBitmap(9, 1, pf4bit).RowStride(), 8);
    EXPECT_EQ(TBitmap(3, 1, pf15bit).RowStride(), 8);
    EXPECT_THROW(b.ScanLine(3), EInvalidGraphic);
    EXPECT_THROW(b.ScanLine(-1), EInvalidGraphic);
}

TEST(BitmapTest, NewAndEnlargedAreasAreBlackAndResizingKeepsTheRest)
{
    TBitmap b;
    EXPECT_TRUE(b.Empty());
    EXPECT_EQ(b.PixelFormat(), pfDevice);
    EXPECT_EQ(b.BitsPerPixel(), 24);
    b.SetSize(2, 2);
    EXPECT_EQ(b.Canvas().Pixels(1, 1), clBlack);
    b.Canvas().SetPixels(1, 1, clWhite);
    b.SetWidth(4);
    b.SetHeight(3);
    EXPECT_EQ(b.Canvas().Pixels(1, 1), clWhite);
    EXPECT_EQ(b.Canvas().Pixels(3, 2), clBlack);
    EXPECT_THROW(b.SetSize(1 << 20, 1 << 20), EOutOfMemory);
    EXPECT_EQ(b.Width(), 4);
}

TEST(BitmapTest, PixelFormatChangesConvertThePixels)
{
    TBitmap b(2, 1, pf24bit);
    b.Canvas().SetPixels(0, 0, clWhite);
    b.Canvas().SetPixels(1, 0, RGB(0xFF, 0, 0));
    const struct {
        TPixelFormat Format;
        std::uint32_t Second;
    } cases[] = {{pf32bit, 0xFF0000}, {pf16bit, 0xFF0000}, {pf15bit, 0xFF0000}, {pf8bit, 0xFF0000},
                 {pf4bit, 0xFF0000},  {pf1bit, 0x000000},  {pf24bit, 0x000000}};
    for (const auto& c : cases) {
        b.SetPixelFormat(c.Format);
        EXPECT_EQ(b.PixelFormat(), c.Format);
        EXPECT_EQ(Px(b, 0, 0), 0xFFFFFFu) << c.Format;
        EXPECT_EQ(Px(b, 1, 0), c.Second) << c.Format; // red is lost at one bit
    }
    EXPECT_TRUE(TBitmap(1, 1, pf1bit).Monochrome());
    EXPECT_THROW(b.SetPixelFormat(pfCustom), EInvalidGraphic);
    b.SetHandleType(bmDDB);
    EXPECT_EQ(b.PixelFormat(), pfDevice);
    b.SetHandleType(bmDIB);
    EXPECT_EQ(b.PixelFormat(), pf24bit);
}

TEST(BitmapTest, TransparentColourIsTheBottomLeftPixelUnlessFixed)
{
    TBitmap b(3, 2, pf24bit);
    b.Canvas().SetPixels(0, 1, clLime);
    EXPECT_EQ(b.TransparentMode(), tmAuto);
    EXPECT_EQ(b.TransparentColor(), clLime | kPaletteRelative);
    b.SetTransparentColor(clRed);
    EXPECT_EQ(b.TransparentMode(), tmFixed);
    EXPECT_EQ(b.TransparentColor(), clRed);
    b.SetTransparentMode(tmAuto);
    EXPECT_EQ(b.TransparentColor(), clLime | kPaletteRelative);
}

TEST(BitmapTest, TransparentBitmapsDrawWithoutTheirKeyColour)
{
    TBitmap glyph(2, 1, pf24bit);
    glyph.Canvas().SetPixels(1, 0, clWhite); // pixel 0 stays black: the key
    glyph.SetTransparentColor(clBlack);
    glyph.SetTransparent(true);
    TBitmap target(2, 1, pf24bit);
    target.Canvas().Brush.Color = clRed;
    target.Canvas().FillRect({0, 0, 2, 1});
    target.Canvas().Draw(0, 0, glyph);
    EXPECT_EQ(target.Canvas().Pixels(0, 0), clRed);
    EXPECT_EQ(target.Canvas().Pixels(1, 0), clWhite);
}

TEST(BitmapTest, AssignCopiesPixelsFormatPaletteAndTransparency)
{
    TBitmap a(3, 2, pf8bit);
    std::vector<std::uint32_t> palette(256, 0);
    palette[7] = 0x123456;
    a.SetPalette(palette);
    a.ScanLine(1)[2] = 7;
    a.SetTransparent(true);
    a.SetTransparentColor(clBlue);
    TBitmap b;
    b.Assign(&a);
    EXPECT_EQ(b.Width(), 3);
    EXPECT_EQ(b.PixelFormat(), pf8bit);
    EXPECT_EQ(Px(b, 2, 1), 0x123456u);
    EXPECT_TRUE(b.Transparent());
    EXPECT_EQ(b.TransparentColor(), clBlue);
    a.ScanLine(1)[2] = 0; // a copy, not shared memory
    EXPECT_EQ(Px(b, 2, 1), 0x123456u);
    b.Assign(nullptr);
    EXPECT_TRUE(b.Empty());
}

// A picture of another kind: a red pixel at the top left of 3 x 2.
class TDotPicture : public TGraphic {
public:
    void Draw(TCanvas& canvas, const TRect& rect) override { canvas.SetPixels(rect.Left, rect.Top, clRed); }
    int Width() const override { return 3; }
    int Height() const override { return 2; }
    void SetWidth(int) override { }
    void SetHeight(int) override { }
    bool Empty() const override { return false; }
    void LoadFromStream(TStream&) override { }
    void SaveToStream(TStream&) override { }
};

TEST(BitmapTest, OtherPicturesAssignByDrawingOnWhite)
{
    TDotPicture dot;
    TBitmap b(9, 9, pf8bit);
    b.Assign(&dot);
    EXPECT_EQ(b.Width(), 3);
    EXPECT_EQ(b.Height(), 2);
    EXPECT_EQ(b.PixelFormat(), pf24bit);
    EXPECT_EQ(b.Canvas().Pixels(0, 0), clRed);
    EXPECT_EQ(b.Canvas().Pixels(2, 1), clWhite);
}

TEST(BitmapTest, LoadsBitmapResourcesWithOrWithoutFileHeader)
{
    // A 1 x 1 24-bit picture as a bare DIB and as a file.
    std::vector<std::uint8_t> dib(40, 0);
    dib[0] = 40;
    dib[4] = 1;
    dib[8] = 1;
    dib[12] = 1;
    dib[14] = 24;
    dib.insert(dib.end(), {0x30, 0x20, 0x10, 0});
    std::vector<std::uint8_t> file = {'B', 'M', 58, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0};
    file.insert(file.end(), dib.begin(), dib.end());
    const rtl::ResourceRegistration resources(
        rtl::HInstance(), {{RT_BITMAP, "BARE", dib.data(), dib.size()}, {RT_BITMAP, "FILE", file.data(), file.size()}});
    for (const char* name : {"bare", "FILE"}) {
        TBitmap b;
        b.LoadFromResourceName(rtl::HInstance(), name);
        EXPECT_EQ(b.Canvas().Pixels(0, 0), RGB(0x10, 0x20, 0x30)) << name;
    }
    TBitmap b;
    EXPECT_THROW(b.LoadFromResourceName(rtl::HInstance(), "MISSING"), EResNotFound);
}

} // namespace
