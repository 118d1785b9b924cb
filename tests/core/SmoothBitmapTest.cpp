#include "core/SmoothBitmap.h"

#include "imageformats/FormatRegistrations.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Picture.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

using Bgr = std::array<int, 3>;

void SetPixel(TBitmap& bitmap, int x, int y, Bgr bgr)
{
    uint8_t* p = bitmap.ScanLine(y) + x * (bitmap.BitsPerPixel() / 8);
    for (int i = 0; i < 3; ++i)
        p[i] = static_cast<uint8_t>(bgr[i]);
}

Bgr GetPixel(TBitmap& bitmap, int x, int y)
{
    const uint8_t* p = bitmap.ScanLine(y) + x * (bitmap.BitsPerPixel() / 8);
    return {p[0], p[1], p[2]};
}

void FillPattern(TBitmap& bitmap)
{
    for (int y = 0; y < bitmap.Height(); ++y)
        for (int x = 0; x < bitmap.Width(); ++x)
            SetPixel(bitmap, x, y, {(x * 37 + y * 11) & 255, (x * 5 + y * 71) & 255, (x * y * 13 + 7) & 255});
}

bool SamePixels(TBitmap& a, TBitmap& b)
{
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            if (GetPixel(a, x, y) != GetPixel(b, x, y))
                return false;
    return true;
}

TEST(SmoothBitmapTest, EnlargesTwoByTwoToThreeByThree)
{
    TSmoothBitmap source(2, 2);
    SetPixel(source, 0, 0, {0, 10, 100});
    SetPixel(source, 1, 0, {5, 17, 200});
    SetPixel(source, 0, 1, {9, 0, 0});
    SetPixel(source, 1, 1, {255, 255, 255});
    for (bool buffered : {true, false}) {
        source.DrawToBuffer = buffered;
        TBitmap target(3, 3);
        target.Canvas().StretchDraw(Rect(0, 0, 3, 3), source);
        // Halfway blends round halves to even: 2.5 -> 2, 13.5 -> 14, 227.5 -> 228.
        const Bgr expected[3][3] = {
            {{0, 10, 100}, {2, 14, 150}, {5, 17, 200}},
            {{4, 5, 50}, {67, 71, 139}, {130, 136, 228}},
            {{9, 0, 0}, {132, 128, 128}, {255, 255, 255}},
        };
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 3; ++x)
                EXPECT_EQ(GetPixel(target, x, y), expected[y][x]) << x << "," << y << " buffered " << buffered;
    }
}

// Long rows are blended several pixels at a time: every column, every
// channel and every half must still come out as the two-pixel case above.
TEST(SmoothBitmapTest, EveryColumnOfAWideRowBlendsItsOwnChannels)
{
    TSmoothBitmap source(2, 1);
    SetPixel(source, 0, 0, {0, 255, 3});
    SetPixel(source, 1, 0, {8, 0, 200});
    for (int width : {9, 10, 17}) {
        TBitmap target(width, 2);
        target.Canvas().StretchDraw(Rect(0, 0, width, 2), source);
        const float step = 1.0f / (static_cast<float>(width - 1) / 1.0f);
        for (int x = 0; x < width; ++x) {
            const float f = static_cast<float>(x) * step;
            Bgr expected{};
            for (int c = 0; c < 3; ++c) {
                const float a = static_cast<float>(GetPixel(source, 0, 0)[c]);
                const float b = static_cast<float>(GetPixel(source, 1, 0)[c]);
                expected[c] = static_cast<int>(std::lrintf(f * (b - a) + a));
            }
            if (x == width - 1)
                expected = GetPixel(source, 1, 0);
            EXPECT_EQ(GetPixel(target, x, 0), expected) << "width " << width << " column " << x;
            EXPECT_EQ(GetPixel(target, x, 1), expected) << "width " << width << " column " << x;
        }
    }
}

TEST(SmoothBitmapTest, ShrinkingKeepsEachRowsOwnLastPixelAtTheRightEdge)
{
    TSmoothBitmap source(4, 4);
    FillPattern(source);
    TBitmap target(3, 3);
    target.Canvas().StretchDraw(Rect(0, 0, 3, 3), source);
    // Row 0 takes source row 0 unblended (fy = 0), whichever rows were cached.
    EXPECT_EQ(GetPixel(target, 2, 0), GetPixel(source, 3, 0));
    EXPECT_EQ(GetPixel(target, 0, 0), GetPixel(source, 0, 0));
    EXPECT_EQ(GetPixel(target, 2, 2), GetPixel(source, 3, 3));
}

// A slide-sized draw is made in bands on several cores; each band must come
// out as drawing the rows one after another does, at the band edges too.
TEST(SmoothBitmapTest, ABufferedLargeDrawEqualsTheRowByRowDraw)
{
    struct Case {
        int SourceWidth, SourceHeight, DestWidth, DestHeight;
    };
    for (const Case c : {Case{300, 200, 800, 533}, Case{1500, 1000, 700, 467}, Case{640, 480, 641, 1000}}) {
        TSmoothBitmap source(c.SourceWidth, c.SourceHeight);
        FillPattern(source);
        TBitmap banded(c.DestWidth, c.DestHeight), rowByRow(c.DestWidth, c.DestHeight);
        source.DrawToBuffer = true;
        banded.Canvas().StretchDraw(Rect(0, 0, c.DestWidth, c.DestHeight), source);
        source.DrawToBuffer = false;
        rowByRow.Canvas().StretchDraw(Rect(0, 0, c.DestWidth, c.DestHeight), source);
        EXPECT_TRUE(SamePixels(banded, rowByRow))
            << c.SourceWidth << "x" << c.SourceHeight << " to " << c.DestWidth << "x" << c.DestHeight;
    }
}

TEST(SmoothBitmapTest, OnePixelWideSourceRepeatsItsColumn)
{
    TSmoothBitmap source(1, 3);
    FillPattern(source);
    TBitmap target(100, 5);
    target.Canvas().StretchDraw(Rect(0, 0, 100, 5), source);
    for (int y = 0; y < 5; ++y)
        for (int x = 1; x < 100; ++x)
            EXPECT_EQ(GetPixel(target, x, y), GetPixel(target, 0, y)) << x << "," << y;
    EXPECT_EQ(GetPixel(target, 0, 0), GetPixel(source, 0, 0));
    EXPECT_EQ(GetPixel(target, 0, 4), GetPixel(source, 0, 2));
}

// Draws bitmap into w x h both ways: through the smooth bitmap, and through
// the platform's stretch of a plain copy.
void ExpectPlatformStretch(TSmoothBitmap& bitmap, int w, int h)
{
    TBitmap plain;
    plain.Assign(&bitmap);
    TBitmap viaSmooth(w + 2, h + 2), viaPlain(w + 2, h + 2);
    viaSmooth.Canvas().StretchDraw(Rect(1, 1, 1 + w, 1 + h), bitmap);
    viaPlain.Canvas().StretchDraw(Rect(1, 1, 1 + w, 1 + h), plain);
    EXPECT_TRUE(SamePixels(viaSmooth, viaPlain))
        << w << "x" << h << " from " << bitmap.Width() << "x" << bitmap.Height();
}

TEST(SmoothBitmapTest, PlatformStretchWhereInterpolationDoesNotApply)
{
    TSmoothBitmap same(7, 5);
    FillPattern(same);
    ExpectPlatformStretch(same, 7, 5);  // same size: an exact copy
    ExpectPlatformStretch(same, 1, 30); // one pixel wide or high has no steps
    ExpectPlatformStretch(same, 30, 1);
    ExpectPlatformStretch(same, 1, 1);
    same.Smooth = false;
    ExpectPlatformStretch(same, 20, 20);
    for (TPixelFormat format : {pf8bit, pf32bit}) {
        TSmoothBitmap other(6, 4, format);
        ExpectPlatformStretch(other, 13, 9);
    }
    TSmoothBitmap empty;
    TBitmap target(4, 4);
    target.Canvas().StretchDraw(Rect(0, 0, 4, 4), empty);
}

TEST(SmoothBitmapTest, AssignCopiesTheSmoothFlagOnlyFromSmoothBitmaps)
{
    TSmoothBitmap rough(3, 3);
    rough.Smooth = false;
    TSmoothBitmap target;
    target.Assign(&rough);
    EXPECT_FALSE(target.Smooth);
    EXPECT_EQ(target.Width(), 3);
    TBitmap plain(2, 2);
    target.Assign(&plain);
    EXPECT_FALSE(target.Smooth);
    target.Smooth = true;
    target.Assign(&plain);
    EXPECT_TRUE(target.Smooth);
}

std::vector<int> deliveredRows;
std::vector<Bgr> deliveredFirstPixels;

void RecordRow(TSmoothBitmap*, int row, TBitmap* rowBitmap)
{
    deliveredRows.push_back(row);
    deliveredFirstPixels.push_back(GetPixel(*rowBitmap, 0, 0));
}

TEST(SmoothBitmapTest, RowModeHandsOverEveryRowInOrderAndDrawsNothing)
{
    TSmoothBitmap source(4, 4);
    FillPattern(source);
    TBitmap reference(9, 7);
    reference.Canvas().StretchDraw(Rect(0, 0, 9, 7), source);

    source.RowMode = true;
    source.RowCallback = RecordRow;
    deliveredRows.clear();
    deliveredFirstPixels.clear();
    TBitmap target(9, 7);
    target.Canvas().StretchDraw(Rect(0, 0, 9, 7), source);
    EXPECT_EQ(deliveredRows, (std::vector<int>{0, 1, 2, 3, 4, 5, 6}));
    for (int y = 0; y < 7; ++y) {
        EXPECT_EQ(deliveredFirstPixels[static_cast<size_t>(y)], GetPixel(reference, 0, y));
        EXPECT_EQ(GetPixel(target, 0, y), (Bgr{0, 0, 0}));
    }
}

TEST(SmoothBitmapTest, ReportsTheDrawTime)
{
    TSmoothBitmap source(4, 4);
    int reports = 0;
    source.OnDrawTime = [&](TObject* sender, const std::string& text) {
        EXPECT_EQ(sender, &source);
        EXPECT_FALSE(text.empty());
        ++reports;
    };
    TBitmap target(9, 9);
    target.Canvas().StretchDraw(Rect(0, 0, 9, 9), source);
    target.Canvas().StretchDraw(Rect(0, 0, 4, 4), source);
    EXPECT_EQ(reports, 2);
}

TEST(SmoothBitmapTest, RegisteredForBitmapFiles)
{
    SmoothBitmap::RegSmoothBitmap();
    EXPECT_EQ(gfx::GraphicClassOfExtension("bmp"), TSmoothBitmap::StaticClass());
}

TEST(SmoothBitmapTest, HoldsBitmapFilesFromTheStartWhateverOrderTheUnitsStartIn)
{
    // Nothing registered by hand: the library's own start-up decides.
    EXPECT_EQ(gfx::GraphicClassOfExtension("bmp"), TSmoothBitmap::StaticClass());
    // Another user of the picture formats starting and ending does not take it back.
    FormatRegistrations::Initialize();
    FormatRegistrations::Finalize();
    EXPECT_EQ(gfx::GraphicClassOfExtension("bmp"), TSmoothBitmap::StaticClass());
    EXPECT_EQ(gfx::GraphicClassOfExtension("dib"), TBitmap::StaticClass());
}

} // namespace
