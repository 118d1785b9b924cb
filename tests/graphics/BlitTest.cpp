// Block copies: every raster operation on a table of bytes, overlapping
// copies inside one bitmap, clipping, stretching, scrolling.

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <vector>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"

namespace {

std::uint32_t Px(TBitmap& b, int x, int y) { return gfx::ReadPixel(b.PixelBuffer(), x, y); }
void SetPx(TBitmap& b, int x, int y, std::uint32_t rgb) { gfx::WritePixel(b.PixelBuffer(), x, y, rgb); }

// Every pixel different: 0x00YYXX plus a tag in the top byte.
void Number(TBitmap& b, std::uint32_t tag = 0x40)
{
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            SetPx(b, x, y, (tag << 16) | (y << 8) | x);
}

std::vector<std::uint32_t> Snapshot(TBitmap& b)
{
    std::vector<std::uint32_t> all;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            all.push_back(Px(b, x, y));
    return all;
}

struct RopCase {
    const char* Name;
    std::uint32_t Rop;
    std::function<std::uint8_t(std::uint8_t p, std::uint8_t s, std::uint8_t d)> Expected;
};

std::uint8_t B(int v) { return static_cast<std::uint8_t>(v); }

TEST(BlitTest, EveryRasterOperationCombinesPatternSourceAndDestinationBytes)
{
    const RopCase cases[] = {
        {"SRCCOPY", SRCCOPY, [](auto, auto s, auto) { return s; }},
        {"SRCPAINT", SRCPAINT, [](auto, auto s, auto d) { return B(s | d); }},
        {"SRCAND", SRCAND, [](auto, auto s, auto d) { return B(s & d); }},
        {"SRCINVERT", SRCINVERT, [](auto, auto s, auto d) { return B(s ^ d); }},
        {"SRCERASE", SRCERASE, [](auto, auto s, auto d) { return B(s & ~d); }},
        {"NOTSRCCOPY", NOTSRCCOPY, [](auto, auto s, auto) { return B(~s); }},
        {"NOTSRCERASE", NOTSRCERASE, [](auto, auto s, auto d) { return B(~(s | d)); }},
        {"MERGECOPY", MERGECOPY, [](auto p, auto s, auto) { return B(p & s); }},
        {"MERGEPAINT", MERGEPAINT, [](auto, auto s, auto d) { return B(~s | d); }},
        {"PATCOPY", PATCOPY, [](auto p, auto, auto) { return p; }},
        {"PATPAINT", PATPAINT, [](auto p, auto s, auto d) { return B(p | ~s | d); }},
        {"PATINVERT", PATINVERT, [](auto p, auto, auto d) { return B(p ^ d); }},
        {"DSTINVERT", DSTINVERT, [](auto, auto, auto d) { return B(~d); }},
        {"BLACKNESS", BLACKNESS, [](auto, auto, auto) { return B(0); }},
        {"WHITENESS", WHITENESS, [](auto, auto, auto) { return B(0xFF); }},
        // The brush where the source is set, the destination elsewhere.
        {"0xE20746", 0xE20746, [](auto p, auto s, auto d) { return B((s & p) | (~s & d)); }},
        {"0xA000C9", 0xA000C9, [](auto p, auto, auto d) { return B(p & d); }},
    };
    // Four pixels whose bytes together hold every combination of bits.
    const std::uint8_t pattern[4] = {0x0F, 0xF0, 0x66, 0x99};
    const std::uint8_t source[4] = {0x00, 0xFF, 0x5A, 0xC3};
    const std::uint8_t dest[4] = {0xFF, 0x00, 0x3C, 0x96};
    // Channels differ by a rotation so that a mixed-up byte order shows.
    auto rgb = [](std::uint8_t v) {
        return static_cast<std::uint32_t>(v) | (static_cast<std::uint32_t>(B(v ^ 0x55)) << 8) |
            (static_cast<std::uint32_t>(B(v + 1)) << 16);
    };
    for (TPixelFormat format : {pf24bit, pf32bit}) {
        for (const RopCase& c : cases) {
            TBitmap brush(4, 1, pf24bit), src(4, 1, format), dst(4, 1, format);
            for (int x = 0; x < 4; ++x) {
                SetPx(brush, x, 0, rgb(pattern[x]));
                SetPx(src, x, 0, rgb(source[x]));
                SetPx(dst, x, 0, rgb(dest[x]));
            }
            dst.Canvas().Brush.Bitmap = &brush;
            ASSERT_TRUE(gfx::BitBlt(dst.Canvas(), 0, 0, 4, 1, &src.Canvas(), 0, 0, c.Rop));
            for (int x = 0; x < 4; ++x) {
                const std::uint32_t p = rgb(pattern[x]), s = rgb(source[x]), d = rgb(dest[x]);
                std::uint32_t expected = 0;
                for (int shift = 0; shift < 24; shift += 8)
                    expected |= static_cast<std::uint32_t>(c.Expected(B(p >> shift), B(s >> shift), B(d >> shift)))
                        << shift;
                EXPECT_EQ(Px(dst, x, 0), expected) << c.Name << " format " << format << " pixel " << x;
            }
        }
    }
}

TEST(BlitTest, OverlappingCopiesInOneBitmapBehaveLikeMemmove)
{
    struct Shift {
        int Dx, Dy;
    };
    for (TPixelFormat format : {pf24bit, pf32bit, pf8bit}) {
        for (std::uint32_t rop : {SRCCOPY, SRCINVERT}) {
            if (format == pf8bit && rop != SRCCOPY)
                continue; // mixed colours snap to the palette
            for (Shift s : {Shift{2, 1}, Shift{-2, -1}, Shift{3, 0}, Shift{-3, 0}, Shift{0, 2}, Shift{0, -2}}) {
                for (bool splitClip : {false, true}) {
                    TBitmap b(10, 8, format);
                    if (format == pf8bit) {
                        std::vector<std::uint32_t> palette;
                        for (std::uint32_t i = 0; i < 256; ++i)
                            palette.push_back(i * 0x010203u);
                        b.SetPalette(palette);
                        for (int y = 0; y < 8; ++y)
                            for (int x = 0; x < 10; ++x)
                                b.ScanLine(y)[x] = static_cast<std::uint8_t>(y * 10 + x);
                    } else {
                        Number(b);
                    }
                    const std::vector<std::uint32_t> before = Snapshot(b);
                    TCanvas& canvas = b.Canvas();
                    TRegion clip(TRect{0, 0, 10, 8});
                    if (splitClip) {
                        // Two spans in a row: a gap in the middle columns.
                        clip = TRegion::Combined(clip, TRegion(TRect{4, 0, 6, 8}), RGN_DIFF);
                        gfx::SelectClipRgn(canvas, &clip);
                    }
                    const int sx = 3, sy = 2, w = 5, h = 4;
                    gfx::BitBlt(canvas, sx + s.Dx, sy + s.Dy, w, h, &canvas, sx, sy, rop);
                    for (int y = 0; y < 8; ++y)
                        for (int x = 0; x < 10; ++x) {
                            const bool inside = x >= sx + s.Dx && x < sx + s.Dx + w && y >= sy + s.Dy &&
                                y < sy + s.Dy + h && clip.Contains(x, y);
                            std::uint32_t expected = before[y * 10 + x];
                            if (inside) {
                                const std::uint32_t from = before[(y - s.Dy) * 10 + (x - s.Dx)];
                                expected = rop == SRCCOPY ? from : from ^ expected;
                            }
                            ASSERT_EQ(Px(b, x, y), expected)
                                << "format " << format << " rop " << rop << " shift " << s.Dx << "," << s.Dy
                                << " split " << splitClip << " at " << x << "," << y;
                        }
                }
            }
        }
    }
}

TEST(BlitTest, OverlappingWholeRowsMoveUpAndDown)
{
    // Rows without padding lie back to back: the copy moves them as one block.
    for (TPixelFormat format : {pf32bit, pf24bit}) {
        for (int dy : {1, -2}) {
            TBitmap b(4, 6, format);
            Number(b);
            const std::vector<std::uint32_t> before = Snapshot(b);
            const int top = dy > 0 ? 0 : -dy;
            gfx::BitBlt(b.Canvas(), 0, top + dy, 4, 6 - std::abs(dy), &b.Canvas(), 0, top, SRCCOPY);
            for (int y = 0; y < 6; ++y)
                for (int x = 0; x < 4; ++x) {
                    const bool moved = y - dy >= top && y - dy < top + 6 - std::abs(dy);
                    ASSERT_EQ(Px(b, x, y), moved ? before[(y - dy) * 4 + x] : before[y * 4 + x]) << format << " " << dy;
                }
        }
    }
}

TEST(BlitTest, CopiesAreClippedToTheSourceAndTheDestinationClipRegion)
{
    TBitmap src(4, 4, pf24bit), dst(8, 8, pf24bit);
    Number(src, 0x11);
    Number(dst, 0x22);
    const std::vector<std::uint32_t> before = Snapshot(dst);
    const TRegion ellipse = TRegion::FromEllipse({0, 0, 8, 8});
    gfx::SelectClipRgn(dst.Canvas(), &ellipse);
    // Half of the source rectangle lies outside the source.
    gfx::BitBlt(dst.Canvas(), 1, 1, 6, 6, &src.Canvas(), 1, 1, SRCCOPY);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            const bool copied = x >= 1 && x < 4 && y >= 1 && y < 4 && ellipse.Contains(x, y);
            EXPECT_EQ(Px(dst, x, y), copied ? Px(src, x, y) : before[y * 8 + x]) << x << "," << y;
        }
}

TEST(BlitTest, MonochromeSourcesTakeTextAndBackgroundColours)
{
    TBitmap mono(2, 1, pf1bit), colour(2, 1, pf24bit);
    mono.ScanLine(0)[0] = 0x40; // pixel 0 clear, pixel 1 set
    colour.Canvas().Font.SetColor(clRed);
    colour.Canvas().Brush.Color = clLime;
    gfx::BitBlt(colour.Canvas(), 0, 0, 2, 1, &mono.Canvas(), 0, 0, SRCCOPY);
    EXPECT_EQ(Px(colour, 0, 0), 0xFF0000u); // 0 bit: text colour
    EXPECT_EQ(Px(colour, 1, 0), 0x00FF00u); // 1 bit: background colour

    // Back to one bit: the source's background colour becomes white.
    SetPx(colour, 0, 0, 0x123456);
    colour.Canvas().Brush.Color = clLime;
    TBitmap back(2, 1, pf1bit);
    gfx::BitBlt(back.Canvas(), 0, 0, 2, 1, &colour.Canvas(), 0, 0, SRCCOPY);
    EXPECT_EQ(back.ScanLine(0)[0] & 0xC0, 0x40);
}

TEST(BlitTest, StretchingKeepsSameSizeCopiesExact)
{
    TBitmap src(6, 5, pf24bit);
    Number(src);
    for (int mode : {COLORONCOLOR, HALFTONE}) {
        TBitmap dst(6, 5, pf32bit);
        dst.Canvas().StretchMode = mode;
        // A mirrored pair of extents is a plain copy too.
        gfx::StretchBlt(dst.Canvas(), 5, 4, -6, -5, &src.Canvas(), 5, 4, -6, -5, SRCCOPY);
        EXPECT_EQ(Snapshot(dst), Snapshot(src)) << mode;
    }
}

TEST(BlitTest, NearestNeighbourRepeatsAndSkipsPixelsAndMirrors)
{
    TBitmap src(3, 2, pf24bit);
    Number(src);
    TBitmap big(6, 4, pf24bit);
    gfx::StretchBlt(big.Canvas(), 0, 0, 6, 4, &src.Canvas(), 0, 0, 3, 2, SRCCOPY);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(Px(big, x, y), Px(src, x / 2, y / 2)) << x << "," << y;

    TBitmap mirrored(3, 2, pf24bit);
    gfx::StretchBlt(mirrored.Canvas(), 2, 0, -3, 2, &src.Canvas(), 0, 0, 3, 2, SRCCOPY);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(Px(mirrored, x, y), Px(src, 2 - x, y));
}

TEST(BlitTest, HalftoneAveragesTheCoveredArea)
{
    // 4 x 2 down to 2 x 1: each output pixel is the mean of a 2 x 2 block; 3 x 1
    // down to 2 x 1 splits the middle pixel between both.
    // Every source depth goes through the same filter.
    for (TPixelFormat format : {pf24bit, pf32bit, pf8bit}) {
        TBitmap src(4, 2, format);
        if (format == pf8bit) {
            std::vector<std::uint32_t> greys;
            for (std::uint32_t i = 0; i < 256; ++i)
                greys.push_back(i * 0x010101u);
            src.SetPalette(greys);
        }
        const std::uint8_t values[2][4] = {{0, 2, 100, 200}, {4, 6, 50, 51}};
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 4; ++x)
                SetPx(src, x, y, values[y][x] * 0x010101u);
        TBitmap dst(2, 1, pf24bit);
        dst.Canvas().StretchMode = HALFTONE;
        gfx::StretchBlt(dst.Canvas(), 0, 0, 2, 1, &src.Canvas(), 0, 0, 4, 2, SRCCOPY);
        EXPECT_EQ(Px(dst, 0, 0), 3 * 0x010101u) << format;
        EXPECT_EQ(Px(dst, 1, 0), 100 * 0x010101u) << format; // (100 + 200 + 50 + 51) / 4 = 100.25
    }

    TBitmap three(3, 1, pf24bit);
    SetPx(three, 0, 0, 0);
    SetPx(three, 1, 0, 90 * 0x010101u);
    SetPx(three, 2, 0, 255 * 0x010101u);
    TBitmap two(2, 1, pf24bit);
    two.Canvas().StretchMode = HALFTONE;
    gfx::StretchBlt(two.Canvas(), 0, 0, 2, 1, &three.Canvas(), 0, 0, 3, 1, SRCCOPY);
    EXPECT_EQ(Px(two, 0, 0), 30 * 0x010101u);  // (0 * 1 + 90 * 0.5) / 1.5
    EXPECT_EQ(Px(two, 1, 0), 200 * 0x010101u); // (90 * 0.5 + 255) / 1.5
}

TEST(BlitTest, ScrollDCMovesTheAreaAndReportsWhatItUncovered)
{
    struct Case {
        const char* Name;
        int Dx, Dy;
        TRect Scroll, Clip;
        TRect Uncovered;
    };
    const Case cases[] = {
        // Both rectangles the same (the sliding transitions): the strip at the
        // trailing edge needs painting.
        {"down", 0, 2, {0, 0, 7, 4}, {0, 0, 7, 4}, {0, 0, 7, 2}},
        {"up", 0, -1, {0, 3, 8, 6}, {0, 3, 8, 6}, {0, 5, 8, 6}},
        {"right", 3, 0, {0, 0, 5, 5}, {0, 0, 5, 5}, {0, 0, 3, 5}},
        {"left in a narrower clip", -2, 0, {0, 0, 8, 6}, {2, 1, 8, 5}, {6, 1, 8, 5}},
    };
    for (const Case& c : cases) {
        TBitmap b(8, 6, pf24bit);
        Number(b);
        const std::vector<std::uint32_t> before = Snapshot(b);
        TRegion update;
        TRect box;
        ASSERT_TRUE(gfx::ScrollDC(b.Canvas(), c.Dx, c.Dy, &c.Scroll, &c.Clip, &update, &box));
        EXPECT_EQ(box, c.Uncovered) << c.Name;
        EXPECT_EQ(update.Kind(), SIMPLEREGION) << c.Name;
        const TRect visible = gfx::IntersectRect(c.Scroll, c.Clip);
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 8; ++x) {
                const int fx = x - c.Dx, fy = y - c.Dy;
                const bool moved = c.Clip.Contains(x, y) && visible.Contains(fx, fy);
                ASSERT_EQ(Px(b, x, y), moved ? before[fy * 8 + fx] : before[y * 8 + x])
                    << c.Name << " " << x << "," << y;
            }
    }
}

TEST(BlitTest, PatBltLaysTheBrushAndLeavesHatchGaps)
{
    TBitmap b(8, 8, pf24bit);
    b.Canvas().Brush.Color = clBlue;
    b.Canvas().Brush.Style = bsCross;
    Number(b);
    const std::vector<std::uint32_t> before = Snapshot(b);
    gfx::PatBlt(b.Canvas(), 0, 0, 8, 8, PATCOPY);
    int lines = 0;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            const std::uint32_t v = Px(b, x, y);
            if (v == 0x0000FF)
                ++lines;
            else
                EXPECT_EQ(v, before[y * 8 + x]);
        }
    EXPECT_EQ(lines, 15); // one row and one column of the 8 x 8 cross hatch
}

TEST(BlitTest, TransparentStretchLeavesTheKeyColourOut)
{
    TBitmap src(2, 2, pf24bit), dst(4, 4, pf24bit);
    SetPx(src, 0, 0, 0xFF00FF);
    SetPx(src, 1, 0, 0x112233);
    SetPx(src, 0, 1, 0x445566);
    SetPx(src, 1, 1, 0xFF00FF);
    Number(dst);
    const std::vector<std::uint32_t> before = Snapshot(dst);
    gfx::TransparentStretchBlt(dst.Canvas(), {0, 0, 4, 4}, src, {0, 0, 2, 2}, clFuchsia);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            const std::uint32_t s = Px(src, x / 2, y / 2);
            EXPECT_EQ(Px(dst, x, y), s == 0xFF00FF ? before[y * 4 + x] : s);
        }
}

} // namespace
